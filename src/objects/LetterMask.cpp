#include "objects/LetterMask.h"

#include <algorithm>

namespace {

// x * a / 255, rounded as the raster painter rounds, on the four bytes of a pixel at once.
inline quint32 ByteMul(quint32 x, quint32 a) {
    quint32 t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = x + ((x >> 8) & 0xff00ff) + 0x800080;
    x &= 0xff00ff00;
    return x | t;
}

// Source over for an opaque colour seen through coverage a.
inline quint32 Over(quint32 dest, quint32 color, quint32 a) {
    if (a == 255) return color;
    const quint32 source = ByteMul(color, a);
    return source + ByteMul(dest, 255 - qAlpha(source));
}

} // namespace

TLetterMask::TLetterMask(QImage coverage) : FCoverage(std::move(coverage)) {
    Q_ASSERT(FCoverage.format() == QImage::Format_Alpha8);
    FindRuns();
}

// The mask is laid once per shade copy: most of a letter is either empty or wholly inside,
// so the rows are split once into runs that are filled at once or blended pixel by pixel.
void TLetterMask::FindRuns() {
    FRowStart.assign(size_t(FCoverage.height()) + 1, 0);
    for (int y = 0; y < FCoverage.height(); ++y) {
        const uchar* row = FCoverage.constScanLine(y);
        int x = 0;
        while (x < FCoverage.width()) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            const bool opaque = row[x] == 255;
            const int start = x;
            while (x < FCoverage.width() && row[x] != 0 && (row[x] == 255) == opaque) ++x;
            FRuns.push_back({start, x - start, opaque});
        }
        FRowStart[size_t(y) + 1] = int(FRuns.size());
    }
}

template <typename ColorAt>
void TLetterMask::LayThrough(QImage& picture, QPoint shift, const ColorAt& colorAt) const {
    Q_ASSERT(picture.format() == QImage::Format_ARGB32_Premultiplied);
    const int width = picture.width();
    const int top = std::max(0, shift.y());
    const int bottom = std::min(picture.height(), FCoverage.height() + shift.y());
    for (int y = top; y < bottom; ++y) {
        const int maskRow = y - shift.y();
        const uchar* coverage = FCoverage.constScanLine(maskRow) - shift.x();
        auto* row = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int i = FRowStart[size_t(maskRow)]; i < FRowStart[size_t(maskRow) + 1]; ++i) {
            const TRun& run = FRuns[size_t(i)];
            const int from = std::max(0, run.Start + shift.x());
            const int to = std::min(width, run.Start + run.Length + shift.x());
            if (run.Opaque)
                for (int x = from; x < to; ++x) row[x] = colorAt(x, y);
            else
                for (int x = from; x < to; ++x) row[x] = Over(row[x], colorAt(x, y), coverage[x]);
        }
    }
}

void TLetterMask::Lay(QImage& picture, QPoint shift, const QColor& color) const {
    const quint32 rgb = qPremultiply(color.rgba());
    LayThrough(picture, shift, [rgb](int, int) { return rgb; });
}

void TLetterMask::Lay(QImage& picture, QPoint shift,
                      const std::function<QRgb(int x, int y)>& color) const {
    LayThrough(picture, shift, color);
}
