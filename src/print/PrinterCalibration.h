#pragma once

// A printer's own error in placing what it prints, measured by the user on a calibration sheet
// and undone on every print: a shift and a scale of the paper, about its top-left corner.
// Lengths in 1/100 inch; scales as factors.

#include <QPoint>
#include <QSize>
#include <QString>
#include <QTransform>

#include <vector>

class QPainter;
class TPrinter;
class TSettingsStore;

struct TPrintCalibration {
    qreal OffsetX = 0, OffsetY = 0; // added to every position on the paper
    qreal ScaleX = 1, ScaleY = 1;
    bool ForFiles = false; // also when the printer writes a file
    bool IsIdentity() const { return OffsetX == 0 && OffsetY == 0 && ScaleX == 1 && ScaleY == 1; }
    bool operator==(const TPrintCalibration&) const = default;
};

// The painter transform that applies the calibration on a page device whose (0, 0) is
// `printableOffset` pixels from the paper's corner.
QTransform CalibrationTransform(const TPrintCalibration& calibration, QPoint printableOffset,
                                int dpi);

// The calibration sheet's crosshairs on the paper: the first an inch in from the top-left
// corner, the second an inch in from the top-right, the third an inch up from the bottom-left.
constexpr int CalibrationMarkInset = 100;
std::vector<QPoint> CalibrationMarks(QSize paper);

// What the user measured on a calibration sheet, 1/100 inch: the first crosshair from the
// paper's left and top edges, and (0 when not measured) the distance from it to the second
// crosshair and to the third.
struct TCalibrationMeasurement {
    qreal Left = CalibrationMarkInset, Top = CalibrationMarkInset;
    qreal Across = 0, Down = 0;
};

// The calibration that puts the crosshairs where they belong, given that the sheet was
// printed with `current` (so measuring again refines the calibration). A distance of 0 keeps
// the scale; absurd measurements (a scale off by more than a fifth, an offset over an inch)
// are refused with false.
bool CalibrateFromMeasurement(QSize paper, const TPrintCalibration& current,
                              const TCalibrationMeasurement& measured, TPrintCalibration& result);

// Prints one calibration sheet on the printer with the calibration applied. Throws an
// Exception when the printer fails.
void PrintCalibrationSheet(TPrinter& printer, bool portrait, bool metric,
                           const TPrintCalibration& calibration);

// Each printer's calibration in the settings, by the printer's name.
TPrintCalibration ReadCalibration(const TSettingsStore& settings, const QString& printer);
void WriteCalibration(TSettingsStore& settings, const QString& printer,
                      const TPrintCalibration& calibration);
