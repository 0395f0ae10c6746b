#include "objects/PictureFiles.h"

#include "document/Units.h"
#include "objects/MetafilePicture.h"
#include "objects/Tga.h"
#include "types/Pcx.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>

namespace {

// Larger files are not pictures anyone places on a card; refusing them keeps a stray file
// from exhausting memory before any reader has looked at it.
constexpr qint64 LargestPictureFile = 512LL * 1024 * 1024;
// A metafile made an image is stretched over a box like a bitmap; this many pixels on its
// longer side keep it sharp on any box without holding a poster-sized picture.
constexpr int LargestRenderedSide = 2048;

QSize BmpPixelSize(const QByteArray& b) {
    if (!TBitmapData::IsValidBmp(b)) return {};
    const quint32 header = qFromLittleEndian<quint32>(b.constData() + 14);
    if (header == 12)
        return {qFromLittleEndian<quint16>(b.constData() + 18),
                qFromLittleEndian<quint16>(b.constData() + 20)};
    return {std::abs(qFromLittleEndian<qint32>(b.constData() + 18)),
            std::abs(qFromLittleEndian<qint32>(b.constData() + 22))};
}

bool HasTransparentPixels(const QImage& image) {
    if (!image.hasAlphaChannel()) return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255) return true;
    }
    return false;
}

template <typename T> void Put(QByteArray& bytes, qsizetype at, T value) {
    qToLittleEndian<T>(value, bytes.data() + at);
}

// 32 bits a pixel with the channel masks of a version 4 header, so the alpha channel survives.
TBitmapData BitmapWithAlpha(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    constexpr int FileHeader = 14, InfoHeader = 108;
    const qint64 stride = qint64(image.width()) * 4;
    const qint64 pixels = stride * image.height();
    QByteArray bytes(FileHeader + InfoHeader + pixels, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put<quint32>(bytes, 2, quint32(bytes.size()));
    Put<quint32>(bytes, 10, FileHeader + InfoHeader);
    Put<quint32>(bytes, 14, InfoHeader);
    Put<qint32>(bytes, 18, image.width());
    Put<qint32>(bytes, 22, image.height()); // positive: rows bottom-up
    Put<quint16>(bytes, 26, 1);
    Put<quint16>(bytes, 28, 32);
    Put<quint32>(bytes, 30, 3); // bit fields
    Put<quint32>(bytes, 34, quint32(pixels));
    Put<qint32>(bytes, 38, 3780); // 96 dots per inch in dots per metre
    Put<qint32>(bytes, 42, 3780);
    Put<quint32>(bytes, 54, 0x00FF0000); // red, green, blue and alpha masks
    Put<quint32>(bytes, 58, 0x0000FF00);
    Put<quint32>(bytes, 62, 0x000000FF);
    Put<quint32>(bytes, 66, 0xFF000000);
    Put<quint32>(bytes, 70, 0x73524742); // the sRGB colour space
    char* out = bytes.data() + FileHeader + InfoHeader;
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, out += 4) qToLittleEndian<quint32>(line[x], out);
    }
    return {bytes};
}

QImage ReadWithQt(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true); // photographs stand the way the camera says
    return reader.read();
}

} // namespace

QSize TPictureData::PixelSize() const {
    if (IsMetafile) {
        if (Metafile.IsEmpty()) return {};
        const TMetafilePicture picture(Metafile);
        return picture.IsValid() ? picture.PixelSize(ScreenPixelsPerInch()) : QSize();
    }
    return BmpPixelSize(Bitmap.Bytes);
}

TBitmapData BitmapFromImage(const QImage& image) {
    if (image.isNull()) return {};
    if (HasTransparentPixels(image)) return BitmapWithAlpha(image);
    const bool indexed = image.format() == QImage::Format_Indexed8 ||
                         image.format() == QImage::Format_Mono ||
                         image.format() == QImage::Format_MonoLSB;
    const QImage opaque = indexed ? image : image.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!opaque.save(&buffer, "BMP")) return {};
    return {bytes};
}

QImage ImageFromBitmap(const TBitmapData& bitmap) {
    if (!TBitmapData::IsValidBmp(bitmap.Bytes)) return {};
    return QImage::fromData(bitmap.Bytes, "BMP");
}

TPictureData LoadPictureFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestPictureFile)
        throw EPictureError(fileName);
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) throw EPictureError(fileName);

    TPictureData picture;
    const TMetafileFormat format = TMetafileData::Detect(bytes);
    if (format != TMetafileFormat::None) {
        picture.IsMetafile = true;
        picture.Metafile = {format, bytes};
        if (!TMetafilePicture(picture.Metafile).IsValid()) throw EPictureError(fileName);
        return picture;
    }
    // A BMP that decodes is kept byte for byte.
    if (TBitmapData::IsValidBmp(bytes) && !ReadWithQt(bytes).isNull()) {
        picture.Bitmap = {bytes};
        return picture;
    }
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("pcx") || (!bytes.isEmpty() && bytes[0] == 10)) {
        try {
            picture.Bitmap = ReadPcxBytes(bytes);
            return picture;
        } catch (const EPcxError&) {
            // Not a PCX variant the reader takes: the other readers may still know it.
        }
    }
    // Targa files carry no signature: a file named so is read as one first, any other only
    // after Qt's readers (which know their formats by signature) gave up.
    const bool namedTga = suffix == QLatin1String("tga");
    QImage image = namedTga ? ReadTga(bytes) : ReadWithQt(bytes);
    if (image.isNull()) image = namedTga ? ReadWithQt(bytes) : (LooksLikeTga(bytes) ? ReadTga(bytes) : QImage());
    if (image.isNull()) throw EPictureError(fileName);
    picture.Bitmap = BitmapFromImage(image);
    if (picture.Bitmap.IsEmpty()) throw EPictureError(fileName);
    return picture;
}

QImage LoadPictureImage(const QString& fileName) {
    TPictureData picture;
    try {
        picture = LoadPictureFile(fileName);
    } catch (const EPictureError&) {
        return {};
    }
    if (!picture.IsMetafile) return ImageFromBitmap(picture.Bitmap);
    const TMetafilePicture metafile(picture.Metafile);
    QSize size = metafile.PixelSize(ScreenPixelsPerInch());
    if (size.isEmpty()) return {};
    if (size.width() > LargestRenderedSide || size.height() > LargestRenderedSide)
        size.scale(LargestRenderedSide, LargestRenderedSide, Qt::KeepAspectRatio);
    return metafile.Rendered(size.expandedTo(QSize(1, 1)));
}
