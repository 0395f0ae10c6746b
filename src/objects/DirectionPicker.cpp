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

namespace {

// Grid cell (column, row) of each direction sdUp .. sdUpLeft.
constexpr int CellColumn[] = {0, 1, 2, 2, 2, 1, 0, 0, 0};
constexpr int CellRow[] = {0, 0, 0, 1, 2, 2, 2, 1, 0};

int DirectionOfCell(int column, int row) {
    for (int d = sdUp; d <= sdUpLeft; ++d)
        if (CellColumn[d] == column && CellRow[d] == row) return d;
    return sdNone;
}

} // namespace

TDirectionPicker::TDirectionPicker(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TDirectionPicker::SetDirection(int direction) {
    if (direction < sdUp || direction > sdUpLeft) direction = sdNone;
    if (direction == FDirection) return;
    FDirection = direction;
    update();
}

void TDirectionPicker::Choose(int direction) {
    if (direction < sdUp || direction > sdUpLeft || direction == FDirection) return;
    SetDirection(direction);
    emit DirectionChosen(direction);
}

QSize TDirectionPicker::sizeHint() const {
    return {3 * CellSize + 2, 3 * CellSize + 2};
}

QRect TDirectionPicker::CellRect(int direction) const {
    if (direction < sdUp || direction > sdUpLeft) return {};
    return {1 + CellColumn[direction] * CellSize, 1 + CellRow[direction] * CellSize, CellSize,
            CellSize};
}

int TDirectionPicker::DirectionAt(QPoint point) const {
    for (int d = sdUp; d <= sdUpLeft; ++d)
        if (CellRect(d).contains(point)) return d;
    return sdNone;
}

void TDirectionPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const bool enabled = isEnabled();
    for (int d = sdUp; d <= sdUpLeft; ++d) {
        const QRect cell = CellRect(d);
        const bool chosen = d == FDirection;
        qDrawShadePanel(&painter, cell, pal, chosen, 1,
                        &pal.brush(chosen && enabled ? QPalette::Highlight : QPalette::Button));
        // An arrow from the centre of the cell toward its direction.
        static constexpr int Dx[] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
        static constexpr int Dy[] = {0, -1, -1, 0, 1, 1, 1, 0, -1};
        const QPointF c = QRectF(cell).center();
        const double length = std::hypot(Dx[d], Dy[d]);
        const QPointF unit(Dx[d] / length, Dy[d] / length);
        const double half = CellSize * 0.3;
        const QPointF tip = c + unit * half;
        const QPointF tail = c - unit * half;
        const QPointF side(-unit.y(), unit.x());
        QPainterPath head;
        head.moveTo(tip);
        head.lineTo(tip - unit * 5 + side * 4);
        head.lineTo(tip - unit * 5 - side * 4);
        head.closeSubpath();
        const QColor ink = !enabled ? pal.color(QPalette::Disabled, QPalette::ButtonText)
                           : chosen ? pal.color(QPalette::HighlightedText)
                                    : pal.color(QPalette::ButtonText);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ink, 1.6));
        painter.drawLine(tail, tip - unit * 3);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPath(head);
        painter.restore();
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = FDirection != sdNone ? CellRect(FDirection).adjusted(2, 2, -2, -2)
                                           : QRect(1 + CellSize, 1 + CellSize, CellSize, CellSize);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TDirectionPicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    Choose(DirectionAt(event->position().toPoint()));
}

void TDirectionPicker::keyPressEvent(QKeyEvent* event) {
    int dc = 0;
    int dr = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dc = -1;
        break;
    case Qt::Key_Right:
        dc = 1;
        break;
    case Qt::Key_Up:
        dr = -1;
        break;
    case Qt::Key_Down:
        dr = 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (FDirection == sdNone) {
        Choose(sdUp);
        return;
    }
    int column = std::clamp(CellColumn[FDirection] + dc, 0, 2);
    int row = std::clamp(CellRow[FDirection] + dr, 0, 2);
    if (column == 1 && row == 1) { // the centre is no direction: step over it
        column += dc;
        row += dr;
    }
    Choose(DirectionOfCell(column, row));
}
