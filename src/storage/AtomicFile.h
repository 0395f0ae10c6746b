#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// A file that replaces its target only when it is whole. The bytes go to a temporary file in
// the target's folder; Commit syncs them to disk and renames the file over the target, then
// syncs the folder. Every write is checked, and so is the sync: a full disk often shows only
// when the last data reaches it, which QSaveFile's commit does not report. Destroyed without
// Commit, or after any failure, it leaves the old file as it was and no temporary file.
class TAtomicFile {
public:
    explicit TAtomicFile(const QString& path); // EFCreateError when no file can be made there
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // For writers that stream into a device (storage, the PDF writer). A failed write is kept
    // and fails the Commit.
    QIODevice& Device() { return FFile; }
    void Write(const QByteArray& bytes); // EWriteError
    void Commit();                       // EWriteError; the target is unchanged on failure
    void Cancel();

    const QString& Path() const { return FPath; }

private:
    [[noreturn]] void Fail(const QString& reason);

    QString FPath;
    QSaveFile FFile;
    bool FOpen = false;
};

// Writes the whole file at once through a TAtomicFile.
void WriteFileAtomically(const QString& path, const QByteArray& bytes);
