#include "objects/TextControl.h"

#include "document/Canvas.h"

#include <QImage>
#include <QPainter>

namespace {
constexpr QRgb TransparentKey = 0xF7F7F7;
} // namespace

// Draws the object upright into a picture of its size, then places that picture through the
// mirrored mapping; the key colour stays transparent.
void TTextControlObject::DrawMirrored(TCanvas& canvas, int dx, int dy, bool printing) {
    const TRect r = DeviceBounds(canvas);
    if (r.Width() <= 0 || r.Height() <= 0) return;
    QImage picture(r.Width(), r.Height(), QImage::Format_ARGB32);
    picture.fill(TransparentKey | 0xFF000000u);
    {
        QPainter painter(&picture);
        TCanvas offscreen(painter, canvas.DpiX(), canvas.DpiY(), canvas.Kind());
        Draw(offscreen, -r.Left, -r.Top, printing);
    }
    // Pixels of the key colour become transparent.
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if ((line[x] & 0xFFFFFF) == TransparentKey) line[x] = 0;
    }
    // The canvas's mapping turns the picture as a whole, glyphs included.
    const QRect target(r.Left + dx, r.Top + dy, r.Width(), r.Height());
    canvas.Painter().drawImage(target, picture);
}
