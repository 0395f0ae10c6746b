#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>

class QPainter;

// A scrolling, zooming canvas. Its owner paints and receives the mouse in logical pixels
// (screen pixels at 100 % zoom), whatever the zoom and the scroll position:
// logical = (viewport point + scroll position) x 100 / zoom.
class TZoomableCanvas : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int DefaultMinZoom = 25;
    static constexpr int DefaultMaxZoom = 400;

    explicit TZoomableCanvas(QWidget* parent = nullptr);

    int ZoomFactor() const { return FZoom; }
    // Clamped to [minimum, maximum]; a change rescales both scroll ranges and repaints.
    void SetZoomFactor(int percent);
    int MinZoomFactor() const { return FMinZoom; }
    int MaxZoomFactor() const { return FMaxZoom; }
    void SetMinZoomFactor(int percent); // min(value, maximum), then the zoom is re-clamped
    void SetMaxZoomFactor(int percent); // max(value, minimum), then the zoom is re-clamped
    bool DrawBackground() const { return FDrawBackground; }
    void SetDrawBackground(bool on);

    // The logical size of what the owner paints; the scroll range is this times the zoom.
    void SetHorizontalExtent(int logicalWidth);
    void SetVerticalExtent(int logicalHeight);
    int HorizontalExtent() const { return FExtentWidth; }
    int VerticalExtent() const { return FExtentHeight; }

    QPoint ScrollPosition() const; // device pixels
    QPoint DeviceToLogical(QPoint viewportPoint) const;
    int LogicalX(int deviceX) const;
    int LogicalY(int deviceY) const;
    QRect LogicalToDevice(const QRect& logical) const; // viewport coordinates
    // Repaints the part of the viewport that shows this logical rectangle.
    void InvalidateLogical(const QRect& logical);
    // The logical rectangle being repainted, inflated by one pixel (valid inside Paint).
    QRect LogicalClipRect() const { return FLogicalClip; }

signals:
    // The painter maps logical pixels to the viewport and is clipped to the update area.
    void Paint(QPainter& painter);
    void Zoomed();
    void Scrolled(Qt::Orientation orientation);
    void MousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint logical);
    void MouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint logical);
    void MouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint logical);
    void MouseDoubleClicked(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                            QPoint logical);
    void MouseEntered();
    void MouseLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void UpdateScrollRanges();

    int FZoom = 100;
    int FMinZoom = DefaultMinZoom;
    int FMaxZoom = DefaultMaxZoom;
    bool FDrawBackground = false;
    int FExtentWidth = 0;
    int FExtentHeight = 0;
    QRect FLogicalClip;
};
