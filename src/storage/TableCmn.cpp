#include "storage/TableCmn.h"

#include <memory>

int TSmallPointTable::Order(TSmallPoint a, TSmallPoint b) const {
    const qint32 x = qint32(quint32(quint16(a.X)) | (quint32(quint16(a.Y)) << 16));
    const qint32 y = qint32(quint32(quint16(b.X)) | (quint32(quint16(b.Y)) << 16));
    return x < y ? -1 : (x > y ? 1 : 0);
}

TStringTable::~TStringTable() {
    Clear();
}

int TStringTable::Compare(const void* a, const void* b) const {
    return QString::localeAwareCompare(*SlotString(a), *SlotString(b));
}

void TStringTable::FreeItem(int index) {
    auto** slot = static_cast<QString**>(ItemPtr(index));
    delete *slot;
    *slot = nullptr;
}

int TStringTable::AddString(const QString& text) {
    auto owned = std::make_unique<QString>(text);
    QString* raw = owned.get();
    const int index = Add(&raw);
    owned.release();
    return index;
}

int TStringTable::IndexOfString(const QString& text) const {
    const QString* probe = &text;
    if (Sorted()) {
        int index;
        return Search(&probe, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (*SlotString(ItemPtr(i)) == text) return i;
    return -1;
}

QString TStringTable::Strings(int index) const {
    if (IsFree(index)) return QString();
    const QString* text = SlotString(ItemPtr(index));
    return text ? *text : QString();
}

void TStringTable::Store(TStorage& storage) const {
    TBaseTable::Store(storage);
    for (int i = 0; i < Count(); ++i)
        storage.WriteString(Strings(i));
}

void TStringTable::Load(TStorage& storage) {
    TBaseTable::Load(storage);
    if (Static()) throw EReadError(); // a string slot cannot double as a free link
    for (int i = 0; i < Count(); ++i)
        *static_cast<QString**>(ItemPtr(i)) = new QString(storage.ReadString());
    // The order was made by the collation of the machine that wrote the file.
    if (Sorted()) Sort();
    SetModified(false);
}

void TStringTable::Assign(const TStored& source) {
    const auto* table = dynamic_cast<const TStringTable*>(&source);
    if (!table) {
        TPointerTable::Assign(source);
        return;
    }
    if (table == this) return;
    CopyTableFrom(*table); // copies the pointers; each slot then gets its own string
    for (int i = 0; i < Count(); ++i) {
        auto** slot = static_cast<QString**>(ItemPtr(i));
        if (*slot) *slot = new QString(**slot);
    }
}
