#include "objects/PresetGrid.h"

#include "objects/HeadlinePresets.h"
#include "objects/HeadlineWidgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

TPresetGrid::TPresetGrid(THeadlinePresets& presets, QWidget* parent)
    : QAbstractScrollArea(parent), FPresets(presets) {
    FPreview.Lines = {QStringLiteral("Aa")};
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    verticalScrollBar()->setSingleStep(CellHeight);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
    Recount();
}

QSize TPresetGrid::sizeHint() const {
    const int frame = 2 * frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {Columns * CellWidth + bar + frame, 2 * CellHeight + frame};
}

void TPresetGrid::Recount() {
    FCount = FPresets.Count();
    if (FSelected >= FCount) FSelected = -1;
    UpdateScrollBar();
    viewport()->update();
}

void TPresetGrid::UpdateScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, RowCount() * CellHeight - viewport()->height()));
    bar->setPageStep(std::max(1, viewport()->height()));
}

void TPresetGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
}

QRect TPresetGrid::CellRect(int index) const {
    if (index < 0) return {};
    return {(index % Columns) * CellWidth,
            (index / Columns) * CellHeight - verticalScrollBar()->value(), CellWidth, CellHeight};
}

int TPresetGrid::IndexAt(QPoint point) const {
    const int y = point.y() + verticalScrollBar()->value();
    if (point.x() < 0 || point.x() >= Columns * CellWidth || y < 0) return -1;
    return (y / CellHeight) * Columns + point.x() / CellWidth;
}

bool TPresetGrid::Select(int index) {
    if (index < 0 || index >= FCount || !FPresets.Exists(index)) return false;
    SetSelected(index);
    emit PresetSelected(index);
    return true;
}

void TPresetGrid::SetSelected(int index) {
    FSelected = index >= 0 && index < FCount ? index : -1;
    if (FSelected >= 0) ScrollTo(FSelected);
    viewport()->update();
}

void TPresetGrid::ScrollTo(int index) {
    const QRect cell = CellRect(index);
    QScrollBar* bar = verticalScrollBar();
    if (cell.top() < 0)
        bar->setValue(bar->value() + cell.top());
    else if (cell.bottom() >= viewport()->height())
        bar->setValue(bar->value() + cell.bottom() + 1 - viewport()->height());
}

void TPresetGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPalette& pal = palette();
    painter.fillRect(event->rect(), pal.color(QPalette::Base));
    const int first = (verticalScrollBar()->value() / CellHeight) * Columns;
    const int last =
        ((verticalScrollBar()->value() + viewport()->height()) / CellHeight + 1) * Columns;
    for (int index = first; index < last && index < RowCount() * Columns; ++index) {
        const QRect cell = CellRect(index);
        if (!cell.intersects(event->rect())) continue;
        // One-pixel grid lines on the right and bottom of each cell.
        const QRect inside = cell.adjusted(0, 0, -1, -1);
        painter.fillRect(cell, pal.color(QPalette::Mid));
        painter.fillRect(inside, pal.color(QPalette::Button));
        if (index < FCount) {
            FPresets.Read(index, FPreview);
            FPreview.ComputeBox();
            DrawHeadlineFitted(painter, FPreview, inside.adjusted(3, 3, -3, -3));
        }
        if (index == FSelected) {
            painter.save();
            QPen pen(pal.color(QPalette::Highlight), 3);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(inside).adjusted(1.5, 1.5, -1.5, -1.5));
            if (hasFocus()) {
                painter.setPen(QPen(pal.color(QPalette::HighlightedText), 1, Qt::DotLine));
                painter.drawRect(inside.adjusted(4, 4, -5, -5));
            }
            painter.restore();
        }
    }
}

void TPresetGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    Select(IndexAt(event->position().toPoint()));
}

void TPresetGrid::keyPressEvent(QKeyEvent* event) {
    const int current = FSelected < 0 ? 0 : FSelected;
    int target = current;
    switch (event->key()) {
    case Qt::Key_Left:
        target = current - 1;
        break;
    case Qt::Key_Right:
        target = current + 1;
        break;
    case Qt::Key_Up:
        target = current - Columns;
        break;
    case Qt::Key_Down:
        target = current + Columns;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = FCount - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (FSelected < 0) target = 0;
    Select(target);
}
