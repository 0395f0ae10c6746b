#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on a 64 by 64 grid and scaled, so that every size shows the same picture.
QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    const QPen outline(QColor(0x1f, 0x3a, 0x68), 2.0, Qt::SolidLine, Qt::RoundCap,
                       Qt::RoundJoin);
    // The back cover, seen behind the half-open front.
    p.setPen(outline);
    p.setBrush(QColor(0xd6, 0xe4, 0xf7));
    p.drawPolygon(QPolygonF({{8, 10}, {30, 6}, {30, 58}, {8, 54}}));
    // The front cover.
    p.setBrush(QColor(0x2f, 0x6f, 0xd0));
    p.drawPolygon(QPolygonF({{30, 6}, {58, 10}, {58, 54}, {30, 58}}));
    // A heart on the front.
    QPainterPath heart;
    heart.moveTo(44, 46);
    heart.cubicTo(30, 36, 36, 20, 44, 28);
    heart.cubicTo(52, 20, 58, 36, 44, 46);
    p.setPen(QPen(QColor(0x8a, 0x10, 0x1c), 1.5));
    p.setBrush(QColor(0xe8, 0x3a, 0x4a));
    p.drawPath(heart);
    p.end();
    return pixmap;
}

} // namespace

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(DrawIcon(size));
    return icon;
}
