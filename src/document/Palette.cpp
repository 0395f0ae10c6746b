#include "document/Palette.h"

namespace {
constexpr QRgb Palette[PaletteSize] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
} // namespace

QColor PaletteColor(int index) {
    return (index >= 0 && index < PaletteSize) ? QColor(Palette[index]) : QColor(Qt::black);
}

quint32 PaletteColorRef(int index) {
    return ColorToRef(PaletteColor(index));
}

QColor ColorFromRef(quint32 ref) {
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

quint32 ColorToRef(const QColor& color) {
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}
