#include "merge/LabelCatalogueTable.h"

#include "merge/Table.h"

namespace {

QString Text(const TTable& table, const char* field) {
    return table.FieldText(QString::fromLatin1(field)).value_or(QString()).trimmed();
}

double Number(const TTable& table, const char* field) {
    return Text(table, field).toDouble();
}

} // namespace

TLabelCatalogue ReadLabelCatalogue(const QString& programFolder) {
    TTable table;
    table.SetTable(programFolder, QStringLiteral("LABLIST.DB"));
    table.Open();
    TLabelCatalogue rows;
    for (table.First(); !table.Eof(); table.Next()) {
        TLabelCatalogueRow row;
        row.Stock.CatNum = Text(table, "CatNum");
        row.Stock.SpacingTop = Number(table, "SpacingTop");
        row.Stock.SpacingLeft = Number(table, "SpacingLeft");
        row.Stock.SpacingHeight = Number(table, "SpacingHeight");
        row.Stock.SpacingWidth = Number(table, "SpacingWidth");
        row.Stock.LabelHeight = Number(table, "LabelHeight");
        row.Stock.LabelWidth = Number(table, "LabelWidth");
        row.Stock.NumAcross = Text(table, "NumAcross").toInt();
        row.Stock.NumDown = Text(table, "NumDown").toInt();
        row.LabelType = Text(table, "LabelType");
        row.Color = Text(table, "Color");
        row.LabelShape = Text(table, "LabelShape");
        row.LabelFeed = Text(table, "LabelFeed");
        row.Description = Text(table, "Description");
        // A catalogue without the column, or a row without a size, is cut from Letter.
        const QString sheet = Text(table, "SheetSize");
        if (const std::optional<TSheetInches> size = NamedSheetSize(sheet)) {
            row.SheetSize = sheet;
            row.SheetWidth = size->Width;
            row.SheetHeight = size->Height;
        }
        rows.push_back(std::move(row));
    }
    table.Close();
    return rows;
}
