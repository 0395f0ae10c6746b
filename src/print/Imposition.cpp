#include "print/Imposition.h"

#include "document/Units.h"

#include <algorithm>
#include <set>

namespace {

constexpr int Poster = 8;
constexpr int Banner = 13;

// The bottom and right marks sit at fixed Letter positions in every measuring system: the
// card grids are the same on A4.
constexpr int BottomMarkTop = 1050;
constexpr int BottomMarkEnd = 1100;
constexpr int RightMarkEnd = 825;
constexpr int LeftTickLength = 25;

int Px(int units, int dpi) {
    return MulDiv(units, dpi, 100);
}

// Every left and right edge of the cells along one axis, once each.
std::vector<int> CellEdges(int origin, int pitch, int size, int count) {
    std::set<int> edges;
    for (int i = 0; i < count; ++i) {
        edges.insert(origin + i * pitch);
        edges.insert(origin + i * pitch + size);
    }
    return {edges.begin(), edges.end()};
}

} // namespace

bool IsSheetFormat(int cardFormat) {
    return (cardFormat >= 9 && cardFormat <= 12) || cardFormat == 15 || cardFormat == 16;
}

bool IsTwoSidedFormat(int cardFormat) {
    return (cardFormat >= 0 && cardFormat <= 3) || cardFormat == 15 || cardFormat == 16;
}

int PassCount(int cardFormat) {
    return IsTwoSidedFormat(cardFormat) ? 2 : 1;
}

int TilesPerCopy(int cardFormat, const TSheetGeometry& geometry) {
    if (cardFormat == Poster) return 4;
    if (cardFormat == Banner) return std::max<int>(1, geometry.NumAcross);
    return 1;
}

int SheetCount(int cardFormat, const TSheetGeometry& geometry, int documents) {
    if (documents <= 0) return 0;
    if (IsSheetFormat(cardFormat)) {
        const int items = std::max(1, int(geometry.NumAcross) * int(geometry.NumDown));
        return (documents + items - 1) / items;
    }
    return documents * TilesPerCopy(cardFormat, geometry);
}

QPoint TileShift(int cardFormat, const TSheetGeometry& geometry, int sheet, QSize printable) {
    if (cardFormat == Poster) {
        const int tile = sheet % 4;
        return {printable.width() * (tile % 2), printable.height() * (tile / 2)};
    }
    if (cardFormat == Banner)
        return {printable.width() * (sheet % TilesPerCopy(cardFormat, geometry)), 0};
    return {};
}

std::vector<QPoint> SheetItems(int cardFormat, const TSheetGeometry& g) {
    if (!IsSheetFormat(cardFormat)) return {QPoint()};
    std::vector<QPoint> items;
    for (int r = 0; r < g.NumDown; ++r)
        for (int c = 0; c < g.NumAcross; ++c)
            items.emplace_back(c * g.SpacingWidth + g.SpacingLeft,
                               r * g.SpacingHeight + g.SpacingTop);
    return items;
}

TPanelPlacement PrintPlacement(const TPanelGeometry& panel, QSize paper, QPoint offset, int dpi,
                               QPoint item, QPoint shift) {
    TPanelPlacement placement;
    if (panel.Turned) {
        placement.Transform = QTransform(-1, 0, 0, -1, Px(paper.width() - offset.x(), dpi),
                                         Px(paper.height() - offset.y(), dpi));
        placement.Origin = {Px(item.x() + panel.TurnX, dpi), Px(item.y() + panel.TurnY, dpi)};
    } else if (panel.Mirrored) {
        placement.Transform = QTransform(-1, 0, 0, 1, Px(paper.width() - offset.x(), dpi), 0);
        placement.Origin = {Px(item.x() + panel.SheetX, dpi),
                            Px(item.y() + panel.SheetY - offset.y() - shift.y(), dpi)};
    } else {
        placement.Origin = {Px(item.x() + panel.SheetX - offset.x() - shift.x(), dpi),
                            Px(item.y() + panel.SheetY - offset.y() - shift.y(), dpi)};
    }
    return placement;
}

TPanelPlacement PreviewPlacement(const TPanelGeometry& panel, const QRect& outline,
                                 int pixelsPerInch, int divisor, QPoint item) {
    const qreal scale = 1.0 / std::max(1, divisor);
    TPanelPlacement placement;
    QPoint at;
    if (panel.Turned) {
        placement.Transform =
            QTransform(-scale, 0, 0, -scale, outline.right(), outline.bottom());
        at = item + QPoint(panel.TurnX, panel.TurnY);
    } else if (panel.Mirrored) {
        placement.Transform =
            QTransform(-scale, 0, 0, scale, outline.right(), outline.top() + 1);
        at = item + QPoint(panel.SheetX, panel.SheetY);
    } else {
        placement.Transform =
            QTransform(scale, 0, 0, scale, outline.left() + 1, outline.top() + 1);
        at = item + QPoint(panel.SheetX, panel.SheetY);
    }
    placement.Origin = {Px(at.x(), pixelsPerInch), Px(at.y(), pixelsPerInch)};
    return placement;
}

std::vector<QLine> CropMarks(int cardFormat, const TSheetGeometry& g) {
    if (!IsBusinessCardFormat(cardFormat)) return {};
    // Connected cards share their inner edges; the right edge of the last column is where
    // the right-hand ticks start. Separated cards get a mark at both edges of each column.
    std::vector<int> columns;
    if (cardFormat == 9) {
        for (int c = 0; c < g.NumAcross; ++c) columns.push_back(g.SpacingLeft + c * g.SpacingWidth);
    } else {
        columns = CellEdges(g.SpacingLeft, g.SpacingWidth, g.LabelWidth, g.NumAcross);
    }
    const std::vector<int> rows = CellEdges(g.SpacingTop, g.SpacingHeight, g.LabelHeight, g.NumDown);
    std::vector<QLine> marks;
    for (const int x : columns) {
        marks.emplace_back(x, g.SpacingTop, x, 0);
        marks.emplace_back(x, BottomMarkTop, x, BottomMarkEnd);
    }
    const int right = g.NumAcross > 0
                          ? g.SpacingLeft + (g.NumAcross - 1) * g.SpacingWidth + g.LabelWidth
                          : g.SpacingLeft;
    for (const int y : rows) {
        marks.emplace_back(g.SpacingLeft, y, g.SpacingLeft - LeftTickLength, y);
        marks.emplace_back(right, y, std::max(RightMarkEnd, right + LeftTickLength), y);
    }
    return marks;
}
