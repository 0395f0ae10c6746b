#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;
class QSlider;

// The picture being edited, fitted into the widget, with a rectangle that the user drags across
// it to choose what a crop keeps. The selection is kept in the picture's pixels.
class TImageCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int Margin = 8;

    explicit TImageCanvas(QWidget* parent = nullptr);

    // The picture's size and the (usually smaller) image that shows it.
    void SetImage(QSize pictureSize, const QImage& shown);
    // The area of the widget that shows the picture.
    QRect ShownRect() const;
    // The size of the area that would show a picture of this size.
    QSize ShownSize(QSize pictureSize) const;
    QRect Selection() const { return FSelection; }
    void SetSelection(const QRect& pixels);

    QSize sizeHint() const override { return {420, 320}; }

signals:
    void SelectionChanged(const QRect& pixels);
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DragTo(QPoint point);

    QSize FPictureSize;
    QImage FShown;
    QRect FSelection; // picture pixels; empty for none
    QPoint FDragStart;
    bool FDragging = false;
};

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
