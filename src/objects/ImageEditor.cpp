#include "objects/ImageEditor.h"

#include "objects/ImageEdits.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

QPushButton* Button(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QSlider* ToneSlider(const char* name) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(-100, 100);
    slider->setPageStep(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(50);
    slider->setMinimumWidth(140);
    return slider;
}

} // namespace

TImageEditor::TImageEditor(const QImage& image, QWidget* parent)
    : QDialog(parent), FOriginal(image), FPicture(image) {
    setObjectName(QStringLiteral("ImageEditor"));
    setWindowTitle(QStringLiteral("Modify Picture"));

    FCanvas = new TImageCanvas;
    FCanvas->setObjectName(QStringLiteral("Canvas"));

    auto* turnBox = new QGroupBox(QStringLiteral("Turn and flip"));
    auto* turn = new QGridLayout(turnBox);
    auto* rotateLeft = Button(QStringLiteral("Rotate &Left"), "RotateLeftButton");
    auto* rotateRight = Button(QStringLiteral("Rotate &Right"), "RotateRightButton");
    auto* flipH = Button(QStringLiteral("Flip &Horizontal"), "FlipHorizontalButton");
    auto* flipV = Button(QStringLiteral("Flip &Vertical"), "FlipVerticalButton");
    turn->addWidget(rotateLeft, 0, 0);
    turn->addWidget(rotateRight, 0, 1);
    turn->addWidget(flipH, 1, 0);
    turn->addWidget(flipV, 1, 1);

    auto* cropBox = new QGroupBox(QStringLiteral("Crop"));
    auto* crop = new QVBoxLayout(cropBox);
    auto* cropHint =
        new QLabel(QStringLiteral("Drag across the picture to mark the part to keep."));
    cropHint->setWordWrap(true);
    FCrop = Button(QStringLiteral("&Crop to Selection"), "CropButton");
    crop->addWidget(cropHint);
    crop->addWidget(FCrop);

    auto* toneBox = new QGroupBox(QStringLiteral("Brightness and contrast"));
    auto* tone = new QGridLayout(toneBox);
    FBrightness = ToneSlider("BrightnessSlider");
    FContrast = ToneSlider("ContrastSlider");
    FBrightnessValue = new QLabel;
    FContrastValue = new QLabel;
    for (QLabel* value : {FBrightnessValue, FContrastValue}) {
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-100")) + 4);
    }
    auto* brightnessLabel = new QLabel(QStringLiteral("&Brightness:"));
    brightnessLabel->setBuddy(FBrightness);
    auto* contrastLabel = new QLabel(QStringLiteral("C&ontrast:"));
    contrastLabel->setBuddy(FContrast);
    tone->addWidget(brightnessLabel, 0, 0, 1, 2);
    tone->addWidget(FBrightness, 1, 0);
    tone->addWidget(FBrightnessValue, 1, 1);
    tone->addWidget(contrastLabel, 2, 0, 1, 2);
    tone->addWidget(FContrast, 3, 0);
    tone->addWidget(FContrastValue, 3, 1);

    FReset = Button(QStringLiteral("R&eset"), "ResetButton");
    FReset->setToolTip(QStringLiteral("Undo every change made to the picture here"));

    auto* side = new QVBoxLayout;
    side->addWidget(turnBox);
    side->addWidget(cropBox);
    side->addWidget(toneBox);
    auto* resetRow = new QHBoxLayout;
    resetRow->addWidget(FReset);
    resetRow->addStretch();
    side->addLayout(resetRow);
    side->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addWidget(FCanvas, 1);
    middle->addLayout(side);

    FSizeLabel = new QLabel;
    FSizeLabel->setObjectName(QStringLiteral("SizeLabel"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(FSizeLabel, 1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(rotateLeft, &QPushButton::clicked, this, &TImageEditor::RotateLeft);
    connect(rotateRight, &QPushButton::clicked, this, &TImageEditor::RotateRight);
    connect(flipH, &QPushButton::clicked, this, &TImageEditor::FlipHorizontal);
    connect(flipV, &QPushButton::clicked, this, &TImageEditor::FlipVertical);
    connect(FCrop, &QPushButton::clicked, this, &TImageEditor::Crop);
    connect(FReset, &QPushButton::clicked, this, &TImageEditor::Reset);
    connect(FBrightness, &QSlider::valueChanged, this, [this] {
        UpdateShown(false);
        UpdateControls();
    });
    connect(FContrast, &QSlider::valueChanged, this, [this] {
        UpdateShown(false);
        UpdateControls();
    });
    connect(FCanvas, &TImageCanvas::SelectionChanged, this, &TImageEditor::UpdateControls);
    connect(FCanvas, &TImageCanvas::Resized, this, [this] { UpdateShown(true); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    resize(760, 460);
    UpdateShown(true);
    UpdateControls();
}

std::optional<QImage> TImageEditor::Edit(const QImage& image, QWidget* parent) {
    TImageEditor editor(image, parent);
    if (editor.exec() != Accepted) return std::nullopt;
    return editor.Result();
}

QImage TImageEditor::Result() const {
    return AdjustedTone(FPicture, FBrightness->value(), FContrast->value());
}

void TImageEditor::RotateLeft() {
    SetPicture(RotatedQuarters(FPicture, -1));
}

void TImageEditor::RotateRight() {
    SetPicture(RotatedQuarters(FPicture, 1));
}

void TImageEditor::FlipHorizontal() {
    SetPicture(FlippedHorizontally(FPicture));
}

void TImageEditor::FlipVertical() {
    SetPicture(FlippedVertically(FPicture));
}

void TImageEditor::Crop() {
    const QImage cropped = Cropped(FPicture, FCanvas->Selection());
    if (!cropped.isNull()) SetPicture(cropped);
}

void TImageEditor::Reset() {
    FBrightness->setValue(0);
    FContrast->setValue(0);
    SetPicture(FOriginal);
}

void TImageEditor::SetBrightness(int value) {
    FBrightness->setValue(value);
}

void TImageEditor::SetContrast(int value) {
    FContrast->setValue(value);
}

void TImageEditor::SetPicture(const QImage& picture) {
    FPicture = picture;
    FCanvas->SetSelection(QRect());
    UpdateShown(true);
    UpdateControls();
}

void TImageEditor::UpdateShown(bool rescale) {
    const QSize size = FCanvas->ShownSize(FPicture.size());
    if (rescale || FScaled.size() != size) {
        // Small pictures are enlarged pixel for pixel so that a crop can be placed exactly.
        const bool enlarging = size.width() > FPicture.width();
        FScaled =
            size.isEmpty() || FPicture.isNull()
                ? QImage()
                : FPicture.scaled(size, Qt::IgnoreAspectRatio,
                                  enlarging ? Qt::FastTransformation : Qt::SmoothTransformation);
    }
    FCanvas->SetImage(FPicture.size(),
                      AdjustedTone(FScaled, FBrightness->value(), FContrast->value()));
}

void TImageEditor::UpdateControls() {
    const QRect selection = FCanvas->Selection();
    FCrop->setEnabled(!selection.isEmpty() && selection.size() != FPicture.size());
    FBrightnessValue->setText(QString::number(FBrightness->value()));
    FContrastValue->setText(QString::number(FContrast->value()));
    QString size =
        QStringLiteral("%1 \u00d7 %2 pixels").arg(FPicture.width()).arg(FPicture.height());
    if (!selection.isEmpty())
        size += QStringLiteral(", selected %1 \u00d7 %2")
                    .arg(selection.width())
                    .arg(selection.height());
    FSizeLabel->setText(size);
}
