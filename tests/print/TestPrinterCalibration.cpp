#include "print/PrinterCalibration.h"

#include "document/Settings.h"

#include <gtest/gtest.h>

namespace {

// Where a printer that scales by `scale` and shifts by `shift` puts a point printed with the
// calibration.
QPointF Printed(const TPrintCalibration& c, QPointF paper, QPointF scale, QPointF shift) {
    const QPointF calibrated(paper.x() * c.ScaleX + c.OffsetX, paper.y() * c.ScaleY + c.OffsetY);
    return {calibrated.x() * scale.x() + shift.x(), calibrated.y() * scale.y() + shift.y()};
}

} // namespace

TEST(PrinterCalibration, MeasuringTwiceConvergesOnAPrinterThatShiftsAndScales) {
    const QSize letter(850, 1100);
    const QPointF scale(1.01, 0.985), shift(-7, 12);
    TPrintCalibration calibration;
    for (int round = 0; round < 2; ++round) {
        const std::vector<QPoint> marks = CalibrationMarks(letter);
        const QPointF first = Printed(calibration, marks[0], scale, shift);
        TCalibrationMeasurement measured;
        measured.Left = first.x();
        measured.Top = first.y();
        measured.Across = Printed(calibration, marks[1], scale, shift).x() - first.x();
        measured.Down = Printed(calibration, marks[2], scale, shift).y() - first.y();
        ASSERT_TRUE(CalibrateFromMeasurement(letter, calibration, measured, calibration));
        // Every point of the paper now lands where it belongs.
        for (const QPointF p : {QPointF(0, 0), QPointF(425, 550), QPointF(850, 1100)}) {
            const QPointF at = Printed(calibration, p, scale, shift);
            EXPECT_NEAR(at.x(), p.x(), 1e-6);
            EXPECT_NEAR(at.y(), p.y(), 1e-6);
        }
    }
}

TEST(PrinterCalibration, MismeasurementsAreRefusedAndLeaveTheCalibration) {
    TPrintCalibration calibration{5, -3, 1, 1, true};
    TPrintCalibration result = calibration;
    TCalibrationMeasurement halfScale;
    halfScale.Across = 325;
    EXPECT_FALSE(CalibrateFromMeasurement({850, 1100}, calibration, halfScale, result));
    TCalibrationMeasurement farOff;
    farOff.Left = 400;
    EXPECT_FALSE(CalibrateFromMeasurement({850, 1100}, calibration, farOff, result));
    EXPECT_EQ(result, calibration);
}

TEST(PrinterCalibration, TransformMovesAndScalesFromThePapersCorner) {
    // 300 dpi, printable area 30 pixels in: the paper's corner is at (-30, -30).
    const QTransform t = CalibrationTransform({10, -20, 2, 1, false}, {30, 30}, 300);
    EXPECT_EQ(t.map(QPointF(-30, -30)), QPointF(-30 + 30, -30 - 60));
    EXPECT_EQ(t.map(QPointF(70, 70)), QPointF(-30 + 200 + 30, 70 - 60));
    EXPECT_TRUE(CalibrationTransform({}, {30, 30}, 300).isIdentity());
}

TEST(PrinterCalibration, EachPrinterKeepsItsOwnAndDamagedEntriesReadAsNone) {
    TMemorySettings settings;
    const TPrintCalibration office{1.5, -2.25, 1.002, 0.998, true};
    WriteCalibration(settings, QStringLiteral("Office=Laser [2]"), office);
    WriteCalibration(settings, QStringLiteral("Label"), {3, 4, 1, 1, false});
    EXPECT_EQ(ReadCalibration(settings, QStringLiteral("Office=Laser [2]")), office);
    EXPECT_EQ(ReadCalibration(settings, QStringLiteral("Label")).OffsetY, 4);
    EXPECT_TRUE(ReadCalibration(settings, QStringLiteral("Other")).IsIdentity());
    for (const char* damaged : {"1,2,3", "1,2,0.01,1,0", "nan,0,1,1,0", "500,0,1,1,1"}) {
        SCOPED_TRACE(damaged);
        settings.WriteString(QStringLiteral("Printer Calibration"), QStringLiteral("Label"),
                             QString::fromLatin1(damaged));
        EXPECT_TRUE(ReadCalibration(settings, QStringLiteral("Label")).IsIdentity());
    }
}
