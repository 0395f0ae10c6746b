#pragma once

#include "print/Printer.h"

#include <QPageLayout>
#include <QPainter>

#include <memory>

class QPdfWriter;
class TAtomicFile;

// Prints into a PDF file: US Letter or A4 by the measuring system, at a chosen resolution.
// Margins stand in for a printer's unprintable area: the printable area starts inside them
// and nothing is drawn on them. The file appears only when the job ends well; an aborted or
// failed job leaves any earlier file as it was.
class TPdfPrinter : public TPrinter {
public:
    TPdfPrinter(const QString& fileName, bool metric, int pixelsPerInch = 300,
                const TPrinterMargins& margins = {});
    ~TPdfPrinter() override;

    QString Name() const override;
    bool WritesFile() const override { return true; }
    int PixelsPerInch() const override { return FDpi; }
    QSize PaperSizePixels() const override;
    QSize PageSizePixels() const override;
    QPoint PrintableOffsetPixels() const override;
    bool Portrait() const override;
    void SetPortrait(bool portrait) override;
    void SetTitle(const QString& title) override { FTitle = title; }

    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override { return FPainter.isActive(); }
    QPainter& Painter() override { return FPainter; }

    int PagesWritten() const { return FPages; }

private:
    void ClipToPrintableArea();

    QString FFileName;
    int FDpi;
    bool FHasMargins;
    QPageLayout FLayout;
    QString FTitle;
    std::unique_ptr<TAtomicFile> FFile;
    std::unique_ptr<QPdfWriter> FWriter;
    QPainter FPainter;
    int FPages = 0;
};
