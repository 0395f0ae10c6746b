#include "merge/DbfMemoryFiles.h"

#include "merge/TableFormat.h"

#include <cstring>

namespace {

// shapelib's hooks carry no user data, so the folder of the current call is per thread.
thread_local TMemoryFolder* Folder = nullptr;

struct TMemoryHandle {
    std::shared_ptr<QByteArray> Bytes;
    qint64 Position = 0;
};

TMemoryHandle* HandleOf(SAFile file) { return reinterpret_cast<TMemoryHandle*>(file); }

SAFile MemoryOpen(const char* name, const char* access) {
    if (!Folder) return nullptr;
    auto found = Folder->Files.find(name);
    if (std::strchr(access, 'w')) {
        auto bytes = std::make_shared<QByteArray>();
        Folder->Files[name] = bytes;
        return reinterpret_cast<SAFile>(new TMemoryHandle{bytes});
    }
    if (found == Folder->Files.end()) return nullptr;
    return reinterpret_cast<SAFile>(new TMemoryHandle{found->second});
}

SAOffset MemoryRead(void* buffer, SAOffset size, SAOffset count, SAFile file) {
    TMemoryHandle* handle = HandleOf(file);
    if (size == 0) return 0;
    const qint64 available = qMax<qint64>(0, handle->Bytes->size() - handle->Position);
    // Like fread: a partial item is copied too (shapelib reads the .cpg file as one item of
    // its buffer's size), but only whole items are counted.
    const qint64 copied = qMin<qint64>(available, qint64(size) * qint64(count));
    if (copied == 0) return 0;
    std::memcpy(buffer, handle->Bytes->constData() + handle->Position, size_t(copied));
    handle->Position += copied;
    return SAOffset(copied) / size;
}

SAOffset MemoryWrite(void* buffer, SAOffset size, SAOffset count, SAFile file) {
    TMemoryHandle* handle = HandleOf(file);
    const qint64 length = qint64(size * count);
    if (length == 0) return count;
    if (handle->Position + length > TableFiles::MaxTableFileSize) return 0;
    if (handle->Position + length > handle->Bytes->size())
        handle->Bytes->resize(handle->Position + length, '\0');
    std::memcpy(handle->Bytes->data() + handle->Position, buffer, size_t(length));
    handle->Position += length;
    return count;
}

SAOffset MemorySeek(SAFile file, SAOffset offset, int whence) {
    TMemoryHandle* handle = HandleOf(file);
    const qint64 delta = qint64(offset);
    const qint64 base = whence == SEEK_CUR ? handle->Position
                        : whence == SEEK_END ? handle->Bytes->size()
                                             : 0;
    const qint64 target = base + delta;
    if (target < 0 || target > TableFiles::MaxTableFileSize) return SAOffset(-1);
    handle->Position = target;
    return 0;
}

SAOffset MemoryTell(SAFile file) { return SAOffset(HandleOf(file)->Position); }
int MemoryFlush(SAFile) { return 0; }
int MemoryClose(SAFile file) {
    delete HandleOf(file);
    return 0;
}
int MemoryRemove(const char* name) {
    if (Folder) Folder->Files.erase(name);
    return 0;
}
void MemoryError(const char* message) {
    if (Folder) Folder->LastError = message;
}
double MemoryAtof(const char* text) { return QByteArray(text).trimmed().toDouble(); }

} // namespace

TMemoryScope::TMemoryScope() {
    FPrevious = Folder;
    Folder = &FFolder;
    std::memset(&Hooks, 0, sizeof Hooks);
    Hooks.FOpen = MemoryOpen;
    Hooks.FRead = MemoryRead;
    Hooks.FWrite = MemoryWrite;
    Hooks.FSeek = MemorySeek;
    Hooks.FTell = MemoryTell;
    Hooks.FFlush = MemoryFlush;
    Hooks.FClose = MemoryClose;
    Hooks.Remove = MemoryRemove;
    Hooks.Error = MemoryError;
    Hooks.Atof = MemoryAtof;
}

TMemoryScope::~TMemoryScope() {
    Folder = FPrevious;
}
