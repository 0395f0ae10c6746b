#include "objects/BarCode.h"

#include "storage/Stored.h"

void TBarCodeObject::AssignTo(TStored& destination) const {
    TCardObject::AssignTo(destination);
    if (auto* code = dynamic_cast<TBarCodeObject*>(&destination)) {
        code->BarCodeType = BarCodeType;
        code->Data = Data;
        code->UseDatabaseField = UseDatabaseField;
        code->ShowText = ShowText;
    }
}

void TBarCodeObject::Store(TStorage& storage) const {
    TCardObject::Store(storage);
    storage.WriteByte(BarCodeType);
    storage.WriteString(Data);
    storage.WriteBoolean(UseDatabaseField);
    storage.WriteBoolean(ShowText);
}

void TBarCodeObject::Load(TStorage& storage) {
    TCardObject::Load(storage);
    BarCodeType = storage.ReadByte();
    Data = storage.ReadString();
    UseDatabaseField = storage.ReadBoolean();
    ShowText = storage.ReadBoolean();
}
