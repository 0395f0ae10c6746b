#include "document/Card.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Control.h"
#include "document/LoadOptions.h"
#include "document/Units.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

QImage RenderCardPreview(const TCard& card) {
    if (card.PageCount() == 0 || !card.Pages(0)) return QImage();
    const TCardPage& page = *card.Pages(0);
    const int ppi = ScreenPixelsPerInch();
    const QSize extent = page.PageExtent();
    const int width = MulDiv(extent.width(), ppi, 100);
    const int height = MulDiv(extent.height(), ppi, 100);
    if (width <= 0 || height <= 0) return QImage();
    const int larger = std::max(width, height);
    const QSize size = width > height
                           ? QSize(TCard::PreviewSize, MulDiv(TCard::PreviewSize, height, width))
                           : QSize(MulDiv(TCard::PreviewSize, width, height), TCard::PreviewSize);
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    // The exact ratio: a zoom rounded to whole percent would overflow the picture of a
    // large page (a poster at 8 % instead of 7.58 % loses its right and bottom edges).
    const double scale = double(TCard::PreviewSize) / larger;
    painter.scale(scale, scale);
    TCanvas canvas(painter, ppi, ppi, TCanvas::TKind::Image);
    for (int q = 0; q < page.PanelCount(); ++q) {
        const TCardPanel* panel = page.Panels(q);
        if (!panel || panel->Side != 0) continue;
        const int dx = MulDiv(panel->SheetX, ppi, 100);
        const int dy = MulDiv(panel->SheetY, ppi, 100);
        for (int i = 0; i < panel->Count(); ++i)
            if (TCardObject* object = panel->Items(i)) object->Draw(canvas, dx, dy, false);
    }
    painter.end();
    return image;
}

TBitmapData PreviewBitmap(const QImage& image) {
    TBitmapData bitmap;
    if (image.isNull()) return bitmap;
    QBuffer buffer(&bitmap.Bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    writer.write(image.convertToFormat(QImage::Format_RGB888));
    return bitmap;
}
