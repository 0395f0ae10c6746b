#include "document/Control.h"
#include "editor/Cursors.h"
#include "editor/DocumentEditor.h"
#include "editor/DragMachine.h"
#include "editor/PageGeometry.h"
#include "editor/Selection.h"
#include "objects/Line.h"
#include "support/DocumentFixtures.h"

#include <gtest/gtest.h>

namespace {

// The parts of an editing window without its widget: a landscape bifold at 96 pixels per
// inch showing its inside, panel 1 at window (49, 49) and panel 2 at (578, 49).
class EditingPartsTest : public testing::Test {
protected:
    void SetUp() override {
        auto card = std::make_unique<TCard>(0, 0);
        Editor.Attach(std::move(card));
        Test.Context.AddOpenCard(Editor.Card());
        Geometry.SetCard(Editor.Card());
        Geometry.SetPage(0);
        Geometry.SetShownPanels(6);
        Geometry.Update();
    }
    void TearDown() override {
        Selection.Clear();
        Test.Context.RemoveOpenCard(Editor.Card());
    }
    TCardPanel& Panel(int i) const { return *Editor.Card()->Pages(0)->Panels(i); }
    TRectangleObject* Add(int panel, const TRect& units) {
        auto* r = new TRectangleObject();
        r->Bounds = units;
        Panel(panel).AddObject(r);
        return r;
    }

    TTestContext Test{96};
    TDocumentEditor Editor;
    TPageGeometry Geometry;
    TSelection Selection{Geometry};
};

} // namespace

TEST_F(EditingPartsTest, GeometryMapsWindowPanelAndUnits) {
    EXPECT_EQ(TPageGeometry::Margin(), 48);
    EXPECT_EQ(Geometry.PanelOrigin(1), QPoint(49, 49));
    EXPECT_EQ(Geometry.PanelOrigin(2), QPoint(578, 49));
    EXPECT_EQ(Geometry.ViewSize(), QSize(528 + 528 + 1, 816));
    EXPECT_EQ(Geometry.PanelAt({600, 100}), 2);
    EXPECT_EQ(Geometry.PanelAt({20, 20}), 1); // on the desk: the nearest corner's panel
    EXPECT_EQ(Geometry.WindowToUnits(2, {578, 49, 674, 97}), (TRect{0, 0, 100, 50}));
    EXPECT_EQ(Geometry.UnitsToWindow(2, {0, 0, 100, 50}), (TRect{578, 49, 674, 97}));
    auto* r = Add(2, {0, 0, 100, 100});
    EXPECT_EQ(Geometry.PanelOf(r), 2);
    EXPECT_EQ(Geometry.ObjectAt({600, 60}, Selection.Objects()), r);
    const QSize extents = Geometry.ScrollExtents();
    EXPECT_EQ(extents.height(), 816 + 2 * 49);
    Add(2, {2000, 2000, 2100, 2100}); // far past the page: the surface grows to reach it
    EXPECT_GT(Geometry.ScrollExtents().height(), 2000);

    Geometry.SetShownPanels(4);
    Geometry.Update();
    EXPECT_TRUE(Geometry.IgnoreX());
    EXPECT_EQ(Geometry.PanelOrigin(2), QPoint(49, 49));
}

TEST_F(EditingPartsTest, ZoomSteps) {
    EXPECT_EQ(TPageGeometry::InitialZoomIndex(cfBusinessCardConnected), 5);
    EXPECT_EQ(TPageGeometry::InitialZoomIndex(cfBanner), 0);
    EXPECT_EQ(TPageGeometry::InitialZoomIndex(-1), 2);
    Geometry.SetZoomIndex(8);
    EXPECT_EQ(Geometry.ZoomPercent(), 250);
    EXPECT_FALSE(Geometry.CanZoomIn());
    Editor.Card()->CardFormat = cfBanner;
    Geometry.SetZoomIndex(5);
    EXPECT_FALSE(Geometry.CanZoomIn()); // a banner stops at 100 %
}

TEST_F(EditingPartsTest, SelectionMarksTheOnlyAndTheManyAndWalksThePanels) {
    auto* a = Add(1, {0, 0, 50, 50});
    auto* b = Add(1, {60, 0, 110, 50});
    auto* c = Add(2, {0, 0, 50, 50});
    int changes = 0;
    Selection.Changed = [&] { ++changes; };
    Selection.Add(a);
    EXPECT_EQ(a->SelectState, 1);
    Selection.Add(b);
    EXPECT_EQ(a->SelectState, 2);
    EXPECT_EQ(b->SelectState, 2);
    Selection.Remove(a);
    EXPECT_EQ(b->SelectState, 1);
    EXPECT_EQ(a->SelectState, 0);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(Selection.Next(), c);
    Selection.SelectOnly(c);
    EXPECT_EQ(Selection.Next(), a); // round to the first panel
    EXPECT_EQ(Selection.Previous(), b);
    Selection.Clear();
    EXPECT_EQ(Selection.Next(), a);
    Selection.SelectAll();
    EXPECT_EQ(Selection.Count(), 3);
}

TEST_F(EditingPartsTest, StackingOfTheSoleSelectedObjectIsUndoable) {
    auto* a = Add(1, {0, 0, 50, 50});
    auto* b = Add(1, {0, 0, 50, 50});
    auto* c = Add(1, {0, 0, 50, 50});
    Selection.SelectOnly(a);
    EXPECT_TRUE(Selection.CanBringForward());
    EXPECT_FALSE(Selection.CanSendBackward());
    Selection.BringToFront(Editor);
    EXPECT_EQ(Panel(1).Items(2), a);
    Selection.DownOneLevel(Editor);
    EXPECT_EQ(Panel(1).Items(1), a);
    Selection.SelectOnly(c);
    Selection.SendToBack(Editor);
    EXPECT_EQ(Panel(1).Items(0), c);
    Selection.UpOneLevel(Editor);
    EXPECT_EQ(Panel(1).Items(1), c);
    EXPECT_EQ(Editor.Stack().count(), 4);
    Selection.Clear();
    for (int i = 0; i < 4; ++i)
        Editor.Undo();
    EXPECT_EQ(Panel(1).Items(0), a);
    EXPECT_EQ(Panel(1).Items(1), b);
    EXPECT_EQ(Panel(1).Items(2), c);

    Selection.Add(a);
    Selection.Add(b);
    EXPECT_FALSE(Selection.CanBringForward()); // two selected: no stacking
    EXPECT_FALSE(Selection.CanSendBackward());
}

TEST_F(EditingPartsTest, CentringAndLockingAreSteps) {
    auto* a = Add(1, {0, 0, 100, 50});  // 96 x 48 pixels on a 528 x 816 panel
    auto* b = Add(2, {10, 10, 60, 60});
    Selection.Add(a);
    Selection.Add(b);
    Selection.Center(Editor, true);
    EXPECT_EQ(a->GetBounds().Left, (528 - 96) / 2);
    EXPECT_EQ(a->Bounds.Top, 0);
    Selection.Center(Editor, false);
    EXPECT_EQ(a->GetBounds().Top, (816 - 48) / 2);
    EXPECT_EQ(Editor.Stack().count(), 2);
    Selection.Clear();
    Editor.Undo();
    Editor.Undo();
    EXPECT_EQ(a->Bounds, (TRect{0, 0, 100, 50}));
    EXPECT_EQ(b->Bounds, (TRect{10, 10, 60, 60}));

    Selection.SelectOnly(a);
    Selection.ToggleLocked(Editor);
    EXPECT_TRUE(a->Locked);
    Selection.ToggleLocked(Editor);
    EXPECT_FALSE(a->Locked);
    Editor.Undo();
    EXPECT_TRUE(a->Locked);
}

TEST(HandleCursors, EachHandleShowsItsCursor) {
    EXPECT_EQ(CursorForHandle(THandleCursor::None), crDefault);
    EXPECT_EQ(CursorForHandle(THandleCursor::ObjectBody), crHand);
    EXPECT_EQ(CursorForHandle(THandleCursor::SizeWE), crSizeWE);
    EXPECT_EQ(CursorForHandle(THandleCursor::SizeNS), crSizeNS);
    EXPECT_EQ(CursorForHandle(THandleCursor::SizeNWSE), crSizeNWSE);
    EXPECT_EQ(CursorForHandle(THandleCursor::SizeNESW), crSizeNESW);
    EXPECT_EQ(CursorForHandle(THandleCursor::LineEnd), crLineEnd);

    TTestContext test{96};
    TRectangleObject r;
    r.Bounds = {0, 0, 100, 100}; // 96 pixels square
    const THandleUnderPoint topLeft = HandleUnderPoint(r, {0, 0});
    EXPECT_EQ(topLeft.Cursor, crSizeNWSE);
    EXPECT_TRUE(topLeft.MovesLeft);
    EXPECT_TRUE(topLeft.MovesTop);
    const THandleUnderPoint bottomLeft = HandleUnderPoint(r, {0, 96});
    EXPECT_EQ(bottomLeft.Cursor, crSizeNESW);
    EXPECT_TRUE(bottomLeft.MovesLeft);
    EXPECT_FALSE(bottomLeft.MovesTop);
    EXPECT_EQ(HandleUnderPoint(r, {48, 48}).Cursor, crHand);
    r.Locked = true;
    EXPECT_EQ(HandleUnderPoint(r, {0, 0}).Cursor, crDefault);
}

TEST(DragMachine, ResizingPastTheOppositeEdgeFlipsAndTurnsTheCursor) {
    TDragMachine drag;
    // The bottom-right handle of a rectangle at (100, 100) - (200, 150).
    drag.Hover({crSizeNWSE, false, false});
    EXPECT_FALSE(drag.BeginResize({100, 100, 200, 150}, crSizeNWSE, false));
    EXPECT_EQ(drag.Mode(), TDragMode::Resizing);
    drag.DragTo({250, 180}, Qt::NoModifier);
    EXPECT_EQ(drag.Rect(), (TRect{100, 100, 250, 180}));
    drag.DragTo({60, 180}, Qt::NoModifier); // past the left edge
    EXPECT_EQ(drag.Rect(), (TRect{60, 100, 100, 180}));
    EXPECT_TRUE(drag.FlipX());
    EXPECT_EQ(drag.Cursor(), crSizeNESW);
    drag.DragTo({80, 190}, Qt::NoModifier); // the left edge follows now
    EXPECT_EQ(drag.Rect(), (TRect{80, 100, 100, 190}));
    drag.DragTo({80, 40}, Qt::NoModifier); // and past the top
    EXPECT_EQ(drag.Rect(), (TRect{80, 40, 100, 100}));
    EXPECT_EQ(drag.Cursor(), crSizeNWSE);
    drag.Finish();
    EXPECT_TRUE(drag.IsIdle());
}

TEST(DragMachine, SideHandlesMoveOneEdgeOnly) {
    TDragMachine drag;
    drag.Hover({crSizeWE, true, false}); // the left handle
    drag.BeginResize({100, 100, 200, 150}, crSizeWE, false);
    drag.DragTo({120, 400}, Qt::NoModifier);
    EXPECT_EQ(drag.Rect(), (TRect{120, 100, 200, 150}));
    drag.Finish();
    drag.Hover({crSizeNS, false, false}); // the bottom handle
    drag.BeginResize({100, 100, 200, 150}, crSizeNS, false);
    drag.DragTo({500, 170}, Qt::NoModifier);
    EXPECT_EQ(drag.Rect(), (TRect{100, 100, 200, 170}));
}

TEST(DragMachine, LinesKeepTheirDirectionAndShiftOrControlStraightenThem) {
    TDragMachine drag;
    drag.BeginCreate({100, 100}, true);
    drag.DragTo({40, 30}, Qt::NoModifier);
    EXPECT_EQ(drag.Rect(), (TRect{100, 100, 40, 30})); // not normalised
    drag.DragTo({40, 30}, Qt::ShiftModifier);
    EXPECT_EQ(drag.Rect(), (TRect{100, 100, 100, 30})); // vertical
    drag.DragTo({40, 30}, Qt::ControlModifier);
    EXPECT_EQ(drag.Rect(), (TRect{100, 100, 40, 100})); // horizontal
    drag.Finish();

    // The start handle of a line: the ends are exchanged and the end is dragged.
    drag.Hover({crLineEnd, true, true});
    EXPECT_TRUE(drag.BeginResize({10, 10, 90, 90}, crLineEnd, true));
    EXPECT_FALSE(drag.FlipX());
}

TEST(DragMachine, CreatingNormalisesAndMovingGivesOffsets) {
    TDragMachine drag;
    drag.BeginCreate({100, 100}, false);
    drag.DragTo({50, 70}, Qt::ShiftModifier); // Shift means nothing to a rectangle
    EXPECT_EQ(drag.Rect(), (TRect{50, 70, 100, 100}));
    drag.Finish();
    drag.BeginMove({10, 10});
    EXPECT_EQ(drag.MoveTo({15, 8}), QPoint(5, -2));
    EXPECT_EQ(drag.MoveTo({15, 20}), QPoint(0, 12));
    EXPECT_EQ(drag.Mode(), TDragMode::Moving);
}

TEST(DragMachine, BandCatchesLinesThatCrossIt) {
    TDragMachine drag;
    drag.BeginBand({300, 300});
    drag.DragTo({200, 250}, Qt::NoModifier);
    EXPECT_EQ(drag.Mode(), TDragMode::Band);
    const QRect band = drag.Band();
    EXPECT_EQ(band, QRect(QPoint(200, 250), QPoint(299, 299)));
    // Both ends outside, the middle inside.
    EXPECT_TRUE(LineCrossesBand({150, 200}, {350, 350}, band));
    // Its bounding box meets the band, the line itself does not.
    EXPECT_FALSE(LineCrossesBand({150, 280}, {210, 200}, band));
    EXPECT_FALSE(LineCrossesBand({100, 100}, {150, 100}, band));
    EXPECT_TRUE(LineCrossesBand({250, 270}, {250, 270}, band)); // a point inside
}

TEST_F(EditingPartsTest, ADraggedObjectSnapsToTheGridWhenPlaced) {
    Test.Context.SnapToGrid = true;
    Test.Context.GridSpacing = 12;
    TDragMachine drag;
    drag.BeginCreate({49 + 30, 49 + 41}, false);
    drag.DragTo({49 + 100, 49 + 90}, Qt::NoModifier);
    // As the window places what the machine dragged: in the pixels of the panel.
    TRect local = drag.Rect();
    local.Offset(-49, -49);
    auto* r = new TRectangleObject();
    r->SetBoundsOuter(local);
    Panel(1).AddObject(r);
    r->Realign();
    const TRect placed = r->GetBounds();
    EXPECT_EQ(placed.Left, 35); // 30 and 41 go to the grid line at 36, one pixel before it
    EXPECT_EQ(placed.Top, 35);
    EXPECT_EQ(placed.Width(), 70);
}

TEST_F(EditingPartsTest, TheBandCatchesShapesByOverlapAndLinesByTheirPixels) {
    auto* r = Add(1, {100, 100, 200, 200}); // pixels 96..192
    auto* line = new TLineObject();
    line->Bounds = {300, 100, 500, 300}; // pixels 288..480 x 96..288, down to the right
    Panel(1).AddObject(line);
    Selection.AddInBand(QRect(QPoint(49 + 290, 49 + 240), QPoint(49 + 330, 49 + 285)));
    EXPECT_EQ(Selection.Count(), 0); // the empty corner of the line's box
    Selection.AddInBand(QRect(QPoint(49 + 380, 49 + 180), QPoint(49 + 420, 49 + 230)));
    EXPECT_EQ(Selection.Sole(), line);
    Selection.AddInBand(QRect(QPoint(49 + 180, 49 + 180), QPoint(49 + 250, 49 + 250)));
    EXPECT_EQ(Selection.Count(), 2);
    EXPECT_NE(r->SelectState, 0);
}

TEST_F(EditingPartsTest, MovedObjectsLandInThePanelUnderTheirCentre) {
    auto* r = Add(1, {600, 100, 700, 200}); // its centre lies over panel 2 now
    auto* stays = Add(1, {100, 100, 200, 200});
    Selection.Add(r);
    Selection.Add(stays);
    Selection.Land();
    ASSERT_EQ(Panel(2).Count(), 1);
    EXPECT_EQ(Panel(2).Items(0), r);
    EXPECT_EQ(r->Bounds, (TRect{600 - 550, 100, 700 - 550, 200})); // the same place on the sheet
    EXPECT_EQ(Panel(1).Items(0), stays);
}

TEST_F(EditingPartsTest, CopiesKeepTheirLayoutAndPasteOntoThePanelUnderThem) {
    auto* a = Add(2, {300, 200, 400, 250});
    auto* b = Add(2, {350, 150, 450, 260});
    Selection.Add(a);
    Selection.Add(b);
    TCardObjectTable clipboard;
    Selection.CopyTo(clipboard);
    ASSERT_EQ(clipboard.Count(), 2);
    EXPECT_EQ(clipboard.Items(0)->Bounds, (TRect{0, 50, 100, 100}));
    EXPECT_EQ(clipboard.Items(1)->Bounds, (TRect{50, 0, 150, 110}));
    const std::vector<TCardObject*> placed = Selection.PlaceCopies(clipboard);
    ASSERT_EQ(placed.size(), 2u);
    // At the top left of the window's panels, over panel 1.
    EXPECT_EQ(Geometry.PanelOf(placed[0]), 1);
    EXPECT_EQ(placed[1]->Bounds, (TRect{50, 0, 150, 110}));
    EXPECT_EQ(Panel(2).Count(), 2); // the originals stay
}
