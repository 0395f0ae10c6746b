#include "document/Units.h"

#include "document/AppContext.h"
#include "document/Canvas.h"

#include <cmath>
#include <cstdlib>

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const qint64 product = qint64(number) * numerator;
    const qint64 magnitude = (std::llabs(product) + std::llabs(qint64(denominator)) / 2) /
                             std::llabs(qint64(denominator));
    const bool negative = (product < 0) != (denominator < 0);
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}

int RoundHalfAway(double value) {
    return static_cast<int>(std::round(value));
}

int ScreenPixelsPerInch() {
    return AppContext().ScreenPixelsPerInch;
}

int UnitsToScreen(int units) {
    return MulDiv(units, ScreenPixelsPerInch(), 100);
}
int ScreenToUnits(int pixels) {
    return MulDiv(pixels, 100, ScreenPixelsPerInch());
}
int ScreenToTwips(int pixels) {
    return MulDiv(pixels, 1440, ScreenPixelsPerInch());
}

QPoint UnitsToScreen(QPoint units) {
    return {UnitsToScreen(units.x()), UnitsToScreen(units.y())};
}
QPoint ScreenToUnits(QPoint pixels) {
    return {ScreenToUnits(pixels.x()), ScreenToUnits(pixels.y())};
}

TRect UnitsToScreen(const TRect& r) {
    return {UnitsToScreen(r.Left), UnitsToScreen(r.Top), UnitsToScreen(r.Right),
            UnitsToScreen(r.Bottom)};
}

TRect ScreenToUnits(const TRect& r) {
    return {ScreenToUnits(r.Left), ScreenToUnits(r.Top), ScreenToUnits(r.Right),
            ScreenToUnits(r.Bottom)};
}

int MetricToScreen(int hundredthsOfMillimetre) {
    return MulDiv(RoundHalfAway(hundredthsOfMillimetre * 0.03937), ScreenPixelsPerInch(), 100);
}

int UnitsToDeviceX(const TCanvas& canvas, int units) {
    return MulDiv(units, canvas.DpiX(), 100);
}
int UnitsToDeviceY(const TCanvas& canvas, int units) {
    return MulDiv(units, canvas.DpiY(), 100);
}

TRect UnitsToDevice(const TCanvas& canvas, const TRect& r) {
    return {UnitsToDeviceX(canvas, r.Left), UnitsToDeviceY(canvas, r.Top),
            UnitsToDeviceX(canvas, r.Right), UnitsToDeviceY(canvas, r.Bottom)};
}

int DeviceToUnitsX(const TCanvas& canvas, int pixels) {
    return MulDiv(pixels, 100, canvas.DpiX());
}
int DeviceToUnitsY(const TCanvas& canvas, int pixels) {
    return MulDiv(pixels, 100, canvas.DpiY());
}
int DeviceToTwipsX(const TCanvas& canvas, int pixels) {
    return MulDiv(pixels, 1440, canvas.DpiX());
}
int DeviceToTwipsY(const TCanvas& canvas, int pixels) {
    return MulDiv(pixels, 1440, canvas.DpiY());
}
