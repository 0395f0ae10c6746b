#include "objects/Picture.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/LoadOptions.h"
#include "document/Units.h"
#include "objects/MetafilePicture.h"
#include "storage/Stored.h"

#include <QCache>
#include <QPainter>

#include <mutex>

namespace {

// Decoded bitmaps shared by every picture object and bounded in memory, the least recently
// used going first, so that repaints do not decode again and many large pictures do not each
// keep their pixels. Keyed by the picture's bytes (copies of an object share them) and the
// decoded size; an entry holds on to the bytes so that their address cannot be reused.
class TDecodedPictures {
public:
    static TDecodedPictures& Instance() {
        static TDecodedPictures cache;
        return cache;
    }

    QImage Find(const QByteArray& bytes, QSize size) {
        std::lock_guard lock(FLock);
        const TEntry* entry = FCache.object(Key(bytes, size));
        return entry ? entry->Image : QImage();
    }

    void Insert(const QByteArray& bytes, QSize size, const QImage& image) {
        std::lock_guard lock(FLock);
        const qint64 kilobytes = std::max<qint64>(1, image.sizeInBytes() / 1024);
        if (kilobytes > FCache.maxCost()) return;
        FCache.insert(Key(bytes, size), new TEntry{bytes, image}, kilobytes);
    }

private:
    static constexpr qsizetype MostKilobytes = 256 * 1024;

    struct TKey {
        const char* Data;
        qsizetype Length;
        int Width, Height;
        bool operator==(const TKey& o) const {
            return Data == o.Data && Length == o.Length && Width == o.Width && Height == o.Height;
        }
    };
    friend size_t qHash(const TKey& k, size_t seed) {
        return qHashMulti(seed, quintptr(k.Data), k.Length, k.Width, k.Height);
    }
    struct TEntry {
        QByteArray Bytes;
        QImage Image;
    };
    static TKey Key(const QByteArray& bytes, QSize size) {
        return {bytes.constData(), bytes.size(), size.width(), size.height()};
    }

    std::mutex FLock;
    QCache<TKey, TEntry> FCache{MostKilobytes};
};

std::mutex& UndrawnLock() {
    static std::mutex lock;
    return lock;
}
QStringList& Undrawn() {
    static QStringList reasons;
    return reasons;
}

void NoteUndrawn(const QString& reason) {
    std::lock_guard lock(UndrawnLock());
    if (!Undrawn().contains(reason)) Undrawn().append(reason);
}

} // namespace

QStringList TakeUndrawnPictures() {
    std::lock_guard lock(UndrawnLock());
    return std::exchange(Undrawn(), QStringList());
}

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
    if (!FMetafile) FMetafile = TMetafilePicture::Of(Metafile);
    return FMetafile->IsValid() ? FMetafile->PixelSize(ScreenPixelsPerInch()) : QSize();
}

void TPictureObject::RestoreOriginalSize() {
    const QSize size = PictureSize();
    if (size.isEmpty()) return;
    Bounds = {Bounds.Left, Bounds.Top, Bounds.Left + size.width(), Bounds.Top + size.height()};
}

QImage TPictureObject::BitmapImage() const {
    const QSize pixels = BitmapSize();
    if (pixels.isEmpty() || WithinPictureLimit(pixels) != pixels) return {};
    return BitmapImageFor(pixels);
}

QImage TPictureObject::BitmapImageFor(QSize pixels) const {
    const QSize full = BitmapSize();
    if (full.isEmpty() || pixels.isEmpty()) return {};
    const QSize size = WithinPictureLimit(full) == full ? full : pixels.boundedTo(full);
    TDecodedPictures& cache = TDecodedPictures::Instance();
    QImage image = cache.Find(Bitmap.Bytes, size);
    if (image.isNull()) {
        image = size == full ? ImageFromBitmap(Bitmap) : ImageFromBitmap(Bitmap, size);
        if (!image.isNull()) cache.Insert(Bitmap.Bytes, size, image);
    }
    return image;
}

void TPictureObject::DrawUnreadable(TCanvas& canvas, const QRect& target,
                                    const QString& reason) const {
    if (canvas.Kind() != TCanvas::TKind::Screen && canvas.Kind() != TCanvas::TKind::PrintPreview) {
        NoteUndrawn(reason);
        return;
    }
    QPainter& painter = canvas.Painter();
    painter.save();
    painter.setPen(QPen(QColor(160, 160, 160), 0));
    painter.setBrush(QColor(236, 236, 236));
    painter.drawRect(target.adjusted(0, 0, -1, -1));
    painter.drawLine(target.topLeft(), target.bottomRight());
    painter.drawLine(target.topRight(), target.bottomLeft());
    painter.setPen(QColor(96, 96, 96));
    painter.drawText(target, Qt::AlignCenter | Qt::TextWordWrap, reason);
    painter.restore();
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
        throw EBadMetafile(LoadOptionsOf(storage).FileName);
    }
}

// Stretched to the object, aspect ratio not kept. On the screen the picture is kept scaled to
// the size drawn, so repaints and scrolling do not rescale a large photograph each time; on
// printers and images a bitmap past the decoding limit is read at the output's resolution.
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
    // The output's pixels the picture covers.
    const QSize covered = t.mapRect(QRectF(target)).toAlignedRect().size().expandedTo({1, 1});
    const QRect device = screen ? t.mapRect(QRectF(target)).toAlignedRect() : QRect();
    constexpr qint64 LargestKeptPicture = 16'000'000; // pixels

    if (IsMetafile) {
        if (!FMetafile) FMetafile = TMetafilePicture::Of(Metafile);
        if (!FMetafile->IsValid()) {
            DrawUnreadable(canvas, target, FMetafile->Problem());
            return;
        }
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

    const bool kept = screen && qint64(device.width()) * device.height() <= LargestKeptPicture;
    if (kept) {
        TDecodedPictures& cache = TDecodedPictures::Instance();
        QImage scaled = cache.Find(Bitmap.Bytes, device.size());
        if (scaled.isNull()) {
            const QImage image = BitmapImageFor(device.size());
            if (!image.isNull())
                scaled = image.size() == device.size()
                             ? image
                             : image.scaled(device.size(), Qt::IgnoreAspectRatio,
                                            Qt::SmoothTransformation);
            if (!scaled.isNull()) cache.Insert(Bitmap.Bytes, device.size(), scaled);
        }
        if (!scaled.isNull()) {
            painter.save();
            painter.resetTransform();
            painter.drawImage(device.topLeft(), scaled);
            painter.restore();
            return;
        }
    } else {
        const QImage image = BitmapImageFor(covered);
        if (!image.isNull()) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, image);
            painter.restore();
            return;
        }
    }
    const QSize pixels = BitmapSize();
    DrawUnreadable(canvas, target,
                   pixels.isEmpty()
                       ? QStringLiteral("The picture's bitmap cannot be read.")
                       : QStringLiteral("The picture's bitmap (%1 \u00d7 %2 pixels) cannot be read.")
                             .arg(pixels.width())
                             .arg(pixels.height()));
}
