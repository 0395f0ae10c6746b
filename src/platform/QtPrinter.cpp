#include "platform/QtPrinter.h"

#include "print/PrintPublication.h"
#include "storage/Exception.h"

#include <QDir>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

#include <algorithm>

namespace {

// A pass with a turned text object becomes a picture at the printer's resolution; beyond
// this the pictures grow large without a visible gain.
constexpr int MaximumResolution = 600;
constexpr int PdfResolution = 300;

} // namespace

TQtPrinter::TQtPrinter(bool metric)
    : FPrinter(QPrinter::HighResolution),
      FUnits(metric ? QPageLayout::Millimeter : QPageLayout::Inch) {
    if (QPrinterInfo::availablePrinters().isEmpty() || FPrinter.printerName().isEmpty())
        UsePdfFile(QString());
    FPrinter.setPageSize(QPageSize(metric ? QPageSize::A4 : QPageSize::Letter));
    // The page setup dialog measures in the layout's units (the locale's, for points).
    QPageLayout layout = FPrinter.pageLayout();
    layout.setUnits(FUnits);
    FPrinter.setPageLayout(layout);
    LimitResolution();
}

TQtPrinter::~TQtPrinter() {
    if (Printing()) Abort();
}

QStringList TQtPrinter::SystemPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

void TQtPrinter::UsePdfFile(const QString& fileName) {
    FPrinter.setOutputFormat(QPrinter::PdfFormat);
    FPrinter.setOutputFileName(fileName);
    // A file has no unprintable margins.
    FPrinter.setFullPage(false);
    FPrinter.setPageMargins(QMarginsF(0, 0, 0, 0), FUnits);
    LimitResolution();
}

void TQtPrinter::LimitResolution() {
    const int limit = WritesFile() ? PdfResolution : MaximumResolution;
    if (FPrinter.resolution() > limit) FPrinter.setResolution(limit);
}

QString TQtPrinter::Name() const {
    return WritesFile() ? QString::fromLatin1(PdfName) : FPrinter.printerName();
}

bool TQtPrinter::WritesFile() const {
    return FPrinter.outputFormat() == QPrinter::PdfFormat || !FPrinter.outputFileName().isEmpty();
}

QSize TQtPrinter::PaperSizePixels() const {
    return FPrinter.paperRect(QPrinter::DevicePixel).size().toSize();
}

QSize TQtPrinter::PageSizePixels() const {
    return FPrinter.pageRect(QPrinter::DevicePixel).size().toSize();
}

QPoint TQtPrinter::PrintableOffsetPixels() const {
    return FPrinter.pageRect(QPrinter::DevicePixel).topLeft().toPoint();
}

bool TQtPrinter::Portrait() const {
    return FPrinter.pageLayout().orientation() == QPageLayout::Portrait;
}

void TQtPrinter::SetPortrait(bool portrait) {
    if (Printing()) return;
    FPrinter.setPageOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
}

void TQtPrinter::SetTitle(const QString& title) {
    FPrinter.setDocName(title);
}

void TQtPrinter::BeginDoc() {
    if (Printing()) return;
    NameOutputFile();
    if (!FPainter.begin(&FPrinter)) {
        if (WritesFile()) throw EFCreateError(FPrinter.outputFileName());
        throw Exception(QStringLiteral("The printer %1 cannot print").arg(Name()));
    }
}

void TQtPrinter::NameOutputFile() {
    if (!WritesFile() || !FPrinter.outputFileName().isEmpty()) return;
    const QString name = FPrinter.docName().isEmpty() ? QStringLiteral("QDX") : FPrinter.docName();
    FPrinter.setOutputFileName(QDir::home().filePath(name + QStringLiteral(".pdf")));
}

void TQtPrinter::NewPage() {
    if (Printing() && !FPrinter.newPage())
        throw Exception(QStringLiteral("The printer %1 cannot start a new page").arg(Name()));
}

void TQtPrinter::EndDoc() {
    if (!Printing()) return;
    if (!FPainter.end()) throw Exception(QStringLiteral("The printer %1 failed").arg(Name()));
}

void TQtPrinter::Abort() {
    FPrinter.abort();
    if (FPainter.isActive()) FPainter.end();
}

bool RunPrintDialog(QWidget* parent, TQtPrinter& printer, int pageCount, TPrintRequest& request) {
    QPrinter& device = printer.Device();
    device.setDocName(request.Title);
    printer.NameOutputFile();
    device.setCopyCount(1);
    device.setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(&device, parent);
    dialog.setMinMax(1, std::max(1, pageCount));
    dialog.setFromTo(1, std::max(1, pageCount));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return false;
    request.Copies = device.copyCount();
    if (device.printRange() == QPrinter::PageRange) {
        request.FromPage = device.fromPage();
        request.ToPage = device.toPage();
    } else {
        request.FromPage = request.ToPage = 0;
    }
    // Printing repeats the copies and picks the pages itself; the printer must not repeat
    // them again.
    device.setCopyCount(1);
    device.setPrintRange(QPrinter::AllPages);
    device.setFromTo(0, 0);
    printer.LimitResolution();
    return true;
}

bool RunPageSetupDialog(QWidget* parent, TQtPrinter& printer) {
    QPageSetupDialog dialog(&printer.Device(), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    printer.LimitResolution();
    return true;
}
