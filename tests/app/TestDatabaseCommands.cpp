#include "app/MainForm.h"
#include "document/AppContext.h"
#include "document/Card.h"
#include "editor/CardWin.h"
#include "editor/EditorState.h"
#include "merge/DatabaseDialog.h"
#include "merge/RecordEditForm.h"
#include "merge/Table.h"
#include "objects/BarCode.h"
#include "objects/Headline.h"
#include "support/DocumentFixtures.h"
#include "MainWindowFixture.h"
#include "support/UrlRecorder.h"
#include "ProgramFolders.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A dBase table with a text and a number field, for typed values.
void MakePeopleTable(const QString& folder, const QString& name,
                     const QList<std::pair<QString, int>>& people) {
    TTable table;
    table.SetTable(folder, name);
    table.Create({{QStringLiteral("Name"), TFieldType::String, 20, false},
                  {QStringLiteral("Age"), TFieldType::Integer, 0, false}});
    table.Open();
    for (const auto& [person, age] : people) {
        table.Append();
        table.SetFieldText(QStringLiteral("Name"), person);
        table.SetFieldValue(QStringLiteral("Age"), age);
        table.Post();
    }
    table.Close();
}

// The main window over fresh program and user folders, with one new document holding the
// headline "Hi <Name>".
class DatabaseCommandsTest : public TMainWindowFixture {
protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        MakeMain();
        ASSERT_TRUE(Main->Start());
        Main->show();
        Main->Files().New();
        Card = &Main->ActiveEditor()->Card();
        Greeting = new THeadlineObject();
        Greeting->Text = QStringLiteral("Hi <Name>");
        Greeting->ScanPlaceholders();
        Greeting->RefreshText();
        Card->Pages(0)->Panels(0)->AddObject(Greeting);
    }
    void Trigger(const char* name) {
        Main->UpdateActions();
        QAction* action = Main->Action(QString::fromLatin1(name));
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }
    bool Enabled(const char* name) {
        Main->UpdateActions();
        return Main->Action(QString::fromLatin1(name))->isEnabled();
    }
    void Connect(const QString& path) {
        Dialogs.AnswerDatabaseFileName = [path] { return path; };
        Trigger("ADatabaseConnect");
    }
    QString Shown() const { return Greeting->HeadlineText().Lines.join(QLatin1Char('\n')); }
    QString Data(const QString& name) const { return Tables.filePath(name); }

    QTemporaryDir Tables;
    TCard* Card = nullptr;
    THeadlineObject* Greeting = nullptr;
};

} // namespace

TEST_F(DatabaseCommandsTest, TheHeadlineFollowsTheNavigatorThroughTheRecords) {
    WriteFile(Data("names.csv"), "Name,Code\r\nBob,0123\r\nAnn,4567\r\nCy,8901\r\n");
    auto* code = new TBarCodeObject();
    code->UseDatabaseField = true;
    code->Data = QStringLiteral("code");
    Card->Pages(0)->Panels(0)->AddObject(code);
    EXPECT_EQ(Shown(), QStringLiteral("Hi <Name>"));
    EXPECT_FALSE(Enabled("ADatabaseDisconnect"));
    EXPECT_FALSE(Enabled("ADatabaseNext"));

    Connect(Data("names.csv"));
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();
    EXPECT_EQ(Card->DataSourceName, Data("names.csv"));
    EXPECT_EQ(Shown(), QStringLiteral("Hi Bob"));
    EXPECT_FALSE(Enabled("ADatabaseConnect"));
    EXPECT_FALSE(Enabled("ADatabaseCreate"));
    EXPECT_FALSE(Enabled("ADatabaseConnectAddressBook"));
    EXPECT_TRUE(Enabled("ADatabaseDisconnect"));
    EXPECT_TRUE(Enabled("ADatabaseEdit"));
    EXPECT_FALSE(Enabled("ADatabaseFirst"));
    EXPECT_FALSE(Enabled("ADatabasePrior"));

    EXPECT_EQ(code->CurrentData(), QStringLiteral("0123"));
    Trigger("ADatabaseNext");
    EXPECT_EQ(Shown(), QStringLiteral("Hi Ann"));
    EXPECT_EQ(code->CurrentData(), QStringLiteral("4567"));
    EXPECT_TRUE(Enabled("ADatabasePrior"));
    Trigger("ADatabaseLast");
    EXPECT_EQ(Shown(), QStringLiteral("Hi Cy"));
    EXPECT_FALSE(Enabled("ADatabaseNext"));
    EXPECT_FALSE(Enabled("ADatabaseLast"));
    Trigger("ADatabasePrior");
    EXPECT_EQ(Shown(), QStringLiteral("Hi Ann"));
    Trigger("ADatabaseFirst");
    EXPECT_EQ(Shown(), QStringLiteral("Hi Bob"));

    Trigger("ADatabaseDisconnect");
    EXPECT_TRUE(Card->DataSourceName.isEmpty());
    EXPECT_EQ(Shown(), QStringLiteral("Hi <Name>"));
    EXPECT_EQ(code->CurrentData(), QStringLiteral("<code>"));
    EXPECT_TRUE(Enabled("ADatabaseConnect"));
    EXPECT_FALSE(Enabled("ADatabaseFirst"));
}

TEST_F(DatabaseCommandsTest, AnEmptyTableOrAnUnknownFieldShowsThePlaceholderAsTyped) {
    WriteFile(Data("empty.txt"), "Name\r\n");
    Connect(Data("empty.txt"));
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
    EXPECT_EQ(Shown(), QStringLiteral("Hi <Name>"));
    EXPECT_FALSE(Enabled("ADatabaseNext"));
    Trigger("ADatabaseDisconnect");

    WriteFile(Data("other.csv"), "Surname\r\nLee\r\n");
    Connect(Data("other.csv"));
    EXPECT_EQ(Shown(), QStringLiteral("Hi <Name>"));
}

TEST_F(DatabaseCommandsTest, OnlyTableFilesAreAccepted) {
    WriteFile(Data("names.xls"), "Name\r\nBob\r\n");
    Connect(Data("names.xls"));
    EXPECT_EQ(Test.Messages.Errors, QStringList{QStringLiteral("File type not supported.")});
    EXPECT_TRUE(Card->DataSourceName.isEmpty());
    EXPECT_TRUE(Enabled("ADatabaseConnect"));
}

TEST_F(DatabaseCommandsTest, AMissingTableIsReportedOnceAndCanStillBeDisconnected) {
    Connect(Data("absent.csv"));
    const QStringList expected{
        DataSourceErrorText(Data("absent.csv"),
                            QStringLiteral("The table %1 does not exist.").arg(Data("absent.csv")))};
    EXPECT_EQ(Test.Messages.Errors, expected);
    // The document keeps the name, so the user can disconnect it.
    EXPECT_TRUE(Enabled("ADatabaseDisconnect"));
    EXPECT_FALSE(Enabled("ADatabaseNext"));
    EXPECT_EQ(Shown(), QStringLiteral("Hi <Name>"));

    // Once the file is back, Edit opens it.
    WriteFile(Data("absent.csv"), "Name\r\nZoe\r\n");
    int edits = 0;
    Dialogs.AnswerEditRecords = [&](TTable& table, const std::function<bool()>&) {
        ++edits;
        EXPECT_EQ(table.RecordCount(), 1);
    };
    Trigger("ADatabaseEdit");
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(Test.Messages.Errors, expected);
    EXPECT_EQ(Shown(), QStringLiteral("Hi Zoe"));

    Trigger("ADatabaseDisconnect");
    EXPECT_TRUE(Enabled("ADatabaseConnect"));
}

TEST_F(DatabaseCommandsTest, ARefusedTableIsReportedWithTheReaderReasonOnASecondLine) {
    WriteFile(Data("twice.csv"), "Name,City,city\r\nBob,Ely,Rye\r\n");
    Connect(Data("twice.csv"));
    ASSERT_EQ(Test.Messages.Errors.size(), 1);
    const QStringList lines = Test.Messages.Errors[0].split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << Test.Messages.Errors[0].toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Error opening database %1.").arg(Data("twice.csv")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("names the field city twice"))) << lines[1].toStdString();

    // Edit tries again and says why once more.
    Main->Database().Edit();
    ASSERT_EQ(Test.Messages.Errors.size(), 2);
    EXPECT_EQ(Test.Messages.Errors[1], Test.Messages.Errors[0]);
}

TEST_F(DatabaseCommandsTest, ATableThatVanishesOrChangesWhileConnectedNeverShowsStaleData) {
    WriteFile(Data("names.csv"), "Name\r\nBob\r\nAnn\r\n");
    Connect(Data("names.csv"));
    ASSERT_EQ(Shown(), QStringLiteral("Hi Bob"));

    // Another program replaces the table by one without the field.
    WriteFile(Data("names.csv"), "Surname,Town\r\nLee,Hull\r\nMoe,Ely\r\nNed,Rye\r\n");
    Trigger("ADatabaseNext");
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
    EXPECT_EQ(Shown(), QStringLiteral("Hi <Name>"));

    QFile::remove(Data("names.csv"));
    Trigger("ADatabaseNext");
    const QStringList once{
        DataSourceErrorText(Data("names.csv"),
                            QStringLiteral("The table %1 does not exist.").arg(Data("names.csv")))};
    EXPECT_EQ(Test.Messages.Errors, once);
    EXPECT_FALSE(Enabled("ADatabaseNext"));
    Main->Database().Next(); // a stale click: nothing more to report
    Main->Database().Edit();
    EXPECT_EQ(Test.Messages.Errors.size(), 2); // Edit says why it cannot open the grid
    EXPECT_EQ(Shown(), QStringLiteral("Hi <Name>"));
    EXPECT_TRUE(Enabled("ADatabaseDisconnect"));
}

TEST_F(DatabaseCommandsTest, DisconnectingForgetsTheTemplateFolder) {
    const QString templates = AppContext().TemplateFolder;
    ASSERT_TRUE(QDir().mkpath(templates));
    WriteFile(QDir(templates).filePath("names.csv"), "Name\r\nTess\r\n");
    Connect(QDir(templates).filePath("names.csv"));
    EXPECT_TRUE(Card->DataSourceInTemplateFolder);
    EXPECT_EQ(Shown(), QStringLiteral("Hi Tess"));
    Trigger("ADatabaseDisconnect");

    // The next table lies elsewhere and must be read from there.
    WriteFile(Data("names.csv"), "Name\r\nOwen\r\n");
    Connect(Data("names.csv"));
    EXPECT_FALSE(Card->DataSourceInTemplateFolder);
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
    EXPECT_EQ(Shown(), QStringLiteral("Hi Owen"));
}

TEST_F(DatabaseCommandsTest, CreateOffersTheSevenTypesAndConnectsTheNewTable) {
    Dialogs.AnswerNewDatabaseFileName = [this] { return Data("people"); };
    QList<TFieldType> offered;
    Dialogs.AnswerTableDesign = [&](TDatabaseFieldTable& rows, const TFieldTypeSet& allowed) {
        offered = allowed.Types();
        EXPECT_EQ(rows.Count(), 0);
        rows.Add(TDatabaseField::NewField(QStringLiteral("Name")));
        rows.Add(TDatabaseField::NewField(QStringLiteral("Age"), TFieldType::Integer));
        return true;
    };
    Trigger("ADatabaseCreate");
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();
    EXPECT_EQ(offered, (QList<TFieldType>{TFieldType::String, TFieldType::Integer,
                                          TFieldType::Boolean, TFieldType::Float,
                                          TFieldType::Currency, TFieldType::Date,
                                          TFieldType::Time}));
    EXPECT_EQ(Card->DataSourceName, Data("people.db"));
    ASSERT_TRUE(Card->DataTable()->IsOpen());
    EXPECT_EQ(Card->DataTable()->FieldNames(), (QStringList{"Name", "Age"}));
    EXPECT_EQ(Card->DataTable()->RecordCount(), 0);
    EXPECT_TRUE(Enabled("ADatabaseEdit"));
}

TEST_F(DatabaseCommandsTest, CancellingTheDesignOfANewTableLeavesTheDocumentUnconnected) {
    Dialogs.AnswerNewDatabaseFileName = [this] { return Data("people.dbf"); };
    Dialogs.AnswerTableDesign = [](TDatabaseFieldTable&, const TFieldTypeSet&) { return false; };
    Trigger("ADatabaseCreate");
    EXPECT_TRUE(Card->DataSourceName.isEmpty());
    EXPECT_FALSE(QFile::exists(Data("people.dbf")));
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());

    // A design the table engine refuses (a repeated name) creates nothing either.
    Dialogs.AnswerTableDesign = [](TDatabaseFieldTable& rows, const TFieldTypeSet&) {
        rows.Add(TDatabaseField::NewField(QStringLiteral("Name")));
        rows.Add(TDatabaseField::NewField(QStringLiteral("NAME")));
        return true;
    };
    Trigger("ADatabaseCreate");
    EXPECT_EQ(Test.Messages.Errors.size(), 1);
    EXPECT_TRUE(Card->DataSourceName.isEmpty());
    EXPECT_FALSE(QFile::exists(Data("people.dbf")));
}

TEST_F(DatabaseCommandsTest, RestructuringFromTheRecordGridKeepsTheDataOfRenamedFields) {
    MakePeopleTable(Tables.path(), QStringLiteral("people.dbf"), {{"Bob", 40}, {"Ann", 31}});
    Connect(Data("people.dbf"));
    ASSERT_EQ(Shown(), QStringLiteral("Hi Bob"));
    Dialogs.AnswerTableDesign = [](TDatabaseFieldTable& rows, const TFieldTypeSet&) {
        const int name = rows.IndexOf(QStringLiteral("Name"));
        rows.At(name).Rename(QStringLiteral("Given"));
        rows.At(name).Rename(QStringLiteral("First"));
        rows.Add(TDatabaseField::NewField(QStringLiteral("Town")));
        return true;
    };
    bool restructured = false;
    Dialogs.AnswerEditRecords = [&](TTable&, const std::function<bool()>& restructure) {
        restructured = restructure();
    };
    Trigger("ADatabaseEdit");
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();
    EXPECT_TRUE(restructured);
    TRecordSource& table = *Card->DataTable();
    ASSERT_TRUE(table.IsOpen());
    EXPECT_EQ(table.FieldNames(), (QStringList{"First", "Age", "Town"}));
    ASSERT_EQ(table.RecordCount(), 2);
    table.MoveTo(2);
    EXPECT_EQ(table.FieldText(QStringLiteral("First")), QStringLiteral("Ann"));
    EXPECT_EQ(table.FieldText(QStringLiteral("Age")), QStringLiteral("31"));
    EXPECT_EQ(table.FieldText(QStringLiteral("Town")), QString());
    // The headline's field is gone: it shows the placeholder, not a stale name.
    EXPECT_EQ(Shown(), QStringLiteral("Hi <Name>"));
    EXPECT_FALSE(QFile::exists(Data("TEMP.dbf")));
}

TEST_F(DatabaseCommandsTest, TheAddressBookTableLivesOnlyWhileConnected) {
    const QString vcards = QStringLiteral(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Moe;Bo;;;\r\nFN:Bo Moe\r\nEND:VCARD\r\n");
    WriteFile(QDir(User.path()).filePath("contacts.vcf"), vcards.toUtf8());
    Greeting->Text = QStringLiteral("Hi <First> <Last>");
    Greeting->ScanPlaceholders();
    Trigger("ADatabaseConnectAddressBook");
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();
    EXPECT_TRUE(Card->AddressBookSource);
    const QString table =
        QDir(QFileInfo(AppContext().TemplateFolder).path()).filePath(TCard::AddressBookTableName);
    EXPECT_TRUE(QFile::exists(table));
    EXPECT_EQ(Card->DataTable()->RecordCount(), 2);
    EXPECT_EQ(Card->DataTable()->FieldNames().size(), 28);
    EXPECT_EQ(Shown(), QStringLiteral("Hi Ann Lee"));
    Trigger("ADatabaseNext");
    EXPECT_EQ(Shown(), QStringLiteral("Hi Bo Moe"));

    // Editing the address book rewrites the table; the document starts again at its first
    // record.
    WriteFile(QDir(User.path()).filePath("contacts.vcf"),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Roe;Cy;;;\r\nFN:Cy Roe\r\nEND:VCARD\r\n");
    for (int i = 0; i < 100 && Shown() != QStringLiteral("Hi Cy Roe"); ++i)
    {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    EXPECT_EQ(Shown(), QStringLiteral("Hi Cy Roe"));
    EXPECT_EQ(Card->DataTable()->RecordCount(), 1);
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();

    // Edit opens the address book in its own application, not the copy in a record grid.
    bool gridAsked = false;
    Dialogs.AnswerEditRecords = [&](TTable&, const std::function<bool()>&) { gridAsked = true; };
    TUrlRecorder opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "Open");
    Trigger("ADatabaseEdit");
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_FALSE(gridAsked);
    EXPECT_EQ(opened.Urls,
              QList<QUrl>{QUrl::fromLocalFile(QDir(User.path()).filePath("contacts.vcf"))});

    Trigger("ADatabaseDisconnect");
    EXPECT_FALSE(Card->AddressBookSource);
    EXPECT_FALSE(QFile::exists(table));
}

// The record grid.

TEST_F(DatabaseCommandsTest, TheRecordGridKeepsATypedValueThatCannotBePosted) {
    MakePeopleTable(Tables.path(), QStringLiteral("people.db"), {{"Bob", 40}, {"Ann", 31}});
    TTable table;
    table.SetTable(Tables.path(), QStringLiteral("people.db"));
    table.Open();
    TRecordEditForm form(table);
    QTableWidget* grid = form.Grid();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("Ann"));

    form.AppendRecord();
    ASSERT_EQ(grid->rowCount(), 3);
    grid->item(2, 0)->setText(QStringLiteral("Eve"));
    grid->item(2, 1)->setText(QStringLiteral("forty"));
    EXPECT_FALSE(form.PostRecord());
    ASSERT_EQ(Test.Messages.Errors.size(), 1);
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(form.EditRow(), 2);
    EXPECT_EQ(grid->item(2, 0)->text(), QStringLiteral("Eve"));
    EXPECT_EQ(grid->item(2, 1)->text(), QStringLiteral("forty"));

    // Neither leaving the row nor closing loses it.
    grid->setCurrentCell(0, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(Test.Messages.Errors.size(), 2);
    EXPECT_EQ(form.EditRow(), 2);
    EXPECT_EQ(grid->currentRow(), 2);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(grid->item(2, 1)->text(), QStringLiteral("forty"));

    grid->item(2, 1)->setText(QStringLiteral("44"));
    EXPECT_TRUE(form.PostRecord());
    EXPECT_EQ(form.EditRow(), -1);
    ASSERT_EQ(table.RecordCount(), 3);
    table.MoveTo(3);
    EXPECT_EQ(table.FieldValue(QStringLiteral("Age")).toInt(), 44);

    // Changing a record and deleting one.
    grid->setCurrentCell(0, 1);
    grid->item(0, 1)->setText(QStringLiteral("41"));
    grid->setCurrentCell(1, 0); // leaving the row posts it
    table.MoveTo(1);
    EXPECT_EQ(table.FieldValue(QStringLiteral("Age")).toInt(), 41);
    grid->setCurrentCell(1, 0);
    form.DeleteRecord();
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("Eve"));
}

// The design grid.

TEST(DatabaseDesignForm, RowsFollowTheGridAndBadDesignsAreRefused) {
    TTestContext test;
    const TDatabaseFieldTable start = TDatabaseFieldTable::FromFieldDefs(
        {{QStringLiteral("A"), TFieldType::String, 24, false}});
    TDatabaseDesignForm form(start, TFieldTypeSet(TFieldTypeSet::CreateCommand), false);
    QTableWidget* grid = form.Grid();
    auto* types = qobject_cast<QComboBox*>(grid->cellWidget(0, 1));
    ASSERT_TRUE(types);
    EXPECT_EQ(types->count(), 7);

    grid->item(0, 0)->setText(QStringLiteral("B"));
    grid->item(0, 0)->setText(QStringLiteral("C"));
    EXPECT_EQ(form.Rows().At(0).Mapping, QStringLiteral("C=A"));
    grid->item(0, 3)->setCheckState(Qt::Checked);
    EXPECT_TRUE(form.Rows().At(0).Required);

    form.AddField();
    ASSERT_EQ(form.Rows().Count(), 2);
    EXPECT_TRUE(form.Rows().At(1).IsNew);
    EXPECT_TRUE(form.Rows().At(1).MappedSource().isEmpty());
    form.SetFieldType(1, TFieldType::Float);
    EXPECT_EQ(form.Rows().At(1).Size, 0);
    form.SetFieldType(1, TFieldType::String);
    EXPECT_EQ(form.Rows().At(1).Size, 24);
    form.SetFieldSize(1, 300); // beyond the rule: held at 255
    EXPECT_EQ(form.Rows().At(1).Size, 255);

    grid->item(1, 0)->setText(QStringLiteral("c"));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(test.Messages.Errors.size(), 1);
    grid->item(1, 0)->setText(QStringLiteral("D"));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);

    form.Grid()->setCurrentCell(0, 0);
    form.DeleteField();
    EXPECT_EQ(form.Rows().Count(), 1);
    EXPECT_EQ(form.Rows().At(0).Name, QStringLiteral("D"));
}

TEST(DatabaseDialog, WithoutATableItSaysSo) {
    TTestContext test;
    TDatabaseDialog dialog;
    EXPECT_FALSE(dialog.Execute());
    TTable unnamed;
    dialog.DataSet = &unnamed;
    dialog.Name = QStringLiteral("Designer");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(test.Messages.Errors,
              (QStringList{QStringLiteral("You must assign a value to the DataSet property."),
                           QStringLiteral("You must set the value of the DataSet property in "
                                          "the TDatabaseDialog component named 'Designer'.")}));
}

TEST_F(DatabaseCommandsTest, AReopenedDocumentShowsTheFirstRecordOfItsTable) {
    WriteFile(Data("names.csv"), "Name\r\nBob\r\nAnn\r\n");
    Connect(Data("names.csv"));
    Trigger("ADatabaseNext");
    const QString document = Data("greeting.qdx");
    ASSERT_TRUE(Main->Files().WriteDocument(*Main->ActiveEditor(), document, false));
    Trigger("AClose");
    TCardForm* reopened = Main->Files().OpenFile(document);
    ASSERT_TRUE(reopened);
    TCard& card = reopened->Card();
    EXPECT_EQ(card.DataSourceName, Data("names.csv"));
    THeadlineObject* headline = nullptr;
    card.ForEachObject([&](TCardObject* object) {
        if (auto* h = dynamic_cast<THeadlineObject*>(object)) headline = h;
    });
    ASSERT_TRUE(headline);
    EXPECT_EQ(headline->HeadlineText().Lines, QStringList{QStringLiteral("Hi Bob")});
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join('|').toStdString();
}
