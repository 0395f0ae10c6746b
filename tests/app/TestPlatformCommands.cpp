// The spelling, scanning, dictation and e-mail commands of the main window, with their
// engines replaced where the system's would need a device or a person.
#include "app/DictationCommands.h"
#include "app/MailCommands.h"
#include "app/ScanCommands.h"
#include "app/SpellingCommands.h"
#include "editor/CardWin.h"
#include "objects/Headline.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "platform/SpellHighlighter.h"
#include "platform/Spelling.h"
#include "storage/DialogHelp.h"
#include "MainWindowFixture.h"

#include <QAction>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextDocument>
#include <QUndoStack>

namespace {

bool EnglishInstalled() {
    return QFileInfo::exists(QStringLiteral("/usr/share/hunspell/en_US.dic"));
}

class PlatformCommandsTest : public TMainWindowFixture {
protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        MakeMain();
        if (EnglishInstalled()) {
            QFile named(Program.filePath(QStringLiteral("ENGLISH.DCT")));
            ASSERT_TRUE(named.open(QIODevice::WriteOnly));
            named.write("/usr/share/hunspell/en_US\n");
        }
        ASSERT_TRUE(Main->Start());
        Main->show();
        Main->Files().New();
        Form = Main->ActiveEditor();
        ASSERT_NE(Form, nullptr);
    }
    QAction* Action(const char* name) {
        Main->UpdateActions();
        return Main->Action(QString::fromLatin1(name));
    }
    template <typename T> T* Add(T* object) {
        Form->Card().Pages(0)->Panels(0)->AddObject(object);
        return object;
    }
    TCardForm* Form = nullptr;
};

// A scanner that hands over a picture of the size asked for.
class TPictureScanner : public TScanner {
public:
    QImage Picture;
    int Scans = 0;
    void Refresh() override { FDevices = {TScanDevice{"fake:0", "Fake", "Flatbed", "scanner"}}; }
    const std::vector<TScanDevice>& Devices() const override { return FDevices; }
    QImage Scan(const QString&, const TScanOptions&, QString* reason) override {
        ++Scans;
        if (Picture.isNull() && reason) *reason = QStringLiteral("jammed");
        return Picture;
    }

private:
    std::vector<TScanDevice> FDevices;
};

// A recogniser that hears what the test says.
class TScriptedDictation : public TDictation {
public:
    TDictationListener* Listener = nullptr;
    bool Available() const override { return true; }
    bool Start(TDictationListener& listener, QString*) override {
        Listener = &listener;
        return true;
    }
    void Stop() override { Listener = nullptr; }
    bool Listening() const override { return Listener != nullptr; }
};

class TRecordingMailer : public TMailer {
public:
    bool Succeeds = true;
    QString Subject;
    QStringList Names;
    bool Available() const override { return true; }
    bool Send(const QString& subject, const QStringList& files) override {
        Subject = subject;
        for (const QString& file : files) {
            EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
            Names << QFileInfo(file).fileName();
        }
        return Succeeds;
    }
};

} // namespace

TEST_F(PlatformCommandsTest, SpellingChangesTheDocumentAsOneUndoableStepAndSaysWhenDone) {
    if (!EnglishInstalled())
        GTEST_SKIP() << "the US English Hunspell dictionary (hunspell-en-us) is not installed";

    auto* headline = Add(new THeadlineObject);
    headline->Text = QStringLiteral("Hapy Birthday");
    auto* frame = Add(new TRichTextObject);
    frame->Document().setPlainText(QStringLiteral("See you soon, dear freind"));
    QStringList asked;
    bool enabledWhileAsked = true;
    PlatformDialogs.AnswerSpelling = [&](const QString& word) {
        asked << word;
        enabledWhileAsked = Main->isEnabled();
        EXPECT_EQ(Form->Selection().Count(), 1);
        return TSpellingAnswer{TSpellingAction::Change, word == "Hapy" ? "Happy" : "friend"};
    };
    Action("ASpelling")->trigger();

    EXPECT_EQ(asked, (QStringList{"Hapy", "freind"}));
    EXPECT_FALSE(enabledWhileAsked);
    EXPECT_TRUE(Main->isEnabled());
    EXPECT_EQ(Form->Selection().Count(), 0);
    EXPECT_EQ(headline->Text, QStringLiteral("Happy Birthday"));
    EXPECT_EQ(Test.Messages.Informations, QStringList{SpellingCompleteText()});
    EXPECT_TRUE(Form->Card().DocumentModified);
    Action("AUndo")->trigger();
    // Undo brings the document back as a new card with new objects.
    auto* restored = dynamic_cast<THeadlineObject*>(Form->Card().ObjectAt(0, 0, 0));
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->Text, QStringLiteral("Hapy Birthday"));
    auto* restoredFrame = dynamic_cast<TRichTextObject*>(Form->Card().ObjectAt(0, 0, 1));
    ASSERT_NE(restoredFrame, nullptr);
    EXPECT_EQ(restoredFrame->Document().toPlainText(), QStringLiteral("See you soon, dear freind"));
}

TEST_F(PlatformCommandsTest, CancelledSpellingSaysNothingAndMissingDictionaryIsExplained) {
    QFile named(Program.filePath(QStringLiteral("ENGLISH.DCT")));
    ASSERT_TRUE(named.open(QIODevice::WriteOnly)); // names no dictionary
    named.close();
    Main->Spelling().OpenChecker();
    Action("ASpelling")->trigger();
    ASSERT_EQ(Test.Messages.Errors.size(), 1);
    EXPECT_TRUE(Test.Messages.Errors[0].contains(QStringLiteral("No spelling dictionary")));
    EXPECT_TRUE(PlatformDialogs.Asked.isEmpty());
}

TEST_F(PlatformCommandsTest, ScanningIsOffWithoutADeviceAndAPictureLandsAtThePageCorner) {
    EXPECT_FALSE(Action("AAcquire")->isEnabled());
    EXPECT_FALSE(Action("ASelectSource")->isEnabled());

    auto scanner = std::make_unique<TPictureScanner>();
    QImage page(300, 150, QImage::Format_RGB32);
    page.fill(Qt::red);
    page.setDotsPerMeterX(int(150 / 0.0254));
    page.setDotsPerMeterY(int(150 / 0.0254));
    scanner->Picture = page;
    TPictureScanner* device = scanner.get();
    Main->Scanning().UseScanner(std::move(scanner));
    EXPECT_TRUE(Action("ASelectSource")->isEnabled());
    ASSERT_TRUE(Action("AAcquire")->isEnabled());

    Action("AAcquire")->trigger();
    EXPECT_EQ(device->Scans, 1);
    ASSERT_EQ(Form->Selection().Count(), 1);
    auto* picture = dynamic_cast<TPictureObject*>(Form->Selection().Items(0));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->BitmapSize(), QSize(300, 150));
    // 300 x 150 pixels at 150 dpi are 2 x 1 inches.
    EXPECT_EQ(picture->Bounds.Width(), 200);
    EXPECT_EQ(picture->Bounds.Height(), 100);
    const int corner = TCardForm::Margin() + 1;
    const TRect expected =
        Form->Geometry().WindowToUnits(0, {corner, corner, corner + 1, corner + 1});
    EXPECT_EQ(picture->Bounds.Left, expected.Left);
    EXPECT_EQ(picture->Bounds.Top, expected.Top);
    EXPECT_EQ(Form->UndoStack().undoText(), QStringLiteral("Create Picture"));

    device->Picture = QImage();
    Action("AAcquire")->trigger();
    EXPECT_EQ(Test.Messages.Errors, QStringList{UnableToAcquireText()});
    PlatformDialogs.AnswerScanSettings = false;
    Action("AAcquire")->trigger();
    EXPECT_EQ(device->Scans, 2); // cancelled before scanning
}

TEST_F(PlatformCommandsTest, DictationTypesIntoTheSoleFrameAndStopsWhenItIsDeselected) {
    auto dictation = std::make_unique<TScriptedDictation>();
    TScriptedDictation* engine = dictation.get();
    Main->Dictation().UseDictation(std::move(dictation));
    EXPECT_TRUE(Action("ASpeechTrain")->isVisible());
    EXPECT_FALSE(Action("ASpeechStartStop")->isEnabled());

    auto* frame = Add(new TRichTextObject);
    Form->SelectOnly(frame);
    QAction* startStop = Action("ASpeechStartStop");
    ASSERT_TRUE(startStop->isEnabled());
    startStop->trigger();
    ASSERT_NE(engine->Listener, nullptr);
    startStop = Action("ASpeechStartStop");
    EXPECT_TRUE(startStop->isChecked());
    EXPECT_EQ(startStop->text(), QStringLiteral("&Stop"));
    EXPECT_EQ(startStop->statusTip(), QStringLiteral("Stop speech recognition"));

    engine->Listener->PhraseRecognized(QStringLiteral("hello world"));
    engine->Listener->PhraseRecognized(QStringLiteral("again"));
    EXPECT_EQ(frame->Document().toPlainText(), QStringLiteral("hello world again "));

    Form->ClearSelection();
    Main->UpdateActions();
    EXPECT_EQ(engine->Listener, nullptr);
    EXPECT_EQ(Action("ASpeechStartStop")->text(), QStringLiteral("&Start"));
    EXPECT_FALSE(Action("ASpeechStartStop")->isChecked());

    Action("ASpeechTrain")->trigger();
    ASSERT_EQ(Test.Messages.Informations.size(), 1);
    EXPECT_TRUE(Test.Messages.Informations[0].contains(QStringLiteral("no training")));
}

TEST_F(PlatformCommandsTest, WithoutARecogniserTheSpeechSetUpCommandsAreHidden) {
    Main->Dictation().UseDictation(std::make_unique<TNoDictation>());
    auto* frame = Add(new TRichTextObject);
    Form->SelectOnly(frame);
    EXPECT_FALSE(Action("ASpeechTrain")->isVisible());
    EXPECT_FALSE(Action("ASpeechUser")->isVisible());
    EXPECT_FALSE(Action("ASpeechStartStop")->isEnabled());
}

TEST_F(PlatformCommandsTest, SendAttachesThePagePicturesWithTheDescriptionAsSubject) {
    auto mailer = std::make_unique<TRecordingMailer>();
    TRecordingMailer* sent = mailer.get();
    Main->Mail().UseMailer(std::move(mailer));
    Form->Card().SetDescription(QStringLiteral("Garden party"));
    bool saved = true;
    PlatformDialogs.AnswerMailContent = [&](TMailContent& content, bool documentSaved) {
        saved = documentSaved;
        EXPECT_EQ(content.Subject, QStringLiteral("Garden party"));
        return true;
    };
    Action("ASend")->trigger();
    EXPECT_FALSE(saved); // an untitled document cannot be attached
    EXPECT_EQ(sent->Subject, QStringLiteral("Garden party"));
    ASSERT_FALSE(sent->Names.isEmpty());
    EXPECT_EQ(sent->Names[0], QStringLiteral("Image1.jpg"));
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());

    sent->Succeeds = false;
    Action("ASend")->trigger();
    EXPECT_EQ(Test.Messages.Errors, QStringList{ErrorSendingMailText()});
}

TEST_F(PlatformCommandsTest, AHeadlinesTextBoxUnderlinesMisspelledWordsAsTheUserTypes) {
    if (!EnglishInstalled())
        GTEST_SKIP() << "the US English Hunspell dictionary (hunspell-en-us) is not installed";
    QPlainTextEdit edit;
    AssistTyping(edit);
    ASSERT_NE(edit.document()->findChild<TSpellHighlighter*>(), nullptr);
    edit.setPlainText(QStringLiteral("Hapy birthday"));
    const QList<QTextLayout::FormatRange> formats =
        edit.document()->firstBlock().layout()->formats();
    ASSERT_EQ(formats.size(), 1);
    EXPECT_EQ(formats[0].start, 0);
    EXPECT_EQ(formats[0].length, 4);
    EXPECT_EQ(edit.contextMenuPolicy(), Qt::CustomContextMenu);
}
