#include "merge/Restructure.h"

#include "support/DocumentFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString TablesFolder = QStringLiteral(QDX_TEST_DATA "/tables");

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QStringList> AllTexts(TTable& table) {
    QList<QStringList> rows;
    for (table.First(); !table.Eof(); table.Next()) {
        QStringList row;
        for (const QString& name : table.FieldNames()) row.append(table.FieldText(name).value_or("?"));
        rows.append(row);
    }
    return rows;
}

class RestructureTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Folder.isValid()); }
    QString Path(const QString& name) const { return Folder.filePath(name); }
    // A table of two people, open exclusively.
    void MakePeople(TTable& table, const QString& name) {
        table.SetTable(Folder.path(), name);
        table.Create({{"Name", TFieldType::String, 20, false},
                      {"City", TFieldType::String, 20, false},
                      {"Age", TFieldType::SmallInt, 0, false}});
        table.SetExclusive(true);
        table.Open();
        for (const QStringList& row : QList<QStringList>{{"Müller", "Köln", "42"}, {"Zoë", "", "7"}}) {
            table.Append();
            table.SetFieldText("Name", row[0]);
            table.SetFieldText("City", row[1]);
            table.SetFieldText("Age", row[2]);
            table.Post();
        }
    }
    QStringList Files() const {
        return QDir(Folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    TTestContext Context;
    QTemporaryDir Folder;
};

class RestructureFormatTest : public RestructureTest,
                              public testing::WithParamInterface<const char*> {};

} // namespace

TEST(DatabaseFields, RenamingKeepsTheMappingToTheOriginalField) {
    TDatabaseFieldTable rows = TDatabaseFieldTable::FromFieldDefs(
        {{"A", TFieldType::String, 10, false}, {"N", TFieldType::Integer, 0, false}});
    EXPECT_EQ(rows.At(0).Mapping, "A=A");
    rows.At(0).Rename("B");
    rows.At(0).Rename("C");
    EXPECT_EQ(rows.At(0).Mapping, "C=A");
    EXPECT_EQ(rows.At(0).MappedSource(), "A");
    EXPECT_EQ(rows.At(0).OldName, "A");

    TDatabaseField added = TDatabaseField::NewField("D");
    added.Rename("E");
    EXPECT_TRUE(added.Mapping.isEmpty()) << "a new field has nothing to map from";
    EXPECT_EQ(added.Size, 24);
    EXPECT_EQ(TDatabaseField::NewField("M", TFieldType::Memo).Size, 1);
    rows.Add(added);
    EXPECT_EQ(rows.IndexOf("e"), 2);
    EXPECT_NO_THROW(rows.Validate());
}

TEST(DatabaseFields, ValidationRefusesWhatNoTableCanHold) {
    auto invalid = [](TDatabaseField row) {
        TDatabaseFieldTable rows;
        rows.Add(TDatabaseField::NewField("Other"));
        rows.Add(row);
        EXPECT_THROW(rows.Validate(), EDatabaseError) << row.Name.toStdString();
    };
    invalid(TDatabaseField::NewField(QString(26, 'x')));
    invalid(TDatabaseField::NewField("  "));
    invalid(TDatabaseField::NewField("OTHER"));
    TDatabaseField sized = TDatabaseField::NewField("S");
    sized.Size = 256;
    invalid(sized);
    sized.Size = 0;
    invalid(sized);
    TDatabaseField typed = TDatabaseField::NewField("T");
    typed.FieldTypeCode = 16;
    invalid(typed);
    TDatabaseField mapped = TDatabaseField::NewField("M");
    mapped.Mapping = "M=" + QString(52, 'y');
    invalid(mapped);
    EXPECT_THROW(TDatabaseFieldTable().Validate(), EDatabaseError);

    TDatabaseField longest = TDatabaseField::NewField(QString(25, 'x'));
    TDatabaseFieldTable ok;
    ok.Add(longest);
    EXPECT_NO_THROW(ok.Validate());
}

TEST(DatabaseFields, CreateCommandOffersSevenTypes) {
    const TFieldTypeSet create(TFieldTypeSet::CreateCommand);
    EXPECT_EQ(create.Types(),
              QList<TFieldType>({TFieldType::String, TFieldType::Integer, TFieldType::Boolean,
                                 TFieldType::Float, TFieldType::Currency, TFieldType::Date,
                                 TFieldType::Time}));
    EXPECT_EQ(TFieldTypeSet().Types().size(), FieldTypeCount);
    EXPECT_EQ(TFieldTypeSet(0).Types(), QList<TFieldType>{TFieldType::String});
    EXPECT_EQ(FieldTypeName(TFieldType::Float), "Floating Point");
    EXPECT_EQ(FieldTypeName(TFieldType::VarBytes), "Variable Bytes");
}

TEST_P(RestructureFormatTest, MapsRenamedFieldsConvertsTypesAndStartsNewFieldsEmpty) {
    const QString name = QString::fromLatin1(GetParam());
    TTable table;
    MakePeople(table, name);
    const QStringList before = Files();

    TDatabaseFieldTable rows = TDatabaseFieldTable::FromFieldDefs(table.FieldDefs());
    rows.At(0).Rename("Who");
    rows.At(0).Rename("Person");
    rows.Delete(1);                                         // City's data is dropped
    rows.At(1).FieldTypeCode = quint8(TFieldType::String); // Age becomes text
    rows.At(1).Size = 5;
    rows.Add(TDatabaseField::NewField("Email"));
    rows.Move(2, 0);
    RestructureTable(table, rows);

    EXPECT_TRUE(table.Exclusive());
    EXPECT_EQ(table.FieldNames(), QStringList({"Email", "Person", "Age"}));
    EXPECT_EQ(AllTexts(table), QList<QStringList>({{"", "Müller", "42"}, {"", "Zoë", "7"}}));
    EXPECT_EQ(Files(), before) << "the TEMP copy is gone";

    // Back to a number: text that is no number becomes empty rather than failing.
    table.Last();
    table.Edit();
    table.SetFieldText("Age", "old");
    table.Post();
    rows = TDatabaseFieldTable::FromFieldDefs(table.FieldDefs());
    rows.At(2).FieldTypeCode = quint8(TFieldType::Integer);
    RestructureTable(table, rows);
    table.Close();
    table.Open();
    // Text tables keep no types: there the text stays.
    const bool text = name.endsWith(".txt");
    EXPECT_EQ(table.FieldDefs()[2].Type == TFieldType::String, text);
    EXPECT_EQ(AllTexts(table),
              QList<QStringList>({{"", "Müller", "42"}, {"", "Zoë", text ? "old" : ""}}));
}

INSTANTIATE_TEST_SUITE_P(Formats, RestructureFormatTest,
                         testing::Values("people.DB", "people.dbf", "people.txt"),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param).replace('.', '_').toStdString();
                         });

TEST_F(RestructureTest, AFailedRestructureRestoresTheTableExactly) {
    // A UTF-8 dBase table: widths count bytes, so 13 characters of text can need more.
    for (const char* file : {"utf8.dbf", "utf8.cpg"}) {
        ASSERT_TRUE(QFile::copy(TablesFolder + "/" + file, Path(file)));
        QFile::setPermissions(Path(file), QFile::ReadOwner | QFile::WriteOwner);
    }
    const QByteArray table0 = ReadFile(Path("utf8.dbf"));
    TTable table;
    table.SetTable(Folder.path(), "utf8.dbf");
    table.SetExclusive(true);
    table.Open();
    const QStringList before = Files();
    TDatabaseFieldTable rows = TDatabaseFieldTable::FromFieldDefs(table.FieldDefs());
    rows.At(0).Size = 13;
    rows.Add(TDatabaseField::NewField("Extra"));
    EXPECT_THROW(RestructureTable(table, rows), EDatabaseError);

    EXPECT_EQ(ReadFile(Path("utf8.dbf")), table0);
    EXPECT_EQ(Files(), before);
    ASSERT_TRUE(table.IsOpen());
    EXPECT_TRUE(table.Exclusive());
    EXPECT_EQ(table.FieldNames(), QStringList{"Name"});
    EXPECT_EQ(table.FieldText("Name"), QString("Zoë Ångström"));
    // The table still works.
    rows.At(0).Size = 20;
    RestructureTable(table, rows);
    EXPECT_EQ(table.FieldNames(), QStringList({"Name", "Extra"}));
    EXPECT_EQ(table.FieldText("Name"), QString("Zoë Ångström"));
}

TEST_F(RestructureTest, NeedsExclusiveAccessAndSparesATableCalledTemp) {
    TTable user;
    user.SetTable(Folder.path(), "TEMP.DB");
    user.Create({{"Mine", TFieldType::String, 5, false}});
    const QByteArray userBytes = ReadFile(Path("TEMP.DB"));

    TTable table;
    MakePeople(table, "people.DB");
    table.Close();
    table.SetExclusive(false);
    table.Open();
    TDatabaseFieldTable rows = TDatabaseFieldTable::FromFieldDefs(table.FieldDefs());
    rows.Add(TDatabaseField::NewField("Email"));
    try {
        RestructureTable(table, rows);
        FAIL() << "restructured a shared table";
    } catch (const EExclusiveAccess& error) {
        EXPECT_STREQ(error.what(), "You do not have exclusive access to the database.");
    }
    EXPECT_EQ(table.FieldNames().size(), 3);

    table.Close();
    table.SetExclusive(true);
    table.Open();
    RestructureTable(table, rows);
    EXPECT_EQ(table.FieldNames().size(), 4);
    EXPECT_EQ(ReadFile(Path("TEMP.DB")), userBytes);
    EXPECT_FALSE(QFile::exists(Path("TEMP1.DB")));
}
