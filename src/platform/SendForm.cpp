#include "platform/SendForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSendForm::TSendForm(const QString& subject, bool documentSaved, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SendForm"));
    setWindowTitle(QStringLiteral("Send E-mail"));
    FSubject = new QLineEdit(subject, this);
    FSubject->setObjectName(QStringLiteral("Subject"));

    auto* group = new QGroupBox(QStringLiteral("Attach:"), this);
    FPictures = new QCheckBox(QStringLiteral("&Pictures of the pages"), group);
    FPictures->setObjectName(QStringLiteral("Pictures"));
    FPictures->setChecked(true);
    FDocument = new QCheckBox(QStringLiteral("The &document itself"), group);
    FDocument->setObjectName(QStringLiteral("Document"));
    FDocument->setEnabled(documentSaved);
    if (!documentSaved) FDocument->setToolTip(QStringLiteral("Save the document to send it"));
    FPdf = new QCheckBox(QStringLiteral("A P&DF file of the document"), group);
    FPdf->setObjectName(QStringLiteral("Pdf"));
    auto* groupLayout = new QVBoxLayout(group);
    for (QCheckBox* box : {FPictures, FDocument, FPdf}) {
        groupLayout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &TSendForm::UpdateOk);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    FOk = buttons->button(QDialogButtonBox::Ok);
    FOk->setObjectName(QStringLiteral("OkButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    auto* label = new QLabel(QStringLiteral("&Subject:"), this);
    label->setBuddy(FSubject);
    form->addRow(label, FSubject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void TSendForm::UpdateOk() {
    FOk->setEnabled(FPictures->isChecked() || (FDocument->isEnabled() && FDocument->isChecked()) ||
                    FPdf->isChecked());
}

TMailContent TSendForm::Content() const {
    TMailContent content;
    content.Subject = FSubject->text();
    content.Pictures = FPictures->isChecked();
    content.Document = FDocument->isEnabled() && FDocument->isChecked();
    content.Pdf = FPdf->isChecked();
    return content;
}
