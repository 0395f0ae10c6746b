#include "objects/RoundedRectangle.h"

#include "document/Canvas.h"

void TRRectangleObject::DrawShape(TCanvas& canvas, const QRect& rect) {
    QPainter& painter = canvas.Painter();
    const qreal half = painter.pen().style() == Qt::NoPen ? 0 : painter.pen().width() / 2.0;
    const QRectF inside = QRectF(rect).adjusted(half, half, -half, -half);
    // The corner ellipse is width div 2 by height div 2, so its radii are a quarter of each.
    painter.drawRoundedRect(inside, (rect.width() / 2) / 2.0, (rect.height() / 2) / 2.0);
}

TRRectangleObject* TRRectangleObject::CreateDefault() {
    auto* shape = new TRRectangleObject();
    shape->ReadDefaults(QStringLiteral("Default Rounded Rectangle"), 15, false, 1);
    return shape;
}

void TRRectangleObject::DrawOutline(QPainter& painter, int dx, int dy) const {
    TRect b = GetBounds();
    b.Offset(dx, dy);
    const QRect outline(b.Left, b.Top, b.Width() - 1, b.Height() - 1);
    painter.drawRoundedRect(outline, (b.Width() / 2) / 2.0, (b.Height() / 2) / 2.0);
}
