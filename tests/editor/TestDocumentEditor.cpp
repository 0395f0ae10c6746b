#include "document/Control.h"
#include "editor/DocumentEditor.h"
#include "objects/Line.h"
#include "objects/RichText.h"
#include "support/DocumentFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A bifold card (three panels on its one page) owned by a document editor, as an editing
// window holds it, with the card open in the context.
class DocumentEditorTest : public testing::Test {
protected:
    void SetUp() override {
        auto card = std::make_unique<TCard>(0, 0);
        card->SetDocumentModified(false);
        Editor.Attach(std::move(card));
        Test.Context.AddOpenCard(Editor.Card());
    }
    void TearDown() override { Test.Context.RemoveOpenCard(Editor.Card()); }

    TCard& Card() const { return *Editor.Card(); }
    TCardPanel& Panel(int i, int page = 0) const { return *Card().Pages(page)->Panels(i); }
    QByteArray Bytes() const { return CardToBytes(Card()); }
    template <typename T> T* Add(int panel, const TRect& bounds, int page = 0) {
        auto* object = new T();
        object->Bounds = bounds;
        Panel(panel, page).AddObject(object);
        return object;
    }
    TRichTextObject* Frame(int panel, const TRect& bounds, const QString& text, int page = 0) {
        auto* frame = Add<TRichTextObject>(panel, bounds, page);
        frame->InsertText(text);
        return frame;
    }
    // Undo gives the bytes before, redo the bytes after, twice over.
    void ExpectRoundTrips(const QByteArray& before) {
        const QByteArray after = Bytes();
        ASSERT_NE(before, after);
        for (int i = 0; i < 2; ++i) {
            Editor.Undo();
            EXPECT_EQ(Bytes(), before) << "undo " << i;
            Editor.Redo();
            EXPECT_EQ(Bytes(), after) << "redo " << i;
        }
    }

    TTestContext Test{96};
    TDocumentEditor Editor;
};

} // namespace

TEST_F(DocumentEditorTest, InsertedObjectsLeaveOnUndoAndComeBackOnRedo) {
    Add<TRectangleObject>(1, {0, 0, 50, 50});
    const QByteArray before = Bytes();
    auto* r = Add<TRectangleObject>(1, {10, 10, 110, 60});
    auto* field = Add<TFieldObject>(2, {10, 10, 210, 40});
    Editor.RecordInsert(QStringLiteral("Paste"), {r, field});
    EXPECT_EQ(Editor.Stack().undoText(), QStringLiteral("Paste"));
    ExpectRoundTrips(before);
    EXPECT_EQ(Card().Pages(0)->FieldOrder.Count(), 1);
}

TEST_F(DocumentEditorTest, DeletedObjectsReturnToTheirSlotsAndFillInOrder) {
    auto* a = Add<TFieldObject>(1, {0, 0, 200, 30});
    auto* b = Add<TRectangleObject>(1, {0, 40, 50, 90});
    auto* c = Add<TFieldObject>(1, {0, 100, 200, 130});
    Add<TRectangleObject>(2, {5, 5, 50, 50});
    (void)b;
    const QByteArray before = Bytes();
    Editor.Delete(QStringLiteral("Delete"), {c, a});
    EXPECT_EQ(Panel(1).Count(), 1);
    EXPECT_EQ(Card().Pages(0)->FieldOrder.Count(), 0);
    ExpectRoundTrips(before);
    Editor.Undo();
    ASSERT_EQ(Card().Pages(0)->FieldOrder.Count(), 2);
    EXPECT_EQ(Card().Pages(0)->FieldOrder.Items(0), Panel(1).Items(0));
    EXPECT_EQ(Card().Pages(0)->FieldOrder.Items(1), Panel(1).Items(2));
}

TEST_F(DocumentEditorTest, DeletingAFrameOfAChainIsUndoneWithItsLinksAndText) {
    TRichTextObject* a = Frame(1, {0, 0, 200, 100}, QStringLiteral("head of the story"));
    TRichTextObject* b = Add<TRichTextObject>(1, {0, 120, 200, 220});
    TRichTextObject* c = Add<TRichTextObject>(2, {0, 0, 200, 100});
    ASSERT_TRUE(a->LinkTo(b));
    ASSERT_TRUE(b->LinkTo(c));
    const QByteArray before = Bytes();
    Editor.Delete(QStringLiteral("Cut"), {a}); // the head: its text passes to the next frame
    ExpectRoundTrips(before);
    Editor.Undo();
    auto* head = dynamic_cast<TRichTextObject*>(Panel(1).Items(0));
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->Successor(), Panel(1).Items(1));
    EXPECT_EQ(head->Successor()->Successor(), Panel(2).Items(0));
    EXPECT_EQ(head->Successor()->Predecessor(), head);
    EXPECT_TRUE(head->Story().toPlainText().startsWith(QStringLiteral("head of the story")));
}

TEST_F(DocumentEditorTest, MovesAcrossPanelsAndRestackingGoBothWays) {
    auto* a = Add<TRectangleObject>(1, {0, 0, 50, 50});
    auto* b = Add<TLineObject>(1, {60, 60, 10, 10}); // a line keeps its direction
    auto* c = Add<TRectangleObject>(1, {100, 0, 150, 50});
    Add<TRectangleObject>(2, {0, 0, 30, 30});
    const QByteArray before = Bytes();
    TDocumentEditor::TPlacementRecord record(Editor, QStringLiteral("Move"), {a, b, c});
    // a and c go to panel 2 in the order the window moves them; b only moves.
    Panel(1).Detach(Panel(1).IndexOfObject(a));
    Panel(2).Add(a);
    Panel(1).Detach(Panel(1).IndexOfObject(c));
    Panel(2).Add(c);
    for (TCardObject* o : std::vector<TCardObject*>{a, b, c}) {
        TRect r = o->Bounds;
        r.Offset(7, -3);
        o->SetBounds(r);
    }
    record.Commit();
    ExpectRoundTrips(before);

    const QByteArray unstacked = Bytes();
    Editor.Restack(QStringLiteral("Send to Back"), Panel(2).Items(2), 0);
    EXPECT_EQ(Editor.Stack().undoText(), QStringLiteral("Send to Back"));
    ExpectRoundTrips(unstacked);
}

TEST_F(DocumentEditorTest, PlacementWithoutChangeIsNoStep) {
    auto* a = Add<TRectangleObject>(1, {0, 0, 50, 50});
    TDocumentEditor::TPlacementRecord record(Editor, QStringLiteral("Move"), {a});
    record.Commit();
    EXPECT_EQ(Editor.Stack().count(), 0);
    Editor.Restack(QStringLiteral("Bring to Front"), a, 5); // already in front
    EXPECT_EQ(Editor.Stack().count(), 0);
}

TEST_F(DocumentEditorTest, LockAndContentStepsRestoreTheObject) {
    auto* r = Add<TRectangleObject>(1, {0, 0, 50, 50});
    QByteArray before = Bytes();
    Editor.SetLocked(r, true);
    EXPECT_TRUE(r->Locked);
    ExpectRoundTrips(before);

    before = Bytes();
    TDocumentEditor::TContentRecord record(Editor, QStringLiteral("Properties"), {r});
    r->LinkType = ltAddress;
    r->LinkTarget = QStringLiteral("http://example.org/");
    r->CenterHorizontally = true;
    record.Commit();
    ExpectRoundTrips(before);
    Editor.Undo();
    EXPECT_EQ(Panel(1).Items(0), r); // the same object, its contents put back
    EXPECT_TRUE(r->LinkTarget.isEmpty());
}

TEST_F(DocumentEditorTest, LinkingAndUnlinkingFramesKeepTheChainsSound) {
    TRichTextObject* a = Frame(1, {0, 0, 200, 100}, QStringLiteral("one"));
    TRichTextObject* b = Frame(1, {0, 120, 200, 220}, QStringLiteral("two"));
    TRichTextObject* c = Add<TRichTextObject>(2, {0, 0, 200, 100});
    ASSERT_TRUE(b->LinkTo(c));
    QByteArray before = Bytes();
    ASSERT_TRUE(Editor.Link(a, c)); // c leaves b for a
    EXPECT_EQ(b->Successor(), nullptr);
    ExpectRoundTrips(before);
    Editor.Undo();
    EXPECT_EQ(b->Successor(), c);
    EXPECT_EQ(c->Predecessor(), b);
    EXPECT_EQ(a->Successor(), nullptr);
    Editor.Redo();

    EXPECT_FALSE(Editor.Link(c, a)); // a circle
    EXPECT_EQ(Editor.Stack().count(), 1);
    before = Bytes();
    ASSERT_TRUE(Editor.Link(a, nullptr));
    EXPECT_EQ(Editor.Stack().undoText(), QStringLiteral("Unlink"));
    ExpectRoundTrips(before);
}

TEST_F(DocumentEditorTest, PagesInsertedAndDeletedWithLinksAcrossThem) {
    TRichTextObject* a = Frame(1, {0, 0, 200, 100}, QStringLiteral("story"));
    QByteArray before = Bytes();
    auto page = std::make_unique<TCardPage>(Card().CardFormat);
    Editor.InsertPage(QStringLiteral("Append Page"), 1, std::move(page));
    EXPECT_EQ(Card().PageCount(), 2);
    EXPECT_EQ(Editor.CurrentPage(), 1);
    ExpectRoundTrips(before);

    TRichTextObject* b = Add<TRichTextObject>(1, {0, 0, 200, 100}, 1);
    ASSERT_TRUE(a->LinkTo(b));
    before = Bytes();
    Editor.DeletePage(QStringLiteral("Delete Page"), 1);
    EXPECT_EQ(Card().PageCount(), 1);
    EXPECT_EQ(a->Successor(), nullptr);
    ExpectRoundTrips(before);
    Editor.Undo();
    EXPECT_EQ(a->Successor(), Card().ObjectAt(1, 1, 0));

    Editor.DeletePage(QStringLiteral("Delete Page"), 0);
    Editor.DeletePage(QStringLiteral("Delete Page"), 0); // the last page stays
    EXPECT_EQ(Card().PageCount(), 1);
}

TEST_F(DocumentEditorTest, ChangesOfTheCardAndOfAPageAreOneStepEach) {
    Add<TRectangleObject>(1, {0, 0, 50, 50});
    QByteArray before = Bytes();
    {
        TDocumentChange change(Editor, QStringLiteral("Change Type"), TChangeScope::Card);
        Card().SetCardFormat(cfBifoldHorizontal);
        Card().LayoutAllPages();
    }
    EXPECT_EQ(Editor.Stack().undoText(), QStringLiteral("Change Type"));
    ExpectRoundTrips(before);
    Editor.Undo();
    EXPECT_EQ(Card().CardFormat, cfBifoldVertical);
    const auto& open = Test.Context.OpenCards;
    EXPECT_NE(std::find(open.begin(), open.end(), Editor.Card()), open.end());
    Editor.Redo();

    before = Bytes();
    {
        TDocumentChange change(Editor, QStringLiteral("Fill In Form"), TChangeScope::Page);
        Panel(1).Items(0)->Bounds.Offset(10, 10);
        Add<TRectangleObject>(2, {0, 0, 30, 30});
    }
    ExpectRoundTrips(before);

    {
        TDocumentChange change(Editor, QStringLiteral("Nothing"), TChangeScope::Card);
    }
    {
        TDocumentChange change(Editor, QStringLiteral("Abandoned"), TChangeScope::Page);
        Add<TRectangleObject>(2, {0, 0, 30, 30});
        change.Cancel();
    }
    EXPECT_EQ(Editor.Stack().undoText(), QStringLiteral("Fill In Form"));
}

TEST_F(DocumentEditorTest, ModifiedFollowsTheSavedStep) {
    auto* r = Add<TRectangleObject>(1, {0, 0, 50, 50});
    EXPECT_FALSE(Card().DocumentModified);
    Editor.SetLocked(r, true);
    EXPECT_TRUE(Card().DocumentModified);
    Editor.Undo();
    EXPECT_FALSE(Card().DocumentModified); // back at the saved state
    Editor.Redo();
    EXPECT_TRUE(Card().DocumentModified);
    Editor.MarkSaved();
    Card().SetDocumentModified(false);
    Editor.Undo();
    EXPECT_TRUE(Card().DocumentModified);
    Editor.Redo();
    EXPECT_FALSE(Card().DocumentModified);

    // A document never saved stays modified however far back the steps go.
    Editor.Attach(std::make_unique<TCard>(0, 0));
    Test.Context.AddOpenCard(Editor.Card());
    r = Add<TRectangleObject>(1, {0, 0, 50, 50});
    Editor.SetLocked(r, true);
    Editor.Undo();
    EXPECT_TRUE(Card().DocumentModified);
}

TEST_F(DocumentEditorTest, UndoGivesTheTouchedObjectsAndDropsPointersFirst) {
    auto* r = Add<TRectangleObject>(1, {0, 0, 50, 50});
    std::vector<TCardObject*> touched;
    int before = 0;
    Editor.BeforeApply = [&] { ++before; };
    Editor.AfterApply = [&](const std::vector<TCardObject*>& objects) { touched = objects; };
    Editor.Delete(QStringLiteral("Delete"), {r});
    EXPECT_EQ(before, 0); // the window's own edit
    Editor.Undo();
    EXPECT_EQ(before, 1);
    ASSERT_EQ(touched.size(), 1u);
    EXPECT_EQ(touched[0], Panel(1).Items(0));
    Editor.Redo();
    EXPECT_TRUE(touched.empty());
}

TEST_F(DocumentEditorTest, TwoHundredMovesOfAHundredObjectsStayUnderAMegabyte) {
    std::vector<TCardObject*> objects;
    for (int i = 0; i < 100; ++i)
        objects.push_back(Add<TRectangleObject>(1 + i % 2, {i, i, i + 40, i + 40}));
    for (int step = 0; step < 200; ++step) {
        TDocumentEditor::TPlacementRecord record(Editor, QStringLiteral("Move"), objects);
        for (TCardObject* o : objects)
            o->Bounds.Offset(1, 2);
        record.Commit();
    }
    EXPECT_GE(Editor.Stack().count(), 200);
    EXPECT_LT(Editor.UndoMemory(), 1024 * 1024);
    RecordProperty("UndoBytes", int(Editor.UndoMemory()));
    while (Editor.Stack().canUndo())
        Editor.Undo();
    EXPECT_EQ(objects[99]->Bounds, (TRect{99, 99, 139, 139}));
}

TEST_F(DocumentEditorTest, AChangeOfTheWholeCardCoversPagesPutInAndTakenOut) {
    TRichTextObject* a = Frame(1, {0, 0, 200, 100}, QStringLiteral("story"));
    QByteArray before = Bytes();
    {
        TDocumentChange change(Editor, QStringLiteral("Insert Page"), TChangeScope::Card);
        auto* page = new TCardPage(Card().CardFormat);
        Card().LayoutPage(*page);
        Card().InsertObject(0, page);
    }
    EXPECT_EQ(Card().PageCount(), 2);
    ExpectRoundTrips(before);

    a = dynamic_cast<TRichTextObject*>(Card().ObjectAt(1, 1, 0)); // a new card after redo
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->LinkTo(Add<TRichTextObject>(2, {0, 0, 100, 100}, 0)));
    before = Bytes();
    {
        TDocumentChange change(Editor, QStringLiteral("Delete Page"), TChangeScope::Card);
        Card().Delete(0);
    }
    EXPECT_EQ(Card().PageCount(), 1);
    ExpectRoundTrips(before);
    Editor.Undo();
    auto* head = dynamic_cast<TRichTextObject*>(Card().ObjectAt(1, 1, 0));
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->Successor(), Card().ObjectAt(0, 2, 0));
}

TEST_F(DocumentEditorTest, SavesAndChangesPastTheStackMoveTheSavedState) {
    auto* r = Add<TRectangleObject>(1, {0, 0, 50, 50});
    Editor.SetLocked(r, true);
    Card().SetDocumentModified(false); // saved by the main window: no MarkSaved
    Editor.SetLocked(r, false);
    EXPECT_TRUE(Card().DocumentModified);
    Editor.Undo();
    EXPECT_FALSE(Card().DocumentModified); // locked: as saved
    Editor.Undo();
    EXPECT_TRUE(Card().DocumentModified);
    Editor.Redo();
    // A change no step recorded (a dialog of the main window): the saved state is gone.
    Card().SetDocumentModified(true);
    Editor.Redo();
    Editor.Undo();
    EXPECT_TRUE(Card().DocumentModified);
}
