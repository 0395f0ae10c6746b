#include "storage/Stored.h"
#include "storage/Table.h"

void TDataTable::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 1);
    TBaseTable::Store(storage);
    storage.Write(ItemPtr(0), qint64(Count()) * SlotWidth());
}

void TDataTable::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    TBaseTable::Load(storage);
    // Older records held the whole allocation, not just the used slots.
    const qint64 slotCount = version >= 1 ? Count() : Capacity();
    storage.RequireBytes(slotCount * SlotWidth());
    storage.Read(ItemPtr(0), slotCount * SlotWidth());
    RebuildFreeChain();
    SetModified(false);
}

void TDataTable::Assign(const TStored& source) {
    const auto* table = dynamic_cast<const TDataTable*>(&source);
    if (table && AcceptsItemSize(table->ItemSize())) {
        if (table != this) CopyTableFrom(*table);
        return;
    }
    TBaseTable::Assign(source);
}
