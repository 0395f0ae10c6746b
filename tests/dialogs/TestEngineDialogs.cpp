#include "document/Settings.h"
#include "platform/CustomDictionaryForm.h"
#include "platform/DictionaryChoiceForm.h"
#include "platform/ScanForms.h"
#include "platform/Scanner.h"
#include "platform/SendForm.h"
#include "platform/SpeechForms.h"
#include "platform/Spelling.h"
#include "platform/SpellingForm.h"
#include "support/DocumentFixtures.h"
#include "support/ModalAnswer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Accepts every word but "wrold", for which it knows two replacements.
class TOneWordChecker : public TSpellChecker {
public:
    explicit TOneWordChecker(const QString& custom) : TSpellChecker(custom) {}
    bool Available() const override { return true; }
    QString DictionaryName() const override { return QStringLiteral("test"); }

protected:
    bool InMainDictionary(const QString& word) const override { return word != QLatin1String("wrold"); }
    QStringList MainSuggestions(const QString& word) const override {
        return word == QLatin1String("wrold") ? QStringList{"world", "wold"} : QStringList{};
    }
};

class TListedScanner : public TScanner {
public:
    std::vector<TScanDevice> Listed;
    int Refreshes = 0;
    void Refresh() override { ++Refreshes; }
    const std::vector<TScanDevice>& Devices() const override { return Listed; }
    QImage Scan(const QString&, const TScanOptions&, QString*) override { return {}; }
};

class EngineDialogsTest : public testing::Test {
protected:
    QTemporaryDir Folder;
    QObject Owner;
    QString CustomFile() const { return QDir(Folder.path()).filePath("CUSTOM.DIC"); }
};

} // namespace

TEST_F(EngineDialogsTest, SpellingFormShowsTheWordInItsSentenceAndReturnsTheChosenAnswer) {
    TOneWordChecker checker(CustomFile());
    TSpellingForm form(checker);
    const QString text = QStringLiteral("Intro. Hello <wrold> & all! Next.");
    const int start = int(text.indexOf("wrold"));

    const struct {
        TSpellingAction Action;
        QString Typed; // empty: keep the first suggestion
        QString Replacement;
    } cases[] = {
        {TSpellingAction::Change, {}, "world"},
        {TSpellingAction::ChangeAll, "whorl", "whorl"},
        {TSpellingAction::Ignore, {}, "world"},
        {TSpellingAction::IgnoreAll, {}, "world"},
        {TSpellingAction::Add, {}, "world"},
        {TSpellingAction::Cancel, {}, "world"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(int(test.Action));
        AnswerNextModalDialog(&Owner, [&](QDialog&) {
            EXPECT_EQ(form.Sentence()->text(),
                      QStringLiteral("Hello &lt;<b><font color=\"red\">wrold</font></b>&gt; &amp; all!"));
            ASSERT_EQ(form.Suggestions()->count(), 2);
            EXPECT_EQ(form.ChangeTo()->text(), QStringLiteral("world"));
            if (!test.Typed.isEmpty()) form.ChangeTo()->setText(test.Typed);
            form.Button(test.Action)->click();
        });
        const TSpellingAnswer answer = form.Ask(text, start, 5);
        EXPECT_EQ(answer.Action, test.Action);
        if (test.Action == TSpellingAction::Change || test.Action == TSpellingAction::ChangeAll) {
            EXPECT_EQ(answer.Replacement, test.Replacement);
        }
    }
}

TEST_F(EngineDialogsTest, SpellingFormWithoutSuggestionsOffersTheWordItselfAndClosingCancels) {
    TOneWordChecker checker(CustomFile());
    TSpellingForm form(checker);
    AnswerNextModalDialog(&Owner, [&](QDialog& dialog) {
        EXPECT_FALSE(form.Suggestions()->isEnabled());
        EXPECT_EQ(form.ChangeTo()->text(), QStringLiteral("zzq"));
        dialog.reject();
    });
    EXPECT_EQ(form.Ask(QStringLiteral("zzq"), 0, 3).Action, TSpellingAction::Cancel);
    EXPECT_EQ(SpellingCompleteText(), QStringLiteral("Spelling check complete."));
}

TEST_F(EngineDialogsTest, CustomDictionaryFormSavesOnOkOnlyAndKeepsTheListOnAFailedSave) {
    TRecordingMessages messages;
    TCustomDictionary dictionary(CustomFile());
    dictionary.SetWords({"alpha", "beta"});
    {
        TCustomDictionaryForm form(dictionary, messages);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Edit Custom Dictionary"));
        form.NewWord()->setText(QStringLiteral("  gamma "));
        form.AddNewWord();
        form.NewWord()->setText(QStringLiteral("alpha")); // already there
        form.AddNewWord();
        form.Words()->setCurrentItem(form.Words()->findItems("beta", Qt::MatchExactly).first());
        form.DeleteSelected();
        form.reject();
    }
    EXPECT_EQ(dictionary.Words(), (QStringList{"alpha", "beta"}));
    EXPECT_FALSE(QFile::exists(CustomFile()));
    {
        TCustomDictionaryForm form(dictionary, messages);
        form.NewWord()->setText(QStringLiteral("gamma"));
        form.AddNewWord();
        form.Words()->setCurrentItem(form.Words()->findItems("beta", Qt::MatchExactly).first());
        form.DeleteSelected();
        form.accept();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    TCustomDictionary saved(CustomFile());
    saved.Load();
    EXPECT_EQ(saved.Words(), (QStringList{"alpha", "gamma"}));
    EXPECT_TRUE(messages.Errors.isEmpty());

    QFile(QDir(Folder.path()).filePath("blocker")).open(QIODevice::WriteOnly);
    TCustomDictionary unwritable(QDir(Folder.path()).filePath("blocker/CUSTOM.DIC"));
    unwritable.SetWords({"one"});
    TCustomDictionaryForm form(unwritable, messages);
    form.NewWord()->setText(QStringLiteral("two"));
    form.AddNewWord();
    form.show();
    form.accept();
    EXPECT_EQ(messages.Errors.size(), 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(unwritable.Words(), QStringList{"one"});
}

TEST_F(EngineDialogsTest, SelectSourceListsTheDevicesAnewAndRemembersTheChoice) {
    TMemorySettings settings;
    TListedScanner scanner;
    scanner.Listed = {{"test:0", "Noname", "frontend-tester", "virtual device"},
                      {"test:1", "Noname", "frontend-tester", "virtual device"}};
    WriteScanSource(settings, QStringLiteral("test:1"));
    {
        TScanSourceForm form(scanner, settings);
        EXPECT_EQ(scanner.Refreshes, 1);
        ASSERT_EQ(form.Sources()->count(), 2);
        EXPECT_EQ(form.Sources()->currentRow(), 1);
        EXPECT_EQ(form.Sources()->item(0)->text(), QStringLiteral("Noname frontend-tester (virtual device)"));
        form.Sources()->setCurrentRow(0);
        form.accept();
    }
    EXPECT_EQ(ReadScanSource(settings), QStringLiteral("test:0"));

    scanner.Listed.clear();
    TScanSourceForm empty(scanner, settings);
    EXPECT_FALSE(empty.findChild<QPushButton*>("OkButton")->isEnabled());
    empty.accept();
    EXPECT_EQ(ReadScanSource(settings), QStringLiteral("test:0"));
}

TEST_F(EngineDialogsTest, ScanSettingsStartFromTheSettingsAndOkWritesThem) {
    TMemorySettings settings;
    {
        TScanSettingsForm form(settings);
        EXPECT_TRUE(form.Color()->isChecked());
        EXPECT_EQ(form.Resolution()->value(), 150);
        form.Gray()->setChecked(true);
        form.Resolution()->setValue(5000); // past the range
        form.accept();
    }
    const TScanOptions options = ReadScanOptions(settings);
    EXPECT_FALSE(options.Color);
    EXPECT_EQ(options.Resolution, TScanOptions::MaxResolution);
    TScanSettingsForm again(settings);
    EXPECT_TRUE(again.Gray()->isChecked());
    again.Color()->setChecked(true);
    again.reject();
    EXPECT_FALSE(ReadScanOptions(settings).Color);
}

TEST_F(EngineDialogsTest, SendFormNeedsSomethingToAttachAndOffersTheFileOnlyWhenSaved) {
    TSendForm unsaved(QStringLiteral("Party"), false);
    EXPECT_FALSE(unsaved.Document()->isEnabled());
    unsaved.Document()->setChecked(true);
    unsaved.Pictures()->setChecked(false);
    EXPECT_FALSE(unsaved.OkButton()->isEnabled());
    EXPECT_FALSE(unsaved.Content().Document);
    unsaved.Pdf()->setChecked(true);
    EXPECT_TRUE(unsaved.OkButton()->isEnabled());

    TSendForm saved(QStringLiteral("Party"), true);
    saved.Document()->setChecked(true);
    saved.Subject()->setText(QStringLiteral("Party at 8"));
    const TMailContent content = saved.Content();
    EXPECT_TRUE(content.Pictures);
    EXPECT_TRUE(content.Document);
    EXPECT_FALSE(content.Pdf);
    EXPECT_EQ(content.Subject, QStringLiteral("Party at 8"));
}

TEST_F(EngineDialogsTest, SpeechTopicsExplainTheEngineInAnInformationBox) {
    for (TSpeechTopic topic : {TSpeechTopic::Training, TSpeechTopic::Users, TSpeechTopic::Microphone}) {
        const QString text = SpeechTopicText(topic);
        EXPECT_FALSE(text.isEmpty());
        AnswerNextModalDialog(&Owner, [&](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), QStringLiteral("SpeechTopicBox"));
            dialog.accept();
        });
        ShowSpeechTopic(nullptr, topic);
    }
    EXPECT_TRUE(SpeechTopicText(TSpeechTopic::Training).contains("no training"));
    EXPECT_TRUE(SpeechTopicText(TSpeechTopic::Users).contains("one user"));
}

TEST_F(EngineDialogsTest, DictionaryChoiceOffersTheInstalledOnesAndTheStandardOne) {
    TMemorySettings settings;
    settings.WriteString(SpellingSettings::Section, SpellingSettings::Dictionary, "de_DE");
    {
        TDictionaryChoiceForm form(settings, {"de_DE", "en_GB", "en_US"});
        ASSERT_EQ(form.Dictionary()->count(), 4);
        EXPECT_EQ(form.Dictionary()->currentData().toString(), QStringLiteral("de_DE"));
        EXPECT_TRUE(form.Dictionary()->itemText(2).startsWith(QStringLiteral("en_GB - English")));
        form.Dictionary()->setCurrentIndex(3);
        form.accept();
    }
    EXPECT_EQ(settings.ReadString(SpellingSettings::Section, SpellingSettings::Dictionary, {}),
              QStringLiteral("en_US"));

    // A dictionary that is gone shows as the standard one, which OK then chooses.
    settings.WriteString(SpellingSettings::Section, SpellingSettings::Dictionary, "xx_YY");
    TDictionaryChoiceForm form(settings, {"en_US"});
    EXPECT_EQ(form.Dictionary()->currentIndex(), 0);
    form.accept();
    EXPECT_TRUE(settings.ReadString(SpellingSettings::Section, SpellingSettings::Dictionary, "?").isEmpty());
}
