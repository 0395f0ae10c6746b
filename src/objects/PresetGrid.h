#pragma once

#include "objects/Headline.h"

#include <QAbstractScrollArea>

class THeadlinePresets;

// The stored headline styles as a grid of three columns, each cell showing "Aa" in its style;
// preset index = row * 3 + column. Rows scroll vertically. A cell without a preset stays
// plain and cannot be selected. The presets are not owned.
class TPresetGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int Columns = 3;
    static constexpr int CellWidth = 111;
    static constexpr int CellHeight = 93;

    explicit TPresetGrid(THeadlinePresets& presets, QWidget* parent = nullptr);

    int PresetCount() const { return FCount; }
    int RowCount() const { return (FCount + Columns - 1) / Columns; }
    // The selected preset, or -1.
    int Selected() const { return FSelected; }
    // Selects a preset and reports it (PresetSelected); refused when there is none of that
    // index.
    bool Select(int index);
    // Moves the highlight without reporting (the selection follows a moved preset), or clears
    // it with -1.
    void SetSelected(int index);
    // Counts the presets again after they were added or deleted, and repaints.
    void Recount();
    // The cell of an index in viewport coordinates, and the index under a viewport point
    // (-1 outside every cell).
    QRect CellRect(int index) const;
    int IndexAt(QPoint point) const;
    void ScrollTo(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void PresetSelected(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateScrollBar();

    THeadlinePresets& FPresets;
    THeadlineText FPreview; // reused for every cell, with the one line "Aa"
    int FCount = 0;
    int FSelected = -1;
};
