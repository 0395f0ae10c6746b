#include "objects/Line.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QPainter>

#include <cstdlib>

void TLineObject::AssignTo(TStored& destination) const {
    TCardObject::AssignTo(destination);
    if (auto* line = dynamic_cast<TLineObject*>(&destination)) {
        line->LineColor = LineColor;
        line->LineStyle = LineStyle;
        line->LineWidth = LineWidth;
    }
}

void TLineObject::Store(TStorage& storage) const {
    TCardObject::Store(storage);
    storage.WriteByte(LineColor);
    storage.WriteByte(LineStyle);
    storage.WriteByte(LineWidth);
}

void TLineObject::Load(TStorage& storage) {
    TCardObject::Load(storage);
    LineColor = storage.ReadByte();
    LineStyle = storage.ReadByte();
    LineWidth = storage.ReadByte();
}

TLineObject* TLineObject::CreateDefault() {
    const QString section = QStringLiteral("Default Line");
    const TSettingsStore& s = AppContext().Settings();
    auto* line = new TLineObject(s.ReadBool(section, QStringLiteral("Center Horizontally"), false),
                                 s.ReadBool(section, QStringLiteral("Center Vertically"), false));
    line->LineColor = quint8(s.ReadInteger(section, QStringLiteral("Color"), 0));
    line->LineStyle = quint8(s.ReadInteger(section, QStringLiteral("Style"), 0));
    line->LineWidth = quint8(s.ReadInteger(section, QStringLiteral("Size"), 1));
    return line;
}

void TLineObject::ExchangeEnds() {
    SetBounds({Bounds.Right, Bounds.Bottom, Bounds.Left, Bounds.Top});
}

TRect TLineObject::GetRepaintRect() const {
    const TRect b = GetBounds();
    const int grow = (SelectState != 0 ? 6 : 0) + LineWidth;
    return {std::min(b.Left, b.Right) - grow, std::min(b.Top, b.Bottom) - grow,
            std::max(b.Left, b.Right) + grow, std::max(b.Top, b.Bottom) + grow};
}

void TLineObject::SetBounds(const TRect& units) {
    TRect r = units;
    if (r.Left == r.Right) {
        if (r.Top < r.Bottom)
            r.Bottom = std::max(r.Bottom, r.Top + MinimumSize);
        else
            r.Top = std::max(r.Top, r.Bottom + MinimumSize);
    }
    if (r.Top == r.Bottom) {
        if (r.Left < r.Right)
            r.Right = std::max(r.Right, r.Left + MinimumSize);
        else
            r.Left = std::max(r.Left, r.Right + MinimumSize);
    }
    Bounds = r;
}

void TLineObject::SetBoundsOuter(const TRect& pixels) {
    SetBounds(ScreenToUnits(pixels));
}

THandleHit TLineObject::HitTestHandle(QPoint p) const {
    if (Locked) return {};
    const TRect b = GetBounds();
    auto near = [&p](int x, int y) { return std::abs(p.x() - x) <= 5 && std::abs(p.y() - y) <= 5; };
    if (near(b.Left, b.Top)) return {THandleCursor::LineEnd, true, false};
    if (near(b.Right, b.Bottom)) return {THandleCursor::LineEnd, false, false};
    return {THandleCursor::ObjectBody};
}

void TLineObject::Draw(TCanvas& canvas, int dx, int dy, bool) {
    TRect r = DeviceBounds(canvas);
    r.Offset(dx, dy);
    static constexpr Qt::PenStyle Styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                              Qt::DashDotLine, Qt::DashDotDotLine};
    QPen pen(PaletteColor(LineColor));
    pen.setStyle(Styles[LineStyle < 5 ? LineStyle : 0]);
    pen.setWidth(MulDiv(LineWidth, canvas.DpiX(), 72)); // points; 0 is the thinnest pen
    pen.setCapStyle(Qt::FlatCap);
    QPainter& painter = canvas.Painter();
    painter.save();
    painter.setPen(pen);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawLine(r.Left, r.Top, r.Right, r.Bottom);
    painter.restore();
}

void TLineObject::DrawHandles(QPainter& painter, int dx, int dy) const {
    const TRect b = GetBounds();
    const QPoint ends[] = {{b.Left, b.Top}, {b.Right, b.Bottom}};
    DrawHandleSquares(painter, ends, 2, dx, dy);
}

void TLineObject::DrawOutline(QPainter& painter, int dx, int dy) const {
    TRect b = GetBounds();
    b.Offset(dx, dy);
    painter.drawLine(b.Left, b.Top, b.Right, b.Bottom);
}

Qt::PenStyle TLineObject::OutlinePenStyle() const {
    // A dotted black line keeps an outline that can be told from it.
    return LineStyle == 2 && LineColor == 0 ? Qt::DashLine : Qt::DotLine;
}

bool TLineObject::HitTest(QPoint p) const {
    const TRect b = GetBounds();
    const int t = Tolerance();
    const int steps = std::max(std::abs(b.Right - b.Left), std::abs(b.Bottom - b.Top));
    for (int i = 0; i <= steps; ++i) {
        const int x = steps ? b.Left + MulDiv(b.Right - b.Left, i, steps) : b.Left;
        const int y = steps ? b.Top + MulDiv(b.Bottom - b.Top, i, steps) : b.Top;
        if (std::abs(p.x() - x) <= t && std::abs(p.y() - y) <= t) return true;
    }
    return false;
}
