#include "storage/Table.h"

#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The table being iterated and the index of the slot being visited; saved and restored by
// each iteration so that iterations nest.
thread_local TBaseTable* CurrentIterationTable = nullptr;
thread_local int CurrentIterationIndex = -1;

constexpr int FreeLinkBytes = 4;
// A Delta read from a file may not make one allocation step larger than this, unless the
// remaining data is larger still: a damaged file must not reserve gigabytes.
constexpr qint64 MaxLoadedStepBytes = 4096;

int DefaultDelta(int slotWidth) {
    return std::max(1, 16 / slotWidth);
}

} // namespace

TBaseTable::TBaseTable(int itemSize, bool pointerSlots)
    : FMaxSize(INT_MAX), FPointerSlots(pointerSlots) {
    FItemSize = static_cast<quint16>(std::clamp(itemSize, 1, 0xFFFF));
    FSlotWidth = FItemSize;
    FDelta = static_cast<quint16>(DefaultDelta(FSlotWidth));
}

TBaseTable::~TBaseTable() {
    std::free(FData);
}

int TBaseTable::RequiredCapacity(int count) const {
    const qint64 rounded = (qint64(count) + FDelta - 1) / FDelta * FDelta;
    return static_cast<int>(std::min<qint64>(std::max<qint64>(FHighWater, rounded), INT_MAX));
}

void TBaseTable::Reallocate(int capacity) {
    if (capacity != FCapacity) {
        const size_t bytes = size_t(capacity) * size_t(Stride());
        char* data = nullptr;
        if (bytes > 0) {
            data = static_cast<char*>(std::realloc(FData, bytes));
            if (!data) throw std::bad_alloc();
        } else {
            std::free(FData);
        }
        if (capacity > FCapacity)
            std::memset(data + size_t(FCapacity) * Stride(), 0,
                        size_t(capacity - FCapacity) * Stride());
        FData = data;
        FCapacity = capacity;
    }
    if (FStatic) FFreeMap.resize((size_t(FCapacity) + 7) / 8, 0);
}

void TBaseTable::SetCount(int count) {
    count = std::max(0, count);
    const int old = FCount;
    FHighWater = FKeepCapacity ? std::max(count, FHighWater) : count;
    Reallocate(RequiredCapacity(count));
    if (count > old)
        std::memset(FData + qsizetype(old) * Stride(), 0, size_t(count - old) * Stride());
    int freeSlotsCut = 0;
    if (FStatic) {
        for (int i = count; i < old; ++i) {
            if (!IsFree(i)) continue;
            SetFreeBit(i, false);
            ++freeSlotsCut;
        }
    }
    FCount = count;
    if (!FStatic) {
        FLiveCount = FCount;
        return;
    }
    // New slots are live; of the slots cut off, only the live ones were counted.
    FLiveCount += (count - old) + freeSlotsCut;
    if (freeSlotsCut > 0) RebuildFreeChain();
}

void TBaseTable::SetDelta(int delta) {
    const quint16 old = FDelta;
    FDelta = static_cast<quint16>(std::clamp(delta, 1, 0xFFFF));
    try {
        Reallocate(RequiredCapacity(FCount));
    } catch (const std::bad_alloc&) {
        FDelta = old;
        Reallocate(RequiredCapacity(FCount));
        throw;
    }
}

// Re-lays the slots out at a new width, keeping each slot's leading bytes.
void TBaseTable::ChangeSlotWidth(int width) {
    if (width == FSlotWidth) return;
    const int oldStride = Stride();
    FSlotWidth = width;
    const int newStride = Stride();
    FDelta = static_cast<quint16>(DefaultDelta(FSlotWidth));
    if (oldStride == newStride) {
        Reallocate(RequiredCapacity(FCount));
        return;
    }
    const int capacity = RequiredCapacity(FCount);
    char* data = capacity ? static_cast<char*>(std::calloc(size_t(capacity), newStride)) : nullptr;
    if (capacity && !data) throw std::bad_alloc();
    const int keep = std::min(oldStride, newStride);
    for (int i = 0; i < FCount; ++i)
        std::memcpy(data + qsizetype(i) * newStride, FData + qsizetype(i) * oldStride, keep);
    std::free(FData);
    FData = data;
    FCapacity = capacity;
    if (FStatic) FFreeMap.resize((size_t(FCapacity) + 7) / 8, 0);
}

void TBaseTable::SetItemSize(int itemSize) {
    itemSize = std::clamp(itemSize, 1, 0xFFFF);
    if (itemSize == FItemSize) return;
    FItemSize = static_cast<quint16>(itemSize);
    ChangeSlotWidth(std::max(itemSize, FStatic ? FreeLinkBytes : 0));
}

bool TBaseTable::AcceptsItemSize(int) const {
    return true;
}

bool TBaseTable::IsFree(int index) const {
    if (index < 0 || index >= FCount) return true;
    return FStatic && (FFreeMap[size_t(index) / 8] & (1u << (index % 8)));
}

void TBaseTable::SetFreeBit(int index, bool free) {
    quint8& byte = FFreeMap[size_t(index) / 8];
    const quint8 bit = static_cast<quint8>(1u << (index % 8));
    byte = free ? (byte | bit) : (byte & ~bit);
}

qint32 TBaseTable::LinkAt(int index) const {
    return qFromLittleEndian<qint32>(FData + qsizetype(index) * Stride());
}

void TBaseTable::SetLinkAt(int index, qint32 next) {
    qToLittleEndian<qint32>(next, FData + qsizetype(index) * Stride());
}

int TBaseTable::FreeSlotCount() const {
    int free = 0;
    for (int i = 0; i < FCount; ++i)
        free += IsFree(i) ? 1 : 0;
    return free;
}

// Links every free slot in ascending index order, so the lowest free slot is reused first.
void TBaseTable::RebuildFreeChain() {
    FFreeHead = -1;
    if (!FStatic) return;
    int previous = -1;
    for (int i = 0; i < FCount; ++i) {
        if (!IsFree(i)) continue;
        if (previous < 0)
            FFreeHead = i;
        else
            SetLinkAt(previous, i);
        previous = i;
    }
    if (previous >= 0) SetLinkAt(previous, -1);
}

void TBaseTable::TrimTrailingFreeSlots() {
    int count = FCount;
    while (count > 0 && IsFree(count - 1))
        --count;
    if (count != FCount) SetCount(count);
}

void TBaseTable::SetStatic(bool on) {
    if (on == FStatic) return;
    if (on) {
        FSorted = false;
        FStatic = true;
        FFreeMap.assign((size_t(FCapacity) + 7) / 8, 0);
        FFreeHead = -1;
        ChangeSlotWidth(std::max<int>(FItemSize, FreeLinkBytes));
        return;
    }
    int live = 0;
    for (int i = 0; i < FCount; ++i) {
        if (IsFree(i)) continue;
        if (live != i) std::memmove(ItemPtr(live), ItemPtr(i), Stride());
        ++live;
    }
    FStatic = false;
    FFreeMap.clear();
    FFreeHead = -1;
    SetCount(live);
    ChangeSlotWidth(FItemSize);
}

void TBaseTable::SetSorted(bool on) {
    if (on == FSorted) return;
    if (on) {
        SetStatic(false);
        FSorted = true;
        Sort();
    } else {
        FSorted = false;
    }
}

void TBaseTable::SetUnique(bool on) {
    if (on == FUnique) return;
    FUnique = on;
    if (!on) return;
    SetSorted(true);
    for (int i = FCount - 1; i > 0; --i)
        if (Compare(ItemPtr(i - 1), ItemPtr(i)) == 0) Delete(i);
}

int TBaseTable::Compare(const void*, const void*) const {
    return 0;
}

void TBaseTable::FreeItem(int) {}

void TBaseTable::Clear() {
    for (int i = 0; i < FCount; ++i)
        if (!IsFree(i)) FreeItem(i);
    std::free(FData);
    FData = nullptr;
    FCapacity = 0;
    FCount = 0;
    FLiveCount = 0;
    FHighWater = 0;
    FFreeHead = -1;
    if (FStatic) FFreeMap.clear();
    FModified = true;
}

int TBaseTable::Insert(int index, const void* item) {
    if (FStatic && index < FCount) throw ETableStaticNoInsert();
    if (FCount >= FMaxSize) throw ETableMaxSize(FMaxSize);
    if (FStatic && FFreeHead >= 0) {
        const int slot = FFreeHead;
        FFreeHead = LinkAt(slot);
        SetFreeBit(slot, false);
        std::memset(ItemPtr(slot), 0, Stride());
        std::memcpy(ItemPtr(slot), item, ItemBytes());
        ++FLiveCount;
        FModified = true;
        return slot;
    }
    int position = std::clamp(index, 0, FCount);
    if (FSorted) {
        const bool found = Search(item, position);
        if (found && FUnique) throw ETableDuplicate();
        position = std::max(position, 0);
    }
    SetCount(FCount + 1);
    char* at = static_cast<char*>(ItemPtr(position));
    std::memmove(at + Stride(), at, size_t(FCount - 1 - position) * Stride());
    std::memset(at, 0, Stride());
    std::memcpy(at, item, ItemBytes());
    FModified = true;
    return position;
}

void TBaseTable::DeleteRange(int index, int count) {
    if (count <= 0 || index < 0 || index >= FCount) return;
    count = std::min(count, FCount - index);
    for (int i = index; i < index + count; ++i)
        if (!IsFree(i)) FreeItem(i);
    FModified = true;
    if (!FStatic || index + count == FCount) {
        char* at = static_cast<char*>(ItemPtr(index));
        std::memmove(at, at + qsizetype(count) * Stride(),
                     size_t(FCount - index - count) * Stride());
        SetCount(FCount - count);
        if (FStatic) TrimTrailingFreeSlots();
        return;
    }
    for (int i = index; i < index + count; ++i) {
        if (IsFree(i)) continue;
        SetFreeBit(i, true);
        --FLiveCount;
    }
    RebuildFreeChain();
}

void TBaseTable::Remove(const void* item) {
    const int index = IndexOf(item);
    if (index >= 0) Delete(index);
}

void TBaseTable::Move(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= FCount || to >= FCount) return;
    std::vector<char> held(Stride());
    std::memcpy(held.data(), ItemPtr(from), Stride());
    char* data = FData;
    if (from < to)
        std::memmove(data + qsizetype(from) * Stride(), data + qsizetype(from + 1) * Stride(),
                     size_t(to - from) * Stride());
    else
        std::memmove(data + qsizetype(to + 1) * Stride(), data + qsizetype(to) * Stride(),
                     size_t(from - to) * Stride());
    std::memcpy(ItemPtr(to), held.data(), Stride());
    FModified = true;
}

void TBaseTable::MoveItem(int from, int to) {
    if (FSorted) throw ETableSortedNoMove();
    if (FStatic) throw ETableStaticNoMove();
    Move(from, to);
}

void TBaseTable::Replace(int index, const void* item) {
    if (FSorted) throw ETableSortedNoReplace();
    if (index < 0 || index >= FCount) return;
    if (IsFree(index)) {
        SetFreeBit(index, false);
        ++FLiveCount;
        RebuildFreeChain();
    } else {
        FreeItem(index);
    }
    std::memset(ItemPtr(index), 0, Stride());
    std::memcpy(ItemPtr(index), item, ItemBytes());
    FModified = true;
}

void TBaseTable::Put(int index, const void* item) {
    if (FSorted) throw ETableSortedNoReplace();
    if (index < 0) return;
    if (index >= FCount) SetCount(index + 1);
    Replace(index, item);
}

bool TBaseTable::Search(const void* item, int& index) const {
    if (FSorted) {
        if (FCount == 0) {
            index = -1;
            return false;
        }
        int low = 0;
        int high = FCount - 1;
        while (low <= high) {
            const int middle = low + (high - low) / 2;
            const int order = Compare(item, ItemPtr(middle));
            if (order == 0) {
                int first = middle;
                if (!FUnique)
                    while (first > 0 && Compare(item, ItemPtr(first - 1)) == 0)
                        --first;
                index = first;
                return true;
            }
            if (order < 0)
                high = middle - 1;
            else
                low = middle + 1;
        }
        index = low;
        return false;
    }
    for (int i = 0; i < FCount; ++i) {
        if (!IsFree(i) && std::memcmp(ItemPtr(i), item, ItemBytes()) == 0) {
            index = i;
            return true;
        }
    }
    index = -1;
    return false;
}

bool TBaseTable::SearchNext(const void* item, int& index) const {
    if (FUnique) return false;
    if (FSorted) {
        if (index + 1 >= FCount) return false;
        ++index;
        return Compare(item, ItemPtr(index)) == 0;
    }
    for (int i = std::max(index + 1, 0); i < FCount; ++i) {
        if (!IsFree(i) && std::memcmp(ItemPtr(i), item, ItemBytes()) == 0) {
            index = i;
            return true;
        }
    }
    return false;
}

int TBaseTable::IndexOf(const void* item) const {
    int index = -1;
    bool found = Search(item, index);
    if (FUnique) return found ? index : -1;
    while (found) {
        if (std::memcmp(ItemPtr(index), item, ItemBytes()) == 0) return index;
        found = SearchNext(item, index);
    }
    return -1;
}

void TBaseTable::QuickSort(int low, int high, char* pivot, char* swap) {
    while (low < high) {
        int i = low;
        int j = high;
        std::memcpy(pivot, ItemPtr(low + (high - low) / 2), Stride());
        while (i <= j) {
            while (Compare(ItemPtr(i), pivot) < 0)
                ++i;
            while (Compare(ItemPtr(j), pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j) {
                    std::memcpy(swap, ItemPtr(i), Stride());
                    std::memcpy(ItemPtr(i), ItemPtr(j), Stride());
                    std::memcpy(ItemPtr(j), swap, Stride());
                    FModified = true;
                }
                ++i;
                --j;
            }
        }
        // Recurse into the smaller part, loop over the larger, to bound the stack.
        if (j - low < high - i) {
            QuickSort(low, j, pivot, swap);
            low = i;
        } else {
            QuickSort(i, high, pivot, swap);
            high = j;
        }
    }
}

void TBaseTable::Sort() {
    if (FCount < 2) return;
    std::vector<char> pivot(Stride());
    std::vector<char> swap(Stride());
    QuickSort(0, FCount - 1, pivot.data(), swap.data());
}

TBaseTable* TBaseTable::IterationTable() {
    return CurrentIterationTable;
}
int TBaseTable::IterationIndex() {
    return CurrentIterationIndex;
}

void* TBaseTable::Iterate(int from, int to, int& matches, bool stopAtFirst, const TSlotTest& test) {
    matches = 0;
    if (FCount == 0) return nullptr;
    from = std::clamp(from, 0, FCount - 1);
    to = std::clamp(to, 0, FCount - 1);
    const int step = from < to ? 1 : -1;
    TBaseTable* savedTable = CurrentIterationTable;
    const int savedIndex = CurrentIterationIndex;
    struct Restore {
        TBaseTable* table;
        int index;
        ~Restore() {
            CurrentIterationTable = table;
            CurrentIterationIndex = index;
        }
    } restore{savedTable, savedIndex};
    for (int i = from;; i += step) {
        if (i < FCount && !IsFree(i)) {
            CurrentIterationTable = this;
            CurrentIterationIndex = i;
            void* slot = ItemPtr(i);
            if (test(slot)) {
                ++matches;
                if (stopAtFirst) return slot;
            }
        }
        if (i == to) break;
    }
    return nullptr;
}

void* TBaseTable::FirstThat(const TSlotTest& test) {
    int matches;
    return Iterate(0, FCount - 1, matches, true, test);
}

void* TBaseTable::LastThat(const TSlotTest& test) {
    int matches;
    return Iterate(FCount - 1, 0, matches, true, test);
}

int TBaseTable::IndexOfFirstThat(const TSlotTest& test) {
    const void* slot = FirstThat(test);
    return slot ? int((static_cast<const char*>(slot) - FData) / Stride()) : -1;
}

int TBaseTable::ForEach(const TSlotTest& action) {
    int matches;
    Iterate(0, FCount - 1, matches, false, action);
    return matches;
}

int TBaseTable::ForEachBackward(const TSlotTest& action) {
    int matches;
    Iterate(FCount - 1, 0, matches, false, action);
    return matches;
}

void TBaseTable::CopyTableFrom(const TBaseTable& source) {
    Clear();
    FStatic = source.FStatic;
    FSorted = source.FSorted;
    FUnique = source.FUnique;
    FKeepCapacity = source.FKeepCapacity;
    FMaxSize = source.FMaxSize;
    FItemSize = source.FItemSize;
    FSlotWidth = source.FSlotWidth;
    FDelta = source.FDelta;
    FHighWater = source.FHighWater;
    if (FStatic) FFreeMap.clear();
    Reallocate(source.FCapacity);
    if (source.FCount > 0) std::memcpy(FData, source.FData, size_t(source.FCount) * Stride());
    FCount = source.FCount;
    if (FStatic) {
        std::copy(source.FFreeMap.begin(), source.FFreeMap.end(), FFreeMap.begin());
        FFreeHead = source.FFreeHead;
    }
    FLiveCount = source.FLiveCount;
    FModified = true;
}

void TBaseTable::Store(TStorage& storage) const {
    storage.SetClassVersion("TBaseTable", 2);
    storage.WriteWord(FDelta);
    storage.WriteBoolean(FSorted);
    storage.WriteBoolean(FUnique);
    storage.WriteBoolean(FStatic);
    storage.WriteBoolean(FKeepCapacity);
    storage.WriteLongint(FMaxSize);
    storage.WriteWord(FItemSize);
    storage.WriteLongint(FCount);
    if (!FStatic) return;
    for (qint32 free = FFreeHead; free >= 0; free = LinkAt(free))
        storage.WriteLongint(free);
    storage.WriteLongint(-1);
    storage.WriteLongint(FLiveCount);
}

void TBaseTable::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion("TBaseTable");
    const bool wide = version >= 1;
    const quint16 delta = storage.ReadWord();
    const bool sorted = storage.ReadBoolean();
    const bool unique = storage.ReadBoolean();
    const bool isStatic = storage.ReadBoolean();
    const bool keepCapacity = version >= 2 ? storage.ReadBoolean() : false;
    const qint32 maxSize = wide ? storage.ReadLongint() : storage.ReadWord();
    const int itemSize = std::max<int>(storage.ReadWord(), 1);
    const qint32 count = wide ? storage.ReadLongint() : storage.ReadWord();

    if (!AcceptsItemSize(itemSize) || count < 0) throw EReadError();
    // Every slot takes at least StoredBytesPerSlot bytes of what follows; checking first keeps
    // a damaged count from becoming a huge allocation.
    const int slotWidth = std::max<int>(itemSize, isStatic ? FreeLinkBytes : 0);
    const int stride = FPointerSlots ? int(sizeof(void*)) : slotWidth;
    storage.RequireBytes(qint64(count) * StoredBytesPerSlot(slotWidth));
    if (qint64(std::max<int>(delta, 1)) * stride > MaxLoadedStepBytes &&
        qint64(std::max<int>(delta, 1)) * stride > storage.BytesLeft())
        throw EReadError();

    Clear(); // empty now, so the layout can change without moving slots
    FStatic = isStatic;
    FSorted = sorted && !isStatic;
    FUnique = unique;
    FKeepCapacity = keepCapacity;
    FMaxSize = maxSize;
    FItemSize = static_cast<quint16>(itemSize);
    FSlotWidth = slotWidth;
    FDelta = static_cast<quint16>(std::max<int>(delta, 1));
    FFreeMap.clear();
    FFreeHead = -1;
    SetCount(count);

    if (FStatic) {
        for (;;) {
            qint32 free = wide ? storage.ReadLongint() : storage.ReadWord();
            if (!wide && free == 0xFFFF) free = -1;
            if (free == -1) break;
            if (free < 0 || free >= FCount || IsFree(free)) throw EReadError();
            SetFreeBit(free, true);
        }
        const qint32 liveCount = wide ? storage.ReadLongint() : storage.ReadWord();
        RebuildFreeChain();
        FLiveCount = FCount - FreeSlotCount();
        if (liveCount != FLiveCount) throw EReadError();
    }
    FModified = false;
}
