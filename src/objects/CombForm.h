#pragma once

#include "objects/ShapeForm.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QSpinBox;
class TCombObject;

// "Comb Object Properties": background ("&Background Color:" with "Cl&ear"), line colour and
// size (the shape's border), style, end teeth and number of spaces of a comb. The shared
// controls keep their object names (FillColorGrid is the background, BorderColorGrid and
// BorderSizeEdit the line); the others are StyleGroup (StyleUp ... StyleRight, ids 0 to 3),
// CombEdgeCheck and SpacesEdit.
class TCombForm : public QDialog {
    Q_OBJECT
public:
    explicit TCombForm(QWidget* parent = nullptr);

    void Fill(const TCombObject& comb);
    // What OK does: the values go into the comb (and "Default Comb" when "Default" is
    // checked), then the comb is aligned, repainted and its document modified.
    void ApplyTo(TCombObject& comb) const;
    // Shows the dialog for the comb; true when confirmed.
    static bool Run(TCombObject& comb, QWidget* parent = nullptr);

    const TShapeControls& Controls() const { return FControls; }
    int Style() const;
    void SetStyle(int style);
    QCheckBox* CombEdgeCheck() const { return FCombEdge; }
    QSpinBox* SpacesEdit() const { return FSpaces; }

private:
    // One space is enough with end teeth; without them a comb needs two.
    void ApplySpacesRule();

    TShapeControls FControls;
    QButtonGroup* FStyles;
    QCheckBox* FCombEdge;
    QLabel* FSpacesLabel;
    QSpinBox* FSpaces;
};
