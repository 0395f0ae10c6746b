#pragma once

#include "document/Card.h"

#include <QByteArray>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <vector>

// Where an object is in its card. Edits name objects by place, never by pointer: undoing a
// change of the whole card or page makes new objects, and a place stays valid for every step
// of the stack because each step is undone in the state it left behind.
struct TObjectRef {
    qint32 Page = -1;
    qint16 Panel = -1;
    qint32 Index = -1;
    bool IsValid() const { return Page >= 0 && Panel >= 0 && Index >= 0; }
    bool operator==(const TObjectRef&) const = default;
};

TObjectRef RefOf(const TCard& card, const TCardObject* object);
TCardObject* Resolve(const TCard& card, const TObjectRef& ref);

// An object graph as the storage writes it (its own record, class table and references),
// and back: into a new object, or into target itself.
QByteArray StoredBytes(const TStored& object);
TStored* StoredFromBytes(const QByteArray& bytes, TStored* target = nullptr);
// An object or page of a card, without the text-flow links of its frames.
QByteArray PartBytes(const TStored& part);

// What a recorded change captures before and after: the whole card, or the current page.
enum class TChangeScope { Card, Page };

// The editing interface of one document: every change the editing window makes goes through
// it as one step of its undo stack, and the document's modified flag follows the stack's
// clean state. Owns the document.
class TDocumentEditor {
public:
    static constexpr int UndoLimit = 256;

    TDocumentEditor();
    ~TDocumentEditor();
    TDocumentEditor(const TDocumentEditor&) = delete;
    TDocumentEditor& operator=(const TDocumentEditor&) = delete;

    TCard* Card() const { return FCard.get(); }
    // Takes the document; the stack starts empty, clean when the document is unmodified.
    void Attach(std::unique_ptr<TCard> card);
    // Puts another card in place of the document (a step of the whole card was undone).
    void ReplaceCard(std::unique_ptr<TCard> card);
    QUndoStack& Stack() { return FStack; }
    const QUndoStack& Stack() const { return FStack; }
    // The document was saved: this step is now the clean state. A document whose modified
    // flag was cleared by a save elsewhere is taken as saved at the next step or undo.
    void MarkSaved();
    void Undo();
    void Redo();
    // Sum of the steps' own size estimates, in bytes.
    qint64 UndoMemory() const;

    // The window's part: before a step is applied again (drop pointers into the document),
    // after it (show the objects it touched; empty when none remain), and after the card
    // itself was exchanged.
    std::function<void()> BeforeApply;
    std::function<void(const std::vector<TCardObject*>&)> AfterApply;
    std::function<void()> CardReplaced;
    int ZoomPercent = 100; // given to objects the stack makes again

    // -- Steps of the editing window. Objects are on the current page. --
    // objects are already in the card: the step records them, to take them out on undo.
    void RecordInsert(const QString& text, const std::vector<TCardObject*>& objects);
    // Deletes the objects (their text-flow neighbours relink as a plain delete does).
    void Delete(const QString& text, const std::vector<TCardObject*>& objects);

    // The placement (panel, stacking index, bounds) of objects before a change made in
    // place; Commit records what changed as one step (none when nothing did).
    class TPlacementRecord {
    public:
        TPlacementRecord(TDocumentEditor& editor, QString text,
                         const std::vector<TCardObject*>& objects);
        void Commit();

    private:
        TDocumentEditor& FEditor;
        QString FText;
        std::vector<TCardObject*> FObjects;
        std::vector<TObjectRef> FBefore;
        std::vector<TRect> FBounds;
    };
    // Moves the object to another stacking index of its panel.
    void Restack(const QString& text, TCardObject* object, int toIndex);
    void SetLocked(TCardObject* object, bool locked);

    // The stored contents of objects before an edit in place (a properties dialog, typing in
    // a text frame): the text-flow chains they are part of are captured with them.
    class TContentRecord {
    public:
        TContentRecord(TDocumentEditor& editor, QString text,
                       const std::vector<TCardObject*>& objects);
        ~TContentRecord();
        void Commit();

    private:
        struct TState;
        TDocumentEditor& FEditor;
        QString FText;
        std::vector<TCardObject*> FObjects;
        std::unique_ptr<TState> FBefore;
    };
    // Links the frame to next (null: unlinks it); false when that would close a circle.
    bool Link(TCardObject* frame, TCardObject* next);

    void InsertPage(const QString& text, int index, std::unique_ptr<TCardPage> page);
    void DeletePage(const QString& text, int index);
    void SetCurrentPage(int page) { FCurrentPage = page; }
    int CurrentPage() const { return FCurrentPage; }

    // Called by the steps.
    void Applied(const std::vector<TCardObject*>& touched);
    void Applying();
    void Push(QUndoCommand* command);

private:
    void FollowCleanState();
    void AdoptModifiedFlag();

    std::unique_ptr<TCard> FCard;
    QUndoStack FStack;
    int FCurrentPage = 0;
    bool FPushing = false;
};

// A change of the main window as one step: the state of the scope (the card's or the current
// page's stored bytes) is taken now and when the object goes, and the step is pushed when
// they differ. One line before the change does it:
//     TDocumentChange change(editor, QStringLiteral("Insert Page"), TChangeScope::Card);
// Cancel() drops the step (the command was abandoned).
class TDocumentChange {
public:
    TDocumentChange(TDocumentEditor& editor, QString text, TChangeScope scope);
    ~TDocumentChange();
    TDocumentChange(const TDocumentChange&) = delete;
    TDocumentChange& operator=(const TDocumentChange&) = delete;
    void Cancel() { FCancelled = true; }
    // Pushes the step now instead of at the end of the scope.
    void Commit();

private:
    TDocumentEditor& FEditor;
    QString FText;
    TChangeScope FScope;
    int FPage;
    QByteArray FBefore;
    bool FCancelled = false;
};
