#pragma once

#include "document/Control.h"

// Shapes whose drawing reaches beyond their rectangle by a share of the line width.
class TCombGridObject : public TShapeObject {
public:
    TRect GetBounds() const override;

protected:
    using TShapeObject::TShapeObject;
};

// A line with evenly spaced teeth, for writing one character per box. The shape's fill is
// the background, its border the line.
class TCombObject : public TCombGridObject {
    QDX_STORED_CLASS("TCombObject")
public:
    enum TCombStyle : quint8 { csUp = 0, csDown = 1, csLeft = 2, csRight = 3 };

    TCombObject() = default;
    using TCombGridObject::TCombGridObject;
    static TCombObject* CreateDefault();

    bool CombEdge = true;
    quint8 CombStyle = csUp;
    quint8 Spaces = 5;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    // The background, the base line (with the two end teeth when CombEdge) and the inner teeth.
    void DrawShape(TCanvas& canvas, const QRect& rect) override;
    QString TypeName() const override { return QStringLiteral("Comb"); }

protected:
    void AssignTo(TStored& destination) const override;
};
