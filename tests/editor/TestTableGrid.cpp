#include "document/Card.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "editor/CardWin.h"
#include "editor/ControlWidgets.h"
#include "editor/EditorState.h"
#include "editor/TableGrid.h"
#include "objects/Grid.h"
#include "support/DocumentFixtures.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr quint32 Lines = 0xFF0000; // blue
constexpr quint32 Background = 0xF0FFFF;

// An editing window at 100 % on a landscape bifold card showing the inside (panel 1's origin
// is (49, 49)), with a grid of 3 x 2 cells at (96, 96) in panel 1.
class TableGridTest : public testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<TCardForm>(nullptr, &State);
        Form->resize(1200, 900);
        Form->show();
        Form->AttachDocument(std::make_unique<TCard>(0, 0));
        Form->SetZoomIndex(5);
        Form->ShowPanels(6);
        Grid = new TGridObject();
        TGridTable& t = Grid->Table();
        t.SetSize(3, 2);
        t.ColumnWidths() = {60, 80, 40};
        t.RowHeights() = {24, 30};
        t.TrueLineWidth = 1;
        t.LineColor = Lines;
        t.Color = Background;
        t.UpdateTrueSize();
        Grid->Bounds = {100, 100, 150, 150};
        Form->Panel(1)->AddObject(Grid);
        Grid->Realign();
        Form->Card().SetDocumentModified(false);
    }

    TTableGrid* Editor() const { return qobject_cast<TTableGrid*>(Form->ControlWidget()); }
    QWidget* Viewport() const { return Form->QDXWindow()->Canvas()->viewport(); }
    // Where the surface shows a logical window rectangle.
    QRect Device(const QRect& logical) const {
        return Form->QDXWindow()->Canvas()->LogicalToDevice(logical);
    }
    // The grid's rectangle in window pixels (inside the control frame).
    QRect GridWindowRect() const {
        const TRect b = UnitsToScreen(Grid->Bounds);
        return QRect(b.Left, b.Top, b.Width(), b.Height()).translated(Form->PanelOrigin(1));
    }
    void SendToSurface(QEvent::Type type, QPoint logical, Qt::MouseButton button,
                       Qt::MouseButtons buttons) {
        const QPointF at = Device(QRect(logical, QSize(1, 1))).topLeft();
        QMouseEvent event(type, at, Viewport()->mapToGlobal(at), button, buttons, {});
        QApplication::sendEvent(Viewport(), &event);
    }
    // Drags the mouse over the table's viewport in its own pixels.
    static void DragIn(TTableGrid& table, QPoint from, QPoint to) {
        QWidget* port = table.viewport();
        QTest::mouseMove(port, from);
        QTest::mousePress(port, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), port->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(port, &move);
        QTest::mouseRelease(port, Qt::LeftButton, {}, to);
    }

    TTestContext Test{96};
    TEditorState State;
    std::unique_ptr<TCardForm> Form;
    TGridObject* Grid = nullptr;
};

} // namespace

TEST_F(TableGridTest, SelectingTheGridShowsItsTableOverIt) {
    EXPECT_EQ(Editor(), nullptr);
    Form->SelectOnly(Grid);
    TTableGrid* table = Editor();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    EXPECT_EQ(table->parentWidget(), Viewport());
    EXPECT_EQ(table->Object(), Grid);
    // (96, 96) in panel 1, 184 x 57: the table's size, and where the page would draw it.
    EXPECT_EQ(GridWindowRect(), QRect(145, 145, 184, 57));
    EXPECT_EQ(table->geometry(), Device(GridWindowRect()));
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_TRUE(table->horizontalHeader()->isHidden());
    EXPECT_TRUE(table->verticalHeader()->isHidden());
    EXPECT_EQ(table->frameShape(), QFrame::NoFrame);
    // The page leaves the grid to the table.
    EXPECT_FALSE(Grid->DrawsItself());
}

TEST_F(TableGridTest, TheTableFollowsTheZoom) {
    Form->SelectOnly(Grid);
    Form->SetZoomIndex(7); // 200 %
    TTableGrid* table = Editor();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Grid->Table().ZoomFactor, 200);
    EXPECT_EQ(table->geometry(), Device(GridWindowRect()));
    EXPECT_EQ(table->geometry().size(), QSize(368, 114));
    EXPECT_EQ(table->Layout().Cell(1, 0), QRect(124, 2, 160, 48));
    EXPECT_EQ(table->columnWidth(0), 122); // a line and a cell
    // The table paints as the page does: two-pixel lines at twice the positions.
    const QImage image = table->grab().toImage();
    auto at = [&](int x, int y) { return ColorToRef(QColor(image.pixel(x, y))); };
    for (int x : {0, 1, 122, 123, 284, 285, 366, 367})
        EXPECT_EQ(at(x, 30), Lines) << x;
    for (int x : {2, 121, 124, 283})
        EXPECT_EQ(at(x, 30), Background) << x;
    for (int y : {0, 1, 50, 51, 112, 113})
        EXPECT_EQ(at(60, y), Lines) << y;
    Form->SetZoomIndex(2); // 50 %
    EXPECT_EQ(Editor()->geometry(), Device(GridWindowRect()));
    EXPECT_EQ(Editor()->geometry().width(), 92); // 184 / 2
}

TEST_F(TableGridTest, TypingInACellChangesTheDocument) {
    Form->SelectOnly(Grid);
    TTableGrid* table = Editor();
    ASSERT_NE(table, nullptr);
    const QRect cell = table->Layout().Cell(1, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QLineEdit* editor = table->CellEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->geometry(), cell);
    QTest::keyClicks(editor, QStringLiteral("Total"));
    // Every keystroke is in the document at once.
    EXPECT_EQ(Grid->Table().Cell(1, 0), QStringLiteral("Total"));
    EXPECT_TRUE(Form->Card().DocumentModified);
    // Tab moves to the next cell and edits it.
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(Grid->Table().CurrentColumn, 2);
    EXPECT_EQ(Grid->Table().CurrentRow, 0);
    editor = table->CellEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->geometry(), table->Layout().Cell(2, 0));
    QTest::keyClicks(editor, QStringLiteral("9"));
    EXPECT_EQ(Grid->Table().Cell(2, 0), QStringLiteral("9"));
    EXPECT_EQ(Grid->Table().Cell(1, 0), QStringLiteral("Total"));
    // A change made elsewhere (spelling) shows in the table.
    Grid->Table().SetCell(0, 1, QStringLiteral("fixed"));
    Grid->Table().Changed();
    EXPECT_EQ(table->item(1, 0)->text(), QStringLiteral("fixed"));
}

TEST_F(TableGridTest, DraggingAColumnLineWritesTheTrueWidth) {
    Form->SelectOnly(Grid);
    TTableGrid* table = Editor();
    ASSERT_NE(table, nullptr);
    // The line after the first column is at x = 61; grab it and move it 20 to the right.
    EXPECT_EQ(table->ColumnLineAt(61), 0);
    EXPECT_EQ(table->ColumnLineAt(30), -1);
    DragIn(*table, {61, 10}, {81, 10});
    EXPECT_EQ(Grid->Table().ColumnWidths(), (std::vector<int>{80, 80, 40}));
    EXPECT_TRUE(Form->Card().DocumentModified);
    // The object took the table's new size and the table lies over it.
    EXPECT_EQ(Grid->Table().TrueWidth, 204);
    EXPECT_EQ(UnitsToScreen(Grid->Bounds).Width(), 204);
    EXPECT_EQ(table->geometry(), Device(GridWindowRect()));
    EXPECT_EQ(Editor(), table);

    // At 200 % a drag of 20 pixels is 10 true pixels; rows likewise.
    Form->SetZoomIndex(7);
    Form->Card().SetDocumentModified(false);
    table = Editor();
    ASSERT_NE(table, nullptr);
    const int rowLine = table->Layout().RowLineStart(1); // 2 + 48
    EXPECT_EQ(rowLine, 50);
    EXPECT_EQ(table->RowLineAt(rowLine), 0);
    DragIn(*table, {40, rowLine}, {40, rowLine + 20});
    EXPECT_EQ(Grid->Table().RowHeights(), (std::vector<int>{34, 30}));
    EXPECT_EQ(UnitsToScreen(Grid->Bounds).Height(), 34 + 30 + 3);
    EXPECT_TRUE(Form->Card().DocumentModified);
    EXPECT_EQ(table->geometry(), Device(GridWindowRect()));
}

TEST_F(TableGridTest, DeselectingHidesTheTable) {
    Form->SelectOnly(Grid);
    QPointer<TTableGrid> table = Editor();
    ASSERT_NE(table, nullptr);
    Form->ClearSelection();
    EXPECT_EQ(Form->ControlWidget(), nullptr);
    EXPECT_TRUE(!table || !table->isVisible());
    EXPECT_TRUE(Grid->DrawsItself());
    // With another object also selected the grid is not the sole selection.
    auto* other = new TGridObject();
    other->Table().SetSize(1, 1);
    other->Bounds = {300, 300, 350, 350};
    Form->Panel(1)->AddObject(other);
    Form->AddToSelection(Grid);
    EXPECT_NE(Form->ControlWidget(), nullptr);
    Form->AddToSelection(other);
    EXPECT_EQ(Form->ControlWidget(), nullptr);
    Form->RemoveFromSelection(Grid);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->Object(), other);
    // A click on the empty page deselects.
    SendToSurface(QEvent::MouseButtonPress, {700, 700}, Qt::LeftButton, Qt::LeftButton);
    SendToSurface(QEvent::MouseButtonRelease, {700, 700}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Form->ControlWidget(), nullptr);
}

TEST_F(TableGridTest, MovingTheGridHidesTheTableUntilItLands) {
    Form->SelectOnly(Grid);
    ASSERT_NE(Editor(), nullptr);
    // The control's frame, 6 pixels left of the grid, is where the object is taken.
    const QPoint grab = GridWindowRect().topLeft() + QPoint(-6, 20);
    SendToSurface(QEvent::MouseMove, grab, Qt::NoButton, Qt::NoButton);
    SendToSurface(QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(Form->ControlWidget(), nullptr);
    SendToSurface(QEvent::MouseMove, grab + QPoint(30, 10), Qt::NoButton, Qt::LeftButton);
    SendToSurface(QEvent::MouseButtonRelease, grab + QPoint(30, 10), Qt::LeftButton, Qt::NoButton);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(GridWindowRect().topLeft(), QPoint(175, 155));
    EXPECT_EQ(Editor()->geometry(), Device(GridWindowRect()));
}

TEST_F(TableGridTest, DeletingTheGridDropsItsTable) {
    Form->SelectOnly(Grid);
    QPointer<TTableGrid> table = Editor();
    ASSERT_NE(table, nullptr);
    Form->DeleteSelection();
    EXPECT_EQ(Form->ControlWidget(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(table.isNull());
    // A new grid made now gets a table of its own.
    auto* next = new TGridObject();
    next->Table().SetSize(2, 2);
    next->Bounds = {100, 100, 150, 150};
    Form->Panel(1)->AddObject(next);
    next->Realign();
    Form->SelectOnly(next);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->EditedControl(), &next->Table());
}

TEST_F(TableGridTest, ControlWidgetsCanBeRegisteredForOtherControls) {
    // A factory that declines leaves the grid without a widget; the built-in one returns.
    RegisterControlWidget(typeid(TGridTable), [](TControlObject&, QWidget*) { return nullptr; });
    Form->SelectOnly(Grid);
    EXPECT_EQ(Form->ControlWidget(), nullptr);
    Form->ClearSelection();
    RegisterControlWidget(typeid(TGridTable), [](TControlObject& object, QWidget* parent) {
        return new TTableGrid(static_cast<TGridObject&>(object), parent);
    });
    Form->SelectOnly(Grid);
    EXPECT_NE(Editor(), nullptr);
}

TEST_F(TableGridTest, EditingTheTableIsOneStepWhenTheGridIsLeft) {
    const QByteArray before = CardToBytes(Form->Card());
    Form->SelectOnly(Grid);
    TTableGrid* table = Editor();
    ASSERT_NE(table, nullptr);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->Layout().Cell(1, 0).center());
    ASSERT_NE(table->CellEditor(), nullptr);
    QTest::keyClicks(table->CellEditor(), QStringLiteral("Total"));
    Form->ClearSelection();
    ASSERT_EQ(Form->UndoStack().count(), 1);
    const QByteArray after = CardToBytes(Form->Card());
    Form->Undo();
    EXPECT_EQ(CardToBytes(Form->Card()), before);
    EXPECT_TRUE(Grid->Table().Cell(1, 0).isEmpty());
    Form->Redo();
    EXPECT_EQ(CardToBytes(Form->Card()), after);
    EXPECT_EQ(Grid->Table().Cell(1, 0), QStringLiteral("Total"));
}
