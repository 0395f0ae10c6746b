#include "objects/Comb.h"

#include "document/AppContext.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <algorithm>

TRect TCombGridObject::GetBounds() const {
    const TRect b = TShapeObject::GetBounds();
    const int grow = MulDiv(BorderSize, 96, 144);
    return {b.Left - grow, b.Top - grow, b.Right + grow, b.Bottom + grow};
}

void TCombObject::AssignTo(TStored& destination) const {
    TCombGridObject::AssignTo(destination);
    if (auto* comb = dynamic_cast<TCombObject*>(&destination)) {
        comb->CombEdge = CombEdge;
        comb->CombStyle = CombStyle;
        comb->Spaces = Spaces;
    }
}

void TCombObject::Store(TStorage& storage) const {
    TCombGridObject::Store(storage);
    storage.WriteBoolean(CombEdge);
    storage.WriteByte(CombStyle);
    storage.WriteByte(Spaces);
}

void TCombObject::Load(TStorage& storage) {
    TCombGridObject::Load(storage);
    CombEdge = storage.ReadBoolean();
    CombStyle = storage.ReadByte();
    Spaces = storage.ReadByte();
}

TCombObject* TCombObject::CreateDefault() {
    const QString section = QStringLiteral("Default Comb");
    auto* comb = new TCombObject();
    comb->ReadDefaults(section, 15, true, 1);
    const TSettingsStore& s = AppContext().Settings();
    comb->CombEdge = s.ReadBool(section, QStringLiteral("Comb Edge"), true);
    comb->CombStyle = quint8(s.ReadInteger(section, QStringLiteral("Comb Style"), csUp));
    comb->Spaces = quint8(std::clamp(s.ReadInteger(section, QStringLiteral("Spaces"), 5), 1, 100));
    return comb;
}
