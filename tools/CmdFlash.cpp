// vemo-cli flash --port PATH [--speed BAUD] [--blank] [--force] FILE.hex
// Replaces the module's firmware as "Update Firmware" does, printing the message-log lines as
// they are written and, on a terminal, the progress on standard error.
#include "link/FirmwareUpdate.h"
#include "tools/CliModule.h"
#include "tools/Commands.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

int FlashUsage() {
    return UsageError("flash");
}

// The percentage on standard error, redrawn in place; it steps aside while a log line is
// printed, so that lines and percentage do not run into each other on one terminal.
struct TerminalProgress {
    bool shown = false;
    int maximum = 0;
    int percent = 0;
    void Draw() {
        std::fprintf(stderr, "\r%3d%%", percent);
        std::fflush(stderr);
    }
    void Erase() {
        std::fprintf(stderr, "\r    \r");
        std::fflush(stderr);
    }
};

// The message log on standard output, remembering the last line that said something.
class FlashLog final : public vemo::MessageLog {
public:
    explicit FlashLog(TerminalProgress& progress) : progress_(progress) {}
    void Clear() override {}
    void Append(const std::string& line) override {
        if (progress_.shown) progress_.Erase();
        log_.Append(line);
        if (progress_.shown) progress_.Draw();
        if (!line.empty()) last = line;
    }
    std::string last;

private:
    TerminalProgress& progress_;
    vemocli::StreamLog log_{stdout};
};

} // namespace

int CmdFlash(int argc, char** argv) {
    vemocli::PortOptions port;
    vemo::FirmwareOptions options;
    std::string file;
    for (int i = 1; i < argc;) {
        bool taken = false;
        if (!vemocli::ParsePortOption(argc, argv, i, port, taken)) return FlashUsage();
        if (taken) continue;
        const std::string arg = argv[i++];
        if (arg == "--blank") {
            options.BlankPart = true;
        } else if (arg == "--force") {
            options.ForceUpdate = true;
        } else if (arg.rfind("--", 0) != 0 && file.empty()) {
            file = arg;
        } else {
            std::fprintf(stderr, "vemo-cli: unexpected argument '%s'\n", arg.c_str());
            return FlashUsage();
        }
    }
    if (port.port.empty() || file.empty()) return FlashUsage();

    // The serial port wants an application object on its thread.
    QCoreApplication app(argc, argv);
    if (QFile hex(QString::fromLocal8Bit(file.c_str())); !hex.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Unable to open %s!\n", file.c_str());
        return 2;
    }

    TerminalProgress progress;
    FlashLog log(progress);
    vemocli::TerminalPrompt prompt;
    vemo::ModuleUi ui;
    vemo::ModuleContext ctx{vemo::Link(), log, prompt, ui};
    vemo::FirmwareJob job{port.port, vemo::BaudOf(port.speedIndex), options, file};

    vemo::TransferView view;
    if (::isatty(STDERR_FILENO)) {
        view.ShowProgress = [&progress](int maximum) {
            progress = {true, maximum, 0};
            progress.Draw();
        };
        view.Progress = [&progress](int position) {
            progress.percent =
                progress.maximum > 0 ? static_cast<int>(100LL * position / progress.maximum) : 100;
            progress.Draw();
        };
        view.HideProgress = [&progress] {
            if (progress.shown) progress.Erase();
            progress.shown = false;
        };
    }
    const int result = vemo::RunFirmwareUpdate(ctx, job, view);
    if (result == vemo::UpdateOk) return 0;
    std::fprintf(stderr, "vemo-cli flash: %s (result %d)\n",
                 log.last.empty() ? "the update failed" : log.last.c_str(), result);
    return 2;
}
