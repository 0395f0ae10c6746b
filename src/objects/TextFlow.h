#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTextLayout>
#include <QVector>

#include <memory>
#include <utility>
#include <vector>

class QPainter;
class QTextDocument;

// Lays one story (a text document) out through a chain of frames: lines fill a frame from the
// top; the line that no longer fits starts the next frame, so a paragraph may end in another
// frame than it began, its formatting intact. Frames may differ in size. Layout happens once,
// at a fixed resolution, and every device draws the same lines scaled: the editor, the
// screen, the printer, the preview and rendered pictures break lines in the same places.
// Text that fits no frame is not laid out; Overflows says it is there.
class TTextFlow {
public:
    static constexpr double Resolution = 1440.0; // layout units (twips) per inch

    TTextFlow();
    ~TTextFlow();
    TTextFlow(const TTextFlow&) = delete;
    TTextFlow& operator=(const TTextFlow&) = delete;

    // Lays the document out through frames of the given inner sizes (twips), in chain order.
    void Layout(const QTextDocument& document, const std::vector<QSizeF>& frames);

    int FrameCount() const { return int(FFrames.size()); }
    // The document positions [start, end) shown in a frame; start == end for an empty frame.
    int FrameStart(int frame) const;
    int FrameEnd(int frame) const;
    // True when text remains after the last frame.
    bool Overflows() const { return FOverflows; }
    // The document position where the laid-out text ends (the overflow starts).
    int LaidOutEnd() const { return FLaidOutEnd; }

    // Draws a frame's lines with the painter in layout units, the frame's top-left at origin.
    void DrawFrame(QPainter& painter, int frame, const QPointF& origin) const;

    struct TCaret {
        int Frame = -1;  // -1: the position lies in the overflow
        QRectF Rect;     // frame-local layout units
    };
    TCaret CaretAt(int position) const;
    // The document position nearest to a frame-local point.
    int PositionAt(int frame, const QPointF& point) const;
    // The frame-local rectangles that cover the document positions [from, to) in a frame.
    QVector<QRectF> SelectionRects(int frame, int from, int to) const;
    // The position on the line above or below the one holding position, nearest to x (frame
    // local); -1 when there is no such line.
    int PositionOnNextLine(int position, int direction) const;
    // The document positions where the laid-out line holding position starts and ends;
    // {position, position} in the overflow.
    std::pair<int, int> LineRange(int position) const;

private:
    struct TLineRef {
        int Block;
        int Line;
    };
    struct TBlockLayout;
    struct TFrame {
        QSizeF Size;
        std::vector<TLineRef> Lines;
        int Start = 0;
        int End = 0;
    };
    const TBlockLayout* BlockAt(int position) const;
    int FrameOfLine(const TBlockLayout& block, int line) const;

    std::vector<std::unique_ptr<TBlockLayout>> FBlocks;
    std::vector<TFrame> FFrames;
    std::vector<QSizeF> FSizes;
    bool FOverflows = false;
    int FLaidOutEnd = 0;
};

// The text formats of a document measured at the layout resolution.
QFont FlowFont(const QFont& font);
