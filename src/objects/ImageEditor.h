#pragma once

#include "objects/ImageCanvas.h"

#include <QDialog>
#include <QImage>

#include <optional>

class QLabel;
class QPushButton;
class QSlider;

// "Modify Picture": turns, flips, crops and lightens a bitmap. Turns, flips and crops change the
// picture at once; brightness and contrast are settings shown live on a screen-sized copy and
// applied to the whole picture by Result(). Reset goes back to the picture the editor was opened
// with. Object names: RotateLeftButton, RotateRightButton, FlipHorizontalButton,
// FlipVerticalButton, CropButton, ResetButton, BrightnessSlider, ContrastSlider, Canvas.
class TImageEditor : public QDialog {
    Q_OBJECT
public:
    explicit TImageEditor(const QImage& image, QWidget* parent = nullptr);

    // Shows the editor; the edited picture when confirmed.
    static std::optional<QImage> Edit(const QImage& image, QWidget* parent = nullptr);

    // The picture with every edit applied.
    QImage Result() const;
    // The picture after turns, flips and crops (without brightness and contrast).
    const QImage& Picture() const { return FPicture; }
    TImageCanvas* Canvas() const { return FCanvas; }

    void RotateLeft();
    void RotateRight();
    void FlipHorizontal();
    void FlipVertical();
    // Keeps the selected part; nothing without a selection.
    void Crop();
    void Reset();
    void SetBrightness(int value);
    void SetContrast(int value);

private:
    void SetPicture(const QImage& picture);
    // Rebuilds the shown copy after the picture, the canvas size or the tone changed.
    void UpdateShown(bool rescale);
    void UpdateControls();

    QImage FOriginal;
    QImage FPicture;
    QImage FScaled; // FPicture at the canvas's size, before brightness and contrast

    TImageCanvas* FCanvas;
    QLabel* FSizeLabel;
    QPushButton* FCrop;
    QPushButton* FReset;
    QSlider* FBrightness;
    QSlider* FContrast;
    QLabel* FBrightnessValue;
    QLabel* FContrastValue;
};
