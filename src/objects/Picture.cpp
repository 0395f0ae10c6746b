#include "objects/Picture.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Units.h"
#include "objects/MetafilePicture.h"
#include "storage/Stored.h"

#include <QPainter>

TPictureObject::TPictureObject() = default;

TPictureObject::TPictureObject(bool centerHorizontally, bool centerVertically)
    : TCardObject(centerHorizontally, centerVertically) {}

TPictureObject::~TPictureObject() = default;

TPictureObject* TPictureObject::CreateDefault() {
    const QString section = QStringLiteral("Default Picture");
    const TSettingsStore& s = AppContext().Settings();
    return new TPictureObject(s.ReadBool(section, QStringLiteral("Center Horizontally"), false),
                              s.ReadBool(section, QStringLiteral("Center Vertically"), false));
}

TPictureData TPictureObject::Graphic() const {
    TPictureData picture;
    if (!HasPicture) return picture;
    picture.IsMetafile = IsMetafile;
    if (IsMetafile) picture.Metafile = Metafile;
    else picture.Bitmap = Bitmap;
    return picture;
}

void TPictureObject::SetGraphic(const TPictureData& picture) {
    HasPicture = !picture.IsEmpty();
    IsMetafile = HasPicture && picture.IsMetafile;
    Bitmap = HasPicture && !IsMetafile ? picture.Bitmap : TBitmapData();
    Metafile = IsMetafile ? picture.Metafile : TMetafileData();
    PictureChanged();
}

void TPictureObject::PictureChanged() {
    FDecoded = QImage();
    FScaled = QImage();
    FMetafile.reset();
}

QSize TPictureObject::BitmapSize() const {
    if (!HasPicture || IsMetafile) return {};
    TPictureData bitmap;
    bitmap.Bitmap = Bitmap;
    return bitmap.PixelSize();
}

QSize TPictureObject::PictureSize() const {
    if (!HasPicture) return {};
    if (!IsMetafile) return BitmapSize();
    if (!FMetafile) FMetafile = std::make_unique<TMetafilePicture>(Metafile);
    return FMetafile->IsValid() ? FMetafile->PixelSize(ScreenPixelsPerInch()) : QSize();
}

void TPictureObject::RestoreOriginalSize() {
    const QSize size = PictureSize();
    if (size.isEmpty()) return;
    Bounds = {Bounds.Left, Bounds.Top, Bounds.Left + size.width(), Bounds.Top + size.height()};
}

QImage TPictureObject::BitmapImage() const {
    if (!HasPicture || IsMetafile) return {};
    if (FDecoded.isNull()) FDecoded = ImageFromBitmap(Bitmap);
    return FDecoded;
}

void TPictureObject::AssignTo(TStored& destination) const {
    TCardObject::AssignTo(destination);
    if (auto* picture = dynamic_cast<TPictureObject*>(&destination)) {
        picture->HasPicture = HasPicture;
        picture->IsMetafile = IsMetafile;
        picture->Bitmap = Bitmap; // the bytes are shared until either side changes them
        picture->Metafile = Metafile;
        picture->PictureChanged();
    }
}

void TPictureObject::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 2);
    TCardObject::Store(storage);
    storage.WriteBoolean(HasPicture);
    if (!HasPicture) return;
    storage.WriteBoolean(IsMetafile);
    if (IsMetafile)
        storage.WriteGraphic(Metafile);
    else
        storage.WriteGraphic(Bitmap);
}

void TPictureObject::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    TCardObject::Load(storage);
    HasPicture = version == 0 || storage.ReadBoolean();
    Bitmap = TBitmapData();
    Metafile = TMetafileData();
    IsMetafile = false;
    PictureChanged();
    if (!HasPicture) return;
    IsMetafile = storage.ReadBoolean();
    if (!IsMetafile) {
        Bitmap = storage.ReadBitmap();
        return;
    }
    try {
        Metafile = version >= 2 ? storage.ReadMetafile() : storage.ReadLegacyMetafile();
    } catch (const EInvalidGraphic&) {
        throw EBadMetafile(AppContext().LoadingFileName);
    }
}

// Stretched to the object, aspect ratio not kept. On the screen the picture is kept scaled to
// the size last drawn, so repaints and scrolling do not rescale a large photograph each time.
void TPictureObject::Draw(TCanvas& canvas, int dx, int dy, bool printing) {
    if (!HasPicture) return;
    TRect r = DeviceBounds(canvas);
    r.Offset(dx, dy);
    const QRect target = r.ToQRect().normalized();
    if (target.isEmpty()) return;
    QPainter& painter = canvas.Painter();
    const QTransform t = painter.worldTransform();
    const bool screen = !printing && canvas.Kind() == TCanvas::TKind::Screen &&
                        t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
    const QRect device = screen ? t.mapRect(QRectF(target)).toAlignedRect() : QRect();
    constexpr qint64 LargestKeptPicture = 16'000'000; // pixels

    if (IsMetafile) {
        if (!FMetafile) FMetafile = std::make_unique<TMetafilePicture>(Metafile);
        if (!FMetafile->IsValid()) return;
        if (screen && qint64(device.width()) * device.height() <= LargestKeptPicture) {
            painter.save();
            painter.resetTransform();
            painter.drawImage(device.topLeft(), FMetafile->Rendered(device.size()));
            painter.restore();
        } else {
            FMetafile->Draw(painter, QRectF(target));
        }
        return;
    }

    const QImage image = BitmapImage();
    if (image.isNull()) return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (screen && qint64(device.width()) * device.height() <= LargestKeptPicture) {
        if (FScaled.size() != device.size())
            FScaled = image.size() == device.size()
                          ? image
                          : image.scaled(device.size(), Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
        painter.resetTransform();
        painter.drawImage(device.topLeft(), FScaled);
    } else {
        painter.drawImage(target, image);
    }
    painter.restore();
}
