#pragma once

// Bitmaps past the decoding limit, made row by row as the BMP bytes documents keep.

#include "support/BmpBytes.h"

#include <QByteArray>
#include <QColor>

#include <cstring>

// The colours of the bands, left to right.
inline const QRgb BandColours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};

// An 8-bit BMP of four vertical bands a quarter of the width each (BandColours); with
// `topRed` the top half of the picture is red all across instead, to tell top from bottom.
inline QByteArray BandedBmp(int width, int height, bool topRed = false) {
    const qint64 stride = BmpStride(width, 8);
    const qint64 bits = BmpPixelOffset(256);
    QByteArray b = BmpBytes(width, height, 8, 256, 4);
    auto* p = reinterpret_cast<uchar*>(b.data());
    for (int i = 0; i < 4; ++i) {
        p[54 + i * 4] = uchar(qBlue(BandColours[i]));
        p[54 + i * 4 + 1] = uchar(qGreen(BandColours[i]));
        p[54 + i * 4 + 2] = uchar(qRed(BandColours[i]));
    }
    QByteArray row(width, '\0');
    for (int x = 0; x < width; ++x) row[x] = char(qint64(x) * 4 / width);
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up; red is colour 0, which the rows already hold.
        const bool top = y >= height / 2;
        if (!(topRed && top)) std::memcpy(p + bits + stride * y, row.constData(), size_t(width));
    }
    return b;
}
