#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Points the main window at a program folder holding (empty) the files start-up requires
// and at a fresh user folder; false when a file could not be made.
inline bool UseFreshProgramFolders(const QTemporaryDir& program, const QTemporaryDir& user) {
    qputenv("QDX_PROGRAM_DIR", program.path().toUtf8());
    qputenv("QDX_HOME", user.path().toUtf8());
    for (const char* name : {"LABLIST.DB", "LABLIST.PX", "ENGLISH.DCT"}) {
        QFile file(program.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly)) return false;
    }
    return true;
}
