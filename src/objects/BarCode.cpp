#include "objects/BarCode.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Units.h"
#include "storage/Stored.h"

#include <QImage>
#include <QPainter>

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
        return QChar(208) + QStringLiteral("012345"); // 208 starts set A
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

QString TBarCodeObject::TypeCaption(int barCodeType) {
    static const char* const captions[BarCodeTypeCount] = {
        "UPC-A", "EAN-13", "Interleaved 2 of 5", "Code 128", "Code 39", "PostNet"};
    return barCodeType >= 0 && barCodeType < BarCodeTypeCount
               ? QString::fromLatin1(captions[barCodeType])
               : QString();
}

double TBarCodeObject::NarrowBarWidth(int barCodeType) {
    static constexpr double widths[BarCodeTypeCount] = {0.013, 0.013, 0.015, 0.015, 0.010, 0.018};
    return barCodeType >= 0 && barCodeType < BarCodeTypeCount ? widths[barCodeType]
                                                              : TBarCodeEngine::DefaultBarWidth;
}

QString TBarCodeObject::CurrentData() const {
    if (!UseDatabaseField) return Data;
    const TCard* card = OwnerCard();
    const TRecordSource* table = card ? card->DataTable() : nullptr;
    if (table && table->IsOpen())
        if (const std::optional<QString> value = table->FieldText(Data)) return *value;
    // Without a table the name itself would be encoded as if it were data.
    return QStringLiteral("<%1>").arg(Data);
}

bool TBarCodeObject::PrepareEngine(TBarCodeEngine& engine) const {
    return PrepareEngine(engine, BarCodeType, CurrentData(), ShowText);
}

bool TBarCodeObject::PrepareEngine(TBarCodeEngine& engine, int barCodeType, const QString& data,
                                   bool showText) {
    if (barCodeType < 0 || barCodeType >= BarCodeTypeCount) return false;
    // Each step may fail on its own (the old data may not suit the new type); only the state
    // after the last one counts.
    auto guarded = [](auto step) {
        try {
            step();
        } catch (const EBarCodeError&) {
        }
    };
    guarded([&] { engine.SetPrintHumanReadable(showText); });
    guarded([&] { engine.SetBarCodeType(TBarCodeType(barCodeType)); });
    guarded([&] { engine.SetBarWidth(NarrowBarWidth(barCodeType)); });
    guarded([&] { engine.SetData(data); });
    return engine.IsValid();
}

QString TBarCodeObject::DataProblem(int barCodeType, const QString& data) {
    TBarCodeEngine engine;
    return PrepareEngine(engine, barCodeType, data, true) ? QString() : engine.ErrorMessage();
}

QSize TBarCodeObject::SizeInScreenPixels(const TBarCodeEngine& engine) {
    const QSize size = engine.Size(SizingDpi);
    const int screen = ScreenPixelsPerInch();
    return {MulDiv(size.width(), screen, SizingDpi), MulDiv(size.height(), screen, SizingDpi)};
}

TRect TBarCodeObject::AdjustRect(const TRect& pixels) const {
    TRect out = pixels;
    TBarCodeEngine engine;
    if (PrepareEngine(engine)) {
        const QSize size = SizeInScreenPixels(engine);
        out = {pixels.Left, pixels.Top, pixels.Left + size.width(), pixels.Top + size.height()};
    }
    return TCardObject::AdjustRect(out);
}

// The code decides the size; the base minimum only keeps an object that never had a valid
// code large enough to be found and selected.
void TBarCodeObject::SetBounds(const TRect& units) {
    if (units.Right > units.Left && units.Bottom > units.Top)
        Bounds = units;
    else
        TCardObject::SetBounds(units);
}

// Printers get bars built at their own resolution, every element whole device pixels, as
// scanners need. Everywhere else the code is shown as it prints: built at the sizing
// resolution and shrunk into its box with averaging, so thin bars show as the grey they cover
// instead of vanishing or merging at random.
void TBarCodeObject::Draw(TCanvas& canvas, int dx, int dy, bool) {
    TBarCodeEngine engine;
    if (!PrepareEngine(engine)) return;
    TRect r = DeviceBounds(canvas);
    r.Offset(dx, dy);
    QPainter& painter = canvas.Painter();
    const bool ownResolution =
        canvas.Kind() == TCanvas::TKind::Printer ||
        (canvas.Kind() == TCanvas::TKind::Image && canvas.DpiX() >= SizingDpi);
    if (ownResolution) {
        engine.Draw(painter, QPoint(r.Left, r.Top), engine.Layout(canvas.DpiX()));
        return;
    }
    const TBarCodeLayout layout = engine.Layout(SizingDpi);
    QImage image(layout.Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter imagePainter(&image);
        engine.Draw(imagePainter, QPoint(0, 0), layout);
    }
    // Rounded as the editor rounds the box, so both agree at every zoom.
    const QRectF target(r.Left, r.Top, MulDiv(layout.Size.width(), canvas.DpiX(), SizingDpi),
                        MulDiv(layout.Size.height(), canvas.DpiY(), SizingDpi));
    const QTransform t = painter.worldTransform();
    painter.save();
    if (t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0) {
        const QRect device = t.mapRect(target).toAlignedRect();
        if (!device.isEmpty()) {
            painter.resetTransform();
            painter.drawImage(device.topLeft(), image.scaled(device.size(), Qt::IgnoreAspectRatio,
                                                             Qt::SmoothTransformation));
        }
    } else {
        // Turned or mirrored panels: the painter turns the picture with them.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, image);
    }
    painter.restore();
}
