#pragma once

#include "editor/Ruler.h"
#include "editor/ZoomCan.h"

#include <QWidget>

// The drawing surface of an editing window: the zooming canvas with a ruler along its top
// (with the corner) and one along its left. Mouse events and painting arrive in logical
// pixels; the rulers follow zoom, scrolling and the mouse.
class TQDXWindow : public QWidget {
    Q_OBJECT
public:
    explicit TQDXWindow(QWidget* parent = nullptr);

    TZoomableCanvas* Canvas() const { return FCanvas; }
    TRuler* TopRuler() const { return FTopRuler; }
    TRuler* LeftRuler() const { return FLeftRuler; }

    int ZoomFactor() const { return FCanvas->ZoomFactor(); }
    // Sets the canvas's and both rulers' zoom and re-synchronises the rulers.
    void SetZoomFactor(int percent);
    bool ShowRulers() const { return FShowRulers; }
    void SetShowRulers(bool on);
    TRuler::TMeasurement Measurement() const { return FTopRuler->Measurement(); }
    void SetMeasurement(TRuler::TMeasurement measurement);
    void SetRulerStartingOffsets(int horizontal, int vertical);
    bool ShowCurrentPosition() const { return FShowPosition; }
    void SetShowCurrentPosition(bool on);
    bool MouseInside() const { return FMouseInside; }
    void SetHorizontalExtent(int logicalWidth);
    void SetVerticalExtent(int logicalHeight);
    // The rulers' current positions, thousandths of the unit.
    int CurrentPositionHorz() const { return FTopRuler->CurrentPosition(); }
    int CurrentPositionVert() const { return FLeftRuler->CurrentPosition(); }
    // Moves both position markers (thousandths of the unit).
    void SetCurrentPositions(int horizontal, int vertical);
    void ResyncRulers();

signals:
    void Paint(QPainter& painter);
    void MousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint logical);
    void MouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint logical);
    void MouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint logical);
    void MouseDoubleClicked(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                            QPoint logical);
    void MouseEntered();
    void MouseLeft();
    void Zoomed();
    void Scrolled(Qt::Orientation orientation);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnCanvasMouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                            QPoint logical);
    void OnCanvasEntered();
    void OnCanvasLeft();
    void LayoutChildren();

    TRuler* FTopRuler;
    TRuler* FLeftRuler;
    TZoomableCanvas* FCanvas;
    bool FShowRulers = true;
    bool FShowPosition = true;
    bool FMouseInside = false;
};
