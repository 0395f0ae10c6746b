#include "objects/ImageEdits.h"

#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using TToneTable = std::array<uchar, 256>;

TToneTable ToneTable(int brightness, int contrast) {
    brightness = std::clamp(brightness, -100, 100);
    contrast = std::clamp(contrast, -100, 100);
    const double factor = std::pow((100.0 + contrast) / 100.0, 2.0);
    const double offset = brightness * 255.0 / 100.0;
    TToneTable table{};
    for (int v = 0; v < 256; ++v) {
        const double value = (v - 127.5) * factor + 127.5 + offset;
        table[size_t(v)] = uchar(std::clamp(int(std::lround(value)), 0, 255));
    }
    return table;
}

QRgb Toned(QRgb color, const TToneTable& table) {
    return qRgba(table[size_t(qRed(color))], table[size_t(qGreen(color))],
                 table[size_t(qBlue(color))], qAlpha(color));
}

} // namespace

QImage RotatedQuarters(const QImage& image, int quarterTurns) {
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (turns == 0 || image.isNull()) return image;
    return image.transformed(QTransform().rotate(90.0 * turns));
}

QImage FlippedHorizontally(const QImage& image) {
    return image.mirrored(true, false);
}

QImage FlippedVertically(const QImage& image) {
    return image.mirrored(false, true);
}

QImage Cropped(const QImage& image, const QRect& pixels) {
    const QRect inside = pixels.normalized() & image.rect();
    if (inside.isEmpty()) return QImage();
    return image.copy(inside);
}

QImage AdjustedTone(const QImage& image, int brightness, int contrast) {
    if (image.isNull() || (brightness == 0 && contrast == 0)) return image;
    const TToneTable table = ToneTable(brightness, contrast);

    // Palette images change their colours only, so they stay small.
    if (image.colorCount() > 0 &&
        (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
         image.format() == QImage::Format_MonoLSB)) {
        QImage result = image.copy();
        QList<QRgb> colors = result.colorTable();
        for (QRgb& color : colors)
            color = Toned(color, table);
        result.setColorTable(colors);
        return result;
    }
    if (image.format() == QImage::Format_Grayscale8) {
        QImage result = image.copy();
        for (int y = 0; y < result.height(); ++y) {
            uchar* line = result.scanLine(y);
            for (int x = 0; x < result.width(); ++x)
                line[x] = table[line[x]];
        }
        return result;
    }

    const QImage::Format work =
        image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    QImage result = image.convertToFormat(work);
    if (result.constBits() == image.constBits()) result.detach();
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            line[x] = Toned(line[x], table);
    }
    // Grey 16-bit and the rare packed formats come back as 32 bits; the common ones keep theirs.
    switch (image.format()) {
    case QImage::Format_RGB888:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBX8888:
        return result.convertToFormat(image.format());
    default:
        return result;
    }
}

QRect FittedRect(QSize picture, const QRect& area) {
    if (picture.isEmpty() || area.isEmpty()) return {};
    const QSize size = picture.scaled(area.size(), Qt::KeepAspectRatio).expandedTo({1, 1});
    return QRect(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
}

QRect ViewToPicture(const QRect& view, const QRect& shown, QSize picture) {
    if (shown.isEmpty() || picture.isEmpty()) return {};
    const QRect r = view.normalized();
    const double sx = double(picture.width()) / shown.width();
    const double sy = double(picture.height()) / shown.height();
    const int left = int(std::floor((r.left() - shown.left()) * sx));
    const int top = int(std::floor((r.top() - shown.top()) * sy));
    const int right = int(std::ceil((r.left() + r.width() - shown.left()) * sx));
    const int bottom = int(std::ceil((r.top() + r.height() - shown.top()) * sy));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & QRect(QPoint(), picture);
}

QSize PrintReductionSize(QSize pixels, QSize units, int dotsPerInch) {
    if (pixels.isEmpty() || units.width() == 0 || units.height() == 0 || dotsPerInch <= 0)
        return {};
    const auto need = [dotsPerInch](int u) {
        return qint64(std::ceil(std::abs(qint64(u)) * double(dotsPerInch) / 100.0));
    };
    const qint64 needW = need(units.width());
    const qint64 needH = need(units.height());
    const qint64 w = pixels.width();
    const qint64 h = pixels.height();
    if (w * 2 <= needW * 3 || h * 2 <= needH * 3) return {};
    // The side that needs the larger share of its pixels decides the scale; the other side
    // follows the picture's proportions and so covers its own need.
    if (needW * h >= needH * w)
        return QSize(int(needW), int(std::max(needH, (h * needW + w / 2) / w)));
    return QSize(int(std::max(needW, (w * needH + h / 2) / h)), int(needH));
}
