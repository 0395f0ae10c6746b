#include "document/Replacement.h"

#include "document/RecordSource.h"

void TNamedObject::Load(TStorage& storage) {
    Name = storage.ReadString();
}
void TNamedObject::Store(TStorage& storage) const {
    storage.WriteString(Name);
}

TReplacementText::TReplacementText(const QString& name, int position) {
    Name = name;
    Position = static_cast<qint16>(position);
}

void TReplacementText::Load(TStorage& storage) {
    TNamedObject::Load(storage);
    Position = storage.ReadSmallint();
}

void TReplacementText::Store(TStorage& storage) const {
    TNamedObject::Store(storage);
    storage.WriteSmallint(Position);
}

void TReplacementText::AssignTo(TStored& destination) const {
    if (auto* text = dynamic_cast<TReplacementText*>(&destination)) {
        text->Name = Name;
        text->Position = Position;
    }
}

void TPersonalizedText::Load(TStorage& storage) {
    TReplacementText::Load(storage);
    UserValue = storage.ReadString();
}

void TPersonalizedText::Store(TStorage& storage) const {
    TReplacementText::Store(storage);
    storage.WriteString(UserValue);
}

void TPersonalizedText::AssignTo(TStored& destination) const {
    TReplacementText::AssignTo(destination);
    if (auto* text = dynamic_cast<TPersonalizedText*>(&destination)) text->UserValue = UserValue;
}

QString TDatabaseText::GetText() const {
    if (Table && Table->IsOpen() && Table->RecordCount() > 0) {
        if (const std::optional<QString> value = Table->FieldText(Name)) return *value;
    }
    return QLatin1Char('<') + Name + QLatin1Char('>');
}
