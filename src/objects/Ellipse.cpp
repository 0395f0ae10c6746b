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
