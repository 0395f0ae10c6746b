#include "types/LabelCatalogue.h"

namespace {

// The dimensions as the label type page shows them.
QStringList ShownDimensions(const TLabelStock& stock) {
    return {QString::number(stock.LabelWidth), QString::number(stock.LabelHeight),
            QStringLiteral("%1 x %2").arg(stock.NumAcross).arg(stock.NumDown)};
}

bool Matches(const TLabelCatalogueRow& row, const QString& text) {
    if (row.Stock.CatNum.contains(text, Qt::CaseInsensitive) ||
        row.Description.contains(text, Qt::CaseInsensitive))
        return true;
    for (const QString& shown : ShownDimensions(row.Stock))
        if (shown.contains(text, Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace

TLabelCatalogue SearchLabelCatalogue(const TLabelCatalogue& rows, const QString& text) {
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) return rows;
    TLabelCatalogue found;
    for (const TLabelCatalogueRow& row : rows)
        if (Matches(row, wanted)) found.push_back(row);
    return found;
}
