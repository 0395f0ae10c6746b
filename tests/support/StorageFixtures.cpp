#include "support/StorageFixtures.h"

#include "storage/Exception.h"

#include <memory>

void TTestLeaf::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    Value = storage.ReadLongint();
    Name = version >= 1 ? storage.ReadString() : QString();
}

void TTestLeaf::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 1);
    storage.WriteLongint(Value);
    storage.WriteString(Name);
}

void TTestLeaf::AssignTo(TStored& destination) const {
    if (auto* leaf = dynamic_cast<TTestLeaf*>(&destination)) {
        leaf->Value = Value;
        leaf->Name = Name;
    }
}

void TTestNode::Load(TStorage& storage) {
    Id = storage.ReadLongint();
    Children.Load(storage);
    Link = storage.ReadReference();
}

void TTestNode::Store(TStorage& storage) const {
    storage.WriteLongint(Id);
    Children.Store(storage);
    storage.WriteReference(Link);
}

int TTestLeafTable::CompareObjects(const TStored* a, const TStored* b) const {
    return static_cast<const TTestLeaf*>(a)->CompareKey(*static_cast<const TTestLeaf*>(b));
}

void TBenchItem::Load(TStorage& storage) {
    Bounds = storage.ReadRect();
    A = storage.ReadLongint();
    B = storage.ReadLongint();
    C = storage.ReadLongint();
    D = storage.ReadLongint();
    Flags = storage.ReadWord();
    Kind = storage.ReadSmallint();
}

void TBenchItem::Store(TStorage& storage) const {
    storage.WriteRect(Bounds);
    storage.WriteLongint(A);
    storage.WriteLongint(B);
    storage.WriteLongint(C);
    storage.WriteLongint(D);
    storage.WriteWord(Flags);
    storage.WriteSmallint(Kind);
}

TTestAllPrimitives::~TTestAllPrimitives() {
    for (TStored* object : Owned)
        delete object;
}

void TTestAllPrimitives::Load(TStorage& storage) {
    const int steps = storage.ReadByte();
    for (int i = 0; i < steps; ++i) {
        switch (storage.ReadByte() % 20) {
        case 0:
            storage.ReadByte();
            break;
        case 1:
            storage.ReadBoolean();
            break;
        case 2:
            storage.ReadSmallint();
            break;
        case 3:
            storage.ReadWord();
            break;
        case 4:
            storage.ReadLongint();
            break;
        case 5:
            storage.ReadDouble();
            break;
        case 6:
            storage.ReadString();
            break;
        case 7:
            storage.ReadLongString();
            break;
        case 8:
            storage.ReadPChar();
            break;
        case 9:
            storage.ReadBlock();
            break;
        case 10:
            storage.ReadRect();
            break;
        case 11:
            storage.ReadBitmap();
            break;
        case 12:
            storage.ReadMetafile();
            break;
        case 13:
            storage.ReadLegacyMetafile();
            break;
        case 14:
        case 15: {
            std::unique_ptr<TStored> object(storage.ReadObject());
            if (object) Owned.push_back(object.release());
            break;
        }
        case 16: {
            std::unique_ptr<TStored> object(storage.ReadInstanceOf<TTestLeaf>());
            if (object) Owned.push_back(object.release());
            break;
        }
        case 17:
            if (TStored* object = storage.ReadReference()) Referred.push_back(object);
            break;
        case 18: {
            std::unique_ptr<TStored> object(storage.ReadInstanceOf<TSortedStringTable>());
            if (object) Owned.push_back(object.release());
            break;
        }
        default: {
            std::unique_ptr<TStored> object(storage.ReadInstanceOf<TTestLeafTable>());
            if (object) Owned.push_back(object.release());
            break;
        }
        }
    }
}

// Writes one of each kind of field, in the order Load reads them back.
void TTestAllPrimitives::Store(TStorage& storage) const {
    storage.WriteByte(static_cast<quint8>(Owned.size() + Referred.size()));
    for (const TStored* object : Owned) {
        storage.WriteByte(14);
        storage.WriteObject(object);
    }
    for (const TStored* object : Referred) {
        storage.WriteByte(17);
        storage.WriteReference(object);
    }
}

void RegisterStorageFixtures() {
    RegisterStorageClasses();
    TClassRegistry& registry = TClassRegistry::Instance();
    registry.Register<TTestEmpty>();
    registry.Register<TTestLeaf>();
    registry.Register<TTestNode>();
    registry.Register<TTestLeafTable>();
    registry.Register<TBenchItem>();
    registry.Register<TTestAllPrimitives>();
}

QByteArray WriteToBytes(const TStored& root) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TStorage storage(&buffer, TStorage::TMode::Write);
    storage.WriteRoot(root);
    storage.Flush();
    return buffer.data();
}

TStored* ReadFromBytes(const QByteArray& bytes, TStored* target, const TReadOptions* options) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TStorage storage(&buffer, TStorage::TMode::Read);
    storage.SetReadOptions(options);
    return storage.ReadRoot(target);
}
