#include "document/Canvas.h"

#include <cmath>

int TCanvas::ZoomPercent() const {
    return static_cast<int>(std::lround(std::abs(FPainter.worldTransform().m11()) * 100));
}

int TCanvas::EffectivePixelsPerInch() const {
    // The length of the mapped x axis, so that turned panels (a quarter turn moves the scale
    // out of m11) count as well as straight ones.
    const QTransform& t = FPainter.worldTransform();
    return static_cast<int>(std::lround(std::hypot(t.m11(), t.m12()) * FDpiX));
}
