#pragma once
// What the vemo-cli commands that talk to the module share: the --port/--speed options, a
// prompt that answers on the terminal, and opening the link.
#include "link/Protocol.h"

#include <string>

namespace vemocli {

struct PortOptions {
    std::string port;
    int speedIndex = 5; // 115200
};

// Reads "--port PATH" and "--speed BAUD" at argv[i]; advances i past what it took. Returns
// false (after a message on standard error) for a missing value or a speed not in the table;
// sets `taken` to whether argv[i] was one of the two options.
bool ParsePortOption(int argc, char** argv, int& i, PortOptions& options, bool& taken);

// Prints a line to standard error, unless it is the same as the line printed there just
// before: a failure that the message log and a message box both report is told once.
void PrintError(const std::string& line);

// Message boxes on the terminal: errors go to standard error; questions are answered No
// (nothing is asked in a script).
class TerminalPrompt : public vemo::UserPrompt {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void Error(const std::string& text, const std::string& caption) override;
};

} // namespace vemocli
