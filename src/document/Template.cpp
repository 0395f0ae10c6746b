#include "document/Template.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

void TTemplate::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    Description = storage.ReadString();
    FileAge = storage.ReadLongint();
    FileName = storage.ReadString();
    if (version == 0) storage.ReadString(); // a field of the first version only
    DocumentType = storage.ReadByte();
}

void TTemplate::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 1);
    storage.WriteString(Description);
    storage.WriteLongint(FileAge);
    storage.WriteString(FileName);
    storage.WriteByte(DocumentType);
}

namespace {

QString KeyOf(const QString& fileName) {
    return QFileInfo(fileName).fileName().toUpper();
}

bool IsDocumentFile(const QFileInfo& file) {
    return file.isFile() && file.suffix().compare(QLatin1String("QDX"), Qt::CaseInsensitive) == 0;
}

// A template as the index reads it: opened as a template, named in messages by its path.
std::unique_ptr<TCard> LoadCard(const QString& path) {
    return LoadTemplateCard(path);
}

} // namespace

TTemplateTable::TTemplateTable() : TObjectTable(&StoredClassOf<TTemplate>()) {
    SetUnique(true);
}

int TTemplateTable::CompareObjects(const TStored* a, const TStored* b) const {
    return QString::localeAwareCompare(static_cast<const TTemplate*>(a)->FileName,
                                       static_cast<const TTemplate*>(b)->FileName);
}

bool TTemplateTable::AcceptsItem(const TStored* object) const {
    return dynamic_cast<const TTemplate*>(object) != nullptr;
}

QString TTemplateTable::Folder() const {
    return FFolder.isEmpty() ? AppContext().TemplateFolder : FFolder;
}

int TTemplateTable::CountForType(int documentType) const {
    return documentType >= 0 && documentType < TypeCount ? TypeCounts[size_t(documentType)] : 0;
}

void TTemplateTable::ChangeCount(int documentType, int by) {
    if (documentType < 0 || documentType >= TypeCount) return;
    qint16& count = TypeCounts[size_t(documentType)];
    // Counts not yet taken (after an older index) must not go below nothing.
    count = static_cast<qint16>(std::max(0, count + by));
    SetModified(true);
}

TTemplate* TTemplateTable::FindTemplate(const QString& fileName) const {
    TTemplate key;
    key.FileName = KeyOf(fileName);
    const TStored* probe = &key;
    int index = -1;
    return Search(&probe, index) ? Items(index) : nullptr;
}

int TTemplateTable::AddTemplate(const QString& fileName, const QString& description,
                                int documentType) {
    if (TTemplate* existing = FindTemplate(fileName))
        RemoveTemplate(fileName, existing->DocumentType);
    auto entry = std::make_unique<TTemplate>();
    entry->FileName = KeyOf(fileName);
    entry->RealName = QFileInfo(fileName).fileName();
    entry->RealName = QFileInfo(TemplatePath(*entry)).fileName();
    entry->Description = description.isEmpty() ? QStringLiteral("(None)") : description;
    entry->DocumentType = static_cast<quint8>(documentType);
    entry->FileAge = FileStamp(QDir(Folder()).filePath(entry->RealName));
    const int index = Add(entry.get());
    entry.release();
    ChangeCount(documentType, +1);
    return index;
}

void TTemplateTable::RemoveTemplate(const QString& fileName, int documentType) {
    TTemplate* entry = FindTemplate(fileName);
    if (!entry) return;
    Delete(IndexOfObject(entry));
    ChangeCount(documentType, -1);
}

void TTemplateTable::DeleteTemplate(TTemplate* entry) {
    if (!entry) return;
    QFile::remove(TemplatePath(*entry));
    const QString name = entry->FileName;
    RemoveTemplate(name, entry->DocumentType);
}

void TTemplateTable::UpdateTemplate(const QString& fileName, const QString& description,
                                    int documentType) {
    const TTemplate* entry = FindTemplate(fileName);
    if (!entry) return;
    const QString shown = description.isEmpty() ? QStringLiteral("(None)") : description;
    if (entry->Description == shown && entry->DocumentType == documentType) return;
    AddTemplate(fileName, description, documentType);
}

// Keys are upper-cased, but the file keeps its own name on disk.
QString TTemplateTable::TemplatePath(const TTemplate& entry) const {
    const QDir folder(Folder());
    if (!entry.RealName.isEmpty() && folder.exists(entry.RealName))
        return folder.filePath(entry.RealName);
    const QStringList names = folder.entryList(QDir::Files);
    for (const QString& name : names)
        if (name.toUpper() == entry.FileName) return folder.filePath(name);
    return folder.filePath(entry.FileName);
}

// The stamp mixes the modification time (to the nanosecond), the size and the file's identity,
// so any change of the file changes it.
qint32 TTemplateTable::FileStamp(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return 0;
    quint64 hash = 1469598103934665603ull;
    auto mix = [&hash](quint64 value) {
        for (int i = 0; i < 8; ++i) {
            hash ^= (value >> (8 * i)) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    mix(quint64(info.st_mtim.tv_sec));
    mix(quint64(info.st_mtim.tv_nsec));
    mix(quint64(info.st_size));
    mix(quint64(info.st_ino));
    const qint32 stamp = static_cast<qint32>(hash ^ (hash >> 32));
    return stamp == 0 ? 1 : stamp;
}

void TTemplateTable::MoveToErrorFolder(const QString& realName) const {
    QDir folder(Folder());
    folder.mkpath(QStringLiteral("Error"));
    const QDir errors(folder.filePath(QStringLiteral("Error")));
    QString target = errors.filePath(realName);
    // Never overwrite a file put there before.
    for (int n = 2; QFile::exists(target); ++n)
        target = errors.filePath(QStringLiteral("%1 (%2).%3")
                                     .arg(QFileInfo(realName).completeBaseName())
                                     .arg(n)
                                     .arg(QFileInfo(realName).suffix()));
    QFile::rename(folder.filePath(realName), target);
}

void TTemplateTable::Refresh(const TProgress& progress) {
    TAppContext& context = AppContext();

    for (int i = 0; i < Count(); ++i)
        if (TTemplate* entry = Items(i)) entry->Seen = false;

    const QDir folder(Folder());
    QStringList changed;
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& file : files) {
        if (!IsDocumentFile(file)) continue;
        TTemplate* entry = FindTemplate(file.fileName());
        if (entry && entry->FileAge == FileStamp(file.filePath())) {
            entry->Seen = true;
            entry->RealName = file.fileName();
        } else {
            changed.append(file.fileName());
        }
    }

    const TLoader& load = FLoader ? FLoader : TLoader(LoadCard);
    for (int i = 0; i < changed.size(); ++i) {
        if (progress) progress(i, int(changed.size()));
        const QString& name = changed[i];
        std::unique_ptr<TCard> card;
        try {
            card = load(folder.filePath(name));
        } catch (const std::exception&) {
            context.Messages().Error(QStringLiteral("Error reading %1.").arg(name));
            MoveToErrorFolder(name);
            continue;
        }
        const int index = AddTemplate(name, card->Description, card->DocumentType);
        Items(index)->Seen = true;
    }
    if (progress) progress(int(changed.size()), int(changed.size()));

    for (int i = Count() - 1; i >= 0; --i) {
        const TTemplate* entry = Items(i);
        if (entry && !entry->Seen) RemoveTemplate(entry->FileName, entry->DocumentType);
    }
}

void TTemplateTable::Store(TStorage& storage) const {
    storage.SetClassVersion(StoredName, 3);
    TObjectTable::Store(storage);
    for (qint16 count : TypeCounts)
        storage.WriteSmallint(count);
}

void TTemplateTable::Load(TStorage& storage) {
    const quint16 version = storage.ClassVersion(StoredName);
    // The first index format cannot be read; it is rebuilt from the folder.
    if (version == 0) throw EAbort();
    TObjectTable::Load(storage);
    RemoveEmptySlots();
    SetItemClass(&StoredClassOf<TTemplate>());
    // The order was made by the collation of the machine that wrote the file; sort again and
    // keep one entry per name.
    SetSorted(false);
    SetUnique(false);
    SetUnique(true);
    // Older indexes counted fewer document types; the rest count again from 0.
    const int stored = version == 1 ? 27 : (version == 2 ? 19 : TypeCount);
    const int kept = version == 1 ? 14 : (version == 2 ? 19 : TypeCount);
    TypeCounts.fill(0);
    for (int i = 0; i < stored; ++i) {
        const qint16 count = storage.ReadSmallint();
        if (i < kept) TypeCounts[size_t(i)] = count;
    }
    SetModified(false);
}
