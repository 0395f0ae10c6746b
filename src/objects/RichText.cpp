#include "objects/RichText.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

TRichTextObject::TRichTextObject() = default;

TRichTextObject::TRichTextObject(bool centerHorizontally, bool transparent, bool centerVertically)
    : TTextControlObject(centerHorizontally, centerVertically), Transparent(transparent) {}

// A frame leaving its chain joins its neighbours to each other; links that name it from
// elsewhere (one-sided ones from damaged files) are cleared.
TRichTextObject::~TRichTextObject() {
    TRichTextObject* before = Predecessor() != this ? Predecessor() : nullptr;
    TRichTextObject* after = Successor() != this ? Successor() : nullptr;
    if (before && before->Successor() == this)
        before->SetSuccessor(after != before ? after : nullptr);
    if (after && after->Predecessor() == this)
        after->SetPredecessor(before != after ? before : nullptr);
    while (!FLinkedFrom.empty()) FLinkedFrom.back()->DropLinksTo(this);
    SetSuccessor(nullptr);
    SetPredecessor(nullptr);
}

void TRichTextObject::Link(TCardObject*& link, TRichTextObject* frame) {
    if (link == frame) return;
    if (auto* old = static_cast<TRichTextObject*>(link)) {
        auto& referrers = old->FLinkedFrom;
        const auto at = std::find(referrers.begin(), referrers.end(), this);
        Q_ASSERT(at != referrers.end());
        if (at != referrers.end()) referrers.erase(at);
    }
    link = frame;
    if (frame) frame->FLinkedFrom.push_back(this);
}

void TRichTextObject::DropLinksTo(const TRichTextObject* frame) {
    if (FLinks.Successor == frame) SetSuccessor(nullptr);
    if (FLinks.Predecessor == frame) SetPredecessor(nullptr);
}

std::unique_ptr<TObjectControl> TRichTextObject::CreateControl() {
    return std::make_unique<TObjectControl>();
}

// Links name only frames (Link takes nothing else).
TRichTextObject* TRichTextObject::Successor() const {
    return static_cast<TRichTextObject*>(FLinks.Successor);
}

TRichTextObject* TRichTextObject::Predecessor() const {
    return static_cast<TRichTextObject*>(FLinks.Predecessor);
}

void TRichTextObject::SetSuccessor(TRichTextObject* successor) {
    Link(FLinks.Successor, successor);
}
void TRichTextObject::SetPredecessor(TRichTextObject* predecessor) {
    Link(FLinks.Predecessor, predecessor);
}

void TRichTextObject::SetTextFlow(TCardObject* predecessor, TCardObject* successor) {
    SetPredecessor(dynamic_cast<TRichTextObject*>(predecessor));
    SetSuccessor(dynamic_cast<TRichTextObject*>(successor));
}

void TRichTextObject::AssignTo(TStored& destination) const {
    TTextControlObject::AssignTo(destination);
    if (auto* text = dynamic_cast<TRichTextObject*>(&destination)) {
        text->Content = Content;
        text->Transparent = Transparent;
    }
}

void TRichTextObject::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 2);
    TTextControlObject::Store(storage);
    storage.WriteBlock(Content);
    storage.WriteLongint(qint32(Content.size()));
    storage.WriteReference(FLinks.Successor);
    storage.WriteReference(FLinks.Predecessor);
    storage.WriteBoolean(Transparent);
}

void TRichTextObject::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    TTextControlObject::Load(storage);
    Content = storage.ReadBlock();
    // The second copy of the size is the one that counts; it can only shorten the block.
    const qint32 size = storage.ReadLongint();
    if (size >= 0 && size < Content.size()) Content.truncate(size);
    if (version >= 1) {
        SetSuccessor(dynamic_cast<TRichTextObject*>(storage.ReadReference()));
        SetPredecessor(dynamic_cast<TRichTextObject*>(storage.ReadReference()));
    }
    Transparent = version >= 2 ? storage.ReadBoolean() : false;
}

QString TRichTextObject::NotAvailableNote() {
    return QStringLiteral("Text frames are not available in this version of QDX yet.");
}

void TRichTextObject::Draw(TCanvas& canvas, int dx, int dy, bool printing) {
    if (printing || canvas.Kind() != TCanvas::TKind::Screen) return;
    TRect bounds = DeviceBounds(canvas);
    bounds.Offset(dx, dy);
    QPainter& painter = canvas.Painter();
    painter.save();
    painter.setClipRect(bounds.ToQRect(), Qt::IntersectClip);
    QFont font(QStringLiteral("Arial"));
    font.setItalic(true);
    font.setPixelSize(std::max(6, UnitsToDeviceY(canvas, 18)));
    painter.setFont(font);
    painter.setPen(QColor(0x60, 0x60, 0x60));
    const int margin = UnitsToDeviceX(canvas, 5);
    painter.drawText(bounds.ToQRect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignCenter | Qt::TextWordWrap, NotAvailableNote());
    painter.restore();
}

TRichTextObject* TRichTextObject::CreateDefault() {
    const QString section = QStringLiteral("Default Text");
    const TSettingsStore& s = AppContext().Settings();
    return new TRichTextObject(s.ReadBool(section, QStringLiteral("Center Horizontally"), false),
                               s.ReadBool(section, QStringLiteral("Transparent"), false),
                               s.ReadBool(section, QStringLiteral("Center Vertically"), false));
}
