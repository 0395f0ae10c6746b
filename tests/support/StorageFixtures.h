#pragma once

// Stored classes for exercising the storage: used by the storage tests, the storage fuzzer
// and the storage benchmark.

#include "storage/Stored.h"
#include "support/QtPrinters.h"
#include "storage/TableCmn.h"

#include <QBuffer>
#include <QByteArray>

// Counts live instances, so tests can prove that a failed load freed everything it made.
class TInstanceCounted {
public:
    TInstanceCounted() { ++FLive; }
    TInstanceCounted(const TInstanceCounted&) { ++FLive; }
    ~TInstanceCounted() { --FLive; }
    static int Live() { return FLive; }

private:
    static inline int FLive = 0;
};

// Writes nothing of its own.
class TTestEmpty : public TStored, public TInstanceCounted {
    QDX_STORED_CLASS("TTestEmpty")
public:
    TTestEmpty() = default;
};

// A small record with a version history: version 1 added Name.
class TTestLeaf : public TStored, public TInstanceCounted {
    QDX_STORED_CLASS("TTestLeaf")
public:
    TTestLeaf() = default;
    explicit TTestLeaf(int value, const QString& name = QString()) : Value(value), Name(name) {}

    qint32 Value = 0;
    QString Name;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    int CompareKey(const TTestLeaf& other) const { return Value - other.Value; }

protected:
    void AssignTo(TStored& destination) const override;
};

// Owns its children and refers to other nodes by reference.
class TTestNode : public TStored, public TInstanceCounted {
    QDX_STORED_CLASS("TTestNode")
public:
    TTestNode() = default;
    explicit TTestNode(int id) : Id(id) {}

    qint32 Id = 0;
    TObjectTable Children;
    TStored* Link = nullptr; // not owned

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
};

// An object table sorted by TTestLeaf::Value.
class TTestLeafTable : public TObjectTable {
    QDX_STORED_CLASS("TTestLeafTable")
public:
    TTestLeafTable() : TObjectTable(&StoredClassOf<TTestLeaf>()) {}

protected:
    int CompareObjects(const TStored* a, const TStored* b) const override;
};

// The benchmark's item: about 28 bytes of record.
class TBenchItem : public TStored {
    QDX_STORED_CLASS("TBenchItem")
public:
    TBenchItem() = default;
    TRect Bounds;
    qint32 A = 0, B = 0, C = 0, D = 0;
    quint16 Flags = 0;
    qint16 Kind = 0;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
};

// Reads whatever sequence of primitives its own bytes ask for; for fuzzing every reader.
class TTestAllPrimitives : public TStored, public TInstanceCounted {
    QDX_STORED_CLASS("TTestAllPrimitives")
public:
    TTestAllPrimitives() = default;
    ~TTestAllPrimitives() override;
    std::vector<TStored*> Owned;    // objects read with ReadObject or ReadInstance
    std::vector<TStored*> Referred; // not owned

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
};

void RegisterStorageFixtures();

// Storage bytes in memory.
QByteArray WriteToBytes(const TStored& root);
TStored* ReadFromBytes(const QByteArray& bytes, TStored* target = nullptr,
                       const TReadOptions* options = nullptr);
