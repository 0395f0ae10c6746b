#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QString>

// Pictures of texture files, each read once per version of its file: a file whose
// modification time or size changed since it was read is read again.
class TTextureCache {
public:
    explicit TTextureCache(int capacity = 32) : FCapacity(capacity) {}

    // The file's picture; null when it is missing or not a picture.
    QImage Picture(const QString& path);
    void Clear() { FEntries.clear(); }

private:
    struct TEntry {
        QDateTime Modified;
        qint64 Size = -1;
        QImage Picture;
    };
    int FCapacity;
    QHash<QString, TEntry> FEntries;
};

// The cache the headlines draw their textures from.
TTextureCache& ProgramTextureCache();
