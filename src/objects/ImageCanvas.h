#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

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
