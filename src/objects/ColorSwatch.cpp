#include "objects/HeadlineWidgets.h"

#include "document/Palette.h"

#include <QPainter>

TColorSwatch::TColorSwatch(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TColorSwatch::SetColorRef(quint32 color) {
    if (color == FColor) return;
    FColor = color;
    update();
}

void TColorSwatch::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.fillRect(inside, ColorFromRef(FColor));
    if (!isEnabled()) { // still shown, but faded like the disabled button beside it
        QColor veil = palette().color(QPalette::Disabled, QPalette::Button);
        veil.setAlpha(160);
        painter.fillRect(inside, veil);
    }
}
