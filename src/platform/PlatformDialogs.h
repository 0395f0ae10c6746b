#pragma once

#include "platform/SpellingRun.h"

class TCustomDictionary;
class TScanner;
class TSettingsStore;
class TSpellChecker;
struct TMailContent;

// The questions of the spelling, scanning and mail commands. The program answers them with
// its dialogs; tests answer them from a script. Every question may be cancelled.
class TPlatformDialogs {
public:
    virtual ~TPlatformDialogs() = default;

    // A word the checker did not accept: text[start, start + length).
    virtual TSpellingAnswer Spelling(const TSpellChecker& checker, const QString& text,
                                     int start, int length) = 0;
    // The user's words, edited and saved on OK; true when they were saved.
    virtual bool EditCustomDictionary(TCustomDictionary& dictionary) = 0;
    // The main dictionary, kept in the settings on OK.
    virtual bool ChooseDictionary(TSettingsStore& settings) = 0;
    // The device to scan from, kept in the settings on OK.
    virtual bool ScanSource(TScanner& scanner, TSettingsStore& settings) = 0;
    // Colour and resolution of the next scan, kept in the settings on OK.
    virtual bool ScanSettings(TSettingsStore& settings) = 0;
    // The subject and the attachments of a message.
    virtual bool MailContent(TMailContent& content, bool documentSaved) = 0;
};
