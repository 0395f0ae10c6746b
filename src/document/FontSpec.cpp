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
    font.setPixelSize(std::max(1, (std::abs(Size) * dpi + 36) / 72));
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(StrikeOut);
    return font;
}
