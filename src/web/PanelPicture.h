#pragma once

#include <QImage>

class TCardPanel;

// The most pixels a panel picture may have (a 20,000 x 20,000 picture of 32 bits is 1.6 GB).
constexpr qint64 MostPanelPicturePixels = 400'000'000;

// A picture of one panel at the given resolution: white, with every object of the panel
// drawing itself at offset (0, 0) as it does on paper. A null image when the picture would be
// larger than MostPanelPicturePixels or cannot be allocated.
QImage PaintPanelPicture(const TCardPanel& panel, int dpi);
