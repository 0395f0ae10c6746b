#pragma once

#include "document/CardObject.h"

// A straight line from the top-left corner of its rectangle to the bottom-right one; the
// rectangle is not normalised, so its corners carry the line's direction.
class TLineObject : public TCardObject {
    QDX_STORED_CLASS("TLineObject")
public:
    TLineObject() = default;
    using TCardObject::TCardObject;

    quint8 LineColor = 0; // palette index
    quint8 LineStyle = 0; // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    quint8 LineWidth = 1; // points

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    QString TypeName() const override { return QStringLiteral("Line"); }

protected:
    void AssignTo(TStored& destination) const override;
};
