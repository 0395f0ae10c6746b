#include "objects/TextureCache.h"

#include "objects/PictureFiles.h"

#include <QFileInfo>

QImage TTextureCache::Picture(const QString& path) {
    const QFileInfo file(path);
    const QDateTime modified = file.exists() ? file.lastModified() : QDateTime();
    const qint64 size = file.exists() ? file.size() : -1;
    auto found = FEntries.constFind(path);
    if (found != FEntries.constEnd() && found->Modified == modified && found->Size == size)
        return found->Picture;
    const QImage picture = LoadPictureImage(path);
    if (found == FEntries.constEnd() && FEntries.size() > FCapacity) FEntries.clear();
    FEntries.insert(path, {modified, size, picture});
    return picture;
}

TTextureCache& ProgramTextureCache() {
    static TTextureCache cache;
    return cache;
}
