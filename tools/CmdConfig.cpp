// vemo-cli config --port PATH [--speed BAUD] [FIELD=VALUE ...]
// Prints the module's configuration block one field a line; with assignments, changes those
// fields, writes the block, reads it back and prints it.
#include "link/ConfigCommands.h"
#include "link/LinkPort.h"
#include "link/ModuleConfig.h"
#include "tools/CliModule.h"
#include "tools/Commands.h"

#include <QCoreApplication>

#include <cerrno>
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
    int largest;         // the largest code the Configure page offers; -1: any value of the type
    const char* meaning; // for the help
};

const char* const Kept = "not used by the program; kept as read";

// In block order.
const Field Fields[] = {
    {"Word0", &vemo::ModuleConfig::Word0, -1, Kept},
    {"IntervalCount", &vemo::ModuleConfig::IntervalCount, -1,
     "the sampling interval in timing steps (BaseStep)"},
    {"AltUnit", &vemo::ModuleConfig::AltUnit, 2, "altitude unit: 0 feet, 1 yards, 2 meters"},
    {"DisplayOption", &vemo::ModuleConfig::DisplayOption, -1,
     "1: blank the display after 30 s (version 3 on: backlight)"},
    {"BaseStep", &vemo::ModuleConfig::BaseStep, -1, "the module's timing step in ms"},
    {"Word8", &vemo::ModuleConfig::Word8, -1, Kept},
    {"Word10", &vemo::ModuleConfig::Word10, -1, Kept},
    {"RevTrig", &vemo::ModuleConfig::RevTrig, -1, "1: reverse the trigger direction"},
    {"Triggered", &vemo::ModuleConfig::Triggered, -1, "1: record the external trigger"},
    {"AutoStartSec", &vemo::ModuleConfig::AutoStartSec, -1, "seconds for the auto start"},
    {"AutoStopSec", &vemo::ModuleConfig::AutoStopSec, -1, "seconds for the auto stop"},
    {"AutoStartAltitude", &vemo::ModuleConfig::AutoStartAltitude, -1,
     "altitude for the auto start, in the module's unit"},
    {"AutoStopAltitude", &vemo::ModuleConfig::AutoStopAltitude, -1,
     "altitude for the auto stop, in the module's unit"},
    {"AutoStart", &vemo::ModuleConfig::AutoStart, 3,
     "0 off, 1 after power-up, 2 above altitude, 3 on first trigger"},
    {"AutoStop", &vemo::ModuleConfig::AutoStop, 2, "0 off, 1 after time, 2 below altitude"},
    {"AutoZero", &vemo::ModuleConfig::AutoZero, 3,
     "0 off, 1 on first trigger, 2 on power-up, 3 on start recording"},
    {"ModuleVersion", &vemo::ModuleConfig::ModuleVersion, -1, "the module's hardware version"},
    {"MemorySize", &vemo::ModuleConfig::MemorySize, -1,
     "memory size code: code x 8192 bytes, code x 4096 samples"},
    {"Byte27", &vemo::ModuleConfig::Byte27, -1, Kept},
};

const Field* FindField(const std::string& name) {
    for (const Field& f : Fields)
        if (name == f.name) return &f;
    return nullptr;
}

int Bits(const Field& f) {
    return std::holds_alternative<Field8>(f.member) ? 8 : 16;
}

// A field takes its codes, or any value of its size: -32768..65535 for 16 bits (negative
// values as the module stores them, two's complement), -128..255 for 8.
long Lowest(const Field& f) {
    return f.largest >= 0 ? 0 : -(1L << (Bits(f) - 1));
}
long Highest(const Field& f) {
    return f.largest >= 0 ? f.largest : (1L << Bits(f)) - 1;
}
std::string RangeText(const Field& f) {
    return std::to_string(Lowest(f)) + " to " + std::to_string(Highest(f));
}

struct Assignment {
    const Field* field = nullptr;
    unsigned value = 0;
};

// FIELD=VALUE, the value decimal or 0x hexadecimal; what is wrong with it, or nothing.
std::string ParseAssignment(const std::string& arg, Assignment& a) {
    const auto eq = arg.find('=');
    if (eq == std::string::npos) return "not FIELD=VALUE: " + arg;
    const std::string name = arg.substr(0, eq), text = arg.substr(eq + 1);
    a.field = FindField(name);
    if (!a.field) return name + ": unknown field";
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0') return name + ": not a number: " + text;
    // The program refuses to read a block with a code it does not know; never write one.
    if (errno == ERANGE || v < Lowest(*a.field) || v > Highest(*a.field))
        return name + ": out of range: " + text + " (" + RangeText(*a.field) + ")";
    a.value = static_cast<unsigned>(v) & ((1u << Bits(*a.field)) - 1);
    return {};
}

void Print(const vemo::ModuleConfig& c) {
    for (const Field& f : Fields) {
        const unsigned v = std::visit([&c](auto member) { return unsigned{c.*member}; }, f.member);
        std::printf("%s=%u\n", f.name, v);
    }
}

} // namespace

std::string ConfigFieldsHelp() {
    std::string help = "Fields (the value decimal, or hexadecimal with 0x; a negative value is "
                       "kept\nas two's complement):\n";
    for (const Field& f : Fields) {
        char line[160];
        std::snprintf(line, sizeof line, "  %-18s %-16s %s\n", f.name, RangeText(f).c_str(),
                      f.meaning);
        help += line;
    }
    return help;
}

int CmdConfig(int argc, char** argv) {
    vemocli::PortOptions options;
    std::vector<Assignment> changes;
    for (int i = 1; i < argc;) {
        bool taken = false;
        if (!vemocli::ParsePortOption(argc, argv, i, options, taken)) return UsageError("config");
        if (taken) continue;
        Assignment change;
        const std::string wrong = ParseAssignment(argv[i++], change);
        if (!wrong.empty()) return UsageError("config", wrong);
        changes.push_back(change);
    }
    if (options.port.empty()) return UsageError("config", "--port is missing");
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
