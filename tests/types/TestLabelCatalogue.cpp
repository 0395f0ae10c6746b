// The label catalogue's rows from the system's label templates, and the stock search.

#include "types/LabelCatalogue.h"
#include "types/SystemLabelTemplates.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString Fixtures = QStringLiteral(QDX_TEST_DATA "/labeltemplates");

const TLabelCatalogueRow* Find(const TLabelCatalogue& rows, const char* catNum) {
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const TLabelCatalogueRow& r) {
        return r.Stock.CatNum == QLatin1String(catNum);
    });
    return it == rows.end() ? nullptr : &*it;
}

QStringList Numbers(const TLabelCatalogue& rows) {
    QStringList numbers;
    for (const TLabelCatalogueRow& r : rows)
        numbers << r.Stock.CatNum;
    return numbers;
}

// System label templates.

TEST(SystemLabelTemplates, ReadsWhatTheCatalogueCanShowInFileOrder) {
    const TLabelCatalogue rows = ReadSystemLabelTemplates(Fixtures);
    EXPECT_EQ(Numbers(rows), (QStringList{"Test R-30", "Other 930", "Test R-30C", "Test M-14",
                                          "Test C-12", "Test D-1", "Test E-8", "Test B-10",
                                          "Test B-10X"}));
    for (const TLabelCatalogueRow& r : rows) {
        EXPECT_TRUE(r.FromSystem);
        EXPECT_EQ(r.LabelFeed, "Both");
        EXPECT_EQ(r.Color, "White");
    }
}

TEST(SystemLabelTemplates, ConvertsEveryUnitToInches) {
    const TLabelCatalogue rows = ReadSystemLabelTemplates(Fixtures);
    struct TExpected {
        const char* CatNum;
        const char* Shape;
        const char* Type;
        const char* Sheet;
        double Width, Height, Left, Top, PitchAcross, PitchDown;
        int Across, Down;
        double SheetWidth, SheetHeight;
    };
    const double mm = 1 / 25.4;
    const TExpected expected[] = {
        // points and inches
        {"Test R-30", "RRect", "Address", "US-Letter", 2.625, 1, 0.1875, 0.5, 2.75, 1, 3, 10, 8.5, 11},
        // millimetres on A4
        {"Test M-14", "Rect", "Shipping", "A4", 99.1 * mm, 38.1 * mm, 4.65 * mm, 15.15 * mm,
         101.6 * mm, 38.1 * mm, 2, 7, 210 * mm, 297 * mm},
        // centimetres, a sheet given by its size
        {"Test C-12", "Round", "General", "Other", 2, 2, 0.625, 0.5, 2.5, 2.5, 3, 4, 8.5, 11},
        // picas; a single label's pitch is its size
        {"Test D-1", "Round", "Computer", "US-Letter", 4.65, 4.65, 2, 1, 4.65, 4.65, 1, 1, 8.5, 11},
        {"Test E-8", "Round", "Badge", "A4", 80 * mm, 50 * mm, 20 * mm, 30 * mm, 90 * mm, 60 * mm,
         2, 4, 210 * mm, 297 * mm},
        {"Test B-10", "Rect", "Business Card", "US-Letter", 3.5, 2, 0.75, 0.5, 3.5, 2, 2, 5, 8.5, 11},
    };
    for (const TExpected& e : expected) {
        SCOPED_TRACE(e.CatNum);
        const TLabelCatalogueRow* r = Find(rows, e.CatNum);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->LabelShape, e.Shape);
        EXPECT_EQ(r->LabelType, e.Type);
        EXPECT_EQ(r->SheetSize, e.Sheet);
        EXPECT_NEAR(r->Stock.LabelWidth, e.Width, 1e-9);
        EXPECT_NEAR(r->Stock.LabelHeight, e.Height, 1e-9);
        EXPECT_NEAR(r->Stock.SpacingLeft, e.Left, 1e-9);
        EXPECT_NEAR(r->Stock.SpacingTop, e.Top, 1e-9);
        EXPECT_NEAR(r->Stock.SpacingWidth, e.PitchAcross, 1e-9);
        EXPECT_NEAR(r->Stock.SpacingHeight, e.PitchDown, 1e-9);
        EXPECT_EQ(r->Stock.NumAcross, e.Across);
        EXPECT_EQ(r->Stock.NumDown, e.Down);
        EXPECT_NEAR(r->SheetWidth, e.SheetWidth, 1e-9);
        EXPECT_NEAR(r->SheetHeight, e.SheetHeight, 1e-9);
    }
}

// Aliases and clones (also from a later file) are the same sheet under another name; a clone
// keeps its own description, and a name met again keeps its first geometry.
TEST(SystemLabelTemplates, AliasesAndClonesShareTheirOriginalsLabel) {
    const TLabelCatalogue rows = ReadSystemLabelTemplates(Fixtures);
    const TLabelCatalogueRow* original = Find(rows, "Test R-30");
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(original->Description, "Address labels");
    for (const char* copy : {"Other 930", "Test R-30C", "Test B-10X"}) {
        SCOPED_TRACE(copy);
        const TLabelCatalogueRow* r = Find(rows, copy);
        ASSERT_NE(r, nullptr);
        EXPECT_DOUBLE_EQ(r->Stock.LabelWidth, original->Stock.LabelWidth);
        EXPECT_EQ(r->Stock.NumAcross * r->Stock.NumDown, 30);
        EXPECT_EQ(r->SheetSize, "US-Letter");
    }
    EXPECT_EQ(Find(rows, "Test R-30C")->Description, "Clear address labels");
    EXPECT_EQ(Find(rows, "Test M-14")->Description, "Parcel labels"); // the translatable one
}

// Templates a row cannot hold are passed over, and the rows keep inside their sheets.
TEST(SystemLabelTemplates, PassesOverWhatCannotBeShown) {
    const TLabelCatalogue rows = ReadSystemLabelTemplates(Fixtures);
    for (const QString& number : Numbers(rows))
        EXPECT_FALSE(number.startsWith(QLatin1String("Test X-"))) << number.toStdString();
    EXPECT_EQ(Find(rows, "Test B-broken"), nullptr); // its file breaks off inside it
    for (const TLabelCatalogueRow& r : rows) {
        SCOPED_TRACE(r.Stock.CatNum.toStdString());
        const TLabelStock& s = r.Stock;
        EXPECT_LE(s.SpacingLeft + (s.NumAcross - 1) * s.SpacingWidth + s.LabelWidth,
                  r.SheetWidth + 0.01);
        EXPECT_LE(s.SpacingTop + (s.NumDown - 1) * s.SpacingHeight + s.LabelHeight,
                  r.SheetHeight + 0.01);
    }
}

TEST(SystemLabelTemplates, AMissingFolderOrAStrangeFileGivesNoRows) {
    EXPECT_TRUE(ReadSystemLabelTemplates(QStringLiteral("/nonexistent/templates")).empty());
    EXPECT_TRUE(ReadSystemLabelTemplates(QString()).empty());
    EXPECT_TRUE(ParseLabelTemplates("").empty());
    EXPECT_TRUE(ParseLabelTemplates("not xml at all").empty());
    EXPECT_TRUE(ParseLabelTemplates("<Glabels-categories><Template brand='a' part='b' "
                                    "size='A4'/></Glabels-categories>")
                    .empty());
}

// A file far larger than any template file is not read into memory.
TEST(SystemLabelTemplates, PassesOverAnOversizedFile) {
    QTemporaryDir folder;
    QFile source(QDir(Fixtures).filePath(QStringLiteral("b-more.template")));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray text = source.readAll();
    {
        QFile big(folder.filePath(QStringLiteral("big.xml")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(text).replace("B-10", "B-11"));
        ASSERT_TRUE(big.resize(64LL * 1024 * 1024)); // sparse: no disk used
    }
    QFile small(folder.filePath(QStringLiteral("small.xml")));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write(text);
    small.close();
    EXPECT_EQ(Numbers(ReadSystemLabelTemplates(folder.path())), QStringList{"Test B-10"});
}

TEST(SystemLabelTemplates, TheFolderCanBeChosenByTheEnvironment) {
    const QByteArray saved = qgetenv("QDX_LABEL_TEMPLATES");
    qunsetenv("QDX_LABEL_TEMPLATES");
    EXPECT_EQ(SystemLabelTemplatesFolder(), "/usr/share/libglabels-3.0/templates");
    qputenv("QDX_LABEL_TEMPLATES", Fixtures.toUtf8());
    EXPECT_EQ(SystemLabelTemplatesFolder(), Fixtures);
    if (saved.isNull())
        qunsetenv("QDX_LABEL_TEMPLATES");
    else
        qputenv("QDX_LABEL_TEMPLATES", saved);
}

TEST(NamedSheetSize, KnowsTheCommonSheetsByEitherName) {
    ASSERT_TRUE(NamedSheetSize("Letter"));
    EXPECT_DOUBLE_EQ(NamedSheetSize("us-letter")->Height, 11);
    EXPECT_NEAR(NamedSheetSize("A4")->Width, 8.2677, 1e-4);
    EXPECT_NEAR(NamedSheetSize("a5")->Height, 8.2677, 1e-4);
    EXPECT_DOUBLE_EQ(NamedSheetSize("US-Legal")->Height, 14);
    EXPECT_FALSE(NamedSheetSize("Quarto"));
    EXPECT_FALSE(NamedSheetSize(""));
}

// Searching the stock list.

TLabelCatalogueRow Row(const char* catNum, const char* description, double width, double height,
                       int across, int down) {
    TLabelCatalogueRow row;
    row.Stock.CatNum = QString::fromLatin1(catNum);
    row.Description = QString::fromLatin1(description);
    row.Stock.LabelWidth = width;
    row.Stock.LabelHeight = height;
    row.Stock.NumAcross = across;
    row.Stock.NumDown = down;
    return row;
}

const TLabelCatalogue Stocks = {
    Row("5160", "Avery 5160 address labels, 1 x 2-5/8 in", 2.625, 1, 3, 10),
    Row("L7160", "Avery L7160 address labels, 63.5 x 38.1 mm", 2.5, 1.5, 3, 7),
    Row("5167", "Avery 5167 return address labels", 1.75, 0.5, 4, 20),
    Row("8160", "Avery 8160 address labels, 1 x 2-5/8 in", 2.625, 1, 3, 10),
    Row("Test B-10", "Business cards", 3.5, 2, 2, 5),
};

TEST(SearchLabelCatalogue, MatchesNumberDescriptionOrShownSizeInOrder) {
    struct TCase {
        const char* Text;
        QStringList Expected;
    };
    const TCase cases[] = {
        {"5160", {"5160"}},
        {"160", {"5160", "L7160", "8160"}},
        {"l7", {"L7160"}},                         // case does not matter
        {"2.625", {"5160", "8160"}},               // the width as shown
        {"0.5", {"5167"}},                         // the height as shown
        {"4 x 20", {"5167"}},                      // labels per page
        {"RETURN", {"5167"}},                      // the description
        {"b-10", {"Test B-10"}},
        {"38.1 mm", {"L7160"}},
        {"nothing like it", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Numbers(SearchLabelCatalogue(Stocks, QString::fromLatin1(c.Text))), c.Expected);
    }
}

TEST(SearchLabelCatalogue, EmptyTextGivesEveryRow) {
    EXPECT_EQ(Numbers(SearchLabelCatalogue(Stocks, QString())), Numbers(Stocks));
    EXPECT_EQ(Numbers(SearchLabelCatalogue(Stocks, QStringLiteral("  "))), Numbers(Stocks));
    EXPECT_TRUE(SearchLabelCatalogue({}, QStringLiteral("5160")).empty());
}

} // namespace
