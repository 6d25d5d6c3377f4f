// vemo-cli: the headless companion. Each subcommand lives in its own file and is listed here.
#include "tools/Commands.h"

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv); // argv[0] is the subcommand's name
};

const Command commands[] = {
    {"ports", CmdPorts},
    {"info", CmdInfo},
    {"save", CmdSave},
    {"download", CmdDownload},
    {"config", CmdConfig},
    {"export", CmdExport},
    {"summary", CmdSummary},
    {"import-sim", CmdImportSim},
    {"flash", CmdFlash},
    {nullptr, nullptr},
};

void Usage() {
    std::fprintf(stderr,
                 "usage: vemo-cli ports | info | download | config | save | export | flash ...\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage();
        return 1;
    }
    for (const Command* c = commands; c->name; ++c)
        if (std::strcmp(argv[1], c->name) == 0) return c->run(argc - 1, argv + 1);
    std::fprintf(stderr, "vemo-cli: unknown command '%s'\n", argv[1]);
    Usage();
    return 1;
}
