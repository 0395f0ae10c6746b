#include "editor/Selection.h"

#include "document/AppContext.h"
#include "document/Control.h"
#include "document/Units.h"
#include "editor/DocumentEditor.h"
#include "editor/DragMachine.h"
#include "editor/PageGeometry.h"
#include "objects/Line.h"

#include <algorithm>
#include <climits>

TSelection::TSelection(const TPageGeometry& geometry) : FGeometry(geometry) {
    FObjects.SetOwnsObjects(false);
}

TSelection::~TSelection() = default;

std::vector<TCardObject*> TSelection::List() const {
    std::vector<TCardObject*> list;
    list.reserve(size_t(Count()));
    for (int i = 0; i < Count(); ++i)
        list.push_back(Items(i));
    return list;
}

void TSelection::Repaint(TCardObject* object) const {
    if (Invalidate && object) Invalidate(object);
}

void TSelection::Notify() const {
    if (Changed) Changed();
}

void TSelection::Clear() {
    for (int i = 0; i < Count(); ++i) {
        Repaint(Items(i));
        Items(i)->SetSelectState(0);
    }
    FObjects.Clear();
    Notify();
}

void TSelection::Add(TCardObject* object) {
    if (!object || object->SelectState != 0) return;
    if (Count() == 0) {
        object->SetSelectState(1);
    } else {
        if (Count() == 1) {
            Items(0)->SetSelectState(2);
            Repaint(Items(0));
        }
        object->SetSelectState(2);
    }
    FObjects.Add(object);
    Repaint(object);
    if (Count() == 1) object->Activate();
    Notify();
}

void TSelection::Remove(TCardObject* object) {
    if (!object || object->SelectState == 0) return;
    Repaint(object);
    FObjects.RemoveObject(object);
    object->SetSelectState(0);
    if (Count() == 1) {
        Items(0)->SetSelectState(1);
        Repaint(Items(0));
    }
    Notify();
}

void TSelection::SelectOnly(TCardObject* object) {
    Clear();
    Add(object);
}

void TSelection::SelectAll() {
    for (int p = 0; p < TPageGeometry::MaxPanels; ++p) {
        if (!FGeometry.IsShown(p)) continue;
        const TCardPanel* panel = FGeometry.Panel(p);
        for (int i = 0; i < panel->Count(); ++i)
            Add(panel->Items(i));
    }
}

void TSelection::AddInBand(const QRect& band) {
    for (int p = 0; p < TPageGeometry::MaxPanels; ++p) {
        if (!FGeometry.IsShown(p)) continue;
        const TCardPanel* panel = FGeometry.Panel(p);
        const QPoint origin = FGeometry.PanelOrigin(p);
        for (int i = 0; i < panel->Count(); ++i) {
            TCardObject* object = panel->Items(i);
            bool caught = false;
            if (dynamic_cast<TLineObject*>(object)) {
                const TRect b = UnitsToScreen(object->Bounds);
                caught = LineCrossesBand(QPoint(b.Left, b.Top) + origin,
                                         QPoint(b.Right, b.Bottom) + origin, band);
            } else {
                caught = FGeometry.ObjectWindowRect(object).intersects(band);
            }
            if (caught) Add(object);
        }
    }
}

void TSelection::Land() {
    for (int i = 0; i < Count(); ++i) {
        TCardObject* object = Items(i);
        const int from = FGeometry.PanelOf(object);
        if (from < 0) continue;
        const QRect window = TPageGeometry::ToQRect(TPageGeometry::Normalized(object->GetBounds()))
                                 .translated(FGeometry.PanelOrigin(from));
        const int to = FGeometry.PanelAt(window.center());
        if (to != from) {
            const TCardPanel* a = FGeometry.Panel(from);
            const TCardPanel* b = FGeometry.Panel(to);
            TRect bounds = object->Bounds;
            bounds.Offset(a->SheetX - b->SheetX, a->SheetY - b->SheetY);
            MoveToPanel(object, from, to);
            object->SetBounds(bounds);
        }
        object->Realign();
    }
}

void TSelection::CopyTo(TCardObjectTable& clipboard) const {
    clipboard.Clear();
    int left = INT_MAX, top = INT_MAX;
    for (int i = 0; i < Count(); ++i) {
        const TCardObject* object = Items(i);
        clipboard.Add(CloneStored(object));
        const TRect b = TPageGeometry::Normalized(object->Bounds);
        left = std::min(left, b.Left);
        top = std::min(top, b.Top);
    }
    for (int i = 0; i < clipboard.Count(); ++i) {
        auto* copy = static_cast<TCardObject*>(clipboard.Items(i));
        copy->Bounds.Offset(-left, -top);
        // The clipboard outlives this window: its copies must not point at it.
        if (auto* control = dynamic_cast<TControlObject*>(copy); control && control->HasControl())
            control->Control().SetSurface(nullptr);
    }
}

std::vector<TCardObject*> TSelection::PlaceCopies(const TCardObjectTable& clipboard) const {
    std::vector<TCardObject*> placed;
    for (int i = 0; i < clipboard.Count(); ++i) {
        auto* copy = static_cast<TCardObject*>(CloneStored(clipboard.Items(i)));
        copy->ZoomChanged(FGeometry.ZoomPercent());
        const QRect r = TPageGeometry::ToQRect(TPageGeometry::Normalized(copy->GetBounds()));
        TCardPanel* panel = FGeometry.Panel(FGeometry.PanelAt(r.center()));
        if (!panel) {
            delete copy;
            continue;
        }
        panel->AddObject(copy);
        copy->Realign();
        placed.push_back(copy);
    }
    return placed;
}

void TSelection::MoveToPanel(TCardObject* object, int fromPanel, int toPanel) const {
    TCardPanel* from = FGeometry.Panel(fromPanel);
    TCardPanel* to = FGeometry.Panel(toPanel);
    if (!from || !to || from == to) return;
    const int index = from->IndexOfObject(object);
    if (index < 0) return;
    // The object stays on the same page, so a field keeps its place in the fill-in order.
    from->Detach(index);
    to->Add(object);
}

TCardObject* TSelection::Next() const {
    constexpr int panels = TPageGeometry::MaxPanels;
    int panel = 0;
    int index = -1;
    const bool selected = Count() > 0;
    if (selected) {
        panel = FGeometry.PanelOf(Items(0));
        if (panel < 0) return nullptr;
        index = FGeometry.Panel(panel)->IndexOfObject(Items(0));
    }
    const int startPanel = panel;
    for (int steps = 0; steps <= panels * 2; ++steps) {
        const TCardPanel* p = FGeometry.IsShown(panel) ? FGeometry.Panel(panel) : nullptr;
        if (p && index + 1 < p->Count()) return p->Items(index + 1);
        panel = (panel + 1) % panels;
        index = -1;
        if (!selected && panel == 0) return nullptr;
        if (selected && panel == startPanel && steps > panels) return nullptr;
    }
    return nullptr;
}

TCardObject* TSelection::Previous() const {
    constexpr int panels = TPageGeometry::MaxPanels;
    int panel = 0;
    int index = 0;
    const bool selected = Count() > 0;
    if (selected) {
        panel = FGeometry.PanelOf(Items(0));
        if (panel < 0) return nullptr;
        index = FGeometry.Panel(panel)->IndexOfObject(Items(0));
    }
    const int startPanel = panel;
    for (int steps = 0; steps <= panels * 2; ++steps) {
        const TCardPanel* p = FGeometry.IsShown(panel) ? FGeometry.Panel(panel) : nullptr;
        if (p && index - 1 >= 0 && index - 1 < p->Count()) return p->Items(index - 1);
        panel = (panel + panels - 1) % panels;
        const TCardPanel* next = FGeometry.IsShown(panel) ? FGeometry.Panel(panel) : nullptr;
        index = next ? next->Count() : 0;
        if (!selected && panel == 0 && !(next && next->Count() > 0)) return nullptr;
        if (selected && panel == startPanel && steps > panels) return nullptr;
    }
    return nullptr;
}

int TSelection::StackIndex() const {
    const TCardObject* object = Sole();
    const TCardPanel* panel = object ? FGeometry.Panel(FGeometry.PanelOf(object)) : nullptr;
    return panel ? panel->IndexOfObject(object) : -1;
}

bool TSelection::CanBringForward() const {
    const int index = StackIndex();
    return index >= 0 && index < FGeometry.Panel(FGeometry.PanelOf(Sole()))->Count() - 1;
}

bool TSelection::CanSendBackward() const {
    return StackIndex() > 0;
}

void TSelection::BringToFront(TDocumentEditor& editor) {
    if (CanBringForward()) editor.Restack(QStringLiteral("Bring to Front"), Sole(), INT_MAX);
}

void TSelection::SendToBack(TDocumentEditor& editor) {
    if (CanSendBackward()) editor.Restack(QStringLiteral("Send to Back"), Sole(), 0);
}

void TSelection::UpOneLevel(TDocumentEditor& editor) {
    if (CanBringForward())
        editor.Restack(QStringLiteral("Up One Level"), Sole(), StackIndex() + 1);
}

void TSelection::DownOneLevel(TDocumentEditor& editor) {
    if (CanSendBackward())
        editor.Restack(QStringLiteral("Down One Level"), Sole(), StackIndex() - 1);
}

void TSelection::Center(TDocumentEditor& editor, bool horizontally) {
    TDocumentEditor::TPlacementRecord record(
        editor, horizontally ? QStringLiteral("Center Horizontally")
                             : QStringLiteral("Center Vertically"),
        List());
    for (int i = 0; i < Count(); ++i) {
        TCardObject* object = Items(i);
        const TCardPanel* panel = FGeometry.Panel(FGeometry.PanelOf(object));
        if (!panel) continue;
        Repaint(object);
        TRect r = object->GetBounds();
        if (horizontally)
            r.Offset((panel->WidthPixels() - r.Width()) / 2 - r.Left, 0);
        else
            r.Offset(0, (panel->HeightPixels() - r.Height()) / 2 - r.Top);
        object->SetBoundsPixels(r);
        Repaint(object);
    }
    record.Commit();
    Notify();
}

void TSelection::ToggleLocked(TDocumentEditor& editor) {
    TCardObject* object = Sole();
    if (!object) return;
    editor.SetLocked(object, !object->Locked);
    AppContext().Shell().SetLockedCheck(object->Locked);
    Repaint(object);
}
