#include "editor/EditCommands.h"

#include "document/Control.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <unordered_set>

namespace {

TCardPanel* PanelOf(const TCard& card, int page, int panel) {
    if (page < 0 || page >= card.PageCount() || !card.Pages(page)) return nullptr;
    const TCardPage* p = card.Pages(page);
    return panel >= 0 && panel < p->PanelCount() ? p->Panels(panel) : nullptr;
}

bool RefLess(const TObjectRef& a, const TObjectRef& b) {
    return std::tie(a.Page, a.Panel, a.Index) < std::tie(b.Page, b.Panel, b.Index);
}

QDataStream& operator<<(QDataStream& out, const TObjectRef& r) {
    return out << r.Page << r.Panel << r.Index;
}

QDataStream& operator>>(QDataStream& in, TObjectRef& r) {
    return in >> r.Page >> r.Panel >> r.Index;
}

} // namespace

TEditCommand::TEditCommand(TDocumentEditor& editor, const QString& text, bool alreadyDone)
    : QUndoCommand(text), FEditor(editor), FSkipRedo(alreadyDone) {}

void TEditCommand::undo() {
    FEditor.Applying();
    FEditor.Applied(Apply(false));
}

void TEditCommand::redo() {
    if (std::exchange(FSkipRedo, false)) return;
    FEditor.Applying();
    FEditor.Applied(Apply(true));
}


std::vector<TCardObject*> ChainsOf(const std::vector<TCardObject*>& objects) {
    std::vector<TCardObject*> frames;
    std::unordered_set<const TCardObject*> seen;
    for (TCardObject* object : objects) {
        if (!object || !object->TextFlow() || seen.count(object)) continue;
        TCardObject* head = object;
        std::unordered_set<const TCardObject*> walked{head};
        while (head->TextFlow()->Predecessor && walked.insert(head->TextFlow()->Predecessor).second)
            head = head->TextFlow()->Predecessor;
        for (TCardObject* walk = head; walk && walk->TextFlow() && seen.insert(walk).second;
             walk = walk->TextFlow()->Successor)
            frames.push_back(walk);
    }
    return frames;
}

std::vector<TFrameState::TLink> CaptureLinks(const TCard& card) {
    std::vector<TFrameState::TLink> links;
    card.ForEachObjectIn([&](TCardObject* object, int page, int panel, int index) {
        const TTextFlowLinks* flow = object->TextFlow();
        if (!flow) return;
        links.push_back({{page, qint16(panel), index},
                         flow->Predecessor ? RefOf(card, flow->Predecessor) : TObjectRef{},
                         flow->Successor ? RefOf(card, flow->Successor) : TObjectRef{}});
    });
    return links;
}

void RestoreLinks(TCard& card, const std::vector<TFrameState::TLink>& links) {
    card.ForEachObject([](TCardObject* object) {
        if (object->TextFlow()) object->SetTextFlow(nullptr, nullptr);
    });
    for (const TFrameState::TLink& link : links)
        if (TCardObject* frame = Resolve(card, link.Frame))
            frame->SetTextFlow(Resolve(card, link.Predecessor), Resolve(card, link.Successor));
}

TFrameState TFrameState::Capture(const TCard& card, const std::vector<TCardObject*>& objects,
                                 bool withObjects) {
    TFrameState state;
    std::vector<TCardObject*> all = ChainsOf(objects);
    state.HasLinks = !all.empty();
    const std::unordered_set<TCardObject*> given(objects.begin(), objects.end());
    if (withObjects) {
        for (TCardObject* object : objects)
            if (std::find(all.begin(), all.end(), object) == all.end()) all.push_back(object);
    } else {
        all.erase(std::remove_if(all.begin(), all.end(),
                                 [&](TCardObject* o) { return given.count(o) > 0; }),
                  all.end());
    }
    for (TCardObject* object : all)
        state.Objects.emplace_back(RefOf(card, object), PartBytes(*object));
    if (state.HasLinks) state.Links = CaptureLinks(card);
    return state;
}

void TFrameState::Restore(TCard& card) const {
    for (const auto& [at, bytes] : Objects)
        if (TCardObject* object = Resolve(card, at)) StoredFromBytes(bytes, object);
    if (HasLinks) RestoreLinks(card, Links);
}

qint64 TFrameState::Size() const {
    qint64 size = qint64(sizeof(*this)) + qint64(Links.size() * sizeof(TLink));
    for (const auto& entry : Objects)
        size += qint64(sizeof(entry)) + entry.second.size();
    return size;
}

bool TFrameState::operator==(const TFrameState& other) const {
    if (Objects != other.Objects || HasLinks != other.HasLinks) return false;
    if (Links.size() != other.Links.size()) return false;
    for (size_t i = 0; i < Links.size(); ++i)
        if (Links[i].Frame != other.Links[i].Frame ||
            Links[i].Predecessor != other.Links[i].Predecessor ||
            Links[i].Successor != other.Links[i].Successor)
            return false;
    return true;
}


TPresenceCommand::TPresenceCommand(TDocumentEditor& editor, const QString& text, bool inserting,
                                   const std::vector<TCardObject*>& objects)
    : TEditCommand(editor, text, inserting), FInserting(inserting) {
    const TCard& card = *editor.Card();
    for (TCardObject* object : objects) {
        const TObjectRef at = RefOf(card, object);
        if (!at.IsValid()) continue;
        int order = -1;
        if (auto* field = dynamic_cast<TFieldObject*>(object))
            order = card.Pages(at.Page)->FieldOrder.IndexOfObject(field);
        FEntries.push_back({at, order, PartBytes(*object)});
    }
    std::sort(FEntries.begin(), FEntries.end(),
              [](const TEntry& a, const TEntry& b) { return RefLess(a.At, b.At); });
    FNeighboursWith = TFrameState::Capture(card, objects, false);
    if (inserting) {
        // What the chains would be without the new objects is not known; a new object is in
        // no chain, so there is nothing to keep.
        FKnowsWithout = true;
        FNeighboursWithout = FNeighboursWith;
    }
}

std::vector<TCardObject*> TPresenceCommand::Take(bool insert) {
    TCard& card = Card();
    std::vector<TCardObject*> touched;
    if (insert) {
        for (const TEntry& entry : FEntries) {
            TCardPanel* panel = PanelOf(card, entry.At.Page, entry.At.Panel);
            if (!panel) continue;
            auto* object = dynamic_cast<TCardObject*>(StoredFromBytes(entry.Bytes));
            if (!object) continue;
            panel->InsertObject(std::min<int>(entry.At.Index, panel->Count()), object);
            if (auto* field = dynamic_cast<TFieldObject*>(object); field && entry.FieldOrderIndex >= 0) {
                TFieldObjectTable& order = card.Pages(entry.At.Page)->FieldOrder;
                order.InsertObject(std::min(entry.FieldOrderIndex, order.Count()), field);
            }
            object->ZoomChanged(FEditor.ZoomPercent);
            touched.push_back(object);
        }
        FNeighboursWith.Restore(card);
        return touched;
    }
    for (auto entry = FEntries.rbegin(); entry != FEntries.rend(); ++entry) {
        TCardPanel* panel = PanelOf(card, entry->At.Page, entry->At.Panel);
        if (panel && entry->At.Index < panel->Count()) panel->DeleteObject(entry->At.Index);
    }
    if (!FKnowsWithout) {
        // The neighbours as the deletion left them, found again by their new places.
        std::vector<TCardObject*> neighbours;
        for (const auto& [at, bytes] : FNeighboursWith.Objects) {
            TObjectRef now = at;
            for (const TEntry& entry : FEntries)
                if (entry.At.Page == at.Page && entry.At.Panel == at.Panel &&
                    entry.At.Index < at.Index)
                    --now.Index;
            if (TCardObject* object = Resolve(card, now)) neighbours.push_back(object);
        }
        FNeighboursWithout = TFrameState::Capture(card, neighbours, true);
        FNeighboursWithout.HasLinks = FNeighboursWith.HasLinks;
        if (FNeighboursWithout.HasLinks) FNeighboursWithout.Links = CaptureLinks(card);
        FKnowsWithout = true;
    } else {
        FNeighboursWithout.Restore(card);
    }
    for (const auto& [at, bytes] : FNeighboursWithout.Objects)
        if (TCardObject* object = Resolve(card, at)) touched.push_back(object);
    return touched;
}

std::vector<TCardObject*> TPresenceCommand::Apply(bool forward) {
    return Take(forward == FInserting);
}

qint64 TPresenceCommand::SizeEstimate() const {
    qint64 size = qint64(sizeof(*this)) + FNeighboursWith.Size() + FNeighboursWithout.Size();
    for (const TEntry& entry : FEntries)
        size += qint64(sizeof(entry)) + entry.Bytes.size();
    return size;
}


TPlacementCommand::TPlacementCommand(TDocumentEditor& editor, const QString& text, int page,
                                     std::vector<TPlacement> placements)
    : TEditCommand(editor, text, true), FPage(page), FPlacements(std::move(placements)) {}

std::vector<TCardObject*> TPlacementCommand::Apply(bool forward) {
    TCard& card = Card();
    struct TMoving {
        TCardObject* Object;
        const TPlacement* Placement;
    };
    std::vector<TMoving> moving;
    for (const TPlacement& p : FPlacements) {
        TCardPanel* panel = PanelOf(card, FPage, forward ? p.FromPanel : p.ToPanel);
        const int index = forward ? p.FromIndex : p.ToIndex;
        if (panel && index >= 0 && index < panel->Count())
            moving.push_back({panel->Items(index), &p});
    }
    // Every object that changes its place leaves first; then each goes in at its place, in
    // rising order, so that the ones before it are already where they belong.
    for (const TMoving& m : moving) {
        const TPlacement& p = *m.Placement;
        if (p.FromPanel == p.ToPanel && p.FromIndex == p.ToIndex) continue;
        TCardPanel* panel = PanelOf(card, FPage, forward ? p.FromPanel : p.ToPanel);
        panel->Detach(panel->IndexOfObject(m.Object));
    }
    std::vector<TMoving> order = moving;
    std::sort(order.begin(), order.end(), [forward](const TMoving& a, const TMoving& b) {
        const auto key = [forward](const TPlacement& p) {
            return forward ? std::pair(p.ToPanel, p.ToIndex) : std::pair(p.FromPanel, p.FromIndex);
        };
        return key(*a.Placement) < key(*b.Placement);
    });
    std::vector<TCardObject*> touched;
    for (const TMoving& m : order) {
        const TPlacement& p = *m.Placement;
        if (p.FromPanel != p.ToPanel || p.FromIndex != p.ToIndex) {
            TCardPanel* panel = PanelOf(card, FPage, forward ? p.ToPanel : p.FromPanel);
            panel->InsertObject(std::min<int>(forward ? p.ToIndex : p.FromIndex, panel->Count()),
                                m.Object);
        }
        const int sign = forward ? 1 : -1;
        TRect b = m.Object->Bounds;
        b = {b.Left + sign * p.DLeft, b.Top + sign * p.DTop, b.Right + sign * p.DRight,
             b.Bottom + sign * p.DBottom};
        m.Object->SetBounds(b);
        touched.push_back(m.Object);
    }
    return touched;
}

qint64 TPlacementCommand::SizeEstimate() const {
    return qint64(sizeof(*this)) + qint64(FPlacements.capacity() * sizeof(TPlacement)) +
           text().size() * 2;
}


TLockCommand::TLockCommand(TDocumentEditor& editor, TObjectRef at, bool locked)
    : TEditCommand(editor, locked ? QStringLiteral("Lock") : QStringLiteral("Unlock"), true),
      FAt(at), FLocked(locked) {}

std::vector<TCardObject*> TLockCommand::Apply(bool forward) {
    TCardObject* object = Resolve(Card(), FAt);
    if (!object) return {};
    object->SetLocked(forward == FLocked);
    return {object};
}


TContentCommand::TContentCommand(TDocumentEditor& editor, const QString& text, TFrameState before,
                                 TFrameState after)
    : TEditCommand(editor, text, true), FBefore(std::move(before)), FAfter(std::move(after)) {}

std::vector<TCardObject*> TContentCommand::Apply(bool forward) {
    const TFrameState& state = forward ? FAfter : FBefore;
    state.Restore(Card());
    std::vector<TCardObject*> touched;
    for (const auto& [at, bytes] : state.Objects)
        if (TCardObject* object = Resolve(Card(), at)) touched.push_back(object);
    return touched;
}

qint64 TContentCommand::SizeEstimate() const {
    return qint64(sizeof(*this)) + FBefore.Size() + FAfter.Size();
}


TPageCommand::TPageCommand(TDocumentEditor& editor, const QString& text, int index,
                           bool inserting, std::unique_ptr<TCardPage> page)
    : TEditCommand(editor, text, false), FIndex(index), FInserting(inserting),
      FPending(std::move(page)) {}

std::vector<TCardObject*> TPageCommand::Apply(bool forward) {
    TCard& card = Card();
    if (forward == FInserting) {
        std::unique_ptr<TCardPage> page = std::move(FPending);
        if (!page) page.reset(static_cast<TCardPage*>(StoredFromBytes(FPage)));
        card.LayoutPage(*page);
        card.InsertObject(std::clamp(FIndex, 0, card.PageCount()), page.release());
        FNeighbours.Restore(card);
    } else {
        if (FIndex < 0 || FIndex >= card.PageCount()) return {};
        // The page as it is now, and the frames of other pages that share its chains: its
        // frames pass their text on as they go, as a plain delete does.
        const TCardPage& page = *card.Pages(FIndex);
        std::vector<TCardObject*> objects;
        for (int q = 0; q < page.PanelCount(); ++q)
            for (int i = 0; page.Panels(q) && i < page.Panels(q)->Count(); ++i)
                objects.push_back(page.Panels(q)->Items(i));
        FPage = PartBytes(page);
        FNeighbours = TFrameState::Capture(card, objects, false);
        card.Delete(FIndex);
    }
    FEditor.SetCurrentPage(std::clamp(FIndex, 0, card.PageCount() - 1));
    return {};
}

qint64 TPageCommand::SizeEstimate() const {
    return qint64(sizeof(*this)) + FPage.size() + FNeighbours.Size();
}


TSnapshotCommand::TSnapshotCommand(TDocumentEditor& editor, const QString& text,
                                   TChangeScope scope, int page, QByteArray before,
                                   QByteArray after)
    : TEditCommand(editor, text, true), FScope(scope), FPage(page), FBefore(std::move(before)),
      FAfter(std::move(after)) {}

QByteArray TSnapshotCommand::Capture(const TCard& card, TChangeScope scope, int page) {
    if (scope == TChangeScope::Card) return StoredBytes(card);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    const bool has = page >= 0 && page < card.PageCount();
    out << (has ? PartBytes(*card.Pages(page)) : QByteArray());
    const std::vector<TFrameState::TLink> links = CaptureLinks(card);
    out << quint32(links.size());
    for (const TFrameState::TLink& link : links)
        out << link.Frame << link.Predecessor << link.Successor;
    return bytes;
}

std::vector<TCardObject*> TSnapshotCommand::Apply(bool forward) {
    const QByteArray& bytes = forward ? FAfter : FBefore;
    if (FScope == TChangeScope::Card) {
        std::unique_ptr<TStored> stored(StoredFromBytes(bytes));
        auto* card = dynamic_cast<TCard*>(stored.get());
        if (!card) return {};
        stored.release();
        FEditor.ReplaceCard(std::unique_ptr<TCard>(card));
        return {};
    }
    QDataStream in(bytes);
    QByteArray pageBytes;
    quint32 count = 0;
    in >> pageBytes >> count;
    TCard& card = Card();
    if (pageBytes.isEmpty() || FPage < 0 || FPage >= card.PageCount()) return {};
    std::unique_ptr<TCardPage> page(static_cast<TCardPage*>(StoredFromBytes(pageBytes)));
    card.ForEachObject([](TCardObject* object) {
        if (object->TextFlow()) object->SetTextFlow(nullptr, nullptr);
    });
    card.Delete(FPage);
    card.LayoutPage(*page);
    card.InsertObject(FPage, page.release());
    std::vector<TFrameState::TLink> links;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        TFrameState::TLink link;
        in >> link.Frame >> link.Predecessor >> link.Successor;
        links.push_back(link);
    }
    RestoreLinks(card, links);
    return {};
}

qint64 TSnapshotCommand::SizeEstimate() const {
    return qint64(sizeof(*this)) + FBefore.size() + FAfter.size();
}
