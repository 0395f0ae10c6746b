#include "objects/PicturePreview.h"

#include "objects/ImageEdits.h"
#include "objects/MetafilePicture.h"

#include <QMouseEvent>
#include <QPainter>

TPicturePreview::TPicturePreview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(2 * Frame + 16, 2 * Frame + 16);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

TPicturePreview::~TPicturePreview() = default;

void TPicturePreview::SetPicture(const TPictureData& picture) {
    FPicture = picture;
    FBitmap = QImage();
    FScaled = QImage();
    FMetafile.reset();
    if (!picture.IsEmpty()) {
        if (picture.IsMetafile)
            FMetafile = TMetafilePicture::Of(picture.Metafile);
        else
            FBitmap = ImageFromBitmap(picture.Bitmap);
    }
    setCursor(Drawable() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
}

bool TPicturePreview::Drawable() const {
    if (FPicture.IsEmpty()) return false;
    if (FPicture.IsMetafile)
        return FMetafile && FMetafile->IsValid() && !FPicture.PixelSize().isEmpty();
    return !FBitmap.isNull();
}

QString TPicturePreview::Text() const {
    if (FPicture.IsEmpty()) return QStringLiteral("(None)");
    if (!Drawable()) return QStringLiteral("Invalid image");
    return QString();
}

QRect TPicturePreview::PictureRect() const {
    if (!Drawable()) return {};
    const QSize size = FPicture.IsMetafile ? FPicture.PixelSize() : FBitmap.size();
    return FittedRect(size, rect().adjusted(Frame, Frame, -Frame, -Frame));
}

QImage TPicturePreview::ShownImage(QSize size) const {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    QImage image;
    if (FMetafile) {
        image = FMetafile->Rendered(pixels);
    } else {
        if (FScaled.size() != pixels)
            FScaled = FBitmap.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image = FScaled;
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

void TPicturePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect target = PictureRect();
    QString text = Text();
    if (!target.isEmpty()) {
        const QImage image = ShownImage(target.size());
        if (image.isNull())
            text = QStringLiteral("Invalid image");
        else
            painter.drawImage(target.topLeft(), image);
    }
    if (!text.isEmpty()) {
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text);
    }
}

void TPicturePreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && Drawable()) emit Clicked();
    QWidget::mousePressEvent(event);
}
