// vemo-cli: the headless companion. Each subcommand lives in its own file; the table below is
// the one place that names it, describes it in a line and lists its options, so that the
// top-level usage, "vemo-cli COMMAND --help" and the usage errors all say the same.
#include "Version.h"
#include "tools/Commands.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

struct Command {
    const char* name;
    const char* summary;               // one line in the list of commands
    const char* synopsis;              // the arguments after "vemo-cli NAME"
    const char* options;               // one line per option: the option, then what it does
    int (*run)(int argc, char** argv); // argv[0] is the subcommand's name
    std::string (*more)() = nullptr;   // help printed after the options
};

#define PORT_OPTIONS                                                                               \
    "  --port PATH     the serial port the module is on (required)\n"                              \
    "  --speed BAUD    line speed: 2400, 4800, 9600, 19200, 38400 or 115200 (default 115200)\n"

const Command Commands[] = {
    {"ports", "list the serial ports as the program's port list shows them", "", "", CmdPorts},
    {"info", "print the module's identification and number of data sets",
     "--port PATH [--speed BAUD]", PORT_OPTIONS, CmdInfo},
    {"download", "download data sets from the module and save each as a set file",
     "--port PATH [--speed BAUD] [--set N|all] [--out DIR]",
     PORT_OPTIONS
     "  --set N|all     the data set to download, counted from 1, or all of them (default all)\n"
     "  --out DIR       the folder the set files go to (default the current folder)\n",
     CmdDownload},
    {"config", "print the module's configuration, or change fields of it",
     "--port PATH [--speed BAUD] [FIELD=VALUE ...]",
     PORT_OPTIONS
     "  FIELD=VALUE     set a field of the configuration block (Word0, IntervalCount, AltUnit,\n"
     "                  ...), write the block, read it back and print it\n",
     CmdConfig, ConfigFieldsHelp},
    {"save", "load data files and save them as one plot file or one set file",
     "OUT.csv IN.csv [IN.csv ...] [--set K]",
     "  --set K         save data set K (counted from 0) alone as a set file instead of the\n"
     "                  whole plot with all its data sets\n",
     CmdSave},
    {"export", "draw a data file's plot as a picture",
     "IN.csv OUT.bmp|.jpg|.gif|.png|.svg|.pdf [--width IN] [--height IN] [--mono] [--logo] "
     "[--no-info] [--speed]",
     "  --width IN      width of the picture in inches (default 7)\n"
     "  --height IN     height of the picture in inches (default 3.5)\n"
     "  --mono          black lines on white instead of the plot's colours\n"
     "  --logo          draw the background logo behind the plot\n"
     "  --no-info       leave out the three info lines\n"
     "  --speed         draw each data set's vertical speed against an axis on the right\n",
     CmdExport},
    {"flash", "replace the module's firmware from an Intel HEX file",
     "--port PATH [--speed BAUD] [--blank] [--force] FILE.hex",
     PORT_OPTIONS
     "  --blank         the module has no working firmware (\"Part is Blank\"): no \"P\", no "
     "break\n"
     "  --force         with --blank, send the break all the same (\"Force Update\")\n",
     CmdFlash},
    {"summary", "print each data set's flight summary, or a logbook of them all",
     "FILE.csv [FILE.csv ...] [--csv]",
     "  --csv           print a logbook: one header line, then one row per flight of every\n"
     "                  data set of every file, ready for a spreadsheet\n",
     CmdSummary},
    {"import-sim", "turn a flight simulator's CSV export into a set file",
     "SIM.csv OUT.csv [--unit feet|meters|yards]",
     "  --unit UNIT     the altitude unit of the set file: feet, meters or yards (default feet)\n",
     CmdImportSim},
};

const char HelpOption[] = "  -h, --help      show this help and exit\n";

const Command* Find(std::string_view name) {
    for (const Command& c : Commands)
        if (name == c.name) return &c;
    return nullptr;
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

void PrintUsageLine(std::FILE* out, const Command& c) {
    std::fprintf(out, "usage: vemo-cli %s%s%s\n", c.name, *c.synopsis ? " " : "", c.synopsis);
}

void PrintCommandHelp(const Command& c) {
    PrintUsageLine(stdout, c);
    std::printf("%c%s.\n\nOptions:\n%s%s", c.summary[0] - 'a' + 'A', c.summary + 1, c.options,
                HelpOption);
    if (c.more) std::printf("\n%s", c.more().c_str());
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: vemo-cli COMMAND [ARGUMENTS ...]\n"
                      "       vemo-cli COMMAND --help\n"
                      "       vemo-cli --version\n\n"
                      "The headless companion of Vemo: talks to the altitude recording module\n"
                      "and works on data files without opening a window.\n\nCommands:\n");
    for (const Command& c : Commands)
        std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(out,
                 "\nOptions:\n%s  --version       print the version and exit\n\n"
                 "Exit status: 0 success, 1 usage error, 2 when the file, the port or the\n"
                 "module fails.\n",
                 HelpOption);
}

} // namespace

int UsageError(const char* command) {
    if (const Command* c = Find(command)) {
        PrintUsageLine(stderr, *c);
        std::fprintf(stderr, "Run 'vemo-cli %s --help' for the options.\n", c->name);
    }
    return 1;
}

int UsageError(const char* command, const std::string& why) {
    std::fprintf(stderr, "vemo-cli %s: %s\n", command, why.c_str());
    return UsageError(command);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(stderr);
        return 1;
    }
    const std::string_view first = argv[1];
    if (IsHelp(first)) {
        PrintHelp(stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("vemo-cli %s\n", VEMO_VERSION_TEXT);
        return 0;
    }
    const Command* c = Find(first);
    if (!c) {
        std::fprintf(stderr, "vemo-cli: unknown command '%s'\n", argv[1]);
        std::fprintf(stderr, "Run 'vemo-cli --help' for the list of commands.\n");
        return 1;
    }
    for (int i = 2; i < argc; ++i)
        if (IsHelp(argv[i])) {
            PrintCommandHelp(*c);
            return 0;
        }
    return c->run(argc - 1, argv + 1);
}
