#pragma once
// What download and config share beyond the port options: the message log on a stream, a
// prompt that counts the errors it reported, and Connect with the configuration read.
#include "data/Text8.h"
#include "link/ConfigCommands.h"
#include "tools/CliLink.h"

#include <cstdio>
#include <string>

namespace vemocli {

// Prints each message-log line to a stream as it is written, in UTF-8 like all vemo-cli prints.
class StreamLog final : public vemo::MessageLog {
public:
    explicit StreamLog(std::FILE* out) : out_(out) {}
    void Clear() override {}
    void Append(const std::string& line) override {
        if (out_ == stderr) return PrintError(line);
        std::fprintf(out_, "%s\n", vemo::Utf8OfEightBit(line).c_str());
        std::fflush(out_);
    }

private:
    std::FILE* out_;
};

// Opens the port at the chosen speed and reads the configuration block through session,
// which the context keeps, as Connect does. False when the port could not be opened or no
// configuration block arrived (the reason is on standard error).
bool ConnectModule(vemo::ModuleContext& ctx, vemo::ConfigSession& session,
                   const PortOptions& options);

} // namespace vemocli
