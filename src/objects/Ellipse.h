#pragma once

#include "document/Control.h"

class TEllipseObject : public TShapeObject {
    QDX_STORED_CLASS("TEllipseObject")
public:
    TEllipseObject() = default;
    using TShapeObject::TShapeObject;
    static TEllipseObject* CreateDefault();
    void DrawShape(TCanvas& canvas, const QRect& rect) override;
    QString TypeName() const override { return QStringLiteral("Ellipse"); }
};
