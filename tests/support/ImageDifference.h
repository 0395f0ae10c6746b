#pragma once

#include <QImage>
#include <QString>

#include <string>

// Empty when both images have the same size and pixels once converted to `format`, else where
// they first differ. (A premultiplied format makes transparent pixels equal whatever colour
// they hide.)
inline std::string ImageDifference(const QImage& a, const QImage& b,
                                   QImage::Format format = QImage::Format_ARGB32) {
    if (a.size() != b.size()) return "sizes differ";
    const QImage x = a.convertToFormat(format);
    const QImage y = b.convertToFormat(format);
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            if (x.pixel(col, row) != y.pixel(col, row))
                return QStringLiteral("(%1, %2): %3 instead of %4")
                    .arg(col)
                    .arg(row)
                    .arg(x.pixel(col, row), 8, 16)
                    .arg(y.pixel(col, row), 8, 16)
                    .toStdString();
    return {};
}
