#include "document/IniFile.h"
#include "app/AboutBox.h"
#include "app/AppPaths.h"
#include "app/LastUsed.h"
#include "app/FillInForms.h"
#include "app/AutoSave.h"
#include "app/MainForm.h"
#include "app/MainShell.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/Template.h"
#include "editor/CardWin.h"
#include "editor/EditorState.h"
#include "editor/FocusTextControl.h"
#include "objects/Headline.h"
#include "objects/RichText.h"
#include "platform/QtPrinter.h"
#include "support/DocumentFixtures.h"
#include "support/ModalAnswer.h"
#include "support/RecordingUrlOpener.h"
#include "merge/Table.h"
#include "types/CardTypeForm.h"
#include "types/WizardForm.h"
#include "MainWindowFixture.h"
#include "ProgramFolders.h"
#include "support/SmallDisk.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A main window over a program folder with the required files and a fresh user folder; every
// dialog is a stand-in that answers as the test says.
class MainFormTest : public TMainWindowFixture {
protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        if (!InitialSettings.isEmpty()) {
            QFile settings(User.filePath(QStringLiteral("qdx.ini")));
            ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
            settings.write(InitialSettings.toUtf8());
        }
        EditorState().Clipboard.Clear();
        MakeMain();
        Main->UseUrlOpener(&Urls);
        Dialogs.AnswerSaveFileName = [this](const QString&) { return NextSaveName; };
        Dialogs.AnswerSaveChanges = [this](const QString& question) {
            Questions.append(question);
            return CloseAnswer;
        };
        ASSERT_TRUE(Main->Start());
        Main->resize(1200, 900);
        Main->show();
    }
    void TearDown() override {
        CloseAnswer = TSaveAnswer::No;
        TMainWindowFixture::TearDown();
    }

    TCardForm* NewDocument() {
        Main->Files().New();
        return Main->ActiveEditor();
    }
    // As the idle update would before the user can reach the command.
    void Trigger(const char* name) {
        Main->UpdateActions();
        Main->Action(QString::fromLatin1(name))->trigger();
    }
    bool Enabled(const char* name) {
        Main->UpdateActions();
        return Main->Action(QString::fromLatin1(name))->isEnabled();
    }
    void AnswerNextDialog(const std::function<void(QDialog&)>& answer) {
        AnswerNextModalDialog(Main.get(), answer);
    }
    QMenu* Menu(const QString& title) const {
        for (QAction* action : Main->menuBar()->actions())
            if (action->text() == title) return action->menu();
        return nullptr;
    }

    QString InitialSettings; // the settings file the program finds at start, when not empty
    TRecordingUrlOpener Urls;
    QString NextSaveName;
    QStringList Questions;
    TSaveAnswer CloseAnswer = TSaveAnswer::No;
};

} // namespace

TEST(LastUsed, NewestFirstMovesExistingAndDropsTheOldest) {
    TLastUsed list;
    for (int i = 1; i <= 5; ++i)
        list.Add(QStringLiteral("/docs/card%1.qdx").arg(i));
    EXPECT_EQ(list.Files().first(), QStringLiteral("/docs/card5.qdx"));
    list.Add(QStringLiteral("/DOCS/CARD3.QDX")); // already there, in other letters: moves up
    EXPECT_EQ(list.Files().size(), 5);
    EXPECT_EQ(list.Files().first(), QStringLiteral("/docs/card3.qdx"));
    list.Add(QStringLiteral("/docs/card6.qdx"));
    EXPECT_EQ(list.Files().size(), 5);
    EXPECT_FALSE(list.Files().contains(QStringLiteral("/docs/card1.qdx")));
    EXPECT_EQ(list.Captions().first(), QStringLiteral("&1  /docs/card6.qdx"));
    list.Remove(QStringLiteral("/docs/CARD6.qdx"));
    EXPECT_EQ(list.Files().size(), 4);

    list.SetSavedCount(12);
    for (int i = 0; i < 11; ++i)
        list.Add(QStringLiteral("/f%1").arg(i));
    const QStringList captions = list.Captions();
    EXPECT_EQ(captions[8], QStringLiteral("&9  /f2"));
    EXPECT_EQ(captions[9], QStringLiteral("&0  /f1"));
    EXPECT_EQ(captions[10], QStringLiteral("/f0"));

    TIniFile ini;
    list.Save(ini);
    TLastUsed again;
    again.SetSavedCount(12);
    again.Load(ini);
    EXPECT_EQ(again.Files(), list.Files());
    list.SetSavedCount(-3);
    EXPECT_TRUE(list.Files().isEmpty());
}

TEST(IniFile, KeepsSectionsAndKeysInOrderAndIgnoresCaseOfNames) {
    TIniFile ini;
    ini.Parse(
        QStringLiteral("[View]\nGrid On=1\n; a note\n[Tool Programs]\nCalc=Calculator;calc\n"));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("view"), QStringLiteral("GRID ON"), false));
    ini.WriteInteger(QStringLiteral("View"), QStringLiteral("Grid Size"), 3);
    EXPECT_EQ(ini.Keys(QStringLiteral("View")), (QStringList{"Grid On", "Grid Size"}));
    EXPECT_EQ(ini.Text(),
              QStringLiteral(
                  "[View]\nGrid On=1\nGrid Size=3\n\n[Tool Programs]\nCalc=Calculator;calc\n\n"));
}

TEST(IniFile, SavingOnAFullDiskFailsAndKeepsTheSettingsFile) {
    TSmallDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << "no small disk can be mounted here";
    TIniFile ini(disk.FilePath(QStringLiteral("qdx.ini")));
    ini.WriteInteger(QStringLiteral("View"), QStringLiteral("Grid Size"), 3);
    ASSERT_TRUE(ini.Save());
    const QString saved = ini.Text();
    disk.Fill();
    ini.WriteString(QStringLiteral("Last Files Used"), QStringLiteral("File 0"),
                    QString(2000, QLatin1Char('x')));
    EXPECT_FALSE(ini.Save());
    TIniFile again(ini.FileName());
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Text(), saved);
}

TEST_F(MainFormTest, NewSaveCloseAndReopenFromTheRecentList) {
    TCardForm* form = NewDocument();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("NONAME0"));
    EXPECT_TRUE(form->Card().DocumentModified);
    auto* r = new TRectangleObject();
    r->Bounds = {100, 100, 300, 200};
    form->Card().Pages(0)->Panels(0)->AddObject(r);

    NextSaveName = User.filePath(QStringLiteral("ann.qdx"));
    Trigger("ASaveAs");
    EXPECT_FALSE(form->Card().DocumentModified);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ann"));
    ASSERT_TRUE(QFile::exists(NextSaveName));

    Trigger("AClose");
    QApplication::processEvents();
    EXPECT_TRUE(Main->Editors().isEmpty());
    EXPECT_TRUE(Questions.isEmpty()); // it was saved
    ASSERT_EQ(Main->LastUsed().Files(), QStringList{NextSaveName});
    const QStringList captions = Main->LastUsed().Captions();
    EXPECT_EQ(captions.first(), QStringLiteral("&1  %1").arg(NextSaveName));

    TCardForm* reopened = Main->Files().OpenFile(Main->LastUsed().Files().first());
    ASSERT_NE(reopened, nullptr);
    EXPECT_FALSE(reopened->Card().DocumentModified);
    EXPECT_TRUE(Main->LastUsed().Files().isEmpty()); // an open file is not in the list
    EXPECT_EQ(reopened->Card().Pages(0)->Panels(0)->Count(), 1);
    EXPECT_EQ(reopened->Card().Pages(0)->Panels(0)->Items(0)->Bounds, (TRect{100, 100, 300, 200}));
}

TEST_F(MainFormTest, NewTakesTheLowestFreeUntitledNumber) {
    NewDocument();
    TCardForm* second = NewDocument();
    NewDocument();
    EXPECT_EQ(Main->Editors().size(), 3);
    second->parentWidget()->close(); // NONAME1 goes, with No to the save question
    QApplication::processEvents();
    EXPECT_EQ(Questions.size(), 1);
    EXPECT_TRUE(Main->LastUsed().Files().isEmpty()); // untitled and not saved
    TCardForm* again = NewDocument();
    EXPECT_EQ(again->windowTitle(), QStringLiteral("NONAME1"));
}

TEST_F(MainFormTest, ViewButtonsShowForFoldedCardsAndHideForLabelsAndBanners) {
    QToolBar* views = Main->findChild<QToolBar*>(QStringLiteral("Views"));
    ASSERT_NE(views, nullptr);
    ASSERT_EQ(views->actions().size(), 1);
    QAction* notebook = views->actions().first();
    NewFormat = 0;
    NewDocument();
    QApplication::processEvents();
    EXPECT_TRUE(notebook->isVisible());
    EXPECT_TRUE(views->widgetForAction(notebook)->isVisible());
    NewFormat = 12;
    NewType = 17;
    NewDocument();
    QApplication::processEvents();
    EXPECT_FALSE(notebook->isVisible());
    EXPECT_FALSE(views->widgetForAction(notebook)->isVisible());
}

TEST_F(MainFormTest, OpeningAFileThatIsNotADocumentLeavesEverythingAsItWas) {
    NewDocument();
    const QString path = User.filePath(QStringLiteral("notes.qdx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("these are notes");
    file.close();
    EXPECT_EQ(Main->Files().OpenFile(path), nullptr);
    EXPECT_EQ(Test.Messages.Errors,
              QStringList{QStringLiteral("Error opening the file %1.").arg(path)});
    EXPECT_EQ(Main->Editors().size(), 1);
}

TEST_F(MainFormTest, AutosaveAsksForANameForUntitledAndSavesOnlyTheActiveWindow) {
    TCardForm* first = NewDocument();
    first->Card().FileName = User.filePath(QStringLiteral("first.qdx"));
    first->setWindowTitle(QStringLiteral("first"));
    first->SetDocumentModified();
    TCardForm* second = NewDocument(); // untitled, active
    int asked = 0;
    Dialogs.AnswerSaveFileName = [&](const QString&) {
        ++asked;
        return User.filePath(QStringLiteral("second.qdx"));
    };
    Main->AutoSaveTick();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(second->Card().DocumentModified);
    EXPECT_TRUE(first->Card().DocumentModified);
    EXPECT_FALSE(QFile::exists(User.filePath(QStringLiteral("first.qdx"))));
    EXPECT_TRUE(Main->AutoSaveTimer().isActive());

    Trigger("AAutoSave5");
    EXPECT_EQ(Main->AutoSaveTimer().interval(), 5 * 60000);
}

TEST_F(MainFormTest, SaveAsTemplateOfAModifiedUntitledDocumentFirstAsksForAName) {
    TCardForm* form = NewDocument();
    NextSaveName.clear(); // the user cancels the Save dialog
    Dialogs.AnswerTemplateDescription = [](bool& ok) {
        ok = true;
        return QStringLiteral("Birthday balloons");
    };
    Trigger("ASaveAsTemplate");
    EXPECT_EQ(Main->Templates()->Count(), 0);

    NextSaveName = User.filePath(QStringLiteral("Balloons.qdx"));
    Trigger("ASaveAsTemplate");
    ASSERT_EQ(Main->Templates()->Count(), 1);
    EXPECT_EQ(Main->Templates()->Items(0)->FileName, QStringLiteral("BALLOONS.QDX"));
    EXPECT_EQ(Main->Templates()->Items(0)->Description, QStringLiteral("Birthday balloons"));
    EXPECT_TRUE(
        QFile::exists(QDir(Main->Templates()->Folder()).filePath(QStringLiteral("Balloons.qdx"))));
    EXPECT_EQ(form->Card().Description, QStringLiteral("Birthday balloons"));

    Test.Messages.ConfirmAnswer = false; // do not overwrite
    Dialogs.AnswerTemplateDescription = [](bool& ok) {
        ok = true;
        return QStringLiteral("Other");
    };
    Trigger("ASaveAsTemplate");
    EXPECT_EQ(Test.Messages.Confirmations.last(),
              QStringLiteral("Overwrite the existing template with the same name?"));
    EXPECT_EQ(Main->Templates()->Items(0)->Description, QStringLiteral("Birthday balloons"));
}

TEST_F(MainFormTest, PagesAreInsertedAppendedAndDeleted) {
    TCardForm* form = NewDocument();
    form->Card().Pages(0)->Panels(0)->AddObject(new TRectangleObject());
    Trigger("AAppendNewPage");
    EXPECT_EQ(form->Card().PageCount(), 2);
    EXPECT_EQ(form->CurrentPage(), 1);
    Trigger("AInsertNewPage");
    EXPECT_EQ(form->Card().PageCount(), 3);
    EXPECT_EQ(form->CurrentPage(), 1);
    Trigger("ADeleteCurrentPage");
    EXPECT_EQ(Test.Messages.Confirmations.last(),
              QStringLiteral("Are you sure that you want to delete the current page?"));
    EXPECT_EQ(form->Card().PageCount(), 2);
    Main->GoToPage(1);
    Trigger("ADeleteCurrentPage");
    EXPECT_EQ(form->CurrentPage(), 0); // the new last page
    Trigger("ADeleteCurrentPage");     // the only page: emptied, kept
    EXPECT_EQ(form->Card().PageCount(), 1);
    EXPECT_EQ(form->Card().Pages(0)->Panels(0)->Count(), 0);
}

TEST_F(MainFormTest, GoToPageStartsAtTheCurrentPageAndKeepsTheAnswerInRange) {
    TCardForm* form = NewDocument();
    Trigger("AAppendNewPage");
    Trigger("AAppendNewPage");
    Main->GoToPage(1);
    QList<std::pair<int, int>> asked;
    Dialogs.AnswerPageNumber = [&](int current, int count, bool& ok) {
        asked.append({current, count});
        ok = true;
        return 99;
    };
    Trigger("AGoToPage");
    EXPECT_EQ(asked, (QList<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(form->CurrentPage(), 2); // the last page
    Dialogs.AnswerPageNumber = [](int, int, bool& ok) {
        ok = false;
        return 1;
    };
    Trigger("AGoToPage");
    EXPECT_EQ(form->CurrentPage(), 2);
    EXPECT_EQ(Dialogs.Asked.count(QStringLiteral("PageNumber")), 2);
}

TEST_F(MainFormTest, TheSnapshotFollowsTheSelectionAndTheLockedCheckFollowsIt) {
    TCardForm* form = NewDocument();
    EXPECT_TRUE(Main->Snapshot().HasWindow);
    EXPECT_EQ(Main->Snapshot().SelectedCount, 0);
    auto* a = new TRectangleObject();
    form->Card().Pages(0)->Panels(0)->AddObject(a);
    form->SelectOnly(a);
    Trigger("ALocked");
    const TActionSnapshot snapshot = Main->Snapshot();
    EXPECT_EQ(snapshot.SelectedCount, 1);
    EXPECT_TRUE(snapshot.SoleSelectedLocked);
    EXPECT_FALSE(snapshot.SoleSelectedTextFrame);
    EXPECT_FALSE(snapshot.EditingText);
    Main->UpdateActions();
    EXPECT_TRUE(Main->Action(QStringLiteral("ALocked"))->isChecked());
    Trigger("ALocked");
    Main->UpdateActions();
    EXPECT_FALSE(Main->Action(QStringLiteral("ALocked"))->isChecked());
    Trigger("AClose");
    EXPECT_FALSE(Main->Snapshot().HasWindow);
}

TEST_F(MainFormTest, TheSnapshotSeesTheFrameEditorOfTheActiveWindowOnly) {
    TCardForm* form = NewDocument();
    auto* frame = new TRichTextObject();
    frame->Bounds = {20, 20, 220, 120};
    form->Card().Pages(0)->Panels(0)->AddObject(frame);
    form->SelectOnly(frame);
    QApplication::processEvents();
    ASSERT_NE(TFocusTextControl::Current(), nullptr);
    EXPECT_TRUE(Main->Snapshot().EditingText);
    EXPECT_TRUE(Main->Snapshot().SoleSelectedTextFrame);
    EXPECT_TRUE(Enabled("ACut")); // the frame itself can still be cut from the menu
    NewDocument();                // another window, nothing selected in it
    QApplication::processEvents();
    EXPECT_FALSE(Main->Snapshot().EditingText);
}

TEST_F(MainFormTest, TheSharedEditingStateForgetsTheMainWindowWhenItGoes) {
    EXPECT_NE(dynamic_cast<TMainEditorHost*>(&EditorState().Host()), nullptr);
    Main->close();
    Main.reset();
    // An editing window made now must not call into the destroyed main window.
    EXPECT_EQ(dynamic_cast<TMainEditorHost*>(&EditorState().Host()), nullptr);
}

namespace {

TFieldObject* AddField(TCardPanel& panel, const char* name, const char* formula = "") {
    auto* field = new TFieldObject();
    field->FieldName = QString::fromLatin1(name);
    field->SetFormula(QString::fromLatin1(formula));
    field->Value = QStringLiteral("old");
    panel.AddObject(field);
    return field;
}

} // namespace

TEST_F(MainFormTest, FillInFormAsksPageByPageAndCancelLeavesLaterPagesAlone) {
    TCardForm* form = NewDocument();
    TCard& card = form->Card();
    Trigger("AAppendNewPage");
    TFieldObject* a = AddField(*card.Pages(0)->Panels(0), "A");
    TFieldObject* total = AddField(*card.Pages(0)->Panels(0), "Total", "A*2");
    TFieldObject* b = AddField(*card.Pages(0)->Panels(1), "B");
    TFieldObject* d = AddField(*card.Pages(1)->Panels(0), "D");
    a->Required = true;
    QStringList asked;
    Dialogs.AnswerFieldValue = [&](const TFieldObject& field, QString& value) {
        asked.append(field.FieldName);
        if (field.FieldName == QLatin1String("B")) return false; // cancel on the second
        value = QStringLiteral("21");
        return true;
    };
    card.SetDocumentModified(false);
    Trigger("AFillInForm");
    EXPECT_EQ(asked, (QStringList{"A", "B"})); // formula fields are not asked for
    EXPECT_EQ(a->Value, QStringLiteral("21"));
    EXPECT_EQ(b->Value, QStringLiteral("old"));
    EXPECT_EQ(total->Value, QString()); // recalculated when drawn
    EXPECT_EQ(d->Value, QStringLiteral("old"));
    EXPECT_EQ(form->CurrentPage(), 0);
    EXPECT_TRUE(card.DocumentModified);

    // Clear Form empties every field without a formula, on every page.
    total->Value = QStringLiteral("42");
    Trigger("AClearForm");
    EXPECT_EQ(a->Value, QString());
    EXPECT_EQ(b->Value, QString());
    EXPECT_EQ(d->Value, QString());
    EXPECT_EQ(total->Value, QStringLiteral("42"));
}

TEST_F(MainFormTest, TheInputOrderTakesTheNewOrderOnlyWhenItHoldsTheSameFields) {
    TCardForm* form = NewDocument();
    TCardPanel& panel = *form->Card().Pages(0)->Panels(0);
    TFieldObject* a = AddField(panel, "A");
    TFieldObject* b = AddField(panel, "B");
    TFieldObject* c = AddField(panel, "C");
    const TFieldObjectTable& order = form->Card().Pages(0)->FieldOrder;
    Dialogs.AnswerFieldOrder = [&](QList<TFieldObject*>& fields) {
        EXPECT_EQ(fields, (QList<TFieldObject*>{a, b, c}));
        fields = {c, a, b};
        return true;
    };
    Trigger("AFieldObjectInputOrder");
    ASSERT_EQ(order.Count(), 3);
    EXPECT_EQ(order.Items(0), c);
    EXPECT_EQ(order.Items(1), a);
    Dialogs.AnswerFieldOrder = [&](QList<TFieldObject*>& fields) {
        fields = {c, c, b};
        return true;
    };
    Trigger("AFieldObjectInputOrder");
    EXPECT_EQ(order.Items(0), c);
    EXPECT_EQ(order.Items(1), a);
    EXPECT_EQ(order.Items(2), b);
}

TEST_F(MainFormTest, PersonalizeAsksForEveryHeadlineUntilAPromptIsCancelled) {
    TCardForm* form = NewDocument();
    TCard& card = form->Card();
    auto addHeadline = [&](int panel, const char* text) {
        auto* headline = new THeadlineObject();
        headline->Text = QString::fromLatin1(text);
        headline->ScanPlaceholders();
        headline->RefreshText();
        card.Pages(0)->Panels(panel)->AddObject(headline);
        return headline;
    };
    THeadlineObject* first = addHeadline(0, "Dear [Name]");
    THeadlineObject* second = addHeadline(0, "From [Sender] and [Name]");
    struct TAnswers : TShell {
        QStringList Asked;
        bool PromptPersonalizedText(const QString&, const QString& name, QString& value) override {
            Asked.append(name);
            if (name == QLatin1String("Name") && Asked.size() > 1) return false;
            value = name.toUpper();
            return true;
        }
    } answers;
    AppContext().SetShell(&answers);
    Trigger("APersonalize");
    AppContext().SetShell(nullptr);
    EXPECT_EQ(answers.Asked, (QStringList{"Name", "Sender", "Name"}));
    EXPECT_EQ(first->MergeText(), QStringLiteral("Dear NAME"));
    EXPECT_EQ(second->MergeText(), QStringLiteral("From SENDER and "));
    EXPECT_TRUE(card.DocumentModified);
}

TEST(FillInDataForm, ARequiredFieldRefusesABlankValue) {
    TTestContext test;
    TFieldObject field;
    field.FieldName = QStringLiteral("Name");
    field.Required = true;
    TFillInDataForm form(field);
    EXPECT_FALSE(form.OkButton()->isEnabled());
    form.Edit()->setText(QStringLiteral("  "));
    EXPECT_FALSE(form.OkButton()->isEnabled());
    form.Edit()->setText(QStringLiteral("Ann"));
    EXPECT_TRUE(form.OkButton()->isEnabled());
    field.Required = false;
    TFillInDataForm optional(field);
    EXPECT_TRUE(optional.OkButton()->isEnabled());
}

TEST_F(MainFormTest, ActionsFollowTheWindowAndTheSelection) {
    EXPECT_FALSE(Enabled("ASave"));
    EXPECT_FALSE(Enabled("ACut"));
    EXPECT_TRUE(Enabled("ANew"));
    EXPECT_TRUE(Enabled("AExit"));
    EXPECT_TRUE(Enabled("AShowGrid"));
    TCardForm* form = NewDocument();
    EXPECT_TRUE(Enabled("ASave"));
    EXPECT_TRUE(Enabled("ASelectAll"));
    EXPECT_FALSE(Enabled("ACopy"));
    EXPECT_FALSE(Enabled("AProperties"));
    EXPECT_FALSE(Enabled("APaste"));
    EXPECT_FALSE(Enabled("AGoToPage"));
    auto* a = new TRectangleObject();
    auto* b = new TRectangleObject();
    form->Card().Pages(0)->Panels(0)->AddObject(a);
    form->Card().Pages(0)->Panels(0)->AddObject(b);
    form->SelectOnly(a);
    EXPECT_TRUE(Enabled("ACopy"));
    EXPECT_TRUE(Enabled("AProperties"));
    EXPECT_TRUE(Enabled("ALocked"));
    EXPECT_TRUE(Enabled("ABringToFront"));
    EXPECT_FALSE(Enabled("ASendToBack"));
    form->AddToSelection(b);
    EXPECT_TRUE(Enabled("ACopy"));
    EXPECT_FALSE(Enabled("AProperties"));
    EXPECT_FALSE(Enabled("ABringToFront"));
    EXPECT_TRUE(Enabled("ACenterHorizontally"));
    Trigger("ACopy");
    EXPECT_TRUE(Enabled("APaste"));
    EXPECT_TRUE(Main->Action(QStringLiteral("AChangeCardType"))->isVisible());
    EXPECT_FALSE(Main->Action(QStringLiteral("AChangeBannerWidth"))->isVisible());
    EXPECT_EQ(Main->Action(QStringLiteral("AChangeCardType"))->text(),
              QStringLiteral("Change Document T&ype/Description..."));
    EXPECT_EQ(Main->Action(QStringLiteral("ANew"))->statusTip(),
              QStringLiteral("Create a new document"));
}

TEST_F(MainFormTest, TheSettingsFileHoldsEveryKeyAfterExit) {
    Trigger("AShowGrid");
    Trigger("AGrid8");
    Trigger("AAutoSave2");
    Main->close();
    TIniFile written(QDir(User.path()).filePath(QStringLiteral("qdx.ini")));
    ASSERT_TRUE(written.Load());
    for (const TSettingsKey& key : SettingsKeys())
        EXPECT_TRUE(
            written.Value(QString::fromLatin1(key.Section), QString::fromLatin1(key.Key)).isValid())
            << key.Section << " / " << key.Key;
    EXPECT_TRUE(written.ReadBool(QStringLiteral("View"), QStringLiteral("Grid On"), false));
    EXPECT_EQ(written.ReadInteger(QStringLiteral("View"), QStringLiteral("Grid Size"), -1), 2);
    EXPECT_EQ(written.ReadInteger(QStringLiteral("Options"), QStringLiteral("AutoSave"), -1),
              120000);
}

TEST_F(MainFormTest, AMissingRequiredFileStopsTheStart) {
    QFile::remove(Program.filePath(QStringLiteral("ENGLISH.DCT")));
    TMainForm other;
    other.UseMessages(&Test.Messages);
    EXPECT_FALSE(other.Start());
    EXPECT_EQ(Test.Messages.Errors.last(),
              QStringLiteral("The file \"ENGLISH.DCT\" is required to run the program QDX."));
}

TEST_F(MainFormTest, AnEnvelopeShowsItsOwnViewAndTheStatusNamesIt) {
    QToolBar* views = Main->findChild<QToolBar*>(QStringLiteral("Views"));
    ASSERT_NE(views, nullptr);
    NewFormat = 14;
    NewType = 11;
    NewDocument();
    QApplication::processEvents();
    EXPECT_TRUE(views->actions().first()->isVisible());
    auto* envelope = Main->findChild<QToolButton*>(QStringLiteral("Env0"));
    ASSERT_NE(envelope, nullptr);
    EXPECT_TRUE(envelope->isVisible());
    EXPECT_TRUE(envelope->isChecked());
    EXPECT_EQ(envelope->toolTip(), QStringLiteral("Full envelope"));
    for (int number = 0; number < 8; ++number)
        if (auto* bifold = Main->findChild<QToolButton*>(QStringLiteral("Vert%1").arg(number))) {
            EXPECT_FALSE(bifold->isVisible()) << number;
        }
    EXPECT_EQ(Main->StatusView(), QStringLiteral("Full envelope"));
    // A banner has no views: the bar hides and the status names none.
    NewFormat = 13;
    NewType = 12;
    NewDocument();
    QApplication::processEvents();
    EXPECT_FALSE(views->actions().first()->isVisible());
    EXPECT_EQ(Main->StatusView(), QString());
}

TEST_F(MainFormTest, TheStatusNamesTheViewOfTheWindowThatBecomesActive) {
    auto* mdi = Main->findChild<QMdiArea*>();
    ASSERT_NE(mdi, nullptr);
    NewFormat = 0;
    NewType = 0;
    TCardForm* bifold = NewDocument();
    auto* inside = Main->findChild<QToolButton*>(QStringLiteral("Vert5"));
    ASSERT_NE(inside, nullptr);
    inside->click();
    EXPECT_EQ(bifold->ShownPanels(), 6u);
    EXPECT_EQ(Main->StatusView(), QStringLiteral("Inside"));
    NewFormat = 9;
    NewType = 9;
    NewDocument();
    Main->UpdateActions();
    EXPECT_EQ(Main->StatusView(), QStringLiteral("Front of card"));
    for (QMdiSubWindow* window : mdi->subWindowList())
        if (window->widget() == bifold) mdi->setActiveSubWindow(window);
    Main->UpdateActions();
    EXPECT_EQ(Main->StatusView(), QStringLiteral("Inside"));
}

TEST_F(MainFormTest, KeepAddingFollowsTheShiftStateOfEachToolButtonRelease) {
    auto* tools = Main->findChild<QToolBar*>(QStringLiteral("Objects"));
    ASSERT_NE(tools, nullptr);
    NewDocument();
    Main->UpdateActions();
    auto button = [&](const char* name) {
        return qobject_cast<QToolButton*>(
            tools->widgetForAction(Main->Action(QString::fromLatin1(name))));
    };
    ASSERT_NE(button("AAddHeadlineObjects"), nullptr);
    QTest::mouseClick(button("AAddHeadlineObjects"), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(EditorState().Tool, ToolHeadline);
    EXPECT_TRUE(EditorState().KeepAdding);
    QTest::mouseClick(button("AAddRectangleObjects"), Qt::LeftButton);
    EXPECT_EQ(EditorState().Tool, ToolRectangle);
    EXPECT_FALSE(EditorState().KeepAdding);
    QTest::mouseClick(button("AAddEllipseObjects"), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(EditorState().KeepAdding);
    Trigger("AAddLineObjects"); // from the Object menu
    EXPECT_EQ(EditorState().Tool, ToolLine);
    EXPECT_FALSE(EditorState().KeepAdding);
    Trigger("AEditObjects");
}

TEST_F(MainFormTest, AutosaveWaitsForAnOpenDialogAndSavesOnceItCloses) {
    Main->AutoSave().SetQuietMilliseconds(0);
    TCardForm* form = NewDocument();
    form->Card().FileName = User.filePath(QStringLiteral("kept.qdx"));
    form->setWindowTitle(QStringLiteral("kept"));
    form->SetDocumentModified();
    QDialog other(Main.get());
    other.setWindowModality(Qt::ApplicationModal);
    other.show();
    QApplication::processEvents();
    ASSERT_NE(QApplication::activeModalWidget(), nullptr);
    Main->AutoSaveTick();
    EXPECT_TRUE(Main->AutoSave().Pending());
    EXPECT_TRUE(form->Card().DocumentModified);
    QTest::qWait(3 * TAutoSave::RetryMilliseconds);
    EXPECT_TRUE(form->Card().DocumentModified); // still waiting
    other.close();
    QTest::qWait(3 * TAutoSave::RetryMilliseconds);
    EXPECT_FALSE(Main->AutoSave().Pending());
    EXPECT_FALSE(form->Card().DocumentModified);
    EXPECT_TRUE(QFile::exists(User.filePath(QStringLiteral("kept.qdx"))));
    EXPECT_TRUE(Main->AutoSaveTimer().isActive());
}

TEST_F(MainFormTest, AutosaveWaitsWhileTheUserTypesAndAsksAnUntitledDocumentOnlyOnce) {
    TCardForm* form = NewDocument();
    int asked = 0;
    Dialogs.AnswerSaveFileName = [&](const QString&) {
        ++asked;
        return QString(); // cancelled
    };
    Main->AutoSave().SetQuietMilliseconds(60000);
    QTest::keyClick(form, Qt::Key_Plus);
    Main->AutoSaveTick();
    EXPECT_EQ(asked, 0); // the "+" was for zooming, not for a file name
    EXPECT_TRUE(Main->AutoSave().Pending());

    Main->AutoSave().SetQuietMilliseconds(0);
    Main->AutoSaveTick();
    EXPECT_EQ(asked, 1);
    Main->AutoSaveTick();
    Main->AutoSaveTick();
    EXPECT_EQ(asked, 1); // cancelled once: left alone
    EXPECT_TRUE(form->Card().DocumentModified);

    // Once it has a name, autosave saves it again.
    Dialogs.AnswerSaveFileName = [&](const QString&) { return User.filePath(QStringLiteral("n.qdx")); };
    Trigger("ASaveAs");
    form->SetDocumentModified();
    Main->AutoSaveTick();
    EXPECT_FALSE(form->Card().DocumentModified);
}

namespace {

// Answers every Personalize prompt with the name in capitals and records what was asked.
struct TPersonalAnswers : TShell {
    QStringList Asked;
    bool PromptPersonalizedText(const QString&, const QString& name, QString& value) override {
        Asked.append(name);
        value = name.toUpper();
        return true;
    }
};

std::unique_ptr<TCard> CertificateFor(const char* placeholder) {
    auto card = std::make_unique<TCard>(7, 4);
    auto* headline = new THeadlineObject();
    headline->Text = QString::fromLatin1(placeholder);
    headline->ScanPlaceholders();
    headline->RefreshText();
    card->Pages(0)->Panels(0)->AddObject(headline);
    return card;
}

} // namespace

TEST_F(MainFormTest, NewFromATemplateAsksForItsPersonalizedTexts) {
    bool fromTemplate = true;
    Dialogs.AnswerNewCard = [&](bool& chosenFromTemplate, int& format) {
        chosenFromTemplate = fromTemplate;
        format = 7;
        return CertificateFor("[Volunteer Name]");
    };
    TPersonalAnswers answers;
    AppContext().SetShell(&answers);
    TCardForm* form = NewDocument();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(answers.Asked, QStringList{QStringLiteral("Volunteer Name")});
    const auto* headline = dynamic_cast<THeadlineObject*>(form->Card().Pages(0)->Panels(0)->Items(0));
    ASSERT_NE(headline, nullptr);
    EXPECT_EQ(headline->MergeText(), QStringLiteral("VOLUNTEER NAME"));

    // A blank document has nothing to ask about yet.
    fromTemplate = false;
    answers.Asked.clear();
    NewDocument();
    AppContext().SetShell(nullptr);
    EXPECT_TRUE(answers.Asked.isEmpty());
}

TEST_F(MainFormTest, EachHelpCommandOpensItsOwnPartOfTheGuideAndAMissingBrowserIsSaid) {
    Trigger("AContents");
    Trigger("ATopicSearch");
    Trigger("AHowToUseHelp");
    ASSERT_EQ(Urls.Opened.size(), 3);
    QStringList fragments;
    for (const QUrl& url : Urls.Opened) {
        EXPECT_EQ(url.toLocalFile(), AppPaths::HelpFile());
        fragments << url.fragment();
    }
    EXPECT_EQ(fragments, (QStringList{"ctx-1", "index", "using-help"}));
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());

    Urls.Succeeds = false;
    Trigger("ATopicSearch");
    EXPECT_EQ(Test.Messages.Errors,
              QStringList{QStringLiteral("No web browser was found to show the user guide (%1).")
                              .arg(QDir::toNativeSeparators(AppPaths::HelpFile()))});
}

namespace {

class MainFormWithHelpLinksTest : public MainFormTest {
protected:
    MainFormWithHelpLinksTest() {
        InitialSettings = QStringLiteral("[Help Links]\n"
                                         "Site=QDX on the Web;https://example.org/qdx\n"
                                         "Notes=Release Notes;docs/NOTES.TXT\n");
    }
};

} // namespace

TEST_F(MainFormWithHelpLinksTest, HelpLinksStandBetweenTheirOwnSeparatorAndTheOneAboveAbout) {
    QMenu* help = Menu(QStringLiteral("&Help"));
    ASSERT_NE(help, nullptr);
    QStringList items;
    for (QAction* action : help->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(items, (QStringList{"&Contents", "&Topic Search...", "&How To Use Help", "-",
                                  "QDX on the Web", "Release Notes", "-", "&About..."}));

    help->actions()[5]->trigger();
    ASSERT_EQ(Urls.Opened.size(), 1);
    EXPECT_EQ(Urls.Opened[0].toLocalFile(), Program.filePath(QStringLiteral("NOTES.TXT")));
    Urls.Succeeds = false;
    help->actions()[4]->trigger();
    EXPECT_EQ(Test.Messages.Errors,
              QStringList{"Unable to find or run default program for https://example.org/qdx."});
}

TEST_F(MainFormTest, AboutShowsTheProgramIconAndClosesWithItsCloseButton) {
    bool shown = false;
    AnswerNextDialog([&](QDialog& dialog) {
        auto* about = qobject_cast<TAboutBox*>(&dialog);
        ASSERT_NE(about, nullptr);
        shown = true;
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About the Program"));
        EXPECT_EQ(about->CloseButton()->text(), QStringLiteral("&Close"));
        EXPECT_EQ(about->Version()->text(), QStringLiteral("Version " QDX_VERSION));
        const QImage icon = about->Icon()->pixmap().toImage();
        ASSERT_FALSE(icon.isNull());
        EXPECT_GT(qAlpha(icon.pixel(icon.width() / 2, icon.height() / 2)), 0);
        about->CloseButton()->click();
        EXPECT_FALSE(about->isVisible());
    });
    Trigger("AAbout");
    EXPECT_TRUE(shown);
}

namespace {

// Sets an environment variable for its lifetime.
class TEnvironmentValue {
public:
    TEnvironmentValue(const char* name, const QString& value)
        : FName(name), FWasSet(qEnvironmentVariableIsSet(name)), FOld(qgetenv(name)) {
        qputenv(name, value.toUtf8());
    }
    ~TEnvironmentValue() {
        if (FWasSet)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }

private:
    const char* FName;
    bool FWasSet;
    QByteArray FOld;
};

} // namespace

TEST_F(MainFormTest, SaveAsOfAnUntitledDocumentStartsInTheDocumentsFolderAndRemembersTheLast) {
    QTemporaryDir home;
    const TEnvironmentValue homeFolder("HOME", home.path());
    const TEnvironmentValue configFolder("XDG_CONFIG_HOME", home.filePath("config"));
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Documents")));
    ASSERT_TRUE(QDir(User.path()).mkpath(QStringLiteral("cards")));
    const QString saved = QDir(User.filePath(QStringLiteral("cards"))).filePath("ann.qdx");
    Dialogs.AnswerSaveFileName = nullptr;

    auto startFolder = [this](const char* command, const QString& choose) {
        QString folder;
        AnswerNextDialog([&](QDialog& dialog) {
            auto* files = qobject_cast<QFileDialog*>(&dialog);
            ASSERT_NE(files, nullptr);
            folder = files->directory().absolutePath();
            if (!choose.isEmpty()) {
                files->selectFile(choose);
                dialog.accept(); // the file dialog's own accept, which takes the chosen file
            }
        });
        Trigger(command);
        return folder;
    };
    NewDocument();
    EXPECT_EQ(startFolder("ASaveAs", saved), home.filePath(QStringLiteral("Documents")));
    EXPECT_TRUE(QFile::exists(saved));
    NewDocument();
    EXPECT_EQ(startFolder("ASaveAs", QString()), QFileInfo(saved).absolutePath());
    EXPECT_EQ(startFolder("AOpen", QString()), QFileInfo(saved).absolutePath());
}

TEST_F(MainFormTest, ViewButtonHintsNameTheDocument) {
    NewFormat = 10;
    NewType = 9;
    NewDocument();
    auto* front = Main->findChild<QToolButton*>(QStringLiteral("BusS0"));
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(front->toolTip(), QStringLiteral("Front of document"));
    // The one exception: the front of a connected business card.
    EXPECT_EQ(Main->findChild<QToolButton*>(QStringLiteral("Bus0"))->toolTip(),
              QStringLiteral("Front of card"));
    NewFormat = 4;
    NewType = 0;
    NewDocument();
    auto* entire = Main->findChild<QToolButton*>(QStringLiteral("QVert6"));
    ASSERT_NE(entire, nullptr);
    EXPECT_EQ(entire->toolTip(), QStringLiteral("Entire document"));
    entire->click();
    EXPECT_EQ(Main->StatusView(), QStringLiteral("Entire document"));
}

TEST_F(MainFormTest, PageSetupMeasuresAsTheProgramDoesWhateverTheLocaleSays) {
    const QLocale before;
    auto marginSuffix = [this](const std::function<void()>& command) {
        QString suffix;
        AnswerNextDialog([&](QDialog& dialog) {
            if (auto* margin = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("leftMargin")))
                suffix = margin->suffix();
        });
        command();
        return suffix;
    };
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // metric
    EXPECT_EQ(marginSuffix([this] { Trigger("APrintSetup"); }), QStringLiteral("in"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TQtPrinter metric(true);
    EXPECT_EQ(marginSuffix([&] { RunPageSetupDialog(Main.get(), metric); }),
              QStringLiteral("mm"));
    QLocale::setDefault(before);
}

TEST_F(MainFormTest, OpenDatabaseTableListsCommaSeparatedFilesWithTheTextFiles) {
    NewDocument();
    QStringList filters;
    AnswerNextDialog([&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) filters = files->nameFilters();
    });
    Trigger("ADatabaseConnect");
    ASSERT_FALSE(filters.isEmpty());
    const auto text = std::find_if(filters.begin(), filters.end(), [](const QString& filter) {
        return filter.contains(QLatin1String("*.txt"));
    });
    ASSERT_NE(text, filters.end());
    EXPECT_TRUE(text->contains(QLatin1String("*.csv"))) << text->toStdString();
}

// A label catalogue of two address stocks in the program folder.
void WriteLabelCatalogue(const QString& folder) {
    TTable table;
    table.SetTable(folder, QStringLiteral("LABLIST.DB"));
    TFieldDefs fields;
    for (const char* name : {"CatNum", "LabelType", "Color", "LabelShape", "LabelFeed"})
        fields.append({QString::fromLatin1(name), TFieldType::String, 24});
    for (const char* name : {"SpacingTop", "SpacingLeft", "SpacingHeight", "SpacingWidth",
                             "LabelHeight", "LabelWidth"})
        fields.append({QString::fromLatin1(name), TFieldType::Float, 0});
    for (const char* name : {"NumAcross", "NumDown"})
        fields.append({QString::fromLatin1(name), TFieldType::SmallInt, 0});
    table.Create(fields, TCreateMode::ReplaceExisting);
    table.Open();
    const QList<QVariantList> rows = {
        {"5160", "Address", "White", "RRect", "Laser", 0.5, 0.1875, 1.0, 2.75, 1.0, 2.625, 3, 10},
        {"5163", "Address", "White", "Rect", "Laser", 0.5, 0.15625, 2.0, 4.1875, 2.0, 4.0, 2, 5},
    };
    for (const QVariantList& row : rows) {
        table.Append();
        for (int i = 0; i < row.size(); ++i)
            table.SetFieldValue(fields[i].Name, row[i]);
        table.Post();
    }
    table.Close();
}

TEST_F(MainFormTest, ChangeLabelTypePutsTheLabelsOnTheChosenStockAndKeepsTheObjects) {
    WriteLabelCatalogue(Program.path());
    NewFormat = 12;
    NewType = 10;
    TCardForm* form = NewDocument();
    ASSERT_NE(form, nullptr);
    TCard& card = form->Card();
    auto* headline = new THeadlineObject();
    headline->Text = QStringLiteral("Fragile");
    headline->Bounds = TRect{10, 10, 120, 40};
    card.Pages(0)->Panels(0)->AddObject(headline);
    card.DocumentModified = false;
    Main->UpdateActions();
    EXPECT_TRUE(Main->Action(QStringLiteral("AChangeLabelType"))->isVisible());

    bool answered = false;
    AnswerNextDialog([&](QDialog& dialog) {
        auto* wizard = qobject_cast<TWizardForm*>(&dialog);
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(wizard->Navigation().CurrentPage(), wpLabelCategory);
        wizard->NextClick();
        wizard->findChild<QListWidget*>(QStringLiteral("StockList"))->setCurrentRow(1);
        wizard->NextClick();
        for (QRadioButton* radio : wizard->findChildren<QRadioButton*>())
            if (radio->text() == QStringLiteral("All labels will be the same")) radio->click();
        EXPECT_FALSE(wizard->findChild<QPushButton*>(QStringLiteral("NextButton"))->isEnabled());
        wizard->CreateClick();
        answered = true;
    });
    Trigger("AChangeLabelType");
    ASSERT_TRUE(answered);
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();
    EXPECT_EQ(card.SheetGeometry, (TSheetGeometry{16, 50, 400, 200, 419, 200, 2, 5}));
    EXPECT_EQ(card.Pages(0)->Panels(0)->Width, 400);
    EXPECT_EQ(card.Pages(0)->Panels(0)->Height, 200);
    EXPECT_EQ(headline->Bounds, (TRect{10, 10, 120, 40}));
    EXPECT_TRUE(card.DocumentModified);
}

// The user guide and the knowledge base name each "Menu → Command" and the Document Type
// window as the window shows them.
TEST_F(MainFormTest, TheGuideAndTheKnowledgeBaseNameCommandsAsTheWindowShowsThem) {
    auto plain = [](QString text) {
        text.remove(QLatin1Char('&'));
        return text.section(QLatin1Char('\t'), 0, 0).trimmed();
    };
    QHash<QString, QStringList> menus;
    for (QAction* top : Main->menuBar()->actions()) {
        if (!top->menu()) continue;
        QStringList& items = menus[plain(top->text())];
        for (QAction* action : top->menu()->actions())
            if (!action->isSeparator()) items << plain(action->text());
    }
    TCardTypeForm types(TCardTypeServices{});
    const QString typeWindow = types.windowTitle();
    const QString blank = plain(types.findChild<QPushButton*>(QStringLiteral("BlankButton"))->text());
    EXPECT_EQ(typeWindow, QStringLiteral("Document Type"));

    const QRegularExpression reference(
        QStringLiteral("(?:<b>|\\*\\*)(\\w+) \u2192 ([^<*\u2192]+?)(?= \u2192|</b>|\\*\\*)"));
    const QRegularExpression oldTypeWindow(QStringLiteral("(?<!Business )Card Type|Blank card"));
    for (const char* name : {"help/qdx-guide.html", "kb/questions.md"}) {
        SCOPED_TRACE(name);
        QFile file(QStringLiteral(QDX_SOURCE_DATA "/") + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll()).simplified();
        int references = 0;
        for (auto matches = reference.globalMatch(text); matches.hasNext(); ++references) {
            const QRegularExpressionMatch match = matches.next();
            const QString menu = match.captured(1);
            const QString command = match.captured(2).trimmed();
            const QStringList items = menus.value(menu);
            EXPECT_TRUE(items.contains(command) || items.contains(command + QStringLiteral("...")))
                << menu.toStdString() << " -> " << command.toStdString();
        }
        EXPECT_GT(references, 10);
        EXPECT_TRUE(text.contains(typeWindow));
        EXPECT_TRUE(text.contains(blank)) << blank.toStdString();
        EXPECT_FALSE(text.contains(oldTypeWindow))
            << text.mid(text.indexOf(oldTypeWindow) - 40, 100).toStdString();
    }
}
