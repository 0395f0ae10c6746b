#pragma once

#include <QPainter>

// Where an object draws: a painter plus what the drawing code needs to know of its device.
// On the editing surface the painter's transform carries the zoom (logical pixels map to
// device pixels by zoom / 100) and the resolution is the screen's; on the printer and on
// images it is the device's own. A negative horizontal scale is a mirrored mapping.
class TCanvas {
public:
    enum class TKind { Screen, Printer, PrintPreview, Image };

    TCanvas(QPainter& painter, int dpiX, int dpiY, TKind kind)
        : FPainter(painter), FDpiX(dpiX), FDpiY(dpiY), FKind(kind) {}

    QPainter& Painter() const { return FPainter; }
    int DpiX() const { return FDpiX; }
    int DpiY() const { return FDpiY; }
    TKind Kind() const { return FKind; }
    bool IsPrinter() const { return FKind == TKind::Printer; }
    bool IsPrintPreview() const { return FKind == TKind::PrintPreview; }
    // The zoom in percent that the painter's mapping applies.
    int ZoomPercent() const;
    // Device pixels per inch along the drawing's x axis: the resolution with the painter's
    // mapping applied (the screen's at 100 % zoom on the editing surface).
    int EffectivePixelsPerInch() const;
    bool IsMirrored() const { return FPainter.worldTransform().m11() < 0; }
    // The Turned and Mirrored flags of the panel being printed or previewed, for objects that
    // place text or pictures themselves; clear elsewhere.
    bool PanelTurned() const { return FPanelTurned; }
    bool PanelMirrored() const { return FPanelMirrored; }
    void SetPanelTurn(bool turned, bool mirrored) {
        FPanelTurned = turned;
        FPanelMirrored = mirrored;
    }

private:
    QPainter& FPainter;
    int FDpiX;
    int FDpiY;
    TKind FKind;
    bool FPanelTurned = false;
    bool FPanelMirrored = false;
};
