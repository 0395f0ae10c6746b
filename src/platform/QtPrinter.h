#pragma once

#include "print/Printer.h"

#include <QPainter>
#include <QPrinter>

class QWidget;
struct TPrintRequest;

// The system's printers (through CUPS) and "Print to PDF file", which is there even when the
// system has no printer: the program never lacks a printer. The paper starts as Letter or A4
// by the measuring system, which the page setup dialog measures in; the dialog may change it.
class TQtPrinter : public TPrinter {
public:
    static constexpr const char* PdfName = "Print to PDF file";

    explicit TQtPrinter(bool metric);
    ~TQtPrinter() override;

    QPrinter& Device() { return FPrinter; }
    // The names of the system's printers; empty when it has none.
    static QStringList SystemPrinters();

    QString Name() const override;
    bool WritesFile() const override;
    int PixelsPerInch() const override { return FPrinter.resolution(); }
    QSize PaperSizePixels() const override;
    QSize PageSizePixels() const override;
    QPoint PrintableOffsetPixels() const override;
    bool Portrait() const override;
    void SetPortrait(bool portrait) override;
    void SetTitle(const QString& title) override;

    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override { return FPainter.isActive(); }
    QPainter& Painter() override { return FPainter; }

    // Makes this the PDF printer writing to the file.
    void UsePdfFile(const QString& fileName);
    // Keeps the resolution in bounds after a dialog changed the printer.
    void LimitResolution();
    // Printing to a file without a name writes "<document name>.pdf" in the home folder.
    void NameOutputFile();

private:
    QPrinter FPrinter;
    QPainter FPainter;
    QPageLayout::Unit FUnits; // of the margins, as the measuring system counts
};

// The print dialog for printing pageCount pages: the printer, the copies and the page range go
// into the request. False when cancelled.
bool RunPrintDialog(QWidget* parent, TQtPrinter& printer, int pageCount, TPrintRequest& request);
// The page setup dialog (paper, orientation, margins); false when cancelled.
bool RunPageSetupDialog(QWidget* parent, TQtPrinter& printer);
