#include "editor/DragMachine.h"

#include "editor/Cursors.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

int CursorForHandle(THandleCursor handle) {
    switch (handle) {
    case THandleCursor::None:
        return crDefault;
    case THandleCursor::ObjectBody:
        return crHand;
    case THandleCursor::SizeWE:
        return crSizeWE;
    case THandleCursor::SizeNS:
        return crSizeNS;
    case THandleCursor::SizeNWSE:
        return crSizeNWSE;
    case THandleCursor::SizeNESW:
        return crSizeNESW;
    case THandleCursor::LineEnd:
        return crLineEnd;
    }
    return crDefault;
}

THandleUnderPoint HandleUnderPoint(const TCardObject& object, QPoint panelPoint) {
    const THandleHit hit = object.HitTestHandle(panelPoint);
    return {CursorForHandle(hit.Cursor), hit.MovesLeft, hit.MovesTop};
}

QRect TDragMachine::Band() const {
    return QRect(QPoint(std::min(FRect.Left, FRect.Right), std::min(FRect.Top, FRect.Bottom)),
                 QPoint(std::max(FRect.Left, FRect.Right) - 1,
                        std::max(FRect.Top, FRect.Bottom) - 1));
}

void TDragMachine::Hover(const THandleUnderPoint& handle) {
    if (FMode != TDragMode::Idle) return;
    FCursor = handle.Cursor;
    FFlipX = handle.MovesLeft;
    FFlipY = handle.MovesTop;
}

void TDragMachine::BeginCreate(QPoint point, bool line) {
    FMode = TDragMode::Creating;
    FRect = {point.x(), point.y(), point.x(), point.y()};
    FFlipX = FFlipY = false;
    FLine = line;
    FCursor = crDefault;
}

void TDragMachine::BeginBand(QPoint point) {
    FMode = TDragMode::Band;
    FRect = {point.x(), point.y(), point.x(), point.y()};
    FFlipX = FFlipY = false;
    FLine = false;
    FCursor = crDefault;
}

void TDragMachine::BeginMove(QPoint point) {
    FMode = TDragMode::Moving;
    FLast = point;
}

bool TDragMachine::BeginResize(const TRect& windowBounds, int cursor, bool line) {
    FMode = TDragMode::Resizing;
    FRect = windowBounds;
    FCursor = cursor;
    FLine = line;
    // A line is dragged by its end: its start handle exchanges the ends instead.
    const bool exchange = line && FFlipX;
    if (exchange) FFlipX = false;
    return exchange;
}

QPoint TDragMachine::MoveTo(QPoint point) {
    const QPoint offset = point - FLast;
    FLast = point;
    return offset;
}

void TDragMachine::DragTo(QPoint point, Qt::KeyboardModifiers modifiers) {
    const bool band = FMode == TDragMode::Band;
    const bool line = !band && FLine;
    if (line && (modifiers & Qt::ShiftModifier))
        FRect.Right = FRect.Left;
    else if (FFlipX)
        FRect.Left = point.x();
    else if (FCursor != crSizeNS)
        FRect.Right = point.x();
    if (line && (modifiers & Qt::ControlModifier))
        FRect.Bottom = FRect.Top;
    else if (FFlipY)
        FRect.Top = point.y();
    else if (FCursor != crSizeWE)
        FRect.Bottom = point.y();
    // Lines keep their direction: their rectangle is never normalised.
    if (!line && FCursor != crSizeAll && FCursor != crLineEnd) FlipIfCrossed();
}

void TDragMachine::FlipIfCrossed() {
    auto turn = [this] {
        if (FCursor == crSizeNWSE)
            FCursor = crSizeNESW;
        else if (FCursor == crSizeNESW)
            FCursor = crSizeNWSE;
    };
    if (FRect.Right < FRect.Left) {
        FFlipX = !FFlipX;
        std::swap(FRect.Left, FRect.Right);
        turn();
    }
    if (FRect.Bottom < FRect.Top) {
        FFlipY = !FFlipY;
        std::swap(FRect.Top, FRect.Bottom);
        turn();
    }
}

void TDragMachine::Finish() {
    FMode = TDragMode::Idle;
    FLine = false;
}

bool LineCrossesBand(QPoint start, QPoint end, const QRect& band) {
    int x0 = start.x(), y0 = start.y();
    const int x1 = end.x(), y1 = end.y();
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        if (band.contains(x0, y0)) return true;
        if (x0 == x1 && y0 == y1) return false;
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}
