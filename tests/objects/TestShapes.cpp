// Drawing of combs, ellipses, rounded rectangles and lines, checked pixel by pixel; the line's
// hit test and geometry.

#include "document/Canvas.h"
#include "document/Card.h"
#include "objects/Comb.h"
#include "objects/Ellipse.h"
#include "objects/Line.h"
#include "objects/RoundedRectangle.h"
#include "support/DocumentFixtures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Yellow = 0xFFFFFF00;
constexpr QRgb Blue = 0xFF0000FF;

// 100 pixels per inch: document units, logical pixels and device pixels of a 100-dpi
// canvas all coincide, so rectangles read the same in each.
class ShapeTest : public testing::Test {
protected:
    TTestContext Test{100};

    // The object painted on a white image through a canvas of the resolution.
    static QImage Render(TCardObject& object, QSize size, int dpi = 100) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(White);
        QPainter painter(&image);
        TCanvas canvas(painter, dpi, dpi, TCanvas::TKind::Image);
        object.Paint(canvas, 0, 0, false);
        return image;
    }

    // The outline as the editing window draws it: a black cosmetic pen, no brush.
    static QImage RenderOutline(const TCardObject& object, QSize size, QPoint offset) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(White);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::NoBrush);
        object.DrawOutline(painter, offset.x(), offset.y());
        return image;
    }

    static int Count(const QImage& image, const QRect& area, QRgb color) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixel(x, y) == color ? 1 : 0;
        return count;
    }

    static int FirstInRow(const QImage& image, int y, QRgb color) {
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color) return x;
        return -1;
    }
    static int LastInRow(const QImage& image, int y, QRgb color) {
        for (int x = image.width() - 1; x >= 0; --x)
            if (image.pixel(x, y) == color) return x;
        return -1;
    }
    static int FirstInColumn(const QImage& image, int x, QRgb color) {
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) == color) return y;
        return -1;
    }
    static int LastInColumn(const QImage& image, int x, QRgb color) {
        for (int y = image.height() - 1; y >= 0; --y)
            if (image.pixel(x, y) == color) return y;
        return -1;
    }
};

// A transparent comb with a black 1-pixel line on the rectangle (10, 10) - (110, 50).
std::unique_ptr<TCombObject> Comb(quint8 style, bool edge, quint8 spaces) {
    auto comb = std::make_unique<TCombObject>();
    comb->Bounds = {10, 10, 110, 50};
    comb->ClearFill = true;
    comb->FillColor = 11;
    comb->BorderColor = 0;
    comb->BorderSize = 1;
    comb->CombStyle = style;
    comb->CombEdge = edge;
    comb->Spaces = spaces;
    return comb;
}

} // namespace

// Combs.

TEST_F(ShapeTest, UpCombHasEvenTeethOnABottomBaseLine) {
    auto comb = Comb(TCombObject::csUp, true, 5);
    const QImage image = Render(*comb, {130, 70});
    // Teeth at L + 20, 40, 60, 80, running the full height and nowhere else.
    for (int x : {30, 50, 70, 90}) {
        EXPECT_EQ(image.pixel(x, 11), Black) << x;
        EXPECT_EQ(image.pixel(x, 30), Black) << x;
        EXPECT_EQ(image.pixel(x, 49), Black) << x;
        EXPECT_EQ(image.pixel(x - 1, 30), White) << x;
        EXPECT_EQ(image.pixel(x + 1, 30), White) << x;
    }
    // The edge stroke: up the left side, along the bottom, up the right side; no top line.
    EXPECT_EQ(image.pixel(10, 30), Black);
    EXPECT_EQ(image.pixel(110, 30), Black);
    for (int x : {15, 40, 65, 100})
        EXPECT_EQ(image.pixel(x, 50), Black) << x;
    for (int x : {15, 40, 65, 100})
        EXPECT_EQ(image.pixel(x, 10), White) << x;
    // The inside of the boxes stays transparent.
    EXPECT_EQ(image.pixel(20, 30), White);
    EXPECT_EQ(image.pixel(9, 30), White);
    EXPECT_EQ(image.pixel(111, 30), White);
}

TEST_F(ShapeTest, CombWithoutEdgeHasOnlyItsBaseLineAndInnerTeeth) {
    auto comb = Comb(TCombObject::csUp, false, 5);
    const QImage image = Render(*comb, {130, 70});
    EXPECT_EQ(image.pixel(10, 30), White);
    EXPECT_EQ(image.pixel(110, 30), White);
    EXPECT_EQ(image.pixel(60, 50), Black);
    EXPECT_EQ(image.pixel(30, 30), Black);
    EXPECT_EQ(image.pixel(90, 30), Black);
}

TEST_F(ShapeTest, EveryStylePointsItsTeethItsOwnWay) {
    struct Case {
        quint8 Style;
        std::vector<QPoint> Lines; // on the base line, the end teeth or the inner teeth
        std::vector<QPoint> Open;  // the open side and the box insides
    };
    // Rectangle (10, 10) - (110, 50), 5 spaces: teeth at x = 30, 50, 70, 90 across, or
    // y = 18, 26, 34, 42 along the height.
    const Case cases[] = {
        {TCombObject::csUp,
         {{60, 50}, {10, 30}, {110, 30}, {30, 30}, {90, 30}},
         {{60, 10}, {20, 30}, {60, 30}}},
        {TCombObject::csDown,
         {{60, 10}, {10, 30}, {110, 30}, {30, 30}, {90, 30}},
         {{60, 50}, {20, 30}, {60, 30}}},
        {TCombObject::csLeft,
         {{110, 30}, {60, 10}, {60, 50}, {60, 18}, {60, 42}},
         {{10, 30}, {60, 22}, {60, 30}}},
        {TCombObject::csRight,
         {{10, 30}, {60, 10}, {60, 50}, {60, 18}, {60, 26}, {60, 34}, {60, 42}},
         {{110, 30}, {60, 22}, {60, 30}}},
    };
    for (const Case& c : cases) {
        auto comb = Comb(c.Style, true, 5);
        const QImage image = Render(*comb, {130, 70});
        for (QPoint p : c.Lines)
            EXPECT_EQ(image.pixel(p), Black) << int(c.Style) << " at " << p.x() << "," << p.y();
        for (QPoint p : c.Open)
            EXPECT_EQ(image.pixel(p), White) << int(c.Style) << " at " << p.x() << "," << p.y();
    }
}

TEST_F(ShapeTest, CombTeethPositionsRoundToTheNearestPixel) {
    // 100 / 7: 14.3, 28.6, 42.9, 57.1, 71.4, 85.7 -> 14, 29, 43, 57, 71, 86.
    auto comb = Comb(TCombObject::csUp, false, 7);
    const QImage image = Render(*comb, {130, 70});
    for (int offset : {14, 29, 43, 57, 71, 86}) {
        EXPECT_EQ(image.pixel(10 + offset, 30), Black) << offset;
        EXPECT_EQ(image.pixel(10 + offset - 1, 30), White) << offset;
        EXPECT_EQ(image.pixel(10 + offset + 1, 30), White) << offset;
    }
    // One space with end teeth is a single box.
    comb = Comb(TCombObject::csUp, true, 1);
    const QImage single = Render(*comb, {130, 70});
    EXPECT_EQ(Count(single, QRect(11, 20, 99, 1), Black), 0);
    EXPECT_EQ(single.pixel(10, 20), Black);
    EXPECT_EQ(single.pixel(110, 20), Black);
}

TEST_F(ShapeTest, CombFillsItsBackgroundAndScalesToTheDevice) {
    auto comb = Comb(TCombObject::csUp, true, 5);
    comb->ClearFill = false;
    comb->FillColor = 11; // yellow
    comb->BorderColor = 9;
    comb->BorderSize = 1;
    QImage image = Render(*comb, {130, 70});
    EXPECT_EQ(image.pixel(20, 30), Yellow);
    EXPECT_EQ(image.pixel(30, 30), Red);
    EXPECT_EQ(image.pixel(9, 30), White);

    // Without a line only the background is drawn.
    comb->BorderSize = 0;
    image = Render(*comb, {130, 70});
    EXPECT_EQ(image.pixel(30, 30), Yellow);
    EXPECT_EQ(Count(image, image.rect(), Red), 0);

    // At 200 dpi everything doubles, the line width included.
    comb->BorderSize = 1;
    image = Render(*comb, {260, 140}, 200);
    EXPECT_EQ(image.pixel(40, 60), Yellow);
    EXPECT_EQ(Count(image, QRect(50, 60, 30, 1), Red), 2); // the tooth at x = 60
    EXPECT_EQ(image.pixel(100, 61), Red);
    EXPECT_EQ(image.pixel(140, 61), Red);
}

TEST_F(ShapeTest, CombBoundsLeaveRoomForHalfTheLine) {
    auto comb = Comb(TCombObject::csUp, true, 5);
    comb->BorderSize = 6; // MulDiv(6, 96, 144) = 4
    EXPECT_EQ(comb->GetBounds(), (TRect{6, 6, 114, 54}));
    comb->BorderSize = 1; // 0.67 rounds to 1
    EXPECT_EQ(comb->GetBounds(), (TRect{9, 9, 111, 51}));
}

// Ellipses and rounded rectangles.

TEST_F(ShapeTest, EllipseIsInscribedWithItsBorderInside) {
    TEllipseObject ellipse;
    ellipse.Bounds = {10, 10, 110, 60};
    ellipse.FillColor = 12; // blue
    ellipse.BorderColor = 9;
    ellipse.BorderSize = 2;
    QImage image = Render(ellipse, {130, 80});
    EXPECT_EQ(image.pixel(60, 35), Blue);
    EXPECT_EQ(image.pixel(12, 12), White); // the rectangle's corner is outside
    EXPECT_EQ(image.pixel(10, 35), Red);   // the border touches the rectangle's sides
    EXPECT_EQ(image.pixel(109, 35), Red);
    EXPECT_EQ(image.pixel(60, 10), Red);
    EXPECT_EQ(image.pixel(60, 59), Red);
    EXPECT_EQ(image.pixel(9, 35), White);
    EXPECT_EQ(image.pixel(110, 35), White);
    EXPECT_EQ(image.pixel(60, 60), White);
    EXPECT_EQ(image.pixel(14, 35), Blue);

    // Border 0: no pen at all, the fill reaches the edge.
    ellipse.BorderColor = 0;
    ellipse.BorderSize = 0;
    image = Render(ellipse, {130, 80});
    EXPECT_EQ(Count(image, image.rect(), Black), 0);
    EXPECT_EQ(image.pixel(10, 35), Blue);
    EXPECT_EQ(image.pixel(109, 35), Blue);
    EXPECT_EQ(image.pixel(60, 58), Blue);
    EXPECT_EQ(image.pixel(12, 12), White);

    // A clear fill leaves the inside alone.
    ellipse.ClearFill = true;
    ellipse.BorderColor = 9;
    ellipse.BorderSize = 1;
    image = Render(ellipse, {130, 80});
    EXPECT_EQ(image.pixel(60, 35), White);
    EXPECT_EQ(image.pixel(10, 35), Red);
}

TEST_F(ShapeTest, RoundedRectangleCornersAreHalfTheSize) {
    // 200 x 100: corner ellipses of 100 x 50, radii 50 and 25.
    TRRectangleObject shape;
    shape.Bounds = {10, 10, 210, 110};
    shape.FillColor = 12;
    shape.BorderColor = 0;
    shape.BorderSize = 0;
    const QImage image = Render(shape, {230, 130});
    EXPECT_EQ(Count(image, image.rect(), Black), 0); // no pen at border 0
    // (8, 4) from a corner is outside corners of radii 50 x 25 but inside smaller ones;
    // (20, 10) is inside them but outside radii of 100 x 50.
    EXPECT_EQ(image.pixel(10 + 8, 10 + 4), White);
    EXPECT_EQ(image.pixel(10 + 20, 10 + 10), Blue);
    EXPECT_EQ(image.pixel(209 - 8, 109 - 4), White);
    EXPECT_EQ(image.pixel(209 - 20, 109 - 10), Blue);
    EXPECT_EQ(image.pixel(209 - 8, 10 + 4), White);
    EXPECT_EQ(image.pixel(10 + 8, 109 - 4), White);
    // The straight parts reach the rectangle's sides.
    EXPECT_EQ(image.pixel(110, 10), Blue);
    EXPECT_EQ(image.pixel(10, 60), Blue);
    EXPECT_EQ(image.pixel(110, 110), White);

    shape.BorderColor = 9;
    shape.BorderSize = 2;
    const QImage bordered = Render(shape, {230, 130});
    EXPECT_EQ(bordered.pixel(110, 10), Red);
    EXPECT_EQ(bordered.pixel(110, 11), Red);
    EXPECT_EQ(bordered.pixel(110, 12), Blue);
    EXPECT_EQ(bordered.pixel(10 + 8, 10 + 4), White);
}

TEST_F(ShapeTest, OutlinesFollowTheFigureAndTheOffset) {
    TEllipseObject ellipse;
    ellipse.Bounds = {0, 0, 100, 50};
    QImage image = RenderOutline(ellipse, {140, 100}, {20, 30});
    // Within the pixels (20, 30) - (119, 79), touching all four sides.
    EXPECT_EQ(FirstInRow(image, 54, Black), 20);
    EXPECT_EQ(LastInRow(image, 54, Black), 119);
    EXPECT_EQ(FirstInColumn(image, 70, Black), 30);
    EXPECT_EQ(LastInColumn(image, 70, Black), 79);
    EXPECT_EQ(image.pixel(21, 31), White);
    EXPECT_EQ(image.pixel(70, 54), White); // only the outline

    TRRectangleObject rounded;
    rounded.Bounds = {0, 0, 100, 50};
    image = RenderOutline(rounded, {140, 100}, {20, 30});
    EXPECT_EQ(image.pixel(20, 54), Black);
    EXPECT_EQ(image.pixel(119, 54), Black);
    EXPECT_EQ(image.pixel(70, 30), Black);
    EXPECT_EQ(image.pixel(70, 79), Black);
    // Corner radii of 25 x 12.5: the arc reaches the top row about 16 pixels in (8 for
    // radii half as large, 0 for none, 30 for radii twice as large).
    const int first = FirstInRow(image, 30, Black);
    EXPECT_GE(first, 20 + 12);
    EXPECT_LE(first, 20 + 20);
    EXPECT_EQ(LastInRow(image, 30, Black), 119 - (first - 20));
    EXPECT_EQ(image.pixel(20, 30), White);
    EXPECT_EQ(Count(image, QRect(0, 0, 140, 30), Black), 0);
    EXPECT_EQ(Count(image, QRect(0, 0, 20, 100), Black), 0);
}

// Lines.

TEST_F(ShapeTest, PatternedLinesLeaveTheirGapsTransparent) {
    TLineObject line;
    line.Bounds = {10, 20, 190, 20};
    line.LineStyle = 2; // dot
    line.LineWidth = 1;
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Red);
    {
        QPainter painter(&image);
        // Whatever the painter was left with, the gaps show what lies beneath.
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::white);
        TCanvas canvas(painter, 100, 100, TCanvas::TKind::Image);
        line.Paint(canvas, 0, 0, false);
    }
    const QRect row(12, 20, 170, 1);
    EXPECT_GT(Count(image, row, Black), 20);
    EXPECT_GT(Count(image, row, Red), 20);
    EXPECT_EQ(Count(image, image.rect(), White), 0);
}

TEST_F(ShapeTest, LineWidthIsInPointsAtTheDeviceResolution) {
    TLineObject line;
    line.Bounds = {0, 50, 100, 50};
    line.LineColor = 12;
    line.LineWidth = 9;
    // 9 points: 18 pixels at 144 dpi, 9 at 72 dpi; 0 is the thinnest pen.
    QImage image = Render(line, {150, 150}, 144);
    EXPECT_EQ(Count(image, QRect(72, 0, 1, 150), Blue), 18);
    image = Render(line, {150, 150}, 72);
    EXPECT_EQ(Count(image, QRect(36, 0, 1, 150), Blue), 9);
    line.LineWidth = 0;
    image = Render(line, {150, 150}, 144);
    EXPECT_EQ(Count(image, QRect(72, 0, 1, 150), Blue), 1);
    // From the top-left corner to the bottom-right one, whatever the corner order.
    line.LineWidth = 1;
    line.Bounds = {100, 10, 10, 100};
    image = Render(line, {120, 120});
    EXPECT_EQ(image.pixel(55, 55), Blue);
    EXPECT_EQ(image.pixel(99, 11), Blue);
    EXPECT_EQ(image.pixel(11, 11), White);
}

TEST_F(ShapeTest, LineHitsWithinItsTolerance) {
    TLineObject line;
    line.Bounds = {100, 100, 300, 100};
    line.LineWidth = 1;
    EXPECT_TRUE(line.HitTest({200, 106}));
    EXPECT_FALSE(line.HitTest({200, 107}));
    EXPECT_TRUE(line.HitTest({200, 94}));
    EXPECT_FALSE(line.HitTest({200, 93}));
    EXPECT_TRUE(line.HitTest({306, 100}));
    EXPECT_FALSE(line.HitTest({307, 100}));
    EXPECT_TRUE(line.HitTest({94, 100}));
    EXPECT_FALSE(line.HitTest({93, 100}));
    line.LineWidth = 0;
    EXPECT_TRUE(line.HitTest({200, 106}));
    EXPECT_FALSE(line.HitTest({200, 107}));
    line.LineWidth = 4; // 4 div 2 is below the minimum of 6
    EXPECT_FALSE(line.HitTest({200, 107}));
    line.LineWidth = 20;
    EXPECT_TRUE(line.HitTest({200, 110}));
    EXPECT_FALSE(line.HitTest({200, 111}));

    // Oblique: within the tolerance of some pixel of the line in x and in y, so a diagonal
    // reaches twice as far straight across.
    line.LineWidth = 1;
    line.Bounds = {0, 0, 100, 100};
    EXPECT_TRUE(line.HitTest({50, 62}));
    EXPECT_TRUE(line.HitTest({62, 50}));
    EXPECT_FALSE(line.HitTest({50, 63}));
    EXPECT_FALSE(line.HitTest({80, 20}));
}

TEST_F(ShapeTest, OnlyStraightLinesHaveAMinimumLength) {
    TLineObject line;
    line.SetBounds({100, 100, 100, 110});
    EXPECT_EQ(line.Bounds, (TRect{100, 100, 100, 126}));
    line.SetBounds({100, 110, 100, 100}); // drawn upwards: the lower end moves down
    EXPECT_EQ(line.Bounds, (TRect{100, 126, 100, 100}));
    line.SetBounds({100, 100, 90, 100});
    EXPECT_EQ(line.Bounds, (TRect{116, 100, 90, 100}));
    line.SetBounds({100, 100, 110, 105});
    EXPECT_EQ(line.Bounds, (TRect{100, 100, 110, 105}));
    line.SetBounds({100, 100, 140, 100});
    EXPECT_EQ(line.Bounds, (TRect{100, 100, 140, 100}));
}

TEST_F(ShapeTest, LineKeepsItsDirectionThroughSaveAndLoad) {
    TCard card(0, 0);
    auto* line = new TLineObject();
    line->SetBounds({300, 200, 100, 50}); // from lower right to upper left
    line->LineStyle = 4;
    line->LineWidth = 7;
    line->LineColor = 13;
    card.Pages(0)->Panels(0)->AddObject(line);
    const std::unique_ptr<TCard> copy = Reloaded(card);
    const auto* loaded = dynamic_cast<const TLineObject*>(copy->Pages(0)->Panels(0)->Items(0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Bounds, (TRect{300, 200, 100, 50}));
    EXPECT_EQ(loaded->LineStyle, 4);
    EXPECT_EQ(loaded->LineWidth, 7);
    EXPECT_EQ(loaded->LineColor, 13);

    line->ExchangeEnds();
    EXPECT_EQ(line->Bounds, (TRect{100, 50, 300, 200}));
}
