#pragma once

#include "objects/PictureFiles.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <memory>

class TMetafilePicture;

// A picture (bitmap or metafile) drawn stretched proportionally and centred inside a thin
// frame, or a grey text in its place: "(None)" without a picture, "Invalid image" when the
// picture's bytes do not draw. A click on a shown picture emits Clicked.
class TPicturePreview : public QWidget {
    Q_OBJECT
public:
    static constexpr int Frame = 2;

    explicit TPicturePreview(QWidget* parent = nullptr);
    ~TPicturePreview() override;

    void SetPicture(const TPictureData& picture);
    const TPictureData& Picture() const { return FPicture; }
    // The text shown instead of a picture; empty while a picture is shown.
    QString Text() const;
    // The area the picture takes inside the widget; empty when none is shown.
    QRect PictureRect() const;

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool Drawable() const;
    QImage ShownImage(QSize size) const;

    TPictureData FPicture;
    QImage FBitmap;
    std::shared_ptr<const TMetafilePicture> FMetafile;
    mutable QImage FScaled; // the bitmap at the size last painted
};
