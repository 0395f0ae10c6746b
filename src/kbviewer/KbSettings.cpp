#include "kbviewer/KbSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {

// Reads a value as the text it is in the file: the INI reader would otherwise split a value
// with commas ("March 3, 2024") into a list.
QString TextValue(const QSettings& settings, const QString& key, const QString& fallback) {
    const QVariant value = settings.value(key);
    if (!value.isValid()) return fallback;
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

} // namespace

TKbSettings TKbSettings::Read(const QString& settingsFile) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Z"));
    TKbSettings result;
    result.FilePath =
        TextValue(settings, QStringLiteral("FilePath"), KbPaths::ProgramFolder()).trimmed();
    if (result.FilePath.isEmpty()) result.FilePath = KbPaths::ProgramFolder();
    if (result.FilePath == QLatin1String("~") || result.FilePath.startsWith(QLatin1String("~/")))
        result.FilePath.replace(0, 1, QDir::homePath());
    result.Date = TextValue(settings, QStringLiteral("Date"), QStringLiteral("1/1/2001"));
    result.WebSite =
        TextValue(settings, QStringLiteral("WebSite"), KbPaths::DefaultWebSite()).trimmed();
    if (result.WebSite.isEmpty()) result.WebSite = KbPaths::DefaultWebSite();
    return result;
}

namespace KbPaths {

QString ProgramFolder() {
    const QString overridden = qEnvironmentVariable("QDX_PROGRAM_DIR");
    if (!overridden.isEmpty()) return QDir::cleanPath(overridden);
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/qdx"));
}

QString SettingsFile() {
    QString folder = qEnvironmentVariable("QDX_HOME");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("zorvel7.ini"));
}

QString DefaultWebSite() {
    return QDir(ProgramFolder()).filePath(QStringLiteral("help/qdx-guide.html"));
}

QString TableFile(const QString& folder) {
    return QDir::cleanPath(folder + QStringLiteral("/qandadb.dat"));
}

} // namespace KbPaths

QString KbStatusText(const QString& date) {
    return QStringLiteral("Updated to: ") + date +
           QStringLiteral("  Visit our web site for free knowledge base updates");
}
