#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "objects/Grid.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr quint32 Paper = 0xFFFFFF;
constexpr quint32 Background = 0xE0F0FF; // a pale orange
constexpr quint32 Lines = 0xFF0000;      // blue
constexpr quint32 Ink = 0x0000FF;        // red

// A grid whose object sits at (24, 24) logical pixels, sized to its table.
std::unique_ptr<TGridObject> MakeGrid(std::vector<int> widths, std::vector<int> heights,
                                      int lineWidth) {
    auto grid = std::make_unique<TGridObject>();
    TGridTable& t = grid->Table();
    t.SetSize(int(widths.size()), int(heights.size()));
    t.ColumnWidths() = std::move(widths);
    t.RowHeights() = std::move(heights);
    t.TrueLineWidth = lineWidth;
    t.Color = Background;
    t.LineColor = Lines;
    t.FontColor = Ink;
    t.FontName = QStringLiteral("Arial");
    t.TrueFontSize = 12;
    t.UpdateTrueSize();
    grid->Bounds = {25, 25, 60, 60}; // 24 pixels at 96 per inch
    grid->Realign();
    return grid;
}

QImage Render(TGridObject& grid, int dpi = 96, QSize size = {260, 200}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(ColorFromRef(Paper));
    QPainter painter(&image);
    TCanvas canvas(painter, dpi, dpi, TCanvas::TKind::Image);
    grid.Draw(canvas, 0, 0, false);
    return image;
}

quint32 At(const QImage& image, int x, int y) {
    return ColorToRef(QColor(image.pixel(x, y)));
}

// The bounding box of the pixels in area that are clearly the red ink (antialiased edges
// included), or an empty rectangle.
QRect InkIn(const QImage& image, const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c(image.pixel(x, y));
            if (c.red() > 150 && c.green() < 170 && c.blue() < 200) box |= QRect(x, y, 1, 1);
        }
    return box;
}

struct TCounter : TGridTable::TObserver {
    int Changes = 0;
    int Destroyed = 0;
    void TableChanged() override { ++Changes; }
    void TableDestroyed() override { ++Destroyed; }
};

} // namespace

// Size and drawing.

TEST(Grid, RealignGivesTheObjectItsTableSizeInsideTheControlFrame) {
    TTestContext test;
    auto grid = MakeGrid({40, 50}, {20, 30}, 1);
    const TGridTable& t = grid->Table();
    EXPECT_EQ(t.TableWidth(), 40 + 50 + 3);
    EXPECT_EQ(t.TableHeight(), 20 + 30 + 3);
    EXPECT_EQ(UnitsToScreen(grid->Bounds), (TRect{24, 24, 24 + 93, 24 + 53}));
    // Only the top-left corner of what comes in counts; the frame is the control's.
    const TRect adjusted = grid->AdjustRect({100, 7, 101, 8});
    EXPECT_EQ(adjusted, (TRect{100, 7, 100 + 93 + 24, 7 + 53 + 24}));
    // Thicker lines: (count + 1) of them on each axis.
    grid->Table().TrueLineWidth = 3;
    grid->Realign();
    EXPECT_EQ(UnitsToScreen(grid->Bounds), (TRect{24, 24, 24 + 90 + 9, 24 + 50 + 9}));
    // Realign twice changes nothing more.
    grid->Realign();
    EXPECT_EQ(UnitsToScreen(grid->Bounds).Width(), 99);
}

TEST(Grid, DrawsBackgroundAndOnePixelLinesAtTheTableSizes) {
    TTestContext test;
    auto grid = MakeGrid({40, 50}, {20, 30}, 1);
    const QImage image = Render(*grid);
    // Lines: x = 24, 24 + 1 + 40 = 65, 65 + 1 + 50 = 116; y = 24, 45, 76.
    for (int x : {24, 65, 116})
        for (int y : {30, 60, 75})
            EXPECT_EQ(At(image, x, y), Lines) << x << "," << y;
    for (int y : {24, 45, 76})
        for (int x : {30, 90, 115})
            EXPECT_EQ(At(image, x, y), Lines) << x << "," << y;
    EXPECT_EQ(At(image, 116, 76), Lines); // the closing corner is drawn
    EXPECT_EQ(At(image, 24, 24), Lines);
    // Inside the cells: the background, right up to the lines.
    for (QPoint p : {QPoint(25, 25), QPoint(64, 44), QPoint(66, 46), QPoint(115, 75),
                     QPoint(45, 35), QPoint(90, 60)})
        EXPECT_EQ(At(image, p.x(), p.y()), Background) << p.x() << "," << p.y();
    // Nothing outside the object.
    for (QPoint p : {QPoint(23, 50), QPoint(117, 50), QPoint(50, 23), QPoint(50, 77)})
        EXPECT_EQ(At(image, p.x(), p.y()), Paper) << p.x() << "," << p.y();
}

TEST(Grid, ThickLinesTakeTheirWidthFromTheTopLeftOfEachLine) {
    TTestContext test;
    auto grid = MakeGrid({40, 50}, {20, 30}, 3);
    const QImage image = Render(*grid);
    // Vertical lines cover 24..26, 67..69 (24 + 3 + 40), 120..122; horizontal 24..26,
    // 47..49, 80..82; the object is 99 x 59 pixels.
    for (int x : {24, 26, 67, 69, 120, 122})
        EXPECT_EQ(At(image, x, 40), Lines) << x;
    for (int x : {27, 66, 70, 119})
        EXPECT_EQ(At(image, x, 40), Background) << x;
    EXPECT_EQ(At(image, 123, 40), Paper);
    for (int y : {24, 26, 47, 49, 80, 82})
        EXPECT_EQ(At(image, 50, y), Lines) << y;
    for (int y : {27, 46, 50, 79})
        EXPECT_EQ(At(image, 50, y), Background) << y;
    EXPECT_EQ(At(image, 50, 83), Paper);
    EXPECT_EQ(At(image, 122, 82), Lines);
}

TEST(Grid, SizesFollowTheDeviceResolution) {
    TTestContext test;
    auto grid = MakeGrid({40, 50}, {20, 30}, 1);
    // At 192 dots per inch every logical pixel is two: the object starts at 48, a line is 2
    // dots wide, the first cell 80 wide.
    const QImage image = Render(*grid, 192, {300, 200});
    for (int x : {48, 49, 130, 131, 232, 233})
        EXPECT_EQ(At(image, x, 100), Lines) << x;
    for (int x : {50, 129, 132, 231})
        EXPECT_EQ(At(image, x, 100), Background) << x;
    EXPECT_EQ(At(image, 234, 100), Paper);
}

TEST(Grid, CellTextFollowsTheAlignmentWithItsInsets) {
    TTestContext test;
    auto grid = MakeGrid({120, 30}, {40}, 1);
    TGridTable& t = grid->Table();
    t.SetCell(0, 0, QStringLiteral("Wide"));
    // The cell's inside: x 25..144, y 25..64.
    const QRect cell(25, 25, 120, 40);
    struct TCase {
        quint8 Alignment;
        const char* Name;
    };
    int centreLeft = 0;
    for (const TCase c : {TCase{0, "left"}, TCase{1, "right"}, TCase{2, "centre"}}) {
        SCOPED_TRACE(c.Name);
        t.Alignment = c.Alignment;
        const QImage image = Render(*grid);
        const QRect ink = InkIn(image, cell);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_GE(ink.top(), cell.top() + 2);
        EXPECT_LE(ink.top(), cell.top() + 8);
        switch (c.Alignment) {
        case 0:
            EXPECT_GE(ink.left(), cell.left() + 2);
            EXPECT_LE(ink.left(), cell.left() + 4);
            break;
        case 1:
            EXPECT_LE(ink.right(), cell.right() - 3);
            EXPECT_GE(ink.right(), cell.right() - 6);
            break;
        default:
            EXPECT_LE(std::abs((ink.left() + ink.right()) - (cell.left() + cell.right())), 3);
            centreLeft = ink.left();
            break;
        }
        // The empty neighbour stays empty.
        EXPECT_TRUE(InkIn(image, QRect(146, 25, 30, 40)).isEmpty());
    }
    EXPECT_GT(centreLeft, cell.left() + 20);
}

TEST(Grid, CellTextWrapsAndStaysInsideItsCell) {
    TTestContext test;
    auto grid = MakeGrid({50, 50}, {60}, 1);
    TGridTable& t = grid->Table();
    t.Alignment = 0;
    t.SetCell(0, 0, QStringLiteral("aa bb cc dd ee"));
    t.SetCell(1, 0, QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    const QImage image = Render(*grid);
    // Several lines of words in the first cell.
    const QRect words = InkIn(image, QRect(25, 25, 50, 60));
    ASSERT_FALSE(words.isEmpty());
    EXPECT_GT(words.height(), 30);
    // The long word is cut at its cell: the closing line and what lies beyond are intact.
    for (int y = 25; y < 85; ++y) {
        EXPECT_EQ(At(image, 126, y), Lines) << y;
        EXPECT_EQ(At(image, 127, y), Paper) << y;
    }
}

TEST(Grid, AVersion0GridSharesItsWidthAmongTheColumns) {
    TTestContext test;
    const QString path = QStringLiteral(QDX_TEST_DATA "/documents/grid-v0.qdx");
    std::unique_ptr<TStored> root(LoadStoredFromFile(path));
    auto* card = dynamic_cast<TCard*>(root.get());
    ASSERT_NE(card, nullptr);
    auto* grid = dynamic_cast<TGridObject*>(card->ObjectAt(0, 0, 0));
    ASSERT_NE(grid, nullptr);
    // 3 columns in 100 pixels with 1-pixel lines: (100 - 4) div 3 = 32 each.
    EXPECT_EQ(grid->Table().ColumnWidths(), (std::vector<int>{32, 32, 32}));
    EXPECT_EQ(grid->Table().TableWidth(), 4 + 96);
    // Drawn from the object's left edge: lines 33 pixels apart.
    const TRect b = UnitsToScreen(grid->Bounds);
    QImage image(b.Right + 20, b.Bottom + 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(painter, 96, 96, TCanvas::TKind::Image);
        grid->Draw(canvas, 0, 0, false);
    }
    const int y = b.Top + 10;
    const quint32 line = grid->Table().LineColor;
    for (int k = 0; k <= 3; ++k)
        EXPECT_EQ(At(image, b.Left + 33 * k, y), line) << k;
    EXPECT_NE(At(image, b.Left + 16, y), line);
}

// Zoom.

TEST(Grid, ZoomIsKeptWithinItsBoundsAndScalesTheLayout) {
    TTestContext test;
    auto grid = MakeGrid({40, 50}, {20, 30}, 1);
    TGridTable& t = grid->Table();
    grid->ZoomChanged(5);
    EXPECT_EQ(t.ZoomFactor, TGridTable::MinZoom);
    grid->ZoomChanged(5000);
    EXPECT_EQ(t.ZoomFactor, TGridTable::MaxZoom);
    grid->ZoomChanged(200);
    EXPECT_EQ(t.ZoomFactor, 200);
    const TGridLayout at200(t, 200, 100);
    EXPECT_EQ(at200.Cell(0, 0), QRect(2, 2, 80, 40));
    EXPECT_EQ(at200.Cell(1, 1), QRect(84, 44, 100, 60));
    EXPECT_EQ(at200.Width(), 186);
    // At a tenth the lines keep one pixel and the cells follow the true positions.
    const TGridLayout at10(t, 10, 100);
    EXPECT_EQ(at10.ColumnLineEnd(0) - at10.ColumnLineStart(0), 1);
    EXPECT_EQ(at10.ColumnLineStart(1), 4); // 41 / 10
    EXPECT_EQ(at10.ColumnLineStart(2), 9); // 92 / 10
    // The font keeps at least a point.
    EXPECT_GE(t.DisplayFont(10).pixelSize(), 1);
}

TEST(Grid, AGridSavedAtTwiceTheSizeStoresItsTrueSizes) {
    TTestContext test;
    TCard card(0, 0);
    auto* grid = MakeGrid({40, 50}, {20, 30}, 2).release();
    grid->Table().SetCell(1, 1, QStringLiteral("x"));
    card.Pages(0)->Panels(0)->AddObject(grid);
    const QByteArray at100 = CardToBytes(card);
    grid->ZoomChanged(200);
    EXPECT_EQ(CardToBytes(card), at100);
    const auto reloaded = CardFromBytes(CardToBytes(card));
    auto* copy = dynamic_cast<TGridObject*>(reloaded->ObjectAt(0, 0, 0));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Table().ColumnWidths(), (std::vector<int>{40, 50}));
    EXPECT_EQ(copy->Table().RowHeights(), (std::vector<int>{20, 30}));
    EXPECT_EQ(copy->Table().TrueWidth, 96);
    EXPECT_EQ(copy->Table().TrueLineWidth, 2);
}

// Copies and observers.

TEST(Grid, CopiesTakeEveryValueAndStayIndependent) {
    TTestContext test;
    auto grid = MakeGrid({40, 50}, {20, 30}, 2);
    TGridTable& t = grid->Table();
    t.SetCell(1, 0, QStringLiteral("Price"));
    t.FontStyle = 5;
    t.Alignment = 1;
    std::unique_ptr<TStored> stored(CloneStored(grid.get()));
    auto* copy = dynamic_cast<TGridObject*>(stored.get());
    ASSERT_NE(copy, nullptr);
    const TGridTable& c = copy->Table();
    EXPECT_EQ(c.ColumnWidths(), t.ColumnWidths());
    EXPECT_EQ(c.RowHeights(), t.RowHeights());
    EXPECT_EQ(c.Cell(1, 0), QStringLiteral("Price"));
    EXPECT_EQ(c.Color, Background);
    EXPECT_EQ(c.LineColor, Lines);
    EXPECT_EQ(c.FontColor, Ink);
    EXPECT_EQ(c.FontStyle, 5);
    EXPECT_EQ(c.Alignment, 1);
    EXPECT_EQ(c.TrueLineWidth, 2);
    EXPECT_EQ(c.TrueWidth, t.TrueWidth);
    EXPECT_EQ(c.TrueHeight, t.TrueHeight);
    t.SetCell(1, 0, QStringLiteral("changed"));
    EXPECT_EQ(c.Cell(1, 0), QStringLiteral("Price"));
}

TEST(Grid, ObserversHearOfChangesAndOfTheEnd) {
    TTestContext test;
    TCounter counter;
    {
        auto grid = MakeGrid({40}, {20}, 1);
        grid->Table().AddObserver(&counter);
        grid->ZoomChanged(150);
        EXPECT_EQ(counter.Changes, 1);
        grid->ZoomChanged(150); // no change, no news
        EXPECT_EQ(counter.Changes, 1);
        grid->Table().RemoveObserver(&counter);
        grid->ZoomChanged(100);
        EXPECT_EQ(counter.Changes, 1);
        grid->Table().AddObserver(&counter);
    }
    EXPECT_EQ(counter.Destroyed, 1);
}

// Spelling.

TEST(Grid, SpellCheckingWalksTheCellsRowByRow) {
    TTestContext test;
    auto grid = MakeGrid({40, 40}, {20, 20, 20}, 1);
    TGridTable& t = grid->Table();
    t.SetCell(0, 0, QStringLiteral("Helo wrld"));
    t.SetCell(1, 0, QString());
    t.SetCell(0, 1, QStringLiteral("x-ray's [tag]"));
    t.SetCell(1, 1, QStringLiteral("3rd<b>caf\u00e9"));
    t.SetCell(1, 2, QStringLiteral("  end. "));
    QStringList words;
    TSpellCheckState run;
    for (QString w = grid->BeginSpellCheck(run); !w.isEmpty(); w = grid->NextWord(run))
        words.append(w);
    // Codes are not special here: "[tag]" and "<b>" hold words like any other text.
    EXPECT_EQ(words, (QStringList{"Helo", "wrld", "x", "ray", "s", "tag", "3rd", "b",
                                  QStringLiteral("caf\u00e9"), "end"}));
    EXPECT_TRUE(grid->NextWord(run).isEmpty()); // the end stays the end
    grid->EndSpellCheck(run);
}

TEST(Grid, ReplacingAWordWritesTheCellBack) {
    TTestContext test;
    TCard card(0, 0);
    auto* grid = MakeGrid({40, 40}, {20, 20}, 1).release();
    card.Pages(0)->Panels(0)->AddObject(grid);
    test.Context.AddOpenCard(&card);
    TGridTable& t = grid->Table();
    t.SetCell(0, 0, QStringLiteral("Helo wrld"));
    t.SetCell(1, 1, QStringLiteral("teh end"));
    TCounter counter;
    t.AddObserver(&counter);

    TSpellCheckState run;
    EXPECT_EQ(grid->BeginSpellCheck(run), QStringLiteral("Helo"));
    grid->ReplaceWord(run, QStringLiteral("Hello"));
    EXPECT_EQ(t.Cell(0, 0), QStringLiteral("Hello wrld"));
    EXPECT_EQ(counter.Changes, 1);
    EXPECT_TRUE(card.DocumentModified);
    EXPECT_EQ(grid->NextWord(run), QStringLiteral("wrld"));
    grid->ReplaceWord(run, QStringLiteral("world"));
    EXPECT_EQ(t.Cell(0, 0), QStringLiteral("Hello world"));
    EXPECT_EQ(grid->NextWord(run), QStringLiteral("teh"));
    EXPECT_EQ(run.Column, 1);
    EXPECT_EQ(run.Row, 1);
    grid->ReplaceWord(run, QStringLiteral("the"));
    EXPECT_EQ(t.Cell(1, 1), QStringLiteral("the end"));
    EXPECT_EQ(t.Cell(0, 0), QStringLiteral("Hello world"));
    // Revealing the object puts the cursor on the cell being checked.
    grid->RevealWord(run);
    EXPECT_EQ(t.CurrentColumn, 1);
    EXPECT_EQ(t.CurrentRow, 1);
    EXPECT_EQ(grid->NextWord(run), QStringLiteral("end"));
    EXPECT_TRUE(grid->NextWord(run).isEmpty());
    grid->ReplaceWord(run, QStringLiteral("nothing")); // past the end: no cell to change
    EXPECT_EQ(t.Cell(1, 1), QStringLiteral("the end"));
    t.RemoveObserver(&counter);
    test.Context.RemoveOpenCard(&card);
}

// Two documents checked at the same time, a word at a time in turn: each run reads and writes
// its own document's cells from its own position.
TEST(Grid, InterleavedSpellingRunsKeepTheirOwnPositions) {
    TTestContext test;
    TCard first(cfBifoldVertical, dtGreetingCard);
    TCard second(cfBifoldVertical, dtGreetingCard);
    auto* a = MakeGrid({40, 40}, {20}, 1).release();
    auto* b = MakeGrid({40}, {20, 20}, 1).release();
    first.Pages(0)->Panels(0)->AddObject(a);
    second.Pages(0)->Panels(0)->AddObject(b);
    a->Table().SetCell(0, 0, QStringLiteral("one tow"));
    a->Table().SetCell(1, 0, QStringLiteral("thre"));
    b->Table().SetCell(0, 0, QStringLiteral("alpha"));
    b->Table().SetCell(0, 1, QStringLiteral("bta gamma"));

    TSpellCheckState runA, runB;
    EXPECT_EQ(a->BeginSpellCheck(runA), QStringLiteral("one"));
    EXPECT_EQ(b->BeginSpellCheck(runB), QStringLiteral("alpha"));
    EXPECT_EQ(a->NextWord(runA), QStringLiteral("tow"));
    EXPECT_EQ(b->NextWord(runB), QStringLiteral("bta"));
    a->ReplaceWord(runA, QStringLiteral("two"));
    b->ReplaceWord(runB, QStringLiteral("beta"));
    EXPECT_EQ(a->NextWord(runA), QStringLiteral("thre"));
    EXPECT_EQ(b->NextWord(runB), QStringLiteral("gamma"));
    a->ReplaceWord(runA, QStringLiteral("three"));
    EXPECT_EQ(runA.Column, 1);
    EXPECT_EQ(runA.Row, 0);
    EXPECT_EQ(runB.Column, 0);
    EXPECT_EQ(runB.Row, 1);
    EXPECT_TRUE(a->NextWord(runA).isEmpty());
    EXPECT_TRUE(b->NextWord(runB).isEmpty());

    EXPECT_EQ(a->Table().Cell(0, 0), QStringLiteral("one two"));
    EXPECT_EQ(a->Table().Cell(1, 0), QStringLiteral("three"));
    EXPECT_EQ(b->Table().Cell(0, 0), QStringLiteral("alpha"));
    EXPECT_EQ(b->Table().Cell(0, 1), QStringLiteral("beta gamma"));
}
