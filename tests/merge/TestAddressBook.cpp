#include "merge/AddressBook.h"
#include "merge/Table.h"
#include "merge/TableEngine.h"
#include "merge/VCardReader.h"

#include "document/Card.h"

#include "support/DocumentFixtures.h"
#include "support/UrlRecorder.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>
#include <QUrl>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace VCardReader;

namespace {

const QString DataFolder = QStringLiteral(QDX_TEST_DATA "/vcards/");

QList<QStringList> ReadFixture(const char* name) {
    return ReadContactsFromFile(DataFolder + QLatin1String(name));
}

// A full address table row: the fields named get their values, all others are empty.
QStringList Row(const std::map<QString, QString>& values) {
    const QStringList names = AddressFieldNames();
    QStringList row(names.size());
    for (const auto& [name, value] : values) {
        const qsizetype field = names.indexOf(name);
        EXPECT_GE(field, 0) << name.toStdString();
        if (field >= 0) row[field] = value;
    }
    return row;
}

// Compares everything but the EntryID.
void ExpectRow(const QStringList& actual, const std::map<QString, QString>& expected) {
    ASSERT_EQ(actual.size(), AddressFieldCount);
    QStringList wanted = Row(expected);
    wanted[afEntryID] = actual[afEntryID];
    if (!expected.count(QStringLiteral("ObjectType"))) wanted[afObjectType] = QStringLiteral("contact");
    for (int field = 0; field < AddressFieldCount; ++field)
        EXPECT_EQ(actual[field], wanted[field]) << AddressFieldNames()[field].toStdString();
}

bool IsHash(const QString& id) {
    return id.size() == 40 && QByteArray::fromHex(id.toLatin1()).size() == 20;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray Card(const QByteArray& body) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + body + "END:VCARD\r\n";
}

} // namespace

TEST(VCardReader, ReadsVersion21WithQuotedPrintableInUtf8AndLatin1) {
    const QList<QStringList> contacts = ReadFixture("version21.vcf");
    ASSERT_EQ(contacts.size(), 2);
    ExpectRow(contacts[0], {{"Display", "Jürgen Müller"},
                            {"First", "Jürgen"},
                            {"Last", "Müller"},
                            {"Address", "Straße 1"},
                            {"City", "Köln"},
                            {"State", "NRW"},
                            {"Zip", "50667"},
                            {"Country", "Deutschland"},
                            {"Phone", "+49 221 1234"},
                            {"Cellular", "+49 170 9999"},
                            {"Email", "juergen@example.de"},
                            {"Company", "Müller & Co."},
                            {"Title", "Director"},
                            {"BusAddress", "Am Hafen 4"},
                            {"BusCity", "Hamburg"},
                            {"BusZip", "20457"},
                            {"BusCountry", "Deutschland"},
                            {"BusPhone", "+49 40 5555"},
                            {"BusFax", "+49 40 5556"},
                            {"Birthday", "1965-04-12"}});
    // ISO-8859-1 with a soft line break; an ADR without TYPE is the home address; the
    // preferred of two home phones wins.
    ExpectRow(contacts[1], {{"Display", "Renée François-Beaumont de la Vallée"},
                            {"First", "Renée"},
                            {"Last", "François"},
                            {"Address", "12 rue de l'Église"},
                            {"City", "Orléans"},
                            {"Zip", "45000"},
                            {"Country", "France"},
                            {"Phone", "02 38 00 00 01"},
                            {"Fax", "02 38 00 00 03"}});
    EXPECT_TRUE(IsHash(contacts[0][afEntryID]));
    EXPECT_NE(contacts[0][afEntryID], contacts[1][afEntryID]);
}

TEST(VCardReader, ReadsVersion30WithFoldingEscapesPreferencesAndLists) {
    const QList<QStringList> contacts = ReadFixture("version30.vcf");
    ASSERT_EQ(contacts.size(), 3);
    ExpectRow(contacts[0], {{"Display", "Dr. Mary Kate O'Brien"},
                            {"First", "Mary"},
                            {"Last", "O'Brien"},
                            {"Address", "14 Long Road, East Side, Flat 3"},
                            {"City", "Cambridge"},
                            {"State", "Cambs"},
                            {"Zip", "CB1 2AB"},
                            {"Country", "United Kingdom"},
                            {"Phone", "01223 000003"},
                            {"Email", "mary@example.org"},
                            {"WebPage", "https://mary.example.org"},
                            {"Company", "Smith, Jones; Partners"},
                            {"Title", "Partner"},
                            {"BusAddress", "1 Market Square"},
                            {"BusCity", "Cambridge"},
                            {"BusZip", "CB2 3QJ"},
                            {"BusCountry", "UK"},
                            {"BusPhone", "01223 000001"},
                            {"BusWebPage", "https://smith-jones.example.org"},
                            {"Spouse", "John O'Brien"},
                            {"Birthday", "1970-03-05"},
                            {"Anniversary", "1995-06-17"}});
    EXPECT_EQ(contacts[0][afEntryID], "card-30-a");
    ExpectRow(contacts[1], {{"Display", "Ann Marie Lee"},
                            {"First", "Ann"},
                            {"Last", "Marie Lee"},
                            {"Email", "ann@example.org"},
                            {"Birthday", "--02-29"}});
    ExpectRow(contacts[2], {{"ObjectType", "group"},
                            {"Display", "Book Club"},
                            {"Last", "Book Club"},
                            {"Email", "mary@example.org"}});
}

TEST(VCardReader, ReadsVersion40WithKindsUrisAndRelatedCards) {
    const QList<QStringList> contacts = ReadFixture("version40.vcf");
    ASSERT_EQ(contacts.size(), 3);
    // The spouse is named by a reference to the spouse's own card in the same file.
    ExpectRow(contacts[0], {{"Display", "Carlos Ruiz"},
                            {"First", "Carlos"},
                            {"Last", "Ruiz"},
                            {"Address", "Calle Mayor 5"},
                            {"City", "Madrid"},
                            {"Zip", "28013"},
                            {"Country", "Spain"},
                            {"Phone", "+34-91-000-0001"},
                            {"Cellular", "+34-600-000-002"},
                            {"Email", "carlos@work.example"},
                            {"WebPage", "https://carlos.example"},
                            {"BusAddress", "Paseo 1"},
                            {"BusCity", "Madrid"},
                            {"BusZip", "28046"},
                            {"BusCountry", "Spain"},
                            {"BusPhone", "+34-91-000-0005"},
                            {"BusFax", "+34-91-000-0003"},
                            {"BusWebPage", "https://company.example"},
                            {"Spouse", "Lucía Ruiz"},
                            {"Birthday", "--04-15"},
                            {"Anniversary", "2001-09-08"}});
    EXPECT_EQ(contacts[0][afEntryID], "urn:uuid:4f0a-1");
    ExpectRow(contacts[1], {{"Display", "Lucía Ruiz"},
                            {"First", "Lucía"},
                            {"Last", "Ruiz"},
                            {"Spouse", "Carlos Ruiz"},
                            {"Birthday", "1978-01-21"}});
    // A group is not a person: its name is not split into given name and surname.
    ExpectRow(contacts[2], {{"ObjectType", "group"}, {"Display", "Neighbours"}});
}

TEST(VCardReader, DisplayNameAloneIsSplitIntoFirstAndLast) {
    const QList<QStringList> contacts = ReadContacts(
        Card("FN:  Ann Marie   Lee \r\n") + Card("FN:Cher\r\n") +
        Card("FN:Kept Apart\r\nN:;Given;;;\r\n") + Card("KIND:org\r\nFN:Acme Tools\r\n") +
        Card("N:Lee;Ann;;;\r\n") + Card("ORG:Acme Tools;Sales\r\n"));
    ASSERT_EQ(contacts.size(), 6);
    EXPECT_EQ(contacts[0][afFirst], "Ann");
    EXPECT_EQ(contacts[0][afLast], "Marie   Lee");
    EXPECT_EQ(contacts[1][afFirst], "Cher");
    EXPECT_EQ(contacts[1][afLast], "");
    EXPECT_EQ(contacts[2][afFirst], "Given");
    EXPECT_EQ(contacts[2][afLast], "");
    EXPECT_EQ(contacts[3][afFirst], "");
    // Without FN the display name is made from the name or the organisation.
    EXPECT_EQ(contacts[4][afDisplay], "Ann Lee");
    EXPECT_EQ(contacts[5][afDisplay], "Acme Tools");
    EXPECT_EQ(contacts[5][afFirst], "");
}

TEST(VCardReader, DatesReadAsIsoDates) {
    const std::pair<const char*, const char*> cases[] = {
        {"19650412", "1965-04-12"},
        {"1965-04-12", "1965-04-12"},
        {" 1970-03-05T00:00:00Z ", "1970-03-05"},
        {"19700305T103000-0500", "1970-03-05"},
        {"--0415", "--04-15"},
        {"--04-15", "--04-15"},
        {"--0229", "--02-29"},
        {"--1301", "--1301"},
        {"1965-02-30", "1965-02-30"},
        {"1985-04", "1985-04"},
        {"circa 1800", "circa 1800"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(DateText(QString::fromLatin1(input)), QString::fromLatin1(expected)) << input;

    // A placeholder year named by a parameter means the year is unknown.
    const QList<QStringList> contacts =
        ReadContacts(Card("FN:A B\r\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-03-15\r\n"
                          "X-EVOLUTION-ANNIVERSARY:2004-07-01\r\n"));
    ASSERT_EQ(contacts.size(), 1);
    EXPECT_EQ(contacts[0][afBirthday], "--03-15");
    EXPECT_EQ(contacts[0][afAnniversary], "2004-07-01");
}

TEST(VCardReader, EightBitValuesAreDecodedInTheirCharacterSet) {
    const QList<QStringList> contacts = ReadContacts(
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1:Gr\xFCn;J\xF6rg\r\n"
        "ADR;HOME;CHARSET=ISO-8859-1:;;Hauptstra\xDF" "e 2;M\xFC\r\n nchen\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Fran\xE7ois L\x80\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:M=FCller;Hans\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:=80uro;"
        "\r\nEND:VCARD\r\n");
    ASSERT_EQ(contacts.size(), 4);
    EXPECT_EQ(contacts[0][afLast], "Grün");
    EXPECT_EQ(contacts[0][afFirst], "Jörg");
    EXPECT_EQ(contacts[0][afAddress], "Hauptstraße 2");
    EXPECT_EQ(contacts[0][afCity], "München");
    EXPECT_EQ(contacts[1][afDisplay], "François L€");
    EXPECT_EQ(contacts[2][afLast], "Müller");
    EXPECT_EQ(contacts[3][afLast], "€uro");
}

TEST(VCardReader, Utf16FilesAreRead) {
    const QString text = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoë Ω\r\nEND:VCARD\r\n");
    for (QStringConverter::Encoding encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        const QByteArray bytes = encoder.encode(text);
        const QList<QStringList> contacts = ReadContacts(bytes);
        ASSERT_EQ(contacts.size(), 1);
        EXPECT_EQ(contacts[0][afDisplay], QStringLiteral("Zoë Ω"));
    }
    const QList<QStringList> withBom = ReadContacts("\xEF\xBB\xBF" + text.toUtf8());
    ASSERT_EQ(withBom.size(), 1);
    EXPECT_EQ(withBom[0][afDisplay], QStringLiteral("Zoë Ω"));
}

TEST(VCardReader, CardBoundaries) {
    // A card embedded after an empty AGENT value is part of its card, not a contact, and the
    // properties after it still count; a card without END:VCARD ends where the next begins;
    // a card with nothing to show is no contact.
    const QList<QStringList> contacts = ReadContacts(
        "junk before\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nFN:Boss\r\nAGENT:\r\nBEGIN:VCARD\r\n"
        "VERSION:2.1\r\nFN:Assistant\r\nEND:VCARD\r\nTITLE:Chief\r\nEND:VCARD\r\n"
        "begin:vcard\r\nFN:No End\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\nFN:Last One\nEMAIL:last@example.org");
    ASSERT_EQ(contacts.size(), 3);
    EXPECT_EQ(contacts[0][afDisplay], "Boss");
    EXPECT_EQ(contacts[0][afTitle], "Chief");
    EXPECT_EQ(contacts[1][afDisplay], "No End");
    EXPECT_EQ(contacts[2][afDisplay], "Last One");
    EXPECT_EQ(contacts[2][afEmail], "last@example.org");
}

TEST(VCardReader, EntryIdsAreStableAndDistinct) {
    const QByteArray card = Card("FN:Same Person\r\nTEL:1\r\n");
    QByteArray unixCard = card;
    unixCard.replace("\r\n", "\n");
    const QList<QStringList> contacts = ReadContacts(card + unixCard + Card("FN:Other\r\n") +
                                                     Card("UID:u1\r\nFN:A\r\n") +
                                                     Card("UID:u1\r\nFN:B\r\n"));
    ASSERT_EQ(contacts.size(), 5);
    EXPECT_TRUE(IsHash(contacts[0][afEntryID]));
    EXPECT_EQ(ReadContacts(card)[0][afEntryID], contacts[0][afEntryID]);
    // The same card twice (here with other line ends) still gives two distinct ids.
    EXPECT_EQ(contacts[1][afEntryID], contacts[0][afEntryID] + "#2");
    EXPECT_NE(contacts[2][afEntryID], contacts[0][afEntryID]);
    EXPECT_EQ(contacts[3][afEntryID], "u1");
    EXPECT_EQ(contacts[4][afEntryID], "u1#2");
}

TEST(VCardReader, ValuesAreCutTo255Characters) {
    const QString longName(300, QLatin1Char('x'));
    // A character outside the basic plane is not cut in half.
    const QString astral = QString(254, QLatin1Char('a')) + QStringLiteral("\U0001F600");
    const QList<QStringList> contacts = ReadContacts(
        Card("FN:" + longName.toUtf8() + "\r\nNOTE:x\r\n") +
        Card("FN:" + astral.toUtf8() + "\r\nN:L;F;;;\r\n"));
    ASSERT_EQ(contacts.size(), 2);
    EXPECT_EQ(contacts[0][afDisplay], QString(255, QLatin1Char('x')));
    EXPECT_EQ(contacts[0][afFirst], QString(255, QLatin1Char('x')));
    EXPECT_EQ(contacts[1][afDisplay], QString(254, QLatin1Char('a')));
}

TEST(VCardReader, DamagedOrMissingFilesGiveNoContacts) {
    EXPECT_TRUE(ReadFixture("garbage.vcf").isEmpty());
    EXPECT_TRUE(ReadFixture("no-such-file.vcf").isEmpty());
    EXPECT_TRUE(ReadContactsFromFile(QString()).isEmpty());
    EXPECT_TRUE(ReadContactsFromFile(DataFolder).isEmpty()); // a folder
    EXPECT_TRUE(ReadContacts(QByteArray()).isEmpty());
    EXPECT_TRUE(ReadContacts(QByteArray(1000, '\0')).isEmpty());

    // Every truncation of a good file reads without harm and never invents cards.
    QFile file(DataFolder + "version30.vcf");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        const QList<QStringList> contacts = ReadContacts(whole.left(length));
        ASSERT_LE(contacts.size(), 3) << length;
        for (const QStringList& row : contacts) ASSERT_EQ(row.size(), AddressFieldCount);
    }
}

namespace {

// The address book of a test: a user folder of its own with an in-memory settings store.
class AddressBookTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Folder.isValid());
        Context.Context.UserFolder = Folder.path();
    }
    QString DefaultFile() const { return Folder.filePath(QStringLiteral("contacts.vcf")); }
    bool WaitForChange(int count) {
        return QTest::qWaitFor([&] { return Changes >= count; }, 5000);
    }
    QByteArray Fixture(const char* name) {
        QFile file(DataFolder + QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TTestContext Context;
    QTemporaryDir Folder;
    int Changes = 0;
};

} // namespace

TEST_F(AddressBookTest, FileComesFromSettingsOrUserFolder) {
    EXPECT_EQ(TAddressBook::ConfiguredFileName(), DefaultFile());
    AppContext().Settings().WriteString("Address Book", "File", "books/family.vcf");
    EXPECT_EQ(TAddressBook::ConfiguredFileName(), Folder.filePath("books/family.vcf"));
    AppContext().Settings().WriteString("Address Book", "File", "/elsewhere/all.vcf");
    EXPECT_EQ(TAddressBook::ConfiguredFileName(), "/elsewhere/all.vcf");

    // Reload follows a changed setting.
    ASSERT_TRUE(WriteFile(Folder.filePath("other.vcf"), Fixture("version40.vcf")));
    TAddressBook book({});
    EXPECT_TRUE(book.Contacts().isEmpty());
    AppContext().Settings().WriteString("Address Book", "File", Folder.filePath("other.vcf"));
    book.Reload();
    EXPECT_EQ(book.FileName(), Folder.filePath("other.vcf"));
    EXPECT_EQ(book.Contacts().size(), 3);

    Context.Context.UserFolder.clear();
    AppContext().Settings().WriteString("Address Book", "File", QString());
    EXPECT_EQ(TAddressBook::ConfiguredFileName(), QString());
}

TEST_F(AddressBookTest, OffersTheFieldsWithoutIdAndType) {
    const QStringList all = TAddressBook::AddressTableFieldNames();
    ASSERT_EQ(all.size(), 28);
    EXPECT_EQ(all.mid(0, 3), QStringList({"EntryID", "ObjectType", "Display"}));
    EXPECT_EQ(all.mid(17, 3), QStringList({"BusAddress", "BusCity", "BusState"}));
    EXPECT_EQ(TAddressBook::FieldNames(), all.mid(2));
    EXPECT_EQ(TAddressBook::FieldNames().last(), "Anniversary");
}

TEST_F(AddressBookTest, FollowsTheFileThroughEditsRenamesAndRemoval) {
    ASSERT_TRUE(WriteFile(DefaultFile(), Fixture("version21.vcf")));
    auto book = std::make_unique<TAddressBook>([&] { ++Changes; });
    ASSERT_EQ(book->Contacts().size(), 2);

    ASSERT_TRUE(WriteFile(DefaultFile(), Fixture("version30.vcf"))); // written in place
    ASSERT_TRUE(WaitForChange(1));
    EXPECT_EQ(book->Contacts().size(), 3);
    EXPECT_EQ(book->Contacts()[0][afDisplay], "Dr. Mary Kate O'Brien");

    // An editor that writes a new file and renames it over the old one.
    QSaveFile replacement(DefaultFile());
    ASSERT_TRUE(replacement.open(QIODevice::WriteOnly));
    replacement.write(Card("FN:Only One\r\n"));
    ASSERT_TRUE(replacement.commit());
    ASSERT_TRUE(WaitForChange(2));
    ASSERT_EQ(book->Contacts().size(), 1);
    EXPECT_EQ(book->Contacts()[0][afDisplay], "Only One");

    // The replaced file is watched again.
    ASSERT_TRUE(WriteFile(DefaultFile(), Card("FN:One\r\n") + Card("FN:Two\r\n")));
    ASSERT_TRUE(WaitForChange(3));
    EXPECT_EQ(book->Contacts().size(), 2);

    ASSERT_TRUE(QFile::remove(DefaultFile()));
    ASSERT_TRUE(WaitForChange(4));
    EXPECT_TRUE(book->Contacts().isEmpty());

    // A file that appears later is read, and the owner may let the book go when called.
    book = std::make_unique<TAddressBook>([&] {
        ++Changes;
        book.reset();
    });
    ASSERT_TRUE(WriteFile(DefaultFile(), Fixture("version40.vcf")));
    ASSERT_TRUE(WaitForChange(5));
    EXPECT_EQ(book, nullptr);
}

TEST_F(AddressBookTest, OpensTheFileWithTheDesktopApplication) {
    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "Open");
    {
        TAddressBook book({});
        EXPECT_TRUE(book.OpenInApplication());
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.Urls.size(), 1);
    EXPECT_EQ(recorder.Urls[0], QUrl::fromLocalFile(DefaultFile()));
    // The application gets an empty address book to fill rather than a missing file.
    EXPECT_TRUE(QFile::exists(DefaultFile()));
    EXPECT_TRUE(Context.Messages.Errors.isEmpty());

    Context.Context.UserFolder.clear();
    TAddressBook nowhere({});
    EXPECT_FALSE(nowhere.OpenInApplication());
    EXPECT_EQ(Context.Messages.Errors, QStringList{"Cannot find Windows Address Book application."});
}

TEST_F(AddressBookTest, AddressTableHoldsEveryContactInTheTableFields) {
    const QString table = TCard::AddressBookTableName;
    // Without an address book the table is there and empty.
    RebuildAddressTable(Folder.path(), table);
    TTable empty;
    empty.Open(Folder.path(), table, TRecordSource::TTableType::Paradox);
    EXPECT_EQ(empty.FieldNames(), TAddressBook::AddressTableFieldNames());
    EXPECT_EQ(empty.RecordCount(), 0);
    empty.Close();

    // A name of 255 characters that each take two bytes still fits its field.
    const QString longName = QString(255, QChar(0x00E9));
    ASSERT_TRUE(WriteFile(DefaultFile(), Fixture("version30.vcf") + Fixture("version21.vcf") +
                                             Card("FN:" + longName.toUtf8() + "\r\n")));
    RebuildAddressTable(Folder.path(), table);
    TTable full;
    full.Open(Folder.path(), table, TRecordSource::TTableType::Paradox);
    for (const TFieldDef& field : full.FieldDefs())
        EXPECT_EQ(field, (TFieldDef{field.Name, TFieldType::String, 255, false}));
    const QList<QStringList> contacts = ReadContactsFromFile(DefaultFile());
    ASSERT_EQ(full.RecordCount(), 6);
    for (const QStringList& contact : contacts.mid(0, 5)) {
        QStringList values;
        for (const QString& name : full.FieldNames()) values.append(full.FieldText(name).value());
        EXPECT_EQ(values, contact);
        full.Next();
    }
    EXPECT_EQ(full.FieldText("Display")->size(), 127) << "cut to the field's 255 bytes";
    EXPECT_TRUE(longName.startsWith(*full.FieldText("Display")));
    full.MoveTo(2);
    EXPECT_EQ(full.FieldText("first"), QString("Ann"));
    EXPECT_EQ(full.FieldText("LAST"), QString("Marie Lee"));
    full.MoveTo(4);
    EXPECT_EQ(full.FieldText("City"), QString("Köln"));
}

TEST_F(AddressBookTest, CardsUseTheAddressTableNextToTheTemplateFolder) {
    InstallTableEngine(Context.Context);
    Context.Context.TemplateFolder = Folder.filePath("Template");
    ASSERT_TRUE(WriteFile(DefaultFile(), Fixture("version30.vcf")));
    const QString tablePath = Folder.filePath(TCard::AddressBookTableName);

    auto first = std::make_unique<TCard>(0, 0);
    first->SetDataSource(TCard::AddressBookTableName);
    EXPECT_TRUE(first->AddressBookSource);
    ASSERT_TRUE(QFile::exists(tablePath));
    TRecordSource* table = first->DataTable();
    ASSERT_TRUE(table && table->IsOpen());
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_EQ(table->FieldText("Display"), QString("Dr. Mary Kate O'Brien"));
    EXPECT_EQ(table->FieldText("Nickname"), std::nullopt);

    // A change of the address book reaches the open table.
    ASSERT_TRUE(WriteFile(DefaultFile(), Card("FN:Only One\r\n")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->RecordCount() == 1; }, 5000));
    EXPECT_EQ(table->FieldText("First"), QString("Only"));

    // The table goes with the last card that uses it.
    TCard second(0, 0);
    second.SetDataSource(TCard::AddressBookTableName);
    first.reset();
    EXPECT_TRUE(QFile::exists(tablePath));
    EXPECT_EQ(second.DataTable()->FieldText("Display"), QString("Only One"));
    second.SetDataSource(QString());
    EXPECT_FALSE(QFile::exists(tablePath));
    EXPECT_TRUE(Context.Messages.Errors.isEmpty()) << Context.Messages.Errors.join("\n").toStdString();
}

TEST(VCardReader, AQuotedPrintableValueCutAtTheEndOfTheFileKeepsTheCardEnd) {
    for (const QByteArray& end : {QByteArray(), QByteArray("\r\n"), QByteArray("\r\nEND:VCARD\r\n")}) {
        const QList<QStringList> contacts = ReadContacts(
            "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lee;Ann\r\nNOTE:x\r\n"
            "FN;ENCODING=QUOTED-PRINTABLE:Ab=" + end);
        ASSERT_EQ(contacts.size(), 1) << end.constData();
        EXPECT_EQ(contacts[0][afDisplay], QStringLiteral("Ab")) << end.constData();
        EXPECT_EQ(contacts[0][afLast], QStringLiteral("Lee"));
    }
}

TEST(VCardReader, AnAddressBookPastTheOldLimitsIsReadWhole) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("big.vcf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // More than 128 MB: text outside the cards first, then more than 100,000 cards.
    const QByteArray junk = QByteArray(1023, 'j') + '\n';
    for (int i = 0; i < 129 * 1024; ++i) file.write(junk);
    constexpr int Contacts = 100'050;
    for (int i = 1; i <= Contacts; ++i)
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:P" + QByteArray::number(i) + "\r\nEND:VCARD\r\n");
    file.close();
    QString problem = QStringLiteral("unset");
    const QList<QStringList> contacts = ReadContactsFromFile(path, &problem);
    EXPECT_EQ(problem, QString());
    ASSERT_EQ(contacts.size(), Contacts);
    EXPECT_EQ(contacts.front()[afDisplay], QStringLiteral("P1"));
    EXPECT_EQ(contacts.back()[afDisplay], QStringLiteral("P100050"));
}

TEST(VCardReader, AnAddressBookThatCannotBeReadWholeIsSaidSo) {
    QTemporaryDir folder;
    QString problem;
    EXPECT_TRUE(ReadContactsFromFile(folder.path(), &problem).isEmpty());
    EXPECT_TRUE(problem.contains(folder.path()) && problem.contains("cannot be read"))
        << problem.toStdString();
    // A missing file is an empty address book, nothing to say.
    EXPECT_TRUE(ReadContactsFromFile(folder.filePath("none.vcf"), &problem).isEmpty());
    EXPECT_EQ(problem, QString());

    // A contact past the size any card may have is cut; the others are read.
    const QString path = folder.filePath(QStringLiteral("photo.vcf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Big\r\nPHOTO;ENCODING=b:");
    file.write(QByteArray(MaxCardSize + 10, 'A'));
    file.write("\r\nTEL:1\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Small\r\nEND:VCARD\r\n");
    file.close();
    const QList<QStringList> contacts = ReadContactsFromFile(path, &problem);
    ASSERT_EQ(contacts.size(), 2);
    EXPECT_EQ(contacts[0][afDisplay], QStringLiteral("Big"));
    EXPECT_EQ(contacts[0][afPhone], QStringLiteral("1"));
    EXPECT_EQ(contacts[1][afDisplay], QStringLiteral("Small"));
    EXPECT_TRUE(problem.contains(path) && problem.contains("cut short")) << problem.toStdString();
}

TEST_F(AddressBookTest, AnAddressBookThatCannotBeReadIsSaidOnce) {
    ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("contacts.vcf"))); // a folder
    TAddressBook book({});
    EXPECT_TRUE(book.Contacts().isEmpty());
    ASSERT_EQ(Context.Messages.Errors.size(), 1);
    EXPECT_TRUE(Context.Messages.Errors[0].contains(DefaultFile()));
    book.Reload();
    EXPECT_EQ(Context.Messages.Errors.size(), 1);
}
