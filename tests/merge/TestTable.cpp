#include "merge/Table.h"
#include "merge/LabelCatalogueTable.h"

#include "support/DocumentFixtures.h"
#include "support/SmallDisk.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString TablesFolder = QStringLiteral(QDX_TEST_DATA "/tables");
const QString MalformedFolder = QStringLiteral(QDX_TEST_DATA "/malformed/tables");

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The current record's fields as merges show them.
QStringList CurrentTexts(const TTable& table) {
    QStringList texts;
    for (const QString& name : table.FieldNames()) texts.append(table.FieldText(name).value_or("?"));
    return texts;
}

QList<QStringList> AllTexts(TTable& table) {
    QList<QStringList> rows;
    for (table.First(); !table.Eof(); table.Next()) rows.append(CurrentTexts(table));
    return rows;
}

// Copies fixtures into a folder of the test's own, so that nothing writes into the sources.
class TableTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Folder.isValid()); }
    QString Path(const QString& name) const { return Folder.filePath(name); }
    void CopyFixture(const QString& name) {
        ASSERT_TRUE(QFile::copy(TablesFolder + QLatin1Char('/') + name, Path(name))) << name.toStdString();
        QFile::setPermissions(Path(name), QFile::ReadOwner | QFile::WriteOwner);
    }

    TTestContext Context;
    QTemporaryDir Folder;
};

const TFieldDefs PeopleFields{
    {"Name", TFieldType::String, 20, false},   {"City", TFieldType::String, 30, false},
    {"Age", TFieldType::SmallInt, 0, false},   {"Joined", TFieldType::Date, 0, false},
    {"Active", TFieldType::Boolean, 0, false}, {"Balance", TFieldType::Float, 0, false},
};

const QList<QStringList> PeopleRows{
    {"Müller", "Köln", "42", "1990-05-17", "True", "1234.5"},
    {"Zoë", "", "7", "", "False", "-0.25"},
    {"Smith, Ann \"Jr\"", "New York", "", "2001-12-31", "", ""},
};

void AppendRows(TTable& table, const QList<QStringList>& rows) {
    const QStringList names = table.FieldNames();
    for (const QStringList& row : rows) {
        table.Append();
        for (int f = 0; f < row.size(); ++f) table.SetFieldText(names[f], row[f]);
        table.Post();
    }
}

class TableFormatTest : public TableTest, public testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(TableFormatTest, RoundTripsFieldsAndRecordsWithNonAsciiAndEmptyValues) {
    const QString name = QString::fromLatin1(GetParam());
    TTable table;
    table.SetTable(Folder.path(), name);
    table.Create(PeopleFields);
    EXPECT_FALSE(table.IsOpen());
    EXPECT_THROW(table.Create(PeopleFields), EDatabaseError); // exists already
    table.Open();
    AppendRows(table, PeopleRows);
    EXPECT_EQ(table.RecordCount(), 3);
    table.Close();

    TTable reread;
    reread.Open(Folder.path(), name, TRecordSource::TypeForExtension(name));
    EXPECT_EQ(reread.FieldDefs(), reread.StoredFieldDefs(PeopleFields));
    EXPECT_EQ(AllTexts(reread), PeopleRows);
    reread.First();
    EXPECT_EQ(reread.FieldValue("City"), QVariant("Köln"));
    reread.Next();
    EXPECT_FALSE(reread.FieldValue("city").isValid()) << "an empty value reads back as none";
    EXPECT_EQ(reread.FieldText("CITY"), QString());

    // Editing one record rewrites the file with the others unchanged.
    reread.First();
    reread.Edit();
    reread.SetFieldText("City", "Zürich");
    reread.Post();
    reread.Close();
    reread.Open();
    QList<QStringList> expected = PeopleRows;
    expected[0][1] = "Zürich";
    EXPECT_EQ(AllTexts(reread), expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, TableFormatTest,
                         testing::Values("names.DB", "names.dbf", "names.TXT", "names.csv"),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param).replace('.', '_').toStdString();
                         });

TEST_F(TableTest, ParadoxAndDbaseStoreTextInTheTablesCodePage) {
    for (const char* name : {"cp.DB", "cp.DBF"}) {
        TTable table;
        table.SetTable(Folder.path(), name);
        table.Create({{"Name", TFieldType::String, 20, false}});
        table.Open();
        AppendRows(table, {{"Müller"}});
        // A character the code page lacks is refused and the typed value stays pending.
        table.Append();
        table.SetFieldText("Name", "Ωmega");
        EXPECT_THROW(table.Post(), EDatabaseError) << name;
        EXPECT_EQ(table.State(), TTable::TState::Insert);
        EXPECT_EQ(table.FieldValue("Name"), QVariant("Ωmega"));
        table.Cancel();
        EXPECT_EQ(table.RecordCount(), 1);
        table.Close();
        const QByteArray bytes = ReadFile(Path(name));
        EXPECT_TRUE(bytes.contains("M\xFCller")) << name << " holds Windows-1252 bytes";
        EXPECT_FALSE(bytes.contains("M\xC3\xBCller")) << name;
    }
}

TEST_F(TableTest, ReadsDbaseTablesWrittenByShapelibTools) {
    for (const char* name : {"people.dbf", "dos850.dbf", "utf8.dbf", "utf8.cpg"}) CopyFixture(name);
    TTable people;
    people.Open(Folder.path(), "people.dbf", TRecordSource::TTableType::DBase);
    EXPECT_EQ(people.FieldNames(), QStringList({"Name", "City", "Age", "Balance"}));
    EXPECT_EQ(people.FieldDefs()[2].Type, TFieldType::SmallInt);
    EXPECT_EQ(people.FieldDefs()[3].Type, TFieldType::Float);
    EXPECT_EQ(AllTexts(people), QList<QStringList>({{"Müller", "Köln", "42", "1234.5"},
                                                    {"Zoë", "", "7", "-0.25"},
                                                    {"Smith, Ann", "New York", "0", "0"}}));

    TTable dos;
    dos.Open(Folder.path(), "dos850.dbf", TRecordSource::TTableType::DBase);
    EXPECT_EQ(dos.FieldText("Name"), QString("Müller"));
    TTable utf8;
    utf8.Open(Folder.path(), "UTF8.DBF", TRecordSource::TTableType::DBase); // any case finds it
    EXPECT_EQ(utf8.FieldText("name"), QString("Zoë Ångström"));

    // An integer column wider than 32 bits keeps its values through a rewrite.
    CopyFixture("wide.dbf");
    TTable wide;
    wide.Open(Folder.path(), "wide.dbf", TRecordSource::TTableType::DBase);
    EXPECT_EQ(AllTexts(wide), QList<QStringList>({{"Big", "123456789012"}, {"Small", "-5"}}));
    wide.Last();
    wide.Edit();
    wide.SetFieldText("Name", "Tiny");
    wide.Post();
    wide.Close();
    wide.Open();
    EXPECT_EQ(AllTexts(wide), QList<QStringList>({{"Big", "123456789012"}, {"Tiny", "-5"}}));

    // Written back, each keeps its code page.
    for (TTable* table : {&dos, &utf8}) {
        table->Edit();
        table->SetFieldText("Name", table->FieldText("Name").value() + "!");
        table->Post();
    }
    EXPECT_TRUE(ReadFile(Path("dos850.dbf")).contains("M\x81ller!"));
    EXPECT_TRUE(ReadFile(Path("utf8.dbf")).contains("Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m!"));
}

TEST_F(TableTest, DbaseFilesWeWriteAreReadByShapelibTools) {
    const QString dump = QStandardPaths::findExecutable("dbfdump");
    if (dump.isEmpty()) GTEST_SKIP() << "dbfdump (Debian package shapelib) is not installed";
    TTable table;
    table.SetTable(Folder.path(), "out.dbf");
    table.Create(PeopleFields);
    table.Open();
    AppendRows(table, PeopleRows);
    table.Close();
    QProcess process;
    process.start(dump, {"-h", "-r", "-m", Path("out.dbf")});
    ASSERT_TRUE(process.waitForFinished(10000));
    const QByteArray out = process.readAllStandardOutput();
    for (const char* expected : {"Name", "Joined", "M\xFCller", "19900517", "1234.5", "Smith, Ann"})
        EXPECT_TRUE(out.contains(expected)) << expected << "\n" << out.constData();
}

TEST_F(TableTest, ReadsAParadoxTableWithMemosWrittenByAnotherProgram) {
    CopyFixture("contacts.DB");
    CopyFixture("contacts.MB");
    TTable table;
    table.Open(Folder.path(), "contacts.DB", TRecordSource::TTableType::Paradox);
    EXPECT_EQ(table.FieldNames(),
              QStringList({"Name", "City", "Age", "Balance", "Joined", "Active", "Notes"}));
    EXPECT_EQ(table.FieldDefs()[3].Type, TFieldType::Currency);
    EXPECT_EQ(table.FieldDefs()[6].Type, TFieldType::Memo);
    const QString longMemo = QString("A long note. ").repeated(25).trimmed();
    EXPECT_EQ(AllTexts(table),
              QList<QStringList>(
                  {{"Müller", "Köln", "42", "1234.5", "1990-05-17", "True", "short"},
                   {"Zoë", "", "7", "-0.25", "", "False", longMemo},
                   {"Smith, Ann", "New York", "", "", "2001-12-31", "",
                    "Prefers mail to the office, not home."}}));
    EXPECT_FALSE(table.ReadOnly());

    // Rewritten by us in its own code page (850), it reads back the same.
    table.Last();
    table.Edit();
    table.SetFieldText("City", "Zürich");
    table.Post();
    table.Close();
    EXPECT_TRUE(ReadFile(Path("contacts.DB")).contains("Z\x81rich"));
    table.Open();
    table.Last();
    EXPECT_EQ(table.FieldText("City"), QString("Zürich"));
    EXPECT_EQ(table.FieldText("Notes"), QString("Prefers mail to the office, not home."));
    table.Prior();
    EXPECT_EQ(table.FieldText("Notes"), longMemo);

}

TEST_F(TableTest, AParadoxTableWhoseMemoFileIsMissingOrDamagedDoesNotOpen) {
    CopyFixture("contacts.DB");
    CopyFixture("contacts.MB");
    const QByteArray memos = ReadFile(Path("contacts.MB"));
    auto openError = [&]() -> std::string {
        TTable table;
        try {
            table.Open(Folder.path(), "contacts.DB", TRecordSource::TTableType::Paradox);
        } catch (const EDatabaseError& error) {
            EXPECT_FALSE(table.IsOpen());
            return error.what();
        }
        return {};
    };
    EXPECT_EQ(openError(), "");

    // Printing without the long notes would lose them without a word.
    ASSERT_TRUE(QFile::remove(Path("contacts.MB")));
    EXPECT_NE(openError().find("contacts.MB is missing"), std::string::npos) << openError();

    // Every block kind byte wiped: the pointers of the long notes lead nowhere.
    QByteArray damaged = memos;
    for (qsizetype block = 4096; block < damaged.size(); block += 4096) damaged[block] = '\x7f';
    ASSERT_TRUE(WriteFile(Path("contacts.MB"), damaged));
    const std::string reason = openError();
    EXPECT_NE(reason.find("contacts.MB is damaged"), std::string::npos) << reason;
    EXPECT_NE(reason.find("Notes"), std::string::npos) << reason;

    // Cut short in the middle of its blocks.
    ASSERT_TRUE(WriteFile(Path("contacts.MB"), memos.left(4096 + 20)));
    EXPECT_NE(openError().find("damaged"), std::string::npos);
}

TEST_F(TableTest, DelimitedTextHandlesQuotesCommasAndLineBreaks) {
    const QByteArray text = "Name,Note,City\r\n"
                            "\"Smith, Ann\",\"She said \"\"hi\"\"\",Paris\r\n"
                            "Lee,\"two\r\nlines\",\r\n"
                            "Zoë,,Köln\r\n"
                            "O\"Brien,,\r\n";
    ASSERT_TRUE(WriteFile(Path("names.txt"), text));
    TTable table;
    table.Open(Folder.path(), "names.txt", TRecordSource::TTableType::Ascii);
    EXPECT_EQ(AllTexts(table), QList<QStringList>({{"Smith, Ann", "She said \"hi\"", "Paris"},
                                                   {"Lee", "two\r\nlines", ""},
                                                   {"Zoë", "", "Köln"},
                                                   {"O\"Brien", "", ""}}));
    // A rewrite keeps the file as it was, quotes and line ends included; the stray quote is
    // now quoted.
    table.Edit();
    table.Post();
    QByteArray rewritten = text;
    rewritten.replace("O\"Brien", "\"O\"\"Brien\"");
    EXPECT_EQ(ReadFile(Path("names.txt")), rewritten);

    // Windows-1252 text stays Windows-1252 until a value needs more.
    ASSERT_TRUE(WriteFile(Path("old.csv"), "Name\nM\xFCller\n"));
    TTable old;
    old.Open(Folder.path(), "old.csv", TRecordSource::TTableType::Default);
    EXPECT_EQ(old.FieldText("Name"), QString("Müller"));
    AppendRows(old, {{"Zoë"}});
    EXPECT_EQ(ReadFile(Path("old.csv")), QByteArray("Name\nM\xFCller\nZo\xEB\n"));
    AppendRows(old, {{"Ωmega"}});
    EXPECT_EQ(ReadFile(Path("old.csv")), QByteArray("Name\nMüller\nZoë\nΩmega\n"));
}

TEST_F(TableTest, TypeFollowsTheExtensionAndOthersAreRefused) {
    QDir(Folder.path()).mkdir("DATA");
    ASSERT_TRUE(WriteFile(Path("DATA/names.txt"), "Name\nAnn\n"));
    TTable table;
    table.Open(Path("DATA"), "names.txt", TRecordSource::TTableType::Default);
    EXPECT_EQ(table.TableName(), "names.txt");
    EXPECT_EQ(table.Folder(), Path("DATA"));
    EXPECT_EQ(table.FieldText("Name"), QString("Ann"));

    ASSERT_TRUE(WriteFile(Path("names.xls"), "Name\nAnn\n"));
    try {
        table.Open(Folder.path(), "names.xls", TRecordSource::TTableType::Default);
        FAIL() << "opened a .xls file";
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "File type not supported.");
    }
    EXPECT_FALSE(table.IsOpen());
    EXPECT_THROW(table.Open(Folder.path(), "missing.DB", TRecordSource::TTableType::Paradox),
                 EDatabaseError);
}

TEST_F(TableTest, NavigatesWithBofAndEofAndLooksUpFieldsWithoutCase) {
    ASSERT_TRUE(WriteFile(Path("abc.txt"), "Letter\na\nb\nc\n"));
    TTable table;
    table.Open(Folder.path(), "abc.txt", TRecordSource::TTableType::Ascii);
    EXPECT_TRUE(table.Bof());
    EXPECT_FALSE(table.Eof());
    EXPECT_EQ(table.RecordNumber(), 1);
    table.Prior();
    EXPECT_TRUE(table.Bof());
    EXPECT_EQ(table.FieldText("LETTER"), QString("a"));
    table.Next();
    EXPECT_FALSE(table.Bof());
    EXPECT_EQ(table.FieldText("letter"), QString("b"));
    table.Last();
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.FieldText("Letter"), QString("c"));
    table.Next();
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.RecordNumber(), 3);
    table.MoveTo(2);
    EXPECT_EQ(table.FieldText("Letter"), QString("b"));
    EXPECT_EQ(table.FieldIndex("lEtTeR"), 0);
    EXPECT_EQ(table.FieldText("Missing"), std::nullopt);

    ASSERT_TRUE(WriteFile(Path("empty.txt"), "Letter\n"));
    table.Open(Folder.path(), "empty.txt", TRecordSource::TTableType::Ascii);
    EXPECT_TRUE(table.Bof() && table.Eof());
    EXPECT_EQ(table.RecordNumber(), 0);
    EXPECT_EQ(table.FieldText("Letter"), QString());
    table.Next();
    table.Last();
    EXPECT_TRUE(table.Bof() && table.Eof());
}

TEST_F(TableTest, ExclusiveOpenKeepsOtherTablesOut) {
    ASSERT_TRUE(WriteFile(Path("shared.txt"), "Name\nAnn\n"));
    TTable first, second;
    first.Open(Folder.path(), "shared.txt", TRecordSource::TTableType::Ascii);
    second.SetTable(Folder.path(), "shared.txt");
    second.SetExclusive(true);
    try {
        second.Open();
        FAIL() << "exclusive open beside a shared one";
    } catch (const EExclusiveAccess& error) {
        EXPECT_STREQ(error.what(), "You do not have exclusive access to the database.");
    }
    EXPECT_THROW(second.Empty(), EExclusiveAccess);
    EXPECT_THROW(second.Delete(), EExclusiveAccess);
    EXPECT_THROW(first.Empty(), EExclusiveAccess) << "a shared open cannot empty the table";

    first.Close();
    second.Open();
    EXPECT_TRUE(second.Exclusive());
    EXPECT_THROW(first.Open(), EDatabaseError);
    EXPECT_FALSE(first.IsOpen());
    second.Empty();
    EXPECT_EQ(second.RecordCount(), 0);
    second.Delete();
    EXPECT_FALSE(QFile::exists(Path("shared.txt")));
}

TEST_F(TableTest, AFailedPostKeepsTheEditPending) {
    TTable table;
    table.SetTable(Folder.path(), "req.DB");
    table.Create({{"Name", TFieldType::String, 10, false}, {"Age", TFieldType::SmallInt, 0, false}});
    table.Open();
    table.Append();
    table.SetFieldText("Age", "5");
    table.SetFieldText("Name", "Ωmega"); // not in the table's code page
    EXPECT_THROW(table.Post(), EDatabaseError);
    EXPECT_EQ(table.State(), TTable::TState::Insert);
    EXPECT_EQ(table.FieldText("Age"), QString("5"));
    EXPECT_EQ(table.FieldText("Name"), QString("Ωmega"));
    EXPECT_THROW(table.SetFieldText("Age", "many"), EDatabaseError);
    EXPECT_THROW(table.SetFieldText("Age", "70000"), EDatabaseError);
    EXPECT_THROW(table.SetFieldText("Age", "-32768"), EDatabaseError); // the null of Paradox
    EXPECT_EQ(table.FieldText("Age"), QString("5")) << "a rejected value leaves the old one";
    // Moving away posts, and a failing post stops the move.
    EXPECT_THROW(table.First(), EDatabaseError);
    EXPECT_EQ(table.State(), TTable::TState::Insert);
    table.SetFieldText("Name", "Omega");
    table.Post();
    EXPECT_EQ(table.State(), TTable::TState::Browse);
    EXPECT_EQ(table.RecordCount(), 1);

    // A write that fails (the file cannot be replaced) keeps the edit too.
    table.Edit();
    table.SetFieldText("Name", "Bea");
    ASSERT_TRUE(QDir(Folder.path()).mkdir("req.DB.blocked"));
    ASSERT_TRUE(QFile::remove(Path("req.DB")));
    ASSERT_TRUE(QDir(Folder.path()).rename("req.DB.blocked", "req.DB")); // a folder now
    EXPECT_THROW(table.Post(), EDatabaseError);
    EXPECT_EQ(table.State(), TTable::TState::Edit);
    EXPECT_EQ(table.FieldText("Name"), QString("Bea"));
}

TEST_F(TableTest, ATableThatChangesOrVanishesWhileOpenStaysConsistent) {
    ASSERT_TRUE(WriteFile(Path("live.csv"), "Name,City\nAnn,Rome\nBob,Oslo\n"));
    TTable table;
    table.Open(Folder.path(), "live.csv", TRecordSource::TTableType::Default);
    table.Next();
    table.Refresh(); // unchanged: nothing happens
    EXPECT_EQ(table.FieldText("Name"), QString("Bob"));

    // Another program drops a field: it gives no value any more, the rest still reads.
    ASSERT_TRUE(WriteFile(Path("live.csv"), "Name\nAnn\nBob\nCy\n"));
    table.Refresh();
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.FieldText("Name"), QString("Bob")) << "the record number is kept";
    EXPECT_EQ(table.FieldText("City"), std::nullopt);

    // A pending edit survives a reread that fails.
    table.Edit();
    table.SetFieldText("Name", "Bobby");
    ASSERT_TRUE(QFile::remove(Path("live.csv")));
    EXPECT_THROW(table.Refresh(), EDatabaseError);
    EXPECT_EQ(table.FieldText("Name"), QString("Bobby"));
    table.Refresh(); // reported once
    table.Cancel();
    EXPECT_EQ(table.FieldText("Name"), QString("Bob"));

    // A file that is back is read again; one that became garbage is reported.
    ASSERT_TRUE(WriteFile(Path("live.csv"), "Name\nDee\n"));
    table.Refresh();
    EXPECT_EQ(table.FieldText("Name"), QString("Dee"));
    ASSERT_TRUE(WriteFile(Path("live.csv"), "Name\n\"unterminated\n"));
    EXPECT_THROW(table.Refresh(), EDatabaseError);
    table.Refresh();
    EXPECT_EQ(table.FieldText("Name"), QString("Dee"));
}

TEST_F(TableTest, AppendsAndCopiesBetweenTablesThroughMappings) {
    CopyFixture("people.dbf");
    TTable source;
    source.Open(Folder.path(), "people.dbf", TRecordSource::TTableType::DBase);

    TTable target;
    target.SetTable(Folder.path(), "target.DB");
    target.Create({{"Who", TFieldType::String, 30, false},
                   {"Years", TFieldType::Integer, 0, false},
                   {"City", TFieldType::String, 30, false}});
    target.SetExclusive(true); // to empty it
    target.Open();
    target.AppendFrom(source, ParseFieldMappings({"Who=Name", "Years = Age"}));
    EXPECT_EQ(AllTexts(target), QList<QStringList>({{"Müller", "42", ""},
                                                    {"Zoë", "7", ""},
                                                    {"Smith, Ann", "0", ""}}));
    // Without a mapping, fields pair by name (without regard to case).
    target.Empty();
    target.AppendFrom(source);
    EXPECT_EQ(AllTexts(target)[0], QStringList({"", "", "Köln"}));
    EXPECT_THROW(target.AppendFrom(source, ParseFieldMappings({"Who=Nobody"})), EDatabaseError);

    // A value that does not convert fails the whole append, or becomes empty when asked.
    TTable words;
    ASSERT_TRUE(WriteFile(Path("words.txt"), "Who,Years\nAnn,12\nBob,many\n"));
    words.Open(Folder.path(), "words.txt", TRecordSource::TTableType::Ascii);
    target.Empty();
    EXPECT_THROW(target.AppendFrom(words), EDatabaseError);
    EXPECT_EQ(target.RecordCount(), 0);
    target.AppendFrom(words, std::nullopt, TConversion::NullOnError);
    EXPECT_EQ(AllTexts(target), QList<QStringList>({{"Ann", "12", ""}, {"Bob", "", ""}}));

    source.CopyTo(Folder.path(), "copy.txt");
    TTable copy;
    copy.Open(Folder.path(), "copy.txt", TRecordSource::TTableType::Ascii);
    EXPECT_EQ(copy.FieldNames(), source.FieldNames());
    EXPECT_EQ(AllTexts(copy), AllTexts(source));
    EXPECT_THROW(source.CopyTo(Folder.path(), "copy.txt"), EDatabaseError);
}

TEST_F(TableTest, MalformedTablesAreRefusedCleanly) {
    const QStringList files = QDir(MalformedFolder).entryList(QDir::Files);
    int tables = 0;
    for (const QString& name : files) {
        if (name.endsWith(".sh") || name.endsWith(".MB", Qt::CaseInsensitive)) continue;
        ++tables;
        ASSERT_TRUE(QFile::copy(MalformedFolder + QLatin1Char('/') + name, Path(name)));
        TTable table;
        EXPECT_THROW(table.Open(Folder.path(), name, TRecordSource::TTableType::Default),
                     EDatabaseError)
            << name.toStdString();
        EXPECT_FALSE(table.IsOpen());
    }
    EXPECT_GE(tables, 8);
}

TEST_F(TableTest, ParadoxKeepsEveryKindOfValueIncludingLongMemos) {
    const TFieldDefs fields{
        {"Name", TFieldType::String, 10, false},  {"Small", TFieldType::SmallInt, 0, false},
        {"Big", TFieldType::Integer, 0, false},   {"Flag", TFieldType::Boolean, 0, false},
        {"Money", TFieldType::Currency, 0, false}, {"Day", TFieldType::Date, 0, false},
        {"At", TFieldType::Time, 0, false},       {"Stamp", TFieldType::DateTime, 0, false},
        {"Raw", TFieldType::Bytes, 4, false},     {"Notes", TFieldType::Memo, 10, false},
        {"Picture", TFieldType::Graphic, 0, false},
        {"Data", TFieldType::Blob, 4, false},
    };
    const QString shared = QString("Zoë ").repeated(25);     // in a block shared with others
    const QString own = QString("Müller ").repeated(1000);   // in a block of its own
    const QList<QStringList> rows{
        {"a", "-32767", "2147483647", "True", "12.25", "1999-12-31", "23:59:58",
         "2024-02-29 12:30:00", "00ff1001", "short", "89504e47", "01"},
        {"b", "0", "-1", "False", "-0.5", "0001-01-01", "00:00:00", "1970-01-01 00:00:00", "", shared,
         "", QByteArray(300, '\x7f').toHex()},
        {"c", "", "", "", "", "", "", "", "", own, QByteArray(3000, 'x').toHex(), ""},
    };
    TTable table;
    table.SetTable(Folder.path(), "kinds.DB");
    table.Create(fields);
    table.Open();
    AppendRows(table, rows);
    table.Close();
    table.Open();
    EXPECT_EQ(table.FieldDefs(), table.StoredFieldDefs(fields));
    EXPECT_EQ(AllTexts(table), rows);
    EXPECT_FALSE(table.ReadOnly());
}


TEST(TableOnAFullDisk, APostThatCannotBeWrittenFailsAndLeavesEveryFileWhole) {
    TTestContext context;
    for (const char* name : {"people.csv", "people.dbf", "people.DB"}) {
        SCOPED_TRACE(name);
        TSmallDisk disk(256);
        if (!disk.Mounted()) GTEST_SKIP() << "no small disk can be mounted here";
        TTable table;
        table.SetTable(disk.FilePath(QString()), QString::fromLatin1(name));
        // Paradox keeps its memos in a file of their own, which must stay whole too.
        const bool memos = QString::fromLatin1(name).endsWith(QLatin1String(".DB"));
        TFieldDefs fields{{"Name", TFieldType::String, 20, false}};
        if (memos) fields.push_back({"Notes", TFieldType::Memo, 10, false});
        table.Create(fields);
        table.Open();
        for (const char* who : {"Ann", "Bob"}) {
            table.Append();
            table.SetFieldText("Name", QString::fromLatin1(who));
            if (memos) table.SetFieldText("Notes", QString("Long notes. ").repeated(20) + who);
            table.Post();
        }
        std::map<QString, QByteArray> before;
        for (const QString& file : disk.Files()) before[file] = ReadFile(disk.FilePath(file));
        disk.Fill();
        table.Append();
        table.SetFieldText("Name", QStringLiteral("Cy"));
        EXPECT_THROW(table.Post(), EDatabaseError);
        EXPECT_EQ(table.State(), TTable::TState::Insert); // the typed value is not lost
        std::map<QString, QByteArray> after;
        for (const QString& file : disk.Files()) after[file] = ReadFile(disk.FilePath(file));
        EXPECT_EQ(after, before);
        table.Cancel();
        table.Close();
    }
}

TEST_F(TableTest, TheLabelCatalogueIsReadInTableOrderWithEveryField) {
    TTable table;
    table.SetTable(Folder.path(), "LABLIST.DB");
    table.Create({{"CatNum", TFieldType::String, 24, false},
                  {"LabelType", TFieldType::String, 24, false},
                  {"Color", TFieldType::String, 6, false},
                  {"LabelShape", TFieldType::String, 8, false},
                  {"LabelFeed", TFieldType::String, 5, false},
                  {"SpacingTop", TFieldType::Float, 0, false},
                  {"SpacingLeft", TFieldType::Float, 0, false},
                  {"SpacingHeight", TFieldType::Float, 0, false},
                  {"SpacingWidth", TFieldType::Float, 0, false},
                  {"LabelHeight", TFieldType::Float, 0, false},
                  {"LabelWidth", TFieldType::Float, 0, false},
                  {"NumAcross", TFieldType::SmallInt, 0, false},
                  {"NumDown", TFieldType::SmallInt, 0, false}});
    table.Open();
    for (const char* number : {"5160", "5167"}) {
        table.Append();
        table.SetFieldText("CatNum", QString::fromLatin1(number));
        table.SetFieldText("LabelType", "Address");
        table.SetFieldText("LabelShape", "RRect");
        table.SetFieldText("SpacingTop", "0.5");
        table.SetFieldText("SpacingLeft", "0.1875");
        table.SetFieldText("SpacingHeight", "1");
        table.SetFieldText("SpacingWidth", "2.75");
        table.SetFieldText("LabelHeight", "1");
        table.SetFieldText("LabelWidth", "2.625");
        table.SetFieldText("NumAcross", "3");
        table.SetFieldText("NumDown", "10");
        table.Post();
    }
    table.Close();
    const TLabelCatalogue rows = ReadLabelCatalogue(Folder.path());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Stock.CatNum, QStringLiteral("5160"));
    EXPECT_EQ(rows[1].Stock.CatNum, QStringLiteral("5167"));
    EXPECT_EQ(rows[0].LabelType, QStringLiteral("Address"));
    EXPECT_EQ(rows[0].LabelShape, QStringLiteral("RRect"));
    EXPECT_DOUBLE_EQ(rows[0].Stock.LabelWidth, 2.625);
    EXPECT_DOUBLE_EQ(rows[0].Stock.SpacingLeft, 0.1875);
    EXPECT_EQ(rows[0].Stock.NumAcross * rows[0].Stock.NumDown, 30);
    EXPECT_FALSE(rows[0].FromSystem);
    // A catalogue without sheet sizes is cut from Letter.
    EXPECT_EQ(rows[0].SheetSize, QStringLiteral("Letter"));
    EXPECT_DOUBLE_EQ(rows[0].SheetHeight, 11.0);
}

TEST_F(TableTest, TheLabelCatalogueGivesEachStockItsSheetAndDescription) {
    TTable table;
    table.SetTable(Folder.path(), "LABLIST.DB");
    table.Create({{"CatNum", TFieldType::String, 24, false},
                  {"LabelType", TFieldType::String, 24, false},
                  {"SheetSize", TFieldType::String, 8, false},
                  {"Description", TFieldType::String, 80, false}});
    table.Open();
    const char* const stocks[][3] = {{"L7160", "A4", "Address labels 63.5 x 38.1 mm"},
                                     {"5160", "Letter", ""},
                                     {"X-1", "Quarto", ""}};
    for (const auto& stock : stocks) {
        table.Append();
        table.SetFieldText("CatNum", QString::fromLatin1(stock[0]));
        table.SetFieldText("SheetSize", QString::fromLatin1(stock[1]));
        table.SetFieldText("Description", QString::fromLatin1(stock[2]));
        table.Post();
    }
    table.Close();
    const TLabelCatalogue rows = ReadLabelCatalogue(Folder.path());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].SheetSize, QStringLiteral("A4"));
    EXPECT_NEAR(rows[0].SheetWidth, 8.2677, 1e-4);
    EXPECT_NEAR(rows[0].SheetHeight, 11.6929, 1e-4);
    EXPECT_EQ(rows[0].Description, QStringLiteral("Address labels 63.5 x 38.1 mm"));
    EXPECT_EQ(rows[1].SheetSize, QStringLiteral("Letter"));
    EXPECT_DOUBLE_EQ(rows[1].SheetWidth, 8.5);
    // A size the program does not know is laid out on Letter rather than on nothing.
    EXPECT_EQ(rows[2].SheetSize, QStringLiteral("Letter"));
    EXPECT_DOUBLE_EQ(rows[2].SheetHeight, 11.0);
}

namespace {

QByteArray Utf16(const QString& text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

std::string OpenError(const QString& folder, const QString& name) {
    TTable table;
    try {
        table.Open(folder, name, TRecordSource::TTableType::Default);
    } catch (const EDatabaseError& error) {
        return error.what();
    }
    return {};
}

} // namespace

TEST_F(TableTest, Utf16TextFilesAreReadByTheirByteOrderMarkAndWrittenBackSo) {
    const QString text = QStringLiteral("Name,City\r\n\"Müller, Zoë\",Köln\r\nΩmega,𝄞 Town\r\n");
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        SCOPED_TRACE(int(encoding));
        ASSERT_TRUE(WriteFile(Path("unicode.csv"), Utf16(text, encoding)));
        TTable table;
        table.Open(Folder.path(), "unicode.csv", TRecordSource::TTableType::Default);
        EXPECT_EQ(table.FieldNames(), QStringList({"Name", "City"}));
        EXPECT_EQ(AllTexts(table), QList<QStringList>({{"Müller, Zoë", "Köln"}, {"Ωmega", "𝄞 Town"}}));
        // A change keeps the file UTF-16 in its byte order, mark and line ends included.
        table.Last();
        table.Edit();
        table.SetFieldText("City", "Åre");
        table.Post();
        QString expected = text;
        expected.replace(QStringLiteral("𝄞 Town"), QStringLiteral("Åre"));
        EXPECT_EQ(ReadFile(Path("unicode.csv")), Utf16(expected, encoding));
    }
}

TEST_F(TableTest, ARefusedTextTableSaysOnWhichLineAndWhy) {
    ASSERT_TRUE(WriteFile(Path("open.csv"), "Name,Note\r\nAnn,\"fine\r\nstill\"\r\n\r\nBob,x\r\nCy,\"never\r\nends\r\n"));
    const std::string open = OpenError(Folder.path(), "open.csv");
    EXPECT_NE(open.find("quoted value begun on line 6 does not end"), std::string::npos) << open;

    ASSERT_TRUE(WriteFile(Path("wide.csv"), "Name\nAnn\n\"Bo\nb\"\nCy,extra\n"));
    const std::string wide = OpenError(Folder.path(), "wide.csv");
    EXPECT_NE(wide.find("record on line 5"), std::string::npos) << wide;
    EXPECT_NE(wide.find("more values than the header"), std::string::npos) << wide;

    ASSERT_TRUE(WriteFile(Path("twice.csv"), "Name,City,NAME\nA,B,C\n"));
    EXPECT_NE(OpenError(Folder.path(), "twice.csv").find("names the field NAME twice"),
              std::string::npos);
}

TEST_F(TableTest, TextValuesFollowTheRulesOfTheFilesWriter) {
    // Spaces outside quotes go, stray quotes stay, blank lines and any line end are passed.
    const QByteArray text = "  Name ,\tNote\r\n"
                            "  Ann  ,  \"quoted\"  \n"
                            "\r\n"
                            "   \n"
                            "\"ab\"cd\",O\"Brien\r"
                            "\"x\"\"y\"  ,\"\"\n"
                            "\"a\" \"b\",last";
    ASSERT_TRUE(WriteFile(Path("rules.csv"), text));
    TTable table;
    table.Open(Folder.path(), "rules.csv", TRecordSource::TTableType::Default);
    EXPECT_EQ(table.FieldNames(), QStringList({"Name", "Note"}));
    EXPECT_EQ(AllTexts(table), QList<QStringList>({{"Ann", "quoted"},
                                                   {"ab\"cd", "O\"Brien"},
                                                   {"x\"y", ""},
                                                   {"a\" \"b", "last"}}));
}

TEST_F(TableTest, ValuesLongerThanTheirFieldAreCutWhileReadingAndTheFileIsNotChanged) {
    const QByteArray huge(3 * 1024 * 1024, 'x');
    QByteArray lines;
    while (lines.size() < 1024 * 1024) lines += "one line of it\r\n";
    const QByteArray text = "Name,Note\r\nAnn," + huge + "\r\nBob,\"" + lines + "\"\r\nCy,short\r\n";
    ASSERT_TRUE(WriteFile(Path("long.csv"), text));
    TTable table;
    table.Open(Folder.path(), "long.csv", TRecordSource::TTableType::Default);
    EXPECT_EQ(table.FieldText("Note"), QString(255, QLatin1Char('x')));
    table.Next();
    EXPECT_EQ(table.FieldText("Note"), QString::fromLatin1(lines.left(255)));
    table.Next();
    EXPECT_EQ(table.FieldText("Note"), QStringLiteral("short"));
    // Writing it back would cut the values in the file too.
    EXPECT_TRUE(table.ReadOnly());
    EXPECT_THROW(table.Append(), EDatabaseError);
    EXPECT_EQ(ReadFile(Path("long.csv")), text);

    // 255 characters of two or four bytes each are not cut; past them the cut keeps pairs.
    const QString accents(255, QChar(0xE9));
    const QString astral = QString::fromUtf8("\xF0\x9D\x84\x9E").repeated(200);
    ASSERT_TRUE(WriteFile(Path("wide.csv"), "Note\n" + accents.toUtf8() + "\n" + astral.toUtf8() + "\n"));
    TTable wide;
    wide.Open(Folder.path(), "wide.csv", TRecordSource::TTableType::Default);
    EXPECT_EQ(wide.FieldText("Note"), accents);
    wide.Next();
    EXPECT_EQ(wide.FieldText("Note"), astral.left(254));
    EXPECT_TRUE(wide.ReadOnly());
}

TEST_F(TableTest, LargeTablesAreReadRecordByRecordInAnyOrder) {
    constexpr int Records = 1000;
    QByteArray text = "Number,Note\r\n";
    for (int i = 1; i <= Records; ++i) {
        text += QByteArray::number(i) + (i % 7 ? ",plain\r\n" : ",\"two\r\nlines\"\r\n");
        if (i % 100 == 0) text += "\r\n"; // blank lines do not count
    }
    ASSERT_TRUE(WriteFile(Path("many.csv"), text));

    TTable dbf;
    dbf.SetTable(Folder.path(), "many.dbf");
    dbf.Create({{"Number", TFieldType::Integer, 0, false}, {"Note", TFieldType::String, 10, false}});
    dbf.SetExclusive(true);
    dbf.Open();
    TTable source;
    source.Open(Folder.path(), "many.csv", TRecordSource::TTableType::Default);
    dbf.AppendFrom(source);
    dbf.Close();
    // Every third record deleted, as dBase marks them.
    QByteArray bytes = ReadFile(Path("many.dbf"));
    const int header = quint8(bytes[8]) | quint8(bytes[9]) << 8;
    const int length = quint8(bytes[10]) | quint8(bytes[11]) << 8;
    for (int r = 2; r < Records; r += 3) bytes[header + r * length] = '*';
    ASSERT_TRUE(WriteFile(Path("many.dbf"), bytes));
    std::vector<int> live;
    for (int i = 1; i <= Records; ++i)
        if (i % 3 != 0) live.push_back(i);

    for (const char* name : {"many.csv", "many.dbf"}) {
        SCOPED_TRACE(name);
        const bool csv = QString::fromLatin1(name).endsWith(".csv");
        const std::vector<int> numbers = csv ? [] {
            std::vector<int> all;
            for (int i = 1; i <= Records; ++i) all.push_back(i);
            return all;
        }() : live;
        TTable table;
        table.Open(Folder.path(), name, TRecordSource::TTableType::Default);
        ASSERT_EQ(table.RecordCount(), int(numbers.size()));
        for (const int position : {int(numbers.size()), 1, 500, 33, 32, 64, 65, 31, 2, 300, 299}) {
            table.MoveTo(position);
            const int number = numbers[size_t(position - 1)];
            EXPECT_EQ(table.FieldText("number"), QString::number(number)) << position;
            if (csv) {
                EXPECT_EQ(table.FieldText("Note"),
                          number % 7 ? QStringLiteral("plain") : QStringLiteral("two\r\nlines"));
            }
        }
        int visited = 0;
        for (table.First(); !table.Eof(); table.Next())
            ASSERT_EQ(table.FieldText("Number"), QString::number(numbers[size_t(visited++)]));
        EXPECT_EQ(visited, int(numbers.size()));

        // A change reads every record first, so none is lost by the rewrite.
        table.MoveTo(10);
        table.Edit();
        table.SetFieldText("Note", "changed");
        table.Post();
        EXPECT_EQ(table.RecordCount(), int(numbers.size()));
        table.Close();
        table.Open();
        table.MoveTo(10);
        EXPECT_EQ(table.FieldText("Note"), QStringLiteral("changed"));
        table.Last();
        EXPECT_EQ(table.FieldText("Number"), QString::number(numbers.back()));

        // Cut short in place by another program: what is gone reads as empty, without harm.
        const QByteArray whole = ReadFile(Path(name));
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(whole.size() / 2));
        file.close();
        table.MoveTo(int(numbers.size()) - 1);
        EXPECT_EQ(table.FieldText("Number"), QString());
        table.First();
        EXPECT_EQ(table.FieldText("Number"), QString::number(numbers.front()));
    }
}

TEST_F(TableTest, FieldsOfATableOfTenThousandColumnsAreFoundByNameWithoutCase) {
    QByteArray text;
    for (int c = 0; c < 10000; ++c) text += (c ? ",Feld" : "Feld") + QByteArray::number(c);
    text += "\n";
    for (int c = 0; c < 10000; ++c) text += (c ? "," : "") + QByteArray::number(c * 3);
    text += "\n";
    text.replace("Feld9999", "Ärger");
    ASSERT_TRUE(WriteFile(Path("columns.csv"), text));
    TTable table;
    table.Open(Folder.path(), "columns.csv", TRecordSource::TTableType::Default);
    EXPECT_EQ(table.FieldIndex("FELD0"), 0);
    EXPECT_EQ(table.FieldIndex("feld5000"), 5000);
    EXPECT_EQ(table.FieldIndex("äRGER"), 9999);
    EXPECT_EQ(table.FieldIndex("Feld10000"), -1);
    EXPECT_EQ(table.FieldText("fElD1234"), QStringLiteral("3702"));
}
