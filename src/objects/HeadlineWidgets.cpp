#include "objects/HeadlineWidgets.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Palette.h"
#include "objects/Headline.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>

void DrawHeadlineFitted(QPainter& painter, THeadlineText& style, const QRect& area) {
    const QSize box = style.Box();
    if (box.isEmpty() || area.isEmpty()) return;
    const double scale =
        std::min({1.0, double(area.width()) / box.width(), double(area.height()) / box.height()});
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    const QPointF centre = QRectF(area).center();
    painter.translate(std::round(centre.x() - box.width() * scale / 2),
                      std::round(centre.y() - box.height() * scale / 2));
    painter.scale(scale, scale);
    // The box is in logical pixels: draw it at the screen density so nothing rescales.
    const int dpi = AppContext().ScreenPixelsPerInch;
    TCanvas canvas(painter, dpi, dpi, TCanvas::TKind::Image);
    style.DrawInto(canvas, QRect(QPoint(0, 0), box), false);
    painter.restore();
}

THeadlineSample::THeadlineSample(THeadlineText& style, QWidget* parent)
    : QFrame(parent), FStyle(style) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumSize(280, 150);
}

void THeadlineSample::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.fillRect(inside, Qt::white);
    DrawHeadlineFitted(painter, FStyle, inside.adjusted(4, 4, -4, -4));
}
