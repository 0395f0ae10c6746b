#pragma once

#include "document/CardObject.h"

#include <algorithm>

// A straight line from the top-left corner of its rectangle to the bottom-right one; the
// rectangle is not normalised, so its corners carry the line's direction.
class TLineObject : public TCardObject {
    QDX_STORED_CLASS("TLineObject")
public:
    TLineObject() = default;
    using TCardObject::TCardObject;
    static TLineObject* CreateDefault();

    quint8 LineColor = 0; // palette index
    quint8 LineStyle = 0; // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    quint8 LineWidth = 1; // points

    // The hit tolerance of a line of this width, in pixels.
    int Tolerance() const { return std::max(LineWidth / 2, 6); }
    // The start becomes the end: used when the user drags the start handle.
    void ExchangeEnds();

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    TRect GetRepaintRect() const override;
    // Vertical and horizontal lines stay at least 26 units long; oblique ones have no minimum.
    void SetBounds(const TRect& units) override;
    void SetBoundsOuter(const TRect& pixels) override;
    THandleHit HitTestHandle(QPoint pixels) const override;
    void Draw(TCanvas& canvas, int dx, int dy, bool printing) override;
    void DrawHandles(QPainter& painter, int dx, int dy) const override;
    void DrawOutline(QPainter& painter, int dx, int dy) const override;
    Qt::PenStyle OutlinePenStyle() const override;
    bool HitTest(QPoint pixels) const override;
    QString TypeName() const override { return QStringLiteral("Line"); }

protected:
    void AssignTo(TStored& destination) const override;
};
