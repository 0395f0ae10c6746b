#pragma once

// Where the panels of a page go on paper: which formats print in two passes, how many sheets
// a copy takes, the shift of each tile of a poster or banner, the item grid of sheet formats,
// each panel's turn as a painter transform, and the crop marks of business cards. Pure
// geometry shared by printing and the print preview; lengths in 1/100 inch unless named.

#include "types/CardType.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTransform>

#include <optional>
#include <vector>

// Bi- and trifolds and the NCR cards print on both sides of the paper (IsSheetFormat, the
// formats printed as a grid of items, is in types/CardType.h).
bool IsTwoSidedFormat(int cardFormat);
int PassCount(int cardFormat);

// Sheets that make up one copy of a tiled format: four for a poster, one per sheet across for
// a banner, one otherwise.
int TilesPerCopy(int cardFormat, const TSheetGeometry& geometry);
// Sheets printed for `documents` documents (records, or 1): the tiles of each, or for sheet
// formats as many sheets as the items need.
int SheetCount(int cardFormat, const TSheetGeometry& geometry, int documents);
// How far tile `sheet` moves the panel (subtracted from its position): the poster's sheets
// are top-left, top-right, bottom-left, bottom-right; a banner's run left to right. The step
// is the printable size.
QPoint TileShift(int cardFormat, const TSheetGeometry& geometry, int sheet, QSize printable);
// One sheet of paper that a copy prints for one page of the document, with all its passes.
// Records count from the table's first, 0-based.
struct TPrintedSheet {
    int Tile = 0;        // of a poster or banner; 0 for other formats and for tiles seen whole
    int Page = 0;        // of the document, 0-based
    int FirstRecord = 0; // shown by the sheet, or by its first item
    int Records = 0;     // items that show a record; 0 when the sheets do not step records
    int FirstItem = 0;   // of a sheet format: the positions before it stay empty
};

// Which pages of the document a print covers, 0-based and inclusive.
struct TPageRange {
    int First = 0;
    int Last = -1;
    int Count() const { return Last >= First ? Last - First + 1 : 0; }
};

// What one run of sheets prints besides the pages: the records, when one document is printed
// per record, and the positions of a half-used first sheet that are gone already.
struct TSheetRun {
    std::optional<int> Records; // how many, one document each
    int FirstRecord = 0;        // 0-based record of the table the run begins with
    int SkippedItems = 0;       // sheet formats: positions left empty on the first sheet
};

// Records FROM to TO of a table of `count` (1-based, inclusive; TO beyond the table stops at
// its end) as a 0-based first record and a count; nullopt when FROM lies beyond the table or
// TO before FROM.
std::optional<TSheetRun> RecordRange(int from, int to, int count);

// The sheets of one copy, in printing order: each sheet of the run with every page of the
// range. With records, the items of a sheet format take one record each, continuing from page
// to page, and a page left without records is not printed; other formats print every page,
// every tile of a poster or banner, for one record after the other. Skipped items move every
// record of a sheet format on by as many positions. Computed on demand: a run can be long.
class TPrintedSheets {
public:
    // Whole shows each poster or banner as one sheet, as the print preview does.
    enum class TTiles { Separate, Whole };

    TPrintedSheets(int cardFormat, const TSheetGeometry& geometry, TPageRange pages,
                   std::optional<int> records, TTiles tiles = TTiles::Separate);
    TPrintedSheets(int cardFormat, const TSheetGeometry& geometry, TPageRange pages,
                   const TSheetRun& run, TTiles tiles = TTiles::Separate);

    int Count() const { return FCount; }
    TPrintedSheet At(int index) const; // 0 <= index < Count()
    // Sheets of paper that each entry stands for: the tiles of a poster or banner seen whole,
    // else 1.
    int PaperSheetsPerEntry() const { return FTiles == TTiles::Whole ? FTilesPerCopy : 1; }

private:
    bool FSheetFormat;
    int FItems; // per sheet of a sheet format
    int FTilesPerCopy;
    TPageRange FPages;
    std::optional<int> FRecords;
    int FFirstRecord;
    int FSkipped; // 0 <= FSkipped < FItems
    TTiles FTiles;
    int FCount = 0;
};

// The items of a sheet format, row by row: the top-left of each cell on the paper.
std::vector<QPoint> SheetItems(int cardFormat, const TSheetGeometry& geometry);
// Items per sheet of a sheet format, 1 for other formats.
int ItemsPerSheet(int cardFormat, const TSheetGeometry& geometry);

// How a panel is drawn on a page device: the painter transform and the origin handed to the
// panel's objects (device pixels). Objects draw from the origin as on an upright page; the
// transform turns or mirrors the result.
struct TPanelPlacement {
    QTransform Transform;
    QPoint Origin;
};

// On the printer. The device's (0, 0) is the printable area's top-left, `offset` from the
// paper's corner. A turned panel is turned by 180 degrees about the centre of the paper and a
// mirrored one reflected in the paper's vertical centre line, so that they land where the
// layout put them whatever the printer's margins; `item` is the sheet item's cell and
// `shift` the tile shift.
TPanelPlacement PrintPlacement(const TPanelGeometry& panel, QSize paper, QPoint offset,
                               int dpi, QPoint item, QPoint shift);

// In the print preview: the sheet outline's frame in window pixels; one unit of the objects
// is 1/divisor of a window pixel at `pixelsPerInch`.
TPanelPlacement PreviewPlacement(const TPanelGeometry& panel, const QRect& outline,
                                 int pixelsPerInch, int divisor, QPoint item);

// The crop marks of a business card sheet as lines on the paper; none for other formats.
// Vertical marks above and below the cards at the column edges, horizontal ticks left and
// right of the cards at each row edge (cards that touch share one mark); no mark runs into a
// card.
std::vector<QLine> CropMarks(int cardFormat, const TSheetGeometry& geometry);
