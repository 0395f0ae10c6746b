#include "editor/Ruler.h"

#include "document/AppContext.h"
#include "document/Units.h"
#include "editor/RulerTicks.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

const QColor ShadowGrey(128, 128, 128);

// Small zooms crowd the centimetre scale: millimetres go and every second label with them.
constexpr int CrowdedZoom = 50;

} // namespace

std::vector<TRulerMark> RulerMarks(TRuler::TMeasurement measurement, int zoom, int first,
                                   int last) {
    std::vector<TRulerMark> marks;
    const bool metric = measurement == TRuler::TMeasurement::Centimeters;
    const int step = metric ? 100 : 125;
    const int half = metric ? 50 : 63;
    // Starts at the mark nearest the first visible position.
    for (int p = (first + half) / step * step; p <= last; p += step) {
        if (p < 0) continue;
        if (p % 1000 == 0) {
            const bool label = !metric || zoom >= CrowdedZoom || p % 2000 == 0;
            marks.push_back({p, 12, label});
        } else if (p % 500 == 0) {
            marks.push_back({p, metric ? 8 : 9, false});
        } else if (metric) {
            if (zoom >= CrowdedZoom) marks.push_back({p, 4, false});
        } else {
            marks.push_back({p, p % 250 == 0 ? 6 : 3, false});
        }
    }
    return marks;
}

TRuler::TRuler(TAlignment alignment, QWidget* parent) : QWidget(parent), FAlignment(alignment) {
    FMeasurement = AppContext().Metric ? TMeasurement::Centimeters : TMeasurement::Inches;
    if (alignment == TAlignment::Top)
        setFixedHeight(Thickness);
    else
        setFixedWidth(Thickness);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A small sans face of its own, whatever the parent uses.
    QFont face;
    face.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    face.setStyleHint(QFont::SansSerif);
    face.setPointSize(8);
    setFont(face);
}

void TRuler::SetCorner(bool on) {
    on = on && FAlignment == TAlignment::Top;
    if (on == FCorner) return;
    FCorner = on;
    update();
}

void TRuler::SetMeasurement(TMeasurement measurement) {
    if (measurement == FMeasurement) return;
    const double factor = measurement == TMeasurement::Centimeters ? 2.54 : 0.3937;
    FMeasurement = measurement;
    FOffset = RoundHalfAway(FOffset * factor);
    FStartingOffset = RoundHalfAway(FStartingOffset * factor);
    // The marker stays where it is until the mouse moves again.
    FPosition = RoundHalfAway(FPosition * factor);
    update();
}

void TRuler::SetOffset(int thousandths) {
    if (thousandths == FOffset) return;
    FOffset = thousandths;
    update();
}

void TRuler::SetStartingOffset(int thousandths) {
    if (thousandths == FStartingOffset) return;
    FStartingOffset = thousandths;
    update();
}

void TRuler::SetZoomFactor(int percent) {
    percent = qMax(1, percent);
    if (percent == FZoom) return;
    FZoom = percent;
    update();
}

void TRuler::SetShowCurrentPosition(bool on) {
    if (on == FShowPosition) return;
    FShowPosition = on;
    update(MarkerRect(FPosition));
}

void TRuler::SetCurrentPosition(int thousandths) {
    if (thousandths == FPosition) return;
    if (FShowPosition) update(MarkerRect(FPosition));
    FPosition = thousandths;
    if (FShowPosition) update(MarkerRect(FPosition));
}

int TRuler::UnitsToPixels(int thousandths) const {
    const int ppi = ScreenPixelsPerInch();
    if (FMeasurement == TMeasurement::Inches) return MulDiv(thousandths, ppi * FZoom, 100000);
    return RoundHalfAway(thousandths * double(ppi) * 0.3937 * FZoom / 100000.0);
}

int TRuler::PixelsToUnits(int pixels) const {
    const int ppi = ScreenPixelsPerInch();
    if (ppi <= 0) return 0;
    if (FMeasurement == TMeasurement::Inches) return MulDiv(pixels, 100000, ppi * FZoom);
    return RoundHalfAway(pixels * 1000.0 * 2.54 * 100.0 / ppi / FZoom);
}

int TRuler::PositionToPixel(int thousandths) const {
    // The corner shifts the scale so that it lines up with the canvas beside it.
    if (FCorner) thousandths += PixelsToUnits(CornerWidth);
    return UnitsToPixels(thousandths - FStartingOffset - FOffset);
}

QRect TRuler::MarkerRect(int thousandths) const {
    const int at = PositionToPixel(thousandths);
    if (FAlignment == TAlignment::Top) return QRect(at, 1, 1, height() - 1);
    return QRect(1, at, width() - 1, 1);
}

void TRuler::paintEvent(QPaintEvent*) {
    const int w = width();
    const int h = height();
    const bool top = FAlignment == TAlignment::Top;
    QPainter painter(this);

    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, w - 1, 0);
    painter.drawLine(0, 0, 0, h - 1);
    painter.setPen(ShadowGrey);
    painter.drawLine(0, h - 1, w - 1, h - 1);
    painter.drawLine(w - 1, 0, w - 1, h - 1);
    if (FCorner) {
        painter.drawLine(CornerWidth - 1, 0, CornerWidth - 1, CornerWidth - 1);
        painter.setPen(Qt::white);
        painter.drawLine(CornerWidth, 0, CornerWidth, CornerWidth - 1);
    }

    painter.save();
    if (FCorner) painter.setClipRect(CornerWidth + 1, 0, w, h, Qt::IntersectClip);
    const int visible = !top ? h - 2 : FCorner ? w - 39 : w - 2;
    const int first = FStartingOffset + FOffset;
    const QFontMetrics metrics(font());
    painter.setPen(Qt::black);
    for (const TRulerMark& mark :
         RulerMarks(FMeasurement, FZoom, first, first + PixelsToUnits(visible))) {
        const int at = PositionToPixel(mark.Position);
        if (top)
            painter.drawLine(at, h - 2, at, h - 1 - mark.Length);
        else
            painter.drawLine(w - 2, at, w - 1 - mark.Length, at);
        if (!mark.Label) continue;
        const QString text = QString::number(mark.Position / 1000).left(4);
        if (top)
            painter.drawText(at + 1, h - 24 + metrics.ascent(), text);
        else
            painter.drawText(w - metrics.horizontalAdvance(text) - 15, at + 1 + metrics.ascent(),
                             text);
    }
    painter.restore();

    if (FShowPosition) {
        // XOR against what was just painted, so a marker over a tick stays visible.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(MarkerRect(FPosition), Qt::white);
    }
}
