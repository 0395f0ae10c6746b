#include "merge/AddressBook.h"

#include "document/AppContext.h"
#include "merge/TableFormat.h"
#include "merge/VCardReader.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int SettleMilliseconds = 150;

const QString SettingsSection = QStringLiteral("Address Book");
const QString SettingsKey = QStringLiteral("File");

} // namespace

TAddressBook::TAddressBook(TChanged onChanged)
    : FOnChanged(std::move(onChanged)), FWatcher(std::make_unique<QFileSystemWatcher>()),
      FSettle(std::make_unique<QTimer>()) {
    FSettle->setSingleShot(true);
    FSettle->setInterval(SettleMilliseconds);
    QObject::connect(FSettle.get(), &QTimer::timeout, [this] { ReloadAfterChange(); });
    QObject::connect(FWatcher.get(), &QFileSystemWatcher::fileChanged,
                     [this] { FSettle->start(); });
    QObject::connect(FWatcher.get(), &QFileSystemWatcher::directoryChanged,
                     [this] { FolderChanged(); });
    Reload();
}

TAddressBook::~TAddressBook() = default;

QString TAddressBook::ConfiguredFileName() {
    const QString userFolder = AppContext().UserFolder;
    const QString fallback =
        userFolder.isEmpty() ? QString() : QDir(userFolder).filePath(QStringLiteral("contacts.vcf"));
    QString name = AppContext().Settings().ReadString(SettingsSection, SettingsKey, fallback).trimmed();
    if (name.isEmpty()) return fallback;
    if (name.startsWith(QLatin1String("~/"))) name = QDir::home().filePath(name.mid(2));
    if (QFileInfo(name).isRelative()) {
        if (userFolder.isEmpty()) return {};
        name = QDir(userFolder).filePath(name);
    }
    return QDir::cleanPath(name);
}

TAddressBook::TFileState TAddressBook::StateOf(const QString& fileName) {
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists()) return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

void TAddressBook::Reload() {
    const QString fileName = ConfiguredFileName();
    if (fileName != FFileName) {
        FFileName = fileName;
        if (!FWatcher->files().isEmpty()) FWatcher->removePaths(FWatcher->files());
        if (!FWatcher->directories().isEmpty()) FWatcher->removePaths(FWatcher->directories());
    }
    FReadState = StateOf(FFileName);
    QString problem;
    FContacts = VCardReader::ReadContactsFromFile(FFileName, &problem);
    // Said once, not again at each reread of a file that stays so.
    if (problem != FProblem && !problem.isEmpty()) AppContext().Messages().Error(problem);
    FProblem = problem;
    Watch();
}

void TAddressBook::Watch() {
    if (FFileName.isEmpty()) return;
    // A watched file drops out of the watcher when it is deleted or renamed over, so it is
    // added again whenever it exists; the folder tells when it comes back.
    const QString folder = QFileInfo(FFileName).absolutePath();
    if (!FWatcher->directories().contains(folder) && QFileInfo(folder).isDir())
        FWatcher->addPath(folder);
    if (!FWatcher->files().contains(FFileName) && QFileInfo::exists(FFileName))
        FWatcher->addPath(FFileName);
}

void TAddressBook::FolderChanged() {
    // The folder also holds the program's other files; only a change of this one matters.
    if (StateOf(FFileName) != FReadState) FSettle->start();
}

void TAddressBook::ReloadAfterChange() {
    const QList<QStringList> before = FContacts;
    Reload();
    if (FContacts == before || !FOnChanged) return;
    // A copy: the owner may destroy this object, and the callback with it.
    const TChanged onChanged = FOnChanged;
    onChanged();
}

QStringList TAddressBook::AddressTableFieldNames() {
    return VCardReader::AddressFieldNames();
}

QStringList TAddressBook::FieldNames() {
    return AddressTableFieldNames().mid(VCardReader::afDisplay);
}

bool TAddressBook::OpenInApplication() {
    bool opened = false;
    if (!FFileName.isEmpty()) {
        if (!QFileInfo::exists(FFileName)) {
            QDir().mkpath(QFileInfo(FFileName).absolutePath());
            QFile empty(FFileName);
            if (empty.open(QIODevice::WriteOnly)) empty.close();
            Watch();
        }
        opened = QFileInfo::exists(FFileName) &&
                 QDesktopServices::openUrl(QUrl::fromLocalFile(FFileName));
    }
    if (!opened)
        AppContext().Messages().Error(QStringLiteral("Cannot find Windows Address Book application."));
    return opened;
}

namespace {

// The longest start of the text whose UTF-8 takes at most maxBytes, cut between characters.
QString FitUtf8(QString text, qsizetype maxBytes) {
    while (text.toUtf8().size() > maxBytes) {
        text.chop(1);
        if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
    }
    return text;
}

} // namespace

void WriteAddressTable(const QString& folder, const QString& tableName,
                       const QList<QStringList>& contacts) {
    TTableData data;
    for (const QString& name : TAddressBook::AddressTableFieldNames())
        data.Fields.append({name, TFieldType::String, VCardReader::MaxAddressValueLength, false});
    const TTableFormat* format = TTableFormat::ForFile(tableName);
    if (!format) throw EFileTypeNotSupported();
    data.Records.reserve(size_t(contacts.size()));
    for (const QStringList& contact : contacts) {
        TRecordValues values(data.Fields.size());
        for (qsizetype f = 0; f < values.size() && f < contact.size(); ++f)
            values[f] = ConvertFieldValue(FitUtf8(contact[f], VCardReader::MaxAddressValueLength),
                                          data.Fields[f]);
        data.Records.push_back(std::move(values));
    }
    // Address books hold any script: in the table's own code page a name it lacks could not
    // be stored, so this table is in UTF-8, as it is only read by this program.
    data.State.CodePage = 65001;
    format->Write(QDir(folder).filePath(tableName), data);
}

QString AddressTableFolder() {
    const QString templates = AppContext().TemplateFolder;
    return templates.isEmpty() ? AppContext().UserFolder
                               : QFileInfo(QDir::cleanPath(templates)).path();
}

void RebuildAddressTable(const QString& folder, const QString& tableName) {
    QString problem;
    const QList<QStringList> contacts =
        VCardReader::ReadContactsFromFile(TAddressBook::ConfiguredFileName(), &problem);
    if (!problem.isEmpty()) AppContext().Messages().Error(problem);
    WriteAddressTable(folder, tableName, contacts);
}

TAddressTableLink::TAddressTableLink(const QString& folder, const QString& tableName,
                                     std::function<void()> changed)
    : FFolder(folder), FTableName(tableName), FChanged(std::move(changed)) {
    FBook = std::make_unique<TAddressBook>([this] {
        try {
            Write();
        } catch (const std::exception&) {
            // The card keeps the table it has; its refresh reports a table that is gone.
        }
        if (FChanged) FChanged();
    });
    Write();
}

TAddressTableLink::~TAddressTableLink() {
    TTable table;
    table.SetTable(FFolder, FTableName);
    try {
        if (table.Exists()) table.Delete();
    } catch (const std::exception&) {
        // Another card still reads it; the last one to let go deletes it.
    }
}

void TAddressTableLink::Write() { WriteAddressTable(FFolder, FTableName, FBook->Contacts()); }
