#include "objects/PictureForm.h"

#include "document/AppContext.h"
#include "document/PropertyDialogs.h"
#include "objects/ImageDialog.h"
#include "objects/ImageEdits.h"
#include "objects/ImageEditor.h"
#include "objects/ObjectDialogs.h"
#include "objects/Picture.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

constexpr int PreviewSide = 220;

QCheckBox* Check(const QString& caption, const char* name) {
    auto* check = new QCheckBox(caption);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

QPushButton* Button(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QString PixelsText(QSize size) {
    return QStringLiteral("%1 \u00d7 %2").arg(size.width()).arg(size.height());
}

} // namespace

void RegisterPictureDialog() {
    RegisterPropertyDialog(TPictureObject::StoredName, [](TCardObject& object) {
        auto* picture = dynamic_cast<TPictureObject*>(&object);
        return picture && TPictureForm::Run(*picture, ObjectDialogParent());
    });
}

TPictureForm::TPictureForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PictureForm"));
    setWindowTitle(QStringLiteral("Picture Object Properties"));

    FPreview = new TPicturePreview;
    FPreview->setObjectName(QStringLiteral("PicturePreview"));
    FPreview->setFixedSize(PreviewSide, PreviewSide);
    FSizeLabel = new QLabel;
    FSizeLabel->setObjectName(QStringLiteral("SizeLabel"));
    FSizeLabel->setAlignment(Qt::AlignCenter);

    FNew = Button(QStringLiteral("&New Picture..."), "NewPictureButton");
    FModify = Button(QStringLiteral("&Modify Picture..."), "ModifyPictureButton");
    FRestore = Check(QStringLiteral("&Restore to original size"), "RestoreSizeCheck");
    FRestore->setToolTip(QStringLiteral("Size the object to the picture, one pixel to a "
                                        "hundredth of an inch"));
    FCenterHorizontally = Check(QStringLiteral("Center Hori&zontally"), "CenterHorizontallyCheck");
    FCenterVertically = Check(QStringLiteral("Center &Vertically"), "CenterVerticallyCheck");
    FDefault = Check(QStringLiteral("Default"), "DefaultCheck");
    FDefault->setToolTip(QStringLiteral("Use these centring settings for new pictures"));

    auto* left = new QVBoxLayout;
    left->addWidget(FPreview);
    left->addWidget(FSizeLabel);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(FNew);
    right->addWidget(FModify);
    right->addSpacing(12);
    right->addWidget(FRestore);
    right->addWidget(FCenterHorizontally);
    right->addWidget(FCenterVertically);
    right->addSpacing(12);
    right->addWidget(FDefault);
    right->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addSpacing(8);
    middle->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(middle);
    layout->addWidget(AddOkCancelButtons(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FNew, &QPushButton::clicked, this, &TPictureForm::NewPicture);
    connect(FModify, &QPushButton::clicked, this, &TPictureForm::ModifyPicture);
    ShowPicture();
}

TPictureForm::~TPictureForm() = default;

bool TPictureForm::Run(TPictureObject& picture, QWidget* parent) {
    TPictureForm form(parent);
    form.Fill(picture);
    if (form.exec() != Accepted) return false;
    form.ApplyTo(picture);
    return true;
}

void TPictureForm::Fill(const TPictureObject& picture) {
    FPicture = picture.Graphic();
    FBounds = picture.Bounds;
    FChanged = false;
    FRestore->setChecked(false);
    FDefault->setChecked(false);
    FCenterHorizontally->setChecked(picture.CenterHorizontally);
    FCenterVertically->setChecked(picture.CenterVertically);
    ShowPicture();
}

void TPictureForm::SetPicture(const TPictureData& picture) {
    FPicture = picture;
    FChanged = true;
    ShowPicture();
}

void TPictureForm::ShowPicture() {
    FPreview->SetPicture(FPicture);
    if (FPicture.IsEmpty())
        FSizeLabel->setText(QStringLiteral("No picture"));
    else
        FSizeLabel->setText(QStringLiteral("%1 pixels").arg(PixelsText(FPicture.PixelSize())));
    UpdateRules();
}

void TPictureForm::UpdateRules() {
    FModify->setVisible(!FPicture.IsEmpty() && !FPicture.IsMetafile);
    const QSize pixels = FPicture.PixelSize();
    const bool differs = !FPicture.IsEmpty() && (pixels.width() != std::abs(FBounds.Width()) ||
                                                 pixels.height() != std::abs(FBounds.Height()));
    // A hidden box must not act on OK.
    if (!differs) FRestore->setChecked(false);
    FRestore->setVisible(differs);
}

void TPictureForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FOfferedNew || !FPicture.IsEmpty()) return;
    FOfferedNew = true;
    // After the dialog is on the screen, so that the file dialog opens over it.
    QTimer::singleShot(0, this, &TPictureForm::NewPicture);
}

void TPictureForm::NewPicture() {
    const std::optional<TPictureData> chosen =
        AskNewPicture ? AskNewPicture() : TQDXImageDialog::ChooseNewPicture(this);
    if (chosen && !chosen->IsEmpty()) SetPicture(*chosen);
}

void TPictureForm::ModifyPicture() {
    if (FPicture.IsEmpty() || FPicture.IsMetafile) return;
    const QImage image = ImageFromBitmap(FPicture.Bitmap);
    if (image.isNull()) {
        AppContext().Messages().Error(QStringLiteral("The picture cannot be decoded for editing."));
        return;
    }
    const std::optional<QImage> edited =
        AskModifiedImage ? AskModifiedImage(image) : TImageEditor::Edit(image, this);
    if (!edited || edited->isNull()) return;
    TPictureData picture;
    picture.Bitmap = BitmapFromImage(*edited);
    SetPicture(picture);
}

void TPictureForm::OfferReduction() {
    if (!FChanged || FPicture.IsEmpty() || FPicture.IsMetafile) return;
    const QSize pixels = FPicture.PixelSize();
    const QSize units = FRestore->isChecked() ? pixels : QSize(FBounds.Width(), FBounds.Height());
    const QSize reduced = PrintReductionSize(pixels, units, PrintDotsPerInch);
    if (FPicture.IsOversized()) {
        TakeOversized(reduced);
        return;
    }
    if (reduced.isEmpty()) return;
    if (!AppContext().Messages().Confirm(ReductionQuestion(pixels, reduced))) return;
    const QImage image = ImageFromBitmap(FPicture.Bitmap, reduced);
    if (image.isNull()) return;
    FPicture.Bitmap =
        BitmapFromImage(image.size() == reduced
                            ? image
                            : image.scaled(reduced, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    ShowPicture();
}

QString TPictureForm::ReductionQuestion(QSize pixels, QSize reduced) {
    return QStringLiteral("This picture has far more detail (%1 pixels) than printing it at "
                          "this size can use. Reduce it to %2 pixels to keep the document small?")
        .arg(PixelsText(pixels), PixelsText(reduced));
}

// A file too large to hold whole is read again, at the size printing the object needs when the
// user agrees, else at the most a picture holds; the document never gets the full pixels.
void TPictureForm::TakeOversized(QSize reduced) {
    TMessageSink& messages = AppContext().Messages();
    const QSize pixels = FPicture.SourcePixels;
    const QSize most = WithinPictureLimit(pixels);
    QSize size = most;
    if (!reduced.isEmpty() && WithinPictureLimit(reduced) == reduced &&
        messages.Confirm(ReductionQuestion(pixels, reduced)))
        size = reduced;
    else
        messages.Information(QStringLiteral("The picture is kept at %1 pixels, the most one "
                                            "picture can hold.")
                                 .arg(PixelsText(most)));
    try {
        FPicture = LoadPictureFile(FPicture.SourceFile, size);
    } catch (const Exception& e) {
        messages.Error(e.Message());
        FPicture = TPictureData();
        FChanged = false;
    }
    ShowPicture();
}

void TPictureForm::ApplyTo(TPictureObject& picture) {
    OfferReduction();
    if (FDefault->isChecked()) {
        TSettingsStore& settings = AppContext().Settings();
        const QString section = QStringLiteral("Default Picture");
        settings.WriteBool(section, QStringLiteral("Center Horizontally"),
                           FCenterHorizontally->isChecked());
        settings.WriteBool(section, QStringLiteral("Center Vertically"),
                           FCenterVertically->isChecked());
    }
    ApplyObjectEdit(picture, [&] {
        // An unchanged picture is left alone, so the object keeps what it decoded from it.
        if (FChanged) picture.SetGraphic(FPicture);
        if (FRestore->isChecked()) picture.RestoreOriginalSize();
        picture.CenterHorizontally = FCenterHorizontally->isChecked();
        picture.CenterVertically = FCenterVertically->isChecked();
    });
}
