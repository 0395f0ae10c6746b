#include "app/AppPaths.h"

#include "document/AppContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {

QString ProgramFolder() {
    const QString overridden = qEnvironmentVariable("QDX_PROGRAM_DIR");
    if (!overridden.isEmpty()) return QDir::cleanPath(overridden);
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/qdx"));
}

QString UserFolder() {
    const QString home = qEnvironmentVariable("QDX_HOME");
    if (!home.isEmpty()) return QDir::cleanPath(home);
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/qdx"));
}

QString TemplateFolder() {
    return QDir(UserFolder()).filePath(QStringLiteral("Template"));
}
QString SettingsFile() {
    return QDir(UserFolder()).filePath(QStringLiteral("qdx.ini"));
}
QString EventFile() {
    return QDir(UserFolder()).filePath(QStringLiteral("Event.dat"));
}
QString TemplateIndexFile() {
    return QDir(UserFolder()).filePath(QStringLiteral("Template.dat"));
}
QString ClipArtFolder() {
    return QDir(ProgramFolder()).filePath(QStringLiteral("Clip Art"));
}
QString HelpFile() {
    return QDir(ProgramFolder()).filePath(QStringLiteral("help/qdx-guide.html"));
}

QString TexturesFolder() {
    return QDir(ProgramFolder()).filePath(QStringLiteral("Textures"));
}

void SetContextFolders(TAppContext& context) {
    context.ProgramFolder = ProgramFolder();
    context.UserFolder = UserFolder();
    context.TemplateFolder = TemplateFolder();
    context.TexturesFolder = TexturesFolder();
}

void PrepareUserFolder() {
    QDir().mkpath(UserFolder());
    if (QDir(TemplateFolder()).exists()) return;
    QDir().mkpath(TemplateFolder());
    const QDir shipped(QDir(ProgramFolder()).filePath(QStringLiteral("Template")));
    for (const QFileInfo& file : shipped.entryInfoList(QDir::Files))
        QFile::copy(file.filePath(), QDir(TemplateFolder()).filePath(file.fileName()));
}

QString ResolveDocumentArgument(const QString& argument) {
    const QFileInfo given(argument);
    if (given.exists() && given.isFile()) return given.absoluteFilePath();
    if (!given.suffix().isEmpty()) return given.absoluteFilePath();
    // Without an extension: the document of that name, whatever the letter case of ".qdx".
    const QDir folder = given.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files)) {
        const QFileInfo candidate(folder.filePath(name));
        if (candidate.completeBaseName() == given.fileName() &&
            candidate.suffix().compare(QLatin1String("qdx"), Qt::CaseInsensitive) == 0)
            return candidate.absoluteFilePath();
    }
    return folder.filePath(given.fileName() + QStringLiteral(".qdx"));
}

} // namespace AppPaths
