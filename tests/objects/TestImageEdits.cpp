// The picture edits behind "Modify Picture" and the geometry of fitted previews and of the
// print reduction offered for oversized bitmaps.

#include "objects/ImageEdits.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// Every pixel its own colour: red = x, green = y.
QImage Numbered(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 10, y * 10, 0));
    return image.convertToFormat(format);
}

// The (x, y) an image pixel came from, read back from Numbered's colours.
QPoint Origin(const QImage& image, int x, int y) {
    const QRgb c = image.pixel(x, y);
    return {qRed(c) / 10, qGreen(c) / 10};
}

} // namespace

TEST(ImageEdits, TurnsAndFlipsMovePixelsWhereTheyBelong) {
    const QImage image = Numbered(3, 2);

    const QImage right = RotatedQuarters(image, 1);
    ASSERT_EQ(right.size(), QSize(2, 3));
    EXPECT_EQ(Origin(right, 0, 0), QPoint(0, 1)); // the bottom-left corner comes to the top
    EXPECT_EQ(Origin(right, 1, 0), QPoint(0, 0));
    EXPECT_EQ(Origin(right, 1, 2), QPoint(2, 0));

    const QImage left = RotatedQuarters(image, -1);
    ASSERT_EQ(left.size(), QSize(2, 3));
    EXPECT_EQ(Origin(left, 0, 0), QPoint(2, 0)); // the top-right corner comes to the top left
    EXPECT_EQ(Origin(left, 1, 2), QPoint(0, 1));
    EXPECT_EQ(RotatedQuarters(image, 3), left);
    EXPECT_EQ(RotatedQuarters(image, 2), FlippedVertically(FlippedHorizontally(image)));
    EXPECT_EQ(RotatedQuarters(image, -4), image);

    const QImage horizontal = FlippedHorizontally(image);
    EXPECT_EQ(Origin(horizontal, 0, 0), QPoint(2, 0));
    EXPECT_EQ(Origin(horizontal, 2, 1), QPoint(0, 1));
    const QImage vertical = FlippedVertically(image);
    EXPECT_EQ(Origin(vertical, 0, 0), QPoint(0, 1));
    EXPECT_EQ(Origin(vertical, 2, 0), QPoint(2, 1));

    // Palette pictures keep their colours through a turn.
    const QImage indexed = Numbered(3, 2, QImage::Format_Indexed8);
    const QImage turned = RotatedQuarters(indexed, 1);
    EXPECT_EQ(Origin(turned, 0, 0), QPoint(0, 1));
    EXPECT_EQ(Origin(turned, 1, 2), QPoint(2, 0));
}

TEST(ImageEdits, CropKeepsTheRectangleClippedToThePicture) {
    const QImage image = Numbered(10, 8);
    const QImage inside = Cropped(image, QRect(2, 3, 4, 2));
    ASSERT_EQ(inside.size(), QSize(4, 2));
    EXPECT_EQ(Origin(inside, 0, 0), QPoint(2, 3));
    EXPECT_EQ(Origin(inside, 3, 1), QPoint(5, 4));

    // Dragged past the edges: only what lies on the picture is kept.
    const QImage clipped = Cropped(image, QRect(-5, 5, 10, 20));
    ASSERT_EQ(clipped.size(), QSize(5, 3));
    EXPECT_EQ(Origin(clipped, 0, 0), QPoint(0, 5));

    EXPECT_TRUE(Cropped(image, QRect(10, 0, 5, 5)).isNull());
    EXPECT_TRUE(Cropped(image, QRect()).isNull());
}

TEST(ImageEdits, BrightnessAndContrastChangeColoursButNotAlpha) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(100, 100, 100, 128));
    image.setPixel(1, 0, qRgba(200, 20, 255, 255));

    EXPECT_EQ(AdjustedTone(image, 0, 0), image);

    const QImage brighter = AdjustedTone(image, 50, 0);
    EXPECT_EQ(brighter.pixel(0, 0), qRgba(228, 228, 228, 128)); // + half the range, rounded
    EXPECT_EQ(brighter.pixel(1, 0), qRgba(255, 148, 255, 255)); // clipped at white
    const QImage darker = AdjustedTone(image, -100, 0);
    EXPECT_EQ(darker.pixel(1, 0), qRgba(0, 0, 0, 255));

    const QImage flat = AdjustedTone(image, 0, -100);
    EXPECT_EQ(flat.pixel(0, 0), qRgba(128, 128, 128, 128));
    EXPECT_EQ(flat.pixel(1, 0), qRgba(128, 128, 128, 255));
    const QImage strong = AdjustedTone(image, 0, 100); // four times the distance from grey
    EXPECT_EQ(strong.pixel(0, 0), qRgba(18, 18, 18, 128));
    EXPECT_EQ(strong.pixel(1, 0), qRgba(255, 0, 255, 255));

    // Opaque pictures stay opaque and keep a 24-bit format.
    const QImage rgb = Numbered(4, 4, QImage::Format_RGB888);
    const QImage toned = AdjustedTone(rgb, 20, 10);
    EXPECT_EQ(toned.format(), QImage::Format_RGB888);
    EXPECT_FALSE(toned.hasAlphaChannel());
    EXPECT_NE(toned, rgb);
}

TEST(ImageEdits, PalettePicturesChangeOnlyTheirColourTable) {
    QImage image(3, 1, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(100, 100, 100), qRgb(255, 255, 255)});
    for (int x = 0; x < 3; ++x)
        image.setPixel(x, 0, uint(2 - x));
    const QImage toned = AdjustedTone(image, 50, 0);
    ASSERT_EQ(toned.format(), QImage::Format_Indexed8);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(toned.pixelIndex(x, 0), 2 - x);
    EXPECT_EQ(toned.color(1), qRgb(228, 228, 228));
    EXPECT_EQ(image.color(1), qRgb(100, 100, 100)); // the argument is left alone

    QImage gray(1, 1, QImage::Format_Grayscale8);
    gray.fill(100);
    EXPECT_EQ(qGray(AdjustedTone(gray, 50, 0).pixel(0, 0)), 228);
}

TEST(ImageEdits, FittedRectsAndSelectionsMapBetweenViewAndPicture) {
    EXPECT_EQ(FittedRect({400, 200}, QRect(0, 0, 100, 100)), QRect(0, 25, 100, 50));
    EXPECT_EQ(FittedRect({10, 40}, QRect(10, 10, 100, 100)), QRect(47, 10, 25, 100));
    EXPECT_EQ(FittedRect({50, 50}, QRect(0, 0, 200, 100)), QRect(50, 0, 100, 100)); // enlarged
    EXPECT_TRUE(FittedRect({}, QRect(0, 0, 10, 10)).isEmpty());
    // A very wide picture still takes at least a row of pixels.
    EXPECT_EQ(FittedRect({10000, 1}, QRect(0, 0, 100, 100)).height(), 1);

    // The view shows a 400 x 200 picture at a quarter of its size.
    const QRect shown(0, 25, 100, 50);
    const QSize picture(400, 200);
    EXPECT_EQ(ViewToPicture(QRect(0, 25, 50, 25), shown, picture), QRect(0, 0, 200, 100));
    EXPECT_EQ(ViewToPicture(QRect(50, 50, 50, 25), shown, picture), QRect(200, 100, 200, 100));
    // Selections reaching outside the picture are clipped to it.
    EXPECT_EQ(ViewToPicture(QRect(-20, 0, 40, 200), shown, picture), QRect(0, 0, 80, 200));
    EXPECT_TRUE(ViewToPicture(QRect(0, 0, 10, 10), shown, picture).isEmpty());
}

TEST(ImageEdits, PrintReductionCoversThePrintNeedWithTheSameProportions) {
    // 2 by 1 inches at 300 dpi needs 600 x 300; the width share (0.2) decides.
    EXPECT_EQ(PrintReductionSize({3000, 2000}, {200, 100}), QSize(600, 400));
    // 1 inch square needs 300 x 300; the height share decides.
    EXPECT_EQ(PrintReductionSize({1200, 900}, {100, 100}), QSize(400, 300));
    // Flipped rectangles count by their size.
    EXPECT_EQ(PrintReductionSize({1200, 900}, {-100, -100}), QSize(400, 300));
    // Only more than one and a half times the need on both sides is worth a question.
    EXPECT_TRUE(PrintReductionSize({450, 450}, {100, 100}).isEmpty());
    EXPECT_EQ(PrintReductionSize({451, 451}, {100, 100}), QSize(300, 300));
    EXPECT_TRUE(PrintReductionSize({4000, 400}, {100, 100}).isEmpty());
    // Another resolution; sizes not in whole inches round the need up.
    EXPECT_EQ(PrintReductionSize({1000, 1000}, {101, 101}, 150), QSize(152, 152));
    EXPECT_TRUE(PrintReductionSize({1000, 1000}, {0, 100}).isEmpty());
    EXPECT_TRUE(PrintReductionSize({}, {100, 100}).isEmpty());
}
