#pragma once

#include "storage/Table.h"

#include <QString>

#include <cstring>
#include <type_traits>

// Tables of fixed-width values, compared numerically, and tables of strings. Each "Sorted"
// class is its parent with Sorted switched on at construction.

template <typename TValue> class TValueTable : public TDataTable {
public:
    TValue Values(int index) const {
        TValue value;
        std::memcpy(&value, ItemPtr(index), sizeof value);
        return value;
    }
    int AddValue(TValue value) { return TDataTable::Add(&value); }
    int IndexOfValue(TValue value) const { return IndexOf(&value); }
    int Compare(const void* a, const void* b) const override {
        TValue x, y;
        std::memcpy(&x, a, sizeof x);
        std::memcpy(&y, b, sizeof y);
        return Order(x, y);
    }

protected:
    TValueTable() : TDataTable(int(sizeof(TValue))) {}
    bool AcceptsItemSize(int itemSize) const override { return itemSize == int(sizeof(TValue)); }
    virtual int Order(TValue x, TValue y) const {
        if constexpr (std::is_arithmetic_v<TValue>)
            return x < y ? -1 : (x > y ? 1 : 0);
        else
            return 0;
    }
};

class TByteTable : public TValueTable<quint8> {
    QDX_STORED_CLASS("TByteTable")
public:
    TByteTable() = default;
    int Add(quint8 value) { return AddValue(value); }
};
class TSortedByteTable : public TByteTable {
    QDX_STORED_CLASS("TSortedByteTable")
public:
    TSortedByteTable() { SetSorted(true); }
};

class TWordTable : public TValueTable<quint16> {
    QDX_STORED_CLASS("TWordTable")
public:
    TWordTable() = default;
};
class TSortedWordTable : public TWordTable {
    QDX_STORED_CLASS("TSortedWordTable")
public:
    TSortedWordTable() { SetSorted(true); }
};

class TLongintTable : public TValueTable<qint32> {
    QDX_STORED_CLASS("TLongintTable")
public:
    TLongintTable() = default;
};
class TSortedLongintTable : public TLongintTable {
    QDX_STORED_CLASS("TSortedLongintTable")
public:
    TSortedLongintTable() { SetSorted(true); }
};

// Two 16-bit coordinates; ordered as the 32-bit value the pair forms (Y in the high half).
struct TSmallPoint {
    qint16 X = 0;
    qint16 Y = 0;
    bool operator==(const TSmallPoint&) const = default;
};

class TSmallPointTable : public TValueTable<TSmallPoint> {
    QDX_STORED_CLASS("TSmallPointTable")
public:
    TSmallPointTable() = default;

protected:
    int Order(TSmallPoint a, TSmallPoint b) const override;
};
class TSortedSmallPointTable : public TSmallPointTable {
    QDX_STORED_CLASS("TSortedSmallPointTable")
public:
    TSortedSmallPointTable() { SetSorted(true); }
};

// Short strings (at most 255 bytes when saved), compared with the locale's collation,
// case-sensitively. String tables are never static.
class TStringTable : public TPointerTable {
    QDX_STORED_CLASS("TStringTable")
public:
    TStringTable() = default;
    ~TStringTable() override;

    int AddString(const QString& text);
    int IndexOfString(const QString& text) const;
    QString Strings(int index) const;

    int Compare(const void* a, const void* b) const override;
    void FreeItem(int index) override;
    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    void Assign(const TStored& source) override;

private:
    static const QString* SlotString(const void* slot) {
        return *static_cast<const QString* const*>(slot);
    }
};
class TSortedStringTable : public TStringTable {
    QDX_STORED_CLASS("TSortedStringTable")
public:
    TSortedStringTable() { SetSorted(true); }
};
