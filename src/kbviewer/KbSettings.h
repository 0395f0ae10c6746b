#pragma once

#include <QString>

// The viewer's settings, read from "zorvel7.ini", section "Z". The viewer never writes them:
// whoever installs a newer knowledge base sets FilePath and Date.
struct TKbSettings {
    QString FilePath; // folder of the knowledge base
    QString Date;     // the date of its last update, as shown
    QString WebSite;  // what the link label opens: a web address or a local file

    // A missing file or key gives its default.
    static TKbSettings Read(const QString& settingsFile);
};

namespace KbPaths {

QString ProgramFolder();  // <bin>/../share/qdx, or $QDX_PROGRAM_DIR
QString SettingsFile();   // zorvel7.ini in $QDX_HOME, else in the user's configuration folder
QString DefaultWebSite(); // the user guide shipped in the program folder
// The table in a knowledge-base folder; a trailing separator on the folder is harmless.
QString TableFile(const QString& folder);

} // namespace KbPaths

// The status bar's text.
QString KbStatusText(const QString& date);
