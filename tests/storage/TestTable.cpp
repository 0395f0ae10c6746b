#include "storage/Exception.h"
#include "storage/Table.h"
#include "storage/TableCmn.h"
#include "support/StorageFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

class TableTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterStorageFixtures();
        FLiveAtStart = TInstanceCounted::Live();
    }
    void TearDown() override { EXPECT_EQ(TInstanceCounted::Live(), FLiveAtStart) << "leaked"; }
    int FLiveAtStart = 0;
};

template <typename TTable> std::unique_ptr<TTable> RoundTrip(const TTable& table) {
    std::unique_ptr<TStored> loaded(ReadFromBytes(WriteToBytes(table)));
    auto* typed = dynamic_cast<TTable*>(loaded.get());
    EXPECT_NE(typed, nullptr);
    loaded.release();
    return std::unique_ptr<TTable>(typed);
}

std::vector<int> Values(const TLongintTable& table) {
    std::vector<int> values;
    for (int i = 0; i < table.Count(); ++i)
        values.push_back(table.IsFree(i) ? -999 : table.Values(i));
    return values;
}

std::vector<int> LeafValues(const TObjectTable& table) {
    std::vector<int> values;
    for (int i = 0; i < table.Count(); ++i) {
        const auto* leaf = table.ItemAs<TTestLeaf>(i);
        values.push_back(leaf ? leaf->Value : -999);
    }
    return values;
}

QString ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

TEST_F(TableTest, AllocationGrowsInDeltaStepsOfAbout16Bytes) {
    TByteTable bytes;
    EXPECT_EQ(bytes.Delta(), 16);
    for (int i = 0; i < 17; ++i)
        bytes.Add(quint8(i));
    EXPECT_EQ(bytes.Capacity() * bytes.SlotWidth(), 32);

    TLongintTable longs;
    EXPECT_EQ(longs.Delta(), 4);
    for (int i = 0; i < 5; ++i)
        longs.AddValue(i);
    EXPECT_EQ(longs.Capacity(), 8);
    longs.Delete(4);
    EXPECT_EQ(longs.Capacity(), 4); // shrinks with the count...

    longs.SetKeepCapacity(true);
    for (int i = 0; i < 9; ++i)
        longs.AddValue(i);
    longs.DeleteRange(0, 13);
    EXPECT_EQ(longs.Count(), 0);
    EXPECT_EQ(longs.Capacity(), 13); // ...unless it keeps its high water

    TObjectTable pointers;
    EXPECT_EQ(pointers.ItemSize(), 4);
    EXPECT_EQ(pointers.Delta(), 4);

    TDataTable wide(40);
    EXPECT_EQ(wide.Delta(), 1);
    wide.SetDelta(3);
    char item[40] = {};
    wide.Add(item);
    EXPECT_EQ(wide.Capacity(), 3);
}

TEST_F(TableTest, UniqueSortedTableRejectsEqualItemsAndKeepsItsCount) {
    TSortedLongintTable table;
    table.SetUnique(true);
    table.AddValue(5);
    table.AddValue(1);
    EXPECT_EQ(ErrorOf([&] { table.AddValue(5); }),
              QStringLiteral("You are trying to add a duplicate item to the table"));
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(Values(table), (std::vector<int>{1, 5}));
}

TEST_F(TableTest, SortedTableInsertsBeforeEqualItemsAndFindsTheVeryObject) {
    TTestLeafTable table;
    table.SetSorted(true);
    auto* first = new TTestLeaf(5, QStringLiteral("first"));
    auto* second = new TTestLeaf(5, QStringLiteral("second"));
    table.Add(new TTestLeaf(9));
    table.Add(first);
    table.Add(new TTestLeaf(1));
    EXPECT_EQ(table.Add(second), 1);
    EXPECT_EQ(LeafValues(table), (std::vector<int>{1, 5, 5, 9}));
    EXPECT_EQ(table.Items(1), second);
    EXPECT_EQ(table.Items(2), first);
    // Equal by key is not enough: IndexOf looks for the same object among the equal run.
    EXPECT_EQ(table.IndexOfObject(first), 2);
    TTestLeaf stranger(5);
    EXPECT_EQ(table.IndexOfObject(&stranger), -1);

    int index = -1;
    TStored* probe = &stranger;
    EXPECT_TRUE(table.Search(&probe, index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(table.SearchNext(&probe, index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(table.SearchNext(&probe, index));
    TTestLeaf seven(7);
    probe = &seven;
    EXPECT_FALSE(table.Search(&probe, index));
    EXPECT_EQ(index, 3); // where it would go

    first->Value = 20;
    EXPECT_EQ(table.Reposition(2), 3);
    EXPECT_EQ(LeafValues(table), (std::vector<int>{1, 5, 9, 20}));
}

TEST_F(TableTest, StaticTableKeepsIndicesReusesFreeSlotsLowestFirstAndTrims) {
    TLongintTable table;
    table.SetStatic(true);
    for (int i = 0; i < 5; ++i)
        table.AddValue(i * 10);
    table.Delete(1);
    table.Delete(3);
    EXPECT_EQ(table.Count(), 5);
    EXPECT_EQ(table.LiveCount(), 3);
    EXPECT_EQ(Values(table), (std::vector<int>{0, -999, 20, -999, 40}));
    EXPECT_EQ(table.AddValue(11), 1);
    EXPECT_EQ(table.AddValue(33), 3);
    EXPECT_EQ(table.AddValue(50), 5);
    table.Delete(5);
    table.Delete(4);
    EXPECT_EQ(table.Count(), 4);

    EXPECT_EQ(ErrorOf([&] { table.Insert(2, &table); }),
              QStringLiteral("You cannot use Insert on a static table"));
    EXPECT_EQ(ErrorOf([&] { table.MoveItem(0, 1); }),
              QStringLiteral("You cannot use Move on a static table"));

    // Deleting the last live items trims every trailing free slot.
    table.Delete(1);
    table.Delete(2);
    EXPECT_EQ(table.Count(), 4);
    table.Delete(3);
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.LiveCount(), 1);
    EXPECT_EQ(table.AddValue(7), 1); // the trimmed slots left the free chain
}

TEST_F(TableTest, StaticTablesSaveAndLoadTheirFreeChain) {
    TLongintTable values;
    values.SetStatic(true);
    for (int i = 0; i < 6; ++i)
        values.AddValue(i);
    values.Delete(4);
    values.Delete(1);
    auto loaded = RoundTrip(values);
    EXPECT_TRUE(loaded->Static());
    EXPECT_EQ(loaded->LiveCount(), 4);
    EXPECT_EQ(Values(*loaded), (std::vector<int>{0, -999, 2, 3, -999, 5}));
    EXPECT_EQ(loaded->AddValue(9), 1);
    EXPECT_EQ(loaded->AddValue(9), 4);

    TObjectTable objects;
    objects.SetStatic(true);
    for (int i = 0; i < 4; ++i)
        objects.Add(new TTestLeaf(i));
    objects.Delete(2);
    auto objectsLoaded = RoundTrip(objects);
    EXPECT_EQ(LeafValues(*objectsLoaded), (std::vector<int>{0, 1, -999, 3}));
    EXPECT_EQ(objectsLoaded->LiveCount(), 3);
    EXPECT_EQ(objectsLoaded->Add(new TTestLeaf(8)), 2);
}

TEST_F(TableTest, IterationVisitsLiveSlotsAndTellsTheIndex) {
    TLongintTable table;
    int calls = 0;
    EXPECT_EQ(table.FirstThat([&](void*) { return ++calls, true; }), nullptr);
    EXPECT_EQ(calls, 0);

    table.SetStatic(true);
    for (int i = 0; i < 5; ++i)
        table.AddValue(i);
    table.Delete(2);
    std::vector<int> seen;
    const int matches = table.ForEach([&](void* slot) {
        EXPECT_EQ(TBaseTable::IterationTable(), &table);
        seen.push_back(TBaseTable::IterationIndex());
        return *static_cast<qint32*>(slot) % 2 == 1;
    });
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(matches, 2);

    seen.clear();
    table.ForEachBackward(
        [&](void*) { return seen.push_back(TBaseTable::IterationIndex()), false; });
    EXPECT_EQ(seen, (std::vector<int>{4, 3, 1, 0}));

    EXPECT_EQ(table.IndexOfFirstThat([](void* s) { return *static_cast<qint32*>(s) >= 3; }), 3);
    auto* last =
        static_cast<qint32*>(table.LastThat([](void* s) { return *static_cast<qint32*>(s) < 3; }));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(*last, 1);

    // Nested iterations restore the outer table and index.
    TByteTable inner;
    inner.Add(1);
    table.ForEach([&](void*) {
        const int outer = TBaseTable::IterationIndex();
        inner.ForEach([](void*) { return true; });
        EXPECT_EQ(TBaseTable::IterationTable(), &table);
        EXPECT_EQ(TBaseTable::IterationIndex(), outer);
        return false;
    });
    EXPECT_EQ(TBaseTable::IterationTable(), nullptr);
}

TEST_F(TableTest, ObjectTableIterationHandsOutTheObjects) {
    TObjectTable table;
    for (int i = 0; i < 4; ++i)
        table.Add(new TTestLeaf(i * 3));
    TStored* found =
        table.FirstThat([](TStored* o) { return static_cast<TTestLeaf*>(o)->Value > 4; });
    EXPECT_EQ(found, table.Items(2));
    EXPECT_EQ(table.LastThat([](TStored* o) { return static_cast<TTestLeaf*>(o)->Value < 4; }),
              table.Items(1));
    EXPECT_EQ(table.ForEach([](TStored* o) { return static_cast<TTestLeaf*>(o)->Value % 2 == 0; }),
              2);
}

TEST_F(TableTest, OwningAssignMakesIndependentCopies) {
    TObjectTable source;
    source.SetStatic(true);
    for (int i = 0; i < 3; ++i)
        source.Add(new TTestLeaf(i, QString::number(i)));
    source.Delete(1);
    {
        TObjectTable copy;
        copy.Assign(source);
        EXPECT_EQ(copy.Count(), 3);
        EXPECT_TRUE(copy.IsFree(1));
        EXPECT_NE(copy.Items(0), source.Items(0));
        EXPECT_EQ(copy.ItemAs<TTestLeaf>(2)->Name, QStringLiteral("2"));
        EXPECT_EQ(copy.Add(new TTestLeaf(7)), 1); // the copy's free chain is its own
    }
    EXPECT_EQ(source.ItemAs<TTestLeaf>(0)->Value, 0); // still alive after the copy went

    TObjectTable borrowed;
    borrowed.SetOwnsObjects(false);
    TObjectTable view;
    view.SetOwnsObjects(false);
    view.Add(source.Items(0));
    borrowed.Assign(view);
    EXPECT_EQ(borrowed.Items(0), source.Items(0));
}

TEST_F(TableTest, SwitchingUniqueOnRemovesAdjacentDuplicatesKeepingTheFirst) {
    TTestLeafTable table;
    table.Add(new TTestLeaf(3, QStringLiteral("a")));
    table.Add(new TTestLeaf(1, QStringLiteral("b")));
    table.Add(new TTestLeaf(3, QStringLiteral("c")));
    table.SetSorted(true);
    // Sorting is not stable, so fix which 3 comes first before asking for uniqueness.
    const QString firstThree = table.ItemAs<TTestLeaf>(1)->Name;
    table.SetUnique(true);
    EXPECT_TRUE(table.Sorted());
    EXPECT_EQ(LeafValues(table), (std::vector<int>{1, 3}));
    EXPECT_EQ(table.ItemAs<TTestLeaf>(1)->Name, firstThree);
}

TEST_F(TableTest, SortedAndStaticExcludeEachOther) {
    TLongintTable table;
    table.SetStatic(true);
    for (int v : {4, 2, 9})
        table.AddValue(v);
    table.Delete(1);
    table.SetSorted(true);
    EXPECT_FALSE(table.Static());
    EXPECT_EQ(Values(table), (std::vector<int>{4, 9}));
    EXPECT_EQ(ErrorOf([&] { table.MoveItem(0, 1); }),
              QStringLiteral("You cannot use Move on a sorted table"));
    qint32 one = 1;
    EXPECT_EQ(ErrorOf([&] { table.Replace(0, &one); }),
              QStringLiteral("You cannot use Replace on a sorted table"));
    EXPECT_EQ(ErrorOf([&] { table.Put(5, &one); }),
              QStringLiteral("You cannot use Replace on a sorted table"));
    table.SetStatic(true);
    EXPECT_FALSE(table.Sorted());
}

TEST_F(TableTest, MaxSizeStopsGrowth) {
    TByteTable table;
    table.SetMaxSize(2);
    table.Add(1);
    table.Add(2);
    EXPECT_EQ(ErrorOf([&] { table.Add(3); }),
              QStringLiteral("The table cannot be expanded because it has the maximum number "
                             "of items (2)"));
    EXPECT_EQ(table.Count(), 2);
}

TEST_F(TableTest, NumericOrderHoldsAtTheExtremes) {
    TSortedLongintTable longs;
    for (int v : {INT_MAX, -1, INT_MIN, 0, 7})
        longs.AddValue(v);
    EXPECT_EQ(Values(longs), (std::vector<int>{INT_MIN, -1, 0, 7, INT_MAX}));
    EXPECT_EQ(longs.IndexOfValue(INT_MAX), 4);

    TSortedWordTable words;
    for (quint16 v : {65535, 0, 300})
        words.AddValue(v);
    EXPECT_EQ(words.Values(0), 0);
    EXPECT_EQ(words.Values(2), 65535);

    // Points order as the 32-bit value they form, Y in the high half.
    TSortedSmallPointTable points;
    points.AddValue({5, 1});
    points.AddValue({-1, 0});
    points.AddValue({3, -1});
    EXPECT_EQ(points.Values(0), (TSmallPoint{3, -1}));
    EXPECT_EQ(points.Values(1), (TSmallPoint{-1, 0}));
    EXPECT_EQ(points.Values(2), (TSmallPoint{5, 1}));
}

TEST_F(TableTest, MoveShiftsTheItemsBetween) {
    TLongintTable table;
    for (int i = 0; i < 5; ++i)
        table.AddValue(i);
    table.MoveItem(0, 3);
    EXPECT_EQ(Values(table), (std::vector<int>{1, 2, 3, 0, 4}));
    table.MoveItem(4, 1);
    EXPECT_EQ(Values(table), (std::vector<int>{1, 4, 2, 3, 0}));
    qint32 nine = 9;
    table.Put(6, &nine);
    EXPECT_EQ(Values(table), (std::vector<int>{1, 4, 2, 3, 0, 0, 9}));
    table.Remove(&nine);
    EXPECT_EQ(table.Count(), 6);
}

TEST_F(TableTest, ItemSizeChangesKeepTheLeadingBytes) {
    TDataTable table(2);
    const quint16 a = 0x1122, b = 0x3344;
    table.Add(&a);
    table.Add(&b);
    table.SetItemSize(4);
    EXPECT_EQ(table.SlotWidth(), 4);
    EXPECT_EQ(table.Delta(), 4);
    EXPECT_EQ(*static_cast<const quint16*>(table.ItemPtr(1)), 0x3344);
    table.SetStatic(true);
    table.SetItemSize(1);
    EXPECT_EQ(table.SlotWidth(), 4); // a free slot must hold its link
    EXPECT_EQ(*static_cast<const quint8*>(table.ItemPtr(1)), 0x44);
}

TEST_F(TableTest, StringTablesSortFindAndCopy) {
    TSortedStringTable names;
    for (const char* name : {"pear", "Apple", "fig"})
        names.AddString(QString::fromLatin1(name));
    EXPECT_EQ(names.IndexOfString(QStringLiteral("fig")) >= 0, true);
    EXPECT_EQ(names.IndexOfString(QStringLiteral("FIG")), -1); // case-sensitive
    for (int i = 1; i < names.Count(); ++i)
        EXPECT_LT(QString::localeAwareCompare(names.Strings(i - 1), names.Strings(i)), 0);

    auto loaded = RoundTrip(names);
    ASSERT_EQ(loaded->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loaded->Strings(i), names.Strings(i));

    TSortedStringTable copy;
    copy.Assign(names);
    names.Clear();
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.IndexOfString(QStringLiteral("pear")) >= 0, true);

    TStringTable plain;
    plain.AddString(QStringLiteral("b"));
    plain.AddString(QStringLiteral("a"));
    EXPECT_EQ(plain.IndexOfString(QStringLiteral("a")), 1);
}

TEST_F(TableTest, OldTableRecordsLoad) {
    // A version-0 base record (16-bit sizes and free chain) in a version-0 data table, whose
    // record held the whole allocation: a static longint table with slots 0..2, slot 1 free.
    QByteArray record = QByteArray::fromHex("0400"
                                            "00"
                                            "00"
                                            "01"
                                            "ffff"
                                            "0400"
                                            "0300");
    record += QByteArray::fromHex("0100"
                                  "ffff"
                                  "0200"); // chain {1}, LiveCount 2
    record += QByteArray::fromHex("0a000000"
                                  "ffffffff"
                                  "1e000000"
                                  "00000000"); // 4 slots
    QByteArray file = QByteArray("LCP", 3) + QByteArray::fromHex("0200") + QByteArray(4, '\0');
    file += QByteArray::fromHex("0000"
                                "ffff"
                                "01") +
            record;
    const qint32 classTable = file.size();
    std::memcpy(file.data() + 5, &classTable, 4);
    file += QByteArray::fromHex("0300"
                                "0000"
                                "0d") +
            "TLongintTable";
    file += QByteArray::fromHex("0000"
                                "0a") +
            "TDataTable";
    file += QByteArray::fromHex("0000"
                                "0a") +
            "TBaseTable";
    file += QByteArray::fromHex("0000");
    std::unique_ptr<TStored> loaded(ReadFromBytes(file));
    auto* table = dynamic_cast<TLongintTable*>(loaded.get());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Values(*table), (std::vector<int>{10, -999, 30}));
    EXPECT_FALSE(table->KeepCapacity());
    EXPECT_EQ(table->AddValue(20), 1);
}

TEST_F(TableTest, DamagedTableRecordsAreReadErrors) {
    TLongintTable values;
    values.SetStatic(true);
    for (int i = 0; i < 4; ++i)
        values.AddValue(i);
    values.Delete(1);
    const QByteArray good = WriteToBytes(values);
    // Layout after the 14-byte prefix: delta(2) flags(4) max(4) itemsize(2) count(4), then the
    // chain {1, -1}, LiveCount and the slots.
    const qsizetype count = 14 + 12;
    const qsizetype chain = count + 4;
    auto patched = [&](qsizetype at, qint32 value) {
        QByteArray bytes = good;
        std::memcpy(bytes.data() + at, &value, 4);
        return bytes;
    };
    auto error = [](const QByteArray& bytes) {
        return ErrorOf([&] { std::unique_ptr<TStored> t(ReadFromBytes(bytes)); });
    };
    const QString readError = QStringLiteral("Stream read error");
    EXPECT_EQ(error(patched(count, 0x7FFFFFF0)), readError); // more slots than bytes
    EXPECT_EQ(error(patched(count, -5)), readError);
    EXPECT_EQ(error(patched(chain, 9)), readError);     // free slot past the end
    EXPECT_EQ(error(patched(chain + 4, 1)), readError); // chain loops back
    EXPECT_EQ(error(patched(chain + 8, 4)), readError); // LiveCount disagrees
    QByteArray wrongWidth = good;
    wrongWidth[14 + 10] = 2; // item size 2 in a longint table
    EXPECT_EQ(error(wrongWidth), readError);
    QByteArray hugeDelta = good;
    hugeDelta[14] = char(0xFF);
    hugeDelta[15] = char(0xFF);
    EXPECT_EQ(error(hugeDelta), readError);
}

TEST_F(TableTest, ObjectTableRecordsRejectItemsNoOneWouldOwn) {
    TObjectTable table;
    table.Add(new TTestLeaf(1));
    QByteArray bytes = WriteToBytes(table);
    // The OwnsObjects flag follows the 16 header bytes of the base record.
    const qsizetype owns = 14 + 16;
    ASSERT_EQ(bytes[owns], 1);
    bytes[owns] = 0;
    EXPECT_EQ(ErrorOf([&] { std::unique_ptr<TStored> t(ReadFromBytes(bytes)); }),
              QStringLiteral("Stream read error"));
}
