#pragma once

#include "document/RecordSource.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFileSystemWatcher;
class QTimer;

// The user's address book: a vCard file read into rows of the address table (the fields of
// AddressTableFieldNames(), in that order). The file is named by the setting "Address Book" /
// "File", by default contacts.vcf in the user folder; a missing file is an empty address book.
// A file that cannot be read, or only in part, is said so (once while it stays so), and what
// could be read is the address book. While the object lives it watches the file and its folder (an
// editor may replace the file by renaming a new one over it); when the contents change it
// rereads them and then calls its owner back.
class TAddressBook {
public:
    using TChanged = std::function<void()>;

    // Reads the address book. onChanged may be empty; it may destroy this object.
    explicit TAddressBook(TChanged onChanged);
    ~TAddressBook();
    TAddressBook(const TAddressBook&) = delete;
    TAddressBook& operator=(const TAddressBook&) = delete;

    // The file the settings name now; empty when there is no user folder to default to.
    static QString ConfiguredFileName();
    QString FileName() const { return FFileName; }

    // Rereads the settings and the file. The owner, who asked, is not called back.
    void Reload();
    // One row per contact or group, each with a value for every address table field.
    const QList<QStringList>& Contacts() const { return FContacts; }

    static QStringList AddressTableFieldNames();
    // The fields offered to the user: the address table's without EntryID and ObjectType.
    static QStringList FieldNames();

    // Opens the file with the desktop's application for address books, creating an empty one
    // first when there is none. Shows "Cannot find Windows Address Book application." and
    // returns false when nothing could be started.
    bool OpenInApplication();

private:
    struct TFileState {
        bool Exists = false;
        qint64 Size = -1;
        qint64 Modified = 0;
        bool operator==(const TFileState&) const = default;
    };
    static TFileState StateOf(const QString& fileName);

    void Watch();
    void FolderChanged();
    void ReloadAfterChange();

    TChanged FOnChanged;
    QString FFileName;
    TFileState FReadState; // of the file when it was last read
    QList<QStringList> FContacts;
    QString FProblem; // what was last said about the file
    std::unique_ptr<QFileSystemWatcher> FWatcher;
    // Editors write in several steps; one reread follows a burst of notifications.
    std::unique_ptr<QTimer> FSettle;
};

// The address table: a Paradox table of the address book's fields (strings of 255
// characters), one record per contact. Written atomically, so cards that have it open see
// the new contents at their next refresh; nobody's lock is needed since only the address
// book writes it.
void WriteAddressTable(const QString& folder, const QString& tableName,
                       const QList<QStringList>& contacts);
// Where cards find the address table: the folder that holds the template folder.
QString AddressTableFolder();
// (Re)builds the address table from the user's address book (empty when there is none).
// Raises EDatabaseError when the table cannot be written.
void RebuildAddressTable(const QString& folder, const QString& tableName);

// A card's link to the address book while its data source is the address table: writes the
// table when made and whenever the address book changes (then calls changed), and deletes the
// table when destroyed, unless another card still has it open.
class TAddressTableLink final : public TAddressBookLink {
public:
    TAddressTableLink(const QString& folder, const QString& tableName, std::function<void()> changed);
    ~TAddressTableLink() override;

    const TAddressBook& AddressBook() const { return *FBook; }
    bool OpenInApplication() override { return FBook->OpenInApplication(); }

private:
    void Write();

    QString FFolder, FTableName;
    std::function<void()> FChanged;
    std::unique_ptr<TAddressBook> FBook;
};
