#include "objects/RichText.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <unordered_set>

namespace {

// The frames in existence. Links come from files and may be one-sided or name frames a failed
// read has already freed; a link is followed only to a frame that still exists.
std::unordered_set<const TCardObject*>& LiveFrames() {
    static std::unordered_set<const TCardObject*> frames;
    return frames;
}

TRichTextObject* Live(TCardObject* object) {
    return object && LiveFrames().count(object) ? static_cast<TRichTextObject*>(object) : nullptr;
}

} // namespace

TRichTextObject::TRichTextObject() { LiveFrames().insert(this); }

TRichTextObject::TRichTextObject(bool centerHorizontally, bool transparent, bool centerVertically)
    : TTextControlObject(centerHorizontally, centerVertically), Transparent(transparent) {
    LiveFrames().insert(this);
}

// A frame leaving its chain joins its neighbours to each other.
TRichTextObject::~TRichTextObject() {
    LiveFrames().erase(this);
    TRichTextObject* before = Predecessor();
    TRichTextObject* after = Successor();
    if (before && before->FLinks.Successor == this) before->FLinks.Successor = after;
    if (after && after->FLinks.Predecessor == this) after->FLinks.Predecessor = before;
}

std::unique_ptr<TObjectControl> TRichTextObject::CreateControl() {
    return std::make_unique<TObjectControl>();
}

TRichTextObject* TRichTextObject::Successor() const { return Live(FLinks.Successor); }

TRichTextObject* TRichTextObject::Predecessor() const { return Live(FLinks.Predecessor); }

void TRichTextObject::SetSuccessor(TRichTextObject* successor) {
    FLinks.Successor = successor;
}
void TRichTextObject::SetPredecessor(TRichTextObject* predecessor) {
    FLinks.Predecessor = predecessor;
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
        FLinks.Successor = dynamic_cast<TRichTextObject*>(storage.ReadReference());
        FLinks.Predecessor = dynamic_cast<TRichTextObject*>(storage.ReadReference());
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
