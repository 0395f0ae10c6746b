#include "types/Pcx.h"

#include "storage/BufferedStream.h"
#include "storage/PictureReduction.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr qint64 HeaderSize = 128;
constexpr qint64 PaletteSize = 1 + 256 * 3; // the marker byte 12, then 256 RGB triples
constexpr quint8 PaletteMarker = 12;
constexpr qint64 FileHeaderSize = 14;
constexpr qint64 InfoHeaderSize = 40;
constexpr int MaxSide = 32767;
// The longest run a count byte can give: its low 6 bits.
constexpr qint64 MaxRun = 63;

struct THeader {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    int Planes = 0;
    int BytesPerLine = 0;
    std::array<quint8, 48> ColourMap{};
};

// The variant a header describes: the depth of the bitmap made from it and how many planes
// each line carries in the file.
struct TLayout {
    int Depth = 0;
    int Colours = 0;
    int PlanesInFile = 0;
    qint64 Stride = 0; // bytes of one bitmap row, padded to 4
};

THeader ReadHeader(TBufferedStream& stream) {
    quint8 raw[HeaderSize];
    stream.Read(raw, HeaderSize);
    if (raw[0] != 10 || raw[2] != 1) throw EPcxError();
    THeader header;
    header.BitsPerPixel = raw[3];
    const int xMin = qFromLittleEndian<quint16>(raw + 4);
    const int yMin = qFromLittleEndian<quint16>(raw + 6);
    const int xMax = qFromLittleEndian<quint16>(raw + 8);
    const int yMax = qFromLittleEndian<quint16>(raw + 10);
    header.Width = xMax - xMin + 1;
    header.Height = yMax - yMin + 1;
    std::memcpy(header.ColourMap.data(), raw + 16, header.ColourMap.size());
    header.Planes = raw[65];
    header.BytesPerLine = qFromLittleEndian<quint16>(raw + 66);
    return header;
}

TLayout LayoutOf(const THeader& header) {
    if (header.Width <= 0 || header.Height <= 0 || header.Width > MaxSide ||
        header.Height > MaxSide)
        throw EPcxError();
    TLayout layout;
    // Single-plane variants may name other plane counts; their lines still carry every plane,
    // of which the first is the picture. A count of zero can only mean one.
    layout.PlanesInFile = std::max(header.Planes, 1);
    qint64 neededPerPlane = 0;
    if (header.BitsPerPixel == 1 && header.Planes == 4) {
        layout.Depth = 4;
        layout.Colours = 16;
        neededPerPlane = (header.Width + 7) / 8;
    } else if (header.BitsPerPixel == 1) {
        layout.Depth = 1;
        layout.Colours = 2;
        neededPerPlane = (header.Width + 7) / 8;
    } else if (header.BitsPerPixel == 8 && header.Planes == 3) {
        layout.Depth = 24;
        neededPerPlane = header.Width;
    } else if (header.BitsPerPixel == 8) {
        layout.Depth = 8;
        layout.Colours = 256;
        neededPerPlane = header.Width;
    } else {
        throw EPcxError();
    }
    if (header.BytesPerLine < neededPerPlane) throw EPcxError();
    layout.Stride = ((qint64(header.Width) * layout.Depth + 31) / 32) * 4;
    return layout;
}

// Colour table entries as a BMP keeps them: blue, green, red, 0.
QByteArray ColourTable(const quint8* rgb, int count) {
    QByteArray table(qsizetype(count) * 4, '\0');
    for (int i = 0; i < count; ++i) {
        table[i * 4] = char(rgb[i * 3 + 2]);
        table[i * 4 + 1] = char(rgb[i * 3 + 1]);
        table[i * 4 + 2] = char(rgb[i * 3]);
    }
    return table;
}

QByteArray ReadTrailingPalette(TBufferedStream& stream) {
    const qint64 resume = stream.Position();
    if (stream.Size() < HeaderSize + PaletteSize) throw EPcxError();
    stream.Seek(stream.Size() - PaletteSize);
    if (stream.ReadByte() != PaletteMarker) throw EPcxError();
    quint8 rgb[256 * 3];
    stream.Read(rgb, sizeof rgb);
    stream.Seek(resume);
    return ColourTable(rgb, 256);
}

// Run-length decoding of one plane of one line into out (bytesPerLine bytes). A run never
// reaches into the next line: its count is cut to the bytes still missing.
class TRunDecoder {
public:
    TRunDecoder(TBufferedStream& stream, qint64 dataBytes) : FStream(stream), FLeft(dataBytes) {}

    void DecodeLine(quint8* out, int bytesPerLine) {
        int filled = 0;
        while (filled < bytesPerLine) {
            quint8 value = Next();
            int count = 1;
            if (value >= 0xC0) {
                count = std::min(value & 0x3F, bytesPerLine - filled);
                value = Next();
            }
            std::memset(out + filled, value, size_t(count));
            filled += count;
        }
    }

private:
    quint8 Next() {
        if (FLeft <= 0) throw EPcxError();
        --FLeft;
        return FStream.ReadByte();
    }

    TBufferedStream& FStream;
    qint64 FLeft; // encoded bytes before the end of the data (or the trailing palette)
};

void StoreRow(const TLayout& layout, const THeader& header, const quint8* line, quint8* row) {
    const int width = header.Width;
    const int bpl = header.BytesPerLine;
    switch (layout.Depth) {
    case 1:
        std::memcpy(row, line, size_t((width + 7) / 8));
        break;
    case 8:
        std::memcpy(row, line, size_t(width));
        break;
    case 24:
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 2] = line[x];
            row[x * 3 + 1] = line[bpl + x];
            row[x * 3] = line[2 * bpl + x];
        }
        break;
    case 4:
        for (int x = 0; x < width; ++x) {
            const int shift = 7 - (x & 7);
            int value = 0;
            for (int p = 0; p < 4; ++p)
                value |= ((line[p * bpl + (x >> 3)] >> shift) & 1) << p;
            row[x >> 1] |= quint8((x & 1) ? value : value << 4);
        }
        break;
    }
}

// The BMP file bytes of a picture, the pixels zeroed; bitsOffset is where they start.
QByteArray NewBmp(int width, int height, int depth, const QByteArray& table, qint64 stride,
                  qint64& bitsOffset) {
    bitsOffset = FileHeaderSize + InfoHeaderSize + table.size();
    const qint64 imageSize = stride * height;
    QByteArray bytes(bitsOffset + imageSize, '\0');
    auto* bmp = reinterpret_cast<uchar*>(bytes.data());
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(quint32(bytes.size()), bmp + 2);
    qToLittleEndian<quint32>(quint32(bitsOffset), bmp + 10);
    uchar* info = bmp + FileHeaderSize;
    qToLittleEndian<quint32>(quint32(InfoHeaderSize), info);
    qToLittleEndian<qint32>(width, info + 4);
    qToLittleEndian<qint32>(height, info + 8);
    qToLittleEndian<quint16>(1, info + 12);
    qToLittleEndian<quint16>(quint16(depth), info + 14);
    qToLittleEndian<quint32>(quint32(imageSize), info + 20);
    qToLittleEndian<quint32>(quint32(table.size() / 4), info + 32);
    std::memcpy(bmp + FileHeaderSize + InfoHeaderSize, table.constData(), size_t(table.size()));
    return bytes;
}

// A bitmap row (as StoreRow leaves it) as blue, green, red and a full alpha a pixel.
void ExpandRow(const TLayout& layout, int width, const quint8* row, const QByteArray& table,
               quint8* out) {
    const auto* colours = reinterpret_cast<const quint8*>(table.constData());
    for (int x = 0; x < width; ++x, out += 4) {
        int index = 0;
        switch (layout.Depth) {
        case 24:
            std::memcpy(out, row + x * 3, 3);
            out[3] = 255;
            continue;
        case 8:
            index = row[x];
            break;
        case 4:
            index = (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
            break;
        default:
            index = (row[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        }
        std::memcpy(out, colours + index * 4, 3);
        out[3] = 255;
    }
}

TBitmapData Decode(TBufferedStream& stream, QSize reduced) {
    const THeader header = ReadHeader(stream);
    const QSize pixels(header.Width, header.Height);
    const bool reducing = !reduced.isEmpty() && (reduced.width() < header.Width ||
                                                 reduced.height() < header.Height);
    const TLayout layout = LayoutOf(header);

    QByteArray table;
    qint64 dataBytes = stream.Size() - HeaderSize;
    if (layout.Colours == 2) {
        static const quint8 blackWhite[6] = {0, 0, 0, 255, 255, 255};
        table = ColourTable(blackWhite, 2);
    } else if (layout.Colours == 16) {
        table = ColourTable(header.ColourMap.data(), 16);
    } else if (layout.Colours == 256) {
        table = ReadTrailingPalette(stream);
        dataBytes -= PaletteSize;
    }

    // Each line of each plane needs at least one encoded byte per 63 bytes it produces, so a
    // header that promises more lines than the data can hold is refused before allocating.
    const qint64 planeLines = qint64(header.Height) * layout.PlanesInFile;
    if (planeLines * ((header.BytesPerLine + MaxRun - 1) / MaxRun) > dataBytes) throw EPcxError();
    if (!reducing && qint64(header.Width) * header.Height > LargestPicturePixels)
        throw EPcxTooLarge(pixels);

    // Reduced, the picture becomes 24 bits a pixel and only one source row is held.
    const QSize target = reducing ? WithinPictureLimit(reduced.boundedTo(pixels)) : pixels;
    const int depth = reducing ? 24 : layout.Depth;
    const qint64 stride = reducing ? (qint64(target.width()) * 3 + 3) / 4 * 4 : layout.Stride;
    qint64 bitsOffset = 0;
    TBitmapData bitmap;
    bitmap.Bytes = NewBmp(target.width(), target.height(), depth, reducing ? QByteArray() : table,
                          stride, bitsOffset);
    uchar* bits = reinterpret_cast<uchar*>(bitmap.Bytes.data()) + bitsOffset;

    std::vector<quint8> sourceRow(reducing ? size_t(layout.Stride) : 0);
    std::vector<quint8> expanded(reducing ? size_t(header.Width) * 4 : 0);
    TRowReducer reducer(pixels, target, [&](int y, const quint8* bgra) {
        uchar* row = bits + (target.height() - 1 - y) * stride;
        for (int x = 0; x < target.width(); ++x) std::memcpy(row + x * 3, bgra + x * 4, 3);
    });

    // Only the planes the bitmap uses are kept; the others are decoded to stay in step.
    const int keptPlanes = layout.Depth == 24 ? 3 : layout.Depth == 4 ? 4 : 1;
    std::vector<quint8> line(size_t(keptPlanes) * header.BytesPerLine);
    std::vector<quint8> discard(layout.PlanesInFile > keptPlanes ? header.BytesPerLine : 0);
    TRunDecoder decoder(stream, dataBytes);
    for (int y = 0; y < header.Height; ++y) {
        for (int p = 0; p < layout.PlanesInFile; ++p) {
            quint8* out =
                p < keptPlanes ? line.data() + size_t(p) * header.BytesPerLine : discard.data();
            decoder.DecodeLine(out, header.BytesPerLine);
        }
        if (reducing) {
            std::fill(sourceRow.begin(), sourceRow.end(), 0);
            StoreRow(layout, header, line.data(), sourceRow.data());
            ExpandRow(layout, header.Width, sourceRow.data(), table, expanded.data());
            reducer.AddRow(expanded.data());
        } else {
            // The file's first line is the top row; the bitmap is stored bottom-up.
            StoreRow(layout, header, line.data(), bits + (header.Height - 1 - y) * stride);
        }
    }
    return bitmap;
}

TBitmapData ReadFrom(QIODevice& device, QSize reduced) {
    try {
        TBufferedStream stream(&device, TBufferedStream::TMode::Read);
        return Decode(stream, reduced);
    } catch (const EPcxError&) {
        throw;
    } catch (const Exception&) {
        throw EPcxError();
    }
}

} // namespace

TBitmapData ReadPcx(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) throw EPcxError();
    return ReadFrom(file, QSize());
}

TBitmapData ReadPcxBytes(const QByteArray& bytes, QSize reduced) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadFrom(buffer, reduced);
}
