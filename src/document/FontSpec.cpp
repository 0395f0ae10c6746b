#include "document/FontSpec.h"

#include <algorithm>

int TFontSpec::StyleBits() const {
    return (Bold ? 1 : 0) | (Italic ? 2 : 0) | (Underline ? 4 : 0) | (StrikeOut ? 8 : 0);
}

void TFontSpec::SetStyleBits(int bits) {
    Bold = bits & 1;
    Italic = bits & 2;
    Underline = bits & 4;
    StrikeOut = bits & 8;
}

QFont TFontSpec::ToQFont(int dpi) const {
    QFont font(Name);
    // Pixel sizes keep text the same size on every device, whatever its own resolution.
    // Sizes from damaged files are kept within what any device can show.
    constexpr qint64 LargestPixelSize = 20000;
    const qint64 pixels = (std::abs(qint64(Size)) * std::max(dpi, 1) + 36) / 72;
    font.setPixelSize(int(std::clamp<qint64>(pixels, 1, LargestPixelSize)));
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(StrikeOut);
    return font;
}
