#include "document/Control.h"

#include "document/AppContext.h"
#include "document/LoadOptions.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Formula.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <cmath>

namespace {

// Pens of shapes keep their border inside the rectangle.
QRectF InsideFrame(const QRect& rect, int penWidth) {
    const qreal half = penWidth / 2.0;
    return QRectF(rect).adjusted(half, half, -half, -half);
}

// A logical-pixel length on the canvas's device.
int ToDevice(const TCanvas& canvas, int pixels) {
    return MulDiv(pixels, canvas.DpiX(), ScreenPixelsPerInch());
}

} // namespace

void TShapeObject::LoadShapeFields(TStorage& storage) {
    FillColor = storage.ReadByte();
    ClearFill = storage.ReadBoolean();
    BorderColor = storage.ReadByte();
    BorderSize = storage.ReadByte();
}

void TShapeObject::Load(TStorage& storage) {
    TCardObject::Load(storage);
    LoadShapeFields(storage);
}

void TShapeObject::Store(TStorage& storage) const {
    TCardObject::Store(storage);
    storage.WriteByte(FillColor);
    storage.WriteBoolean(ClearFill);
    storage.WriteByte(BorderColor);
    storage.WriteByte(BorderSize);
}

void TShapeObject::AssignTo(TStored& destination) const {
    TCardObject::AssignTo(destination);
    if (auto* shape = dynamic_cast<TShapeObject*>(&destination)) {
        shape->FillColor = FillColor;
        shape->ClearFill = ClearFill;
        shape->BorderColor = BorderColor;
        shape->BorderSize = BorderSize;
    }
}

void TShapeObject::Draw(TCanvas& canvas, int dx, int dy, bool) {
    TRect bounds = DeviceBounds(canvas);
    bounds.Offset(dx, dy);
    QPainter& painter = canvas.Painter();
    painter.save();
    if (BorderSize > 0) {
        QPen pen(PaletteColor(BorderColor));
        pen.setWidth(std::max(1, ToDevice(canvas, BorderSize)));
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
    } else {
        painter.setPen(Qt::NoPen);
    }
    painter.setBrush(ClearFill ? QBrush(Qt::NoBrush) : QBrush(PaletteColor(FillColor)));
    DrawShape(canvas, bounds.ToQRect());
    painter.restore();
}

void TShapeObject::ReadDefaults(const QString& section, int color, bool clear, int borderSize) {
    const TSettingsStore& s = AppContext().Settings();
    CenterHorizontally = s.ReadBool(section, QStringLiteral("Center Horizontally"), false);
    CenterVertically = s.ReadBool(section, QStringLiteral("Center Vertically"), false);
    FillColor = quint8(s.ReadInteger(section, QStringLiteral("Color"), color));
    ClearFill = s.ReadBool(section, QStringLiteral("Clear"), clear);
    BorderColor = quint8(s.ReadInteger(section, QStringLiteral("Border Color"), 0));
    BorderSize = quint8(s.ReadInteger(section, QStringLiteral("Border Size"), borderSize));
}

TRectangleObject* TRectangleObject::CreateDefault() {
    auto* shape = new TRectangleObject();
    shape->ReadDefaults(QStringLiteral("Default Rectangle"), 15, false, 1);
    return shape;
}

void TRectangleObject::DrawShape(TCanvas& canvas, const QRect& rect) {
    QPainter& painter = canvas.Painter();
    if (painter.pen().style() != Qt::NoPen) {
        painter.drawRect(InsideFrame(rect, painter.pen().width()));
    } else if (painter.brush().style() != Qt::NoBrush) {
        painter.fillRect(rect, painter.brush());
    }
}

THandleHit THorizontalResizeObject::HitTestHandle(QPoint p) const {
    if (Locked) return {};
    const TRect b = GetBounds();
    const int midX = (b.Left + b.Right) / 2;
    const int midY = (b.Top + b.Bottom) / 2;
    if (ResizesVertically()) {
        if (InHandle(p, {midX, b.Top})) return {THandleCursor::SizeNS, false, true};
        if (InHandle(p, {midX, b.Bottom})) return {THandleCursor::SizeNS, false, false};
    } else {
        if (InHandle(p, {b.Left, midY})) return {THandleCursor::SizeWE, true, false};
        if (InHandle(p, {b.Right, midY})) return {THandleCursor::SizeWE, false, false};
    }
    return {THandleCursor::ObjectBody};
}

void THorizontalResizeObject::DrawHandles(QPainter& painter, int dx, int dy) const {
    const TRect b = GetBounds();
    const int midX = (b.Left + b.Right) / 2;
    const int midY = (b.Top + b.Bottom) / 2;
    const QPoint horizontal[] = {{b.Left, midY}, {b.Right, midY}};
    const QPoint vertical[] = {{midX, b.Top}, {midX, b.Bottom}};
    DrawHandleSquares(painter, ResizesVertically() ? vertical : horizontal, 2, dx, dy);
}

void THorizontalResizeObject::DrawShape(TCanvas& canvas, const QRect& rect) {
    QPainter& painter = canvas.Painter();
    if (painter.pen().style() != Qt::NoPen)
        painter.drawRect(InsideFrame(rect, painter.pen().width()));
    else if (painter.brush().style() != Qt::NoBrush)
        painter.fillRect(rect, painter.brush());
}
