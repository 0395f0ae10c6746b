#include "document/Settings.h"
#include "platform/SpellHighlighter.h"
#include "platform/Spelling.h"
#include "storage/Exception.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

const QString SystemEnglish = QStringLiteral("/usr/share/hunspell/en_US");

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class SpellingTest : public testing::Test {
protected:
    QTemporaryDir Folder;
    TMemorySettings Settings;

    QString Path(const QString& name) const { return QDir(Folder.path()).filePath(name); }
    QString CustomFile() const { return Path(TCustomDictionary::FileName); }

    // A main dictionary file naming the dictionary.
    QString MainDictionary(const QString& named) {
        const QString path = Path(QStringLiteral("ENGLISH.DCT"));
        WriteFile(path, "# names the dictionary\n\n" + named.toUtf8() + "\n");
        return path;
    }

    void SetUp() override {
        if (!QFile::exists(SystemEnglish + ".dic"))
            GTEST_SKIP() << "the US English Hunspell dictionary (hunspell-en-us) is not installed";
    }
};

} // namespace

TEST_F(SpellingTest, EnglishDictionaryChecksWordsAndSuggestsAtMostTen) {
    const auto checker = OpenSpellChecker(MainDictionary(SystemEnglish), Settings, CustomFile());
    ASSERT_TRUE(checker->Available());
    EXPECT_EQ(checker->DictionaryName(), QStringLiteral("en_US"));
    for (const char* word : {"hello", "Hello", "HELLO", "don't", "don\u2019t", "1999"})
        EXPECT_TRUE(checker->Check(QString::fromUtf8(word))) << word;
    for (const char* word : {"helo", "recieve", "Qdxword"})
        EXPECT_FALSE(checker->Check(QString::fromUtf8(word))) << word;

    const QStringList suggestions = checker->Suggest(QStringLiteral("recieve"));
    EXPECT_TRUE(suggestions.contains(QStringLiteral("receive")));
    EXPECT_LE(suggestions.size(), TSpellChecker::MaxSuggestions);
    EXPECT_EQ(checker->Suggest(QStringLiteral("helo"), 2).size(), 2);
}

TEST_F(SpellingTest, AddedWordsAreAcceptedAndKeptInTheCustomDictionary) {
    const QString main = MainDictionary(SystemEnglish);
    {
        const auto checker = OpenSpellChecker(main, Settings, CustomFile());
        checker->AddWord(QStringLiteral("qdxword"));
        checker->AddWord(QStringLiteral("McTavish"));
        EXPECT_TRUE(checker->Check(QStringLiteral("qdxword")));
    }
    const auto reopened = OpenSpellChecker(main, Settings, CustomFile());
    EXPECT_EQ(reopened->CustomDictionary().Words(), (QStringList{"McTavish", "qdxword"}));
    // A lower-case word may start a sentence or be shouted; a name keeps its capital.
    for (const char* word : {"qdxword", "Qdxword", "QDXWORD", "McTavish", "MCTAVISH"})
        EXPECT_TRUE(reopened->Check(QString::fromUtf8(word))) << word;
    for (const char* word : {"mctavish", "qDXword"})
        EXPECT_FALSE(reopened->Check(QString::fromUtf8(word))) << word;
}

TEST_F(SpellingTest, ChosenDictionaryMustBeAnInstalledNameElseTheMainFileDecides) {
    const QString main = MainDictionary(SystemEnglish);
    EXPECT_TRUE(InstalledDictionaries().contains(QStringLiteral("en_US")));

    // A dictionary of the same name elsewhere must not be reachable through the setting.
    WriteFile(Path("xx_XX.aff"), "SET UTF-8\n");
    WriteFile(Path("xx_XX.dic"), "1\nhelo\n");
    EXPECT_EQ(InstalledDictionaries(Folder.path()), QStringList{"xx_XX"});
    for (const QString& chosen : {Path("xx_XX"), QStringLiteral("zz_ZZ"), QStringLiteral("../x")}) {
        SCOPED_TRACE(chosen.toStdString());
        Settings.WriteString(SpellingSettings::Section, SpellingSettings::Dictionary, chosen);
        const auto checker = OpenSpellChecker(main, Settings, CustomFile());
        EXPECT_EQ(checker->DictionaryName(), QStringLiteral("en_US"));
        EXPECT_FALSE(checker->Check(QStringLiteral("helo")));
    }
}

TEST_F(SpellingTest, MainFileNamesADictionaryRelativeToItsFolder) {
    WriteFile(Path("own.aff"), "SET UTF-8\nTRY abc\n");
    WriteFile(Path("own.dic"), "2\nblorf\ncaf\xC3\xA9\n");
    const auto checker = OpenSpellChecker(MainDictionary("own"), Settings, CustomFile());
    ASSERT_TRUE(checker->Available());
    EXPECT_TRUE(checker->Check(QString::fromUtf8("caf\xC3\xA9")));
    EXPECT_TRUE(checker->Check(QStringLiteral("blorf")));
    EXPECT_FALSE(checker->Check(QStringLiteral("hello")));
}

TEST_F(SpellingTest, LatinOneDictionaryReadsAndSuggestsAccentedWords) {
    WriteFile(Path("latin.aff"), "SET ISO8859-1\nTRY \xE9" "acfe\n");
    WriteFile(Path("latin.dic"), "1\ncaf\xE9\n");
    const auto checker = OpenSpellChecker(MainDictionary(Path("latin")), Settings, CustomFile());
    ASSERT_TRUE(checker->Available());
    EXPECT_TRUE(checker->Check(QString::fromUtf8("caf\xC3\xA9")));
    EXPECT_FALSE(checker->Check(QString::fromUtf8("caf\xE2\x82\xAC"))); // no euro sign in Latin-1
    EXPECT_TRUE(checker->Suggest(QStringLiteral("cafe")).contains(QString::fromUtf8("caf\xC3\xA9")));
}

TEST_F(SpellingTest, MissingDictionaryAcceptsEveryWordButKeepsTheCustomList) {
    WriteFile(CustomFile(), "zeta\nalpha\n\n  alpha  \n");
    for (const QString& main : {MainDictionary(Path("absent")), Path("NO.DCT")}) {
        const auto checker = OpenSpellChecker(main, Settings, CustomFile());
        EXPECT_FALSE(checker->Available());
        EXPECT_TRUE(checker->Check(QStringLiteral("helo")));
        EXPECT_TRUE(checker->Suggest(QStringLiteral("helo")).isEmpty());
        EXPECT_EQ(checker->CustomDictionary().Words(), (QStringList{"alpha", "zeta"}));
    }
}

TEST(CustomDictionary, OversizedOrUnreadableListIsAnErrorAndAMissingOneIsEmpty) {
    QTemporaryDir folder;
    TCustomDictionary missing(QDir(folder.path()).filePath("none.dic"));
    missing.Load();
    EXPECT_TRUE(missing.Words().isEmpty());

    const QString huge = QDir(folder.path()).filePath("huge.dic");
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(TCustomDictionary::MaxFileSize + 1));
    file.close();
    TCustomDictionary oversized(huge);
    EXPECT_THROW(oversized.Load(), EReadError);

    TCustomDictionary folderAsFile(folder.path());
    EXPECT_THROW(folderAsFile.Load(), Exception);
}

TEST(CustomDictionary, SavingIntoAFolderThatCannotBeMadeFailsAndKeepsTheOldList) {
    QTemporaryDir folder;
    const QString blocker = QDir(folder.path()).filePath("file");
    QFile(blocker).open(QIODevice::WriteOnly);
    TCustomDictionary dictionary(blocker + "/sub/CUSTOM.DIC");
    dictionary.SetWords({"one"});
    EXPECT_THROW(dictionary.Save(), Exception);

    const QString path = QDir(folder.path()).filePath("CUSTOM.DIC");
    TCustomDictionary saved(path);
    saved.SetWords({"b", "B", "a", "\xC3\xA9t\xC3\xA9"});
    saved.Save();
    TCustomDictionary loaded(path);
    loaded.Load();
    EXPECT_EQ(loaded.Words(), saved.Words());
    EXPECT_EQ(loaded.Words().first(), QStringLiteral("a"));
}

TEST(SpellingWords, WordsAreLetterRunsWithInnerApostrophes) {
    const struct {
        const char* Text;
        QStringList Words;
    } cases[] = {
        {"Don't stop 'til it's 42 or B2B.", {"Don't", "stop", "til", "it's", "or", "B2B"}},
        {"rock'n'roll", {"rock'n'roll"}},
        {"trailing' 'leading", {"trailing", "leading"}},
        {"na\xC3\xAFve caf\xC3\xA9s, 3.14", {"na\xC3\xAFve", "caf\xC3\xA9s"}},
        {"", {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Text);
        const QString text = QString::fromUtf8(test.Text);
        QStringList words;
        for (const TWordSpan& span : WordsOf(text)) {
            words.append(span.Word);
            EXPECT_EQ(text.mid(span.Start, span.Length), span.Word);
        }
        EXPECT_EQ(words, test.Words);
    }
}

TEST(SpellingWords, WordAtFindsTheWordTouchingTheCursor) {
    const QString text = QStringLiteral("one  two");
    EXPECT_EQ(WordAt(text, 0).Word, QStringLiteral("one"));
    EXPECT_EQ(WordAt(text, 3).Word, QStringLiteral("one")); // just after it
    EXPECT_TRUE(WordAt(text, 4).IsEmpty());
    EXPECT_EQ(WordAt(text, 5).Word, QStringLiteral("two"));
    EXPECT_EQ(WordAt(text, 8).Start, 5);
    EXPECT_TRUE(WordAt(text, 99).IsEmpty());
    EXPECT_TRUE(WordAt(QString(), 0).IsEmpty());
}

TEST(SpellingWords, SentenceAroundShowsTheWordInItsSentence) {
    const QString text = QStringLiteral("First one. The helo is here! Last line\nNext");
    const int at = int(text.indexOf("helo"));
    const TSentence sentence = SentenceAround(text, at, 4);
    EXPECT_EQ(sentence.Text, QStringLiteral("The helo is here!"));
    EXPECT_EQ(sentence.Text.mid(sentence.WordStart, sentence.WordLength), QStringLiteral("helo"));

    const TSentence line = SentenceAround(text, int(text.indexOf("line")), 4);
    EXPECT_EQ(line.Text, QStringLiteral("Last line"));

    QString longText;
    for (int i = 0; i < 100; ++i) longText += QStringLiteral("word%1 ").arg(i);
    const int middle = int(longText.indexOf("word50"));
    const TSentence cut = SentenceAround(longText, middle, 6, 60);
    EXPECT_LE(cut.Text.size(), 60);
    EXPECT_EQ(cut.Text.mid(cut.WordStart, cut.WordLength), QStringLiteral("word50"));
    EXPECT_FALSE(cut.Text.startsWith(QStringLiteral("ord"))); // cut between words

    // Out of range positions are clamped, not read past the end.
    const TSentence outside = SentenceAround(text, 1000, 5);
    EXPECT_EQ(outside.WordLength, 0);
}

TEST_F(SpellingTest, HighlighterUnderlinesOnlyRejectedWordsAndKeepsTheirFormat) {
    const auto checker = OpenSpellChecker(MainDictionary(SystemEnglish), Settings, CustomFile());
    QTextDocument document;
    // An editor gives its document a layout; without one the document reports no changes.
    document.documentLayout();
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("This is "));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("mispeled"), bold);
    cursor.insertText(QStringLiteral(" text.\nSecnd line"), QTextCharFormat());
    TSpellHighlighter highlighter(&document, *checker);
    // The first highlighting waits for the event loop, and edits are followed only after it.
    QCoreApplication::processEvents();

    const auto marked = [&](const QTextBlock& block) {
        QStringList words;
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            if (range.format.underlineStyle() != QTextCharFormat::SpellCheckUnderline) continue;
            EXPECT_EQ(range.format.underlineColor(), TSpellHighlighter::UnderlineColor());
            words.append(block.text().mid(range.start, range.length));
        }
        return words;
    };
    EXPECT_EQ(marked(document.firstBlock()), QStringList{"mispeled"});
    EXPECT_EQ(marked(document.lastBlock()), QStringList{"Secnd"});

    // Fixing the word from its menu keeps it bold and is one undo step.
    const int position = int(document.toPlainText().indexOf("peled"));
    const TMisspelling word = MisspellingAt(document, position, *checker);
    ASSERT_EQ(word.Word, QStringLiteral("mispeled"));
    EXPECT_TRUE(word.Suggestions.contains(QStringLiteral("misspelled")));
    ReplaceMisspelling(document, word, QStringLiteral("misspelled"));
    EXPECT_EQ(document.firstBlock().text(), QStringLiteral("This is misspelled text."));
    QTextCursor check(&document);
    check.setPosition(position + 2);
    EXPECT_EQ(check.charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(marked(document.firstBlock()).isEmpty());
    document.undo();
    EXPECT_EQ(document.firstBlock().text(), QStringLiteral("This is mispeled text."));

    const int second = int(document.toPlainText().indexOf("Secnd"));
    EXPECT_EQ(MisspellingAt(document, second + 1, *checker).Start, second);
    EXPECT_TRUE(MisspellingAt(document, 1, *checker).IsEmpty()); // "This" is fine

    // A word found before the text changed is not replaced.
    QTextCursor(&document).insertText(QStringLiteral("So "));
    ReplaceMisspelling(document, word, QStringLiteral("X"));
    EXPECT_EQ(document.firstBlock().text(), QStringLiteral("So This is mispeled text."));
}

TEST_F(SpellingTest, PlainTextMisspellingIsReplacedOnlyWhereItStillStands) {
    const auto checker = OpenSpellChecker(MainDictionary(SystemEnglish), Settings, CustomFile());
    const QString text = QStringLiteral("Happy birthdy!");
    const TMisspelling word = MisspellingAt(text, int(text.size()) - 1, *checker);
    ASSERT_EQ(word.Word, QStringLiteral("birthdy"));
    EXPECT_EQ(ReplaceMisspelling(text, word, QStringLiteral("birthday")),
              QStringLiteral("Happy birthday!"));
    EXPECT_EQ(ReplaceMisspelling(QStringLiteral("Happy"), word, QStringLiteral("birthday")),
              QStringLiteral("Happy"));
    EXPECT_TRUE(MisspellingAt(text, 0, *checker).IsEmpty());
}
