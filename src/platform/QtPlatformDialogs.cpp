#include "platform/QtPlatformDialogs.h"

#include "platform/CustomDictionaryForm.h"
#include "platform/DictionaryChoiceForm.h"
#include "platform/ScanForms.h"
#include "platform/SendForm.h"
#include "platform/Spelling.h"
#include "platform/SpellingForm.h"

TSpellingAnswer TQtPlatformDialogs::Spelling(const TSpellChecker& checker, const QString& text,
                                             int start, int length) {
    TSpellingForm form(checker, FParent);
    return form.Ask(text, start, length);
}

bool TQtPlatformDialogs::EditCustomDictionary(TCustomDictionary& dictionary) {
    TCustomDictionaryForm form(dictionary, *FMessages, FParent);
    return form.exec() == QDialog::Accepted;
}

bool TQtPlatformDialogs::ChooseDictionary(TSettingsStore& settings) {
    TDictionaryChoiceForm form(settings, InstalledDictionaries(), FParent);
    return form.exec() == QDialog::Accepted;
}

bool TQtPlatformDialogs::ScanSource(TScanner& scanner, TSettingsStore& settings) {
    TScanSourceForm form(scanner, settings, FParent);
    return form.exec() == QDialog::Accepted;
}

bool TQtPlatformDialogs::ScanSettings(TSettingsStore& settings) {
    TScanSettingsForm form(settings, FParent);
    return form.exec() == QDialog::Accepted;
}

bool TQtPlatformDialogs::MailContent(TMailContent& content, bool documentSaved) {
    TSendForm form(content.Subject, documentSaved, FParent);
    if (form.exec() != QDialog::Accepted) return false;
    content = form.Content();
    return true;
}
