#pragma once

#include "document/CardObject.h"
#include "objects/BarCodeEngine.h"

// A linear bar code; its data is typed or taken from a field of the recipient table. The
// object sizes itself to its code at the screen's resolution and is drawn at the resolution
// of each device; data that does not validate draws nothing and leaves the size as it was.
class TBarCodeObject : public TCardObject {
    QDX_STORED_CLASS("TBarCodeObject")
public:
    TBarCodeObject() = default;
    using TCardObject::TCardObject;
    static TBarCodeObject* CreateDefault();
    // The sample data of a type, shown in the dialog and given to new objects.
    static QString SampleData(int barCodeType);
    // The name of a type in the properties dialog.
    static QString TypeCaption(int barCodeType);
    // The narrow bar width of a type, in inches.
    static double NarrowBarWidth(int barCodeType);
    // Codes are sized as a 600-dot printer prints them, so what the page shows is what comes
    // out: bars are whole device pixels, and at screen resolution they would round to a size
    // up to half as large again or smaller than print.
    static constexpr int SizingDpi = 600;
    // The code's size in logical pixels.
    static QSize SizeInScreenPixels(const TBarCodeEngine& engine);

    quint8 BarCodeType = bcUPC_A;
    QString Data; // the data, or the field name with UseDatabaseField
    bool UseDatabaseField = false;
    bool ShowText = true;

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    bool IsAutoSized() const override { return true; }
    bool UsesRecordData() const override { return UseDatabaseField; }
    QString TypeName() const override { return QStringLiteral("Bar code"); }
    // The position is the rectangle's top-left corner; the size is the code's.
    TRect AdjustRect(const TRect& pixels) const override;
    void SetBounds(const TRect& units) override;
    void Draw(TCanvas& canvas, int dx, int dy, bool printing) override;

    // The data the code shows now: the typed data, or the current record's value of the
    // field ("<name>" when there is no such field or no open recipient table).
    QString CurrentData() const;
    // Sets the engine up for this object; false when the data does not validate.
    bool PrepareEngine(TBarCodeEngine& engine) const;
    // Sets the engine up for a code of the type; false when the data does not validate.
    static bool PrepareEngine(TBarCodeEngine& engine, int barCodeType, const QString& data,
                              bool showText);
    // Why the data cannot be drawn as a code of the type, in the engine's words; empty when
    // it can.
    static QString DataProblem(int barCodeType, const QString& data);

protected:
    void AssignTo(TStored& destination) const override;
};
