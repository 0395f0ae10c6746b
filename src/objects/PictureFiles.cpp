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
#include <cstring>
#include <vector>

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

// Through Qt's readers, shrunk to `reduced` when the picture is larger. Pictures past the limit
// raise EPictureTooLarge unless reduced.
QImage ReadWithQt(const QByteArray& bytes, const QString& fileName = QString(),
                  QSize reduced = QSize()) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true); // photographs stand the way the camera says
    const QSize pixels = reader.size();
    if (!pixels.isEmpty()) {
        const QSize target = WithinPictureLimit(reduced.isEmpty() ? pixels
                                                                  : reduced.boundedTo(pixels));
        if (target != pixels) {
            if (reduced.isEmpty()) throw EPictureTooLarge(fileName, pixels);
            // JPEG decodes at the smaller size directly; other formats as Qt can.
            reader.setScaledSize(target);
        }
    }
    return reader.read();
}

quint16 U16(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 U32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// An uncompressed BMP (1, 4, 8, 24 or 32 bits; 32 bits also with the masks BitmapWithAlpha
// writes) read row by row into an image of `target` pixels; null for other kinds.
QImage ReducedBmp(const QByteArray& b, QSize target) {
    if (!TBitmapData::IsValidBmp(b)) return {};
    const quint32 header = U32(b, 14);
    qint64 width = 0, height = 0;
    int bpp = 0, entrySize = 4;
    quint32 compression = 0, used = 0;
    bool topDown = false;
    if (header == 12) {
        width = U16(b, 18);
        height = U16(b, 20);
        bpp = U16(b, 24);
        entrySize = 3;
    } else if (header >= 40 && b.size() >= 14 + 40) {
        width = qFromLittleEndian<qint32>(b.constData() + 18);
        const qint32 h = qFromLittleEndian<qint32>(b.constData() + 22);
        topDown = h < 0;
        height = std::abs(qint64(h));
        bpp = U16(b, 28);
        compression = U32(b, 30);
        used = U32(b, 46);
    } else {
        return {};
    }
    bool alpha = false;
    if (compression == 3 && bpp == 32 && b.size() >= 66) {
        if (U32(b, 54) != 0x00FF0000 || U32(b, 58) != 0x0000FF00 || U32(b, 62) != 0x000000FF)
            return {};
        alpha = header >= 56 && b.size() >= 70 && U32(b, 66) == 0xFF000000;
    } else if (compression != 0 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)) {
        return {};
    }
    if (width <= 0 || height <= 0 || width > 1 << 20 || height > 1 << 20) return {};
    const QSize source{int(width), int(height)};
    const qint64 stride = (width * bpp + 31) / 32 * 4;
    const qint64 bits = U32(b, 10);
    if (bits > b.size() || stride * height > b.size() - bits) return {};

    // The colour table as blue, green, red, opaque; indices past it are black.
    std::vector<quint8> table(bpp <= 8 ? size_t(4) << bpp : 0, 0);
    if (bpp <= 8) {
        const qint64 most = qint64(1) << bpp;
        const qint64 count = std::min<qint64>(used > 0 ? used : most, most);
        const qint64 at = 14 + qint64(header);
        for (qint64 i = 0; i < count && at + (i + 1) * entrySize <= bits; ++i) {
            std::memcpy(&table[size_t(i) * 4], b.constData() + at + i * entrySize, 3);
        }
        for (size_t i = 0; i < table.size(); i += 4) table[i + 3] = 255;
    }

    QImage image(target.boundedTo(source), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) return {};
    TRowReducer reducer(source, image.size(), [&](int row, const quint8* bgra) {
        const int y = topDown ? row : image.height() - 1 - row;
        std::memcpy(image.scanLine(y), bgra, size_t(image.width()) * 4);
    });
    std::vector<quint8> expanded(size_t(width) * 4);
    const auto* start = reinterpret_cast<const quint8*>(b.constData() + bits);
    for (qint64 y = 0; y < height; ++y) {
        const quint8* in = start + y * stride;
        quint8* out = expanded.data();
        for (qint64 x = 0; x < width; ++x, out += 4) {
            switch (bpp) {
            case 32:
                std::memcpy(out, in + x * 4, 4);
                if (!alpha) out[3] = 255;
                break;
            case 24:
                std::memcpy(out, in + x * 3, 3);
                out[3] = 255;
                break;
            case 8:
                std::memcpy(out, &table[size_t(in[x]) * 4], 4);
                break;
            case 4:
                std::memcpy(out, &table[size_t((x & 1) ? in[x >> 1] & 15 : in[x >> 1] >> 4) * 4],
                            4);
                break;
            default:
                std::memcpy(out, &table[size_t((in[x >> 3] >> (7 - (x & 7))) & 1) * 4], 4);
                break;
            }
        }
        reducer.AddRow(expanded.data());
    }
    return image;
}

} // namespace

QSize TPictureData::PixelSize() const {
    if (IsMetafile) {
        if (Metafile.IsEmpty()) return {};
        const auto picture = TMetafilePicture::Of(Metafile);
        return picture->IsValid() ? picture->PixelSize(ScreenPixelsPerInch()) : QSize();
    }
    if (IsOversized()) return SourcePixels;
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

QImage ImageFromBitmap(const TBitmapData& bitmap, QSize most) {
    const QSize pixels = BmpPixelSize(bitmap.Bytes);
    if (pixels.isEmpty()) return {};
    const QSize target = WithinPictureLimit(most.isEmpty() ? pixels : most.boundedTo(pixels));
    if (target == pixels) return ImageFromBitmap(bitmap);
    QImage image = ReducedBmp(bitmap.Bytes, target);
    if (!image.isNull()) return image;
    // A compressed bitmap: Qt reads it whole first, which fails past its limit.
    QBuffer buffer;
    buffer.setData(bitmap.Bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    reader.setScaledSize(target);
    return reader.read();
}

TPictureData LoadPictureFile(const QString& fileName, QSize reduced) {
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
        const auto converted = TMetafilePicture::Of(picture.Metafile);
        if (!converted->IsValid()) throw EPictureError(fileName, converted->Problem());
        return picture;
    }
    // A BMP that decodes is kept byte for byte, unless it is to be read smaller.
    if (TBitmapData::IsValidBmp(bytes)) {
        const QSize pixels = BmpPixelSize(bytes);
        const QSize target =
            WithinPictureLimit(reduced.isEmpty() ? pixels : reduced.boundedTo(pixels));
        if (!pixels.isEmpty() && target != pixels) {
            if (reduced.isEmpty()) throw EPictureTooLarge(fileName, pixels);
            picture.Bitmap = BitmapFromImage(ImageFromBitmap({bytes}, target));
            if (picture.Bitmap.IsEmpty()) throw EPictureError(fileName);
            return picture;
        }
        if (!ReadWithQt(bytes, fileName).isNull()) {
            picture.Bitmap = {bytes};
            return picture;
        }
    }
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("pcx") || (!bytes.isEmpty() && bytes[0] == 10)) {
        try {
            picture.Bitmap = ReadPcxBytes(bytes, reduced);
            return picture;
        } catch (const EPcxTooLarge& e) {
            throw EPictureTooLarge(fileName, e.Pixels);
        } catch (const EPcxError&) {
            // Not a PCX variant the reader takes: the other readers may still know it.
        }
    }
    // Targa files carry no signature: a file named so is read as one first, any other only
    // after Qt's readers (which know their formats by signature) gave up.
    const bool namedTga = suffix == QLatin1String("tga");
    QImage image = namedTga ? ReadTga(bytes) : ReadWithQt(bytes, fileName, reduced);
    if (image.isNull())
        image = namedTga ? ReadWithQt(bytes, fileName, reduced)
                         : (LooksLikeTga(bytes) ? ReadTga(bytes) : QImage());
    if (image.isNull()) throw EPictureError(fileName);
    picture.Bitmap = BitmapFromImage(image);
    if (picture.Bitmap.IsEmpty()) throw EPictureError(fileName);
    return picture;
}

QImage LoadPictureImage(const QString& fileName) {
    TPictureData picture;
    try {
        picture = LoadPictureFile(fileName);
    } catch (const EPictureTooLarge& e) {
        try {
            picture = LoadPictureFile(
                fileName, e.Pixels.scaled(LargestRenderedSide, LargestRenderedSide,
                                          Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        } catch (const EPictureError&) {
            return {};
        }
    } catch (const EPictureError&) {
        return {};
    }
    if (!picture.IsMetafile) return ImageFromBitmap(picture.Bitmap);
    const auto converted = TMetafilePicture::Of(picture.Metafile);
    const TMetafilePicture& metafile = *converted;
    QSize size = metafile.PixelSize(ScreenPixelsPerInch());
    if (size.isEmpty()) return {};
    if (size.width() > LargestRenderedSide || size.height() > LargestRenderedSide)
        size.scale(LargestRenderedSide, LargestRenderedSide, Qt::KeepAspectRatio);
    return metafile.Rendered(size.expandedTo(QSize(1, 1)));
}
