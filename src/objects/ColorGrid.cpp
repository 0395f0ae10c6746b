#include "objects/ColorGrid.h"

#include "document/Palette.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolTip>

#include <algorithm>

QString PaletteColorName(int index) {
    static const char* const Names[PaletteSize] = {
        "Black", "Maroon", "Green", "Olive",  "Navy", "Purple",  "Teal", "Silver",
        "Gray",  "Red",    "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua", "White"};
    return index >= 0 && index < PaletteSize ? QString::fromLatin1(Names[index]) : QString();
}

TColorGrid::TColorGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TColorGrid::SetSelectedIndex(int index) {
    if (index < 0 || index >= PaletteSize) index = -1;
    if (index == FSelected) return;
    FSelected = index;
    update();
    emit SelectedIndexChanged(index);
}

QRect TColorGrid::CellRect(int index) const {
    return QRect((index % Columns) * CellSize, (index / Columns) * CellSize, CellSize, CellSize);
}

int TColorGrid::IndexAt(QPoint point) const {
    if (point.x() < 0 || point.y() < 0) return -1;
    const int column = point.x() / CellSize;
    const int row = point.y() / CellSize;
    return column < Columns && row < Rows ? row * Columns + column : -1;
}

QSize TColorGrid::sizeHint() const {
    return QSize(Columns * CellSize, Rows * CellSize);
}

bool TColorGrid::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = IndexAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), PaletteColorName(index), this, CellRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TColorGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool enabled = isEnabled();
    const QColor window = palette().color(QPalette::Window);
    const QColor frame =
        palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    for (int index = 0; index < PaletteSize; ++index) {
        const QRect swatch = CellRect(index).adjusted(3, 3, -3, -3);
        QColor color = PaletteColor(index);
        if (!enabled) {
            // Half-way to the window colour: the choice is visibly out of play.
            color = QColor((color.red() + window.red()) / 2, (color.green() + window.green()) / 2,
                           (color.blue() + window.blue()) / 2);
        }
        painter.fillRect(swatch, color);
        painter.setPen(QPen(frame, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    if (FSelected >= 0) {
        // A double frame around the chosen swatch.
        const QRect cell = CellRect(FSelected);
        painter.setPen(QPen(frame, 2));
        painter.drawRect(QRectF(cell).adjusted(1, 1, -1, -1));
        if (hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = cell;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
}

void TColorGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const int index = IndexAt(event->position().toPoint());
    if (index >= 0) SetSelectedIndex(index);
}

void TColorGrid::keyPressEvent(QKeyEvent* event) {
    const int current = FSelected < 0 ? 0 : FSelected;
    int column = current % Columns;
    int row = current / Columns;
    switch (event->key()) {
    case Qt::Key_Left:
        column = std::max(0, column - 1);
        break;
    case Qt::Key_Right:
        column = std::min(Columns - 1, column + 1);
        break;
    case Qt::Key_Up:
        row = std::max(0, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(Rows - 1, row + 1);
        break;
    case Qt::Key_Home:
        column = row = 0;
        break;
    case Qt::Key_End:
        column = Columns - 1;
        row = Rows - 1;
        break;
    default:
        return QWidget::keyPressEvent(event);
    }
    SetSelectedIndex(row * Columns + column);
}
