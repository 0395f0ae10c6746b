#pragma once

#include <QStringList>

// The program's command line: options, batch subcommands and document names to open.
namespace CommandLine {

inline constexpr const char* ProgramName = "qdx";

// Text of "qdx --help".
QString HelpText();
QString VersionText();

// Runs the command line (arguments without the program name). Returns the exit code.
int Run(const QStringList& arguments);

} // namespace CommandLine
