#include "print/PdfPrinter.h"

#include "storage/AtomicFile.h"
#include "storage/Exception.h"

#include <QPageSize>
#include <QPdfWriter>

TPdfPrinter::TPdfPrinter(const QString& fileName, bool metric, int pixelsPerInch,
                         const TPrinterMargins& margins)
    : FFileName(fileName), FDpi(std::max(1, pixelsPerInch)),
      FHasMargins(margins.Left || margins.Top || margins.Right || margins.Bottom),
      FLayout(QPageSize(metric ? QPageSize::A4 : QPageSize::Letter), QPageLayout::Portrait,
              QMarginsF(margins.Left / 100.0, margins.Top / 100.0, margins.Right / 100.0,
                        margins.Bottom / 100.0),
              QPageLayout::Inch) {
    // Margins as large as the paper must not be trimmed to what the paper allows: the
    // caller checks the printable area instead.
    FLayout.setMode(QPageLayout::FullPageMode);
}

TPdfPrinter::~TPdfPrinter() {
    if (Printing()) Abort();
}

QString TPdfPrinter::Name() const {
    return QStringLiteral("PDF file %1").arg(FFileName);
}

QSize TPdfPrinter::PaperSizePixels() const {
    return FLayout.fullRectPixels(FDpi).size();
}

QSize TPdfPrinter::PageSizePixels() const {
    const QMarginsF m = FLayout.margins(QPageLayout::Inch);
    const QSize paper = PaperSizePixels();
    return {paper.width() - qRound((m.left() + m.right()) * FDpi),
            paper.height() - qRound((m.top() + m.bottom()) * FDpi)};
}

QPoint TPdfPrinter::PrintableOffsetPixels() const {
    const QMarginsF m = FLayout.margins(QPageLayout::Inch);
    return {qRound(m.left() * FDpi), qRound(m.top() * FDpi)};
}

bool TPdfPrinter::Portrait() const {
    return FLayout.orientation() == QPageLayout::Portrait;
}

void TPdfPrinter::SetPortrait(bool portrait) {
    if (Printing()) return;
    FLayout.setOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
}

void TPdfPrinter::BeginDoc() {
    if (Printing()) return;
    FFile = std::make_unique<TAtomicFile>(FFileName);
    FWriter = std::make_unique<QPdfWriter>(&FFile->Device());
    FWriter->setResolution(FDpi);
    FWriter->setCreator(QStringLiteral("QDX"));
    FWriter->setTitle(FTitle);
    // The writer paints inside the margins as a printer paints inside its printable area.
    QPageLayout layout = FLayout;
    layout.setMode(QPageLayout::StandardMode);
    FWriter->setPageLayout(layout);
    if (!FPainter.begin(FWriter.get())) {
        FWriter.reset();
        FFile.reset(); // nothing is left behind
        throw EFCreateError(FFileName);
    }
    FPages = 1;
    ClipToPrintableArea();
}

void TPdfPrinter::NewPage() {
    if (!Printing()) return;
    FWriter->newPage();
    ++FPages;
    ClipToPrintableArea();
}

void TPdfPrinter::EndDoc() {
    if (!Printing()) return;
    FPainter.end();
    FWriter.reset();
    std::unique_ptr<TAtomicFile> file = std::move(FFile);
    file->Commit();
}

void TPdfPrinter::Abort() {
    if (FPainter.isActive()) FPainter.end();
    FWriter.reset();
    FFile.reset(); // the earlier file stays as it was
}

// A printer cannot mark its unprintable margins; neither does the simulation.
void TPdfPrinter::ClipToPrintableArea() {
    if (FHasMargins) FPainter.setClipRect(QRect(QPoint(0, 0), PageSizePixels()));
}
