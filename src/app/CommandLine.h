#pragma once

#include <QStringList>

// The program's command line: options, batch subcommands and document names to open.
namespace CommandLine {

inline constexpr const char* ProgramName = "qdx";

// Text of "qdx --help".
QString HelpText();
QString VersionText();

// Runs a batch command or answers --help/--version (arguments without the program name).
// Returns the exit code, or -1 when the arguments name documents for the window.
bool IsBatch(const QStringList& arguments);
int Run(const QStringList& arguments);

} // namespace CommandLine
