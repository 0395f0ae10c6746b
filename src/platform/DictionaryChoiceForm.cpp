#include "platform/DictionaryChoiceForm.h"

#include "document/Settings.h"
#include "platform/Spelling.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

TDictionaryChoiceForm::TDictionaryChoiceForm(TSettingsStore& settings, const QStringList& installed,
                                             QWidget* parent)
    : QDialog(parent), FSettings(settings) {
    setObjectName(QStringLiteral("DictionaryChoiceForm"));
    setWindowTitle(QStringLiteral("Spelling Dictionary"));
    FDictionary = new QComboBox(this);
    FDictionary->setObjectName(QStringLiteral("Dictionary"));
    FDictionary->addItem(QStringLiteral("Standard (ENGLISH.DCT)"), QString());
    for (const QString& name : installed) {
        const QLocale locale(name);
        const QString language = locale.language() == QLocale::C
                                     ? name
                                     : QStringLiteral("%1 (%2)").arg(
                                           QLocale::languageToString(locale.language()),
                                           QLocale::territoryToString(locale.territory()));
        FDictionary->addItem(QStringLiteral("%1 - %2").arg(name, language), name);
    }
    const QString chosen =
        settings.ReadString(SpellingSettings::Section, SpellingSettings::Dictionary, QString());
    FDictionary->setCurrentIndex(std::max(0, FDictionary->findData(chosen)));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout;
    auto* label = new QLabel(QStringLiteral("&Dictionary:"), this);
    label->setBuddy(FDictionary);
    form->addRow(label, FDictionary);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TDictionaryChoiceForm::accept() {
    FSettings.WriteString(SpellingSettings::Section, SpellingSettings::Dictionary,
                          FDictionary->currentData().toString());
    QDialog::accept();
}
