#include "kbviewer/LinkLabel.h"

#include <QMouseEvent>

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    SetHot(false);
}

void TLinkLabel::SetHot(bool hot) {
    FHot = hot;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, hot ? QColor(Qt::red) : QColor(Qt::blue));
    setPalette(colours);
}

void TLinkLabel::enterEvent(QEnterEvent* event) {
    SetHot(true);
    QLabel::enterEvent(event);
}

void TLinkLabel::leaveEvent(QEvent* event) {
    SetHot(false);
    QLabel::leaveEvent(event);
}

void TLinkLabel::mousePressEvent(QMouseEvent* event) {
    FPressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    FPressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit Clicked();
}
