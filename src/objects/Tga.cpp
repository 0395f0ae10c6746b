#include "objects/Tga.h"

#include "storage/PictureReduction.h"

#include <QtEndian>

#include <cstring>
#include <vector>

namespace {

constexpr qsizetype HeaderSize = 18;
constexpr qsizetype FooterSize = 26;
constexpr char FooterSignature[] = "TRUEVISION-XFILE."; // followed by a zero byte
constexpr int MaxRunPixels = 128;

enum TImageType : quint8 {
    ColourMapped = 1,
    TrueColour = 2,
    Grey = 3,
    RleColourMapped = 9,
    RleTrueColour = 10,
    RleGrey = 11,
};

struct THeader {
    int IdLength = 0;
    int ColourMapType = 0;
    int ImageType = 0;
    int MapFirst = 0;
    int MapLength = 0;
    int MapEntryBits = 0;
    int Width = 0;
    int Height = 0;
    int Depth = 0;
    int AlphaBits = 0;
    bool RightToLeft = false;
    bool TopDown = false;
    qsizetype DataOffset = 0;

    int BaseType() const { return ImageType & 7; }
    bool Rle() const { return ImageType & 8; }
    int PixelBytes() const { return (Depth + 7) / 8; }
};

bool DepthFits(const THeader& h) {
    switch (h.BaseType()) {
    case ColourMapped:
        return h.ColourMapType == 1 && h.MapLength > 0 && (h.Depth == 8 || h.Depth == 16);
    case TrueColour:
        return h.Depth == 15 || h.Depth == 16 || h.Depth == 24 || h.Depth == 32;
    case Grey:
        return h.Depth == 8 || h.Depth == 16;
    }
    return false;
}

// The header with every field checked against the others and against the file's size; false
// when the bytes cannot be a Targa picture.
bool ParseHeader(const QByteArray& bytes, THeader& h) {
    if (bytes.size() < HeaderSize) return false;
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    h.IdLength = b[0];
    h.ColourMapType = b[1];
    h.ImageType = b[2];
    h.MapFirst = qFromLittleEndian<quint16>(b + 3);
    h.MapLength = qFromLittleEndian<quint16>(b + 5);
    h.MapEntryBits = b[7];
    h.Width = qFromLittleEndian<quint16>(b + 12);
    h.Height = qFromLittleEndian<quint16>(b + 14);
    h.Depth = b[16];
    const quint8 descriptor = b[17];
    h.AlphaBits = descriptor & 0x0F;
    h.RightToLeft = descriptor & 0x10;
    h.TopDown = descriptor & 0x20;

    const bool knownType = h.ImageType == ColourMapped || h.ImageType == TrueColour ||
                           h.ImageType == Grey || h.ImageType == RleColourMapped ||
                           h.ImageType == RleTrueColour || h.ImageType == RleGrey;
    // Interleaved rows (the top two descriptor bits) went out of use with the first version.
    if (!knownType || h.ColourMapType > 1 || (descriptor & 0xC0) != 0) return false;
    if (h.Width == 0 || h.Height == 0 || !DepthFits(h)) return false;
    qsizetype mapBytes = 0;
    if (h.ColourMapType == 1) {
        if (h.MapEntryBits != 15 && h.MapEntryBits != 16 && h.MapEntryBits != 24 &&
            h.MapEntryBits != 32)
            return false;
        mapBytes = qsizetype(h.MapLength) * ((h.MapEntryBits + 7) / 8);
    }
    h.DataOffset = HeaderSize + h.IdLength + mapBytes;
    return h.DataOffset <= bytes.size();
}

bool HasFooter(const QByteArray& bytes) {
    return bytes.size() >= HeaderSize + FooterSize &&
           std::memcmp(bytes.constData() + bytes.size() - 18, FooterSignature, 18) == 0;
}

quint8 Scale5(int v) {
    return quint8((v << 3) | (v >> 2));
}

// 15- and 16-bit values are little-endian words of 5 bits blue, green and red from the low end;
// the top bit is the one attribute bit.
QRgb FromWord(const uchar* p, bool alphaBit) {
    const quint16 w = qFromLittleEndian<quint16>(p);
    const int alpha = alphaBit ? ((w & 0x8000) ? 255 : 0) : 255;
    return qRgba(Scale5((w >> 10) & 31), Scale5((w >> 5) & 31), Scale5(w & 31), alpha);
}

QRgb FromBytes(const uchar* p, int bits, bool alpha) {
    switch (bits) {
    case 15:
    case 16:
        return FromWord(p, bits == 16 && alpha);
    case 24:
        return qRgb(p[2], p[1], p[0]);
    default:
        return qRgba(p[2], p[1], p[0], alpha ? p[3] : 255);
    }
}

// Hands out the bytes of one pixel after another, expanding the run-length packets; packets
// may run on from one row into the next.
class TPixelSource {
public:
    TPixelSource(const uchar* data, qsizetype size, int pixelBytes, bool rle)
        : FData(data), FSize(size), FPixelBytes(pixelBytes), FRle(rle) {}

    // Null when the data ends before the pixel.
    const uchar* Next() {
        if (!FRle) return Take();
        if (FLeftInPacket == 0) {
            const uchar* header = TakeBytes(1);
            if (!header) return nullptr;
            FLeftInPacket = (*header & 0x7F) + 1;
            FRepeat = *header & 0x80;
            if (FRepeat && !(FRepeated = Take())) return nullptr;
        }
        --FLeftInPacket;
        return FRepeat ? FRepeated : Take();
    }

private:
    const uchar* Take() { return TakeBytes(FPixelBytes); }
    const uchar* TakeBytes(qsizetype count) {
        if (FSize - FPos < count) return nullptr;
        const uchar* p = FData + FPos;
        FPos += count;
        return p;
    }

    const uchar* FData;
    qsizetype FSize;
    qsizetype FPos = 0;
    int FPixelBytes;
    bool FRle;
    int FLeftInPacket = 0;
    bool FRepeat = false;
    const uchar* FRepeated = nullptr;
};

// Writers that leave every attribute bit at zero do not mean an invisible picture.
QImage OpaqueIfAllTransparent(QImage image) {
    if (image.format() != QImage::Format_ARGB32) return image;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 0) return image;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

bool LooksLikeTga(const QByteArray& bytes) {
    THeader header;
    return ParseHeader(bytes, header);
}

QImage ReadTga(const QByteArray& bytes) {
    THeader h;
    if (!ParseHeader(bytes, h)) return QImage();
    const qint64 pixels = qint64(h.Width) * h.Height;
    if (pixels > LargestPicturePixels) return QImage();
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype dataEnd = HasFooter(bytes) ? bytes.size() - FooterSize : bytes.size();
    if (dataEnd < h.DataOffset) return QImage();
    const qsizetype dataBytes = dataEnd - h.DataOffset;
    const int pixelBytes = h.PixelBytes();
    const qint64 leastData = h.Rle() ? (pixels + MaxRunPixels - 1) / MaxRunPixels * (1 + pixelBytes)
                                     : pixels * pixelBytes;
    if (leastData > dataBytes) return QImage();

    const int type = h.BaseType();
    const bool alpha = h.AlphaBits > 0;
    std::vector<QRgb> map;
    if (type == ColourMapped) {
        const int entryBytes = (h.MapEntryBits + 7) / 8;
        const uchar* entry = b + HeaderSize + h.IdLength;
        map.resize(size_t(h.MapLength));
        for (int i = 0; i < h.MapLength; ++i, entry += entryBytes)
            map[size_t(i)] = FromBytes(entry, h.MapEntryBits, alpha);
    }

    // 8-bit indices into a map of at most 256 entries stay indexed; everything else becomes
    // 32-bit colour.
    const bool indexed = type == ColourMapped && h.Depth == 8 && h.MapFirst + h.MapLength <= 256;
    const bool grey8 = type == Grey && h.Depth == 8;
    const QImage::Format format = indexed ? QImage::Format_Indexed8
                                  : grey8 ? QImage::Format_Grayscale8
                                  : alpha ? QImage::Format_ARGB32
                                          : QImage::Format_RGB32;
    QImage image(h.Width, h.Height, format);
    if (image.isNull()) return QImage();
    if (indexed) {
        QList<QRgb> table(qsizetype(h.MapFirst) + h.MapLength, qRgb(0, 0, 0));
        std::copy(map.begin(), map.end(), table.begin() + h.MapFirst);
        image.setColorTable(table);
    }

    TPixelSource source(b + h.DataOffset, dataBytes, pixelBytes, h.Rle());
    for (int row = 0; row < h.Height; ++row) {
        uchar* line = image.scanLine(h.TopDown ? row : h.Height - 1 - row);
        for (int col = 0; col < h.Width; ++col) {
            const uchar* p = source.Next();
            if (!p) return QImage();
            const int x = h.RightToLeft ? h.Width - 1 - col : col;
            if (type == ColourMapped) {
                const int index =
                    (h.Depth == 8 ? p[0] : qFromLittleEndian<quint16>(p)) - h.MapFirst;
                if (index < 0 || index >= h.MapLength) return QImage();
                if (indexed)
                    line[x] = uchar(index + h.MapFirst);
                else
                    reinterpret_cast<QRgb*>(line)[x] = map[size_t(index)];
            } else if (grey8) {
                line[x] = p[0];
            } else if (type == Grey) {
                reinterpret_cast<QRgb*>(line)[x] = qRgba(p[0], p[0], p[0], alpha ? p[1] : 255);
            } else {
                reinterpret_cast<QRgb*>(line)[x] = FromBytes(p, h.Depth, alpha);
            }
        }
    }
    if (indexed) {
        bool anyVisible = false;
        for (QRgb colour : map)
            anyVisible = anyVisible || qAlpha(colour) != 0;
        if (!anyVisible) {
            QList<QRgb> table = image.colorTable();
            for (QRgb& colour : table)
                colour |= 0xFF000000u;
            image.setColorTable(table);
        }
        return image;
    }
    return OpaqueIfAllTransparent(image);
}
