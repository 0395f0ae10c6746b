#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class TSettingsStore;

// The words the user added: one word a line (UTF-8) in a file of the user folder. Accepted
// as written, with a capital first letter, and in capitals.
class TCustomDictionary {
public:
    static constexpr const char* FileName = "CUSTOM.DIC";
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    explicit TCustomDictionary(const QString& path = QString());

    const QString& Path() const { return FPath; }
    const QStringList& Words() const { return FWords; }
    // Trimmed, without empty or repeated words, sorted without regard to case.
    void SetWords(const QStringList& words);
    bool Add(const QString& word); // false when it was there already
    bool Accepts(const QString& word) const;

    // A missing file is an empty dictionary. Throws Exception when the file cannot be read
    // or is larger than any word list should be.
    void Load();
    // Atomically; throws Exception with the system's reason.
    void Save() const;

private:
    QString FPath;
    QStringList FWords;
};

// Checks words against a main dictionary and the custom dictionary, and proposes
// replacements. Words without letters (numbers, codes) are always accepted.
class TSpellChecker {
public:
    static constexpr int MaxSuggestions = 10;

    explicit TSpellChecker(const QString& customFile) : FCustom(customFile) {}
    virtual ~TSpellChecker() = default;
    TSpellChecker(const TSpellChecker&) = delete;
    TSpellChecker& operator=(const TSpellChecker&) = delete;

    // False when no main dictionary could be opened: then every word is accepted.
    virtual bool Available() const = 0;
    // The main dictionary's name ("en_US"); empty when none.
    virtual QString DictionaryName() const = 0;

    bool Check(const QString& word) const;
    // At most limit replacements, best first.
    QStringList Suggest(const QString& word, int limit = MaxSuggestions) const;

    TCustomDictionary& CustomDictionary() { return FCustom; }
    const TCustomDictionary& CustomDictionary() const { return FCustom; }
    // Adds the word to the custom dictionary and saves it (Exception when that fails).
    void AddWord(const QString& word);

protected:
    virtual bool InMainDictionary(const QString& word) const = 0;
    virtual QStringList MainSuggestions(const QString& word) const = 0;

private:
    TCustomDictionary FCustom;
};

// No main dictionary: nothing is reported as misspelled.
class TNoSpellChecker : public TSpellChecker {
public:
    using TSpellChecker::TSpellChecker;
    bool Available() const override { return false; }
    QString DictionaryName() const override { return {}; }

protected:
    bool InMainDictionary(const QString&) const override { return true; }
    QStringList MainSuggestions(const QString&) const override { return {}; }
};

class Hunspell;

// A Hunspell dictionary: "<base>.aff" and "<base>.dic".
class THunspellChecker : public TSpellChecker {
public:
    THunspellChecker(const QString& dictionaryBase, const QString& customFile);
    ~THunspellChecker() override;

    bool Available() const override { return true; }
    QString DictionaryName() const override { return FName; }

protected:
    bool InMainDictionary(const QString& word) const override;
    QStringList MainSuggestions(const QString& word) const override;

private:
    std::string Encode(const QString& word) const;
    QString Decode(const std::string& word) const;

    std::unique_ptr<Hunspell> FEngine;
    QString FName;
    bool FUtf8 = true; // else the dictionary's words are Latin-1
};

QString SpellingCompleteText(); // "Spelling check complete."

namespace SpellingSettings {
inline constexpr const char* Section = "Spelling";
// The chosen dictionary's name (a Hunspell dictionary of the system's folder); empty for the
// one the main dictionary file names.
inline constexpr const char* Dictionary = "Dictionary";
} // namespace SpellingSettings

// Where the system's Hunspell dictionaries are.
QString SystemDictionaryFolder();
// The names ("en_US", "de_DE") of the dictionaries in the folder that have both files, sorted.
QStringList InstalledDictionaries(const QString& folder = SystemDictionaryFolder());
// The dictionary base path that the main dictionary file names: its first line that is not
// empty nor a comment, taken from the file's folder when relative. Empty when the file
// cannot be read or names nothing.
QString DictionaryNamedBy(const QString& mainDictionaryFile);
// The checker the program uses: the dictionary chosen in the settings when it is installed,
// else the one the main dictionary file names; a TNoSpellChecker when neither can be opened.
// The custom dictionary is loaded (a damaged one counts as empty).
std::unique_ptr<TSpellChecker> OpenSpellChecker(const QString& mainDictionaryFile,
                                                const TSettingsStore& settings,
                                                const QString& customFile);

// A word of a text: [Start, Start + Length).
struct TWordSpan {
    int Start = 0;
    int Length = 0;
    QString Word;
    bool IsEmpty() const { return Length == 0; }
};

// The words of a text: runs of letters, digits and marks, with apostrophes between letters
// ("don't"). Runs without a letter are not words.
QList<TWordSpan> WordsOf(const QString& text);
// The word containing or touching the cursor position (between characters); empty when none.
TWordSpan WordAt(const QString& text, int position);
// The sentence around a word, for showing the word in its context: trimmed, and cut to about
// maxLength characters around the word. WordStart is the word's place in Text.
struct TSentence {
    QString Text;
    int WordStart = 0;
    int WordLength = 0;
};
TSentence SentenceAround(const QString& text, int start, int length, int maxLength = 200);
