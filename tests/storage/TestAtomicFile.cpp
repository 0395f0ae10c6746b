#include "storage/AtomicFile.h"
#include "storage/Exception.h"
#include "support/SmallDisk.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

TEST(AtomicFile, ReplacesTheTargetWholeAndLeavesNoTemporaryFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.ini"));
    Put(path, "old");
    WriteFileAtomically(path, "new contents");
    EXPECT_EQ(Contents(path), QByteArray("new contents"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("settings.ini")});
}

TEST(AtomicFile, AFileDroppedWithoutCommitLeavesTheOldOne) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("table.csv"));
    Put(path, "Name\nBob\n");
    {
        TAtomicFile file(path);
        file.Write("Name\n");
    }
    EXPECT_EQ(Contents(path), QByteArray("Name\nBob\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(AtomicFile, AFullDiskFailsTheWriteAndKeepsTheOldFile) {
    TSmallDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << "no small disk can be mounted here";
    const QString path = disk.FilePath(QStringLiteral("qdx.ini"));
    const QByteArray old = "[View]\nGrid On=1\n";
    Put(path, old);
    disk.Fill();
    // Smaller than any buffer: the bytes reach the disk only at the final flush.
    EXPECT_THROW(WriteFileAtomically(path, QByteArray(3000, 'n')), EWriteError);
    EXPECT_EQ(Contents(path), old);
    EXPECT_EQ(disk.Files(), QStringList{QStringLiteral("qdx.ini")});
    // Streamed writes fail the same way.
    {
        TAtomicFile file(path);
        file.Device().write(QByteArray(100000, 's'));
        EXPECT_THROW(file.Commit(), EWriteError);
    }
    EXPECT_EQ(Contents(path), old);
    EXPECT_EQ(disk.Files(), QStringList{QStringLiteral("qdx.ini")});
}

TEST(AtomicFile, AFolderThatCannotTakeAFileSaysSo) {
    EXPECT_THROW(WriteFileAtomically(QStringLiteral("/nonexistent-folder/x.ini"), "x"),
                 EFCreateError);
}
