#include "app/PreviewLayout.h"

#include "document/Card.h"
#include "document/Units.h"
#include "print/Imposition.h"

#include <algorithm>

namespace {

constexpr int TitleTop = 16;
constexpr QSize TitleSize{600, 60};
constexpr qreal TitlePoints = 20;
// Around and between the sheets drawn at their size on paper; they start below the titles
// as in the fixed layout.
constexpr int SheetTop = 88;
constexpr int Margin = 16;
constexpr int SheetGap = 48;
// Below this the window is too small to show anything.
constexpr qreal SmallestFit = 0.05;

// Left, top, right and bottom of an outline; right and bottom lie just outside it.
QRect Outline(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

// The sheet drawn `scale` times its fixed size with its outline's top-left at `at`. The
// borders stay one pixel wide; what lies inside them is scaled.
TPreviewSheetFrame Frame(const TPreviewSheet& sheet, QPoint at, qreal scale) {
    const QRect& fixed = sheet.Outline;
    const QSize inside(qRound((fixed.width() - 2) * scale), qRound((fixed.height() - 2) * scale));
    TPreviewSheetFrame frame;
    frame.Sheet = sheet;
    frame.Outline = QRect(at, inside + QSize(2, 2));
    frame.FromLayout = QTransform::fromTranslate(-(fixed.left() + 1), -(fixed.top() + 1)) *
                       QTransform::fromScale(scale, scale) *
                       QTransform::fromTranslate(at.x() + 1, at.y() + 1);
    return frame;
}

// The title box of the fixed layout, `scale` times larger, over the frame's outline.
QRect TitleBox(const TPreviewSheetFrame& frame, int top, qreal scale) {
    const int width = qRound(TitleSize.width() * scale);
    return {frame.Outline.center().x() - width / 2, top, width,
            qRound(TitleSize.height() * scale)};
}

TPreviewLayout FitLayout(const std::vector<TPreviewSheet>& sheets, QSize area) {
    const qreal scale =
        std::max(SmallestFit, std::min(qreal(area.width()) / PreviewLayoutSize.width(),
                                       qreal(area.height()) / PreviewLayoutSize.height()));
    const QPoint offset(std::max(0, int((area.width() - PreviewLayoutSize.width() * scale) / 2)),
                        std::max(0, int((area.height() - PreviewLayoutSize.height() * scale) / 2)));
    TPreviewLayout layout;
    layout.Size = area;
    for (const TPreviewSheet& sheet : sheets) {
        const QPoint at = offset + QPoint(qRound(sheet.Outline.left() * scale),
                                          qRound(sheet.Outline.top() * scale));
        TPreviewSheetFrame frame = Frame(sheet, at, scale);
        frame.TitleBox = TitleBox(frame, offset.y() + qRound(TitleTop * scale), scale);
        frame.TitlePoints = TitlePoints * scale;
        layout.Frames.push_back(frame);
    }
    return layout;
}

TPreviewLayout PaperLayout(const std::vector<TPreviewSheet>& sheets, qreal scale) {
    TPreviewLayout layout;
    int x = Margin;
    int bottom = SheetTop;
    for (const TPreviewSheet& sheet : sheets) {
        TPreviewSheetFrame frame = Frame(sheet, {x, SheetTop}, scale);
        frame.TitleBox = TitleBox(frame, TitleTop, 1);
        layout.Frames.push_back(frame);
        x = frame.Outline.left() + frame.Outline.width() + SheetGap;
        bottom = std::max(bottom, frame.Outline.top() + frame.Outline.height());
    }
    layout.Size = {x - SheetGap + Margin, bottom + Margin};
    return layout;
}

} // namespace

int PreviewScaleDivisor(const TCard& card) {
    if (IsPosterFormat(card.CardFormat)) return 8;
    if (IsBannerFormat(card.CardFormat))
        return std::max(4, (int(card.SheetGeometry.LabelWidth) + 599) / 600);
    return 4;
}

std::vector<TPreviewSheet> PreviewSheets(const TCard& card, int pageNumber, bool metric,
                                         int pixelsPerInch) {
    const bool portrait = card.PortraitPaper;
    const int format = card.CardFormat;
    if (IsBannerFormat(format)) {
        const TCardPage* page = card.PageCount() > 0 ? card.Pages(0) : nullptr;
        const TCardPanel* panel = page && page->PanelCount() > 0 ? page->Panels(0) : nullptr;
        const int divisor = PreviewScaleDivisor(card);
        const int a = panel ? MulDiv(panel->Width, pixelsPerInch, 100) / (2 * divisor) : 0;
        const int b = panel ? MulDiv(panel->Height, pixelsPerInch, 100) / (2 * divisor) : 0;
        return {{Outline(315 - a, 199 - b, 317 + a, 201 + b),
                 QStringLiteral("Page %1").arg(pageNumber), 0}};
    }
    if (IsEnvelopeFormat(format))
        return {{Outline(202, 172, 430, 271), QStringLiteral("Page %1").arg(pageNumber), 0}};
    if (IsTwoSidedFormat(format)) {
        const QRect front = portrait ? (metric ? Outline(62, 88, 268, 375)
                                               : Outline(62, 88, 268, 354))
                                     : (metric ? Outline(25, 88, 312, 292)
                                               : Outline(25, 88, 291, 294));
        const QRect back = portrait ? (metric ? Outline(358, 88, 562, 375)
                                              : Outline(358, 88, 564, 354))
                                    : (metric ? Outline(329, 88, 616, 292)
                                              : Outline(329, 88, 595, 294));
        return {{front, QStringLiteral("Front (Page %1)").arg(pageNumber), 0},
                {back, QStringLiteral("Back (Page %1)").arg(pageNumber), 1}};
    }
    const QRect sheet = portrait ? Outline(213, 88, 419, metric ? 375 : 354)
                                 : (metric ? Outline(172, 88, 459, 292)
                                           : Outline(183, 88, 449, 294));
    return {{sheet, QStringLiteral("Page %1").arg(pageNumber), 0}};
}

TPreviewLayout LayOutPreview(const std::vector<TPreviewSheet>& sheets, TPreviewZoom zoom,
                             QSize area, int divisor) {
    switch (zoom) {
    case TPreviewZoom::Actual:
        return PaperLayout(sheets, std::max(1, divisor));
    case TPreviewZoom::Double:
        return PaperLayout(sheets, 2 * std::max(1, divisor));
    case TPreviewZoom::Fit:
        break;
    }
    return FitLayout(sheets, area);
}
