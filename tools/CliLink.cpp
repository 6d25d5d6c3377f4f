#include "tools/CliLink.h"

#include "data/Text8.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace vemocli {

bool ParsePortOption(int argc, char** argv, int& i, PortOptions& options, bool& taken) {
    const std::string_view arg = argv[i];
    taken = arg == "--port" || arg == "--speed";
    if (!taken) return true;
    if (i + 1 >= argc) {
        std::fprintf(stderr, "vemo-cli: %s needs a value\n", argv[i]);
        return false;
    }
    const std::string value = argv[++i];
    ++i;
    if (arg == "--port") {
        options.port = value;
        return true;
    }
    for (std::size_t k = 0; k < vemo::BaudTable.size(); ++k) {
        if (value == std::to_string(vemo::BaudTable[k])) {
            options.speedIndex = static_cast<int>(k);
            return true;
        }
    }
    std::fprintf(stderr,
                 "vemo-cli: --speed must be one of 2400, 4800, 9600, 19200, 38400, 115200\n");
    return false;
}

void PrintError(const std::string& line) {
    static std::string last;
    if (!line.empty() && line == last) return;
    last = line;
    std::fprintf(stderr, "%s\n", vemo::Utf8OfEightBit(line).c_str());
    std::fflush(stderr);
}

bool TerminalPrompt::AskYesNo(const std::string& text, const std::string&) {
    PrintError(text + " No");
    return false;
}

void TerminalPrompt::Error(const std::string& text, const std::string&) {
    PrintError(text);
}

} // namespace vemocli
