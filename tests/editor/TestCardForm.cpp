#include "document/Card.h"
#include "document/Control.h"
#include "editor/CardWin.h"
#include "editor/Cursors.h"
#include "editor/EditorState.h"
#include "support/ScriptedEditorHost.h"
#include "objects/Ellipse.h"
#include "objects/Line.h"
#include "objects/RichText.h"
#include "storage/Exception.h"
#include "support/DocumentFixtures.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// An editing window at 100 % on a landscape bifold card (Letter, 96 pixels per inch) showing
// the inside: panel 1 on the left (origin 49, 49), panel 2 on the right (origin 578, 49).
class EditorTest : public testing::Test {
protected:
    void SetUp() override {
        State.UseHost(&Host);
        Open(0, 0, 6);
    }

    void Open(int format, int type, quint32 view) {
        Form.reset();
        Form = std::make_unique<TCardForm>(nullptr, &State);
        Form->resize(1500, 1100);
        Form->show();
        Form->AttachDocument(std::make_unique<TCard>(format, type));
        Form->SetZoomIndex(5);
        Form->ShowPanels(view);
    }

    QWidget* Viewport() const { return Form->QDXWindow()->Canvas()->viewport(); }
    QPoint Device(QPoint logical) const {
        return Form->QDXWindow()->Canvas()->LogicalToDevice(QRect(logical, QSize(1, 1))).topLeft();
    }
    void Send(QEvent::Type type, QPoint logical, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers) {
        const QPointF at = Device(logical);
        QMouseEvent event(type, at, Viewport()->mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(Viewport(), &event);
    }
    void Hover(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Send(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton, m);
    }
    void Press(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, m);
    }
    void MoveTo(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, m);
    }
    void Release(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, m);
    }
    void Click(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Hover(p, m);
        Press(p, m);
        Release(p, m);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Hover(from);
        Press(from, m);
        MoveTo((from + to) / 2, m);
        MoveTo(to, m);
        Release(to, m);
    }

    TCardPanel& Panel(int i) const { return *Form->Card().Pages(0)->Panels(i); }
    TRectangleObject* AddRectangle(int panel, const TRect& units) {
        auto* r = new TRectangleObject();
        r->Bounds = units;
        Panel(panel).AddObject(r);
        return r;
    }

    TTestContext Test{96};
    TScriptedEditorHost Host;
    TEditorState State;
    std::unique_ptr<TCardForm> Form;
    const QPoint Left{49, 49};   // panel 1's window origin
    const QPoint Right{578, 49}; // panel 2's
};

} // namespace

TEST_F(EditorTest, ViewOffsetsLeaveAPixelForTheFold) {
    EXPECT_EQ(Form->PanelOrigin(1), Left);
    EXPECT_EQ(Form->PanelOrigin(2), Right);
    EXPECT_FALSE(Form->IgnoreX());
    EXPECT_EQ(Form->ViewSize(), QSize(528 + 528 + 1, 816));
    Form->ShowPanels(4);
    EXPECT_TRUE(Form->IgnoreX());
    EXPECT_EQ(Form->PanelOrigin(2), Left);
}

TEST_F(EditorTest, DraggingWithEachToolCreatesItsKind) {
    const struct {
        int Tool;
        const char* Class;
    } tools[] = {{ToolHeadline, "THeadlineObject"},   {ToolText, "TRichTextObject"},
                 {ToolPicture, "TPictureObject"},     {ToolLine, "TLineObject"},
                 {ToolRectangle, "TRectangleObject"}, {ToolRoundedRectangle, "TRRectangleObject"},
                 {ToolEllipse, "TEllipseObject"},     {ToolBarCode, "TBarCodeObject"},
                 {ToolComb, "TCombObject"},           {ToolGrid, "TGridObject"},
                 {ToolField, "TFieldObject"}};
    int expected = 0;
    for (const auto& t : tools) {
        State.Tool = t.Tool;
        Drag(Left + QPoint(100, 100), Left + QPoint(196, 148));
        ASSERT_EQ(Panel(1).Count(), ++expected) << t.Class;
        TCardObject* made = Panel(1).Items(expected - 1);
        EXPECT_STREQ(made->ClassName(), t.Class);
        EXPECT_EQ(State.Tool, ToolEdit); // one object per choice of a tool
        EXPECT_EQ(Form->Selection().Count(), 1);
        EXPECT_EQ(Form->Selection().Items(0), made);
    }
    auto* rectangle = Panel(1).Items(4);
    EXPECT_EQ(rectangle->Bounds, (TRect{104, 104, 204, 154})); // 96 pixels are an inch
    EXPECT_TRUE(Form->Card().DocumentModified);
}

TEST_F(EditorTest, KeepAddingLeavesTheToolOn) {
    State.Tool = ToolEllipse;
    State.KeepAdding = true;
    Drag(Left + QPoint(10, 10), Left + QPoint(60, 60));
    Drag(Left + QPoint(70, 10), Left + QPoint(120, 60));
    EXPECT_EQ(Panel(1).Count(), 2);
    EXPECT_EQ(State.Tool, ToolEllipse);
}

TEST_F(EditorTest, APressOutsideEveryPanelCreatesInTheNearestOne) {
    State.Tool = ToolRectangle;
    Drag(QPoint(1200, 20), QPoint(1250, 60)); // right of the page, above it
    ASSERT_EQ(Panel(2).Count(), 1);
    EXPECT_EQ(Panel(1).Count(), 0);
}

TEST_F(EditorTest, LinesFollowShiftAndCtrlAndKeepTheirDirection) {
    State.Tool = ToolLine;
    Drag(Left + QPoint(200, 200), Left + QPoint(100, 150));
    TCardObject* line = Panel(1).Items(0);
    EXPECT_GT(line->Bounds.Left, line->Bounds.Right); // drawn right to left, not normalised
    State.Tool = ToolLine;
    Drag(Left + QPoint(100, 300), Left + QPoint(180, 400), Qt::ShiftModifier);
    EXPECT_EQ(Panel(1).Items(1)->Bounds.Left, Panel(1).Items(1)->Bounds.Right); // vertical
    State.Tool = ToolLine;
    Drag(Left + QPoint(100, 500), Left + QPoint(180, 560), Qt::ControlModifier);
    EXPECT_EQ(Panel(1).Items(2)->Bounds.Top, Panel(1).Items(2)->Bounds.Bottom); // horizontal
}

TEST_F(EditorTest, AClickSelectsWithoutMovingAndASecondDragMovesTheUnlockedOnes) {
    TRectangleObject* a = AddRectangle(1, {100, 100, 200, 200});
    TRectangleObject* b = AddRectangle(1, {300, 100, 400, 200});
    b->Locked = true;
    Drag(Left + QPoint(110, 110), Left + QPoint(150, 150)); // first press only selects
    EXPECT_EQ(a->Bounds, (TRect{100, 100, 200, 200}));
    EXPECT_EQ(a->SelectState, 1);
    Click(Left + QPoint(330, 110), Qt::ShiftModifier);
    EXPECT_EQ(Form->Selection().Count(), 2);
    EXPECT_EQ(a->SelectState, 2);
    Form->Card().SetDocumentModified(false);
    Drag(Left + QPoint(110, 110), Left + QPoint(158, 134)); // 48 and 24 pixels
    EXPECT_EQ(a->Bounds, (TRect{150, 125, 250, 225}));
    EXPECT_EQ(b->Bounds, (TRect{300, 100, 400, 200}));
    EXPECT_TRUE(Form->Card().DocumentModified);

    Click(Left + QPoint(330, 110), Qt::ShiftModifier); // removes again
    EXPECT_EQ(Form->Selection().Count(), 1);
    EXPECT_EQ(a->SelectState, 1);
    EXPECT_EQ(b->SelectState, 0);
    Click(Left + QPoint(500, 700)); // empty paper clears
    EXPECT_EQ(Form->Selection().Count(), 0);
}

TEST_F(EditorTest, ADoubleClickOpensThePropertiesOfTheObjectUnderIt) {
    TRectangleObject* a = AddRectangle(1, {100, 100, 200, 200});
    TRectangleObject* b = AddRectangle(1, {300, 100, 400, 200});
    std::vector<TCardObject*> opened;
    Host.OnRunProperties = [&](TCardForm& form) { opened.push_back(form.Selection().Items(0)); };
    Click(Left + QPoint(110, 110));
    Send(QEvent::MouseButtonDblClick, Left + QPoint(330, 110), Qt::LeftButton, Qt::LeftButton,
         Qt::NoModifier);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], b);
    EXPECT_EQ(Form->Selection().Count(), 1);
    EXPECT_EQ(a->SelectState, 0);
    // Empty paper opens nothing.
    Send(QEvent::MouseButtonDblClick, Left + QPoint(500, 700), Qt::LeftButton, Qt::LeftButton,
         Qt::NoModifier);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(EditorTest, AMoveAcrossPanelsKeepsTheSheetPosition) {
    TRectangleObject* r = AddRectangle(1, {400, 100, 500, 200});
    Click(Left + QPoint(400, 110));
    Drag(Left + QPoint(400, 110), Left + QPoint(400 + 200, 110));
    ASSERT_EQ(Panel(2).Count(), 1);
    EXPECT_EQ(Panel(1).Count(), 0);
    // 200 pixels right is 208 units; rebased from panel 1 (sheet x 0) to panel 2 (550).
    EXPECT_EQ(r->Bounds, (TRect{400 + 208 - 550, 100, 500 + 208 - 550, 200}));
}

TEST_F(EditorTest, ResizingPastTheOppositeEdgeFlips) {
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200}); // pixels 96..192
    Click(Left + QPoint(120, 120));
    Hover(Left + QPoint(96, 144)); // the left-middle handle
    EXPECT_EQ(Form->SurfaceCursor(), crSizeWE);
    Press(Left + QPoint(96, 144));
    EXPECT_EQ(Form->DragMode(), TDragMode::Resizing);
    MoveTo(Left + QPoint(150, 144));
    MoveTo(Left + QPoint(288, 144)); // past the right edge at 192
    Release(Left + QPoint(288, 144));
    EXPECT_EQ(r->Bounds, (TRect{200, 100, 300, 200}));

    // The corner cursors swap when one axis flips.
    Click(Left + QPoint(250, 150));
    Hover(Left + QPoint(192, 96)); // top-left corner of the moved rectangle
    EXPECT_EQ(Form->SurfaceCursor(), crSizeNWSE);
    Press(Left + QPoint(192, 96));
    MoveTo(Left + QPoint(400, 120));
    EXPECT_EQ(Form->SurfaceCursor(), crSizeNESW);
    Release(Left + QPoint(400, 120));
}

TEST_F(EditorTest, BandSelectionCatchesShapesByOverlapButLinesOnlyByTheirPixels) {
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200});
    auto* line = new TLineObject();
    line->Bounds = {300, 100, 500, 300}; // a diagonal
    Panel(1).AddObject(line);
    // A band over the rectangle's corner; then one over the empty corner of the line's box
    // (pixels 288..480 x 96..288, the line running down to the right).
    Drag(Left + QPoint(180, 180), Left + QPoint(250, 250));
    EXPECT_EQ(r->SelectState, 1);
    Drag(Left + QPoint(290, 240), Left + QPoint(330, 285));
    EXPECT_EQ(line->SelectState, 0);
    EXPECT_EQ(r->SelectState, 0);
    // One that crosses the line itself.
    Drag(Left + QPoint(380, 180), Left + QPoint(420, 230));
    EXPECT_NE(line->SelectState, 0);
}

TEST_F(EditorTest, ShiftNudgesBy25UnitsAndRepaintsOnRelease) {
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200});
    Form->SelectOnly(r);
    QTest::keyPress(Form.get(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(r->Bounds, (TRect{125, 100, 225, 200}));
    EXPECT_EQ(Form->DragMode(), TDragMode::Moving);
    QTest::keyPress(Form.get(), Qt::Key_Up);
    EXPECT_EQ(r->Bounds, (TRect{125, 99, 225, 199}));
    QTest::keyRelease(Form.get(), Qt::Key_Up);
    EXPECT_EQ(Form->DragMode(), TDragMode::Idle);
    EXPECT_TRUE(Form->Card().DocumentModified);
}

TEST_F(EditorTest, SnappingPutsALeftEdgeOnePixelBeforeTheGridLine) {
    Test.Context.SnapToGrid = true;
    Test.Context.GridSpacing = TEditorState::GridSpacing(3, false, 96);
    ASSERT_EQ(Test.Context.GridSpacing, 24);
    State.Tool = ToolRectangle;
    Drag(Left + QPoint(30, 30), Left + QPoint(130, 100));
    EXPECT_EQ(Panel(1).Items(0)->GetBounds().Left, 23);
    EXPECT_EQ(Panel(1).Items(0)->GetBounds().Top, 23);
}

TEST_F(EditorTest, PasteOfATwoPanelCopyLandsAtTheNearestPanelsCorner) {
    AddRectangle(1, {300, 200, 400, 300});
    AddRectangle(2, {50, 100, 150, 150});
    Form->SelectAll();
    ASSERT_EQ(Form->Selection().Count(), 2);
    Form->Copy();
    Form->ClearSelection();
    Form->Paste();
    ASSERT_EQ(Panel(1).Count(), 3);
    EXPECT_EQ(Panel(1).Items(1)->Bounds, (TRect{250, 100, 350, 200}));
    EXPECT_EQ(Panel(1).Items(2)->Bounds, (TRect{0, 0, 100, 50}));
    EXPECT_EQ(Form->Selection().Count(), 2);
    Form->Paste(); // the clipboard keeps its objects
    EXPECT_EQ(Panel(1).Count(), 5);
    Form->Cut();
    EXPECT_EQ(Panel(1).Count(), 3);
}

TEST_F(EditorTest, StackingCentringAndLocking) {
    TRectangleObject* a = AddRectangle(1, {0, 0, 100, 100});
    TRectangleObject* b = AddRectangle(1, {10, 10, 110, 110});
    Form->SelectOnly(a);
    EXPECT_TRUE(Form->CanBringForward());
    EXPECT_FALSE(Form->CanSendBackward());
    Form->BringToFront();
    EXPECT_EQ(Panel(1).Items(1), a);
    Form->DownOneLevel();
    EXPECT_EQ(Panel(1).Items(0), a);
    Form->CenterSelection(true);
    EXPECT_EQ(a->GetBounds().Left, (528 - 96) / 2);
    Form->ToggleLocked();
    EXPECT_TRUE(a->Locked);
    Form->SelectAll();
    EXPECT_EQ(Form->Selection().Count(), 2);
    Form->DeleteSelection();
    EXPECT_EQ(Panel(1).Count(), 0);
    Q_UNUSED(b);
}

TEST_F(EditorTest, ObjectCyclingWalksPanelsAndWraps) {
    TRectangleObject* a = AddRectangle(1, {0, 0, 100, 100});
    TRectangleObject* b = AddRectangle(2, {0, 0, 100, 100});
    EXPECT_EQ(Form->NextObject(), a);
    Form->SelectOnly(a);
    EXPECT_EQ(Form->NextObject(), b);
    Form->SelectOnly(b);
    EXPECT_EQ(Form->NextObject(), a); // round the panels
    EXPECT_EQ(Form->PreviousObject(), a);
}

TEST_F(EditorTest, ZoomStopsAt250AndAt25AndBannersAt100) {
    for (int i = 0; i < 12; ++i)
        Form->ZoomIn();
    EXPECT_EQ(Form->QDXWindow()->ZoomFactor(), 250);
    for (int i = 0; i < 12; ++i)
        Form->ZoomOut();
    EXPECT_EQ(Form->QDXWindow()->ZoomFactor(), 25);
    QTest::keyClick(Form.get(), '+');
    EXPECT_EQ(Form->QDXWindow()->ZoomFactor(), 33);
    Open(13, 12, 1);
    for (int i = 0; i < 12; ++i)
        Form->ZoomIn();
    EXPECT_EQ(Form->QDXWindow()->ZoomFactor(), 100);
}

TEST_F(EditorTest, ClosingAModifiedUntitledWindowWithNoLeavesTheRecentListAlone) {
    QStringList recent;
    Host.OnAddRecentFile = [&recent](const QString& name) { recent.append(name); };
    Host.OnAskSave = [](const QString& question) {
        EXPECT_TRUE(question.startsWith(QStringLiteral("Save the document NONAME")));
        return TSaveAnswer::No;
    };
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("NONAME0"));
    EXPECT_EQ(Form->UntitledNumber(), 0);
    TCardForm second(nullptr, &State);
    second.AttachDocument(std::make_unique<TCard>(7, 4));
    EXPECT_EQ(second.windowTitle(), QStringLiteral("NONAME1"));
    Form->SetDocumentModified();
    EXPECT_TRUE(Form->close());
    EXPECT_TRUE(recent.isEmpty());

    // A named document closed with Cancel stays open.
    Host.OnAskSave = [](const QString&) { return TSaveAnswer::Cancel; };
    second.Card().FileName = QStringLiteral("/tmp/card.qdx");
    second.SetDocumentModified();
    EXPECT_FALSE(second.close());
}

TEST_F(EditorTest, RightClickSelectsAndOffersTheObjectMenu) {
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200});
    int menus = 0;
    Host.OnShowObjectMenu = [&menus](TCardForm&, QPoint) { ++menus; };
    Send(QEvent::MouseButtonPress, Left + QPoint(120, 120), Qt::RightButton, Qt::RightButton, {});
    EXPECT_EQ(r->SelectState, 1);
    EXPECT_EQ(menus, 1);
    State.Tool = ToolRectangle; // refused while adding
    Send(QEvent::MouseButtonPress, Left + QPoint(120, 120), Qt::RightButton, Qt::RightButton, {});
    EXPECT_EQ(menus, 1);
}

TEST_F(EditorTest, ThePageIsPaintedInItsLayers) {
    Test.Context.ShowGrid = true;
    Test.Context.GridSpacing = 24;
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200});
    r->FillColor = 12;
    Form->SelectOnly(r);
    QImage image(1200, 900, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        Form->PaintPage(painter, image.rect());
    }
    EXPECT_EQ(image.pixel(10, 10), qRgb(192, 192, 192));         // the grey border
    EXPECT_EQ(image.pixel(48, 48), qRgb(0, 0, 0));               // the page frame
    EXPECT_EQ(image.pixel(60, 60), qRgb(255, 255, 255));         // paper
    EXPECT_EQ(image.pixel(49 + 23, 49 + 23), qRgb(0, 0, 0));     // a grid dot
    EXPECT_EQ(image.pixel(49 + 528, 300), qRgb(128, 128, 128));  // the fold
    EXPECT_EQ(image.pixel(49 + 140, 49 + 140), qRgb(0, 0, 255)); // the object
    EXPECT_EQ(image.pixel(49 + 96, 49 + 96), qRgb(0, 0, 0));     // a handle on its corner
}

TEST_F(EditorTest, AnObjectPastTheDeskWidensTheSurfaceSoItsHandlesCanBeReached) {
    const int desk = Form->QDXWindow()->Canvas()->HorizontalExtent();
    TRectangleObject* r = AddRectangle(2, {400, 100, 1500, 200}); // right edge at window 2018
    Form->SelectOnly(r);
    Form->SetDocumentModified();
    EXPECT_EQ(desk, 1057 + 6 * 96 + 2 * 49);
    EXPECT_GE(Form->QDXWindow()->Canvas()->HorizontalExtent(), 2018 + TCardObject::HandleHalf);
    // The right-hand handle answers where it is drawn.
    Hover(Right + QPoint(1440, 144));
    EXPECT_EQ(Form->SurfaceCursor(), crSizeWE);
}

TEST_F(EditorTest, ThePartOfAnObjectOutsideItsPanelIsEdgedInRed) {
    TRectangleObject* r = AddRectangle(1, {400, 100, 700, 200}); // 384..672 px, panel ends 528
    r->FillColor = 15;
    QImage image(1200, 900, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        Form->PaintPage(painter, image.rect());
    }
    const auto isRed = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.red() > 180 && c.green() < 60 && c.blue() < 60;
    };
    // Along the top edge of the part past the fold, and not over the part that prints.
    int redOutside = 0, redInside = 0;
    for (int x = Left.x() + 540; x < Left.x() + 670; ++x)
        redOutside += isRed(x, Left.y() + 96);
    for (int x = Left.x() + 390; x < Left.x() + 520; ++x)
        redInside += isRed(x, Left.y() + 96);
    EXPECT_GT(redOutside, 30); // a dashed line
    EXPECT_EQ(redInside, 0);
    // An object inside its panel gets no mark.
    r->Bounds = {100, 100, 300, 200};
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        Form->PaintPage(painter, image.rect());
    }
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += isRed(x, y);
    EXPECT_EQ(red, 0);
}

TEST_F(EditorTest, AnErrorFromAPropertiesDialogIsShownAndTheEditorGoesOn) {
    // The dialog stand-in fails as a damaged picture would.
    Host.OnRunProperties = [](TCardForm&) { throw Exception(QStringLiteral("The dialog broke")); };
    AddRectangle(1, {100, 100, 200, 200});
    Send(QEvent::MouseButtonDblClick, Left + QPoint(110, 110), Qt::LeftButton, Qt::LeftButton,
         Qt::NoModifier);
    EXPECT_EQ(Test.Messages.Errors, QStringList{QStringLiteral("The dialog broke.")});
    // After creating an object the dialog opens too; the new object stays and no drag hangs.
    State.Tool = ToolEllipse;
    Drag(Left + QPoint(300, 300), Left + QPoint(360, 360));
    EXPECT_EQ(Test.Messages.Errors.size(), 2);
    EXPECT_EQ(Panel(1).Count(), 2);
    EXPECT_EQ(Form->DragMode(), TDragMode::Idle);
    Click(Left + QPoint(20, 700));
    EXPECT_EQ(Form->Selection().Count(), 0);
}

// Steps of the window.

TEST_F(EditorTest, AMouseMoveIsOneStepAndUndoSelectsWhatItTouched) {
    TRectangleObject* r = AddRectangle(1, {400, 100, 500, 200});
    const QByteArray before = CardToBytes(Form->Card());
    Click(Left + QPoint(400, 110));
    Drag(Left + QPoint(400, 110), Left + QPoint(400 + 200, 110));
    ASSERT_EQ(Panel(2).Count(), 1);
    EXPECT_EQ(Form->UndoStack().count(), 1);
    const QByteArray after = CardToBytes(Form->Card());
    Form->ClearSelection();
    Form->Undo();
    EXPECT_EQ(CardToBytes(Form->Card()), before);
    ASSERT_EQ(Form->Selection().Count(), 1);
    EXPECT_EQ(Form->Selection().Items(0), r);
    Form->Redo();
    EXPECT_EQ(CardToBytes(Form->Card()), after);
}

TEST_F(EditorTest, NudgesUpToTheKeyReleaseAreOneStep) {
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200});
    Form->SelectOnly(r);
    for (int i = 0; i < 5; ++i)
        QTest::keyPress(Form.get(), Qt::Key_Right);
    QTest::keyRelease(Form.get(), Qt::Key_Right);
    QTest::keyPress(Form.get(), Qt::Key_Down);
    QTest::keyRelease(Form.get(), Qt::Key_Down);
    EXPECT_EQ(r->Bounds, (TRect{105, 101, 205, 201}));
    EXPECT_EQ(Form->UndoStack().count(), 2);
    Form->Undo();
    EXPECT_EQ(r->Bounds, (TRect{105, 100, 205, 200}));
    Form->Undo();
    EXPECT_EQ(r->Bounds, (TRect{100, 100, 200, 200}));
}

TEST_F(EditorTest, CreateDeleteCutAndPasteAreUndone) {
    const QByteArray empty = CardToBytes(Form->Card());
    State.Tool = ToolEllipse;
    Drag(Left + QPoint(100, 100), Left + QPoint(196, 148));
    ASSERT_EQ(Panel(1).Count(), 1);
    EXPECT_EQ(Form->UndoStack().undoText(), QStringLiteral("Create Ellipse"));
    const QByteArray made = CardToBytes(Form->Card());
    Form->Undo();
    EXPECT_EQ(CardToBytes(Form->Card()), empty);
    EXPECT_EQ(Form->Selection().Count(), 0); // nothing dangles
    Form->Redo();
    EXPECT_EQ(CardToBytes(Form->Card()), made);

    Form->SelectOnly(Panel(1).Items(0));
    Form->DeleteSelection();
    EXPECT_EQ(CardToBytes(Form->Card()), empty);
    Form->Undo();
    EXPECT_EQ(CardToBytes(Form->Card()), made);
    ASSERT_EQ(Form->Selection().Count(), 1);

    Form->Cut();
    EXPECT_EQ(Form->UndoStack().undoText(), QStringLiteral("Cut"));
    Form->Paste();
    Form->Paste();
    EXPECT_EQ(Panel(1).Count(), 2);
    Form->Undo();
    Form->Undo();
    EXPECT_EQ(CardToBytes(Form->Card()), empty);
    Form->Undo();
    EXPECT_EQ(CardToBytes(Form->Card()), made);
}

TEST_F(EditorTest, UndoingBackToTheSavedStateClearsModified) {
    QTemporaryDir dir;
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200});
    ASSERT_TRUE(Form->SaveToFile(dir.filePath(QStringLiteral("card.qdp"))));
    EXPECT_FALSE(Form->Card().DocumentModified);
    Form->SelectOnly(r);
    Form->ToggleLocked();
    EXPECT_TRUE(Form->Card().DocumentModified);
    Form->Undo();
    EXPECT_FALSE(Form->Card().DocumentModified);
    EXPECT_FALSE(r->Locked);
    Form->Redo();
    EXPECT_TRUE(Form->Card().DocumentModified);
    EXPECT_TRUE(r->Locked);
}

TEST_F(EditorTest, ResizeCentreAndStackingAreUndone) {
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200});
    AddRectangle(1, {0, 0, 50, 50});
    const QByteArray before = CardToBytes(Form->Card());
    Click(Left + QPoint(120, 120));
    Hover(Left + QPoint(96, 144));
    Press(Left + QPoint(96, 144));
    MoveTo(Left + QPoint(288, 144)); // flips past the right edge
    Release(Left + QPoint(288, 144));
    EXPECT_EQ(Form->UndoStack().undoText(), QStringLiteral("Resize"));
    Form->SelectOnly(r);
    Form->CenterSelection(true);
    Form->SelectOnly(r);
    Form->BringToFront();
    EXPECT_EQ(Form->UndoStack().count(), 3);
    while (Form->UndoStack().canUndo())
        Form->Undo();
    EXPECT_EQ(CardToBytes(Form->Card()), before);
}

TEST_F(EditorTest, UndoLeavesNoPointerToTheDocumentInTheSharedState) {
    TRectangleObject* r = AddRectangle(1, {100, 100, 200, 200});
    auto* frame = new TRichTextObject();
    frame->Bounds = {300, 100, 400, 200};
    Panel(1).AddObject(frame);
    Form->SelectOnly(r);
    Form->ToggleLocked();
    State.Tool = ToolLinkFrom;
    Click(Left + QPoint(300, 110));
    ASSERT_EQ(State.LinkSource, frame);
    Form->Undo();
    EXPECT_EQ(State.LinkSource, nullptr);
    EXPECT_FALSE(r->Locked);

    State.Tool = ToolRectangle; // undone half way through making an object
    Hover(Left + QPoint(10, 10));
    Press(Left + QPoint(10, 10));
    MoveTo(Left + QPoint(60, 60));
    ASSERT_NE(State.ObjectInProgress, nullptr);
    Form->UndoStack().redo();
    EXPECT_EQ(State.ObjectInProgress, nullptr);
    EXPECT_EQ(Form->DragMode(), TDragMode::Idle);
    Release(Left + QPoint(60, 60));
    EXPECT_EQ(Panel(1).Count(), 2);
}
