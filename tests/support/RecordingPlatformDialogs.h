#pragma once

#include "platform/Mail.h"
#include "platform/PlatformDialogs.h"

#include <QStringList>

#include <functional>

// The spelling, scanning and mail questions answered from a script; each is recorded by name
// and one the script does not answer is cancelled.
class TRecordingPlatformDialogs : public TPlatformDialogs {
public:
    QStringList Asked;
    std::function<TSpellingAnswer(const QString& word)> AnswerSpelling;
    std::function<bool(TMailContent& content, bool documentSaved)> AnswerMailContent;
    bool AnswerScanSettings = true;

    TSpellingAnswer Spelling(const TSpellChecker&, const QString& text, int start,
                             int length) override {
        Asked << QStringLiteral("Spelling");
        if (!AnswerSpelling) return {};
        return AnswerSpelling(text.mid(start, length));
    }
    bool EditCustomDictionary(TCustomDictionary&) override {
        Asked << QStringLiteral("EditCustomDictionary");
        return false;
    }
    bool ChooseDictionary(TSettingsStore&) override {
        Asked << QStringLiteral("ChooseDictionary");
        return false;
    }
    bool ScanSource(TScanner&, TSettingsStore&) override {
        Asked << QStringLiteral("ScanSource");
        return false;
    }
    bool ScanSettings(TSettingsStore&) override {
        Asked << QStringLiteral("ScanSettings");
        return AnswerScanSettings;
    }
    bool MailContent(TMailContent& content, bool documentSaved) override {
        Asked << QStringLiteral("MailContent");
        return AnswerMailContent && AnswerMailContent(content, documentSaved);
    }
};
