#pragma once

#include "objects/ShapeControls.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class TShapeObject;

// The properties dialog of rectangles, rounded rectangles and ellipses: "%s Object
// Properties" with the kind's name. Besides the shared controls it offers "Height = &Width"
// (HeightEqualsWidthCheck), which makes the shape as high as it is wide.
class TShapeForm : public QDialog {
    Q_OBJECT
public:
    explicit TShapeForm(QWidget* parent = nullptr);

    // Caption and controls from the shape; "Height = Width" is checked and disabled when the
    // shape is already square.
    void Fill(const TShapeObject& shape);
    // What OK does: the values go into the shape (and its kind's defaults when "Default" is
    // checked), then the shape is aligned, repainted and its document modified.
    void ApplyTo(TShapeObject& shape) const;
    // Shows the dialog for the shape; true when confirmed.
    static bool Run(TShapeObject& shape, QWidget* parent = nullptr);

    // "Default Rectangle", "Default Rounded Rectangle" or, for any other shape, "Default Ellipse".
    static QString DefaultsSection(const TShapeObject& shape);

    const TShapeControls& Controls() const { return FControls; }
    QCheckBox* HeightEqualsWidthCheck() const { return FHeightEqualsWidth; }

private:
    TShapeControls FControls;
    QCheckBox* FHeightEqualsWidth;
};
