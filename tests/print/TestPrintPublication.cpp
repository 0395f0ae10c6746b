#include "print/PrintPublication.h"

#include "print/Imposition.h"
#include "support/DocumentFixtures.h"
#include "support/PrintFixtures.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const QRgb Red = 0xFF0000, Lime = 0x00FF00, Blue = 0x0000FF, Magenta = 0xFF00FF,
           Cyan = 0x00FFFF, Yellow = 0xFFFF00;
constexpr int RedIndex = 9, LimeIndex = 10, YellowIndex = 11, BlueIndex = 12, MagentaIndex = 13,
              CyanIndex = 14;

// The same mark on a panel: 100 x 200 units from (100, 100) of the panel.
const TRect Mark{100, 100, 200, 300};

class PrintTest : public testing::Test {
protected:
    TTestContext Test;
    TRecordingPrompts Prompts;

    TPrintResult Print(TCard& card, TPrinter& printer, TPrintRequest request = {}) {
        return PrintPublication(card, printer, Prompts, request);
    }
    // Cards made from now on have tables of `count` numbered records.
    void UseNumberedTables(int count) {
        Test.Context.RecordSourceFactory = [count] {
            return std::make_unique<TNumberedTable>(count);
        };
    }
    TNumberedTable& Connect(TCard& card) {
        card.SetDataSource(QStringLiteral("/tmp/names.csv"));
        auto* table = dynamic_cast<TNumberedTable*>(card.DataTable());
        EXPECT_NE(table, nullptr);
        return *table;
    }
    // A swatch of the current record's colour on each of the panels of the first page.
    static void AddSwatches(TCard& card, TNumberedTable& table, std::initializer_list<int> panels,
                            const TRect& bounds = Mark) {
        for (const int panel : panels) {
            auto* swatch = new TRecordSwatch(&table);
            swatch->Bounds = bounds;
            card.Pages(0)->Panels(panel)->AddObject(swatch);
        }
    }
};

} // namespace

TEST_F(PrintTest, BifoldPrintsTheCoversThenTheInsideEachAsAJob) {
    TCard card(0, 0); // landscape Letter, folded down the middle
    TCardPage& page = *card.Pages(0);
    AddBox(*page.Panels(0), Mark, RedIndex);     // front cover
    AddBox(*page.Panels(1), Mark, LimeIndex);    // inside left
    AddBox(*page.Panels(2), Mark, BlueIndex);    // inside right
    AddBox(*page.Panels(3), Mark, MagentaIndex); // back cover
    TImagePrinter printer(20);
    TPrintRequest request;
    request.Title = QStringLiteral("Birthday");
    const TPrintResult result = Print(card, printer, request);

    ASSERT_EQ(printer.Jobs.size(), 2u);
    EXPECT_EQ(result.Jobs, 2);
    EXPECT_FALSE(result.Cancelled);
    EXPECT_EQ(printer.Jobs[0].Title, QStringLiteral("Birthday"));
    const QImage front = printer.Jobs[0].Pages.at(0);
    const QImage back = printer.Jobs[1].Pages.at(0);
    EXPECT_EQ(front.size(), QSize(220, 170)); // landscape
    EXPECT_PRED2(Near, FindColour(front, Red), DeviceRect(650, 100, 750, 300, 20));
    EXPECT_PRED2(Near, FindColour(front, Magenta), DeviceRect(100, 100, 200, 300, 20));
    EXPECT_TRUE(FindColour(front, Lime).isNull());
    EXPECT_PRED2(Near, FindColour(back, Lime), DeviceRect(100, 100, 200, 300, 20));
    EXPECT_PRED2(Near, FindColour(back, Blue), DeviceRect(650, 100, 750, 300, 20));
    EXPECT_TRUE(FindColour(back, Red).isNull());
    // One question, between the passes; the hourglass is off again.
    EXPECT_EQ(Prompts.Asked, QStringList{TurnOverQuestion()});
    EXPECT_EQ(Prompts.BusyDepth, 0);
}

TEST_F(PrintTest, CancellingBeforeTheBackPrintsOnlyTheFrontAndRestoresTheRecord) {
    UseNumberedTables(3);
    TCard card(0, 0);
    TNumberedTable& table = Connect(card);
    AddSwatches(card, table, {0});
    table.MoveTo(2);
    Prompts.PerRecord = true;
    Prompts.TurnOver = false;
    TImagePrinter printer(20);
    const TPrintResult result = Print(card, printer);
    EXPECT_TRUE(result.Cancelled);
    ASSERT_EQ(printer.Jobs.size(), 1u);
    EXPECT_EQ(TRecordSwatch::RecordOf(printer.Jobs[0].Pages[0].pixel(140, 40)), 1);
    EXPECT_EQ(table.RecordNumber(), 2);
}

TEST_F(PrintTest, HorizontalFoldPrintsTheFrontCoverUpsideDownAboveTheFold) {
    TCard card(1, 0); // portrait Letter folded across
    TCardPage& page = *card.Pages(0);
    AddBox(*page.Panels(0), Mark, RedIndex);
    AddBox(*page.Panels(0), {100, 100, 140, 140}, BlueIndex); // the front's top-left corner
    AddBox(*page.Panels(3), Mark, MagentaIndex);
    // Unequal margins: the turn is about the paper, not the printable area.
    const TPrinterMargins margins{25, 10, 40, 60};
    TImagePrinter printer(20, {850, 1100}, margins);
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 2u);
    const QImage front = printer.Jobs[0].Pages[0];
    const QPoint offset(25, 10);
    EXPECT_PRED2(Near, FindColour(front, Red), DeviceRect(650, 250, 750, 450, 20, offset));
    // Turned: the corner is now at the bottom right of the mark, next to the fold.
    EXPECT_PRED2(Near, FindColour(front, Blue), DeviceRect(710, 410, 750, 450, 20, offset));
    EXPECT_PRED2(Near, FindColour(front, Magenta), DeviceRect(100, 650, 200, 850, 20, offset));
}

TEST_F(PrintTest, TrifoldPrintsFlapBackAndFrontOutsideAndThreePanelsInside) {
    TCard card(2, 7); // landscape Letter in three columns: 366, 367 and 367 wide
    TCardPage& page = *card.Pages(0);
    const int colours[] = {RedIndex, LimeIndex, BlueIndex, MagentaIndex, CyanIndex, YellowIndex};
    for (int i = 0; i < 6; ++i)
        AddBox(*page.Panels(i), Mark, colours[i]);
    TImagePrinter printer(20);
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 2u);
    const QImage outside = printer.Jobs[0].Pages[0];
    const QImage inside = printer.Jobs[1].Pages[0];
    EXPECT_PRED2(Near, FindColour(outside, Cyan), DeviceRect(100, 100, 200, 300, 20));   // flap
    EXPECT_PRED2(Near, FindColour(outside, Yellow), DeviceRect(467, 100, 567, 300, 20)); // back
    EXPECT_PRED2(Near, FindColour(outside, Red), DeviceRect(834, 100, 934, 300, 20));    // front
    EXPECT_PRED2(Near, FindColour(inside, Lime), DeviceRect(100, 100, 200, 300, 20));
    EXPECT_PRED2(Near, FindColour(inside, Blue), DeviceRect(466, 100, 566, 300, 20));
    EXPECT_PRED2(Near, FindColour(inside, Magenta), DeviceRect(833, 100, 933, 300, 20));
}

TEST_F(PrintTest, QuadfoldTurnsTheTopRowSoThatTheInsideReadsUprightWhenFolded) {
    TCard card(4, 0); // portrait, all four quarters on one side
    TCardPage& page = *card.Pages(0);
    AddBox(*page.Panels(0), Mark, RedIndex);
    AddBox(*page.Panels(1), Mark, LimeIndex);
    AddBox(*page.Panels(2), Mark, BlueIndex);
    AddBox(*page.Panels(3), Mark, MagentaIndex);
    TImagePrinter printer(20);
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 1u); // one side only: nothing to turn over
    EXPECT_TRUE(Prompts.Asked.isEmpty());
    const QImage sheet = printer.Jobs[0].Pages[0];
    EXPECT_PRED2(Near, FindColour(sheet, Red), DeviceRect(525, 650, 625, 850, 20));
    EXPECT_PRED2(Near, FindColour(sheet, Magenta), DeviceRect(100, 650, 200, 850, 20));
    // The inside left is printed upside down at the top right, the inside right at the top
    // left.
    EXPECT_PRED2(Near, FindColour(sheet, Lime), DeviceRect(650, 250, 750, 450, 20));
    EXPECT_PRED2(Near, FindColour(sheet, Blue), DeviceRect(225, 250, 325, 450, 20));
}

TEST_F(PrintTest, PosterPrintsFourTilesShiftedByThePrintableArea) {
    TCard card(8, 8);
    const TPrinterMargins margins{25, 25, 25, 25}; // printable 800 x 1050
    Test.Context.PrinterMargins = [&](bool) { return margins; };
    card.LayoutAllPages();
    const QRgb colours[] = {Red, Lime, Blue, Magenta};
    const int indexes[] = {RedIndex, LimeIndex, BlueIndex, MagentaIndex};
    for (int q = 0; q < 4; ++q) {
        const int x = 25 + 800 * (q % 2) + 100;
        const int y = 25 + 1050 * (q / 2) + 100;
        AddBox(*card.Pages(0)->Panels(0), {x, y, x + 100, y + 100}, indexes[q]);
    }
    TImagePrinter printer(20, {850, 1100}, margins);
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 4u);
    for (int s = 0; s < 4; ++s) {
        const QImage sheet = printer.Jobs[size_t(s)].Pages[0];
        for (int q = 0; q < 4; ++q) {
            const QRect found = FindColour(sheet, colours[q]);
            if (q == s)
                EXPECT_PRED2(Near, found, DeviceRect(100, 100, 200, 200, 20)) << "sheet " << s;
            else
                EXPECT_TRUE(found.isNull()) << "sheet " << s << " shows quarter " << q;
        }
    }
}

TEST_F(PrintTest, BannerRunsAcrossItsSheetsLeftToRight) {
    TCard card(13, 12);
    const TPrinterMargins margins{25, 25, 25, 25};
    Test.Context.PrinterMargins = [&](bool) { return margins; };
    card.SheetGeometry.NumAcross = 3;
    card.SheetGeometry.LabelWidth = 25 + 3 * 800 + 25;
    card.LayoutAllPages();
    const int indexes[] = {RedIndex, LimeIndex, BlueIndex};
    for (int s = 0; s < 3; ++s)
        AddBox(*card.Pages(0)->Panels(0), {125 + 800 * s, 400, 225 + 800 * s, 500}, indexes[s]);
    TImagePrinter printer(20, {850, 1100}, margins);
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 3u);
    const QRgb colours[] = {Red, Lime, Blue};
    for (int s = 0; s < 3; ++s) {
        const QImage sheet = printer.Jobs[size_t(s)].Pages[0];
        EXPECT_PRED2(Near, FindColour(sheet, colours[s]), DeviceRect(100, 375, 200, 475, 20));
        EXPECT_TRUE(FindColour(sheet, colours[(s + 1) % 3]).isNull());
    }
}

namespace {

// 3 x 10 address labels of 2.63 x 1 inch.
void MakeAddressLabels(TCard& card) {
    card.SheetGeometry = {19, 50, 263, 100, 275, 100, 3, 10};
    card.LayoutAllPages();
}

// The record each label of a sheet shows (row by row), -1 where it is blank.
std::vector<int> LabelRecords(const QImage& sheet, int dpi) {
    std::vector<int> records;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 3; ++c) {
            const QPoint centre(MulDiv(c * 275 + 19 + 70, dpi, 100),
                                MulDiv(r * 100 + 50 + 50, dpi, 100));
            records.push_back(TRecordSwatch::RecordOf(sheet.pixel(centre)));
        }
    return records;
}

std::vector<int> Expected(int first, int count, int total = 30) {
    std::vector<int> records(size_t(total), -1);
    for (int i = 0; i < count; ++i)
        records[size_t(i)] = first + i;
    return records;
}

} // namespace

TEST_F(PrintTest, LabelsTakeOneRecordEachAndEndTheSheetWhenTheRecordsRunOut) {
    for (const int count : {25, 31}) {
        UseNumberedTables(count);
        TCard card(12, 10);
        MakeAddressLabels(card);
        TNumberedTable& table = Connect(card);
        AddSwatches(card, table, {0}, {20, 20, 120, 80});
        table.MoveTo(7);
        Prompts.PerRecord = true;
        TImagePrinter printer(50);
        Print(card, printer);
        EXPECT_EQ(Prompts.Asked.first(), PerRecordQuestion());
        if (count == 25) {
            ASSERT_EQ(printer.Jobs.size(), 1u);
            EXPECT_EQ(LabelRecords(printer.Jobs[0].Pages[0], 50), Expected(1, 25));
        } else {
            ASSERT_EQ(printer.Jobs.size(), 2u);
            EXPECT_EQ(LabelRecords(printer.Jobs[0].Pages[0], 50), Expected(1, 30));
            EXPECT_EQ(LabelRecords(printer.Jobs[1].Pages[0], 50), Expected(31, 1));
        }
        EXPECT_EQ(table.RecordNumber(), 7) << count;
    }
}

TEST_F(PrintTest, WithoutRecordsEveryLabelOfTheSheetIsTheSame) {
    UseNumberedTables(5);
    TCard card(12, 10);
    MakeAddressLabels(card);
    TNumberedTable& table = Connect(card);
    AddSwatches(card, table, {0}, {20, 20, 120, 80});
    card.RefreshRecordObjects();
    Prompts.PerRecord = false; // asked, answered No
    TPrintRequest request;
    request.Copies = 2;
    TImagePrinter printer(50);
    Print(card, printer, request);
    ASSERT_EQ(printer.Jobs.size(), 2u);
    EXPECT_EQ(LabelRecords(printer.Jobs[1].Pages[0], 50), std::vector<int>(30, 1));
}

TEST_F(PrintTest, FoldedCardsPrintOneDocumentPerRecordFrontThenBack) {
    UseNumberedTables(3);
    TCard card(0, 0);
    TNumberedTable& table = Connect(card);
    AddSwatches(card, table, {0, 1});
    Prompts.PerRecord = true;
    TImagePrinter printer(20);
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 6u);
    for (int record = 1; record <= 3; ++record) {
        const QImage front = printer.Jobs[size_t(2 * record - 2)].Pages[0];
        const QImage back = printer.Jobs[size_t(2 * record - 1)].Pages[0];
        EXPECT_EQ(TRecordSwatch::RecordOf(front.pixel(140, 40)), record); // front cover
        EXPECT_EQ(TRecordSwatch::RecordOf(back.pixel(30, 40)), record);   // inside left
    }
}

TEST_F(PrintTest, TwoUpCardsPrintTheSameRecordsOnBothSidesOfEverySheet) {
    UseNumberedTables(3);
    TCard card(16, 15); // two half-fold cards side by side, fronts turned
    TNumberedTable& table = Connect(card);
    AddSwatches(card, table, {0, 1});
    Prompts.PerRecord = true;
    TImagePrinter printer(20);
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 4u); // two sheets, front and back each
    auto records = [](const QImage& page) {
        std::set<int> found;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (const int r = TRecordSwatch::RecordOf(page.pixel(x, y)); r > 0)
                    found.insert(r);
        return found;
    };
    EXPECT_EQ(records(printer.Jobs[0].Pages[0]), (std::set<int>{1, 2}));
    EXPECT_EQ(records(printer.Jobs[1].Pages[0]), (std::set<int>{1, 2}));
    // The second sheet is printed in place, not shifted off the paper.
    EXPECT_EQ(records(printer.Jobs[2].Pages[0]), (std::set<int>{3}));
    EXPECT_EQ(records(printer.Jobs[3].Pages[0]), (std::set<int>{3}));
}

TEST_F(PrintTest, APrinterThatWritesAFileGetsEveryPassInOneJobWithoutQuestions) {
    TCard card(0, 0);
    AddBox(*card.Pages(0)->Panels(0), Mark, RedIndex);
    AddBox(*card.Pages(0)->Panels(1), Mark, LimeIndex);
    card.Add(new TCardPage(0)); // a second page
    card.LayoutAllPages();
    AddBox(*card.Pages(1)->Panels(2), Mark, BlueIndex);
    TImagePrinter printer(20, {850, 1100}, {}, true);
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 1u);
    const std::vector<QImage>& pages = printer.Jobs[0].Pages;
    ASSERT_EQ(pages.size(), 4u); // each sheet's front, then its back
    EXPECT_FALSE(FindColour(pages[0], Red).isNull());
    EXPECT_FALSE(FindColour(pages[1], Lime).isNull());
    EXPECT_FALSE(FindColour(pages[3], Blue).isNull());
    EXPECT_TRUE(Prompts.Asked.isEmpty());
}

TEST_F(PrintTest, OnePassPagesCopiesAndAPageRange) {
    TCard card(0, 0);
    AddBox(*card.Pages(0)->Panels(0), Mark, RedIndex);
    AddBox(*card.Pages(0)->Panels(1), Mark, LimeIndex);
    TImagePrinter printer(20);
    TPrintRequest request;
    request.Sides = TPrintSides::Back;
    Print(card, printer, request);
    ASSERT_EQ(printer.Jobs.size(), 1u);
    EXPECT_FALSE(FindColour(printer.Jobs[0].Pages[0], Lime).isNull());
    EXPECT_TRUE(Prompts.Asked.isEmpty()); // nothing printed before the back

    TCard pages(7, 4); // a one-sided portrait page, three of them
    for (int p = 1; p < 3; ++p)
        pages.Add(new TCardPage(7));
    pages.LayoutAllPages();
    const int colours[] = {RedIndex, LimeIndex, BlueIndex};
    for (int p = 0; p < 3; ++p)
        AddBox(*pages.Pages(p)->Panels(0), Mark, colours[p]);
    TImagePrinter ranged(10);
    request = {};
    request.Copies = 2;
    request.FromPage = 2;
    request.ToPage = 3;
    Print(pages, ranged, request);
    ASSERT_EQ(ranged.Jobs.size(), 4u);
    EXPECT_FALSE(FindColour(ranged.Jobs[0].Pages[0], Lime).isNull());
    EXPECT_FALSE(FindColour(ranged.Jobs[1].Pages[0], Blue).isNull());
    EXPECT_FALSE(FindColour(ranged.Jobs[2].Pages[0], Lime).isNull());
    for (const auto& job : ranged.Jobs)
        EXPECT_TRUE(FindColour(job.Pages[0], Red).isNull());

    TImagePrinter none(10);
    request.Copies = 0;
    EXPECT_EQ(Print(pages, none, request).Pages, 0);
    EXPECT_TRUE(none.Jobs.empty());
}

TEST_F(PrintTest, CropMarksAreAskedForBusinessCardsAndDrawnAtEveryCardEdge) {
    TCard card(10, 9); // separated, 2 x 5 cards of 3.5 x 2 inch from (50, 50)
    AddBox(*card.Pages(0)->Panels(0), {0, 0, 350, 200}, YellowIndex); // the whole card
    Prompts.CropMarks = true;
    TImagePrinter printer(100); // one pixel a unit
    Print(card, printer);
    ASSERT_EQ(printer.Jobs.size(), 1u);
    EXPECT_EQ(Prompts.Asked, QStringList{CropMarksQuestion()});
    const QImage sheet = printer.Jobs[0].Pages[0];
    auto black = [&](int x, int y) { return (sheet.pixel(x, y) & 0xFFFFFF) == 0; };
    for (const int x : {50, 400, 450, 800}) {
        EXPECT_TRUE(black(x, 25)) << x;   // above the cards
        EXPECT_TRUE(black(x, 1075)) << x; // below them
    }
    for (const int x : {1, 250, 401, 801, 850 - 1})
        EXPECT_FALSE(black(x, 25)) << x;
    for (const int y : {50, 250, 1050}) {
        EXPECT_TRUE(black(40, y)) << y;
        EXPECT_TRUE(black(810, y)) << y;
    }
    // Cards are yellow up to their edges: no mark runs into them.
    EXPECT_EQ(sheet.pixel(790, 250) & 0xFFFFFF, Yellow);
    EXPECT_EQ(sheet.pixel(60, 1040) & 0xFFFFFF, Yellow);

    TImagePrinter unmarked(100);
    Prompts.CropMarks = false;
    Print(card, unmarked);
    EXPECT_FALSE((unmarked.Jobs[0].Pages[0].pixel(50, 25) & 0xFFFFFF) == 0);
}

TEST_F(PrintTest, SheetItemsLandOnTheirCellsWhateverThePrinterMargins) {
    TCard card(9, 9); // connected business cards from (75, 50)
    const TPrinterMargins margins{25, 30, 25, 30};
    Test.Context.PrinterMargins = [&](bool) { return margins; };
    card.LayoutAllPages();
    AddBox(*card.Pages(0)->Panels(0), {10, 10, 60, 60}, RedIndex);
    TImagePrinter printer(100, {850, 1100}, margins);
    Print(card, printer);
    const QImage sheet = printer.Jobs.at(0).Pages.at(0);
    // The last card, column 1 of row 4, at (425, 850) on the paper.
    const QPoint offset(25, 30);
    const QRect last = DeviceRect(425 + 10, 850 + 10, 425 + 60, 850 + 60, 100, offset);
    EXPECT_EQ(sheet.pixel(last.center()) & 0xFFFFFF, Red);
    const QRect first = DeviceRect(75 + 10, 50 + 10, 75 + 60, 50 + 60, 100, offset);
    EXPECT_EQ(sheet.pixel(first.topLeft()) & 0xFFFFFF, Red);
    EXPECT_NE(sheet.pixel(first.topLeft() - QPoint(2, 2)) & 0xFFFFFF, Red);
}

TEST_F(PrintTest, TurnedPanelsAreDrawnThroughTheirMirroredDrawing) {
    // Objects learn of the turn from the canvas, and draw through DrawMirrored.
    class TProbe : public TCardObject {
    public:
        const char* ClassName() const override { return "TProbe"; }
        QString TypeName() const override { return QStringLiteral("Probe"); }
        void Draw(TCanvas& canvas, int, int, bool printing) override {
            Calls.append(QStringLiteral("Draw %1 %2 %3")
                             .arg(canvas.PanelTurned())
                             .arg(canvas.IsPrinter())
                             .arg(printing));
        }
        void DrawMirrored(TCanvas& canvas, int, int, bool printing) override {
            Calls.append(QStringLiteral("Mirrored %1 %2 %3")
                             .arg(canvas.PanelTurned())
                             .arg(canvas.IsPrinter())
                             .arg(printing));
        }
        QStringList Calls;
    };
    TCard card(1, 0);
    auto* front = new TProbe();
    auto* back = new TProbe();
    card.Pages(0)->Panels(0)->AddObject(front);
    card.Pages(0)->Panels(3)->AddObject(back);
    TImagePrinter printer(10);
    Print(card, printer);
    EXPECT_EQ(front->Calls, QStringList{QStringLiteral("Mirrored 1 1 1")});
    EXPECT_EQ(back->Calls, QStringList{QStringLiteral("Draw 0 1 1")});
}

TEST_F(PrintTest, APrinterFailureEndsThePrintAndRestoresTheRecord) {
    class TFailingPrinter : public TImagePrinter {
    public:
        TFailingPrinter() : TImagePrinter(10) {}
        void BeginDoc() override {
            if (!Jobs.empty()) throw Exception(QStringLiteral("Out of paper"));
            TImagePrinter::BeginDoc();
        }
    };
    UseNumberedTables(4);
    TCard card(0, 0);
    TNumberedTable& table = Connect(card);
    table.MoveTo(3);
    Prompts.PerRecord = true;
    TFailingPrinter printer;
    EXPECT_THROW(Print(card, printer), Exception);
    EXPECT_EQ(printer.Jobs.size(), 1u);
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(table.RecordNumber(), 3);
    EXPECT_EQ(Prompts.BusyDepth, 0);
}
