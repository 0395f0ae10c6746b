#include "print/Imposition.h"

#include "document/Units.h"

#include <algorithm>
#include <limits>
#include <set>

namespace {

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

bool IsTwoSidedFormat(int cardFormat) {
    return (cardFormat >= cfBifoldVertical && cardFormat <= cfTrifoldHorizontal) ||
           IsNcrFormat(cardFormat);
}

int PassCount(int cardFormat) {
    return IsTwoSidedFormat(cardFormat) ? 2 : 1;
}

int TilesPerCopy(int cardFormat, const TSheetGeometry& geometry) {
    if (IsPosterFormat(cardFormat)) return 4;
    if (IsBannerFormat(cardFormat)) return std::max<int>(1, geometry.NumAcross);
    return 1;
}

int SheetCount(int cardFormat, const TSheetGeometry& geometry, int documents) {
    if (documents <= 0) return 0;
    if (IsSheetFormat(cardFormat)) {
        const int items = std::max(1, int(geometry.NumAcross) * int(geometry.NumDown));
        return int((qint64(documents) + items - 1) / items);
    }
    return int(std::min<qint64>(qint64(documents) * TilesPerCopy(cardFormat, geometry),
                                std::numeric_limits<int>::max()));
}

QPoint TileShift(int cardFormat, const TSheetGeometry& geometry, int sheet, QSize printable) {
    if (IsPosterFormat(cardFormat)) {
        const int tile = sheet % 4;
        return {printable.width() * (tile % 2), printable.height() * (tile / 2)};
    }
    if (IsBannerFormat(cardFormat))
        return {printable.width() * (sheet % TilesPerCopy(cardFormat, geometry)), 0};
    return {};
}

std::optional<TSheetRun> RecordRange(int from, int to, int count) {
    if (from < 1 || to < from || from > count) return std::nullopt;
    TSheetRun run;
    run.FirstRecord = from - 1;
    run.Records = std::min(to, count) - from + 1;
    return run;
}

int ItemsPerSheet(int cardFormat, const TSheetGeometry& geometry) {
    return IsSheetFormat(cardFormat)
               ? std::max(1, int(geometry.NumAcross) * int(geometry.NumDown))
               : 1;
}

TPrintedSheets::TPrintedSheets(int cardFormat, const TSheetGeometry& geometry, TPageRange pages,
                               std::optional<int> records, TTiles tiles)
    : TPrintedSheets(cardFormat, geometry, pages, TSheetRun{records, 0, 0}, tiles) {}

TPrintedSheets::TPrintedSheets(int cardFormat, const TSheetGeometry& geometry, TPageRange pages,
                               const TSheetRun& run, TTiles tiles)
    : FSheetFormat(IsSheetFormat(cardFormat)),
      FItems(std::max(1, int(geometry.NumAcross) * int(geometry.NumDown))),
      FTilesPerCopy(TilesPerCopy(cardFormat, geometry)), FPages(pages), FRecords(run.Records),
      FFirstRecord(std::max(0, run.FirstRecord)),
      FSkipped(FSheetFormat ? std::clamp(run.SkippedItems, 0, FItems - 1) : 0), FTiles(tiles) {
    if (FRecords) FRecords = std::max(0, *FRecords);
    const int documents = FRecords.value_or(1);
    // The skipped positions count as items: the records after them fill the sheets on.
    qint64 sheets = documents;
    if (FSheetFormat)
        sheets = documents > 0 ? (qint64(documents) + FSkipped + FItems - 1) / FItems : 0;
    else if (tiles == TTiles::Separate)
        sheets = SheetCount(cardFormat, geometry, documents);
    // The records of a sheet format continue from page to page; pages after the last record
    // stay unprinted.
    const qint64 pageCount = pages.Count();
    const qint64 pagesEach = FSheetFormat && FRecords ? std::min<qint64>(pageCount, 1) : pageCount;
    FCount = int(std::min<qint64>(sheets * pagesEach, std::numeric_limits<int>::max()));
}

TPrintedSheet TPrintedSheets::At(int index) const {
    const int pages = std::max(1, FPages.Count());
    const int run = index / pages; // the sheet of the run (the document, seen whole)
    TPrintedSheet sheet;
    sheet.Page = FPages.First + index % pages;
    if (FSheetFormat) {
        sheet.FirstItem = index == 0 ? FSkipped : 0;
        if (FRecords) {
            // Records already printed: every position of the sheets before, less the skipped.
            const qint64 before = index == 0 ? 0 : qint64(index) * FItems - FSkipped;
            sheet.FirstRecord = int(FFirstRecord + before);
            sheet.Records = int(std::min<qint64>(FItems - sheet.FirstItem, *FRecords - before));
        }
        return sheet;
    }
    const int tilesEach = FTiles == TTiles::Whole ? 1 : FTilesPerCopy;
    sheet.Tile = run % tilesEach;
    if (FRecords) {
        sheet.FirstRecord = FFirstRecord + run / tilesEach;
        sheet.Records = 1;
    }
    return sheet;
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
    if (cardFormat == cfBusinessCardConnected) {
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
