#pragma once

// Reads the layer table of README.md and the libraries' source lists of src/*/CMakeLists.txt,
// and lists every include of a source file that reaches a library listed after its own (or,
// from a library without widgets, a Qt Widgets header).

#include <QMap>
#include <QString>
#include <QStringList>

struct TLayer {
    QString Library;
    QString Folder; // "types" for src/types
    bool Widgets = false;
};

// The table's rows from the lowest layer up; empty when README.md has none.
QList<TLayer> ReadLayerTable(const QString& readmePath);

// For each library of the src folders, its source files relative to src ("types/Pcx.cpp").
QMap<QString, QStringList> ReadLibrarySources(const QString& srcDir);
// For each library of the src folders, the libraries of QDX it links (qdx_add_library's
// PUBLIC_LINK and PRIVATE_LINK, and target_link_libraries of it).
QMap<QString, QStringList> ReadLibraryLinks(const QString& srcDir);

// One line per offending include: "types/A.cpp (qdx_types) includes document/B.h
// (qdx_document)", and per library linking one listed after it. widgetHeaders: the folder of
// the Qt Widgets headers (<QWidget> ...).
QStringList LayerViolations(const QString& root, const QString& widgetHeaders);
