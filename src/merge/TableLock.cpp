#include "merge/TableLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QString TTableLock::LockFilePath(const QString& tablePath) {
    const QFileInfo info(tablePath);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".lck"));
}

bool TTableLock::Acquire(const QString& tablePath, bool exclusive) {
    Release();
    FPath = LockFilePath(tablePath);
    FExclusive = exclusive;
    const QByteArray name = QFile::encodeName(FPath);
    for (;;) {
        const int handle = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (handle < 0) {
            if (errno == EINTR) continue;
            // No lock file where nothing can be written; the table cannot change there.
            FUnlocked = true;
            return true;
        }
        if (::flock(handle, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
            ::close(handle);
            return false;
        }
        // A releasing holder may have removed the file between our open and our lock; then
        // the lock is on a file nobody else will see, so start again.
        struct stat opened {}, named {};
        if (::fstat(handle, &opened) == 0 && ::stat(name.constData(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            FHandle = handle;
            return true;
        }
        ::close(handle);
    }
}

void TTableLock::Release() {
    if (FHandle >= 0) {
        // Only the last holder can take the lock exclusively, and only it removes the file.
        if (::flock(FHandle, LOCK_EX | LOCK_NB) == 0) ::unlink(QFile::encodeName(FPath).constData());
        ::close(FHandle);
    }
    FHandle = -1;
    FUnlocked = false;
}
