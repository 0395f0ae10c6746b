#pragma once

#include "types/CardType.h"

#include <QPoint>
#include <QSize>
#include <QString>

class QPainter;

// A page device to print on: one of the system's printers or a PDF file. Lengths are device
// pixels; the painter's (0, 0) is the top-left of the printable area, PrintableOffsetPixels
// from the paper's corner. A job runs from BeginDoc to EndDoc (or Abort); its first page
// starts with the job and NewPage starts each further one.
class TPrinter {
public:
    virtual ~TPrinter() = default;

    virtual QString Name() const = 0;
    // Output goes to a file rather than paper: a print keeps all its passes in one job (a
    // second job would overwrite the file) and nobody turns paper over.
    virtual bool WritesFile() const = 0;

    virtual int PixelsPerInch() const = 0;
    virtual QSize PaperSizePixels() const = 0;
    virtual QSize PageSizePixels() const = 0; // the printable area
    virtual QPoint PrintableOffsetPixels() const = 0;
    virtual bool Portrait() const = 0;
    // Has no effect while a job runs.
    virtual void SetPortrait(bool portrait) = 0;
    virtual void SetTitle(const QString& title) = 0;

    // Throws an Exception when the job cannot start.
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    // Throws an Exception when the output cannot be completed.
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
    virtual bool Printing() const = 0;
    // Valid while a job runs.
    virtual QPainter& Painter() = 0;

    // The unprintable margins at each edge of the paper in 1/100 inch, for the panel layout.
    // The printer is turned to the orientation first unless a job runs.
    TPrinterMargins Margins(bool portrait);
};
