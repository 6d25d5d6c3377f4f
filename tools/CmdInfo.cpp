// vemo-cli info: the info block of "Download Info", line for line.
#include "link/Protocol.h"
#include "tools/CliLink.h"
#include "tools/Commands.h"

#include <QCoreApplication>

#include <cstdio>

int CmdInfo(int argc, char** argv) {
    vemocli::PortOptions options;
    for (int i = 1; i < argc;) {
        bool taken = false;
        if (!vemocli::ParsePortOption(argc, argv, i, options, taken)) return UsageError("info");
        if (!taken) {
            std::fprintf(stderr, "vemo-cli: unknown option '%s'\n", argv[i]);
            return UsageError("info");
        }
    }
    if (options.port.empty()) return UsageError("info");

    QCoreApplication app(argc, argv);
    vemo::StringListLog log;
    vemocli::TerminalPrompt prompt;
    vemo::ModuleUi ui;
    vemo::ModuleContext ctx{vemo::Link(), log, prompt, ui};
    ctx.state.SpeedIndex = options.speedIndex;

    if (!vemo::ConnectPath(ctx, options.port)) {
        for (const std::string& line : log.Lines)
            vemocli::PrintError(line);
        return 2;
    }
    const bool ok = vemo::DownloadInfo(ctx);
    vemo::Disconnect(ctx);
    for (const std::string& line : log.Lines) {
        if (ok)
            std::printf("%s\n", line.c_str());
        else
            vemocli::PrintError(line);
    }
    return ok ? 0 : 2;
}
