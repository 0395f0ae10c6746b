#include "merge/TableFormat.h"

#include "storage/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TableFiles {

QByteArray ReadWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Cannot open the table %1.").arg(path));
    if (file.size() > MaxTableFileSize)
        throw EDatabaseError(QStringLiteral("The table %1 is too large.").arg(path));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EDatabaseError(QStringLiteral("Cannot read the table %1.").arg(path));
    return bytes;
}

void WriteAtomically(const QString& path, const QByteArray& bytes) {
    try {
        WriteFileAtomically(path, bytes);
    } catch (const std::exception& e) {
        throw EDatabaseError(QStringLiteral("Cannot write the table %1: %2")
                                 .arg(path, QString::fromUtf8(e.what())));
    }
}

QString ResolveCase(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) return path;
    const QDir dir = info.dir();
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0) return dir.filePath(name);
    return path;
}

QString Companion(const QString& tablePath, const QString& suffix) {
    const QFileInfo info(tablePath);
    const QString wanted = info.completeBaseName() + suffix;
    const QString found = ResolveCase(info.dir().filePath(wanted));
    if (QFileInfo::exists(found)) return found;
    // A new companion follows the case of the table's extension.
    const bool lower = info.suffix() == info.suffix().toLower();
    return info.dir().filePath(info.completeBaseName() + (lower ? suffix.toLower() : suffix.toUpper()));
}

void CopyTable(const TTableFormat& format, const QString& from, const QString& to) {
    for (const QString& suffix : format.CompanionSuffixes()) {
        const QString source = Companion(from, suffix);
        const QString target = Companion(to, suffix);
        if (QFileInfo::exists(source))
            WriteAtomically(target, ReadWhole(source));
        else if (QFileInfo::exists(target) && !QFile::remove(target))
            throw EDatabaseError(QStringLiteral("Cannot delete %1.").arg(target));
    }
    WriteAtomically(to, ReadWhole(from));
}

} // namespace TableFiles

TTableData TTableFormat::Read(const QString& path) const {
    TTableData data = Open(path);
    if (data.Cursor) {
        data.Records.reserve(data.Cursor->Count());
        for (size_t i = 0; i < data.Cursor->Count(); ++i)
            data.Records.push_back(data.Cursor->Record(i));
        data.Cursor.reset();
    }
    return data;
}

const TTableFormat* TTableFormat::ForFile(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    if (extension == QLatin1String("DB")) return &ParadoxFormat();
    if (extension == QLatin1String("DBF")) return &DbfFormat();
    if (extension == QLatin1String("TXT") || extension == QLatin1String("CSV"))
        return &TextFormat();
    return nullptr;
}
