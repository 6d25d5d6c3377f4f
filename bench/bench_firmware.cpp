// A full 7616-byte firmware image through the real serial link and the updater, with the
// progress bar moved and window events let through as the window does, against the
// simulated boot loader pacing its echoes and answers at 4800 baud (ten bits a character).
// Reports the elapsed time over the line time of everything on the line: the records sent,
// and the echoes and the one-byte answers received. On a real line the echo comes back while
// the record is still going out, so the elapsed time is also given over the line time of
// the received characters alone (the least a full-duplex line can take).
#include "bench/QtBenchMain.h"
#include "data/ui/MainStatus.h"
#include "link/FirmwareUpdate.h"
#include "link/SerialLink.h"
#include "sim/Simulator.h"

#include <QApplication>
#include <QProgressBar>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr double CharsPerSecond = 4800.0 / 10.0;

class NoPrompt : public vemo::UserPrompt {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void Error(const std::string&, const std::string&) override {}
};

// A full image in 32-byte records, written for the run.
std::string WriteImageFile() {
    vemo::FirmwareImage image;
    for (int i = 0; i < vemo::FirmwareSize; ++i)
        image.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + i / 256);
    const std::string path =
        (std::filesystem::temp_directory_path() / "vemo-bench-firmware.hex").string();
    std::ofstream out(path, std::ios::binary);
    for (int address = 0; address < vemo::FirmwareSize; address += 32)
        out << vemo::DataRecord(image, address, 32) << "\n";
    out << ":00000001FF\n";
    return path;
}

void BM_FirmwareUpdate7616At4800(benchmark::State& state) {
    const std::string file = WriteImageFile();
    vemosim::Simulator sim(vemosim::SimOptions{true, 0});
    if (!sim.Start()) {
        state.SkipWithError("simulator port not available");
        return;
    }
    QProgressBar bar;
    bar.resize(200, 20);
    bar.show();
    MainStatus.ProgressBar1 = &bar;
    vemo::StringListLog log;
    NoPrompt prompt;
    vemo::ModuleUi ui;
    vemo::ModuleContext ctx{vemo::Link(), log, prompt, ui};
    const vemo::FirmwareJob job{sim.PortPath(), 115200, {}, file};

    double overAll = 0, overReceived = 0;
    int runs = 0;
    for (auto _ : state) {
        sim.ClearReceived();
        log.Clear();
        const auto start = std::chrono::steady_clock::now();
        const int result = vemo::RunFirmwareUpdate(
            ctx, job,
            vemo::TransferView{[](int maximum) {
                                   MainStatus.ProgressBar1->setRange(0, maximum);
                                   MainStatus.ProgressBar1->show();
                               },
                               [](int position) { MainStatus.ProgressBar1->setValue(position); },
                               [] { QCoreApplication::processEvents(); },
                               [] { MainStatus.ProgressBar1->hide(); }});
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        if (result != 0) {
            state.SkipWithError("the update failed");
            break;
        }
        // What went out at 4800 baud: the "U" and every record (the "P" before them goes at
        // the user's speed). What came back: the "U", and the echo and one answer of every
        // record but the reset record.
        const auto sent = sim.Received();
        double records = 0;
        for (std::uint8_t b : sent)
            records += b == ':' ? 1 : 0;
        const double sentChars = static_cast<double>(sent.size()) - 1;
        const double recordChars = sentChars - 1;
        const double receivedChars = 1 + (recordChars - 11) + (records - 1);
        overAll += elapsed / ((sentChars + receivedChars) / CharsPerSecond);
        overReceived += elapsed / (receivedChars / CharsPerSecond);
        ++runs;
    }
    if (runs > 0) {
        state.counters["elapsed_over_line_time"] = overAll / runs;
        state.counters["elapsed_over_received_line_time"] = overReceived / runs;
    }
    MainStatus.ProgressBar1 = nullptr;
    std::filesystem::remove(file);
}

BENCHMARK(BM_FirmwareUpdate7616At4800)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks<QApplication>(argc, argv);
}
