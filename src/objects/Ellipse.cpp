#include "objects/Ellipse.h"

#include "document/Canvas.h"

void TEllipseObject::DrawShape(TCanvas& canvas, const QRect& rect) {
    QPainter& painter = canvas.Painter();
    const qreal half = painter.pen().style() == Qt::NoPen ? 0 : painter.pen().width() / 2.0;
    painter.drawEllipse(QRectF(rect).adjusted(half, half, -half, -half));
}

TEllipseObject* TEllipseObject::CreateDefault() {
    auto* shape = new TEllipseObject();
    shape->ReadDefaults(QStringLiteral("Default Ellipse"), 15, false, 1);
    return shape;
}

void TEllipseObject::DrawOutline(QPainter& painter, int dx, int dy) const {
    TRect b = GetBounds();
    b.Offset(dx, dy);
    // As the rectangle's outline: within the pixels from Left to Right - 1.
    painter.drawEllipse(QRect(b.Left, b.Top, b.Width() - 1, b.Height() - 1));
}
