#pragma once

// BMP files built byte by byte, as documents keep their bitmaps: the file header, a 40-byte
// information header, room for a palette and bottom-up rows padded to four bytes. The pixels
// (and the palette) start zeroed; callers fill what they need.

#include <QByteArray>
#include <QtEndian>

// The bytes of one row of pixels in the file.
inline qint64 BmpStride(int width, int bitsPerPixel) {
    return (qint64(width) * bitsPerPixel + 31) / 32 * 4;
}

// The offset of the first row: after the headers and paletteEntries four-byte entries.
inline qint64 BmpPixelOffset(int paletteEntries = 0) {
    return 14 + 40 + 4 * qint64(paletteEntries);
}

// coloursUsed: the palette entries the picture uses (0: all of them, the header's default).
inline QByteArray BmpBytes(int width, int height, int bitsPerPixel = 24, int paletteEntries = 0,
                           int coloursUsed = 0) {
    const qint64 offset = BmpPixelOffset(paletteEntries);
    QByteArray bmp(offset + BmpStride(width, bitsPerPixel) * height, '\0');
    auto* p = reinterpret_cast<uchar*>(bmp.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(bmp.size()), p + 2);
    qToLittleEndian<quint32>(quint32(offset), p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22); // positive: bottom-up
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(quint16(bitsPerPixel), p + 28);
    qToLittleEndian<quint32>(quint32(coloursUsed), p + 46);
    return bmp;
}
