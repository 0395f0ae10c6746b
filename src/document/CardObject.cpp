#include "document/CardObject.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Control.h"
#include "document/PropertyDialogs.h"
#include "document/Card.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QPainter>

#include <algorithm>

namespace {

TRect Inflated(const TRect& r, int by) {
    return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

int ClampToStoredRange(int value) {
    return std::clamp(value, -32768, 32767);
}

// A grid line, one pixel before it: the edge snaps to the nearest multiple of spacing.
int SnapEdge(int edge, int spacing) {
    return spacing * ((edge + spacing / 2) / spacing) - 1;
}

} // namespace

TCardObject::TCardObject(bool centerHorizontally, bool centerVertically)
    : CenterHorizontally(centerHorizontally), CenterVertically(centerVertically) {}

void TCardObject::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion("TCardObject");
    Bounds = storage.ReadRect();
    if (version == 0) {
        // Oldest records kept the rectangle in screen pixels.
        const TRect units = ScreenToUnits(Bounds);
        Bounds = {ClampToStoredRange(units.Left), ClampToStoredRange(units.Top),
                  ClampToStoredRange(units.Right), ClampToStoredRange(units.Bottom)};
    }
    if (version > 1) {
        CenterHorizontally = storage.ReadBoolean();
        CenterVertically = storage.ReadBoolean();
    }
    if (version > 2) Locked = storage.ReadBoolean();
    if (version >= 4) {
        LinkType = storage.ReadByte();
        LinkTarget = storage.ReadString();
    } else {
        LinkType = ltNone;
    }
}

void TCardObject::Store(TStorage& storage) const {
    storage.SetClassVersion("TCardObject", 4);
    storage.WriteRect(Bounds);
    storage.WriteBoolean(CenterHorizontally);
    storage.WriteBoolean(CenterVertically);
    storage.WriteBoolean(Locked);
    storage.WriteByte(LinkType);
    storage.WriteString(LinkTarget);
}

void TCardObject::AssignTo(TStored& destination) const {
    if (auto* object = dynamic_cast<TCardObject*>(&destination)) {
        object->Bounds = Bounds;
        object->CenterHorizontally = CenterHorizontally;
        object->CenterVertically = CenterVertically;
    }
}

TRect TCardObject::GetBounds() const {
    return UnitsToScreen(Bounds);
}

TRect TCardObject::GetRepaintRect() const {
    return Inflated(GetBounds(), SelectState != 0 ? 12 : 1);
}

void TCardObject::SetBounds(const TRect& units) {
    Bounds = units;
    Bounds.Right = std::max(Bounds.Right, Bounds.Left + MinimumSize);
    Bounds.Bottom = std::max(Bounds.Bottom, Bounds.Top + MinimumSize);
}

void TCardObject::SetBoundsOuter(const TRect& pixels) {
    SetBounds(ScreenToUnits(pixels));
}

// The inverse of GetBounds, so that Realign and moves keep a control object's size (its
// GetBounds includes the control's frame).
void TCardObject::SetBoundsPixels(const TRect& pixels) {
    SetBoundsOuter(pixels);
}

void TCardObject::SetSelectState(quint8 state) {
    SelectState = state;
    AppContext().Shell().SetLockedCheck(Locked);
}

void TCardObject::SetLocked(bool locked) {
    if (locked == Locked) return;
    Locked = locked;
    if (SelectState != 0) AppContext().Shell().RepaintObject(*this);
}

TRect TCardObject::AdjustRect(const TRect& r) const {
    TRect out = r;
    const TCardPanel* panel = OwnerPanel();
    if (!panel) return out;
    if (CenterHorizontally) {
        const int left = (UnitsToScreen(panel->Width) + r.Left - r.Right) / 2;
        out.Offset(left - out.Left, 0);
    }
    if (CenterVertically) {
        const int top = (UnitsToScreen(panel->Height) + r.Top - r.Bottom) / 2;
        out.Offset(0, top - out.Top);
    }
    const TAppContext& context = AppContext();
    if (context.SnapToGrid && context.GridSpacing > 0) {
        if (!CenterHorizontally) out.Offset(SnapEdge(out.Left, context.GridSpacing) - out.Left, 0);
        if (!CenterVertically) out.Offset(0, SnapEdge(out.Top, context.GridSpacing) - out.Top);
    }
    return out;
}

void TCardObject::Realign() {
    SetBoundsPixels(AdjustRect(GetBounds()));
}

bool TCardObject::EditProperties() {
    if (const TPropertyDialog* dialog = PropertyDialogFor(*this)) return (*dialog)(*this);
    return AppContext().Shell().EditProperties(*this);
}

void TCardObject::RevealObject() {
    AppContext().Shell().RevealObject(*this);
}

void TCardObject::EndSpellCheck(TSpellCheckState& state) {
    state.Reset();
}

bool TCardObject::InHandle(QPoint p, QPoint handle) {
    return p.x() >= handle.x() - HandleHalf && p.x() < handle.x() + HandleHalf &&
           p.y() >= handle.y() - HandleHalf && p.y() < handle.y() + HandleHalf;
}

THandleHit TCardObject::HitTestHandle(QPoint p) const {
    if (IsAutoSized()) return {Locked ? THandleCursor::None : THandleCursor::ObjectBody};
    if (Locked) return {};
    const TRect b = GetBounds();
    const int midX = (b.Left + b.Right) / 2;
    const int midY = (b.Top + b.Bottom) / 2;
    struct Handle {
        QPoint Point;
        THandleHit Hit;
    };
    const Handle handles[] = {
        {{b.Left, midY}, {THandleCursor::SizeWE, true, false}},
        {{b.Right, midY}, {THandleCursor::SizeWE, false, false}},
        {{b.Left, b.Top}, {THandleCursor::SizeNWSE, true, true}},
        {{b.Right, b.Bottom}, {THandleCursor::SizeNWSE, false, false}},
        {{midX, b.Top}, {THandleCursor::SizeNS, false, true}},
        {{midX, b.Bottom}, {THandleCursor::SizeNS, false, false}},
        {{b.Right, b.Top}, {THandleCursor::SizeNESW, false, true}},
        {{b.Left, b.Bottom}, {THandleCursor::SizeNESW, true, false}},
    };
    for (const Handle& handle : handles)
        if (InHandle(p, handle.Point)) return handle.Hit;
    return {THandleCursor::ObjectBody};
}

void TCardObject::DrawHandleSquares(QPainter& painter, const QPoint* points, int count, int dx,
                                    int dy) const {
    // Black for the only selection (silver when the object sizes itself), grey for one of many.
    QColor color(0x80, 0x80, 0x80);
    if (SelectState == 1) color = IsAutoSized() ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::black);
    painter.save();
    if (Locked) {
        // Hollow squares in pen OR NOT destination: the pen's own colour on white paper, light
        // on a dark object, so they stand out on any background.
        painter.setCompositionMode(QPainter::RasterOp_SourceOrNotDestination);
        painter.setPen(QPen(color, 0));
        painter.setBrush(Qt::NoBrush);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
    }
    for (int i = 0; i < count; ++i) {
        const QRect square(points[i].x() + dx - HandleHalf, points[i].y() + dy - HandleHalf,
                           2 * HandleHalf, 2 * HandleHalf);
        if (Locked)
            painter.drawRect(square.adjusted(0, 0, -1, -1));
        else
            painter.fillRect(square, color);
    }
    painter.restore();
}

void TCardObject::DrawHandles(QPainter& painter, int dx, int dy) const {
    const TRect b = GetBounds();
    const int midX = (b.Left + b.Right) / 2;
    const int midY = (b.Top + b.Bottom) / 2;
    const QPoint points[] = {{b.Left, b.Top},    {midX, b.Top},    {b.Right, b.Top},
                             {b.Left, b.Bottom}, {midX, b.Bottom}, {b.Right, b.Bottom},
                             {b.Left, midY},     {b.Right, midY}};
    DrawHandleSquares(painter, points, 8, dx, dy);
}

void TCardObject::DrawOutline(QPainter& painter, int dx, int dy) const {
    TRect b = GetBounds();
    b.Offset(dx, dy);
    painter.drawRect(QRect(b.Left, b.Top, b.Width() - 1, b.Height() - 1));
}

bool TCardObject::HitTest(QPoint p) const {
    return GetRepaintRect().Contains(p.x(), p.y());
}

void TCardObject::Paint(TCanvas& canvas, int dx, int dy, bool printing) {
    if (canvas.IsMirrored())
        DrawMirrored(canvas, dx, dy, printing);
    else
        Draw(canvas, dx, dy, printing);
}

TRect TCardObject::DeviceBounds(const TCanvas& canvas) const {
    return UnitsToDevice(canvas, Bounds);
}

TCard* TCardObject::OwnerCard() const {
    return FindObjectOwner(this).Card;
}

TCardPage* TCardObject::OwnerPage() const {
    const TObjectLocation at = FindObjectOwner(this);
    return at.Card ? at.Card->Pages(at.Page) : nullptr;
}

TCardPanel* TCardObject::OwnerPanel() const {
    const TObjectLocation at = FindObjectOwner(this);
    return at.Card ? at.Card->Pages(at.Page)->Panels(at.Panel) : nullptr;
}

int TCardObject::PageIndex() const {
    return FindObjectOwner(this).Page;
}
int TCardObject::PanelIndex() const {
    return FindObjectOwner(this).Panel;
}
int TCardObject::IndexInPanel() const {
    return FindObjectOwner(this).Index;
}

// The state of a spelling check as it goes through the objects.

void TSpellCheckState::Reset() {
    Buffer.clear();
    Position = 0;
    WordStart = 0;
    WordLength = 0;
}

QString TSpellCheckState::TakeWord(int start, int end) {
    WordStart = start;
    WordLength = end - start;
    Position = end;
    return Buffer.mid(start, end - start);
}

QString TSpellCheckState::TakeEnd() {
    Position = int(Buffer.size());
    WordLength = 0;
    return QString();
}

void TSpellCheckState::ReplaceLastWord(const QString& word) {
    Buffer.replace(WordStart, WordLength, word);
    Position += int(word.size()) - WordLength;
    WordLength = int(word.size());
}
