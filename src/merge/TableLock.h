#pragma once

#include <QString>

// A shared or exclusive lock on a table, held on a hidden lock file beside it
// (".names.DB.lck"). Locks are advisory file locks, so they are seen by every TTable of any
// process on the machine, and they vanish when a program dies. The lock file is removed when
// its last holder releases it.
class TTableLock {
public:
    TTableLock() = default;
    ~TTableLock() { Release(); }
    TTableLock(const TTableLock&) = delete;
    TTableLock& operator=(const TTableLock&) = delete;

    // False when another holder's lock conflicts. A folder where no lock file can be made
    // (read-only media) is not locked at all: nobody can change the table there.
    bool Acquire(const QString& tablePath, bool exclusive);
    void Release();
    bool Held() const { return FHandle >= 0 || FUnlocked; }
    bool Exclusive() const { return Held() && FExclusive; }

    static QString LockFilePath(const QString& tablePath);

private:
    int FHandle = -1;
    bool FUnlocked = false; // granted without a lock file
    bool FExclusive = false;
    QString FPath;
};
