#include "objects/BarCode.h"

#include "document/AppContext.h"
#include "storage/Stored.h"

#include <algorithm>

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

QString TBarCodeObject::SampleData(int barCodeType) {
    switch (barCodeType) {
    case bcUPC_A:
        return QStringLiteral("01234567890");
    case bcEAN_13:
        return QStringLiteral("012345678901");
    case bcInt2of5:
        return QStringLiteral("0123456789");
    case bcCode128:
        return QChar(208) + QStringLiteral("012345"); // 208 selects set C
    case bcCode39:
        return QStringLiteral("012345");
    case bcPostnet:
        return QStringLiteral("012345678");
    default:
        return QString();
    }
}

TBarCodeObject* TBarCodeObject::CreateDefault() {
    const QString section = QStringLiteral("Default Bar Code");
    const TSettingsStore& s = AppContext().Settings();
    auto* code =
        new TBarCodeObject(s.ReadBool(section, QStringLiteral("Center Horizontally"), false),
                           s.ReadBool(section, QStringLiteral("Center Vertically"), false));
    code->BarCodeType =
        quint8(std::clamp(s.ReadInteger(section, QStringLiteral("Bar Code Type"), 0), 0, 5));
    code->ShowText = s.ReadBool(section, QStringLiteral("Show Text"), true);
    code->Data = SampleData(code->BarCodeType);
    return code;
}
