#include "web/PanelPicture.h"

#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Units.h"

#include <QPainter>

#include <algorithm>

QImage PaintPanelPicture(const TCardPanel& panel, int dpi) {
    const QSize size(std::max(1, MulDiv(panel.Width, dpi, 100)),
                     std::max(1, MulDiv(panel.Height, dpi, 100)));
    if (qint64(size.width()) * size.height() > MostPanelPicturePixels) return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.setDotsPerMeterX(MulDiv(dpi, 10000, 254));
    image.setDotsPerMeterY(MulDiv(dpi, 10000, 254));
    image.fill(Qt::white);
    QPainter painter(&image);
    TCanvas canvas(painter, dpi, dpi, TCanvas::TKind::Image);
    for (int i = 0; i < panel.Count(); ++i)
        if (TCardObject* object = panel.Items(i)) object->Paint(canvas, 0, 0, false);
    return image;
}
