#pragma once

#include <QColor>

// The 16-colour palette of shapes, fields and old headline records, in the standard VGA order.
constexpr int PaletteSize = 16;
QColor PaletteColor(int index); // black for an index outside 0..15
quint32 PaletteColorRef(int index);

// Colour values as documents store them: 0x00BBGGRR, red in the low byte.
QColor ColorFromRef(quint32 colorRef);
quint32 ColorToRef(const QColor& color);
