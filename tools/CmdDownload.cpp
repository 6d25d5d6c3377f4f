// vemo-cli download --port PATH [--speed BAUD] [--set N|all] [--out DIR]
// Downloads as "Download Data" does after "Download Info" and saves each downloaded set as a
// set file DIR/Alt_<yyyy-mm-dd>_<N>.csv.
#include "data/DataFile.h"
#include "link/DownloadCommand.h"
#include "plot/Scaling.h"
#include "tools/CliModule.h"
#include "tools/Commands.h"

#include <QCoreApplication>

#include <QDate>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// "all" gives 0; a set number from 1 gives itself; anything else -1.
int ParseSet(const char* text) {
    if (std::strcmp(text, "all") == 0) return 0;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || n < 1 || n > 256) return -1;
    return static_cast<int>(n);
}

} // namespace

int CmdDownload(int argc, char** argv) {
    vemocli::PortOptions options;
    int set = 0; // all
    QString outDir = ".";
    for (int i = 1; i < argc;) {
        bool taken = false;
        if (!vemocli::ParsePortOption(argc, argv, i, options, taken)) return UsageError("download");
        if (taken) continue;
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--set") == 0 && hasValue) {
            set = ParseSet(argv[i + 1]);
            if (set < 0) return UsageError("download");
        } else if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
            outDir = QString::fromLocal8Bit(argv[i + 1]);
        } else {
            return UsageError("download");
        }
        i += 2;
    }
    if (options.port.empty()) return UsageError("download");
    // The serial port wants an application object on its thread.
    QCoreApplication app(argc, argv);
    if (!QDir(outDir).exists()) {
        std::fprintf(stderr, "Unable to open %s!\n", outDir.toLocal8Bit().constData());
        return 2;
    }

    vemo::PlotDocument doc;
    vemocli::StreamLog log(stdout);
    vemocli::TerminalPrompt prompt;
    vemo::ModuleUi ui;
    vemo::ModuleContext ctx{vemo::Link(), log, prompt, ui};
    vemo::ConfigSession configuration;
    struct Close {
        ~Close() { vemo::Link().ClosePort(); }
    } close;

    if (!vemocli::ConnectModule(ctx, configuration, options)) return 2;
    if (!vemo::DownloadInfo(ctx)) return 2;
    const int count = ctx.state.ModuleSetCount;
    if (set > count) {
        std::fprintf(stderr,
                     "vemo-cli download: the module holds %d data sets; there is no set %d\n",
                     count, set);
        return 2; // the module's answer, not a usage error
    }
    // The "Set#" list holds "1".."n" and then "All".
    const int selected = set == 0 ? count : set - 1;

    vemo::DownloadHooks hooks;
    hooks.AutoRange = vemo::AutoRangeAll; // the set files keep the plot's range
    if (::isatty(STDERR_FILENO)) {
        hooks.View.Progress = [](int position) {
            std::fprintf(stderr, "\r%3d%%", position);
            std::fflush(stderr);
        };
        hooks.View.HideProgress = [] { std::fprintf(stderr, "\r    \r"); };
    }
    const auto results = vemo::DownloadDataClick(ctx, doc, selected, hooks);

    int status = ctx.state.Connected ? 0 : 2; // the module went away during the transfer
    const QDate today = QDate::currentDate();
    for (const auto& r : results) {
        if (r.DataSet < 0) {
            status = 2; // the set did not answer; reported in the log
            continue;
        }
        const QString path = QDir(outDir).filePath(vemo::DefaultSetFileName(today, r.Set + 1));
        QString error;
        if (!vemo::SaveSetFile(doc, r.DataSet, path, &error)) {
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
            status = 2;
        }
    }
    return status;
}
