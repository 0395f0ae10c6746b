#include "objects/Comb.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QPainter>

#include <algorithm>
#include <array>

TRect TCombGridObject::GetBounds() const {
    const TRect b = TShapeObject::GetBounds();
    const int grow = MulDiv(BorderSize, 96, 144);
    return {b.Left - grow, b.Top - grow, b.Right + grow, b.Bottom + grow};
}

void TCombObject::AssignTo(TStored& destination) const {
    TCombGridObject::AssignTo(destination);
    if (auto* comb = dynamic_cast<TCombObject*>(&destination)) {
        comb->CombEdge = CombEdge;
        comb->CombStyle = CombStyle;
        comb->Spaces = Spaces;
    }
}

void TCombObject::Store(TStorage& storage) const {
    TCombGridObject::Store(storage);
    storage.WriteBoolean(CombEdge);
    storage.WriteByte(CombStyle);
    storage.WriteByte(Spaces);
}

void TCombObject::Load(TStorage& storage) {
    TCombGridObject::Load(storage);
    CombEdge = storage.ReadBoolean();
    CombStyle = storage.ReadByte();
    Spaces = storage.ReadByte();
}

TCombObject* TCombObject::CreateDefault() {
    const QString section = QStringLiteral("Default Comb");
    auto* comb = new TCombObject();
    comb->ReadDefaults(section, 15, true, 1);
    const TSettingsStore& s = AppContext().Settings();
    comb->CombEdge = s.ReadBool(section, QStringLiteral("Comb Edge"), true);
    comb->CombStyle = quint8(s.ReadInteger(section, QStringLiteral("Comb Style"), csUp));
    comb->Spaces = quint8(std::clamp(s.ReadInteger(section, QStringLiteral("Spaces"), 5), 1, 100));
    return comb;
}

namespace {

// The comb's line with both end teeth, for a style; its middle segment alone is the base line.
std::array<QPoint, 4> CombStroke(int style, int l, int t, int r, int b) {
    switch (style) {
    case TCombObject::csDown:
        return {QPoint(l, b), QPoint(l, t), QPoint(r, t), QPoint(r, b)};
    case TCombObject::csLeft:
        return {QPoint(l, t), QPoint(r, t), QPoint(r, b), QPoint(l, b)};
    case TCombObject::csRight:
        return {QPoint(r, t), QPoint(l, t), QPoint(l, b), QPoint(r, b)};
    default: // up, and any unknown style
        return {QPoint(l, t), QPoint(l, b), QPoint(r, b), QPoint(r, t)};
    }
}

} // namespace

void TCombObject::DrawShape(TCanvas& canvas, const QRect& rect) {
    QPainter& painter = canvas.Painter();
    if (painter.brush().style() != Qt::NoBrush) painter.fillRect(rect, painter.brush());
    if (painter.pen().style() == Qt::NoPen) return;
    // The lines run along the rectangle's own edges: Right and Bottom lie just outside the fill.
    const int l = rect.left();
    const int t = rect.top();
    const int r = l + rect.width();
    const int b = t + rect.height();
    const std::array<QPoint, 4> stroke = CombStroke(CombStyle, l, t, r, b);
    if (CombEdge)
        painter.drawPolyline(stroke.data(), int(stroke.size()));
    else
        painter.drawLine(stroke[1], stroke[2]);
    const bool across = CombStyle == csLeft || CombStyle == csRight;
    for (int k = 1; k < Spaces; ++k) {
        if (across) {
            const int y = t + MulDiv(b - t, k, Spaces);
            painter.drawLine(l, y, r, y);
        } else {
            const int x = l + MulDiv(r - l, k, Spaces);
            painter.drawLine(x, t, x, b);
        }
    }
}
