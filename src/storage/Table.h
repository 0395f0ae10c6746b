#pragma once

#include "storage/Exception.h"
#include "storage/Stored.h"

#include <functional>
#include <memory>
#include <vector>

class ETableException : public Exception {
    using Exception::Exception;
};
class ETableMaxSize : public ETableException {
public:
    explicit ETableMaxSize(int maxSize)
        : ETableException(QStringLiteral("The table cannot be expanded because it has the "
                                         "maximum number of items (%1)")
                              .arg(maxSize)) {}
};
class ETableDuplicate : public ETableException {
public:
    ETableDuplicate()
        : ETableException(QStringLiteral("You are trying to add a duplicate item to the table")) {}
};
class ETableStaticNoInsert : public ETableException {
public:
    ETableStaticNoInsert()
        : ETableException(QStringLiteral("You cannot use Insert on a static table")) {}
};
class ETableStaticNoMove : public ETableException {
public:
    ETableStaticNoMove()
        : ETableException(QStringLiteral("You cannot use Move on a static table")) {}
};
class ETableSortedNoMove : public ETableException {
public:
    ETableSortedNoMove()
        : ETableException(QStringLiteral("You cannot use Move on a sorted table")) {}
};
class ETableSortedNoReplace : public ETableException {
public:
    ETableSortedNoReplace()
        : ETableException(QStringLiteral("You cannot use Replace on a sorted table")) {}
};

// One growable block of fixed-width slots with optional sorting (Compare order), uniqueness
// and stable indices ("static": deleting leaves a free slot that the next insertion reuses;
// free slots are chained in ascending order through their first four bytes).
//
// The allocation always holds max(high water, Count rounded up to Delta) slots, and Delta
// defaults to max(1, 16 div slot width), so a table grows by about 16 bytes at a time.
//
// Tests and actions passed to the iteration functions must not insert into or delete from
// the table being iterated; IterationTable() and IterationIndex() tell them where they are.
class TBaseTable : public TStored {
public:
    using TSlotTest = std::function<bool(void* slot)>;

    ~TBaseTable() override;

    int Count() const { return FCount; }
    int LiveCount() const { return FLiveCount; }
    int ItemSize() const { return FItemSize; }
    int Delta() const { return FDelta; }
    int MaxSize() const { return FMaxSize; }
    int SlotWidth() const { return FSlotWidth; }
    int Capacity() const { return FCapacity; } // slots allocated
    bool Sorted() const { return FSorted; }
    bool Unique() const { return FUnique; }
    bool Static() const { return FStatic; }
    bool Modified() const { return FModified; }
    bool KeepCapacity() const { return FKeepCapacity; }

    void SetItemSize(int itemSize);
    void SetDelta(int delta);
    void SetCount(int count);
    void SetSorted(bool on);
    void SetUnique(bool on);
    void SetStatic(bool on);
    void SetMaxSize(int maxSize) { FMaxSize = maxSize; }
    void SetKeepCapacity(bool on) { FKeepCapacity = on; }
    void SetModified(bool on) { FModified = on; }

    virtual int Compare(const void* a, const void* b) const;
    virtual void FreeItem(int index);
    virtual void Move(int from, int to);
    virtual void Clear();
    virtual void DeleteRange(int index, int count);
    virtual int IndexOf(const void* item) const;
    virtual int Insert(int index, const void* item);
    virtual void Sort();

    // Visits the live slots from..to inclusive (downwards when from > to); returns the slot
    // where the test answered true when stopping at the first, else null.
    void* Iterate(int from, int to, int& matches, bool stopAtFirst, const TSlotTest& test);
    void* FirstThat(const TSlotTest& test);
    void* LastThat(const TSlotTest& test);
    int IndexOfFirstThat(const TSlotTest& test);
    int ForEach(const TSlotTest& action);
    int ForEachBackward(const TSlotTest& action);
    static TBaseTable* IterationTable();
    static int IterationIndex();

    int Add(const void* item) { return Insert(FCount, item); }
    void Delete(int index) { DeleteRange(index, 1); }
    void Remove(const void* item);
    bool IsEmpty() const { return FCount == 0; }
    bool IsFree(int index) const;
    void* ItemPtr(int index) { return FData + qsizetype(index) * Stride(); }
    const void* ItemPtr(int index) const { return FData + qsizetype(index) * Stride(); }
    void Replace(int index, const void* item);
    void Put(int index, const void* item);
    void MoveItem(int from, int to);
    bool Search(const void* item, int& index) const;
    bool SearchNext(const void* item, int& index) const;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;

protected:
    // pointerSlots: items are native pointers, saved with an item size of 4.
    explicit TBaseTable(int itemSize, bool pointerSlots = false);

    int Stride() const { return FPointerSlots ? int(sizeof(void*)) : FSlotWidth; }
    int ItemBytes() const { return FPointerSlots ? int(sizeof(void*)) : FItemSize; }
    // Fewest bytes one slot of the given width takes in a saved record, for rejecting
    // impossible counts before allocating.
    virtual int StoredBytesPerSlot(int /*slotWidth*/) const { return 1; }
    virtual bool AcceptsItemSize(int itemSize) const;
    // The settings, free map and slot bytes of source (a table of the same family).
    void CopyTableFrom(const TBaseTable& source);
    void RebuildFreeChain();

private:
    int RequiredCapacity(int count) const;
    void Reallocate(int capacity);
    void ChangeSlotWidth(int width);
    void SetFreeBit(int index, bool free);
    qint32 LinkAt(int index) const;
    void SetLinkAt(int index, qint32 next);
    int FreeSlotCount() const;
    void TrimTrailingFreeSlots();
    void QuickSort(int low, int high, char* pivot, char* swap);

    quint16 FDelta = 1;
    qint32 FCount = 0;
    std::vector<quint8> FFreeMap;
    qint32 FLiveCount = 0;
    qint32 FHighWater = 0;
    qint32 FSlotWidth = 1;
    char* FData = nullptr;
    qint32 FCapacity = 0;
    quint16 FItemSize = 1;
    qint32 FMaxSize;
    qint32 FFreeHead = -1;
    bool FUnique = false;
    bool FSorted = false;
    bool FStatic = false;
    bool FModified = true;
    bool FKeepCapacity = false;
    bool FPointerSlots;
};

// Raw items saved as one block of bytes.
class TDataTable : public TBaseTable {
    QDX_STORED_CLASS("TDataTable")
public:
    explicit TDataTable(int itemSize = 1) : TBaseTable(itemSize) {}
    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    void Assign(const TStored& source) override;

protected:
    int StoredBytesPerSlot(int slotWidth) const override { return slotWidth; }
};

// Items are pointers; the table frees nothing.
class TPointerTable : public TBaseTable {
protected:
    TPointerTable() : TBaseTable(4, true) {}
    bool AcceptsItemSize(int itemSize) const override { return itemSize == 4; }
};

// Items are stored objects, all of ItemClass when it is set (then saved without a class name).
// With OwnsObjects (the default) deleting, clearing or destroying frees the objects.
class TObjectTable : public TPointerTable {
    QDX_STORED_CLASS("TObjectTable")
public:
    using TObjectTest = std::function<bool(TStored* object)>;

    explicit TObjectTable(const TStoredClass* itemClass = nullptr);
    ~TObjectTable() override;

    const TStoredClass* ItemClass() const { return FItemClass; }
    void SetItemClass(const TStoredClass* itemClass) { FItemClass = itemClass; }
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool on) { FOwnsObjects = on; }

    TStored* Items(int index) const;
    template <typename T> T* ItemAs(int index) const { return static_cast<T*>(Items(index)); }
    int Add(TStored* object) { return Insert(Count(), &object); }
    int InsertObject(int index, TStored* object) { return Insert(index, &object); }
    using TBaseTable::Insert;
    void PutObject(int index, TStored* object) { Put(index, &object); }
    int IndexOfObject(const TStored* object) const;
    void RemoveObject(TStored* object);
    TStored* Detach(int index);
    int Reposition(int index);
    // Compacts the table and drops slots that hold no object: for tables whose users expect
    // an object in every slot (a file may hold absent items).
    void RemoveEmptySlots();

    TStored* FirstThat(const TObjectTest& test);
    TStored* LastThat(const TObjectTest& test);
    int IndexOfFirstThat(const TObjectTest& test);
    int ForEach(const TObjectTest& action);
    int ForEachBackward(const TObjectTest& action);

    int Compare(const void* a, const void* b) const final;
    void FreeItem(int index) override;
    virtual TStored* ReadItem(TStorage& storage);
    virtual void WriteItem(TStorage& storage, const TStored* object) const;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    void Assign(const TStored& source) override;

protected:
    virtual int CompareObjects(const TStored*, const TStored*) const { return 0; }
    // Whether a table of this kind may hold object (checked for every item read from a file).
    virtual bool AcceptsItem(const TStored* object) const;

private:
    TStored* SlotObject(const void* slot) const { return *static_cast<TStored* const*>(slot); }

    const TStoredClass* FItemClass;
    bool FOwnsObjects = true;
};

// An object table whose items are of mixed classes.
class TMultiObjectTable : public TObjectTable {
    QDX_STORED_CLASS("TMultiObjectTable")
public:
    TMultiObjectTable() = default;
};
