#include "document/AppContext.h"
#include "document/Units.h"
#include "editor/QDXWin.h"
#include "editor/RulerTicks.h"

#include <QImage>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

class SurfaceTest : public testing::Test {
protected:
    SurfaceTest() {
        ctx.ScreenPixelsPerInch = 96;
        ctx.Metric = false;
    }

    static void Show(QWidget& widget, QSize size) {
        widget.resize(size);
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        QCoreApplication::processEvents();
    }

    TAppContext ctx;
    TAppContextScope scope{ctx};
};

// Records the paint regions a widget receives.
class TPaintSpy : public QObject {
public:
    explicit TPaintSpy(QWidget* widget) { widget->installEventFilter(this); }
    std::vector<QRegion> Regions;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            Regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
};

QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image);
    return image;
}

} // namespace

TEST_F(SurfaceTest, ZoomIsClampedAndLimitsStayOrdered) {
    TZoomableCanvas canvas;
    int zoomed = 0;
    QObject::connect(&canvas, &TZoomableCanvas::Zoomed, [&] { ++zoomed; });

    canvas.SetZoomFactor(10);
    EXPECT_EQ(canvas.ZoomFactor(), 25);
    canvas.SetZoomFactor(500);
    EXPECT_EQ(canvas.ZoomFactor(), 400);
    EXPECT_EQ(zoomed, 2);
    canvas.SetZoomFactor(400);
    EXPECT_EQ(zoomed, 2) << "no change, no signal";

    canvas.SetMaxZoomFactor(150);
    EXPECT_EQ(canvas.ZoomFactor(), 150);
    canvas.SetMinZoomFactor(300); // above the maximum: pinned to it
    EXPECT_EQ(canvas.MinZoomFactor(), 150);
    canvas.SetMaxZoomFactor(50); // below the minimum: pinned to it
    EXPECT_EQ(canvas.MaxZoomFactor(), 150);
    canvas.SetMinZoomFactor(40);
    canvas.SetMaxZoomFactor(60);
    EXPECT_EQ(canvas.ZoomFactor(), 60);

    canvas.SetMinZoomFactor(0); // would divide by zero
    canvas.SetZoomFactor(0);
    EXPECT_EQ(canvas.ZoomFactor(), 1);
}

TEST_F(SurfaceTest, ScrollRangeScalesWithZoomForTheSameExtent) {
    TZoomableCanvas canvas;
    Show(canvas, {200, 150});
    canvas.SetHorizontalExtent(1000);
    canvas.SetVerticalExtent(800);
    for (int zoom : {100, 50, 200, 100}) {
        canvas.SetZoomFactor(zoom);
        QCoreApplication::processEvents(); // scroll bars come and go after a range change
        const QScrollBar* horz = canvas.horizontalScrollBar();
        const QScrollBar* vert = canvas.verticalScrollBar();
        EXPECT_EQ(horz->maximum() + canvas.viewport()->width(), MulDiv(1000, zoom, 100)) << zoom;
        EXPECT_EQ(vert->maximum() + canvas.viewport()->height(), MulDiv(800, zoom, 100)) << zoom;
        EXPECT_EQ(canvas.HorizontalExtent(), 1000);
    }
}

TEST_F(SurfaceTest, MouseArrivesInLogicalPixelsAtAnyZoomAndScroll) {
    TZoomableCanvas canvas;
    Show(canvas, {200, 200});
    canvas.SetHorizontalExtent(2000);
    canvas.SetVerticalExtent(2000);
    QStringList seen;
    auto record = [&](const char* what) {
        return [&seen, what](auto buttons, Qt::KeyboardModifiers modifiers, QPoint p) {
            const char* keys = modifiers == Qt::ShiftModifier ? "shift"
                               : modifiers == Qt::AltModifier ? "alt"
                               : modifiers                    ? "other"
                                                              : "none";
            seen << QStringLiteral("%1 %2 %3 %4,%5")
                        .arg(what)
                        .arg(int(buttons))
                        .arg(keys)
                        .arg(p.x())
                        .arg(p.y());
        };
    };
    QObject::connect(&canvas, &TZoomableCanvas::MousePressed, record("press"));
    QObject::connect(&canvas, &TZoomableCanvas::MouseMoved, record("move"));
    QObject::connect(&canvas, &TZoomableCanvas::MouseReleased, record("release"));
    QObject::connect(&canvas, &TZoomableCanvas::MouseDoubleClicked, record("double"));
    QWidget* viewport = canvas.viewport();

    struct TCase {
        int Zoom;
        QPoint Scroll, Device;
        QString Logical;
    };
    // A device pixel belongs to the logical pixel painted under it (rounded down).
    const TCase cases[] = {{100, {0, 0}, {101, 51}, "101,51"},
                           {50, {0, 0}, {101, 51}, "202,102"},
                           {200, {0, 0}, {101, 51}, "50,25"},
                           {200, {40, 30}, {10, 21}, "25,25"},
                           {150, {15, 0}, {0, 2}, "10,1"}};
    for (const TCase& c : cases) {
        canvas.SetZoomFactor(c.Zoom);
        canvas.horizontalScrollBar()->setValue(c.Scroll.x());
        canvas.verticalScrollBar()->setValue(c.Scroll.y());
        ASSERT_EQ(canvas.ScrollPosition(), c.Scroll);
        seen.clear();
        QTest::mousePress(viewport, Qt::RightButton, Qt::ShiftModifier, c.Device);
        QTest::mouseRelease(viewport, Qt::RightButton, Qt::ShiftModifier, c.Device);
        EXPECT_EQ(seen,
                  QStringList({"press 2 shift " + c.Logical, "release 2 shift " + c.Logical}));
    }

    canvas.SetZoomFactor(100);
    canvas.horizontalScrollBar()->setValue(0);
    canvas.verticalScrollBar()->setValue(0);
    seen.clear();
    QTest::mousePress(viewport, Qt::LeftButton, {}, {5, 5});
    QTest::mouseMove(viewport, {30, 40});
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, {30, 40});
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::AltModifier, {7, 8});
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::AltModifier, {7, 8});
    EXPECT_EQ(seen, QStringList({"press 1 none 5,5", "move 1 none 30,40", "release 1 none 30,40",
                                 "double 1 alt 7,8", "release 1 alt 7,8"}));
}

TEST_F(SurfaceTest, PaintGetsTheZoomedPainterAndOnlyTheUpdatedArea) {
    TZoomableCanvas canvas;
    Show(canvas, {300, 300});
    canvas.SetHorizontalExtent(1000);
    canvas.SetVerticalExtent(1000);
    std::vector<QRect> clips;
    QPointF mapped;
    QObject::connect(&canvas, &TZoomableCanvas::Paint, [&](QPainter& painter) {
        clips.push_back(canvas.LogicalClipRect());
        mapped = painter.transform().map(QPointF(10, 10));
    });
    canvas.SetZoomFactor(150);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !clips.empty(); }));
    const QSize view = canvas.viewport()->size();
    EXPECT_TRUE(clips.back().contains(QRect(0, 0, view.width() * 2 / 3, view.height() * 2 / 3)))
        << "a zoom repaints all";

    canvas.horizontalScrollBar()->setValue(7);
    QCoreApplication::processEvents();
    clips.clear();
    canvas.viewport()->repaint(QRect(10, 20, 30, 15));
    // x: (10 + 7) / 1.5 = 11.3 down, (40 + 7) / 1.5 = 31.3 up; y: 13.3 down, 23.3 up;
    // then one more on every side.
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0], QRect(QPoint(10, 12), QPoint(32, 24)));
    EXPECT_EQ(mapped, QPointF(15 - 7, 15));
    EXPECT_TRUE(canvas.LogicalClipRect().isNull()) << "only valid while painting";

    clips.clear();
    canvas.InvalidateLogical(QRect(20, 20, 5, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !clips.empty(); }));
    EXPECT_TRUE(clips[0].contains(QRect(20, 20, 5, 5)));
    EXPECT_LE(clips[0].width(), 10);
    EXPECT_LE(clips[0].height(), 10);
}

TEST_F(SurfaceTest, RulerConvertsAtTheScreenDensityAndZoom) {
    TRuler ruler(TRuler::TAlignment::Top);
    EXPECT_EQ(ruler.PixelsToUnits(49), 510);
    EXPECT_EQ(ruler.UnitsToPixels(1000), 96);
    ruler.SetZoomFactor(200);
    EXPECT_EQ(ruler.UnitsToPixels(1000), 192);
    EXPECT_EQ(ruler.PixelsToUnits(96), 500);

    ruler.SetZoomFactor(100);
    ruler.SetMeasurement(TRuler::TMeasurement::Centimeters);
    EXPECT_EQ(ruler.UnitsToPixels(1000), 38); // 37.8
    EXPECT_EQ(ruler.PixelsToUnits(38), 1005); // 1005.4

    ruler.SetMeasurement(TRuler::TMeasurement::Inches);
    ruler.SetStartingOffset(-500);
    ruler.SetOffset(250);
    EXPECT_EQ(ruler.PositionToPixel(250), 48);
    ruler.SetCorner(true);
    EXPECT_EQ(ruler.PositionToPixel(250), 48 + TRuler::CornerWidth);

    TRuler left(TRuler::TAlignment::Left);
    left.SetCorner(true);
    EXPECT_FALSE(left.Corner());
    ctx.Metric = true;
    EXPECT_EQ(TRuler(TRuler::TAlignment::Left).Measurement(), TRuler::TMeasurement::Centimeters);
}

TEST_F(SurfaceTest, RulerMeasurementChangeConvertsOffsets) {
    TRuler ruler(TRuler::TAlignment::Top);
    ruler.SetStartingOffset(-500);
    ruler.SetOffset(1000);
    ruler.SetMeasurement(TRuler::TMeasurement::Centimeters);
    EXPECT_EQ(ruler.StartingOffset(), -1270);
    EXPECT_EQ(ruler.Offset(), 2540);
    ruler.SetMeasurement(TRuler::TMeasurement::Centimeters);
    EXPECT_EQ(ruler.Offset(), 2540) << "same unit, no conversion";
    ruler.SetMeasurement(TRuler::TMeasurement::Inches);
    EXPECT_EQ(ruler.StartingOffset(), -500);
    EXPECT_EQ(ruler.Offset(), 1000);
}

TEST_F(SurfaceTest, InchScaleMarksEighthsQuartersHalvesAndInches) {
    const auto marks = RulerMarks(TRuler::TMeasurement::Inches, 100, -40, 1000);
    std::vector<int> positions, lengths, labelled;
    for (const TRulerMark& mark : marks) {
        positions.push_back(mark.Position);
        lengths.push_back(mark.Length);
        if (mark.Label) labelled.push_back(mark.Position);
    }
    EXPECT_EQ(positions, (std::vector<int>{0, 125, 250, 375, 500, 625, 750, 875, 1000}));
    EXPECT_EQ(lengths, (std::vector<int>{12, 3, 6, 3, 9, 3, 6, 3, 12}));
    EXPECT_EQ(labelled, (std::vector<int>{0, 1000}));
}

TEST_F(SurfaceTest, CentimetreScaleThinsOutBelowHalfZoom) {
    auto summarise = [](int zoom) {
        std::vector<int> labelled;
        int millimetres = 0, halves = 0;
        for (const TRulerMark& mark :
             RulerMarks(TRuler::TMeasurement::Centimeters, zoom, 0, 4000)) {
            if (mark.Label) labelled.push_back(mark.Position);
            millimetres += mark.Length == 4;
            halves += mark.Length == 8;
        }
        return std::tuple(labelled, millimetres, halves);
    };
    const auto [labels33, mm33, halves33] = summarise(33);
    EXPECT_EQ(labels33, (std::vector<int>{0, 2000, 4000}));
    EXPECT_EQ(mm33, 0);
    EXPECT_EQ(halves33, 4);
    const auto [labels50, mm50, halves50] = summarise(50);
    EXPECT_EQ(labels50, (std::vector<int>{0, 1000, 2000, 3000, 4000}));
    EXPECT_EQ(mm50, 32);
    EXPECT_EQ(halves50, 4);
}

TEST_F(SurfaceTest, RulerDrawsTicksInwardFromItsInnerEdge) {
    TRuler top(TRuler::TAlignment::Top);
    top.resize(300, TRuler::Thickness);
    const QImage image = Render(top);
    const int h = TRuler::Thickness;
    auto tickLength = [&](int x) {
        int length = 0;
        while (image.pixel(x, h - 2 - length) == qRgb(0, 0, 0))
            ++length;
        return length;
    };
    EXPECT_EQ(tickLength(12), 3);  // 1/8 inch
    EXPECT_EQ(tickLength(24), 6);  // 1/4
    EXPECT_EQ(tickLength(48), 9);  // 1/2
    EXPECT_EQ(tickLength(96), 12); // 1 inch
    EXPECT_EQ(tickLength(95), 0);

    TRuler left(TRuler::TAlignment::Left);
    left.resize(TRuler::Thickness, 300);
    const QImage side = Render(left);
    EXPECT_EQ(side.pixel(h - 2, 96), qRgb(0, 0, 0));
    EXPECT_EQ(side.pixel(h - 13, 96), qRgb(0, 0, 0));
    EXPECT_NE(side.pixel(h - 14, 96), qRgb(0, 0, 0));
}

TEST_F(SurfaceTest, PositionMarkerIsXoredAndRepaintsOnlyOldAndNewLines) {
    TRuler ruler(TRuler::TAlignment::Top);
    Show(ruler, {300, TRuler::Thickness});
    ruler.SetCurrentPosition(1000); // on the 1-inch tick at x = 96
    const QImage plain = Render(ruler);
    ruler.SetShowCurrentPosition(true);
    const QImage marked = Render(ruler);
    for (int y = 1; y < TRuler::Thickness; ++y)
        EXPECT_EQ(marked.pixel(96, y) & 0xffffff, (plain.pixel(96, y) ^ 0xffffff) & 0xffffff) << y;
    EXPECT_EQ(marked.copy(97, 0, 200, TRuler::Thickness),
              plain.copy(97, 0, 200, TRuler::Thickness));
    QCoreApplication::processEvents();

    TPaintSpy spy(&ruler);
    ruler.SetCurrentPosition(1500); // x = 144
    ASSERT_TRUE(QTest::qWaitFor([&] { return !spy.Regions.empty(); }));
    EXPECT_EQ(spy.Regions.front(),
              QRegion(96, 1, 1, TRuler::Thickness - 1) + QRegion(144, 1, 1, TRuler::Thickness - 1));
    const QImage moved = Render(ruler);
    EXPECT_EQ(moved.pixel(96, 5), plain.pixel(96, 5));
    EXPECT_NE(moved.pixel(144, 5), plain.pixel(144, 5));
}

TEST_F(SurfaceTest, WindowLaysOutRulersAroundTheCanvas) {
    TQDXWindow window;
    Show(window, {400, 300});
    EXPECT_EQ(window.Canvas()->geometry(), QRect(33, 33, 367, 267));
    EXPECT_EQ(window.TopRuler()->geometry(), QRect(0, 0, 400, 33));
    EXPECT_EQ(window.LeftRuler()->geometry(), QRect(0, 33, 33, 267));
    EXPECT_TRUE(window.TopRuler()->Corner());

    window.SetShowRulers(false);
    EXPECT_FALSE(window.TopRuler()->isVisible());
    EXPECT_FALSE(window.LeftRuler()->isVisible());
    EXPECT_EQ(window.Canvas()->geometry(), QRect(0, 0, 400, 300));
    window.SetShowRulers(true);
    EXPECT_EQ(window.Canvas()->geometry(), QRect(33, 33, 367, 267));
}

TEST_F(SurfaceTest, WindowKeepsRulersInStepWithZoomAndScrolling) {
    TQDXWindow window;
    Show(window, {400, 300});
    window.SetHorizontalExtent(2000);
    window.SetVerticalExtent(2000);
    std::vector<Qt::Orientation> scrolled;
    QObject::connect(&window, &TQDXWindow::Scrolled,
                     [&](Qt::Orientation o) { scrolled.push_back(o); });

    window.SetZoomFactor(500);
    EXPECT_EQ(window.ZoomFactor(), 400);
    EXPECT_EQ(window.TopRuler()->ZoomFactor(), 400) << "rulers take the clamped zoom";
    EXPECT_EQ(window.LeftRuler()->ZoomFactor(), 400);

    window.Canvas()->horizontalScrollBar()->setValue(192);
    window.Canvas()->verticalScrollBar()->setValue(96);
    EXPECT_EQ(window.TopRuler()->Offset(), 500); // 192 px at 400 % is half an inch
    EXPECT_EQ(window.LeftRuler()->Offset(), 250);
    EXPECT_EQ(scrolled, (std::vector<Qt::Orientation>{Qt::Horizontal, Qt::Vertical}));

    window.SetZoomFactor(200);
    EXPECT_EQ(window.TopRuler()->Offset(),
              window.TopRuler()->PixelsToUnits(window.Canvas()->ScrollPosition().x()));
}

TEST_F(SurfaceTest, MarkersFollowTheMouseInsideTheCanvasOnly) {
    TQDXWindow window;
    window.SetRulerStartingOffsets(-500, -500);
    Show(window, {400, 300});
    window.SetHorizontalExtent(2000);
    window.SetVerticalExtent(2000);
    std::vector<QString> events;
    QObject::connect(&window, &TQDXWindow::MouseMoved,
                     [&](Qt::MouseButtons, Qt::KeyboardModifiers, QPoint p) {
                         events.push_back(QStringLiteral("move %1,%2").arg(p.x()).arg(p.y()));
                     });
    QObject::connect(&window, &TQDXWindow::MouseEntered, [&] { events.push_back("enter"); });
    QObject::connect(&window, &TQDXWindow::MouseLeft, [&] { events.push_back("leave"); });
    QWidget* viewport = window.Canvas()->viewport();

    QTest::mouseMove(viewport, {49, 20});
    ASSERT_TRUE(window.MouseInside());
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "move 49,20") << "the position is right before the owner hears of it";
    EXPECT_EQ(events[1], "enter");
    EXPECT_EQ(window.CurrentPositionHorz(), 10); // 49 px = 0.510 in, less 0.5 in
    EXPECT_EQ(window.CurrentPositionVert(), 208 - 500);
    EXPECT_TRUE(window.TopRuler()->ShowCurrentPosition());

    // Zoomed and scrolled, the marker still stands above the mouse.
    window.SetZoomFactor(200);
    window.Canvas()->horizontalScrollBar()->setValue(150);
    QTest::mouseMove(viewport, {120, 60});
    EXPECT_NEAR(window.TopRuler()->PositionToPixel(window.CurrentPositionHorz()),
                TRuler::CornerWidth + 120, 1);
    EXPECT_NEAR(window.LeftRuler()->PositionToPixel(window.CurrentPositionVert()), 60, 1);

    events.clear();
    const int horz = window.CurrentPositionHorz();
    QTest::mouseMove(&window, {10, 200}); // over the left ruler
    EXPECT_FALSE(window.MouseInside());
    EXPECT_EQ(events, std::vector<QString>{"leave"});
    EXPECT_FALSE(window.TopRuler()->ShowCurrentPosition());
    EXPECT_FALSE(window.LeftRuler()->ShowCurrentPosition());
    EXPECT_EQ(window.CurrentPositionHorz(), horz);

    window.SetShowCurrentPosition(false);
    QTest::mouseMove(viewport, {50, 50});
    EXPECT_TRUE(window.MouseInside());
    EXPECT_FALSE(window.TopRuler()->ShowCurrentPosition());
    window.SetShowCurrentPosition(true);
    EXPECT_TRUE(window.TopRuler()->ShowCurrentPosition());
}
