#pragma once

#include "document/CardObject.h"

enum TBarCodeType : quint8 {
    bcUPC_A = 0,
    bcEAN_13 = 1,
    bcInt2of5 = 2,
    bcCode128 = 3,
    bcCode39 = 4,
    bcPostnet = 5
};

// A linear bar code; its data is typed or taken from a field of the recipient table.
class TBarCodeObject : public TCardObject {
    QDX_STORED_CLASS("TBarCodeObject")
public:
    TBarCodeObject() = default;
    using TCardObject::TCardObject;
    static TBarCodeObject* CreateDefault();
    // The sample data of a type, shown in the dialog and given to new objects.
    static QString SampleData(int barCodeType);

    quint8 BarCodeType = bcUPC_A;
    QString Data; // the data, or the field name with UseDatabaseField
    bool UseDatabaseField = false;
    bool ShowText = true;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    bool IsAutoSized() const override { return true; }
    bool UsesRecordData() const override { return UseDatabaseField; }
    QString TypeName() const override { return QStringLiteral("Bar code"); }

protected:
    void AssignTo(TStored& destination) const override;
};
