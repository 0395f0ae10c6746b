#include "objects/Grid.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QPainter>

#include <algorithm>

namespace {

// Line k starts where the true sizes before it end; it ends a line width later.
void PlaceLines(const std::vector<int>& sizes, int lineWidth, const TGridLayout& layout,
                std::vector<int>& starts, std::vector<int>& ends) {
    starts.clear();
    ends.clear();
    // Sizes from damaged files could add up past any screen or sheet; positions stop far
    // beyond both, where scaling cannot overflow.
    constexpr qint64 Farthest = 1 << 24;
    qint64 position = 0;
    for (size_t k = 0; k <= sizes.size(); ++k) {
        const int start = layout.Scale(int(std::min(position, Farthest)));
        const int end =
            std::max(start + 1, layout.Scale(int(std::min(position + lineWidth, Farthest))));
        starts.push_back(start);
        ends.push_back(end);
        if (k < sizes.size()) position += qint64(lineWidth) + std::max(0, sizes[k]);
    }
}

} // namespace

TGridLayout::TGridLayout(const TGridTable& table, int numerator, int denominator)
    : FNumerator(numerator), FDenominator(denominator > 0 ? denominator : 1) {
    const int line = std::max(0, table.TrueLineWidth);
    PlaceLines(table.ColumnWidths(), line, *this, FColumnLines, FColumnLineEnds);
    PlaceLines(table.RowHeights(), line, *this, FRowLines, FRowLineEnds);
}

int TGridLayout::Scale(int trueSize) const {
    return MulDiv(trueSize, FNumerator, FDenominator);
}

QRect TGridLayout::Cell(int column, int row) const {
    const int left = ColumnLineEnd(column);
    const int top = RowLineEnd(row);
    return QRect(left, top, std::max(0, ColumnLineStart(column + 1) - left),
                 std::max(0, RowLineStart(row + 1) - top));
}

TGridTable::~TGridTable() {
    const std::vector<TObserver*> observers = FObservers;
    FObservers.clear();
    for (TObserver* observer : observers)
        observer->TableDestroyed();
}

void TGridTable::SetSize(int columns, int rows) {
    columns = std::clamp(columns, 0, MaxCount);
    rows = std::clamp(rows, 0, MaxCount);
    FColumnWidths.resize(size_t(columns), 64);
    FRowHeights.resize(size_t(rows), 24);
    FCells.resize(size_t(rows));
    for (QStringList& row : FCells)
        row.resize(columns);
    CurrentColumn = std::clamp(CurrentColumn, 0, std::max(0, columns - 1));
    CurrentRow = std::clamp(CurrentRow, 0, std::max(0, rows - 1));
}

QString TGridTable::Cell(int column, int row) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return QString();
    return FCells[size_t(row)][column];
}

void TGridTable::SetCell(int column, int row, const QString& text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return;
    FCells[size_t(row)][column] = text;
}

namespace {
template <typename T> void MoveItem(std::vector<T>& items, int from, int to) {
    T item = std::move(items[size_t(from)]);
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, std::move(item));
}
} // namespace

bool TGridTable::MoveRow(int from, int to) {
    if (from < 0 || from >= RowCount() || to < 0 || to >= RowCount()) return false;
    if (from == to) return true;
    MoveItem(FRowHeights, from, to);
    MoveItem(FCells, from, to);
    return true;
}

bool TGridTable::MoveColumn(int from, int to) {
    if (from < 0 || from >= ColumnCount() || to < 0 || to >= ColumnCount()) return false;
    if (from == to) return true;
    MoveItem(FColumnWidths, from, to);
    for (QStringList& row : FCells)
        row.move(from, to);
    return true;
}

TFontSpec TGridTable::Font() const {
    TFontSpec font;
    font.Name = FontName;
    font.Size = TrueFontSize;
    font.Color = FontColor;
    font.SetStyleBits(FontStyle);
    return font;
}

QFont TGridTable::DisplayFont(int zoomPercent) const {
    TFontSpec font = Font();
    font.Size = std::max(1, MulDiv(std::abs(TrueFontSize), zoomPercent, 100));
    return font.ToQFont(ScreenPixelsPerInch());
}

namespace {

// The sum of the sizes and the lines between and around them, kept within what drawing can
// take whatever a damaged file holds.
int TableExtent(const std::vector<int>& sizes, int lineWidth) {
    qint64 extent = qint64(sizes.size() + 1) * std::max(0, lineWidth);
    for (int size : sizes) extent += std::max(0, size);
    return int(std::min<qint64>(extent, 1 << 24));
}

} // namespace

int TGridTable::TableWidth() const { return TableExtent(FColumnWidths, TrueLineWidth); }

int TGridTable::TableHeight() const { return TableExtent(FRowHeights, TrueLineWidth); }

void TGridTable::UpdateTrueSize() {
    TrueWidth = TableWidth();
    TrueHeight = TableHeight();
}

// The column and row sizes are kept true (the editor writes a resize back at once), so a
// zoom only changes how they are shown.
void TGridTable::ZoomChanged(int zoomPercent) {
    if (TrueWidth <= 0 || TrueHeight <= 0) UpdateTrueSize();
    const int zoom = std::clamp(zoomPercent, MinZoom, MaxZoom);
    if (zoom == ZoomFactor) return;
    ZoomFactor = zoom;
    Changed();
}

void TGridTable::AddObserver(TObserver* observer) {
    if (observer && std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end())
        FObservers.push_back(observer);
}

void TGridTable::RemoveObserver(TObserver* observer) {
    FObservers.erase(std::remove(FObservers.begin(), FObservers.end(), observer), FObservers.end());
}

void TGridTable::Changed() {
    const std::vector<TObserver*> observers = FObservers;
    for (TObserver* observer : observers)
        observer->TableChanged();
}
