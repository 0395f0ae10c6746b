#include "document/Canvas.h"

#include <cmath>

int TCanvas::ZoomPercent() const {
    return static_cast<int>(std::lround(std::abs(FPainter.worldTransform().m11()) * 100));
}
