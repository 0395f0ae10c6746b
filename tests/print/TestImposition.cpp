#include "print/Imposition.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <set>

namespace {

TSheetGeometry BusinessCards(int format) {
    TSheetGeometry g;
    ComputeSheetGeometry(format, g);
    return g;
}

// The x of every vertical mark above the cards, and the y of every tick left of them.
std::set<int> ColumnMarks(const std::vector<QLine>& marks) {
    std::set<int> xs;
    for (const QLine& m : marks)
        if (m.x1() == m.x2() && m.y2() == 0) xs.insert(m.x1());
    return xs;
}
std::set<int> RowMarks(const std::vector<QLine>& marks, int left) {
    std::set<int> ys;
    for (const QLine& m : marks)
        if (m.y1() == m.y2() && m.x1() == left) ys.insert(m.y1());
    return ys;
}

} // namespace

TEST(Imposition, SheetsPerCopyFollowTheFormat) {
    TSheetGeometry banner;
    banner.NumAcross = 3;
    EXPECT_EQ(SheetCount(0, {}, 1), 1);
    EXPECT_EQ(SheetCount(8, {}, 1), 4);
    EXPECT_EQ(SheetCount(8, {}, 3), 12); // three records
    EXPECT_EQ(SheetCount(13, banner, 2), 6);
    TSheetGeometry labels;
    labels.NumAcross = 3;
    labels.NumDown = 10;
    EXPECT_EQ(SheetCount(12, labels, 25), 1);
    EXPECT_EQ(SheetCount(12, labels, 30), 1);
    EXPECT_EQ(SheetCount(12, labels, 31), 2);
    EXPECT_EQ(SheetCount(12, labels, 0), 0);
    EXPECT_EQ(SheetCount(12, labels, 1), 1); // one copy without records: one sheet
}

TEST(Imposition, PrintedSheetsFollowPagesTilesAndRecords) {
    TSheetGeometry labels;
    labels.NumAcross = 3;
    labels.NumDown = 10;
    TSheetGeometry banner;
    banner.NumAcross = 3;
    using TTiles = TPrintedSheets::TTiles;
    struct TCase {
        const char* Name;
        int Format;
        TSheetGeometry Geometry;
        TPageRange Pages;
        std::optional<int> Records;
        TTiles Tiles;
        // Tile, page, first record and records of each sheet in order.
        std::vector<std::array<int, 4>> Sheets;
    };
    const std::vector<TCase> cases = {
        {"a card of two pages", 0, {}, {0, 1}, std::nullopt, TTiles::Separate,
         {{0, 0, 0, 0}, {0, 1, 0, 0}}},
        {"a card per record", 0, {}, {0, 0}, 2, TTiles::Separate,
         {{0, 0, 0, 1}, {0, 0, 1, 1}}},
        {"45 labels on sheets of 30", 12, labels, {0, 0}, 45, TTiles::Separate,
         {{0, 0, 0, 30}, {0, 0, 30, 15}}},
        {"labels continue on the next page", 12, labels, {0, 1}, 45, TTiles::Separate,
         {{0, 0, 0, 30}, {0, 1, 30, 15}}},
        {"labels without records", 12, labels, {0, 0}, std::nullopt, TTiles::Separate,
         {{0, 0, 0, 0}}},
        {"no records, no labels", 12, labels, {0, 0}, 0, TTiles::Separate, {}},
        {"a poster per record", 8, {}, {0, 0}, 2, TTiles::Separate,
         {{0, 0, 0, 1}, {1, 0, 0, 1}, {2, 0, 0, 1}, {3, 0, 0, 1},
          {0, 0, 1, 1}, {1, 0, 1, 1}, {2, 0, 1, 1}, {3, 0, 1, 1}}},
        {"a poster seen whole", 8, {}, {0, 0}, 2, TTiles::Whole, {{0, 0, 0, 1}, {0, 0, 1, 1}}},
        {"banner tiles before the next page", 13, banner, {1, 2}, std::nullopt, TTiles::Separate,
         {{0, 1, 0, 0}, {0, 2, 0, 0}, {1, 1, 0, 0}, {1, 2, 0, 0}, {2, 1, 0, 0}, {2, 2, 0, 0}}},
        {"an empty page range", 0, {}, {2, 1}, std::nullopt, TTiles::Separate, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPrintedSheets sheets(c.Format, c.Geometry, c.Pages, c.Records, c.Tiles);
        std::vector<std::array<int, 4>> found;
        for (int i = 0; i < sheets.Count(); ++i) {
            const TPrintedSheet s = sheets.At(i);
            found.push_back({s.Tile, s.Page, s.FirstRecord, s.Records});
        }
        EXPECT_EQ(found, c.Sheets);
    }
    EXPECT_EQ(TPrintedSheets(8, {}, {0, 0}, 1, TTiles::Whole).PaperSheetsPerEntry(), 4);
    EXPECT_EQ(TPrintedSheets(8, {}, {0, 0}, 1).PaperSheetsPerEntry(), 1);
    // A damaged banner of 32767 sheets across, printed for many records, is counted, not
    // listed.
    banner.NumAcross = 32767;
    EXPECT_EQ(TPrintedSheets(13, banner, {0, 3}, 100000).Count(),
              std::numeric_limits<int>::max());
}

TEST(Imposition, PosterTilesRunTopLeftTopRightBottomLeftBottomRight) {
    const QSize printable(800, 1050);
    EXPECT_EQ(TileShift(8, {}, 0, printable), QPoint(0, 0));
    EXPECT_EQ(TileShift(8, {}, 1, printable), QPoint(800, 0));
    EXPECT_EQ(TileShift(8, {}, 2, printable), QPoint(0, 1050));
    EXPECT_EQ(TileShift(8, {}, 3, printable), QPoint(800, 1050));
    EXPECT_EQ(TileShift(8, {}, 5, printable), QPoint(800, 0)); // the second copy
    TSheetGeometry banner;
    banner.NumAcross = 3;
    EXPECT_EQ(TileShift(13, banner, 2, printable), QPoint(1600, 0));
    EXPECT_EQ(TileShift(13, banner, 3, printable), QPoint(0, 0));
    // The NCR two-up cards place both cards with the item grid, never with a tile shift.
    EXPECT_EQ(TileShift(16, BusinessCards(16), 1, printable), QPoint(0, 0));
}

TEST(Imposition, CropMarksOfConnectedCardsMarkEveryCut) {
    const TSheetGeometry g = BusinessCards(9); // 2 x 5 cards of 350 x 200 from (75, 50)
    const std::vector<QLine> marks = CropMarks(9, g);
    // One mark per column at its left edge; the right-hand ticks start at the last edge.
    EXPECT_EQ(ColumnMarks(marks), (std::set<int>{75, 425}));
    EXPECT_EQ(RowMarks(marks, 75), (std::set<int>{50, 250, 450, 650, 850, 1050}));
    // Marks stay off the cards: above them, below them and beside them.
    for (const QLine& m : marks) {
        const bool vertical = m.x1() == m.x2();
        if (vertical) {
            EXPECT_TRUE(std::max(m.y1(), m.y2()) <= 50 || std::min(m.y1(), m.y2()) >= 1050);
        } else {
            EXPECT_TRUE(std::max(m.x1(), m.x2()) <= 75 || std::min(m.x1(), m.x2()) >= 775);
        }
    }
}

TEST(Imposition, CropMarksOfSeparatedCardsMarkBothEdgesOfEachColumnAndRow) {
    const std::vector<QLine> ten = CropMarks(10, BusinessCards(10));
    EXPECT_EQ(ColumnMarks(ten), (std::set<int>{50, 400, 450, 800}));
    EXPECT_EQ(RowMarks(ten, 50), (std::set<int>{50, 250, 450, 650, 850, 1050}));
    // The right ticks begin at the right edge of the cards, not inside them.
    for (const QLine& m : ten) {
        if (m.y1() == m.y2() && m.x1() > 400) {
            EXPECT_GE(std::min(m.x1(), m.x2()), 800);
        }
    }

    const std::vector<QLine> eight = CropMarks(11, BusinessCards(11));
    EXPECT_EQ(ColumnMarks(eight), (std::set<int>{50, 400, 450, 800}));
    EXPECT_EQ(RowMarks(eight, 50),
              (std::set<int>{75, 275, 325, 525, 575, 775, 825, 1025}));
    EXPECT_TRUE(CropMarks(12, BusinessCards(12)).empty());
}

TEST(Imposition, TurnedPanelsTurnAboutTheCentreOfThePaper) {
    TPanelGeometry panel;
    panel.Width = 850;
    panel.Height = 550;
    panel.Turned = panel.Mirrored = 1;
    panel.TurnY = 550;
    // A printer with unequal margins: left 25, top 10 of a Letter sheet at 100 dpi.
    const TPanelPlacement at = PrintPlacement(panel, {850, 1100}, {25, 10}, 100, {}, {});
    // The panel's top-left corner (0, 0) lands at the paper's (850, 550), seen from the
    // printable area.
    const QPoint corner = at.Transform.map(at.Origin);
    EXPECT_EQ(corner, QPoint(850 - 25, 550 - 10));
    const QPoint far = at.Transform.map(at.Origin + QPoint(850, 550));
    EXPECT_EQ(far, QPoint(0 - 25, 0 - 10));
}

TEST(Imposition, AHalfUsedSheetAndARecordRangeMoveTheRecordsOn) {
    TSheetGeometry labels;
    labels.NumAcross = 3;
    labels.NumDown = 10;
    struct TCase {
        const char* Name;
        TSheetRun Run;
        int Format;
        // First item, first record and records of each sheet in order.
        std::vector<std::array<int, 3>> Sheets;
    };
    const std::vector<TCase> cases = {
        {"45 labels from label 8", {45, 0, 7}, cfLabel, {{7, 0, 23}, {0, 23, 22}}},
        {"23 labels fill the rest of the sheet", {23, 0, 7}, cfLabel, {{7, 0, 23}}},
        {"24 labels need a second sheet", {24, 0, 7}, cfLabel, {{7, 0, 23}, {0, 23, 1}}},
        {"records 31 to 75", {45, 30, 0}, cfLabel, {{0, 30, 30}, {0, 60, 15}}},
        {"a start past the sheet keeps one free label", {5, 0, 99}, cfLabel, {{29, 0, 1}, {0, 1, 4}}},
        {"the same design on every label", {std::nullopt, 0, 4}, cfLabel, {{4, 0, 0}}},
        {"cards ignore the start", {2, 10, 5}, 0, {{0, 10, 1}, {0, 11, 1}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPrintedSheets sheets(c.Format, labels, {0, 0}, c.Run);
        std::vector<std::array<int, 3>> found;
        for (int i = 0; i < sheets.Count(); ++i) {
            const TPrintedSheet s = sheets.At(i);
            found.push_back({s.FirstItem, s.FirstRecord, s.Records});
        }
        EXPECT_EQ(found, c.Sheets);
    }
}

TEST(Imposition, RecordRangesStopAtTheTablesEndAndRefuseWhatLiesBeyond) {
    const std::optional<TSheetRun> whole = RecordRange(1, 100, 100);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->FirstRecord, 0);
    EXPECT_EQ(whole->Records, 100);
    const std::optional<TSheetRun> tail = RecordRange(91, 1000, 100);
    ASSERT_TRUE(tail);
    EXPECT_EQ(tail->FirstRecord, 90);
    EXPECT_EQ(tail->Records, 10);
    EXPECT_FALSE(RecordRange(101, 200, 100));
    EXPECT_FALSE(RecordRange(5, 4, 100));
    EXPECT_FALSE(RecordRange(0, 4, 100));
}
