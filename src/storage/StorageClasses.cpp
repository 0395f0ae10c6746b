#include "storage/Stored.h"
#include "storage/TableCmn.h"

void RegisterStorageClasses() {
    TClassRegistry& registry = TClassRegistry::Instance();
    registry.Register<TDataTable>();
    registry.Register<TObjectTable>();
    registry.Register<TMultiObjectTable>();
    registry.Register<TByteTable>();
    registry.Register<TSortedByteTable>();
    registry.Register<TWordTable>();
    registry.Register<TSortedWordTable>();
    registry.Register<TLongintTable>();
    registry.Register<TSortedLongintTable>();
    registry.Register<TSmallPointTable>();
    registry.Register<TSortedSmallPointTable>();
    registry.Register<TStringTable>();
    registry.Register<TSortedStringTable>();
}
