// The program folder as the build makes it: the label catalogue (and the code that writes it),
// the templates, the spelling dictionary's name, the user guide and the clip art.

#include "LabelCatalogue.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/Replacement.h"
#include "document/Template.h"
#include "merge/PxDocument.h"
#include "objects/Headline.h"
#include "objects/RichText.h"
#include "storage/Exception.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"
#include "types/CardType.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <variant>

namespace {

const QString ProgramFolder = QStringLiteral(QDX_PROGRAM_FOLDER);

QString InProgramFolder(const QString& name) {
    return QDir(ProgramFolder).filePath(name);
}

// Reading Paradox tables back with pxlib.

using TValue = std::variant<std::monostate, QString, double, long>;
using TRecord = std::map<QString, TValue>;

struct TField {
    QString Name;
    int Type;
    int Length;
    bool operator==(const TField&) const = default;
};

void PrintTo(const TField& f, std::ostream* os) {
    *os << f.Name.toStdString() << "/" << f.Type << "/" << f.Length;
}

// A table opened for reading; text comes back as UTF-8, or as the stored bytes when raw.
class TParadoxReader {
public:
    explicit TParadoxReader(const QString& path, bool raw = false) : FRaw(raw) {
        const QByteArray name = QFile::encodeName(path);
        FOpen = FPx.Started() && PX_open_file(FPx.Doc(), name.constData()) == 0;
        if (FOpen) {
            FPx.SetOpen();
            if (!raw) PX_set_targetencoding(FPx.Doc(), "UTF-8");
        } else {
            FPx.Abandon();
        }
    }

    bool IsOpen() const { return FOpen; }
    pxhead_t& Head() const { return *FPx.Doc()->px_head; }
    pxdoc_t* Doc() const { return FPx.Doc(); }

    std::vector<TField> Fields() const {
        std::vector<TField> fields;
        for (int i = 0; i < PX_get_num_fields(Doc()); ++i) {
            const pxfield_t* f = PX_get_field(Doc(), i);
            fields.push_back({QString::fromLatin1(f->px_fname), f->px_ftype, f->px_flen});
        }
        return fields;
    }

    std::vector<TRecord> Records() const {
        std::vector<TRecord> records;
        const std::vector<TField> fields = Fields();
        for (int r = 0; r < PX_get_num_records(Doc()); ++r) {
            pxval_t** values = PX_retrieve_record(Doc(), r);
            if (!values) break;
            TRecord record;
            for (size_t i = 0; i < fields.size(); ++i) {
                pxval_t* v = values[i];
                TValue value;
                if (!v->isnull) {
                    if (fields[i].Type == pxfAlpha)
                        value = FRaw ? QString::fromLatin1(v->value.str.val, v->value.str.len)
                                     : QString::fromUtf8(v->value.str.val, v->value.str.len);
                    else if (fields[i].Type == pxfNumber)
                        value = v->value.dval;
                    else
                        value = v->value.lval;
                }
                record[fields[i].Name] = value;
                if (fields[i].Type == pxfAlpha && !v->isnull) Doc()->free(Doc(), v->value.str.val);
                Doc()->free(Doc(), v);
            }
            Doc()->free(Doc(), values);
            records.push_back(record);
        }
        return records;
    }

private:
    TPxDocument FPx;
    bool FOpen = false;
    bool FRaw = false;
};

QString Text(const TRecord& record, const char* field) {
    const TValue& v = record.at(QString::fromLatin1(field));
    return std::holds_alternative<QString>(v) ? std::get<QString>(v) : QString();
}

double Number(const TRecord& record, const char* field) {
    return std::get<double>(record.at(QString::fromLatin1(field)));
}

long Count(const TRecord& record, const char* field) {
    return std::get<long>(record.at(QString::fromLatin1(field)));
}

TLabelStock AsStock(const TRecord& r) {
    TLabelStock stock;
    stock.CatNum = Text(r, "CatNum");
    stock.SpacingTop = Number(r, "SpacingTop");
    stock.SpacingLeft = Number(r, "SpacingLeft");
    stock.SpacingHeight = Number(r, "SpacingHeight");
    stock.SpacingWidth = Number(r, "SpacingWidth");
    stock.LabelHeight = Number(r, "LabelHeight");
    stock.LabelWidth = Number(r, "LabelWidth");
    stock.NumAcross = int(Count(r, "NumAcross"));
    stock.NumDown = int(Count(r, "NumDown"));
    return stock;
}

const std::vector<TRecord>& ShippedStocks() {
    static const std::vector<TRecord> records =
        TParadoxReader(InProgramFolder(QStringLiteral("LABLIST.DB"))).Records();
    return records;
}

// The shipped label catalogue.

TEST(ShippedLabelTable, HasTheCatalogueFieldsInTheirOrder) {
    const TParadoxReader table(InProgramFolder(QStringLiteral("LABLIST.DB")));
    ASSERT_TRUE(table.IsOpen());
    const std::vector<TField> expected = {
        {"CatNum", pxfAlpha, 24},       {"LabelType", pxfAlpha, 24},
        {"Color", pxfAlpha, 6},         {"LabelShape", pxfAlpha, 8},
        {"LabelFeed", pxfAlpha, 5},     {"SpacingTop", pxfNumber, 8},
        {"SpacingLeft", pxfNumber, 8},  {"SpacingHeight", pxfNumber, 8},
        {"SpacingWidth", pxfNumber, 8}, {"LabelHeight", pxfNumber, 8},
        {"LabelWidth", pxfNumber, 8},   {"NumAcross", pxfShort, 2},
        {"NumDown", pxfShort, 2},       {"SheetSize", pxfAlpha, 8},
        {"Description", pxfAlpha, 80}};
    EXPECT_EQ(table.Fields(), expected);
    EXPECT_EQ(table.Head().px_doscodepage, 1252);
    EXPECT_EQ(table.Head().px_primarykeyfields, 1);
    EXPECT_EQ(table.Head().px_filetype, pxfFileTypIndexDB);
    EXPECT_GE(ShippedStocks().size(), 250u);
}

// Stocks everyone knows, with the geometry of their makers' sheets (A4 ones in millimetres).
TEST(ShippedLabelTable, WellKnownStocksReadBackWithTheirMakersGeometry) {
    struct TKnown {
        const char* CatNum;
        const char* Type;
        const char* Shape;
        const char* Sheet;
        double Width, Height, Left, Top, PitchAcross, PitchDown;
        int Across, Down;
        double Scale; // of the lengths above, to inches
    };
    const TKnown known[] = {
        {"5160", "Address", "RRect", "Letter", 2.625, 1, 0.1875, 0.5, 2.75, 1, 3, 10, 1},
        {"5167", "Return", "RRect", "Letter", 1.75, 0.5, 0.3, 0.5, 2.05, 0.5, 4, 20, 1},
        {"5163", "Shipping", "RRect", "Letter", 4, 2, 0.15625, 0.5, 4.1875, 2, 2, 5, 1},
        {"5371", "Business Card", "Rect", "Letter", 3.5, 2, 0.75, 0.5, 3.5, 2, 2, 5, 1},
        {"L7160", "Address", "RRect", "A4", 63.5, 38.1, 7.21, 15.15, 66.04, 38.1, 3, 7, 1 / 25.4},
        {"3474", "Address", "Rect", "A4", 70, 37, 0, 0.5, 70, 37, 3, 8, 1 / 25.4},
    };
    for (const TKnown& k : known) {
        SCOPED_TRACE(k.CatNum);
        const auto it = std::find_if(ShippedStocks().begin(), ShippedStocks().end(),
                                     [&](const TRecord& r) { return Text(r, "CatNum") == k.CatNum; });
        ASSERT_NE(it, ShippedStocks().end());
        const TRecord& r = *it;
        EXPECT_EQ(Text(r, "LabelType"), k.Type);
        EXPECT_EQ(Text(r, "LabelShape"), k.Shape);
        EXPECT_EQ(Text(r, "SheetSize"), k.Sheet);
        EXPECT_TRUE(Text(r, "Description").contains(QLatin1String(k.CatNum)));
        // Stored to 1/10000 in.
        EXPECT_NEAR(Number(r, "LabelWidth"), k.Width * k.Scale, 1e-4);
        EXPECT_NEAR(Number(r, "LabelHeight"), k.Height * k.Scale, 1e-4);
        EXPECT_NEAR(Number(r, "SpacingLeft"), k.Left * k.Scale, 1e-4);
        EXPECT_NEAR(Number(r, "SpacingTop"), k.Top * k.Scale, 1e-4);
        EXPECT_NEAR(Number(r, "SpacingWidth"), k.PitchAcross * k.Scale, 1e-4);
        EXPECT_NEAR(Number(r, "SpacingHeight"), k.PitchDown * k.Scale, 1e-4);
        EXPECT_EQ(Count(r, "NumAcross"), k.Across);
        EXPECT_EQ(Count(r, "NumDown"), k.Down);
    }
}

// Every value the label categories filter on, both sheets and every outline have stock.
TEST(ShippedLabelTable, CoversEveryLabelTypeSheetAndShape) {
    QSet<QString> types, sheets, shapes;
    for (const TRecord& r : ShippedStocks()) {
        types.insert(Text(r, "LabelType"));
        sheets.insert(Text(r, "SheetSize"));
        shapes.insert(Text(r, "LabelShape"));
    }
    for (const QString& type : LabelCatalogue::LabelTypes())
        EXPECT_TRUE(types.contains(type)) << type.toStdString();
    EXPECT_EQ(sheets, (QSet<QString>{"Letter", "A4"}));
    for (const char* shape : {"Rect", "RRect", "Round"})
        EXPECT_TRUE(shapes.contains(QLatin1String(shape))) << shape;
}

TEST(ShippedLabelTable, RecordsAreInKeyOrderWithAWorkingPrimaryIndex) {
    QStringList numbers;
    for (const TRecord& r : ShippedStocks())
        numbers << Text(r, "CatNum");
    QStringList sorted = numbers;
    sorted.sort();
    sorted.removeDuplicates();
    EXPECT_EQ(numbers, sorted) << "records out of order or duplicated";

    TParadoxReader table(InProgramFolder(QStringLiteral("LABLIST.DB")));
    TPxDocument index;
    const QByteArray indexName = QFile::encodeName(InProgramFolder(QStringLiteral("LABLIST.PX")));
    ASSERT_TRUE(index.Started());
    ASSERT_EQ(PX_open_file(index.Doc(), indexName.constData()), 0);
    index.SetOpen();
    EXPECT_EQ(index.Doc()->px_head->px_filetype, pxfFileTypPrimIndex);
    EXPECT_EQ(PX_read_primary_index(index.Doc()), 0);
    EXPECT_EQ(PX_add_primary_index(table.Doc(), index.Doc()), 0);
}

// Every choice of the wizard's label type page finds stock to list.
TEST(ShippedLabelTable, EveryLabelChoiceListsStock) {
    const std::map<QString, QStringList> choices = {
        {"Address", {"Address"}},
        {"Return", {"Address", "Return"}},
        {"Shipping", {"Shipping"}},
        {"Audio Tape", {"Audio"}},
        {"Computer", {"Computer", "Diskette"}},
        {"VCR", {"Video"}},
        {"Badges", {"Badge", "ID Card", "Name Tag"}},
        {"Business Card", {"Business Card"}},
        {"Folder", {"Folder"}},
        {"Inventory", {"General"}},
        {"Rotary", {"Rotary"}},
        {"Index Card", {"Index Card"}},
        {"Post Card", {"Post Card"}},
        {"Tent Card", {"Tent Card"}},
        {"General", {"Card", "Sheet", "General"}},
    };
    for (const auto& [choice, types] : choices) {
        const bool listed =
            std::any_of(ShippedStocks().begin(), ShippedStocks().end(),
                        [&](const TRecord& r) { return types.contains(Text(r, "LabelType")); });
        EXPECT_TRUE(listed) << choice.toStdString();
    }
}

// Each stock's labels lie on its own sheet without overlapping, first in the catalogue's
// inches and then through the same geometry code a label document uses.
TEST(ShippedLabelTable, EveryStockLaysOutOnItsSheet) {
    for (const TRecord& r : ShippedStocks()) {
        const TLabelStock stock = AsStock(r);
        SCOPED_TRACE(stock.CatNum.toStdString());
        const bool a4 = Text(r, "SheetSize") == QLatin1String("A4");
        const double sheetWidth = a4 ? 210 / 25.4 : 8.5, sheetHeight = a4 ? 297 / 25.4 : 11;
        EXPECT_GE(stock.NumAcross, 1);
        EXPECT_GE(stock.NumDown, 1);
        EXPECT_GT(stock.LabelWidth, 0);
        EXPECT_GT(stock.LabelHeight, 0);
        EXPECT_GE(stock.SpacingLeft, 0);
        EXPECT_GE(stock.SpacingTop, 0);
        if (stock.NumAcross > 1) {
            EXPECT_GE(stock.SpacingWidth + 1e-3, stock.LabelWidth);
        }
        if (stock.NumDown > 1) {
            EXPECT_GE(stock.SpacingHeight + 1e-3, stock.LabelHeight);
        }
        EXPECT_LE(stock.SpacingLeft + (stock.NumAcross - 1) * stock.SpacingWidth + stock.LabelWidth,
                  sheetWidth + 1e-3);
        EXPECT_LE(stock.SpacingTop + (stock.NumDown - 1) * stock.SpacingHeight + stock.LabelHeight,
                  sheetHeight + 1e-3);

        const QSize paper = PaperSize(true, a4);
        TSheetGeometry g;
        TSheetInputs inputs;
        inputs.Label = &stock;
        EXPECT_TRUE(ComputeSheetGeometry(12, g, inputs));
        EXPECT_EQ(g.NumAcross, stock.NumAcross);
        EXPECT_EQ(g.NumDown, stock.NumDown);
        // Each of the lengths summed is rounded to 1/100 in.
        EXPECT_LE(g.SpacingLeft + (g.NumAcross - 1) * g.SpacingWidth + g.LabelWidth,
                  paper.width() + (g.NumAcross + 1) / 2);
        EXPECT_LE(g.SpacingTop + (g.NumDown - 1) * g.SpacingHeight + g.LabelHeight,
                  paper.height() + (g.NumDown + 1) / 2);
    }
}

// Reading, checking and writing a catalogue.

const QByteArray Header =
    "CatNum,LabelType,Color,LabelShape,LabelFeed,LabelWidth,LabelHeight,NumAcross,NumDown,"
    "SpacingLeft,SpacingTop,SpacingWidth,SpacingHeight\n";

TLabelStockRow GoodRow(const QString& number = QStringLiteral("T-1")) {
    TLabelStockRow row;
    row.CatNum = number;
    row.LabelType = QStringLiteral("Address");
    row.Color = QStringLiteral("White");
    row.LabelShape = QStringLiteral("RRect");
    row.LabelFeed = QStringLiteral("Both");
    row.LabelWidth = 2.625;
    row.LabelHeight = 1;
    row.NumAcross = 3;
    row.NumDown = 10;
    row.SpacingLeft = 0.1875;
    row.SpacingTop = 0.5;
    row.SpacingWidth = 2.75;
    row.SpacingHeight = 1;
    return row;
}

TEST(LabelCatalogueRead, TakesColumnsInAnyOrderWithQuotedText) {
    const QByteArray csv = "Description,NumDown,NumAcross,SpacingHeight,SpacingWidth,SpacingTop,"
                           "SpacingLeft,LabelHeight,LabelWidth,LabelFeed,LabelShape,Color,"
                           "LabelType,CatNum\n"
                           "\"Tags, small\",20,4,0.5,2.0625,0.5,0.28125,0.5,1.75,Laser,Round,"
                           "Clear,\"Name Tag\",\" X-9 \"\n";
    const std::vector<TLabelStockRow> rows = LabelCatalogue::Read(csv);
    ASSERT_EQ(rows.size(), 1u);
    const TLabelStockRow& r = rows[0];
    EXPECT_EQ(r.CatNum, "X-9");
    EXPECT_EQ(r.LabelType, "Name Tag");
    EXPECT_EQ(r.Color, "Clear");
    EXPECT_EQ(r.LabelShape, "Round");
    EXPECT_EQ(r.LabelFeed, "Laser");
    EXPECT_DOUBLE_EQ(r.LabelWidth, 1.75);
    EXPECT_DOUBLE_EQ(r.SpacingWidth, 2.0625);
    EXPECT_EQ(r.NumAcross, 4);
    EXPECT_EQ(r.NumDown, 20);
    EXPECT_EQ(r.Description, "Tags, small");
    EXPECT_EQ(r.SheetSize, "Letter"); // the column left out
}

TEST(LabelCatalogueRead, RejectsMalformedSources) {
    const QByteArray good = "A,Address,White,Rect,Both,1,1,1,1,0,0,1,1\n";
    struct TCase {
        const char* What;
        QByteArray Csv;
        const char* Message;
    };
    const TCase cases[] = {
        {"empty file", "", "no header"},
        {"missing column", "CatNum,LabelType\nA,Address\n", "no column \"Color\""},
        {"misspelt column", Header.trimmed() + ",Colour\n" + good, "Unknown column \"Colour\""},
        {"short row", Header + "A,Address,White\n", "Row 2 has 3 values"},
        {"not a number", Header + good + "B,Address,White,Rect,Both,1,one,1,1,0,0,1,1\n",
         "Row 3: LabelHeight \"one\" is not a number"},
        {"fraction for a count", Header + "A,Address,White,Rect,Both,1,1,2.5,1,0,0,1,1\n",
         "NumAcross \"2.5\" is not a number"},
        {"unclosed quote", Header + "\"A,Address,White,Rect,Both,1,1,1,1,0,0,1,1\n",
         "not valid CSV"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        try {
            LabelCatalogue::Read(c.Csv);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.Message))) << e.what();
        }
    }
}

TEST(LabelCatalogueCheck, AcceptsGoodStockIncludingAFullSheet) {
    TLabelStockRow full = GoodRow(QStringLiteral("T-2"));
    full.LabelType = QStringLiteral("Sheet");
    full.LabelWidth = full.SpacingWidth = 8.5;
    full.LabelHeight = full.SpacingHeight = 11;
    full.NumAcross = full.NumDown = 1;
    full.SpacingLeft = full.SpacingTop = 0;
    EXPECT_EQ(LabelCatalogue::Check({GoodRow(), full}), QStringList());
}

TEST(LabelCatalogueCheck, ReportsEachFault) {
    struct TCase {
        const char* What;
        void (*Spoil)(TLabelStockRow&);
        const char* Message;
    };
    const TCase cases[] = {
        {"unknown type", [](TLabelStockRow& r) { r.LabelType = "Adress"; }, "in no label category"},
        {"unknown shape", [](TLabelStockRow& r) { r.LabelShape = "Oval"; }, "LabelShape \"Oval\""},
        {"unknown feed", [](TLabelStockRow& r) { r.LabelFeed = "Dot"; }, "LabelFeed \"Dot\""},
        {"empty colour", [](TLabelStockRow& r) { r.Color.clear(); }, "Color is empty"},
        {"colour too long", [](TLabelStockRow& r) { r.Color = "Silver1"; },
         "longer than 6 characters"},
        {"outside the code page",
         [](TLabelStockRow& r) { r.Color = QString::fromUtf8("Blau\u03a9"); },
         "outside code page 1252"},
        {"overlapping across", [](TLabelStockRow& r) { r.SpacingWidth = 2.5; },
         "overlap along the width"},
        {"overlapping down", [](TLabelStockRow& r) { r.SpacingHeight = 0.9; },
         "overlap along the height"},
        {"off the right edge", [](TLabelStockRow& r) { r.SpacingLeft = 0.4; },
         "off the sheet along the width"},
        {"off the bottom", [](TLabelStockRow& r) { r.NumDown = 11; },
         "off the sheet along the height"},
        {"no labels", [](TLabelStockRow& r) { r.NumAcross = 0; }, "width count 0"},
        {"no height", [](TLabelStockRow& r) { r.LabelHeight = 0; }, "label height must be above 0"},
        {"negative margin", [](TLabelStockRow& r) { r.SpacingTop = -0.1; },
         "height spacing is negative"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TLabelStockRow row = GoodRow();
        c.Spoil(row);
        const QStringList problems = LabelCatalogue::Check({row});
        ASSERT_FALSE(problems.isEmpty());
        EXPECT_TRUE(problems.join('\n').contains(QLatin1String(c.Message)))
            << problems.join('\n').toStdString();
    }
}

// A grid as tall as A4 fits an A4 stock and runs off a Letter one.
TEST(LabelCatalogueCheck, MeasuresEachStockOnItsOwnSheet) {
    TLabelStockRow a4 = GoodRow(QStringLiteral("Z-1"));
    a4.SheetSize = QStringLiteral("A4");
    a4.LabelWidth = a4.SpacingWidth = 70 / 25.4;
    a4.LabelHeight = a4.SpacingHeight = 37 / 25.4;
    a4.SpacingLeft = 0;
    a4.SpacingTop = 0.5 / 25.4;
    a4.NumDown = 8;
    EXPECT_EQ(LabelCatalogue::Check({a4}), QStringList());

    TLabelStockRow letter = a4;
    letter.SheetSize = QStringLiteral("Letter");
    const QStringList problems = LabelCatalogue::Check({letter});
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("off the sheet along the height")) << problems[0].toStdString();

    TLabelStockRow unknown = GoodRow();
    unknown.SheetSize = QStringLiteral("Legal");
    ASSERT_EQ(LabelCatalogue::Check({unknown}).size(), 1);
    EXPECT_TRUE(LabelCatalogue::Check({unknown})[0].contains("SheetSize \"Legal\""));
}

TEST(LabelCatalogueCheck, ReportsNumbersThatDifferOnlyInCase) {
    const QStringList problems = LabelCatalogue::Check({GoodRow("ql-1"), GoodRow("QL-1")});
    EXPECT_EQ(problems, QStringList{"QL-1: duplicate number"});
}

TEST(LabelCatalogueWrite, StoresRowsInKeyOrderAndTextInTheCodePage) {
    QTemporaryDir folder;
    TLabelStockRow accented = GoodRow(QStringLiteral("B-2"));
    // Six characters: seven bytes of UTF-8, but six in the table's code page, so it fits.
    accented.Color = QString::fromUtf8("Bleuté");
    accented.LabelType = QStringLiteral("Name Tag");
    accented.NumAcross = 1;
    accented.SheetSize = QStringLiteral("A4");
    accented.Description = QString::fromUtf8("Étiquettes, 1 x 2-5/8 in");
    LabelCatalogue::Write(
        {GoodRow(QStringLiteral("C-3")), accented, GoodRow(QStringLiteral("A-1"))}, folder.path());

    const TParadoxReader table(QDir(folder.path()).filePath(QStringLiteral("LABLIST.DB")));
    ASSERT_TRUE(table.IsOpen());
    const std::vector<TRecord> records = table.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(Text(records[0], "CatNum"), "A-1");
    EXPECT_EQ(Text(records[1], "CatNum"), "B-2");
    EXPECT_EQ(Text(records[2], "CatNum"), "C-3");
    EXPECT_EQ(Text(records[1], "Color"), QString::fromUtf8("Bleuté"));
    EXPECT_EQ(Text(records[1], "LabelType"), "Name Tag");
    EXPECT_EQ(Count(records[1], "NumAcross"), 1);
    EXPECT_DOUBLE_EQ(Number(records[1], "SpacingLeft"), 0.1875);
    EXPECT_EQ(Text(records[1], "SheetSize"), "A4");
    EXPECT_EQ(Text(records[1], "Description"), QString::fromUtf8("Étiquettes, 1 x 2-5/8 in"));
    EXPECT_EQ(Text(records[0], "Description"), QString()); // none given: stored empty

    const TParadoxReader raw(QDir(folder.path()).filePath(QStringLiteral("LABLIST.DB")), true);
    EXPECT_EQ(Text(raw.Records()[1], "Color").toLatin1(), QByteArray("Bleut\xe9"));
    EXPECT_TRUE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("LABLIST.PX"))));
}

TEST(LabelCatalogueWrite, RefusesAFaultyCatalogueAndLeavesNoTable) {
    QTemporaryDir folder;
    TLabelStockRow bad = GoodRow();
    bad.NumDown = 40;
    EXPECT_THROW(LabelCatalogue::Write({GoodRow("A"), bad}, folder.path()), Exception);
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("LABLIST.DB"))));
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("LABLIST.PX"))));
}

// Templates.

struct TShipped {
    QString FileName;
    std::unique_ptr<TCard> Card;
};

class ShippedTemplates : public ::testing::Test {
protected:
    TTestContext Context;
    std::vector<TShipped> Templates;

    void SetUp() override {
        const QDir folder(InProgramFolder(QStringLiteral("Template")));
        for (const QString& name : folder.entryList({QStringLiteral("*.qdx")}, QDir::Files)) {
            std::unique_ptr<TStored> root(LoadStoredFromFile(folder.filePath(name)));
            auto* card = dynamic_cast<TCard*>(root.get());
            ASSERT_NE(card, nullptr) << name.toStdString();
            root.release();
            Templates.push_back({name, std::unique_ptr<TCard>(card)});
        }
        ASSERT_FALSE(Templates.empty());
    }

    TCard& Named(const char* fileName) {
        for (TShipped& t : Templates)
            if (t.FileName == QLatin1String(fileName)) return *t.Card;
        throw std::runtime_error(std::string("no template ") + fileName);
    }
};

TEST_F(ShippedTemplates, EveryBlankStandardTypeHasAtLeastTwo) {
    std::map<int, int> counts;
    for (const TShipped& t : Templates)
        ++counts[t.Card->DocumentType];
    for (int type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13})
        EXPECT_GE(counts[type], 2) << DocumentTypeInfo(type)->Name;
}

// Templates are made on Letter paper; laid out on A4 as well, nothing may leave its panel.
TEST_F(ShippedTemplates, TakeTheirTypesFormatAndFitTheirPanelsOnLetterAndA4) {
    for (const bool metric : {false, true}) {
        Context.Context.Metric = metric;
        for (const TShipped& t : Templates) {
            SCOPED_TRACE(t.FileName.toStdString() + (metric ? " on A4" : " on Letter"));
            TCard& card = *t.Card;
            card.LayoutAllPages();
            EXPECT_EQ(card.CardFormat, DocumentTypeInfo(card.DocumentType)->Format);
            EXPECT_EQ(card.SavedPixelsPerInch, 96);
            ASSERT_EQ(card.PageCount(), 1);
            const TCardPage& page = *card.Pages(0);
            ASSERT_EQ(page.PanelCount(), CardFormatInfo(card.CardFormat)->Panels);
            int objects = 0;
            card.ForEachObjectIn([&](TCardObject* object, int, int panelIndex, int) {
                ++objects;
                const TCardPanel& panel = *page.Panels(panelIndex);
                const TRect& b = object->Bounds;
                const std::string kind = object->TypeName().toStdString();
                EXPECT_GE(std::min(b.Left, b.Right), 0) << kind;
                EXPECT_GE(std::min(b.Top, b.Bottom), 0) << kind;
                EXPECT_LE(std::max(b.Left, b.Right), panel.Width) << kind;
                EXPECT_LE(std::max(b.Top, b.Bottom), panel.Height) << kind;
            });
            EXPECT_GE(objects, 5);
        }
    }
    Context.Context.Metric = false;
}

TEST_F(ShippedTemplates, AreDescribedAndPreviewedUnderDistinctNames) {
    QSet<QString> keys, descriptions;
    for (const TShipped& t : Templates) {
        SCOPED_TRACE(t.FileName.toStdString());
        const TCard& card = *t.Card;
        // The template index keys files by their upper-cased names.
        EXPECT_FALSE(keys.contains(t.FileName.toUpper()));
        keys.insert(t.FileName.toUpper());
        EXPECT_FALSE(card.Description.isEmpty());
        EXPECT_LE(card.Description.toUtf8().size(), 255); // the index keeps a short string
        EXPECT_FALSE(descriptions.contains(card.Description));
        descriptions.insert(card.Description);

        QImage preview;
        ASSERT_TRUE(preview.loadFromData(card.Preview.Bytes, "BMP"));
        EXPECT_EQ(std::max(preview.width(), preview.height()), TCard::PreviewSize);
        // Shapes give every template a visible structure, even before its texts are drawn.
        int coloured = 0;
        for (int y = 0; y < preview.height(); ++y)
            for (int x = 0; x < preview.width(); ++x)
                if ((preview.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++coloured;
        EXPECT_GT(coloured, 50);
    }
}

TEST_F(ShippedTemplates, FormulasNameFieldsOfTheirForm) {
    static const QRegularExpression reference(QStringLiteral("\\{([^}]*)\\}"));
    for (const TShipped& t : Templates) {
        SCOPED_TRACE(t.FileName.toStdString());
        QSet<QString> names;
        std::vector<const TFieldObject*> fields;
        t.Card->ForEachObject([&](TCardObject* object) {
            if (auto* field = dynamic_cast<TFieldObject*>(object)) {
                EXPECT_FALSE(names.contains(field->FieldName.toUpper()))
                    << field->FieldName.toStdString();
                names.insert(field->FieldName.toUpper());
                fields.push_back(field);
            }
        });
        for (const TFieldObject* field : fields)
            for (const auto& match : reference.globalMatch(field->Formula))
                EXPECT_TRUE(names.contains(match.captured(1).trimmed().toUpper()))
                    << field->FieldName.toStdString() << ": " << field->Formula.toStdString();
    }
}

TEST_F(ShippedTemplates, OrderFormComputesAmountsTaxAndTotal) {
    TCard& card = Named("Order Form.qdx");
    Context.Context.AddOpenCard(&card);
    auto set = [&](const char* name, const char* value) {
        TFieldObject* field = card.FindField(QString::fromLatin1(name));
        ASSERT_NE(field, nullptr) << name;
        field->Value = QString::fromLatin1(value);
    };
    auto shown = [&](const char* name) {
        return card.FindField(QString::fromLatin1(name))->DisplayText();
    };
    EXPECT_EQ(shown("Total"), QString()); // nothing typed yet: nothing to show
    set("Qty1", "3");
    set("Price1", "2.5");
    set("Qty2", "1");
    set("Price2", "10");
    set("TaxRate", "10");
    EXPECT_EQ(shown("Amount1"), "7.50");
    EXPECT_EQ(shown("Amount2"), "10.00");
    EXPECT_EQ(shown("Subtotal"), "17.50");
    EXPECT_EQ(shown("Tax"), "1.75");
    EXPECT_EQ(shown("Total"), "19.25");
    EXPECT_EQ(shown("Price1"), "2.50");
    Context.Context.RemoveOpenCard(&card);
}

TEST_F(ShippedTemplates, ExpenseReportComputesTheAmountDue) {
    TCard& card = Named("Expense Report.qdx");
    Context.Context.AddOpenCard(&card);
    card.FindField(QStringLiteral("Expense1"))->Value = QStringLiteral("12.40");
    card.FindField(QStringLiteral("Expense10"))->Value = QStringLiteral("100");
    card.FindField(QStringLiteral("Advance"))->Value = QStringLiteral("50");
    EXPECT_EQ(card.FindField(QStringLiteral("Expenses"))->DisplayText(), "112.40");
    EXPECT_EQ(card.FindField(QStringLiteral("AmountDue"))->DisplayText(), "62.40");
    Context.Context.RemoveOpenCard(&card);
}

TEST_F(ShippedTemplates, PersonalizedNamesShowUntilPersonalized) {
    bool found = false;
    Named("Certificate of Achievement.qdx").ForEachObject([&](TCardObject* object) {
        auto* headline = dynamic_cast<THeadlineObject*>(object);
        if (!headline || !headline->Text.contains(QLatin1String("[Recipient Name]"))) return;
        found = true;
        ASSERT_EQ(headline->Codes().Count(), 1);
        EXPECT_EQ(headline->Code(0)->GetText(), "Recipient Name");
        EXPECT_EQ(headline->HeadlineText().Lines, QStringList{"Recipient Name"});
    });
    EXPECT_TRUE(found);
}

TEST_F(ShippedTemplates, NewsletterStoryFlowsFromColumnToColumn) {
    std::vector<TRichTextObject*> frames;
    Named("Club Newsletter.qdx").ForEachObject([&](TCardObject* object) {
        if (auto* frame = dynamic_cast<TRichTextObject*>(object)) frames.push_back(frame);
    });
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0]->Successor(), frames[1]);
    EXPECT_EQ(frames[1]->Predecessor(), frames[0]);
    EXPECT_LT(frames[0]->Bounds.Left, frames[1]->Bounds.Left); // left column first
}

// The template index of a user folder seeded with the shipped templates offers templates for
// every standard type that has a blank path.
TEST(ShippedTemplateIndex, OffersTemplatesForEveryBlankStandardType) {
    TTestContext context;
    QTemporaryDir folder;
    const QDir shipped(InProgramFolder(QStringLiteral("Template")));
    for (const QString& name : shipped.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(shipped.filePath(name), QDir(folder.path()).filePath(name)));
    TTemplateTable index;
    index.SetFolder(folder.path());
    index.Refresh();
    EXPECT_EQ(context.Messages.Errors, QStringList());
    for (int type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13})
        EXPECT_GE(index.CountForType(type), 2) << DocumentTypeInfo(type)->Name;
    EXPECT_EQ(index.Count(), int(shipped.entryList(QDir::Files).size()));
}

// The other shipped files.

TEST(ProgramFolder, HoldsTheFilesTheProgramRequiresAtStart) {
    for (const char* name : {"LABLIST.DB", "LABLIST.PX", "ENGLISH.DCT"})
        EXPECT_TRUE(QFile::exists(InProgramFolder(QString::fromLatin1(name)))) << name;
    EXPECT_TRUE(QDir(InProgramFolder(QStringLiteral("Clip Art"))).exists());
    EXPECT_TRUE(QDir(InProgramFolder(QStringLiteral("Template"))).exists());
}

TEST(ProgramFolder, SpellingDictionaryNamesAnInstalledDictionary) {
    QFile file(InProgramFolder(QStringLiteral("ENGLISH.DCT")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QString dictionary;
    while (!file.atEnd() && dictionary.isEmpty()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) dictionary = line;
    }
    ASSERT_FALSE(dictionary.isEmpty());
    EXPECT_TRUE(QFile::exists(dictionary + QStringLiteral(".aff"))) << dictionary.toStdString();
    EXPECT_TRUE(QFile::exists(dictionary + QStringLiteral(".dic"))) << dictionary.toStdString();
}

TEST(ProgramFolder, GuideAnswersEveryHelpContextAndItsLinksResolve) {
    const QDir help(InProgramFolder(QStringLiteral("help")));
    QFile file(help.filePath(QStringLiteral("qdx-guide.html")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // The guide is kept well-formed, so an XML reader sees every anchor and link.
    QXmlStreamReader xml(&file);
    QSet<QString> ids;
    QStringList links;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.hasAttribute(QLatin1String("id"))) {
            const QString id = attributes.value(QLatin1String("id")).toString();
            EXPECT_FALSE(ids.contains(id)) << "duplicate id " << id.toStdString();
            ids.insert(id);
        }
        for (const char* name : {"href", "src"})
            if (attributes.hasAttribute(QLatin1String(name)))
                links << attributes.value(QLatin1String(name)).toString();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    // The contexts of the windows that have a Help button or key.
    for (int context :
         {1, 120, 10006, 10007, 10009, 10011, 10012, 10030, 10036, 10037, 10042, 10045, 21000})
        EXPECT_TRUE(ids.contains(QStringLiteral("ctx-%1").arg(context))) << context;
    // Topic Search and How To Use Help open these.
    EXPECT_TRUE(ids.contains(QStringLiteral("index")));
    EXPECT_TRUE(ids.contains(QStringLiteral("using-help")));
    for (const QString& link : links) {
        if (link.startsWith(QLatin1Char('#'))) {
            EXPECT_TRUE(ids.contains(link.mid(1))) << link.toStdString();
        } else if (!link.contains(QLatin1Char(':'))) {
            EXPECT_TRUE(help.exists(link)) << link.toStdString();
        }
    }
}

TEST(ProgramFolder, ClipArtPicturesAreSmallDrawingsOnATransparentGround) {
    const QDir folder(InProgramFolder(QStringLiteral("Clip Art")));
    const QStringList pictures = folder.entryList({QStringLiteral("*.png")}, QDir::Files);
    EXPECT_GE(pictures.size(), 8);
    for (const QString& name : pictures) {
        SCOPED_TRACE(name.toStdString());
        const QImage image(folder.filePath(name));
        ASSERT_FALSE(image.isNull());
        EXPECT_LE(std::max(image.width(), image.height()), 256);
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255) ++opaque;
        EXPECT_GT(opaque, image.width() * image.height() / 10);
    }
}

} // namespace
