#include "editor/Cursors.h"

#include "editor/EditorState.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace {

// A cross-hair with a small sign of what the tool makes, hot spot at the centre of the cross.
QCursor ToolPicture(const std::function<void(QPainter&)>& sign) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(8, 1, 8, 15);
    p.drawLine(1, 8, 15, 8);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(8, 1, 8, 15);
    p.drawLine(1, 8, 15, 8);
    p.translate(14, 14);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    sign(p);
    p.end();
    return QCursor(pixmap, 8, 8);
}

QCursor Letter(const QString& text) {
    return ToolPicture([text](QPainter& p) {
        QFont font(QStringLiteral("Sans"));
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.drawRect(QRectF(0.5, 0.5, 15, 15));
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, text);
    });
}

QCursor Hand(bool closed) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    if (closed) {
        p.drawRoundedRect(QRectF(5, 8, 13, 11), 4, 4);
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(7.5 + 3 * i, 8), QPointF(7.5 + 3 * i, 12));
    } else {
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(QRectF(5 + 3.2 * i, 2 + (i % 3), 3, 10), 1.5, 1.5);
        p.drawRoundedRect(QRectF(5, 9, 13, 11), 4, 4);
        p.drawRoundedRect(QRectF(1, 11, 5, 3), 1.5, 1.5);
    }
    p.end();
    return QCursor(pixmap, 11, 11);
}

QCursor Make(int number) {
    switch (number) {
    case crHand:
        return Hand(false);
    case crDragHand:
        return Hand(true);
    case crHeadline:
        return Letter(QStringLiteral("A"));
    case crText:
        return Letter(QStringLiteral("T"));
    case crPicture:
        return ToolPicture([](QPainter& p) {
            p.drawRect(QRectF(0.5, 0.5, 15, 12));
            p.drawEllipse(QPointF(5, 4.5), 1.8, 1.8);
            p.drawPolyline(QPolygonF({{1, 12}, {6, 7}, {9, 10}, {12, 6}, {15, 12}}));
        });
    case crLine:
        return ToolPicture([](QPainter& p) { p.drawLine(QPointF(1, 14), QPointF(15, 2)); });
    case crRectangle:
        return ToolPicture([](QPainter& p) { p.drawRect(QRectF(0.5, 2.5, 15, 11)); });
    case crRRectangle:
        return ToolPicture([](QPainter& p) { p.drawRoundedRect(QRectF(0.5, 2.5, 15, 11), 4, 4); });
    case crEllipse:
        return ToolPicture([](QPainter& p) { p.drawEllipse(QRectF(0.5, 2.5, 15, 11)); });
    case crBarCode:
        return ToolPicture([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            for (int x : {0, 2, 5, 6, 9, 12, 14})
                p.drawRect(x, 1, (x % 3) ? 1 : 2, 13);
        });
    case crComb:
        return ToolPicture([](QPainter& p) {
            p.drawLine(QPointF(0, 12), QPointF(16, 12));
            for (int x = 0; x <= 16; x += 4)
                p.drawLine(QPointF(x, 12), QPointF(x, 7));
        });
    case crGrid:
        return ToolPicture([](QPainter& p) {
            p.drawRect(QRectF(0.5, 0.5, 15, 15));
            p.drawLine(QPointF(8, 0.5), QPointF(8, 15.5));
            p.drawLine(QPointF(0.5, 8), QPointF(15.5, 8));
        });
    case crField:
        return Letter(QStringLiteral("F"));
    case crLinkFrom:
        return Letter(QStringLiteral("1"));
    case crLinkTo:
        return Letter(QStringLiteral("2"));
    case crSizeNESW:
        return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS:
        return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE:
        return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE:
        return QCursor(Qt::SizeHorCursor);
    case crSizeAll:
        return QCursor(Qt::SizeAllCursor);
    case crLineEnd:
        return QCursor(Qt::CrossCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

} // namespace

QPixmap ToolIcon(int tool) {
    if (tool != ToolEdit) return CursorFor(ToolCursor(tool)).pixmap();
    // The edit tool: a plain pointer.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{9, 4}, {9, 24}, {14, 19}, {18, 28}, {21, 27}, {17, 18}, {24, 18}}));
    return pixmap;
}

QCursor CursorFor(int number) {
    static QHash<int, QCursor> made;
    auto found = made.constFind(number);
    if (found != made.constEnd()) return *found;
    const QCursor cursor = Make(number);
    made.insert(number, cursor);
    return cursor;
}

int ToolCursor(int tool) {
    if (tool >= ToolHeadline && tool <= ToolField) return crHeadline + tool - ToolHeadline;
    if (tool == ToolLinkFrom) return crLinkFrom;
    if (tool == ToolLinkTo) return crLinkTo;
    return crDefault;
}

bool IsToolCursor(int number) {
    return number >= crHeadline && number <= crField;
}
