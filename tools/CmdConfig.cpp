// vemo-cli config --port PATH [--speed BAUD] [FIELD=VALUE ...]
// Prints the module's configuration block one field a line; with assignments, changes those
// fields, writes the block, reads it back and prints it.
#include "link/ConfigCommands.h"
#include "link/LinkPort.h"
#include "link/ModuleConfig.h"
#include "tools/CliModule.h"
#include "tools/Commands.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

namespace {

using Field8 = std::uint8_t vemo::ModuleConfig::*;
using Field16 = std::uint16_t vemo::ModuleConfig::*;

struct Field {
    const char* name;
    std::variant<Field8, Field16> member;
    int largest = -1; // the largest code the Configure page offers; -1: any value of the type
};

// In block order.
const Field Fields[] = {
    {"Word0", &vemo::ModuleConfig::Word0},
    {"IntervalCount", &vemo::ModuleConfig::IntervalCount},
    {"AltUnit", &vemo::ModuleConfig::AltUnit, 2},
    {"DisplayOption", &vemo::ModuleConfig::DisplayOption},
    {"BaseStep", &vemo::ModuleConfig::BaseStep},
    {"Word8", &vemo::ModuleConfig::Word8},
    {"Word10", &vemo::ModuleConfig::Word10},
    {"RevTrig", &vemo::ModuleConfig::RevTrig},
    {"Triggered", &vemo::ModuleConfig::Triggered},
    {"AutoStartSec", &vemo::ModuleConfig::AutoStartSec},
    {"AutoStopSec", &vemo::ModuleConfig::AutoStopSec},
    {"AutoStartAltitude", &vemo::ModuleConfig::AutoStartAltitude},
    {"AutoStopAltitude", &vemo::ModuleConfig::AutoStopAltitude},
    {"AutoStart", &vemo::ModuleConfig::AutoStart, 3},
    {"AutoStop", &vemo::ModuleConfig::AutoStop, 2},
    {"AutoZero", &vemo::ModuleConfig::AutoZero, 3},
    {"ModuleVersion", &vemo::ModuleConfig::ModuleVersion},
    {"MemorySize", &vemo::ModuleConfig::MemorySize},
    {"Byte27", &vemo::ModuleConfig::Byte27},
};

const Field* FindField(const std::string& name) {
    for (const Field& f : Fields)
        if (name == f.name) return &f;
    return nullptr;
}

// Decimal or 0x hexadecimal. A 16-bit field takes -32768..65535 (negative values as the module
// stores them, two's complement), an 8-bit field -128..255.
bool ParseValue(const std::string& text, int bits, unsigned& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0') return false;
    const long top = (1L << bits) - 1;
    const long bottom = -(1L << (bits - 1));
    if (v < bottom || v > top) return false;
    value = static_cast<unsigned>(v) & static_cast<unsigned>(top);
    return true;
}

struct Assignment {
    const Field* field;
    unsigned value;
};

void Print(const vemo::ModuleConfig& c) {
    for (const Field& f : Fields) {
        const unsigned v = std::visit([&c](auto member) { return unsigned{c.*member}; }, f.member);
        std::printf("%s=%u\n", f.name, v);
    }
}

} // namespace

int CmdConfig(int argc, char** argv) {
    vemocli::PortOptions options;
    std::vector<Assignment> changes;
    for (int i = 1; i < argc;) {
        bool taken = false;
        if (!vemocli::ParsePortOption(argc, argv, i, options, taken)) return UsageError("config");
        if (taken) continue;
        const std::string arg = argv[i++];
        const auto eq = arg.find('=');
        if (eq == std::string::npos) return UsageError("config");
        const Field* field = FindField(arg.substr(0, eq));
        if (!field) return UsageError("config");
        const int bits = std::holds_alternative<Field8>(field->member) ? 8 : 16;
        unsigned value = 0;
        if (!ParseValue(arg.substr(eq + 1), bits, value)) return UsageError("config");
        // The program refuses to read a block with a code it does not know; never write one.
        if (field->largest >= 0 && value > static_cast<unsigned>(field->largest)) {
            std::fprintf(stderr, "vemo-cli config: %s takes 0 to %d\n", field->name,
                         field->largest);
            return UsageError("config");
        }
        changes.push_back({field, value});
    }
    if (options.port.empty()) return UsageError("config");
    // The serial port wants an application object on its thread.
    QCoreApplication app(argc, argv);

    // The log's progress lines go to standard error: standard output holds the fields alone.
    vemocli::StreamLog log(stderr);
    vemocli::TerminalPrompt prompt;
    vemo::ModuleUi ui;
    vemo::ModuleContext ctx{vemo::Link(), log, prompt, ui};
    vemo::ConfigSession configuration;
    struct Close {
        ~Close() { vemo::Link().ClosePort(); }
    } close;

    if (!vemocli::ConnectModule(ctx, configuration, options)) return 2;

    if (!changes.empty()) {
        for (const Assignment& a : changes) {
            std::visit(
                [&a](auto member) {
                    using T = std::remove_reference_t<decltype(vemo::Config.*member)>;
                    vemo::Config.*member = static_cast<T>(a.value);
                },
                a.field->member);
        }
        vemo::LinkPort linkPort(vemo::Link());
        vemo::WriteConfig(linkPort, vemo::Config);
        if (!configuration.ReadNow(ctx)) return 2;
    }
    Print(vemo::Config);
    return 0;
}
