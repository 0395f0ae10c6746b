#include "storage/AtomicFile.h"

#include "storage/Exception.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The rename is only durable once the folder's entry is on disk too. Nothing can be undone
// at this point, so a folder that cannot be synced is left as it is.
void SyncFolder(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

TAtomicFile::TAtomicFile(const QString& path) : FPath(path), FFile(path) {
    if (!FFile.open(QIODevice::WriteOnly)) throw EFCreateError(path);
    FOpen = true;
}

TAtomicFile::~TAtomicFile() {
    Cancel();
}

void TAtomicFile::Fail(const QString& reason) {
    Cancel();
    throw EWriteError(QStringLiteral("Error writing %1: %2").arg(FPath, reason));
}

void TAtomicFile::Write(const QByteArray& bytes) {
    if (!FOpen) Fail(QStringLiteral("the file is closed"));
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = FFile.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) Fail(FFile.errorString());
        done += written;
    }
}

void TAtomicFile::Commit() {
    if (!FOpen) Fail(QStringLiteral("the file is closed"));
    // The last buffered bytes reach the file here; commit() would not report their failure.
    if (!FFile.flush() || FFile.error() != QFileDevice::NoError) Fail(FFile.errorString());
    const int handle = FFile.handle();
    if (handle >= 0 && ::fsync(handle) != 0 && errno != EINVAL)
        Fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!FFile.commit()) {
        FOpen = false;
        throw EWriteError(QStringLiteral("Error writing %1: %2").arg(FPath, FFile.errorString()));
    }
    FOpen = false;
    SyncFolder(FPath);
}

void TAtomicFile::Cancel() {
    if (!FOpen) return;
    FOpen = false;
    FFile.cancelWriting();
    FFile.commit(); // after cancelWriting this only removes the temporary file
}

void WriteFileAtomically(const QString& path, const QByteArray& bytes) {
    TAtomicFile file(path);
    file.Write(bytes);
    file.Commit();
}
