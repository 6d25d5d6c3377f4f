// Download of a 65535-sample set from the simulated module pacing its output at 115200 baud
// (ten bits a byte, 11520 bytes a second), through the real serial link and the "Download
// Data" handler with a progress bar updated and window events let through after every
// sample. Reports the elapsed time over the line time of the set's bytes (6 + 2 x 65535), and
// the CPU time of the program's thread (the simulator runs on a thread of its own) over the
// elapsed time.
#include "bench/QtBenchMain.h"
#include "data/ui/MainStatus.h"
#include "link/DownloadCommand.h"
#include "link/ModuleConfig.h"
#include "link/SerialLink.h"
#include "plot/Scaling.h"
#include "sim/Simulator.h"

#include <QApplication>
#include <QProgressBar>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace {

constexpr int Samples = 65535;
constexpr double LineBytesPerSecond = 115200.0 / 10.0;

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

class NoPrompt : public vemo::UserPrompt {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void Error(const std::string&, const std::string&) override {}
};

void BM_Download65535At115200(benchmark::State& state) {
    vemosim::Recording rec;
    rec.intervalCount = 10;
    rec.alt.resize(Samples);
    rec.trigger.assign(Samples, false);
    for (int i = 0; i < Samples; ++i)
        rec.alt[i] = 250 + (i * 7) % 300;
    vemosim::Simulator sim(vemosim::SimOptions{true, 0});
    sim.SetRecordings({rec});
    if (!sim.Start() || !vemo::Link().OpenPort(sim.PortPath(), 115200)) {
        state.SkipWithError("simulator port not available");
        return;
    }
    vemo::Config.BaseStep = 100;

    QProgressBar bar;
    bar.setRange(0, 100);
    bar.resize(200, 20);
    bar.show();
    MainStatus.ProgressBar1 = &bar;

    vemo::StringListLog log;
    NoPrompt prompt;
    vemo::ModuleUi ui;
    vemo::ModuleContext ctx{vemo::Link(), log, prompt, ui};
    ctx.state.Connected = true;
    ctx.state.ModuleSetCount = 1;
    vemo::DownloadHooks hooks;
    hooks.AutoRange = vemo::AutoRangeAll;
    hooks.View.ShowProgress = [](int) { MainStatus.ProgressBar1->show(); };
    hooks.View.Progress = [](int p) { MainStatus.ProgressBar1->setValue(p); };
    hooks.View.ProcessEvents = [] { QCoreApplication::processEvents(); };
    hooks.View.HideProgress = [] { MainStatus.ProgressBar1->hide(); };

    double ratioSum = 0, cpuSum = 0, processCpuSum = 0;
    int runs = 0;
    for (auto _ : state) {
        vemo::PlotDocument doc;
        const auto start = std::chrono::steady_clock::now();
        const double cpu0 = ThreadCpuSeconds();
        const double proc0 = ProcessCpuSeconds();
        const auto results = vemo::DownloadDataClick(ctx, doc, 0, hooks);
        const double cpu = ThreadCpuSeconds() - cpu0;
        const double proc = ProcessCpuSeconds() - proc0;
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        if (results.size() != 1 || results[0].Samples != Samples) {
            state.SkipWithError("the set did not arrive whole");
            break;
        }
        const double lineTime = (6.0 + 2.0 * Samples) / LineBytesPerSecond;
        ratioSum += elapsed / lineTime;
        cpuSum += cpu / elapsed;
        processCpuSum += proc / elapsed;
        ++runs;
    }
    if (runs > 0) {
        state.counters["elapsed_over_line_time"] = ratioSum / runs;
        state.counters["cpu_of_core"] = cpuSum / runs;
        state.counters["cpu_incl_simulator"] = processCpuSum / runs;
    }
    MainStatus.ProgressBar1 = nullptr;
    vemo::Link().ClosePort();
}

BENCHMARK(BM_Download65535At115200)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks<QApplication>(argc, argv);
}
