#pragma once

#include "editor/DocumentEditor.h"

#include <QUndoCommand>

// The steps of a document's undo stack. Each keeps only what its change needs to go both
// ways; one made after the change was done in place (a drag) skips its first redo.
class TEditCommand : public QUndoCommand {
public:
    TEditCommand(TDocumentEditor& editor, const QString& text, bool alreadyDone);
    void undo() final;
    void redo() final;
    // Bytes this step holds, for the stack's memory budget.
    virtual qint64 SizeEstimate() const = 0;

protected:
    TCard& Card() const { return *FEditor.Card(); }
    // Applies the change (forward) or takes it back; returns the objects it touched.
    virtual std::vector<TCardObject*> Apply(bool forward) = 0;
    TDocumentEditor& FEditor;

private:
    bool FSkipRedo;
};

// A text-flow frame's neighbours relink and pass text on when it goes: the stored contents of
// the frames of the chains involved and every link of the card, to put back.
struct TFrameState {
    struct TLink {
        TObjectRef Frame, Predecessor, Successor;
    };
    std::vector<std::pair<TObjectRef, QByteArray>> Objects;
    std::vector<TLink> Links;
    bool HasLinks = false;

    // The objects themselves (when given) and, for frames among them, their whole chains.
    static TFrameState Capture(const TCard& card, const std::vector<TCardObject*>& objects,
                               bool withObjects);
    void Restore(TCard& card) const;
    qint64 Size() const;
    bool operator==(const TFrameState& other) const;
};
std::vector<TFrameState::TLink> CaptureLinks(const TCard& card);
void RestoreLinks(TCard& card, const std::vector<TFrameState::TLink>& links);
// The frames of the chains the objects belong to.
std::vector<TCardObject*> ChainsOf(const std::vector<TCardObject*>& objects);

// Objects put on the page (created, pasted) or taken off it (deleted, cut).
class TPresenceCommand : public TEditCommand {
public:
    struct TEntry {
        TObjectRef At;
        int FieldOrderIndex = -1;
        QByteArray Bytes;
    };
    // Inserting: the objects are already in place. Deleting: they are deleted by the first redo.
    TPresenceCommand(TDocumentEditor& editor, const QString& text, bool inserting,
                     const std::vector<TCardObject*>& objects);
    qint64 SizeEstimate() const override;

protected:
    std::vector<TCardObject*> Apply(bool forward) override;

private:
    std::vector<TCardObject*> Take(bool insert);
    std::vector<TEntry> FEntries; // ascending places
    bool FInserting;
    TFrameState FNeighboursWith;    // the chains' other frames while the objects are there
    TFrameState FNeighboursWithout; // and once they are gone (known after the first delete)
    bool FKnowsWithout = false;
};

// Objects moved, resized, restacked or centred: their places and the change of their bounds.
class TPlacementCommand : public TEditCommand {
public:
    struct TPlacement {
        qint16 FromPanel, ToPanel;
        qint32 FromIndex, ToIndex;
        qint32 DLeft, DTop, DRight, DBottom; // bounds after less bounds before, in units
    };
    TPlacementCommand(TDocumentEditor& editor, const QString& text, int page,
                      std::vector<TPlacement> placements);
    qint64 SizeEstimate() const override;

protected:
    std::vector<TCardObject*> Apply(bool forward) override;

private:
    int FPage;
    std::vector<TPlacement> FPlacements;
};

class TLockCommand : public TEditCommand {
public:
    TLockCommand(TDocumentEditor& editor, TObjectRef at, bool locked);
    qint64 SizeEstimate() const override { return qint64(sizeof(*this)); }

protected:
    std::vector<TCardObject*> Apply(bool forward) override;

private:
    TObjectRef FAt;
    bool FLocked;
};

// Stored contents of objects (and their chains) before and after an edit in place.
class TContentCommand : public TEditCommand {
public:
    TContentCommand(TDocumentEditor& editor, const QString& text, TFrameState before,
                    TFrameState after);
    qint64 SizeEstimate() const override;

protected:
    std::vector<TCardObject*> Apply(bool forward) override;

private:
    TFrameState FBefore, FAfter;
};

// A page put in or taken out, with the chains that run through it.
class TPageCommand : public TEditCommand {
public:
    TPageCommand(TDocumentEditor& editor, const QString& text, int index, bool inserting,
                 std::unique_ptr<TCardPage> page);
    qint64 SizeEstimate() const override;

protected:
    std::vector<TCardObject*> Apply(bool forward) override;

private:
    int FIndex;
    bool FInserting;
    QByteArray FPage;
    TFrameState FNeighbours; // the frames of other pages in its chains, while it is there
    std::unique_ptr<TCardPage> FPending; // the new page until the first redo inserts it
};

// The whole card or one page, stored before and after a change of the main window.
class TSnapshotCommand : public TEditCommand {
public:
    TSnapshotCommand(TDocumentEditor& editor, const QString& text, TChangeScope scope, int page,
                     QByteArray before, QByteArray after);
    qint64 SizeEstimate() const override;
    static QByteArray Capture(const TCard& card, TChangeScope scope, int page);

protected:
    std::vector<TCardObject*> Apply(bool forward) override;

private:
    TChangeScope FScope;
    int FPage;
    QByteArray FBefore, FAfter;
};
