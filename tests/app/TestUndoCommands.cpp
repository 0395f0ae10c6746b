// The main window's commands as steps of the editing window's undo stack, and the web
// commands.
#include "app/WebCommands.h"
#include "document/Control.h"
#include "editor/CardWin.h"
#include "support/RecordingUrlOpener.h"
#include "web/WebLinks.h"
#include "MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

namespace {

class UndoCommandsTest : public TMainWindowFixture {
protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        MakeMain();
        Main->UseUrlOpener(&Urls);
        ASSERT_TRUE(Main->Start());
        Main->show();
        Main->Files().New();
        Form = Main->ActiveEditor();
        ASSERT_NE(Form, nullptr);
    }
    void Trigger(const char* name) {
        Main->UpdateActions();
        QAction* action = Main->Action(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }
    QString Caption(const char* name) {
        Main->UpdateActions();
        return Main->Action(QString::fromLatin1(name))->text();
    }
    QByteArray Bytes() const { return CardToBytes(Form->Card()); }
    // The command changes the document; Undo brings back the document as it was and Redo the
    // one the command made, byte for byte.
    void ExpectUndoable(const char* command, const QString& step) {
        SCOPED_TRACE(command);
        const QByteArray before = Bytes();
        const int depth = Form->UndoStack().count();
        Trigger(command);
        const QByteArray after = Bytes();
        ASSERT_NE(after, before);
        EXPECT_EQ(Form->UndoStack().count(), depth + 1);
        EXPECT_EQ(Caption("AUndo"), QStringLiteral("&Undo ") + step);
        Trigger("AUndo");
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(Caption("ARedo"), QStringLiteral("&Redo ") + step);
        Trigger("ARedo");
        EXPECT_EQ(Bytes(), after);
    }
    TFieldObject* AddField(int page, const char* name) {
        auto* field = new TFieldObject();
        field->FieldName = QString::fromLatin1(name);
        field->Value = QStringLiteral("old");
        Form->Card().Pages(page)->Panels(0)->AddObject(field);
        return field;
    }

    TRecordingUrlOpener Urls;
    TCardForm* Form = nullptr;
};

} // namespace

TEST_F(UndoCommandsTest, PageCommandsAreStepsAndUndoFindsTheirPage) {
    AddField(0, "Name");
    ExpectUndoable("AAppendNewPage", QStringLiteral("Append Page"));
    EXPECT_EQ(Form->Card().PageCount(), 2);
    ExpectUndoable("AInsertNewPage", QStringLiteral("Insert Page"));
    EXPECT_EQ(Form->Card().PageCount(), 3);
    Main->GoToPage(0);
    ExpectUndoable("ADeleteCurrentPage", QStringLiteral("Delete Page"));
    EXPECT_EQ(Form->Card().PageCount(), 2);
    // Undoing every step gives back the single page with its field.
    while (Form->UndoStack().canUndo()) Trigger("AUndo");
    EXPECT_EQ(Form->Card().PageCount(), 1);
    EXPECT_EQ(Form->Card().Pages(0)->Panels(0)->Count(), 1);
    EXPECT_EQ(Form->CurrentPage(), 0);
}

TEST_F(UndoCommandsTest, FormsAndFieldOrderAreSteps) {
    AddField(0, "A");
    AddField(0, "B");
    Dialogs.AnswerFieldValue = [](const TFieldObject& field, QString& value) {
        value = field.FieldName + QStringLiteral(" filled");
        return true;
    };
    ExpectUndoable("AFillInForm", QStringLiteral("Fill In Form"));
    ExpectUndoable("AClearForm", QStringLiteral("Clear Form"));
    Dialogs.AnswerFieldOrder = [](QList<TFieldObject*>& order) {
        std::reverse(order.begin(), order.end());
        return true;
    };
    ExpectUndoable("AFieldObjectInputOrder", QStringLiteral("Field Input Order"));
}

TEST_F(UndoCommandsTest, ConnectingAndDisconnectingATableAreSteps) {
    const QString table = User.filePath(QStringLiteral("names.csv"));
    QFile csv(table);
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Name,City\nAnn,Oslo\nBo,Rome\n");
    csv.close();
    Dialogs.AnswerDatabaseFileName = [&] { return table; };
    ExpectUndoable("ADatabaseConnect", QStringLiteral("Connect Database"));
    EXPECT_FALSE(Form->Card().DataSourceName.isEmpty());
    ExpectUndoable("ADatabaseDisconnect", QStringLiteral("Disconnect Database"));
    EXPECT_TRUE(Form->Card().DataSourceName.isEmpty());
    Trigger("AUndo");
    // The table is open again after the undo, as after connecting.
    ASSERT_NE(Form->Card().DataTable(), nullptr);
    EXPECT_TRUE(Form->Card().DataTable()->IsOpen());
}

TEST_F(UndoCommandsTest, TheModifiedFlagFollowsTheSavedStep) {
    const QString file = User.filePath(QStringLiteral("card.qdx"));
    Dialogs.AnswerSaveFileName = [&](const QString&) { return file; };
    Trigger("ASave");
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_FALSE(Form->Card().DocumentModified);
    Trigger("AAppendNewPage");
    EXPECT_TRUE(Form->Card().DocumentModified);
    Trigger("AUndo");
    EXPECT_FALSE(Form->Card().DocumentModified); // back at the saved state
    Trigger("ARedo");
    EXPECT_TRUE(Form->Card().DocumentModified);
}

TEST_F(UndoCommandsTest, UndoAndRedoHeadTheEditMenuWithTheirKeys) {
    QMenu* edit = nullptr;
    for (QAction* action : Main->menuBar()->actions())
        if (action->text() == QLatin1String("&Edit")) edit = action->menu();
    ASSERT_NE(edit, nullptr);
    ASSERT_GE(edit->actions().size(), 3);
    EXPECT_EQ(edit->actions()[0], Main->Action(QStringLiteral("AUndo")));
    EXPECT_EQ(edit->actions()[1], Main->Action(QStringLiteral("ARedo")));
    EXPECT_TRUE(edit->actions()[2]->isSeparator());
    EXPECT_EQ(Main->Action(QStringLiteral("AUndo"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(Main->Action(QStringLiteral("ARedo"))->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                   QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
    Main->UpdateActions();
    EXPECT_FALSE(Main->Action(QStringLiteral("AUndo"))->isEnabled()); // nothing done yet
    EXPECT_EQ(Caption("AUndo"), QStringLiteral("&Undo"));
}

TEST_F(UndoCommandsTest, PublishToFolderWritesTheSiteWithTheChosenNames) {
    const QString site = User.filePath(QStringLiteral("site/club")); // made when missing
    Dialogs.AnswerWebSiteFolder = [&] { return site; };
    Dialogs.AnswerPageNameProperties = [](TWebPageGenerator& generator, const QString& title) {
        EXPECT_EQ(title, QStringLiteral("Spring"));
        generator.MainPageName = 1;
        generator.HtmlExtension = 1;
        return true;
    };
    Form->Card().SetDescription(QStringLiteral("Spring"));
    Trigger("AWebName");
    Trigger("AWebPublish");
    const int panels = Form->Card().Pages(0)->PanelCount();
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("/default.html")));
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("/Page%1.html").arg(panels)));
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("/Image%1.jpg").arg(panels)));
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());

    // Cancelling the folder question publishes nothing.
    QDir(site).removeRecursively();
    Dialogs.AnswerWebSiteFolder = [] { return QString(); };
    Trigger("AWebPublish");
    EXPECT_FALSE(QDir(site).exists());
}

TEST_F(UndoCommandsTest, PreviewRebuildsTheTemporarySiteAndOpensItsMainPage) {
    const QString folder = TWebCommands::PreviewFolder();
    EXPECT_TRUE(folder.startsWith(User.path()));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile stale(folder + QStringLiteral("/old.htm"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    Trigger("AWebPreview");
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/old.htm")));
    ASSERT_EQ(Urls.Opened.size(), 1);
    EXPECT_EQ(Urls.Opened[0].toLocalFile(), QDir(folder).filePath(QStringLiteral("index.htm")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/Image1.jpg")));

    Urls.Succeeds = false;
    Trigger("AWebPreview");
    ASSERT_EQ(Test.Messages.Errors.size(), 1);
    EXPECT_EQ(Test.Messages.Errors[0],
              QStringLiteral("Unable to locate a default Web Browser for opening Web pages."));
}

TEST_F(UndoCommandsTest, LinkPropertiesEditsTheFirstSelectedObjectAsAStep) {
    auto* box = new TRectangleObject();
    box->Bounds = {100, 100, 300, 200};
    Form->Card().Pages(0)->Panels(2)->AddObject(box);
    Main->UpdateActions();
    EXPECT_FALSE(Main->Action(QStringLiteral("AWebLinkProps"))->isEnabled());
    Form->SelectOnly(box);
    TLinkPages offered;
    Dialogs.AnswerLinkProperties = [&](int& type, QString& target, const TLinkPages& pages) {
        offered = pages;
        type = ltAddress;
        target = LinkTargetFor(ltAddress, QStringLiteral("www.example.org"));
        return true;
    };
    ExpectUndoable("AWebLinkProps", QStringLiteral("Link Properties"));
    EXPECT_EQ(offered.Current, 3); // the third panel of the folded card's four
    EXPECT_EQ(offered.Count, 4);
    const TCardObject* linked = Form->Card().Pages(0)->Panels(2)->Items(0);
    EXPECT_EQ(linked->LinkType, ltAddress);
    EXPECT_EQ(linked->LinkTarget, QStringLiteral("http://www.example.org"));
    Form->SelectOnly(Form->Card().Pages(0)->Panels(2)->Items(0));
    ASSERT_NE(Main->Action(QStringLiteral("AWebLinkProps"))->shortcut(), QKeySequence());
}
