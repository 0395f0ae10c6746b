#include "editor/QDXWin.h"

#include "document/Units.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>

TQDXWindow::TQDXWindow(QWidget* parent)
    : QWidget(parent), FTopRuler(new TRuler(TRuler::TAlignment::Top, this)),
      FLeftRuler(new TRuler(TRuler::TAlignment::Left, this)), FCanvas(new TZoomableCanvas(this)) {
    FTopRuler->SetCorner(true);
    setFocusProxy(FCanvas);

    connect(FCanvas, &TZoomableCanvas::Paint, this, &TQDXWindow::Paint);
    connect(FCanvas, &TZoomableCanvas::MousePressed, this, &TQDXWindow::MousePressed);
    connect(FCanvas, &TZoomableCanvas::MouseMoved, this, &TQDXWindow::OnCanvasMouseMoved);
    connect(FCanvas, &TZoomableCanvas::MouseReleased, this, &TQDXWindow::MouseReleased);
    connect(FCanvas, &TZoomableCanvas::MouseDoubleClicked, this, &TQDXWindow::MouseDoubleClicked);
    connect(FCanvas, &TZoomableCanvas::MouseEntered, this, &TQDXWindow::OnCanvasEntered);
    connect(FCanvas, &TZoomableCanvas::MouseLeft, this, &TQDXWindow::OnCanvasLeft);
    // The rulers follow the canvas's zoom before anyone hears of it, however it was changed.
    connect(FCanvas, &TZoomableCanvas::Zoomed, this, [this] {
        FTopRuler->SetZoomFactor(FCanvas->ZoomFactor());
        FLeftRuler->SetZoomFactor(FCanvas->ZoomFactor());
        ResyncRulers();
        emit Zoomed();
    });
    connect(FCanvas, &TZoomableCanvas::Scrolled, this, [this](Qt::Orientation orientation) {
        ResyncRulers();
        emit Scrolled(orientation);
    });

    resize(150, 150);
    LayoutChildren();
}

void TQDXWindow::SetZoomFactor(int percent) {
    FCanvas->SetZoomFactor(percent);
    // The rulers take the clamped zoom, never the value asked for.
    FTopRuler->SetZoomFactor(FCanvas->ZoomFactor());
    FLeftRuler->SetZoomFactor(FCanvas->ZoomFactor());
    ResyncRulers();
}

void TQDXWindow::SetShowRulers(bool on) {
    if (on == FShowRulers) return;
    FShowRulers = on;
    FTopRuler->setVisible(on);
    FLeftRuler->setVisible(on);
    LayoutChildren();
    ResyncRulers();
}

void TQDXWindow::SetMeasurement(TRuler::TMeasurement measurement) {
    FTopRuler->SetMeasurement(measurement);
    FLeftRuler->SetMeasurement(measurement);
}

void TQDXWindow::SetRulerStartingOffsets(int horizontal, int vertical) {
    FTopRuler->SetStartingOffset(horizontal);
    FLeftRuler->SetStartingOffset(vertical);
}

void TQDXWindow::SetShowCurrentPosition(bool on) {
    FShowPosition = on;
    FTopRuler->SetShowCurrentPosition(on && FMouseInside);
    FLeftRuler->SetShowCurrentPosition(on && FMouseInside);
}

void TQDXWindow::SetHorizontalExtent(int logicalWidth) {
    FCanvas->SetHorizontalExtent(logicalWidth);
    ResyncRulers();
}

void TQDXWindow::SetVerticalExtent(int logicalHeight) {
    FCanvas->SetVerticalExtent(logicalHeight);
    ResyncRulers();
}

void TQDXWindow::SetCurrentPositions(int horizontal, int vertical) {
    FTopRuler->SetCurrentPosition(horizontal);
    FLeftRuler->SetCurrentPosition(vertical);
}

void TQDXWindow::ResyncRulers() {
    const QPoint scroll = FCanvas->ScrollPosition();
    FTopRuler->SetOffset(FTopRuler->PixelsToUnits(scroll.x()));
    FLeftRuler->SetOffset(FLeftRuler->PixelsToUnits(scroll.y()));
}

void TQDXWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutChildren();
    ResyncRulers();
}

void TQDXWindow::OnCanvasMouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                                    QPoint logical) {
    if (FMouseInside) {
        const int zoom = FCanvas->ZoomFactor();
        SetCurrentPositions(FTopRuler->PixelsToUnits(MulDiv(logical.x(), zoom, 100)) +
                                FTopRuler->StartingOffset(),
                            FLeftRuler->PixelsToUnits(MulDiv(logical.y(), zoom, 100)) +
                                FLeftRuler->StartingOffset());
    }
    emit MouseMoved(buttons, modifiers, logical);
}

void TQDXWindow::OnCanvasEntered() {
    FMouseInside = true;
    FTopRuler->SetShowCurrentPosition(FShowPosition);
    FLeftRuler->SetShowCurrentPosition(FShowPosition);
    // A move at once puts the markers and the owner's cursor right before anything else.
    QWidget* viewport = FCanvas->viewport();
    const QPoint global = QCursor::pos();
    QMouseEvent move(QEvent::MouseMove, viewport->mapFromGlobal(global), global, Qt::NoButton,
                     QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
    QCoreApplication::sendEvent(viewport, &move);
    emit MouseEntered();
}

void TQDXWindow::OnCanvasLeft() {
    FMouseInside = false;
    FTopRuler->SetShowCurrentPosition(false);
    FLeftRuler->SetShowCurrentPosition(false);
    emit MouseLeft();
}

void TQDXWindow::LayoutChildren() {
    const int margin = FShowRulers ? TRuler::Thickness : 0;
    if (FShowRulers) {
        FTopRuler->setGeometry(0, 0, width(), TRuler::Thickness);
        FLeftRuler->setGeometry(0, margin, TRuler::Thickness, qMax(0, height() - margin));
    }
    FCanvas->setGeometry(margin, margin, qMax(0, width() - margin), qMax(0, height() - margin));
}
