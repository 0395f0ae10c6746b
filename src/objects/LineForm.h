#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QSpinBox;
class TColorGrid;
class TLineObject;

// "Line Object Properties": colour, style, width and centring of a line. Only solid lines
// have a width of their own; every patterned style is drawn 1 point wide. Object names:
// ColorLabel, ColorGrid, StyleGroup (buttons StyleSolid ... StyleDashDotDot, ids 0 to 4),
// WidthLabel, WidthEdit, CenterHorizontallyCheck, CenterVerticallyCheck, DefaultCheck.
class TLineForm : public QDialog {
    Q_OBJECT
public:
    explicit TLineForm(QWidget* parent = nullptr);

    void Fill(const TLineObject& line);
    // What OK does: the values go into the line (and "Default Line" when "Default" is
    // checked), then the line is aligned, repainted and its document modified.
    void ApplyTo(TLineObject& line) const;
    // Shows the dialog for the line; true when confirmed.
    static bool Run(TLineObject& line, QWidget* parent = nullptr);

    int Style() const;
    void SetStyle(int style); // as a click on the style would
    int LineWidth() const;

private:
    // Width is for solid lines only; choosing any other style makes it 1.
    void ApplyStyleRule();

    TColorGrid* FColorGrid;
    QButtonGroup* FStyles;
    QLabel* FWidthLabel;
    QSpinBox* FWidthEdit;
    QCheckBox* FCenterHorizontally;
    QCheckBox* FCenterVertically;
    QCheckBox* FDefault;
};
