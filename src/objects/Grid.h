#pragma once

#include "document/FontSpec.h"
#include "objects/TextControl.h"

#include <QRect>
#include <QStringList>

#include <vector>

class QFont;
class QPainter;
class TGridTable;

// Where a table's lines and cells fall on one device. Every position is the true position
// (pixels at 100 %) scaled by numerator / denominator, so rounding never accumulates from
// cell to cell; a line is always at least one pixel wide.
class TGridLayout {
public:
    TGridLayout(const TGridTable& table, int numerator, int denominator);

    int Scale(int trueSize) const;
    int ColumnCount() const { return int(FColumnLines.size()) - 1; }
    int RowCount() const { return int(FRowLines.size()) - 1; }
    // Vertical line k (0 = the left edge, ColumnCount() = the closing line): its first
    // column and the column after it. Horizontal lines likewise.
    int ColumnLineStart(int k) const { return FColumnLines[size_t(k)]; }
    int ColumnLineEnd(int k) const { return FColumnLineEnds[size_t(k)]; }
    int RowLineStart(int k) const { return FRowLines[size_t(k)]; }
    int RowLineEnd(int k) const { return FRowLineEnds[size_t(k)]; }
    int Width() const { return ColumnLineEnd(ColumnCount()); }
    int Height() const { return RowLineEnd(RowCount()); }
    // The inside of a cell, between its lines, relative to the table's top-left corner.
    QRect Cell(int column, int row) const;

private:
    int FNumerator;
    int FDenominator;
    std::vector<int> FColumnLines, FColumnLineEnds;
    std::vector<int> FRowLines, FRowLineEnds;
};

// What a grid holds: cells of text, colours, lines and font, with every size kept at 100 %
// zoom ("true" sizes) and scaled to the editing window's zoom for display.
class TGridTable : public TObjectControl {
public:
    static constexpr int MaxCount = 100; // the size tables hold one entry more
    static constexpr int MinZoom = 10;
    static constexpr int MaxZoom = 2000;

    // A view of the table (the in-place editor) that follows its changes.
    class TObserver {
    public:
        virtual void TableChanged() = 0;
        // The table is being destroyed; it must not be used any more.
        virtual void TableDestroyed() = 0;

    protected:
        ~TObserver() = default;
    };

    TGridTable() = default;
    TGridTable(const TGridTable&) = delete;
    TGridTable& operator=(const TGridTable&) = delete;
    ~TGridTable() override;

    int ColumnCount() const { return int(FColumnWidths.size()); }
    int RowCount() const { return int(FRowHeights.size()); }
    void SetSize(int columns, int rows); // clamped to 0..MaxCount; new cells are empty
    QString Cell(int column, int row) const;
    void SetCell(int column, int row, const QString& text);
    // Moves a row (its height and cells) to another index, the rows between closing up;
    // false, and nothing moved, when either index is outside the table.
    bool MoveRow(int from, int to);
    bool MoveColumn(int from, int to);

    std::vector<int>& ColumnWidths() { return FColumnWidths; }
    std::vector<int>& RowHeights() { return FRowHeights; }
    const std::vector<int>& ColumnWidths() const { return FColumnWidths; }
    const std::vector<int>& RowHeights() const { return FRowHeights; }

    quint32 Color = 0xFFFFFF;
    quint32 LineColor = 0;
    int TrueLineWidth = 1;
    QString FontName = QStringLiteral("Arial");
    int TrueFontSize = 10;
    quint32 FontColor = 0;
    quint8 FontStyle = 0; // 1 bold, 2 italic, 4 underline, 8 strike-out
    quint8 Alignment = 2; // 0 left, 1 right, 2 centre
    int TrueWidth = 0;
    int TrueHeight = 0;
    int ZoomFactor = 100;
    // The cell the editing cursor is on (not stored).
    int CurrentColumn = 0;
    int CurrentRow = 0;

    TFontSpec Font() const;
    // The font at a zoom, on the screen: its size scaled, at least 1 point.
    QFont DisplayFont(int zoomPercent) const;
    // Sum of the true widths (heights) and of the lines around and between them.
    int TableWidth() const;
    int TableHeight() const;
    // The true total size becomes the size of the columns, rows and lines.
    void UpdateTrueSize();

    bool IsWindowed() const override { return true; }
    // Keeps the zoom within MinZoom..MaxZoom; the true sizes stay as they are.
    void ZoomChanged(int zoomPercent) override;

    void AddObserver(TObserver* observer);
    void RemoveObserver(TObserver* observer);
    // Tells the observers that sizes, style, cells or the zoom changed.
    void Changed();

private:
    std::vector<int> FColumnWidths;
    std::vector<int> FRowHeights;
    std::vector<QStringList> FCells; // by row
    std::vector<TObserver*> FObservers;
};

// Paints a table into area (its top-left is the table's): the background over the whole
// area, the lines across it, then each cell's text, word-wrapped, clipped to the cell and
// aligned by the table's Alignment with insets of 2 (left, top) and 3 (right) true pixels.
void PaintGridTable(QPainter& painter, const TGridTable& table, const QRect& area,
                    const TGridLayout& layout, const QFont& font);

// A table of rows and columns with text in its cells.
class TGridObject : public TTextControlObject {
    QDX_STORED_CLASS("TGridObject")
public:
    TGridObject() = default;
    using TTextControlObject::TTextControlObject;
    static TGridObject* CreateDefault();

    TGridTable& Table() { return static_cast<TGridTable&>(Control()); }
    const TGridTable& Table() const { return const_cast<TGridObject*>(this)->Table(); }

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
    bool IsAutoSized() const override { return true; }
    TRect AdjustRect(const TRect& pixels) const override;
    bool HasSpellText() const override { return true; }
    void Draw(TCanvas& canvas, int dx, int dy, bool printing) override;
    QString TypeName() const override { return QStringLiteral("Grid"); }
    // The run's Column and Row are the cell being read.
    QString BeginSpellCheck(TSpellCheckState& state) override;
    QString NextWord(TSpellCheckState& state) override;
    void ReplaceWord(TSpellCheckState& state, const QString& word) override;
    // Also puts the table's cursor on the run's cell.
    void RevealWord(const TSpellCheckState& state) override;

protected:
    void AssignTo(TStored& destination) const override;
    std::unique_ptr<TObjectControl> CreateControl() override;

private:
    void LoadVersion0(TStorage& storage);
};
