#include "types/ConvertCardTypeForm.h"

#include "document/Card.h"
#include "storage/DialogHelp.h"
#include "types/CardType.h"
#include "types/DialogSupport.h"
#include "types/TypePictures.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

// The list names the original types in type order; these texts are the list's own.
constexpr std::array<const char*, TConvertCardTypeForm::ListedTypeCount> ListedTypes = {
    "Greeting Card",
    "Newsletter",
    "Flyer",
    "Award/Certificate (Landscape)",
    "Award/Certificate (Portrait)",
    "Letterhead",
    "Résumé",
    "Brochure",
    "Poster",
    "Business Card",
    "Label",
    "Envelope",
    "Banner",
    "Form"};

QLabel* NewLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(WithDocumentTerm(text), parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TConvertCardTypeForm::TConvertCardTypeForm(TCard& card, const QString& fileName,
                                           const QImage* preview, bool oldFormat, QWidget* parent)
    : QDialog(parent), FCard(card), FOldFormat(oldFormat) {
    setObjectName(QStringLiteral("ConvertCardTypeForm"));
    setWindowTitle(WithDocumentTerm(QStringLiteral("Choose Card Type/Description")));

    QLabel* heading = NewLabel(
        oldFormat ? QStringLiteral("This card is in an older format.  Please choose a card type "
                                   "and description for it.")
                  : QStringLiteral("Please choose a card type and description for this card."),
        QStringLiteral("HeadingLabel"), this);
    heading->setWordWrap(true);

    auto* fileNameLabel = new QLabel(QFileInfo(fileName).fileName().toUpper(), this);
    fileNameLabel->setObjectName(QStringLiteral("FileNameLabel"));

    auto* text = new QPlainTextEdit(card.CollectText(), this);
    text->setObjectName(QStringLiteral("CardText"));
    text->setReadOnly(true);
    text->setMinimumWidth(220);

    auto* previewArea = new TPreviewFrame(this);
    previewArea->SetPreview(preview ? *preview : DecodePreview(card.Preview.Bytes));

    auto* shape = new QLabel(this);
    shape->setObjectName(QStringLiteral("ShapePicture"));
    shape->setAlignment(Qt::AlignCenter);
    shape->setPixmap(CardFormatPicture(card.CardFormat));

    FTypeList = new QListWidget(this);
    FTypeList->setObjectName(QStringLiteral("TypeList"));
    for (int type = 0; type < ListedTypeCount; ++type) {
        auto* item = new QListWidgetItem(QString::fromUtf8(ListedTypes[size_t(type)]));
        item->setData(Qt::UserRole, type);
        FTypeList->addItem(item);
    }
    // A type the list does not name is offered too, so that it can be kept.
    if (card.DocumentType >= ListedTypeCount) {
        if (const TDocumentTypeInfo* info = DocumentTypeInfo(card.DocumentType)) {
            auto* item = new QListWidgetItem(QString::fromUtf8(info->Name));
            item->setData(Qt::UserRole, int(card.DocumentType));
            FTypeList->addItem(item);
        }
    }
    for (int i = 0; i < FTypeList->count(); ++i)
        if (FTypeList->item(i)->data(Qt::UserRole).toInt() == card.DocumentType)
            FTypeList->setCurrentRow(i);
    FTypeList->setMinimumHeight(FTypeList->sizeHintForRow(0) * FTypeList->count() +
                                2 * FTypeList->frameWidth());
    QLabel* typeLabel = NewLabel(QStringLiteral("Card &Type:"), QStringLiteral("TypeLabel"), this);
    typeLabel->setBuddy(FTypeList);

    FDescriptionEdit = new QLineEdit(card.Description, this);
    FDescriptionEdit->setObjectName(QStringLiteral("DescriptionEdit"));
    QLabel* descriptionLabel =
        NewLabel(QStringLiteral("Card &Description:"), QStringLiteral("DescriptionLabel"), this);
    descriptionLabel->setBuddy(FDescriptionEdit);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    FOkButton = buttons->button(QDialogButtonBox::Ok);
    FOkButton->setObjectName(QStringLiteral("OkButton"));
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setVisible(!oldFormat);
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpButton"));

    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel(QStringLiteral("File name:"), QStringLiteral("FileNameCaption"), this),
                    0, 0);
    grid->addWidget(fileNameLabel, 0, 1);
    grid->addWidget(NewLabel(QStringLiteral("Card Text:"), QStringLiteral("TextLabel"), this), 1,
                    0);
    grid->addWidget(NewLabel(QStringLiteral("Preview:"), QStringLiteral("PreviewLabel"), this), 1,
                    1);
    grid->addWidget(NewLabel(QStringLiteral("Card Shape:"), QStringLiteral("ShapeLabel"), this), 1,
                    2);
    grid->addWidget(text, 2, 0);
    grid->addWidget(previewArea, 2, 1);
    grid->addWidget(shape, 2, 2, Qt::AlignTop);
    grid->addWidget(typeLabel, 3, 0);
    grid->addWidget(descriptionLabel, 3, 1, 1, 2);
    grid->addWidget(FTypeList, 4, 0, 2, 1);
    grid->addWidget(FDescriptionEdit, 4, 1, 1, 2, Qt::AlignTop);
    grid->setRowStretch(5, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowDialogHelp(HelpContext); });
    connect(FDescriptionEdit, &QLineEdit::textChanged, this,
            &TConvertCardTypeForm::DescriptionEditChange);
    DescriptionEditChange();
}

int TConvertCardTypeForm::ChosenType() const {
    const QListWidgetItem* item = FTypeList->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

QString TConvertCardTypeForm::ChosenDescription() const {
    return FDescriptionEdit->text();
}

void TConvertCardTypeForm::DescriptionEditChange() {
    FOkButton->setEnabled(!FDescriptionEdit->text().trimmed().isEmpty());
}

void TConvertCardTypeForm::accept() {
    if (ChosenDescription().trimmed().isEmpty() || ChosenType() < 0) return;
    FCard.DocumentType = static_cast<quint8>(ChosenType());
    FCard.Description = ChosenDescription();
    FCard.SetDocumentModified(true);
    QDialog::accept();
}

// A document that does not know its type must be given one.
void TConvertCardTypeForm::reject() {
    if (!FOldFormat) QDialog::reject();
}

bool TConvertCardTypeForm::Run(TCard& card, const QString& fileName, const QImage* preview,
                               bool oldFormat, QWidget* parent) {
    TConvertCardTypeForm form(card, fileName, preview, oldFormat, parent);
    return form.exec() == Accepted;
}
