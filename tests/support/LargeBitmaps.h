#pragma once

// Bitmaps past the decoding limit, made row by row as the BMP bytes documents keep.

#include <QByteArray>
#include <QColor>
#include <QtEndian>

#include <cstring>

// The colours of the bands, left to right.
inline const QRgb BandColours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};

// An 8-bit BMP of four vertical bands a quarter of the width each (BandColours); with
// `topRed` the top half of the picture is red all across instead, to tell top from bottom.
inline QByteArray BandedBmp(int width, int height, bool topRed = false) {
    const qint64 stride = (qint64(width) + 3) / 4 * 4;
    const qint64 bits = 14 + 40 + 256 * 4;
    QByteArray b(bits + stride * height, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(b.size()), p + 2);
    qToLittleEndian<quint32>(quint32(bits), p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22); // bottom-up
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(8, p + 28);
    qToLittleEndian<quint32>(4, p + 46);
    for (int i = 0; i < 4; ++i) {
        p[54 + i * 4] = uchar(qBlue(BandColours[i]));
        p[54 + i * 4 + 1] = uchar(qGreen(BandColours[i]));
        p[54 + i * 4 + 2] = uchar(qRed(BandColours[i]));
    }
    QByteArray row(width, '\0');
    for (int x = 0; x < width; ++x) row[x] = char(qint64(x) * 4 / width);
    const QByteArray red(width, '\0');
    for (int y = 0; y < height; ++y) {
        const bool top = y >= height / 2; // rows are stored bottom-up
        std::memcpy(p + bits + stride * y, (topRed && top ? red : row).constData(),
                    size_t(width));
    }
    return b;
}
