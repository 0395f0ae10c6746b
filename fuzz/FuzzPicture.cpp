// Reads arbitrary bytes as a document and draws every object of every page, so that the
// pictures it holds (bitmaps and metafiles) are decoded and painted as on paper. Any crash,
// leak or sanitizer report is a fault.
#include "FuzzEnvironment.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Units.h"
#include "objects/Picture.h"
#include "objects/PictureFiles.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// Each page drawn small, as a print preview would, with every panel in its place on the sheet.
void DrawPages(const TCard& card) {
    constexpr int Dpi = 96;
    QImage image(96, 96, QImage::Format_ARGB32_Premultiplied);
    for (int p = 0; p < card.PageCount(); ++p) {
        const TCardPage* page = card.Pages(p);
        if (!page) continue;
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.1, 0.1);
        TCanvas canvas(painter, Dpi, Dpi, TCanvas::TKind::Image);
        for (int q = 0; q < page->PanelCount(); ++q) {
            const TCardPanel* panel = page->Panels(q);
            if (!panel) continue;
            const int dx = MulDiv(panel->SheetX, Dpi, 100);
            const int dy = MulDiv(panel->SheetY, Dpi, 100);
            for (int i = 0; i < panel->Count(); ++i)
                if (TCardObject* object = panel->Items(i)) object->Paint(canvas, dx, dy, false);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TFuzzEnvironment environment;
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    try {
        TStorage storage(&buffer, TStorage::TMode::Read);
        std::unique_ptr<TStored> root(storage.ReadRoot());
        if (auto* card = dynamic_cast<TCard*>(root.get())) DrawPages(*card);
    } catch (const Exception&) {
    }
    TakeUndrawnPictures(); // what could not be drawn, kept for reporting, is let go
    // Bitmaps are also read shrunk, as pictures past the decoding limit are.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (TBitmapData::IsValidBmp(bytes)) ImageFromBitmap({bytes}, QSize(5, 3));
    return 0;
}
