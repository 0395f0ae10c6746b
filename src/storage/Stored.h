#pragma once

#include "storage/BufferedStream.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

class TStorage;
class TStored;

// What the registry knows of a stored class: its saved name and how to make an empty object.
struct TStoredClass {
    const char* Name;
    TStored* (*Create)();
    bool (*IsInstance)(const TStored*);
};

template <typename T> const TStoredClass& StoredClassOf() {
    static const TStoredClass info{
        T::StoredName, []() -> TStored* { return new T(); },
        [](const TStored* object) { return dynamic_cast<const T*>(object) != nullptr; }};
    return info;
}

// Declares the name a class is saved under. The name is part of the file format.
#define QDX_STORED_CLASS(Name)                                                                     \
public:                                                                                            \
    static constexpr const char* StoredName = Name;                                                \
    const char* ClassName() const override {                                                       \
        return StoredName;                                                                         \
    }                                                                                              \
                                                                                                   \
private:

// Base of everything that can be written to a storage file. Objects made while reading are
// default-constructed; Load must establish every field it owns.
class TStored {
public:
    TStored() = default;
    virtual ~TStored() = default;
    TStored(const TStored&) = delete;
    TStored& operator=(const TStored&) = delete;

    virtual const char* ClassName() const = 0;
    virtual void Load(TStorage&) {}
    virtual void Loaded() {}
    virtual void Store(TStorage&) const {}

    // Copy the contents of source into this object. By default the source decides (AssignTo);
    // a class that defines no copying leaves the destination unchanged.
    virtual void Assign(const TStored& source) { source.AssignTo(*this); }

protected:
    virtual void AssignTo(TStored&) const {}
};

// Name -> class, for creating objects from the names in a file. A name may also be an alias
// under which older files stored a class.
class TClassRegistry {
public:
    static TClassRegistry& Instance();

    template <typename T> void Register() { Register(StoredClassOf<T>()); }
    void Register(const TStoredClass& storedClass);
    void RegisterAlias(const QByteArray& alias, const TStoredClass& storedClass);
    const TStoredClass* Find(const QByteArray& name) const;

private:
    QHash<QByteArray, const TStoredClass*> FClasses;
};

// Registers the table classes of this library; called once at start-up.
void RegisterStorageClasses();

// What the caller of a read hands to the objects being read; the layers above define it.
class TReadOptions {
public:
    virtual ~TReadOptions() = default;
};

// A storage file: a buffered stream that writes and reads whole object graphs, naming each
// object's class through a class table with one record version per class, and resolving
// references between objects once all are read. Used for one WriteRoot or one ReadRoot.
// The storage never owns the objects it writes or reads.
class TStorage : public TBufferedStream {
public:
    static constexpr quint16 CurrentVersion = 2;
    static constexpr quint16 NoObject = 0xFFFF;
    static constexpr int MaxReferences = 32767; // a reference slot is a signed 16-bit value

    TStorage(QIODevice* device, TMode mode);

    quint16 StorageVersion() const { return FVersion; }
    // The options of this read, for the objects it reads; null when the reader gave none.
    const TReadOptions* ReadOptions() const { return FReadOptions; }
    void SetReadOptions(const TReadOptions* options) { FReadOptions = options; }
    // The storage whose ReadRoot is running on this thread (the innermost); null when none is.
    static const TStorage* Reading();
    // The class table as the file holds it: (name, record version) in file order.
    std::vector<std::pair<QByteArray, quint16>> FileClasses() const;

    int IndexOfClass(const char* name);
    void SetClassVersion(const char* className, quint16 version);
    quint16 ClassVersion(const char* className);

    void WriteObject(const TStored* object);
    TStored* ReadObject(TStored* into = nullptr);
    void WriteInstance(const TStored* object);
    TStored* ReadInstance(const TStoredClass& storedClass);
    void WriteReference(const TStored* object);
    TStored* ReadReference();

    void WriteRoot(const TStored& root);
    TStored* ReadRoot(TStored* target = nullptr);

    template <typename T> T* ReadInstanceOf() {
        return static_cast<T*>(ReadInstance(StoredClassOf<T>()));
    }

private:
    struct TClassEntry {
        quint16 Version;
        QByteArray Name;
        const char* Literal = nullptr; // the name pointer last matched, for a quick compare
        const TStoredClass* Resolved = nullptr;
    };
    struct TWrittenObject {
        qint64 SlotPosition;
        quint16 ClassIndex;
    };
    enum class TRecordState { Pending, Loading, Delivered };
    struct TReadReference {
        TStored* Object;
        quint16 ClassIndex;
        TRecordState State; // Delivered: its record was read and the object handed to an owner
        bool Referenced;    // ReadReference has handed it out
    };

    const TStoredClass& ResolveClass(int classIndex);
    void ReadClassTable();
    void ReadReferenceTable();
    void FreeUndeliveredReferences();

    quint16 FVersion = CurrentVersion;
    const TReadOptions* FReadOptions = nullptr;
    std::vector<TClassEntry> FClasses;
    int FLastClass = -1;
    size_t FFileClassCount = 0;
    QHash<const TStored*, TWrittenObject> FWritten;
    std::vector<const TStored*> FWriteReferences;
    QHash<const TStored*, int> FWriteReferenceIndex;
    std::vector<TReadReference> FReadReferences;
};

// Reads the storage file and returns its root: target itself when given, else a new object
// of the class the file names.
TStored* LoadStoredFromFile(const QString& fileName, TStored* target = nullptr,
                            const TReadOptions* options = nullptr);

// Writes the storage file whose root is object. The file is written beside the target and
// renamed over it only when complete, so a failure leaves any previous file intact.
void SaveStoredToFile(const QString& fileName, const TStored& object);

// A new object of object's exact class with object's contents; null for null.
TStored* CloneStored(const TStored* object);
