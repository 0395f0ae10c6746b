#include "objects/LetterMask.h"

#include <gtest/gtest.h>

namespace {

// A 6x4 mask: a wholly covered 2x2 square at (1,1) and one half-covered pixel at (4,2).
TLetterMask SquareMask() {
    QImage coverage(6, 4, QImage::Format_Alpha8);
    coverage.fill(0);
    for (int y = 1; y <= 2; ++y)
        for (int x = 1; x <= 2; ++x) coverage.scanLine(y)[x] = 255;
    coverage.scanLine(2)[4] = 128;
    return TLetterMask(coverage);
}

QImage WhitePicture() {
    QImage picture(6, 4, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    return picture;
}

TEST(LetterMask, LaysTheColourWhereCoveredAndBlendsPartialCoverage) {
    QImage picture = WhitePicture();
    SquareMask().Lay(picture, QPoint(), QColor(Qt::red));
    EXPECT_EQ(picture.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(3, 1), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(4, 2), qRgb(255, 127, 127)); // half red over white
}

TEST(LetterMask, MovedCopiesAreCutOffAtEveryEdge) {
    const TLetterMask mask = SquareMask();
    for (const QPoint shift : {QPoint(4, 0), QPoint(-2, -1), QPoint(0, 3), QPoint(-7, 0)}) {
        SCOPED_TRACE(std::to_string(shift.x()) + "," + std::to_string(shift.y()));
        QImage picture = WhitePicture();
        mask.Lay(picture, shift, QColor(Qt::blue));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const int mx = x - shift.x(), my = y - shift.y();
                const bool covered = mx >= 1 && mx <= 2 && my >= 1 && my <= 2;
                const bool half = mx == 4 && my == 2;
                const QRgb expected = covered ? qRgb(0, 0, 255)
                                      : half  ? qRgb(127, 127, 255)
                                              : qRgb(255, 255, 255);
                EXPECT_EQ(picture.pixel(x, y), expected) << x << "," << y;
            }
    }
}

TEST(LetterMask, ColourByPositionIsAskedForThePicturePixel) {
    QImage picture = WhitePicture();
    SquareMask().Lay(picture, QPoint(1, 0), [](int x, int y) { return qRgb(x * 10, y * 10, 0); });
    EXPECT_EQ(picture.pixel(2, 1), qRgb(20, 10, 0));
    EXPECT_EQ(picture.pixel(3, 2), qRgb(30, 20, 0));
}

} // namespace
