#pragma once

#include "platform/PlatformDialogs.h"

class QWidget;
class TMessageSink;

// The platform's questions asked with the program's dialogs, over the parent window.
class TQtPlatformDialogs : public TPlatformDialogs {
public:
    TQtPlatformDialogs(QWidget* parent, TMessageSink* messages)
        : FParent(parent), FMessages(messages) {}

    TSpellingAnswer Spelling(const TSpellChecker& checker, const QString& text, int start,
                             int length) override;
    bool EditCustomDictionary(TCustomDictionary& dictionary) override;
    bool ChooseDictionary(TSettingsStore& settings) override;
    bool ScanSource(TScanner& scanner, TSettingsStore& settings) override;
    bool ScanSettings(TSettingsStore& settings) override;
    bool MailContent(TMailContent& content, bool documentSaved) override;

    // Where the dialogs report failures (the main window's messages).
    void SetMessages(TMessageSink* messages) { FMessages = messages; }

private:
    QWidget* FParent;
    TMessageSink* FMessages;
};
