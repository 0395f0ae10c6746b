#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QTransform>

#include <vector>

class TCard;

// One sheet of paper in the print preview's fixed layout: its outline in pixels of the
// 632 x 400 sheet area (left and top inside, right and bottom just outside) and the title
// above it.
struct TPreviewSheet {
    QRect Outline;
    QString Title;
    int Pass = 0; // 0 the front of the paper, 1 the back
};

// The size of the sheet area the fixed layout is made for.
inline constexpr QSize PreviewLayoutSize{632, 400};

// The sheets the preview shows for a page (numbered from 1): one per pass, at fixed places
// for each layout in inches or in the metric system.
std::vector<TPreviewSheet> PreviewSheets(const TCard& card, int pageNumber, bool metric,
                                         int pixelsPerInch);
// How many times smaller than on screen the fixed layout draws: 8 for a poster, at least 4
// and enough to fit a banner, 4 otherwise.
int PreviewScaleDivisor(const TCard& card);

enum class TPreviewZoom { Fit, Actual, Double };

// A sheet of the fixed layout as drawn at a zoom.
struct TPreviewSheetFrame {
    TPreviewSheet Sheet;
    QRect Outline;         // in the drawing, as the fixed layout's
    QTransform FromLayout; // the fixed layout's pixels into the drawing's
    QRect TitleBox;        // the title is centred at its top
    qreal TitlePoints = 20;
};

struct TPreviewLayout {
    std::vector<TPreviewSheetFrame> Frames;
    QSize Size; // of the drawing
};

// Fit scales the whole fixed layout, titles included, as large as `area` allows and centres
// it; in an area of the layout's own size it is the fixed layout itself. 100 % and 200 % draw
// the sheets at that share of their size on paper side by side under their titles, whatever
// the area.
TPreviewLayout LayOutPreview(const std::vector<TPreviewSheet>& sheets, TPreviewZoom zoom,
                             QSize area, int divisor);
