#include "storage/Stored.h"

TClassRegistry& TClassRegistry::Instance() {
    static TClassRegistry registry;
    return registry;
}

void TClassRegistry::Register(const TStoredClass& storedClass) {
    FClasses.insert(QByteArray(storedClass.Name), &storedClass);
}

void TClassRegistry::RegisterAlias(const QByteArray& alias, const TStoredClass& storedClass) {
    FClasses.insert(alias, &storedClass);
}

const TStoredClass* TClassRegistry::Find(const QByteArray& name) const {
    return FClasses.value(name, nullptr);
}
