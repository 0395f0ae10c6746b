#include "types/DialogSupport.h"

#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QVBoxLayout>

QString DocumentTerm() {
    return QStringLiteral("Document");
}

QString WithDocumentTerm(const QString& caption) {
    static const QRegularExpression upper(QStringLiteral("\\bCard\\b"));
    static const QRegularExpression lower(QStringLiteral("\\bcard\\b"));
    QString text = caption;
    text.replace(upper, DocumentTerm());
    text.replace(lower, DocumentTerm().toLower());
    return text;
}

TPreviewFrame::TPreviewFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PreviewArea"));
    FNoPreview = new QLabel(QStringLiteral("No Preview Available"), this);
    FNoPreview->setObjectName(QStringLiteral("NoPreviewLabel"));
    FNoPreview->setAlignment(Qt::AlignCenter);
    FNoPreview->setWordWrap(true);
    QPalette palette = FNoPreview->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    FNoPreview->setPalette(palette);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FNoPreview);
    setMinimumSize(176, 176);
}

void TPreviewFrame::SetPreview(const QImage& image) {
    FImage = image;
    FNoPreview->setVisible(FImage.isNull());
    update();
}

QSize TPreviewFrame::sizeHint() const {
    return QSize(176, 176);
}

void TPreviewFrame::paintEvent(QPaintEvent*) {
    if (FImage.isNull()) return;
    QPainter painter(this);
    QSize size = FImage.size();
    // A picture larger than the area is shown scaled down, never up.
    const QSize room = this->size() - QSize(6, 6);
    if (size.width() > room.width() || size.height() > room.height())
        size.scale(room, Qt::KeepAspectRatio);
    const QRect picture(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.drawImage(picture, FImage);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(Qt::NoBrush);
    // The frame is 2 pixels larger than the picture: one pixel outside it on every side (a
    // one-pixel pen outlines one pixel more than the rectangle's size).
    painter.drawRect(QRect(picture.topLeft() - QPoint(1, 1), picture.size()));
}

QImage DecodePreview(const QByteArray& bmpBytes) {
    if (bmpBytes.isEmpty()) return QImage();
    return QImage::fromData(bmpBytes, "BMP");
}
