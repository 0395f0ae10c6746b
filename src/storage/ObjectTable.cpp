#include "storage/Table.h"

#include "storage/Exception.h"
#include "storage/Stored.h"

#include <new>

TObjectTable::TObjectTable(const TStoredClass* itemClass) : FItemClass(itemClass) {}

TObjectTable::~TObjectTable() {
    Clear();
}

TStored* TObjectTable::Items(int index) const {
    if (IsFree(index)) return nullptr;
    return SlotObject(ItemPtr(index));
}

int TObjectTable::Compare(const void* a, const void* b) const {
    return CompareObjects(SlotObject(a), SlotObject(b));
}

void TObjectTable::FreeItem(int index) {
    if (!FOwnsObjects) return;
    delete Items(index);
    *static_cast<TStored**>(ItemPtr(index)) = nullptr;
}

int TObjectTable::IndexOfObject(const TStored* object) const {
    if (Sorted()) return IndexOf(&object);
    for (int i = 0; i < Count(); ++i)
        if (!IsFree(i) && Items(i) == object) return i;
    return -1;
}

void TObjectTable::RemoveObject(TStored* object) {
    const int index = IndexOfObject(object);
    if (index >= 0) Delete(index);
}

TStored* TObjectTable::Detach(int index) {
    TStored* object = Items(index);
    if (IsFree(index)) return nullptr;
    const bool owns = FOwnsObjects;
    FOwnsObjects = false;
    Delete(index);
    FOwnsObjects = owns;
    return object;
}

int TObjectTable::Reposition(int index) {
    if (!Sorted()) return -1;
    TStored* object = Detach(index);
    return object ? Add(object) : -1;
}

TStored* TObjectTable::FirstThat(const TObjectTest& test) {
    void* slot = TBaseTable::FirstThat([&](void* s) { return test(SlotObject(s)); });
    return slot ? SlotObject(slot) : nullptr;
}

TStored* TObjectTable::LastThat(const TObjectTest& test) {
    void* slot = TBaseTable::LastThat([&](void* s) { return test(SlotObject(s)); });
    return slot ? SlotObject(slot) : nullptr;
}

int TObjectTable::IndexOfFirstThat(const TObjectTest& test) {
    return TBaseTable::IndexOfFirstThat([&](void* s) { return test(SlotObject(s)); });
}

int TObjectTable::ForEach(const TObjectTest& action) {
    return TBaseTable::ForEach([&](void* s) { return action(SlotObject(s)); });
}

int TObjectTable::ForEachBackward(const TObjectTest& action) {
    return TBaseTable::ForEachBackward([&](void* s) { return action(SlotObject(s)); });
}

bool TObjectTable::AcceptsItem(const TStored* object) const {
    return !FItemClass || FItemClass->IsInstance(object);
}

TStored* TObjectTable::ReadItem(TStorage& storage) {
    return FItemClass ? storage.ReadInstance(*FItemClass) : storage.ReadObject();
}

void TObjectTable::WriteItem(TStorage& storage, const TStored* object) const {
    if (FItemClass)
        storage.WriteInstance(object);
    else
        storage.WriteObject(object);
}

void TObjectTable::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 1);
    TBaseTable::Store(storage);
    storage.WriteBoolean(FOwnsObjects);
    storage.WriteString(FItemClass ? QString::fromLatin1(FItemClass->Name) : QString());
    for (int i = 0; i < Count(); ++i)
        if (!IsFree(i)) WriteItem(storage, Items(i));
}

void TObjectTable::RemoveEmptySlots() {
    SetStatic(false);
    for (int i = Count() - 1; i >= 0; --i)
        if (!Items(i)) Delete(i);
}

void TObjectTable::Load(TStorage& storage) {
    FOwnsObjects = true; // while reading, what was read so far is freed on failure
    TBaseTable::Load(storage);
    const bool owns = storage.ReadBoolean();
    const QByteArray className = storage.ReadShortBytes();
    FItemClass = className.isEmpty() ? nullptr : TClassRegistry::Instance().Find(className);
    for (int i = 0; i < Count(); ++i) {
        if (IsFree(i)) continue;
        std::unique_ptr<TStored> item(ReadItem(storage));
        if (!item) continue;
        // A table that does not own its items cannot have been written with their records: no
        // one else would own what was read. And an item must be of a kind the table can hold.
        if (!owns || !AcceptsItem(item.get())) throw EReadError();
        *static_cast<TStored**>(ItemPtr(i)) = item.release();
    }
    FOwnsObjects = owns;
    SetModified(false);
}

void TObjectTable::Assign(const TStored& source) {
    const auto* table = dynamic_cast<const TObjectTable*>(&source);
    if (!table) {
        TPointerTable::Assign(source);
        return;
    }
    if (table == this) return;
    CopyTableFrom(*table); // copies the pointers; owning copies replace them below
    FItemClass = table->FItemClass;
    FOwnsObjects = table->FOwnsObjects;
    if (!FOwnsObjects) return;
    for (int i = 0; i < Count(); ++i) {
        if (IsFree(i)) continue;
        auto** slot = static_cast<TStored**>(ItemPtr(i));
        const TStored* original = *slot;
        *slot = nullptr;
        if (!original) continue;
        const TStoredClass* itemClass =
            FItemClass ? FItemClass : TClassRegistry::Instance().Find(original->ClassName());
        if (!itemClass) throw EClassNotFound(QString::fromLatin1(original->ClassName()));
        std::unique_ptr<TStored> copy(itemClass->Create());
        copy->Assign(*original);
        *slot = copy.release();
    }
}
