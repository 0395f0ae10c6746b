#pragma once

#include <QToolBar>
#include <QWidget>

class QAction;
class QComboBox;
class QFontComboBox;
class QSpinBox;
class TFocusTextControl;

// The text ruler: the edited frame's width in inches or centimetres, with the paragraph's
// first-line, left and right indents and its tab stops, all draggable. A click on the scale
// sets a tab stop; a tab stop dragged off the ruler goes.
class TTextRuler : public QWidget {
    Q_OBJECT
public:
    explicit TTextRuler(QWidget* parent);
    QSize sizeHint() const override { return {600, 26}; }
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum TMarker { mNone, mFirst, mLeft, mRight, mTab };
    double PixelsPerPoint() const;
    double ToPoints(int x) const;
    int ToPixels(double points) const;
    void Apply();

    TMarker FDragging = mNone;
    int FTab = -1;
    // The paragraph's values, in points from the frame's left edge.
    double FFirst = 0, FLeft = 0, FRight = 0, FWidth = 0;
    QList<double> FTabs;
};

// The formatting bar: font, size, bold, italic, underline, text and background colour,
// alignment, bullets, numbering and paragraph spacing of the focused text editor; shown with
// the ruler while a text frame is edited, hidden otherwise.
class TTextFormatBar : public QToolBar {
    Q_OBJECT
public:
    explicit TTextFormatBar(QWidget* parent);
    TTextRuler* Ruler() const { return FRuler; }
    QToolBar* RulerBar() const { return FRulerBar; }
    // Follows the editor: shows the bar and ruler with its formats, or hides them.
    void Refresh();

private:
    QAction* AddToggle(const QString& name, const QString& caption, const QString& hint);
    void ConnectFormats();
    void PickColor(bool background);

    QFontComboBox* FFont;
    QComboBox* FSize;
    QAction* FBold;
    QAction* FItalic;
    QAction* FUnderline;
    QAction* FTextColor;
    QAction* FBackgroundColor;
    QAction* FAlign[4];
    QAction* FBullets;
    QAction* FNumbers;
    QSpinBox* FSpacing;
    TTextRuler* FRuler;
    QToolBar* FRulerBar;
    bool FRefreshing = false;
};
