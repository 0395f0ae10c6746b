#pragma once

#include "document/Control.h"

// A rectangle whose corner ellipse is half its width by half its height.
class TRRectangleObject : public TShapeObject {
    QDX_STORED_CLASS("TRRectangleObject")
public:
    TRRectangleObject() = default;
    using TShapeObject::TShapeObject;
    static TRRectangleObject* CreateDefault();
    void DrawShape(TCanvas& canvas, const QRect& rect) override;
    // The rounded rectangle in logical pixels.
    void DrawOutline(QPainter& painter, int dx, int dy) const override;
    QString TypeName() const override { return QStringLiteral("Rounded Rectangle"); }
};
