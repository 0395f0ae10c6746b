#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>

// A disk of a few kilobytes (tmpfs) mounted on a temporary folder for the life of the object,
// to show what writers do when the disk is full. Mounting needs root, as CI runs the tests;
// elsewhere Mounted() is false and the test skips.
class TSmallDisk {
public:
    explicit TSmallDisk(int kilobytes = 64) {
        if (!FFolder.isValid()) return;
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
        FMounted = ::mount("tmpfs", QFile::encodeName(FFolder.path()).constData(), "tmpfs",
                           MS_NOSUID | MS_NODEV, options.constData()) == 0;
    }
    ~TSmallDisk() {
        if (FMounted) ::umount2(QFile::encodeName(FFolder.path()).constData(), MNT_DETACH);
    }
    TSmallDisk(const TSmallDisk&) = delete;
    TSmallDisk& operator=(const TSmallDisk&) = delete;

    bool Mounted() const { return FMounted; }
    QString FilePath(const QString& name) const { return QDir(FFolder.path()).filePath(name); }

    // Takes every free byte, so that the next write fails.
    void Fill() const {
        QFile filler(FilePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size()) {
        }
        const QByteArray byte(1, 'x');
        while (filler.write(byte) == 1) {
        }
    }
    // Files in the folder other than the filler: what a failed write left behind.
    QStringList Files() const {
        QStringList names = QDir(FFolder.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QStringLiteral(".filler"));
        return names;
    }

private:
    QTemporaryDir FFolder;
    bool FMounted = false;
};
