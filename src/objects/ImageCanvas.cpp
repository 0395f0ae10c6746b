#include "objects/ImageCanvas.h"

#include "objects/ImageEdits.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// A selection smaller than this (screen pixels) is a click, not a drag.
constexpr int MinimumDrag = 3;

} // namespace

TImageCanvas::TImageCanvas(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(160, 120);
    setCursor(Qt::CrossCursor);
}

void TImageCanvas::SetImage(QSize pictureSize, const QImage& shown) {
    if (pictureSize != FPictureSize) FSelection = QRect();
    FPictureSize = pictureSize;
    FShown = shown;
    update();
}

QRect TImageCanvas::ShownRect() const {
    return FittedRect(FPictureSize, rect().adjusted(Margin, Margin, -Margin, -Margin));
}

QSize TImageCanvas::ShownSize(QSize pictureSize) const {
    return FittedRect(pictureSize, rect().adjusted(Margin, Margin, -Margin, -Margin)).size();
}

void TImageCanvas::SetSelection(const QRect& pixels) {
    const QRect selection = pixels.normalized() & QRect(QPoint(), FPictureSize);
    if (selection == FSelection) return;
    FSelection = selection;
    update();
    emit SelectionChanged(FSelection);
}

void TImageCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QRect shown = ShownRect();
    if (shown.isEmpty() || FShown.isNull()) return;
    painter.drawImage(shown, FShown);
    if (FSelection.isEmpty()) return;
    const double sx = double(shown.width()) / FPictureSize.width();
    const double sy = double(shown.height()) / FPictureSize.height();
    const QRectF view(shown.left() + FSelection.left() * sx, shown.top() + FSelection.top() * sy,
                      FSelection.width() * sx, FSelection.height() * sy);
    // What the crop removes is dimmed; the kept part is outlined black on white so that it shows
    // on any picture.
    QPainterPath outside;
    outside.addRect(shown);
    outside.addRect(view);
    painter.fillPath(outside, QColor(0, 0, 0, 110));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(view.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(view.adjusted(0, 0, -1, -1));
}

void TImageCanvas::mousePressEvent(QMouseEvent* event) {
    const QRect shown = ShownRect();
    if (event->button() != Qt::LeftButton || shown.isEmpty()) return;
    const QPoint p = event->position().toPoint();
    FDragStart = {std::clamp(p.x(), shown.left(), shown.right() + 1),
                  std::clamp(p.y(), shown.top(), shown.bottom() + 1)};
    FDragging = true;
    SetSelection(QRect());
}

void TImageCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (FDragging) DragTo(event->position().toPoint());
}

void TImageCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (!FDragging || event->button() != Qt::LeftButton) return;
    DragTo(event->position().toPoint());
    FDragging = false;
}

void TImageCanvas::DragTo(QPoint point) {
    const QRect shown = ShownRect();
    const QPoint end(std::clamp(point.x(), shown.left(), shown.right() + 1),
                     std::clamp(point.y(), shown.top(), shown.bottom() + 1));
    const QRect view = QRect(FDragStart, end).normalized();
    if (view.width() < MinimumDrag || view.height() < MinimumDrag) {
        SetSelection(QRect());
        return;
    }
    // QRect(p1, p2) includes both corners; the drag covers from one point up to the other.
    SetSelection(
        ViewToPicture(QRect(view.topLeft(), view.size() - QSize(1, 1)), shown, FPictureSize));
}

void TImageCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit Resized();
}
