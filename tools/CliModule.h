#pragma once
// What the module subcommands of vemo-cli share: the port and speed options, the message log
// on a stream, message boxes as lines on standard error, and a connected link.
#include "link/Protocol.h"

#include <cstdio>
#include <string>

namespace vemocli {

// Prints each message-log line to a stream as it is written.
class StreamLog final : public vemo::MessageLog {
public:
    explicit StreamLog(std::FILE* out) : out_(out) {}
    void Clear() override {}
    void Append(const std::string& line) override {
        std::fprintf(out_, "%s\n", line.c_str());
        std::fflush(out_);
    }

private:
    std::FILE* out_;
};

// Message boxes: errors go to standard error in the program's words; nothing is confirmed.
class StderrPrompt final : public vemo::UserPrompt {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void Error(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        ++errors;
    }
    int errors = 0;
};

// Takes "--speed BAUD": the index of BAUD in the speed table, -1 for a speed it does not hold.
int SpeedIndexOf(const char* text);

// Connects to path at BaudTable[speedIndex] and reads the configuration block, as Connect
// does. False when the port could not be opened.
bool ConnectModule(vemo::ModuleContext& ctx, const std::string& path, int speedIndex);

} // namespace vemocli
