#include "document/Card.h"
#include "document/Control.h"
#include "objects/Grid.h"
#include "objects/Headline.h"
#include "objects/RichText.h"
#include "platform/Spelling.h"
#include "platform/SpellingRun.h"
#include "support/DocumentFixtures.h"

#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A main dictionary of a few words, so that what is misspelled is known exactly.
class TWordListChecker : public TSpellChecker {
public:
    TWordListChecker(const QStringList& words, const QString& customFile)
        : TSpellChecker(customFile), FWords(words) {}
    bool Available() const override { return true; }
    QString DictionaryName() const override { return QStringLiteral("test"); }

protected:
    bool InMainDictionary(const QString& word) const override {
        return FWords.contains(word, Qt::CaseInsensitive);
    }
    QStringList MainSuggestions(const QString&) const override { return {}; }

private:
    QStringList FWords;
};

// Answers each question from a script and records the words asked about.
class TScriptedQuestions : public TSpellingQuestions {
public:
    std::function<TSpellingAnswer(const QString& word)> Answer;
    QStringList Asked;
    TSpellingAnswer Ask(TCardObject&, const TSpellCheckState& state) override {
        const QString word = state.Buffer.mid(state.WordStart, state.WordLength);
        Asked << word;
        return Answer ? Answer(word) : TSpellingAnswer{TSpellingAction::Ignore, {}};
    }
};

class SpellingRunTest : public testing::Test {
protected:
    TTestContext Test;
    QTemporaryDir User;
    TWordListChecker Checker{{"the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog",
                              "dear", "friend", "name", "happy", "birthday", "total"},
                             User.filePath(QStringLiteral("CUSTOM.DIC"))};
    TCard Card{0, 0};
    TScriptedQuestions Questions;

    THeadlineObject* Headline = nullptr;
    TRichTextObject* Frame = nullptr;
    TFieldObject* Field = nullptr;
    TGridObject* Grid = nullptr;

    void SetUp() override {
        Headline = new THeadlineObject;
        Headline->Text = QStringLiteral("Hapy birthday <Name> 2024");
        Frame = new TRichTextObject;
        Frame->Document().setPlainText(QStringLiteral("The quikc brown fox jumps over the quikc dog"));
        Field = new TFieldObject;
        Field->Value = QStringLiteral("Dear frend");
        Grid = new TGridObject;
        Grid->Table().SetSize(2, 1);
        Grid->Table().SetCell(0, 0, QStringLiteral("Totl"));
        Grid->Table().SetCell(1, 0, QStringLiteral("123"));
        TCardPanel* panel = Card.Pages(0)->Panels(0);
        panel->AddObject(Headline);
        panel->AddObject(Frame);
        panel->AddObject(Field);
        panel->AddObject(Grid);
    }
    TSpellingResult Run() { return TSpellingRun(Card, Checker, Questions).Run(); }
};

TSpellingAnswer Change(const QString& to) { return {TSpellingAction::Change, to}; }

} // namespace

TEST_F(SpellingRunTest, EveryKindOfObjectIsCheckedAndNumbersAndCodesAreSkipped) {
    const TSpellingResult result = Run();
    EXPECT_FALSE(result.Interrupted);
    // "<Name>" is a code and "2024", "123" are numbers; "quikc" comes twice.
    EXPECT_EQ(Questions.Asked, (QStringList{"Hapy", "quikc", "quikc", "frend", "Totl"}));
    EXPECT_EQ(result.Asked, 5);
    EXPECT_EQ(result.Changed, 0);
}

TEST_F(SpellingRunTest, ChangesReachEachObjectsText) {
    Questions.Answer = [](const QString& word) {
        if (word == "Hapy") return Change("Happy");
        if (word == "frend") return Change("friend");
        if (word == "Totl") return Change("Total");
        return Change("quick");
    };
    const TSpellingResult result = Run();
    EXPECT_EQ(result.Changed, 5);
    EXPECT_EQ(Headline->Text, QStringLiteral("Happy birthday <Name> 2024"));
    EXPECT_EQ(Frame->Document().toPlainText(),
              QStringLiteral("The quick brown fox jumps over the quick dog"));
    EXPECT_EQ(Field->Value, QStringLiteral("Dear friend"));
    EXPECT_EQ(Grid->Table().Cell(0, 0), QStringLiteral("Total"));
}

TEST_F(SpellingRunTest, ChangeAllReplacesLaterWordsWithoutAskingInThisRunOnly) {
    Questions.Answer = [](const QString& word) {
        if (word == "quikc") return TSpellingAnswer{TSpellingAction::ChangeAll, "quick"};
        return TSpellingAnswer{TSpellingAction::Ignore, {}};
    };
    EXPECT_EQ(Run().Changed, 2);
    EXPECT_EQ(Questions.Asked.count("quikc"), 1);
    EXPECT_EQ(Frame->Document().toPlainText(),
              QStringLiteral("The quick brown fox jumps over the quick dog"));

    // A new run starts with an empty table.
    Frame->Document().setPlainText(QStringLiteral("quikc"));
    Questions.Asked.clear();
    Questions.Answer = nullptr;
    Run();
    EXPECT_TRUE(Questions.Asked.contains("quikc"));
}

// The list lives with the open document (the file does not hold it).
TEST_F(SpellingRunTest, IgnoreAllIsKeptUpperCasedInTheDocumentAndSkippedFromThenOn) {
    Questions.Answer = [](const QString&) { return TSpellingAnswer{TSpellingAction::IgnoreAll, {}}; };
    Run();
    EXPECT_EQ(Questions.Asked.count("quikc"), 1);
    EXPECT_GE(Card.IgnoredWords.IndexOfString(QStringLiteral("QUIKC")), 0);
    EXPECT_GE(Card.IgnoredWords.IndexOfString(QStringLiteral("HAPY")), 0);
    EXPECT_GE(Card.IgnoredWords.IndexOfString(QStringLiteral("FREND")), 0);
    Questions.Asked.clear();
    Run();
    EXPECT_TRUE(Questions.Asked.isEmpty());
}

TEST_F(SpellingRunTest, AddedWordsAreAcceptedAtOnceAndInTheNextRun) {
    Questions.Answer = [](const QString&) { return TSpellingAnswer{TSpellingAction::Add, {}}; };
    const TSpellingResult result = Run();
    EXPECT_TRUE(result.AddFailure.isEmpty());
    EXPECT_EQ(Questions.Asked.count("quikc"), 1);

    TWordListChecker again({}, User.filePath(QStringLiteral("CUSTOM.DIC")));
    again.CustomDictionary().Load();
    EXPECT_TRUE(again.Check(QStringLiteral("quikc")));
    Questions.Asked.clear();
    Run();
    EXPECT_TRUE(Questions.Asked.isEmpty());
}

TEST_F(SpellingRunTest, CancelStopsTheWholeRunAndLeavesTheRestAlone) {
    Questions.Answer = [](const QString& word) {
        if (word == "Hapy") return Change("Happy");
        return TSpellingAnswer{TSpellingAction::Cancel, {}};
    };
    const TSpellingResult result = Run();
    EXPECT_TRUE(result.Interrupted);
    EXPECT_EQ(Questions.Asked, (QStringList{"Hapy", "quikc"}));
    EXPECT_EQ(Headline->Text, QStringLiteral("Happy birthday <Name> 2024"));
    EXPECT_EQ(Field->Value, QStringLiteral("Dear frend"));
}

TEST_F(SpellingRunTest, AWordThatCannotBeSavedIsStillAcceptedAndTheFailureReported) {
    TWordListChecker broken({}, QStringLiteral("/proc/no-such-folder/CUSTOM.DIC"));
    Questions.Answer = [](const QString&) { return TSpellingAnswer{TSpellingAction::Add, {}}; };
    Frame->Document().setPlainText(QStringLiteral("zork zork"));
    Headline->Text.clear();
    Field->Value.clear();
    Grid->Table().SetCell(0, 0, QString());
    const TSpellingResult result = TSpellingRun(Card, broken, Questions).Run();
    EXPECT_FALSE(result.AddFailure.isEmpty());
    EXPECT_EQ(Questions.Asked, QStringList{"zork"});
}

TEST(SpellingRunWords, OnlyWordsOfDigitsAreNumbers) {
    EXPECT_TRUE(TSpellingRun::IsNumber(QStringLiteral("2024")));
    EXPECT_FALSE(TSpellingRun::IsNumber(QStringLiteral("4th")));
    EXPECT_FALSE(TSpellingRun::IsNumber(QString()));
}
