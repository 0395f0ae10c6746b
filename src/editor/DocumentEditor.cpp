#include "editor/DocumentEditor.h"

#include "document/AppContext.h"
#include "editor/EditCommands.h"
#include "objects/RichText.h"
#include "storage/Stored.h"

#include <QBuffer>

#include <tuple>

TObjectRef RefOf(const TCard& card, const TCardObject* object) {
    for (int p = 0; object && p < card.PageCount(); ++p) {
        const TCardPage* page = card.Pages(p);
        for (int q = 0; page && q < page->PanelCount(); ++q) {
            const TCardPanel* panel = page->Panels(q);
            const int index = panel ? panel->IndexOfObject(object) : -1;
            if (index >= 0) return {p, qint16(q), index};
        }
    }
    return {};
}

TCardObject* Resolve(const TCard& card, const TObjectRef& ref) {
    if (!ref.IsValid() || ref.Page >= card.PageCount() || !card.Pages(ref.Page)) return nullptr;
    const TCardPage* page = card.Pages(ref.Page);
    if (ref.Panel >= page->PanelCount() || !page->Panels(ref.Panel)) return nullptr;
    const TCardPanel* panel = page->Panels(ref.Panel);
    return ref.Index < panel->Count() ? panel->Items(ref.Index) : nullptr;
}

QByteArray StoredBytes(const TStored& object) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    {
        TStorage storage(&buffer, TStorage::TMode::Write);
        storage.WriteRoot(object);
    }
    return bytes;
}

QByteArray PartBytes(const TStored& part) {
    // A frame refers to its neighbours, which a part of the card need not hold: the part is
    // written without its links, which the card's link table keeps.
    std::vector<std::tuple<TCardObject*, TCardObject*, TCardObject*>> aside;
    auto setAside = [&](TCardObject* object) {
        const TTextFlowLinks* flow = object ? object->TextFlow() : nullptr;
        if (!flow || (!flow->Predecessor && !flow->Successor)) return;
        aside.emplace_back(object, flow->Predecessor, flow->Successor);
        object->SetTextFlow(nullptr, nullptr);
    };
    if (auto* page = dynamic_cast<const TCardPage*>(&part)) {
        for (int q = 0; q < page->PanelCount(); ++q)
            for (int i = 0; page->Panels(q) && i < page->Panels(q)->Count(); ++i)
                setAside(page->Panels(q)->Items(i));
    } else if (auto* object = dynamic_cast<const TCardObject*>(&part)) {
        setAside(const_cast<TCardObject*>(object));
    }
    QByteArray bytes;
    try {
        bytes = StoredBytes(part);
    } catch (...) {
        for (auto& [object, predecessor, successor] : aside)
            object->SetTextFlow(predecessor, successor);
        throw;
    }
    for (auto& [object, predecessor, successor] : aside)
        object->SetTextFlow(predecessor, successor);
    return bytes;
}

TStored* StoredFromBytes(const QByteArray& bytes, TStored* target) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TStorage storage(&buffer, TStorage::TMode::Read);
    return storage.ReadRoot(target);
}


TDocumentEditor::TDocumentEditor() {
    FStack.setUndoLimit(UndoLimit);
    QObject::connect(&FStack, &QUndoStack::indexChanged, [this] { FollowCleanState(); });
}

TDocumentEditor::~TDocumentEditor() {
    // The steps may refer to the card while they go.
    FStack.clear();
}

void TDocumentEditor::Attach(std::unique_ptr<TCard> card) {
    FStack.clear();
    FCard = std::move(card);
    FCurrentPage = 0;
    if (FCard && !FCard->DocumentModified)
        FStack.setClean();
    else
        FStack.resetClean(); // never saved: no step is the saved state
}

void TDocumentEditor::ReplaceCard(std::unique_ptr<TCard> card) {
    if (!card) return;
    TAppContext& context = AppContext();
    if (FCard) {
        card->FileName = FCard->FileName;
        card->DocumentModified = FCard->DocumentModified;
        const bool active = context.ActiveCard == FCard.get();
        context.RemoveOpenCard(FCard.get());
        FCard = std::move(card);
        if (active) context.ActiveCard = FCard.get();
    } else {
        FCard = std::move(card);
    }
    context.AddOpenCard(FCard.get());
    FCurrentPage = std::clamp(FCurrentPage, 0, std::max(0, FCard->PageCount() - 1));
    // The window lets go of the old card before the new objects place their controls in it.
    if (CardReplaced) CardReplaced();
    FCard->ForEachObject([this](TCardObject* object) { object->ZoomChanged(ZoomPercent); });
}

void TDocumentEditor::MarkSaved() {
    FStack.setClean();
}

void TDocumentEditor::Undo() {
    AdoptModifiedFlag();
    FStack.undo();
}

void TDocumentEditor::Redo() {
    AdoptModifiedFlag();
    FStack.redo();
}

// Saves and changes made past the stack set the document's flag only: an unmodified
// document is the saved state here, and a modified one at the saved step can no longer get
// back to it.
void TDocumentEditor::AdoptModifiedFlag() {
    if (!FCard) return;
    if (!FCard->DocumentModified && !FStack.isClean())
        FStack.setClean();
    else if (FCard->DocumentModified && FStack.isClean())
        FStack.resetClean();
}

qint64 TDocumentEditor::UndoMemory() const {
    qint64 total = 0;
    for (int i = 0; i < FStack.count(); ++i)
        if (const auto* step = dynamic_cast<const TEditCommand*>(FStack.command(i)))
            total += step->SizeEstimate();
    return total;
}

void TDocumentEditor::FollowCleanState() {
    // A step that is pushed marks the document itself (the window does); only moving through
    // the stack decides here.
    if (FCard && !FPushing) FCard->SetDocumentModified(!FStack.isClean());
}

// A step's first redo, while it is pushed, is the window's own edit: it keeps its selection.
void TDocumentEditor::Applying() {
    if (BeforeApply && !FPushing) BeforeApply();
}

void TDocumentEditor::Applied(const std::vector<TCardObject*>& touched) {
    if (AfterApply && !FPushing) AfterApply(touched);
}

void TDocumentEditor::Push(QUndoCommand* command) {
    AdoptModifiedFlag();
    FPushing = true;
    FStack.push(command);
    FPushing = false;
    if (FCard) FCard->SetDocumentModified(true);
}


void TDocumentEditor::RecordInsert(const QString& text, const std::vector<TCardObject*>& objects) {
    if (!FCard || objects.empty()) return;
    Push(new TPresenceCommand(*this, text, true, objects));
}

void TDocumentEditor::Delete(const QString& text, const std::vector<TCardObject*>& objects) {
    if (!FCard || objects.empty()) return;
    Push(new TPresenceCommand(*this, text, false, objects));
}

TDocumentEditor::TPlacementRecord::TPlacementRecord(TDocumentEditor& editor, QString text,
                                                    const std::vector<TCardObject*>& objects)
    : FEditor(editor), FText(std::move(text)) {
    if (!editor.Card()) return;
    for (TCardObject* object : objects) {
        const TObjectRef at = RefOf(*editor.Card(), object);
        if (!at.IsValid()) continue;
        FObjects.push_back(object);
        FBefore.push_back(at);
        FBounds.push_back(object->Bounds);
    }
}

void TDocumentEditor::TPlacementRecord::Commit() {
    TCard* card = FEditor.Card();
    if (!card || FObjects.empty()) return;
    std::vector<TPlacementCommand::TPlacement> placements;
    int page = -1;
    bool changed = false;
    for (size_t i = 0; i < FObjects.size(); ++i) {
        const TObjectRef after = RefOf(*card, FObjects[i]);
        if (!after.IsValid() || after.Page != FBefore[i].Page) continue;
        page = after.Page;
        const TRect& a = FObjects[i]->Bounds;
        const TRect& b = FBounds[i];
        placements.push_back({FBefore[i].Panel, after.Panel, FBefore[i].Index, after.Index,
                              a.Left - b.Left, a.Top - b.Top, a.Right - b.Right,
                              a.Bottom - b.Bottom});
        changed = changed || after != FBefore[i] || !(a == b);
    }
    if (!changed) return;
    FEditor.Push(new TPlacementCommand(FEditor, FText, page, std::move(placements)));
    FObjects.clear();
}

void TDocumentEditor::Restack(const QString& text, TCardObject* object, int toIndex) {
    TCardPanel* panel = object ? object->OwnerPanel() : nullptr;
    if (!FCard || !panel) return;
    const int from = panel->IndexOfObject(object);
    toIndex = std::clamp(toIndex, 0, panel->Count() - 1);
    if (from < 0 || from == toIndex) return;
    TPlacementRecord record(*this, text, {object});
    panel->MoveItem(from, toIndex);
    record.Commit();
}

void TDocumentEditor::SetLocked(TCardObject* object, bool locked) {
    if (!FCard || !object || object->Locked == locked) return;
    const TObjectRef at = RefOf(*FCard, object);
    if (!at.IsValid()) return;
    object->SetLocked(locked);
    Push(new TLockCommand(*this, at, locked));
}

struct TDocumentEditor::TContentRecord::TState {
    TFrameState Frames;
};

TDocumentEditor::TContentRecord::TContentRecord(TDocumentEditor& editor, QString text,
                                                const std::vector<TCardObject*>& objects)
    : FEditor(editor), FText(std::move(text)), FObjects(objects) {
    if (editor.Card())
        FBefore = std::make_unique<TState>(TState{TFrameState::Capture(*editor.Card(), objects, true)});
}

TDocumentEditor::TContentRecord::~TContentRecord() = default;

void TDocumentEditor::TContentRecord::Commit() {
    if (!FBefore || !FEditor.Card()) return;
    TFrameState after = TFrameState::Capture(*FEditor.Card(), FObjects, true);
    if (after == FBefore->Frames) return;
    FEditor.Push(new TContentCommand(FEditor, FText, std::move(FBefore->Frames), std::move(after)));
    FBefore.reset();
}

bool TDocumentEditor::Link(TCardObject* frame, TCardObject* next) {
    auto* source = dynamic_cast<TRichTextObject*>(frame);
    auto* target = dynamic_cast<TRichTextObject*>(next);
    if (!FCard || !source) return false;
    std::vector<TCardObject*> involved{source};
    if (target) involved.push_back(target);
    TContentRecord record(*this, target && target != source ? QStringLiteral("Link")
                                                            : QStringLiteral("Unlink"),
                          involved);
    if (!source->LinkTo(target)) return false;
    record.Commit();
    return true;
}

void TDocumentEditor::InsertPage(const QString& text, int index, std::unique_ptr<TCardPage> page) {
    if (!FCard || !page) return;
    index = std::clamp(index, 0, FCard->PageCount());
    Push(new TPageCommand(*this, text, index, true, std::move(page)));
}

void TDocumentEditor::DeletePage(const QString& text, int index) {
    // The last page stays: a card has at least one.
    if (!FCard || FCard->PageCount() < 2 || index < 0 || index >= FCard->PageCount()) return;
    Push(new TPageCommand(*this, text, index, false, nullptr));
}


TDocumentChange::TDocumentChange(TDocumentEditor& editor, QString text, TChangeScope scope)
    : FEditor(editor), FText(std::move(text)), FScope(scope), FPage(editor.CurrentPage()) {
    if (editor.Card()) FBefore = TSnapshotCommand::Capture(*editor.Card(), scope, FPage);
}

TDocumentChange::~TDocumentChange() {
    // A change that failed half way still becomes a step: what it did can be undone.
    try {
        Commit();
    } catch (...) {
    }
}

void TDocumentChange::Commit() {
    if (FCancelled || FBefore.isEmpty() || !FEditor.Card()) return;
    FCancelled = true;
    QByteArray after = TSnapshotCommand::Capture(*FEditor.Card(), FScope, FPage);
    if (after == FBefore) return;
    FEditor.Push(new TSnapshotCommand(FEditor, FText, FScope, FPage, std::move(FBefore),
                                      std::move(after)));
}
