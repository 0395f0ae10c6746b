#pragma once

#include <memory>

class TMainForm;
class TSpellChecker;

// The spelling commands: the check of the active document, the custom dictionary and the
// choice of the main dictionary. The checker is opened when first needed and again when
// another dictionary is chosen.
class TSpellingCommands {
public:
    explicit TSpellingCommands(TMainForm& main);
    ~TSpellingCommands();

    // Opens the dictionary the settings choose (or the one the main dictionary file names).
    void OpenChecker();
    // The checker, opened at its first use.
    TSpellChecker& Checker();

    void CheckDocument();
    void EditCustomDictionary();
    void ChooseDictionary();

private:
    TMainForm& FMain;
    std::unique_ptr<TSpellChecker> FChecker;
};
