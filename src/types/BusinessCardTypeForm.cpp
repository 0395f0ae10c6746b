#include "types/BusinessCardTypeForm.h"

#include "document/Card.h"
#include "storage/DialogHelp.h"
#include "types/TypePictures.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TBusinessCardTypeForm::TBusinessCardTypeForm(TCard& card, QWidget* parent)
    : QDialog(parent), FCard(card) {
    setObjectName(QStringLiteral("BusinessCardTypeForm"));
    setWindowTitle(QStringLiteral("Change Business Card Type"));

    auto* group = new QGroupBox(QStringLiteral("Business Card Type"), this);
    group->setObjectName(QStringLiteral("TypeGroup"));
    FConnected = new QRadioButton(QStringLiteral("Connected"), group);
    FConnected->setObjectName(QStringLiteral("ConnectedButton"));
    FSeparated = new QRadioButton(QStringLiteral("Separated"), group);
    FSeparated->setObjectName(QStringLiteral("SeparatedButton"));
    auto* radios = new QVBoxLayout(group);
    radios->addWidget(FConnected);
    radios->addWidget(FSeparated);
    radios->addStretch(1);

    FPicture = new QLabel(this);
    FPicture->setObjectName(QStringLiteral("FormatPicture"));
    FPicture->setAlignment(Qt::AlignCenter);
    FPicture->setFrameShape(QFrame::StyledPanel);
    FPicture->setFixedSize(TypePictureSize + 16, TypePictureSize + 16);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpButton"));

    auto* top = new QHBoxLayout;
    top->addWidget(group, 1);
    top->addWidget(FPicture);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowDialogHelp(HelpContext); });
    connect(FConnected, &QRadioButton::toggled, this, &TBusinessCardTypeForm::TypeGroupClick);

    (card.CardFormat == ConnectedFormat ? FConnected : FSeparated)->setChecked(true);
    // The picture shows what OK makes: on a card of 8, "Separated" means the layout of 10.
    TypeGroupClick();
}

int TBusinessCardTypeForm::ItemIndex() const {
    return FConnected->isChecked() ? 0 : 1;
}

void TBusinessCardTypeForm::SetItemIndex(int index) {
    (index == 0 ? FConnected : FSeparated)->setChecked(true);
}

void TBusinessCardTypeForm::TypeGroupClick() {
    FPicture->setPixmap(CardFormatPicture(ChosenFormat()));
}

void TBusinessCardTypeForm::accept() {
    FCard.SetCardFormat(ChosenFormat());
    FCard.ComputeSheetGeometry();
    FCard.LayoutAllPages();
    FCard.SetDocumentModified(true);
    QDialog::accept();
}

bool TBusinessCardTypeForm::Run(TCard& card, QWidget* parent) {
    TBusinessCardTypeForm form(card, parent);
    return form.exec() == Accepted;
}
