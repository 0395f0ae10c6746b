#pragma once

#include "document/Control.h"

// The ellipse inscribed in the object's rectangle.
class TEllipseObject : public TShapeObject {
    QDX_STORED_CLASS("TEllipseObject")
public:
    TEllipseObject() = default;
    using TShapeObject::TShapeObject;
    static TEllipseObject* CreateDefault();
    void DrawShape(TCanvas& canvas, const QRect& rect) override;
    // The ellipse inscribed in the rectangle, in logical pixels.
    void DrawOutline(QPainter& painter, int dx, int dy) const override;
    QString TypeName() const override { return QStringLiteral("Ellipse"); }
};
