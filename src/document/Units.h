#pragma once

#include "storage/Rect.h"

#include <QPoint>

class TCanvas;

// Conversions between document units (1/100 inch), logical pixels (screen pixels at 100 %
// zoom), device pixels and twips. All go through MulDiv: a 64-bit product divided with
// rounding to nearest, halves away from zero.

int MulDiv(int number, int numerator, int denominator);
// Reals become integers by rounding to nearest, halves away from zero.
int RoundHalfAway(double value);

int ScreenPixelsPerInch();

int UnitsToScreen(int units);
int ScreenToUnits(int pixels);
int ScreenToTwips(int pixels);
QPoint UnitsToScreen(QPoint units);
QPoint ScreenToUnits(QPoint pixels);
TRect UnitsToScreen(const TRect& units);
TRect ScreenToUnits(const TRect& pixels);
// Hundredths of a millimetre to logical pixels, for lengths given in the metric system.
int MetricToScreen(int hundredthsOfMillimetre);

int UnitsToDeviceX(const TCanvas& canvas, int units);
int UnitsToDeviceY(const TCanvas& canvas, int units);
TRect UnitsToDevice(const TCanvas& canvas, const TRect& units);
int DeviceToUnitsX(const TCanvas& canvas, int pixels);
int DeviceToUnitsY(const TCanvas& canvas, int pixels);
int DeviceToTwipsX(const TCanvas& canvas, int pixels);
int DeviceToTwipsY(const TCanvas& canvas, int pixels);
