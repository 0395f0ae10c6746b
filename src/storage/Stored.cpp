#include "storage/Stored.h"

#include "storage/AtomicFile.h"
#include "storage/Exception.h"

#include <QFile>

#include <cstring>
#include <memory>

namespace {
constexpr char Signature[3] = {'L', 'C', 'P'};
constexpr qint64 ClassTableOffsetPosition = 3 + 2;
constexpr int MaxClasses = TStorage::NoObject; // 0xFFFF itself means "no object"
} // namespace

TStorage::TStorage(QIODevice* device, TMode mode) : TBufferedStream(device, mode) {}

int TStorage::IndexOfClass(const char* name) {
    if (FLastClass >= 0 && FClasses[FLastClass].Literal == name) return FLastClass;
    for (size_t i = 0; i < FClasses.size(); ++i) {
        TClassEntry& entry = FClasses[i];
        if (entry.Literal == name || std::strcmp(entry.Name.constData(), name) == 0) {
            entry.Literal = name;
            FLastClass = static_cast<int>(i);
            return FLastClass;
        }
    }
    if (FClasses.size() >= size_t(MaxClasses))
        throw EWriteError(QStringLiteral("Too many classes in one storage file"));
    FClasses.push_back({0, QByteArray(name), name, nullptr});
    FLastClass = static_cast<int>(FClasses.size() - 1);
    return FLastClass;
}

void TStorage::SetClassVersion(const char* className, quint16 version) {
    FClasses[IndexOfClass(className)].Version = version;
}

quint16 TStorage::ClassVersion(const char* className) {
    return FClasses[IndexOfClass(className)].Version;
}

const TStoredClass& TStorage::ResolveClass(int classIndex) {
    TClassEntry& entry = FClasses[classIndex];
    if (!entry.Resolved) {
        entry.Resolved = TClassRegistry::Instance().Find(entry.Name);
        if (!entry.Resolved) throw EClassNotFound(QString::fromLatin1(entry.Name));
    }
    return *entry.Resolved;
}

void TStorage::WriteObject(const TStored* object) {
    if (!object) {
        WriteWord(NoObject);
        return;
    }
    const auto classIndex = static_cast<quint16>(IndexOfClass(object->ClassName()));
    WriteWord(classIndex);
    if (!FWritten.contains(object)) FWritten.insert(object, {Position(), classIndex});
    WriteSmallint(-1); // patched by WriteRoot when something refers to the object
    WriteInstance(object);
}

void TStorage::WriteInstance(const TStored* object) {
    WriteBoolean(object != nullptr);
    if (object) object->Store(*this);
}

TStored* TStorage::ReadInstance(const TStoredClass& storedClass) {
    if (FVersion != 0 && !ReadBoolean()) return nullptr;
    std::unique_ptr<TStored> object(storedClass.Create());
    object->Load(*this);
    object->Loaded();
    return object.release();
}

TStored* TStorage::ReadObject(TStored* into) {
    const quint16 classIndex = ReadWord();
    if (FVersion != 0 && classIndex == NoObject) return nullptr;
    const qint16 slot = ReadSmallint();
    if (classIndex >= FClasses.size()) throw EClassNotFound();

    if (slot == -1) {
        if (!into) return ReadInstance(ResolveClass(classIndex));
        if (FVersion != 0 && !ReadBoolean()) return nullptr;
        into->Load(*this);
        into->Loaded();
        return into;
    }

    // The object others refer to: it was made before any record was read.
    if (slot < 0 || size_t(slot) >= FReadReferences.size()) throw EReadError();
    TReadReference& ref = FReadReferences[slot];
    // A second record for the same object, even one nested inside the first, is damage.
    if (ref.State != TRecordState::Pending || ref.ClassIndex != classIndex) throw EReadError();
    if (FVersion != 0 && !ReadBoolean()) return nullptr;
    if (into) {
        if (!ref.Referenced) {
            // Nothing points at the made object yet, so the target can stand in for it. (If
            // something did, the made object stays unread and ReadRoot reports the damage.)
            delete ref.Object;
            ref.Object = into;
            ref.State = TRecordState::Delivered;
        }
        into->Load(*this);
        into->Loaded();
        return into;
    }
    ref.State = TRecordState::Loading;
    ref.Object->Load(*this);
    ref.Object->Loaded();
    ref.State = TRecordState::Delivered;
    return ref.Object;
}

void TStorage::WriteReference(const TStored* object) {
    int index = -1;
    if (object) {
        auto found = FWriteReferenceIndex.constFind(object);
        if (found != FWriteReferenceIndex.constEnd()) {
            index = found.value();
        } else {
            if (FWriteReferences.size() >= size_t(MaxReferences))
                throw EWriteError(
                    QStringLiteral("Too many referenced objects in one storage file"));
            index = static_cast<int>(FWriteReferences.size());
            FWriteReferences.push_back(object);
            FWriteReferenceIndex.insert(object, index);
        }
    }
    if (index < 0) {
        WriteBoolean(false);
        return;
    }
    WriteBoolean(true);
    WriteLongint(index);
}

TStored* TStorage::ReadReference() {
    qint32 index;
    if (FVersion >= 2) {
        if (!ReadBoolean()) return nullptr;
        index = ReadLongint();
    } else {
        index = ReadSmallint();
        if (index == -1) return nullptr;
    }
    if (index < 0 || size_t(index) >= FReadReferences.size()) throw EReadError();
    TReadReference& ref = FReadReferences[index];
    ref.Referenced = true;
    return ref.Object;
}

void TStorage::WriteRoot(const TStored& root) {
    Write(Signature, sizeof Signature);
    FVersion = CurrentVersion;
    WriteWord(FVersion);
    WriteLongint(0);
    WriteObject(&root);

    const qint64 classTable = Position();
    WriteWord(static_cast<quint16>(FClasses.size()));
    for (const TClassEntry& entry : FClasses) {
        WriteWord(entry.Version);
        WriteShortBytes(entry.Name);
    }
    const qint64 end = Position();
    Seek(ClassTableOffsetPosition);
    WriteLongint(static_cast<qint32>(classTable));

    std::vector<quint16> referenceClasses;
    referenceClasses.reserve(FWriteReferences.size());
    for (size_t r = 0; r < FWriteReferences.size(); ++r) {
        auto written = FWritten.constFind(FWriteReferences[r]);
        if (written == FWritten.constEnd()) throw EBadObjectRef();
        Seek(written->SlotPosition);
        WriteSmallint(static_cast<qint16>(r));
        referenceClasses.push_back(written->ClassIndex);
    }
    Seek(end);
    WriteWord(static_cast<quint16>(referenceClasses.size()));
    for (quint16 classIndex : referenceClasses)
        WriteWord(classIndex);
    Flush();
}

void TStorage::ReadClassTable() {
    const quint16 count = ReadWord();
    RequireBytes(qint64(count) * 3);
    FClasses.reserve(count);
    for (quint16 i = 0; i < count; ++i) {
        const quint16 version = ReadWord();
        FClasses.push_back({version, ReadShortBytes()});
    }
    FFileClassCount = FClasses.size();
}

std::vector<std::pair<QByteArray, quint16>> TStorage::FileClasses() const {
    std::vector<std::pair<QByteArray, quint16>> classes;
    for (size_t i = 0; i < FFileClassCount && i < FClasses.size(); ++i)
        classes.emplace_back(FClasses[i].Name, FClasses[i].Version);
    return classes;
}

void TStorage::ReadReferenceTable() {
    const quint16 count = ReadWord();
    RequireBytes(qint64(count) * 2);
    FReadReferences.reserve(count);
    for (quint16 i = 0; i < count; ++i) {
        const quint16 classIndex = ReadWord();
        if (classIndex >= FClasses.size()) throw EClassNotFound();
        TStored* object = ResolveClass(classIndex).Create();
        FReadReferences.push_back({object, classIndex, TRecordState::Pending, false});
    }
}

void TStorage::FreeUndeliveredReferences() {
    for (TReadReference& ref : FReadReferences) {
        if (ref.State != TRecordState::Delivered) delete ref.Object;
        ref.Object = nullptr;
    }
}

namespace {
thread_local const TStorage* CurrentReading = nullptr;
} // namespace

const TStorage* TStorage::Reading() {
    return CurrentReading;
}

TStored* TStorage::ReadRoot(TStored* target) {
    struct TReadingScope {
        const TStorage* Previous;
        explicit TReadingScope(const TStorage* storage) : Previous(CurrentReading) {
            CurrentReading = storage;
        }
        ~TReadingScope() { CurrentReading = Previous; }
    } reading(this);
    char signature[3];
    Read(signature, sizeof signature);
    if (std::memcmp(signature, Signature, sizeof Signature) != 0) throw EInvalidImage();
    FVersion = ReadWord();
    if (FVersion > CurrentVersion) throw EInvalidImage();
    const qint32 classTable = ReadLongint();
    const qint64 rootPosition = Position();
    Seek(classTable);
    ReadClassTable();

    TStored* root = nullptr;
    try {
        ReadReferenceTable();
        Seek(rootPosition);
        root = ReadObject(target);
        // An object that is referred to but whose record never came would leave a dangling
        // pointer in the graph: the file is damaged.
        for (const TReadReference& ref : FReadReferences)
            if (ref.State != TRecordState::Delivered && ref.Referenced) throw EReadError();
    } catch (...) {
        if (root != target) delete root;
        FreeUndeliveredReferences();
        throw;
    }
    FreeUndeliveredReferences();
    return root;
}

TStored* LoadStoredFromFile(const QString& fileName, TStored* target,
                            const TReadOptions* options) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) throw EFOpenError(fileName);
    TStorage storage(&file, TStorage::TMode::Read);
    storage.SetReadOptions(options);
    return storage.ReadRoot(target);
}

void SaveStoredToFile(const QString& fileName, const TStored& object) {
    TAtomicFile file(fileName);
    {
        TStorage storage(&file.Device(), TStorage::TMode::Write);
        storage.WriteRoot(object);
    }
    file.Commit();
}

TStored* CloneStored(const TStored* object) {
    if (!object) return nullptr;
    const TStoredClass* storedClass = TClassRegistry::Instance().Find(object->ClassName());
    if (!storedClass) throw EClassNotFound(QString::fromLatin1(object->ClassName()));
    std::unique_ptr<TStored> copy(storedClass->Create());
    copy->Assign(*object);
    return copy.release();
}
