#include "kbviewer/TipPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Moves each paragraph that a page break would split to the next page, unless it is taller
// than a page. Besides reading better, this keeps every line on one page only: the text
// layout draws the last line above its clip too, so a split paragraph would leave a clipped,
// invisible copy of a line in a PDF's text.
void KeepParagraphsTogether(QTextDocument& document) {
    const qreal pageHeight = document.pageSize().height();
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        // After a change the layout is redone lazily and, until finished, gives later blocks
        // stale places: finish it before looking further.
        document.pageCount();
        const QRectF area = layout->blockBoundingRect(block);
        if (area.height() >= pageHeight) continue;
        const int firstPage = int(std::floor(area.top() / pageHeight));
        const int lastPage = int(std::floor((area.bottom() - 1) / pageHeight));
        if (firstPage == lastPage) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
        // The space between paragraphs would only push the text down from the top margin.
        format.setTopMargin(0);
        QTextCursor(block).setBlockFormat(format);
        if (QTextBlock previous = block.previous(); previous.isValid()) {
            QTextBlockFormat above = previous.blockFormat();
            above.setBottomMargin(0);
            QTextCursor(previous).setBlockFormat(above);
        }
    }
}

} // namespace

void PrintTipText(const QTextDocument& text, QPrinter& printer) {
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Inch);
    std::unique_ptr<QTextDocument> document(text.clone());
    // Laid out at the printer's resolution and paginated to the area inside the margins,
    // whose top left corner is the painter's origin.
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    layout->setPaintDevice(&printer);
    document->setDocumentMargin(0);
    const QSizeF page = printer.pageRect(QPrinter::DevicePixel).size();
    document->setPageSize(page);
    KeepParagraphsTogether(*document);

    const int pages = document->pageCount();
    int first = 1, last = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = std::min(pages, printer.toPage() > 0 ? printer.toPage() : pages);
    }
    QPainter painter(&printer);
    if (!painter.isActive()) return;
    for (int number = first; number <= last; ++number) {
        if (number > first) printer.newPage();
        const QRectF view(0, (number - 1) * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black);
        // A line that starts on the edge belongs to the next page; the layout would draw it
        // on both.
        context.clip = view.adjusted(0, 0, 0, -1);
        layout->draw(&painter, context);
        painter.restore();
    }
}
