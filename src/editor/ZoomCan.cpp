#include "editor/ZoomCan.h"

#include "document/Units.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

// Integer quotients: the mouse rounds down to the logical pixel painted under it; the clip
// rectangle rounds outward so that it covers every logical pixel touching the update area.
int FloorDiv(qint64 a, qint64 b) {
    return static_cast<int>(a / b - ((a % b != 0) && ((a < 0) != (b < 0))));
}
int AwayDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return static_cast<int>(a % b == 0 ? q : ((a < 0) != (b < 0)) ? q - 1 : q + 1);
}
int TruncDiv(qint64 a, qint64 b) {
    return static_cast<int>(a / b);
}

} // namespace

TZoomableCanvas::TZoomableCanvas(QWidget* parent) : QAbstractScrollArea(parent) {
    // No frame: the rulers line up with the viewport's first pixel.
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    SetDrawBackground(false);
    resize(105, 105);
}

void TZoomableCanvas::SetZoomFactor(int percent) {
    const int zoom = qBound(FMinZoom, percent, FMaxZoom);
    if (zoom == FZoom) return;
    FZoom = zoom;
    emit Zoomed();
    UpdateScrollRanges();
    viewport()->update();
}

void TZoomableCanvas::SetMinZoomFactor(int percent) {
    // A zoom below 1 % would divide by zero in every conversion.
    FMinZoom = qBound(1, percent, FMaxZoom);
    SetZoomFactor(FZoom);
}

void TZoomableCanvas::SetMaxZoomFactor(int percent) {
    FMaxZoom = qMax(percent, FMinZoom);
    SetZoomFactor(FZoom);
}

void TZoomableCanvas::SetDrawBackground(bool on) {
    FDrawBackground = on;
    // The owner paints every pixel; erasing first would only flicker.
    viewport()->setAutoFillBackground(on);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, !on);
    if (on) viewport()->update();
}

void TZoomableCanvas::SetHorizontalExtent(int logicalWidth) {
    FExtentWidth = logicalWidth;
    UpdateScrollRanges();
}

void TZoomableCanvas::SetVerticalExtent(int logicalHeight) {
    FExtentHeight = logicalHeight;
    UpdateScrollRanges();
}

QPoint TZoomableCanvas::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

// Rounded down, so a point maps to the logical pixel painted under it.
int TZoomableCanvas::LogicalX(int deviceX) const {
    return FloorDiv((qint64(deviceX) + horizontalScrollBar()->value()) * 100, FZoom);
}

int TZoomableCanvas::LogicalY(int deviceY) const {
    return FloorDiv((qint64(deviceY) + verticalScrollBar()->value()) * 100, FZoom);
}

QPoint TZoomableCanvas::DeviceToLogical(QPoint viewportPoint) const {
    return {LogicalX(viewportPoint.x()), LogicalY(viewportPoint.y())};
}

QRect TZoomableCanvas::LogicalToDevice(const QRect& logical) const {
    const QPoint scroll = ScrollPosition();
    const QPoint topLeft(MulDiv(logical.left(), FZoom, 100) - scroll.x(),
                         MulDiv(logical.top(), FZoom, 100) - scroll.y());
    const QPoint bottomRight(MulDiv(logical.left() + logical.width(), FZoom, 100) - scroll.x(),
                             MulDiv(logical.top() + logical.height(), FZoom, 100) - scroll.y());
    return QRect(topLeft, bottomRight - QPoint(1, 1));
}

void TZoomableCanvas::InvalidateLogical(const QRect& logical) {
    // One pixel more on each side covers the rounding of the painter's scaling.
    viewport()->update(LogicalToDevice(logical).adjusted(-1, -1, 1, 1));
}

void TZoomableCanvas::UpdateScrollRanges() {
    const QSize view = viewport()->size();
    QScrollBar* horz = horizontalScrollBar();
    QScrollBar* vert = verticalScrollBar();
    horz->setRange(0, qMax(0, MulDiv(FExtentWidth, FZoom, 100) - view.width()));
    horz->setPageStep(qMax(1, view.width()));
    horz->setSingleStep(16);
    vert->setRange(0, qMax(0, MulDiv(FExtentHeight, FZoom, 100) - view.height()));
    vert->setPageStep(qMax(1, view.height()));
    vert->setSingleStep(16);
}

void TZoomableCanvas::paintEvent(QPaintEvent* event) {
    const QRect update = event->rect();
    const QPoint scroll = ScrollPosition();
    const qint64 left = (qint64(update.left()) + scroll.x()) * 100;
    const qint64 top = (qint64(update.top()) + scroll.y()) * 100;
    const qint64 right = (qint64(update.left()) + update.width() + scroll.x()) * 100;
    const qint64 bottom = (qint64(update.top()) + update.height() + scroll.y()) * 100;
    const QPoint logicalTopLeft(TruncDiv(left, FZoom) - 1, TruncDiv(top, FZoom) - 1);
    const QPoint logicalBottomRight(AwayDiv(right, FZoom) + 1, AwayDiv(bottom, FZoom) + 1);
    FLogicalClip = QRect(logicalTopLeft, logicalBottomRight - QPoint(1, 1));

    QPainter painter(viewport());
    painter.setClipRegion(event->region());
    painter.translate(-scroll.x(), -scroll.y());
    if (FZoom != 100) painter.scale(FZoom / 100.0, FZoom / 100.0);
    emit Paint(painter);
    FLogicalClip = QRect();
}

void TZoomableCanvas::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void TZoomableCanvas::scrollContentsBy(int dx, int dy) {
    // Moves what is already painted; only the uncovered strip is repainted.
    viewport()->scroll(dx, dy);
    if (dx != 0) emit Scrolled(Qt::Horizontal);
    if (dy != 0) emit Scrolled(Qt::Vertical);
}

void TZoomableCanvas::mousePressEvent(QMouseEvent* event) {
    emit MousePressed(event->button(), event->modifiers(),
                      DeviceToLogical(event->position().toPoint()));
}

void TZoomableCanvas::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMoved(event->buttons(), event->modifiers(),
                    DeviceToLogical(event->position().toPoint()));
}

void TZoomableCanvas::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseReleased(event->button(), event->modifiers(),
                       DeviceToLogical(event->position().toPoint()));
}

void TZoomableCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    emit MouseDoubleClicked(event->button(), event->modifiers(),
                            DeviceToLogical(event->position().toPoint()));
}

bool TZoomableCanvas::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Enter)
        emit MouseEntered();
    else if (event->type() == QEvent::Leave)
        emit MouseLeft();
    return QAbstractScrollArea::viewportEvent(event);
}
