#pragma once

// What the publication-type and template dialogs share: the "Document" wording of their
// captions and the framed preview picture.

#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;

// The term that stands for "card" in dialog captions.
QString DocumentTerm();
// The caption with every word "Card" replaced by the term and every word "card" by the term in
// lower case (case-sensitive, whole words).
QString WithDocumentTerm(const QString& caption);

// A document's preview picture, centred in the area inside a frame 2 pixels larger than the
// picture, or the red words "No Preview Available" when there is none.
class TPreviewFrame : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewFrame(QWidget* parent = nullptr);

    void SetPreview(const QImage& image); // a null image: none
    bool HasPreview() const { return !FImage.isNull(); }
    const QImage& Preview() const { return FImage; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FImage;
    QLabel* FNoPreview;
};

// The preview picture a document stores (BMP bytes); a null image for none or unreadable bytes.
QImage DecodePreview(const QByteArray& bmpBytes);
