#include "objects/PersonalizeForm.h"
#include "storage/DialogHelp.h"


#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPersonalizeForm::TPersonalizeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PersonalizeForm"));
    setWindowTitle(QStringLiteral("Personalize"));

    FOriginal = new QPlainTextEdit(this);
    FOriginal->setObjectName(QStringLiteral("OriginalMemo"));
    FOriginal->setReadOnly(true);
    FOriginal->setLineWrapMode(QPlainTextEdit::NoWrap);
    FOriginal->setFixedHeight(FOriginal->fontMetrics().lineSpacing() * 5 + 12);
    auto* originalLabel = new QLabel(QStringLiteral("Original text:"), this);
    originalLabel->setBuddy(FOriginal);

    FPrompt = new QLabel(this);
    FPrompt->setObjectName(QStringLiteral("PromptLabel"));
    FValue = new QLineEdit(this);
    FValue->setObjectName(QStringLiteral("ValueEdit"));
    FValue->setMaxLength(MaximumLength);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpButton"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(originalLabel);
    layout->addWidget(FOriginal);
    layout->addSpacing(6);
    layout->addWidget(FPrompt);
    layout->addWidget(FValue);
    layout->addWidget(buttons);
    setMinimumWidth(380);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowDialogHelp(HelpContext); });
}

void TPersonalizeForm::SetOriginalText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FOriginal->setPlainText(plain);
}

void TPersonalizeForm::SetCode(const QString& name, const QString& value) {
    // Plain text: a code name may hold characters that would read as markup.
    FPrompt->setTextFormat(Qt::PlainText);
    FPrompt->setText(QStringLiteral("Enter personalized text for \"%1\":").arg(name));
    FValue->setText(value);
    FValue->selectAll();
    FValue->setFocus();
}

QString TPersonalizeForm::Value() const {
    return FValue->text();
}

bool TPersonalizeForm::Prompt(const QString& originalText, const QString& name, QString& value,
                              QWidget* parent) {
    TPersonalizeForm form(parent);
    form.SetOriginalText(originalText);
    form.SetCode(name, value);
    if (form.exec() != Accepted) return false;
    value = form.Value();
    return true;
}
