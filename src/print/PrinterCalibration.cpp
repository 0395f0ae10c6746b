#include "print/PrinterCalibration.h"

#include "document/Settings.h"
#include "print/Printer.h"
#include "types/CardType.h"

#include <QFont>
#include <QPainter>
#include <QStringList>

#include <cmath>

namespace {

const QString Section = QStringLiteral("Printer Calibration");

// A scale further off than this is a mismeasurement, not a printer.
constexpr qreal ScaleTolerance = 0.2;
// Nor does a printer put things an inch away from where they belong.
constexpr qreal LargestOffset = 100;
constexpr int CrossArm = 50;
constexpr int CircleRadius = 15;

// Ini keys end at '=' and sections at ']'.
QString KeyOf(const QString& printer) {
    QString key = printer;
    for (QChar& c : key)
        if (c == QLatin1Char('=') || c == QLatin1Char('[') || c == QLatin1Char(']') ||
            c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char('_');
    return key;
}

// Of a total print scale `total` measured over a printer already scaled by `current`.
bool Refine(qreal expected, qreal measured, qreal inset, qreal position, qreal currentScale,
            qreal currentOffset, qreal& scale, qreal& offset) {
    const qreal total = measured > 0 && expected > 0 ? measured / expected : 1;
    if (std::abs(total - 1) > ScaleTolerance) return false;
    const qreal shift = position - total * inset; // where the printer now puts 0
    scale = currentScale / total;
    offset = currentOffset - shift * currentScale / total;
    return std::abs(offset) <= LargestOffset;
}

void DrawCross(QPainter& painter, QPoint at, int number) {
    painter.drawLine(at - QPoint(CrossArm, 0), at + QPoint(CrossArm, 0));
    painter.drawLine(at - QPoint(0, CrossArm), at + QPoint(0, CrossArm));
    painter.drawEllipse(at, CircleRadius, CircleRadius);
    painter.drawText(at + QPoint(CircleRadius + 4, -CircleRadius - 4), QString::number(number));
}

} // namespace

QTransform CalibrationTransform(const TPrintCalibration& c, QPoint printableOffset, int dpi) {
    const qreal dx = c.OffsetX * dpi / 100.0, dy = c.OffsetY * dpi / 100.0;
    return QTransform::fromTranslate(printableOffset.x(), printableOffset.y()) *
           QTransform::fromScale(c.ScaleX, c.ScaleY) *
           QTransform::fromTranslate(dx - printableOffset.x(), dy - printableOffset.y());
}

std::vector<QPoint> CalibrationMarks(QSize paper) {
    const int inset = CalibrationMarkInset;
    return {{inset, inset}, {paper.width() - inset, inset}, {inset, paper.height() - inset}};
}

bool CalibrateFromMeasurement(QSize paper, const TPrintCalibration& current,
                              const TCalibrationMeasurement& measured, TPrintCalibration& result) {
    const std::vector<QPoint> marks = CalibrationMarks(paper);
    TPrintCalibration next = current;
    if (!Refine(marks[1].x() - marks[0].x(), measured.Across, marks[0].x(), measured.Left,
                current.ScaleX, current.OffsetX, next.ScaleX, next.OffsetX) ||
        !Refine(marks[2].y() - marks[0].y(), measured.Down, marks[0].y(), measured.Top,
                current.ScaleY, current.OffsetY, next.ScaleY, next.OffsetY))
        return false;
    result = next;
    return true;
}

void PrintCalibrationSheet(TPrinter& printer, bool portrait, bool metric,
                           const TPrintCalibration& calibration) {
    printer.SetPortrait(portrait);
    printer.SetTitle(QStringLiteral("Calibration sheet"));
    const int dpi = std::max(1, printer.PixelsPerInch());
    const QSize paper = PaperSize(portrait, metric);
    printer.BeginDoc();
    try {
        QPainter& painter = printer.Painter();
        const QPoint offset = printer.PrintableOffsetPixels();
        // Drawn in 1/100 inch from the paper's corner.
        painter.setWorldTransform(QTransform::fromScale(dpi / 100.0, dpi / 100.0) *
                                  CalibrationTransform(calibration, offset, dpi));
        painter.setPen(QPen(Qt::black, 0));
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(14);
        painter.setFont(font);
        const std::vector<QPoint> marks = CalibrationMarks(paper);
        for (size_t i = 0; i < marks.size(); ++i) DrawCross(painter, marks[i], int(i) + 1);
        const QRect text(marks[0].x() + 50, 250, paper.width() - 2 * marks[0].x() - 100, 400);
        painter.drawText(
            text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
            QStringLiteral("Printer: %1\n\n"
                           "Measure from the paper's edges to the centre of crosshair 1 (it "
                           "belongs 1 inch, 25.4 mm, from the left and from the top), and from "
                           "crosshair 1 to crosshairs 2 and 3 (%2 and %3 inches).")
                .arg(printer.Name())
                .arg((marks[1].x() - marks[0].x()) / 100.0)
                .arg((marks[2].y() - marks[0].y()) / 100.0));
    } catch (...) {
        printer.Abort();
        throw;
    }
    printer.EndDoc();
}

TPrintCalibration ReadCalibration(const TSettingsStore& settings, const QString& printer) {
    const QStringList parts =
        settings.ReadString(Section, KeyOf(printer), QString()).split(QLatin1Char(','));
    TPrintCalibration calibration;
    if (parts.size() != 5) return calibration;
    qreal values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(values[i])) return calibration;
    }
    // A hand-edited file must not shrink the print to nothing or throw it off the paper.
    for (const int scale : {2, 3})
        if (std::abs(values[scale] - 1) > ScaleTolerance * 2) return calibration;
    for (const int offset : {0, 1})
        if (std::abs(values[offset]) > LargestOffset) return calibration;
    calibration.OffsetX = values[0];
    calibration.OffsetY = values[1];
    calibration.ScaleX = values[2];
    calibration.ScaleY = values[3];
    calibration.ForFiles = parts[4].trimmed() == QLatin1String("1");
    return calibration;
}

void WriteCalibration(TSettingsStore& settings, const QString& printer,
                      const TPrintCalibration& c) {
    settings.WriteString(Section, KeyOf(printer),
                         QStringLiteral("%1,%2,%3,%4,%5")
                             .arg(c.OffsetX, 0, 'g', 6)
                             .arg(c.OffsetY, 0, 'g', 6)
                             .arg(c.ScaleX, 0, 'g', 8)
                             .arg(c.ScaleY, 0, 'g', 8)
                             .arg(c.ForFiles ? 1 : 0));
}
