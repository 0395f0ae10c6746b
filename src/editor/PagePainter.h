#pragma once

#include "editor/DragMachine.h"
#include "editor/PageGeometry.h"

class QPainter;

// Draws what an editing window shows of its page: the desk, the panels' margins, grid and
// folds, pre-cut paper outlines, the objects with the selection's handles, and the overlay
// of outlines while objects are dragged, made or resized. Rectangles are window pixels.
class TPagePainter {
public:
    TPagePainter(const TPageGeometry& geometry, const TCardObjectTable& selection);

    void PaintPage(QPainter& painter, const QRect& clip) const;
    // Outlines drawn with XOR over the page: the band, the object being made or resized, or
    // the unlocked selected objects while outlines are on.
    void PaintOverlay(QPainter& painter, const TDragMachine& drag, const TCardObject* inProgress,
                      int dragPanel, bool outlines) const;

private:
    void PaintDesk(QPainter& painter, const QRect& clip) const;
    void PaintPanelMarks(QPainter& painter, const QRect& clip, const TCard& card) const;
    void PaintFoldLines(QPainter& painter) const;
    void PaintPaperOutlines(QPainter& painter, const TCard& card) const;
    void PaintObjects(QPainter& painter, const QRect& clip) const;
    void PaintUnprintedParts(QPainter& painter, const QRect& clip) const;

    const TPageGeometry& FGeometry;
    const TCardObjectTable& FSelection;
};
