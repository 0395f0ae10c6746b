#include "document/Card.h"
#include "editor/CardWin.h"
#include "editor/EditorState.h"
#include "editor/FocusTextControl.h"
#include "objects/RichText.h"
#include "objects/TextFlow.h"
#include "support/DocumentFixtures.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// An editing window at 100 % on a landscape bifold card showing the inside, with two linked
// frames side by side on panel 1 (origin 49, 49).
class TextEditorTest : public testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<TCardForm>(nullptr, &State);
        Form->resize(1500, 1100);
        Form->show();
        Form->AttachDocument(std::make_unique<TCard>(0, 0));
        Form->SetZoomIndex(5);
        Form->ShowPanels(6);
        A = new TRichTextObject();
        B = new TRichTextObject();
        A->Bounds = {20, 20, 220, 120};
        B->Bounds = {250, 20, 450, 220};
        Panel().AddObject(A);
        Panel().AddObject(B);
        ASSERT_TRUE(A->LinkTo(B));
    }

    TCardPanel& Panel() const { return *Form->Card().Pages(0)->Panels(1); }
    TFocusTextControl* Editor() const {
        return Form->findChild<TFocusTextControl*>(QStringLiteral("FocusTextControl"));
    }
    static void Settle() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Edit(TRichTextObject* frame) {
        Form->SelectOnly(frame);
        Settle();
    }
    // Types into whichever editor is open, as the caret moves from frame to frame.
    void Type(const QString& text) {
        for (QChar c : text) {
            QTest::keyClicks(Editor(), QString(c));
            Settle();
        }
    }
    void ClickEditor(QPoint at) {
        QTest::mouseClick(Editor(), Qt::LeftButton, Qt::NoModifier, at);
    }
    QWidget* Viewport() const { return Form->QDXWindow()->Canvas()->viewport(); }
    void ClickSurface(QPoint logical) {
        const QPoint at =
            Form->QDXWindow()->Canvas()->LogicalToDevice(QRect(logical, QSize(1, 1))).topLeft();
        for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress,
                                  QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons buttons =
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent event(type, QPointF(at), Viewport()->mapToGlobal(QPointF(at)),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(Viewport(), &event);
        }
    }

    TTestContext Test{96};
    TEditorState State;
    std::unique_ptr<TCardForm> Form;
    TRichTextObject* A = nullptr;
    TRichTextObject* B = nullptr;
    const QPoint Origin{49, 49};
};

} // namespace

TEST_F(TextEditorTest, TheEditorCoversTheFrameAndTypingFlowsIntoTheNextFrame) {
    Edit(A);
    TFocusTextControl* editor = Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(TFocusTextControl::Current(), editor);
    EXPECT_EQ(editor->geometry(), A->Control().Geometry());
    EXPECT_EQ(editor->width(), 192); // 200 units at 96 pixels per inch
    QString typed;
    for (int i = 0; i < 60; ++i) typed += QStringLiteral("word%1 ").arg(i);
    Type(typed);
    EXPECT_EQ(A->PlainText(), typed);
    EXPECT_TRUE(Form->Card().DocumentModified);
    const TTextFlow& flow = A->Flow();
    EXPECT_GT(flow.FrameEnd(1), flow.FrameStart(1)); // the overflow shows in B
    // The caret went on with the text: B is now the frame being edited.
    EXPECT_EQ(Form->Selection().Count(), 1);
    EXPECT_EQ(Form->Selection().Items(0), B);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->Frame(), B);
    // The story's own undo takes back typing.
    QTest::keyClick(Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_LT(A->PlainText().size(), typed.size());
}

TEST_F(TextEditorTest, AnEmptyContinuationFrameIgnoresClicksAndTheFirstFramePlacesTheCaret) {
    A->Document().setPlainText(QStringLiteral("Short text"));
    Edit(B);
    ASSERT_NE(Editor(), nullptr);
    A->EditCursor().setPosition(4);
    ClickEditor(QPoint(50, 20));
    EXPECT_EQ(A->EditCursor().position(), 4);
    EXPECT_FALSE(Editor()->hasFocus() && A->EditCursor().position() != 4);

    Edit(A);
    ASSERT_NE(Editor(), nullptr);
    ClickEditor(QPoint(1, 8));
    EXPECT_EQ(A->EditCursor().position(), 0);
    QTest::keyClick(Editor(), Qt::Key_End);
    EXPECT_EQ(A->EditCursor().position(), 10);
    QTest::keyClicks(Editor(), QStringLiteral("!"));
    EXPECT_EQ(A->PlainText(), QStringLiteral("Short text!"));
}

TEST_F(TextEditorTest, InsertTogglesOverwriteAndFormatsApplyToTheSelection) {
    A->Document().setPlainText(QStringLiteral("abcdef"));
    Edit(A);
    ASSERT_NE(Editor(), nullptr);
    A->EditCursor().setPosition(1);
    QTest::keyClick(Editor(), Qt::Key_Insert);
    EXPECT_TRUE(Editor()->Overwrite());
    QTest::keyClicks(Editor(), QStringLiteral("XY"));
    EXPECT_EQ(A->PlainText(), QStringLiteral("aXYdef"));
    QTest::keyClick(Editor(), Qt::Key_Insert);
    QTest::keyClick(Editor(), Qt::Key_Home);
    QTest::keyClick(Editor(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(Editor(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(A->EditCursor().anchor(), 0);
    EXPECT_EQ(A->EditCursor().position(), 2);
    QTest::keyClick(Editor(), Qt::Key_B, Qt::ControlModifier);
    QString bold;
    for (const QTextLayout::FormatRange& range : A->Document().begin().textFormats())
        bold += QString(range.length, range.format.fontWeight() >= QFont::Bold ? 'B' : '-');
    EXPECT_EQ(bold, QStringLiteral("BB----"));
}

TEST_F(TextEditorTest, CtrlDeleteDeletesTheSelectedFrameAndTheNextFrameKeepsTheStory) {
    A->Document().setPlainText(QStringLiteral("Kept story"));
    Edit(A);
    ASSERT_NE(Editor(), nullptr);
    QTest::keyClick(Editor(), Qt::Key_Delete, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_EQ(Panel().Count(), 1);
    EXPECT_EQ(Panel().Items(0), B);
    EXPECT_EQ(B->PlainText(), QStringLiteral("Kept story"));
    EXPECT_EQ(B->Predecessor(), nullptr);
}

TEST_F(TextEditorTest, TheLinkToolLinksUnlinksAndRefusesCircles) {
    auto* c = new TRichTextObject();
    c->Bounds = {20, 300, 220, 400};
    Panel().AddObject(c);
    State.Tool = ToolLinkFrom;
    ClickSurface(Origin + QPoint(300, 100)); // B
    EXPECT_EQ(State.Tool, ToolLinkTo);
    ClickSurface(Origin + QPoint(100, 330)); // c
    EXPECT_EQ(State.Tool, ToolEdit);
    EXPECT_EQ(B->Successor(), c);
    EXPECT_EQ(c->Predecessor(), B);

    State.Tool = ToolLinkFrom;
    ClickSurface(Origin + QPoint(100, 330)); // c
    ClickSurface(Origin + QPoint(50, 50));   // A: would close the circle
    EXPECT_EQ(Test.Messages.Errors,
              QStringList{QStringLiteral("You cannot link text objects in a circular manner.")});
    EXPECT_EQ(c->Successor(), nullptr);
    EXPECT_EQ(State.Tool, ToolEdit);

    State.Tool = ToolLinkFrom;
    ClickSurface(Origin + QPoint(300, 100)); // B to itself: the link leaving B goes
    ClickSurface(Origin + QPoint(300, 100));
    EXPECT_EQ(B->Successor(), nullptr);
    EXPECT_EQ(c->Predecessor(), nullptr);
    EXPECT_EQ(A->Successor(), B);

    // A pending link from a frame that goes ends.
    State.Tool = ToolLinkFrom;
    ClickSurface(Origin + QPoint(100, 330));
    EXPECT_EQ(State.LinkSource, c);
    Panel().DeleteObject(2);
    EXPECT_EQ(State.LinkSource, nullptr);
    EXPECT_EQ(State.Tool, ToolEdit);
}

TEST_F(TextEditorTest, TypingIsOneStepOfTheWindowWhenTheEditorCloses) {
    A->Document().setPlainText(QStringLiteral("Start"));
    const QByteArray before = CardToBytes(Form->Card());
    Edit(A);
    A->EditCursor().setPosition(5);
    QString typed = QStringLiteral(" typed");
    for (int i = 0; i < 60; ++i) typed += QStringLiteral(" word%1").arg(i);
    Type(typed);
    EXPECT_EQ(Form->UndoStack().count(), 0); // the editor's own steps while it is open
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->Frame(), B); // the caret went on into the next frame: the same step
    Form->ClearSelection();
    Settle();
    ASSERT_EQ(Form->UndoStack().count(), 1);
    EXPECT_EQ(Form->UndoStack().undoText(), QStringLiteral("Typing"));
    const QByteArray after = CardToBytes(Form->Card());
    Form->Undo();
    EXPECT_EQ(A->PlainText(), QStringLiteral("Start"));
    EXPECT_EQ(CardToBytes(Form->Card()), before);
    Form->Redo();
    EXPECT_EQ(CardToBytes(Form->Card()), after);
    EXPECT_TRUE(A->PlainText().startsWith(QStringLiteral("Start typed")));
}

TEST_F(TextEditorTest, UndoWhileTypingTakesTheEditorsStepsFirst) {
    Edit(A);
    Type(QStringLiteral("ab"));
    Form->Undo(); // the story's own undo
    EXPECT_LT(A->PlainText().size(), 2);
    EXPECT_EQ(Form->UndoStack().count(), 0);
}
