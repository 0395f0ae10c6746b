#pragma once

#include "document/CardObject.h"

#include <QPoint>
#include <QRect>

// The cursor number shown over a part of a selected object.
int CursorForHandle(THandleCursor handle);

// What the mouse is over when no button is down: a selected object's handle or body.
struct THandleUnderPoint {
    int Cursor = 0;       // a TCursorNumber
    bool MovesLeft = false; // the handle drags the left (or a line's start) edge
    bool MovesTop = false;
};
THandleUnderPoint HandleUnderPoint(const TCardObject& object, QPoint panelPoint);

enum class TDragMode { Idle, Creating, Moving, Resizing, Band };

// The mouse drags of an editing window, in window pixels: creating an object with a tool,
// moving the selection, resizing one object by a handle (an edge dragged past the opposite
// one flips over it), and the band that selects what it touches. The window applies what the
// machine computes to the objects and paints the outlines.
class TDragMachine {
public:
    TDragMode Mode() const { return FMode; }
    bool IsIdle() const { return FMode == TDragMode::Idle; }
    // The cursor number the drag shows; a diagonal turns when its corner flips.
    int Cursor() const { return FCursor; }
    // The dragged rectangle (creating, resizing, band): its corners say which edge follows
    // the mouse; lines keep their direction, so it is not always normalised.
    const TRect& Rect() const { return FRect; }
    QRect Band() const; // normalised
    bool FlipX() const { return FFlipX; }
    bool FlipY() const { return FFlipY; }

    // Hovering a handle chooses the edges a resize will move.
    void Hover(const THandleUnderPoint& handle);
    void BeginCreate(QPoint point, bool line);
    void BeginBand(QPoint point);
    void BeginMove(QPoint point);
    // Returns true when a line must exchange its ends (its start handle was taken).
    bool BeginResize(const TRect& windowBounds, int cursor, bool line);
    // Moving: the offset since the last point.
    QPoint MoveTo(QPoint point);
    // Creating, resizing, band: the edges follow the point. Shift keeps a line vertical,
    // Control horizontal.
    void DragTo(QPoint point, Qt::KeyboardModifiers modifiers);
    void Finish();

private:
    void FlipIfCrossed();

    TDragMode FMode = TDragMode::Idle;
    TRect FRect;
    QPoint FLast;
    int FCursor = 0;
    bool FFlipX = false;
    bool FFlipY = false;
    bool FLine = false; // a line is made or resized
};

// Whether a line from start to end (window pixels) passes through the band.
bool LineCrossesBand(QPoint start, QPoint end, const QRect& band);
