#include "objects/HeadlineWidgets.h"

#include "objects/Headline.h"

#include <QPainter>

TTextureThumbnail::TTextureThumbnail(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TTextureThumbnail::SetTextureName(const QString& name) {
    FName = name;
    FPicture = THeadlineText::TexturePicture(name);
    setToolTip(name);
    update();
}

void TTextureThumbnail::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (FPicture.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), FPicture);
}
