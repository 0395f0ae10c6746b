#include "objects/Line.h"

#include "storage/Stored.h"

void TLineObject::AssignTo(TStored& destination) const {
    TCardObject::AssignTo(destination);
    if (auto* line = dynamic_cast<TLineObject*>(&destination)) {
        line->LineColor = LineColor;
        line->LineStyle = LineStyle;
        line->LineWidth = LineWidth;
    }
}

void TLineObject::Store(TStorage& storage) const {
    TCardObject::Store(storage);
    storage.WriteByte(LineColor);
    storage.WriteByte(LineStyle);
    storage.WriteByte(LineWidth);
}

void TLineObject::Load(TStorage& storage) {
    TCardObject::Load(storage);
    LineColor = storage.ReadByte();
    LineStyle = storage.ReadByte();
    LineWidth = storage.ReadByte();
}
