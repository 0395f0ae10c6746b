#pragma once

#include <QColor>
#include <QWidget>

// The English name of a colour of the 16-colour palette ("Black" ... "White").
QString PaletteColorName(int index);

// A 4 x 4 grid of the palette's colours with one of them selected, as the object dialogs
// show it. Clicking a swatch or moving with the arrow keys selects; the grid then reports
// the new index.
class TColorGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int Columns = 4;
    static constexpr int Rows = 4;
    static constexpr int CellSize = 20; // pixels, the swatch and its frame

    explicit TColorGrid(QWidget* parent = nullptr);

    // The palette index selected, or -1 when none is (an index outside the palette was set).
    int SelectedIndex() const { return FSelected; }
    void SetSelectedIndex(int index);
    // The swatch of an index, and the index under a point (-1 outside every swatch).
    QRect CellRect(int index) const;
    int IndexAt(QPoint point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // Sent when the selection changes, whether by the user or by SetSelectedIndex.
    void SelectedIndexChanged(int index);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int FSelected = -1;
};
