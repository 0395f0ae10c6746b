#include "kbviewer/KbSettings.h"

#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString WriteSettings(const QTemporaryDir& folder, const QByteArray& text) {
    const QString file = folder.filePath(QStringLiteral("zorvel7.ini"));
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
    return file;
}

// Sets an environment variable for one scope.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const QByteArray& value)
        : FName(name), FHad(qEnvironmentVariableIsSet(name)), FOld(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~TScopedEnv() {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }

private:
    const char* FName;
    bool FHad;
    QByteArray FOld;
};

} // namespace

TEST(KbSettings, DefaultsWithoutSettingsFile) {
    QTemporaryDir folder;
    const TKbSettings settings =
        TKbSettings::Read(folder.filePath(QStringLiteral("zorvel7.ini")));
    EXPECT_EQ(settings.FilePath, KbPaths::ProgramFolder());
    EXPECT_EQ(settings.Date, QStringLiteral("1/1/2001"));
    EXPECT_EQ(settings.WebSite, KbPaths::ProgramFolder() + QStringLiteral("/help/qdx-guide.html"));
    EXPECT_EQ(KbPaths::TableFile(settings.FilePath),
              KbPaths::ProgramFolder() + QStringLiteral("/qandadb.dat"));
    // Reading never makes the file.
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("zorvel7.ini"))));
}

TEST(KbSettings, StatusTextHasTwoSpacesBeforeVisit) {
    EXPECT_EQ(KbStatusText(QStringLiteral("1/1/2001")),
              QStringLiteral("Updated to: 1/1/2001  Visit our web site for free knowledge base "
                             "updates"));
}

TEST(KbSettings, ReadsSectionZ) {
    QTemporaryDir folder;
    const QString file = WriteSettings(folder, "[Other]\nDate=9/9/1999\n"
                                               "[Z]\nFilePath=/srv/kb\nDate=3/1/2025\n"
                                               "WebSite=https://example.org/kb\n");
    const TKbSettings settings = TKbSettings::Read(file);
    EXPECT_EQ(settings.FilePath, QStringLiteral("/srv/kb"));
    EXPECT_EQ(settings.Date, QStringLiteral("3/1/2025"));
    EXPECT_EQ(settings.WebSite, QStringLiteral("https://example.org/kb"));
}

TEST(KbSettings, BlankFilePathMeansProgramFolderBlankDateStaysBlank) {
    QTemporaryDir folder;
    const TKbSettings settings =
        TKbSettings::Read(WriteSettings(folder, "[Z]\nDate=\nFilePath=  \n"));
    EXPECT_EQ(settings.FilePath, KbPaths::ProgramFolder());
    EXPECT_EQ(settings.Date, QString()); // written empty: shown empty
    EXPECT_EQ(settings.WebSite, KbPaths::DefaultWebSite());
}

// The INI reader turns a value with commas into a list; the date must come back whole.
TEST(KbSettings, DateWithCommasStaysWhole) {
    QTemporaryDir folder;
    const TKbSettings settings =
        TKbSettings::Read(WriteSettings(folder, "[Z]\nDate=Monday, March 3, 2025\n"));
    EXPECT_EQ(settings.Date, QStringLiteral("Monday, March 3, 2025"));
}

TEST(KbSettings, TrailingSeparatorAndHomeInFilePath) {
    EXPECT_EQ(KbPaths::TableFile(QStringLiteral("/srv/kb/")), QStringLiteral("/srv/kb/qandadb.dat"));
    EXPECT_EQ(KbPaths::TableFile(QStringLiteral("/srv/kb")), QStringLiteral("/srv/kb/qandadb.dat"));
    QTemporaryDir folder;
    const TKbSettings settings =
        TKbSettings::Read(WriteSettings(folder, "[Z]\nFilePath=~/kb/\n"));
    EXPECT_EQ(KbPaths::TableFile(settings.FilePath), QDir::homePath() + QStringLiteral("/kb/qandadb.dat"));
}

TEST(KbSettings, SettingsFileInQdxHomeElseConfigFolder) {
    {
        const TScopedEnv home("QDX_HOME", "/tmp/qdx-home");
        EXPECT_EQ(KbPaths::SettingsFile(), QStringLiteral("/tmp/qdx-home/zorvel7.ini"));
    }
    const TScopedEnv home("QDX_HOME", QByteArray());
    const TScopedEnv config("XDG_CONFIG_HOME", "/tmp/qdx-config");
    EXPECT_EQ(KbPaths::SettingsFile(), QStringLiteral("/tmp/qdx-config/zorvel7.ini"));
}

TEST(KbSettings, ProgramFolderOverride) {
    const TScopedEnv program("QDX_PROGRAM_DIR", "/opt/qdx/share/qdx/");
    EXPECT_EQ(KbPaths::ProgramFolder(), QStringLiteral("/opt/qdx/share/qdx"));
    EXPECT_EQ(TKbSettings::Read(QStringLiteral("/nonexistent/zorvel7.ini")).FilePath,
              QStringLiteral("/opt/qdx/share/qdx"));
}
