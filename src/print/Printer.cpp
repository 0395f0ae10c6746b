#include "print/Printer.h"

#include "document/Units.h"

#include <algorithm>

TPrinterMargins TPrinter::Margins(bool portrait) {
    if (!Printing()) SetPortrait(portrait);
    const int dpi = std::max(1, PixelsPerInch());
    const QSize paper = PaperSizePixels();
    const QSize page = PageSizePixels();
    const QPoint offset = PrintableOffsetPixels();
    auto units = [dpi](int pixels) { return std::max(0, MulDiv(pixels, 100, dpi)); };
    return {units(offset.x()), units(offset.y()),
            units(paper.width() - page.width() - offset.x()),
            units(paper.height() - page.height() - offset.y())};
}
