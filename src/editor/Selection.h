#pragma once

#include "document/CardObject.h"

#include <QRect>

#include <functional>
#include <vector>

class TDocumentEditor;
class TPageGeometry;

// The selected objects of an editing window, in the order they were selected, and the
// commands that act on them. An object's SelectState says whether it is the only one (1) or
// one of several (2). Changes of the document go through the document editor, as steps.
class TSelection {
public:
    explicit TSelection(const TPageGeometry& geometry);
    ~TSelection();
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

    // Repaint of an object whose selection marks changed, and news of any change.
    std::function<void(TCardObject*)> Invalidate;
    std::function<void()> Changed;

    const TCardObjectTable& Objects() const { return FObjects; }
    int Count() const { return FObjects.Count(); }
    TCardObject* Items(int index) const { return FObjects.Items(index); }
    TCardObject* Sole() const { return Count() == 1 ? Items(0) : nullptr; }
    std::vector<TCardObject*> List() const;

    void Clear();
    void Add(TCardObject* object);
    void Remove(TCardObject* object);
    void SelectOnly(TCardObject* object);
    void SelectAll(); // of the shown panels
    // Adds what the band (window pixels) touches: shapes by their repaint rectangles, lines
    // only where the line itself passes.
    void AddInBand(const QRect& band);
    // After a move: each object goes to the panel under its centre, keeping its place on the
    // sheet, and is aligned again (centring, grid).
    void Land();
    // Copies of the selected objects, their bounds relative to the top-left of them all.
    void CopyTo(TCardObjectTable& clipboard) const;
    // Copies of the clipboard's objects, each on the panel under its centre; the new objects
    // are in the page (not selected).
    std::vector<TCardObject*> PlaceCopies(const TCardObjectTable& clipboard) const;
    // The object goes over to another panel of the page (its fill-in order stays).
    void MoveToPanel(TCardObject* object, int fromPanel, int toPanel) const;
    // The object after (before) the first selected one, through the shown panels in turn;
    // the first (last) one when none is selected.
    TCardObject* Next() const;
    TCardObject* Previous() const;

    // Stacking of the sole selected object within its panel.
    bool CanBringForward() const;
    bool CanSendBackward() const;
    void BringToFront(TDocumentEditor& editor);
    void SendToBack(TDocumentEditor& editor);
    void UpOneLevel(TDocumentEditor& editor);
    void DownOneLevel(TDocumentEditor& editor);
    // Every selected object in the middle of its panel, across or down; one step.
    void Center(TDocumentEditor& editor, bool horizontally);
    // Locks the sole selected object, or unlocks it.
    void ToggleLocked(TDocumentEditor& editor);

private:
    void Repaint(TCardObject* object) const;
    void Notify() const;
    int StackIndex() const; // of the sole selected object, -1 when none

    const TPageGeometry& FGeometry;
    TCardObjectTable FObjects; // not owning
};
