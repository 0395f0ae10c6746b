#pragma once

// Small widgets of the headline dialog: the shade direction picker, colour swatches, texture
// thumbnails and the sample that shows a style.

#include <QFrame>
#include <QImage>
#include <QString>
#include <QWidget>

class QPainter;
class THeadlineText;

// Draws the style's box centred in the area; a box larger than the area is scaled down to
// fit, so a large font still shows whole. The style's box must be computed.
void DrawHeadlineFitted(QPainter& painter, THeadlineText& style, const QRect& area);

// Eight arrow cells around an empty centre, one per shade direction (sdUp .. sdUpLeft, clockwise
// from the top); none may be chosen. Clicks and the arrow keys choose.
class TDirectionPicker : public QWidget {
    Q_OBJECT
public:
    static constexpr int CellSize = 22; // pixels

    explicit TDirectionPicker(QWidget* parent = nullptr);

    // sdNone (0) or sdUp (1) .. sdUpLeft (8).
    int Direction() const { return FDirection; }
    void SetDirection(int direction); // values outside 1..8 choose none; does not signal
    QRect CellRect(int direction) const;
    int DirectionAt(QPoint point) const; // 0 outside the arrow cells

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // Sent when the user chooses a direction.
    void DirectionChosen(int direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Choose(int direction);
    int FDirection = 0;
};

// A framed rectangle filled with a colour (0x00BBGGRR).
class TColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit TColorSwatch(QWidget* parent = nullptr);
    quint32 ColorRef() const { return FColor; }
    void SetColorRef(quint32 color);
    QSize sizeHint() const override { return {24, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    quint32 FColor = 0;
};

// The picture of a texture name, stretched into a small frame; empty when there is none.
class TTextureThumbnail : public QFrame {
    Q_OBJECT
public:
    explicit TTextureThumbnail(QWidget* parent = nullptr);
    QString TextureName() const { return FName; }
    bool HasPicture() const { return !FPicture.isNull(); }
    void SetTextureName(const QString& name);
    QSize sizeHint() const override { return {40, 40}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString FName;
    QImage FPicture;
};

// Shows a style, not owned, with its lines as they are (the dialog gives it "Headline" and
// "Sample Text"), on a white page.
class THeadlineSample : public QFrame {
    Q_OBJECT
public:
    explicit THeadlineSample(THeadlineText& style, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {240, 170}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    THeadlineText& FStyle;
};
