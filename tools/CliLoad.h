#pragma once
// Loading a data file for a command, as "Load" does: what the window says in message boxes
// goes to standard error, in UTF-8 as everything vemo-cli prints.
#include "data/DataFile.h"

#include <QString>

namespace vemocli {

// One line on standard error.
void PrintError(const QString& line);

// Loads the file named on the command line into doc and prints the reason it was not loaded,
// or what loading had to say about it.
vemo::LoadResult LoadAndTell(vemo::PlotDocument& doc, const char* name);

} // namespace vemocli
