#pragma once
// The window program's command line: "vemo [FILE.csv ...]", with --help and --version.
#include <QStringList>

#include <optional>

class QCoreApplication;

// Answers --help, --help-all and --version, and refuses unknown options, before any window
// system is asked for, so that they work without a display and beside the toolkit's own
// options (-platform offscreen). Returns the exit status when the program is to end there (0,
// or 1 after a message on standard error for a usage error).
std::optional<int> AnswerBeforeStart(int argc, char** argv);

// The data files named on the command line once the application has taken its own options.
QStringList DataFileArguments(const QCoreApplication& app);
