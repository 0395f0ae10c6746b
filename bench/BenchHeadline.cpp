// Drawing a richly shaded headline on the editing surface at 100 % and at 250 % (where the
// letters are re-fitted to the zoomed box first), repainted unchanged and after a change of
// style, and computing its box.
#include "document/Canvas.h"
#include "document/Units.h"
#include "objects/Headline.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

THeadlineText ShadedHeadline() {
    THeadlineText h;
    h.Font = {QStringLiteral("Liberation Serif"), 72, 0x202020, true};
    h.Alignment = haCentre;
    h.Lines = {QStringLiteral("Happy Birthday"), QStringLiteral("to our dear"),
               QStringLiteral("Grandmother")};
    h.ShadowDirection = sdDownRight;
    h.ShadowDepth = 10;
    h.ShadowStyle = ssGraduated;
    h.ShadowColor = 0x000080;
    h.HighlightDirection = sdUpLeft;
    h.HighlightDepth = 10;
    h.HighlightStyle = ssExtrude;
    h.HighlightColor = 0xC0C0C0;
    h.GraduateStyle = gsVertical;
    h.GraduateFromColor = 0x0000FF;
    h.GraduateToColor = 0xFF0000;
    h.ComputeBox();
    return h;
}

// Draws the headline as the editing surface does, in logical pixels through the zoom of its
// painter. With changeEveryTime the style changes before each drawing, so nothing kept from
// the previous one can be reused: that is the cost after an edit or a change of zoom.
void DrawHeadline(benchmark::State& state, bool changeEveryTime) {
    THeadlineText h = ShadedHeadline();
    const int zoom = int(state.range(0));
    const QSize box = h.Box();
    QImage image(MulDiv(box.width(), zoom, 100) + 1, MulDiv(box.height(), zoom, 100) + 1,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const QRect logical(QPoint(0, 0), box);
    for (auto _ : state) {
        if (changeEveryTime) h.Font.Color ^= 0x010101;
        QPainter painter(&image);
        painter.scale(zoom / 100.0, zoom / 100.0);
        TCanvas canvas(painter, ScreenPixelsPerInch(), ScreenPixelsPerInch(), TCanvas::TKind::Screen);
        h.DrawInto(canvas, logical, false);
    }
    if (qEnvironmentVariableIsSet("QDX_BENCH_SAVE"))
        image.save(QStringLiteral("/tmp/headline-%1.png").arg(zoom));
    state.counters["box_w"] = box.width();
    state.counters["box_h"] = box.height();
}

void BM_DrawHeadline(benchmark::State& state) { DrawHeadline(state, false); }
BENCHMARK(BM_DrawHeadline)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

void BM_DrawChangedHeadline(benchmark::State& state) { DrawHeadline(state, true); }
BENCHMARK(BM_DrawChangedHeadline)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

void BM_ComputeBox(benchmark::State& state) {
    THeadlineText h = ShadedHeadline();
    for (auto _ : state) benchmark::DoNotOptimize(h.ComputeBox());
}
BENCHMARK(BM_ComputeBox)->Unit(benchmark::kMicrosecond);

} // namespace
