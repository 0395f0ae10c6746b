#include "LabelCatalogue.h"

#include "merge/PxDocument.h"
#include "storage/Exception.h"
#include "storage/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <array>
#include <optional>

#include <csv.h>

namespace LabelCatalogue {
namespace {

// Lengths are stored to 1/10000 in, so an A4 grid that fills its sheet may sum a hair over.
constexpr double Tolerance = 0.001;

// Labels are portrait sheets.
struct TSheet {
    double Width, Height;
};
TSheet SheetOf(const QString& size) {
    if (size == QLatin1String("A4")) return {210 / 25.4, 297 / 25.4};
    return {8.5, 11.0};
}

enum TColumn {
    cCatNum,
    cLabelType,
    cColor,
    cLabelShape,
    cLabelFeed,
    cSpacingTop,
    cSpacingLeft,
    cSpacingHeight,
    cSpacingWidth,
    cLabelHeight,
    cLabelWidth,
    cNumAcross,
    cNumDown,
    cSheetSize,
    cDescription,
    ColumnCount
};

// The table's fields in table order; CatNum, the first, is the primary key.
struct TFieldDef {
    const char* Name;
    char Type;
    int Width;
};
constexpr std::array<TFieldDef, ColumnCount> Fields = {{
    {"CatNum", pxfAlpha, CatNumWidth},
    {"LabelType", pxfAlpha, LabelTypeWidth},
    {"Color", pxfAlpha, ColorWidth},
    {"LabelShape", pxfAlpha, LabelShapeWidth},
    {"LabelFeed", pxfAlpha, LabelFeedWidth},
    {"SpacingTop", pxfNumber, 8},
    {"SpacingLeft", pxfNumber, 8},
    {"SpacingHeight", pxfNumber, 8},
    {"SpacingWidth", pxfNumber, 8},
    {"LabelHeight", pxfNumber, 8},
    {"LabelWidth", pxfNumber, 8},
    {"NumAcross", pxfShort, 2},
    {"NumDown", pxfShort, 2},
    {"SheetSize", pxfAlpha, SheetSizeWidth},
    {"Description", pxfAlpha, DescriptionWidth},
}};

const QStringList Shapes = {QStringLiteral("Rect"), QStringLiteral("RRect"),
                            QStringLiteral("Round"), QStringLiteral("SHAPE")};
const QStringList Feeds = {QStringLiteral("Laser"), QStringLiteral("Ink"), QStringLiteral("Both")};

// The row's value of a column, of the column's kind, or null for a column of another kind.
template <typename TRow> auto TextOf(TRow& row, int column) -> decltype(&row.CatNum) {
    switch (column) {
    case cCatNum:
        return &row.CatNum;
    case cLabelType:
        return &row.LabelType;
    case cColor:
        return &row.Color;
    case cLabelShape:
        return &row.LabelShape;
    case cLabelFeed:
        return &row.LabelFeed;
    case cSheetSize:
        return &row.SheetSize;
    case cDescription:
        return &row.Description;
    default:
        return nullptr;
    }
}

template <typename TRow> auto NumberOf(TRow& row, int column) -> decltype(&row.SpacingTop) {
    switch (column) {
    case cSpacingTop:
        return &row.SpacingTop;
    case cSpacingLeft:
        return &row.SpacingLeft;
    case cSpacingHeight:
        return &row.SpacingHeight;
    case cSpacingWidth:
        return &row.SpacingWidth;
    case cLabelHeight:
        return &row.LabelHeight;
    case cLabelWidth:
        return &row.LabelWidth;
    default:
        return nullptr;
    }
}

template <typename TRow> auto CountOf(TRow& row, int column) -> decltype(&row.NumAcross) {
    return column == cNumAcross ? &row.NumAcross : column == cNumDown ? &row.NumDown : nullptr;
}

// libcsv hands over fields and row ends through C callbacks; nothing may throw across them,
// so the rows are collected first and interpreted afterwards.
struct TCsvRows {
    std::vector<QStringList> Rows;
    QStringList Current;
    static void Field(void* text, size_t length, void* data) {
        static_cast<TCsvRows*>(data)->Current.append(
            QString::fromUtf8(static_cast<const char*>(text), qsizetype(length)));
    }
    static void RowEnd(int, void* data) {
        auto* self = static_cast<TCsvRows*>(data);
        self->Rows.push_back(std::move(self->Current));
        self->Current.clear();
    }
};

std::vector<QStringList> ParseCsv(const QByteArray& csv) {
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        throw Exception(QStringLiteral("The CSV parser could not be set up."));
    TCsvRows rows;
    const size_t parsed = csv_parse(&parser, csv.constData(), size_t(csv.size()), &TCsvRows::Field,
                                    &TCsvRows::RowEnd, &rows);
    const bool ok = parsed == size_t(csv.size()) &&
                    csv_fini(&parser, &TCsvRows::Field, &TCsvRows::RowEnd, &rows) == 0;
    const QString error = QString::fromLatin1(csv_strerror(csv_error(&parser)));
    csv_free(&parser);
    if (!ok)
        throw Exception(QStringLiteral("The catalogue is not valid CSV after row %1: %2")
                            .arg(rows.Rows.size())
                            .arg(error));
    return std::move(rows.Rows);
}

// The text in the table's code page, or nothing when a character has no place in it.
std::optional<QByteArray> Encode(const QString& text) {
    const QByteArray bytes = TextCodec::EncodeWindows1252(text);
    if (TextCodec::DecodeWindows1252(bytes) != text) return std::nullopt;
    return bytes;
}

// The extent of the label grid along one axis.
double GridEnd(double start, int count, double pitch, double size) {
    return start + (count - 1) * pitch + size;
}

void CheckAxis(const TLabelStockRow& row, const char* axis, double start, int count, double pitch,
               double size, double sheet, QStringList& problems) {
    const QString name = row.CatNum;
    if (count < 1 || count > 100)
        problems << QStringLiteral("%1: %2 count %3 is not between 1 and 100")
                        .arg(name, QLatin1String(axis))
                        .arg(count);
    if (!(size > 0))
        problems
            << QStringLiteral("%1: the label %2 must be above 0").arg(name, QLatin1String(axis));
    if (!(start >= 0) || !(pitch >= 0))
        problems << QStringLiteral("%1: a %2 spacing is negative").arg(name, QLatin1String(axis));
    if (count > 1 && pitch + Tolerance < size)
        problems << QStringLiteral("%1: labels overlap along the %2 (pitch %3 < size %4)")
                        .arg(name, QLatin1String(axis))
                        .arg(pitch)
                        .arg(size);
    if (count >= 1 && GridEnd(start, count, pitch, size) > sheet + Tolerance)
        problems << QStringLiteral("%1: labels run %2 in off the sheet along the %3")
                        .arg(name)
                        .arg(GridEnd(start, count, pitch, size) - sheet)
                        .arg(QLatin1String(axis));
}

void Fail(const char* what, const QString& path) {
    throw Exception(QStringLiteral("%1 failed for %2.").arg(QLatin1String(what), path));
}

// A document for the catalogue's table or index, pxlib's messages echoed to the build log.
struct TCatalogueDoc : TPxDocument {
    TCatalogueDoc() : TPxDocument(TEcho::EchoMessages) {
        if (!Started()) throw Exception(QStringLiteral("pxlib could not start."));
    }
    // The first count fields of the table, handed to pxlib with the document.
    pxfield_t* CatalogueFields(int count) const {
        pxfield_t* fields = NewFields(count);
        if (!fields) throw Exception(QStringLiteral("pxlib could not start."));
        for (int i = 0; i < count; ++i) {
            const TFieldDef& def = Fields[size_t(i)];
            fields[i].px_fname = Copy(def.Name);
            fields[i].px_ftype = def.Type;
            fields[i].px_flen = def.Width;
            fields[i].px_fdc = 0;
        }
        return fields;
    }
};

void WriteTables(const std::vector<std::pair<QByteArray, const TLabelStockRow*>>& keyed,
                 const QString& tablePath, const QString& indexPath) {
    const QByteArray tableName = QFile::encodeName(tablePath);
    const QByteArray indexName = QFile::encodeName(indexPath);
    TCatalogueDoc table;
    if (PX_create_file(table.Doc(), table.CatalogueFields(ColumnCount), ColumnCount, tableName.constData(),
                       pxfFileTypIndexDB) < 0)
        Fail("Creating the table", tablePath);
    table.SetOpen();
    PX_set_parameter(table.Doc(), "tablename", "LABLIST");
    // Text is converted here: pxlib's input encoding does not recode what it writes.
    PX_set_value(table.Doc(), "codepage", float(CodePage));
    PX_set_value(table.Doc(), "numprimkeys", 1);

    for (const auto& [key, row] : keyed) {
        Q_UNUSED(key);
        std::array<QByteArray, ColumnCount> text;
        std::array<pxval_t, ColumnCount> values{};
        std::array<pxval_t*, ColumnCount> pointers{};
        for (int c = 0; c < ColumnCount; ++c) {
            pxval_t& v = values[size_t(c)];
            v.type = Fields[size_t(c)].Type;
            if (const QString* s = TextOf(*row, c)) {
                text[size_t(c)] = *Encode(*s); // Check() has made sure it encodes
                v.isnull = text[size_t(c)].isEmpty();
                v.value.str.val = text[size_t(c)].data();
                v.value.str.len = int(text[size_t(c)].size());
            } else if (const double* d = NumberOf(*row, c)) {
                v.value.dval = *d;
            } else {
                v.value.lval = *CountOf(*row, c);
            }
            pointers[size_t(c)] = &v;
        }
        if (PX_insert_record(table.Doc(), pointers.data()) < 0)
            throw Exception(QStringLiteral("Writing stock %1 failed.").arg(row->CatNum));
    }

    // The index must be written from the still-open writer: from a reopened table it comes
    // out with a file type pxlib itself rejects.
    TCatalogueDoc index;
    if (PX_create_file(index.Doc(), index.CatalogueFields(1), 1, indexName.constData(),
                       pxfFileTypPrimIndex) < 0)
        Fail("Creating the primary index", indexPath);
    index.SetOpen();
    if (PX_write_primary_index(table.Doc(), index.Doc()) < 0)
        Fail("Writing the primary index", indexPath);
}

} // namespace

const QStringList& SheetSizes() {
    static const QStringList sizes = {QStringLiteral("Letter"), QStringLiteral("A4")};
    return sizes;
}

const QStringList& LabelTypes() {
    static const QStringList types = {
        QStringLiteral("Address"),   QStringLiteral("Return"),        QStringLiteral("Shipping"),
        QStringLiteral("Audio"),     QStringLiteral("Computer"),      QStringLiteral("Diskette"),
        QStringLiteral("Video"),     QStringLiteral("Badge"),         QStringLiteral("ID Card"),
        QStringLiteral("Name Tag"),  QStringLiteral("Business Card"), QStringLiteral("Folder"),
        QStringLiteral("General"),   QStringLiteral("Rotary"),        QStringLiteral("Index Card"),
        QStringLiteral("Post Card"), QStringLiteral("Tent Card"),     QStringLiteral("Card"),
        QStringLiteral("Sheet")};
    return types;
}

std::vector<TLabelStockRow> Read(const QByteArray& csv) {
    const std::vector<QStringList> rows = ParseCsv(csv);
    if (rows.empty()) throw Exception(QStringLiteral("The catalogue has no header line."));
    const QStringList& header = rows.front();
    std::array<int, ColumnCount> position;
    position.fill(-1);
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        const auto field = std::find_if(Fields.begin(), Fields.end(), [&](const TFieldDef& f) {
            return name == QLatin1String(f.Name);
        });
        if (field == Fields.end())
            throw Exception(QStringLiteral("Unknown column \"%1\" in the header.").arg(name));
        position[size_t(field - Fields.begin())] = i;
    }
    for (int c = 0; c < ColumnCount; ++c)
        if (position[size_t(c)] < 0 && c != cSheetSize && c != cDescription)
            throw Exception(QStringLiteral("The header has no column \"%1\".")
                                .arg(QLatin1String(Fields[size_t(c)].Name)));

    std::vector<TLabelStockRow> stocks;
    for (size_t r = 1; r < rows.size(); ++r) {
        const QStringList& cells = rows[r];
        const int line = int(r) + 1;
        if (cells.size() != header.size())
            throw Exception(QStringLiteral("Row %1 has %2 values where the header names %3.")
                                .arg(line)
                                .arg(cells.size())
                                .arg(header.size()));
        TLabelStockRow stock;
        for (int c = 0; c < ColumnCount; ++c) {
            if (position[size_t(c)] < 0) continue; // an optional column left out
            const QString cell = cells[position[size_t(c)]].trimmed();
            bool ok = true;
            if (QString* text = TextOf(stock, c))
                *text = cell;
            else if (double* number = NumberOf(stock, c))
                *number = cell.toDouble(&ok); // always the C locale
            else
                *CountOf(stock, c) = cell.toInt(&ok);
            if (!ok)
                throw Exception(QStringLiteral("Row %1: %2 \"%3\" is not a number.")
                                    .arg(line)
                                    .arg(QLatin1String(Fields[size_t(c)].Name), cell));
        }
        stocks.push_back(stock);
    }
    return stocks;
}

QStringList Check(const std::vector<TLabelStockRow>& rows) {
    QStringList problems;
    QSet<QString> numbers;
    for (const TLabelStockRow& row : rows) {
        const QString name = row.CatNum.isEmpty() ? QStringLiteral("(no number)") : row.CatNum;
        for (int c = 0; c < ColumnCount; ++c) {
            const QString* text = TextOf(row, c);
            if (!text) continue;
            const char* field = Fields[size_t(c)].Name;
            if (text->isEmpty()) {
                if (c == cDescription) continue;
                problems << QStringLiteral("%1: %2 is empty").arg(name, QLatin1String(field));
                continue;
            }
            const std::optional<QByteArray> bytes = Encode(*text);
            if (!bytes)
                problems << QStringLiteral("%1: %2 \"%3\" has characters outside code page %4")
                                .arg(name, QLatin1String(field), *text)
                                .arg(CodePage);
            else if (bytes->size() > Fields[size_t(c)].Width)
                problems << QStringLiteral("%1: %2 \"%3\" is longer than %4 characters")
                                .arg(name, QLatin1String(field), *text)
                                .arg(Fields[size_t(c)].Width);
        }
        if (!row.CatNum.isEmpty()) {
            const QString key = row.CatNum.toUpper();
            if (numbers.contains(key)) problems << QStringLiteral("%1: duplicate number").arg(name);
            numbers.insert(key);
        }
        if (!row.LabelType.isEmpty() && !LabelTypes().contains(row.LabelType))
            problems << QStringLiteral("%1: LabelType \"%2\" is in no label category")
                            .arg(name, row.LabelType);
        if (!row.LabelShape.isEmpty() && !Shapes.contains(row.LabelShape))
            problems << QStringLiteral("%1: LabelShape \"%2\" is not one of %3")
                            .arg(name, row.LabelShape, Shapes.join(QStringLiteral(", ")));
        if (!row.LabelFeed.isEmpty() && !Feeds.contains(row.LabelFeed))
            problems << QStringLiteral("%1: LabelFeed \"%2\" is not one of %3")
                            .arg(name, row.LabelFeed, Feeds.join(QStringLiteral(", ")));
        if (!row.SheetSize.isEmpty() && !SheetSizes().contains(row.SheetSize))
            problems << QStringLiteral("%1: SheetSize \"%2\" is not one of %3")
                            .arg(name, row.SheetSize, SheetSizes().join(QStringLiteral(", ")));
        const TSheet sheet = SheetOf(row.SheetSize);
        CheckAxis(row, "width", row.SpacingLeft, row.NumAcross, row.SpacingWidth, row.LabelWidth,
                  sheet.Width, problems);
        CheckAxis(row, "height", row.SpacingTop, row.NumDown, row.SpacingHeight, row.LabelHeight,
                  sheet.Height, problems);
    }
    return problems;
}

void Write(const std::vector<TLabelStockRow>& rows, const QString& folder) {
    const QStringList problems = Check(rows);
    if (!problems.isEmpty())
        throw Exception(QStringLiteral("The catalogue cannot be written:\n") +
                        problems.join(QLatin1Char('\n')));
    // A keyed Paradox table keeps its records in key order.
    std::vector<std::pair<QByteArray, const TLabelStockRow*>> keyed;
    for (const TLabelStockRow& row : rows)
        keyed.emplace_back(*Encode(row.CatNum), &row);
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        throw Exception(QStringLiteral("Cannot create the folder %1.").arg(folder));
    const QString tablePath = dir.filePath(QStringLiteral("LABLIST.DB"));
    const QString indexPath = dir.filePath(QStringLiteral("LABLIST.PX"));
    QFile::remove(tablePath);
    QFile::remove(indexPath);
    try {
        WriteTables(keyed, tablePath, indexPath);
    } catch (...) {
        QFile::remove(tablePath);
        QFile::remove(indexPath);
        throw;
    }
}

} // namespace LabelCatalogue
