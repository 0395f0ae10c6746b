#pragma once

#include <QString>

class TAppContext;

// Where the program's files are: the program folder holds the shipped, read-only data (the
// label catalogue, the dictionary name, the guide, the shipped templates, the clip art, page
// borders and textures); the user folder holds what the program writes (settings, events,
// the template index and templates).
namespace AppPaths {

QString ProgramFolder();     // <bin>/../share/qdx, or $QDX_PROGRAM_DIR
QString UserFolder();        // $QDX_HOME, else the XDG data folder
QString TemplateFolder();    // <user>/Template
QString SettingsFile();      // <user>/qdx.ini
QString EventFile();         // <user>/Event.dat
QString TemplateIndexFile(); // <user>/Template.dat
QString ClipArtFolder();     // <program>/Clip Art
QString HelpFile();          // <program>/help/qdx-guide.html
QString TexturesFolder();    // <program>/Textures
// Gives the context the program's, the user's, the template and the textures folder: the
// window and the batch commands find documents' tables and textures in the same places.
void SetContextFolders(TAppContext& context);
// Creates the user folder and, on the first run, copies the shipped templates into it.
void PrepareUserFolder();
// A document named on the command line: the name as given when it exists, else with the
// document extension in either letter case; relative names are taken from the current folder.
QString ResolveDocumentArgument(const QString& argument);

} // namespace AppPaths
