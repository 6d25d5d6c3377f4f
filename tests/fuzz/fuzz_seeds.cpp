// Writes the seeds of the link's fuzz targets, real replies of the simulated module taken over
// its pseudo-terminal: DIR/config/*.bin (to "r", and late text instead) and DIR/download/*.bin.
#include "../sim/PtyClient.h"
#include "sim/Simulator.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The reply to `command`, saved under `file` and cut to 8 KiB (the start of a stream is a
// stream that ended early); false when it could not be written.
bool Save(PtyClient& port, const fs::path& file, const std::vector<uint8_t>& command,
          std::vector<uint8_t> tail = {}) {
    port.ReadUntilQuiet(20);
    port.Send(command);
    std::vector<uint8_t> bytes = port.ReadUntilQuiet(300);
    if (bytes.empty()) return true;
    bytes.resize(std::min<std::size_t>(bytes.size(), 8192));
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 1;
    }
    const fs::path config = fs::path(argv[1]) / "config", download = fs::path(argv[1]) / "download";
    fs::create_directories(config);
    fs::create_directories(download);
    bool ok = true;

    for (int unit = 0; unit < 3; ++unit) {
        vemosim::Simulator sim(vemosim::SimOptions{.pace = false, .unit = unit});
        if (!sim.Start()) return 2;
        PtyClient port(sim.PortPath());
        if (!port.IsOpen()) return 2;
        ok &= Save(port, config / ("r-unit" + std::to_string(unit) + ".bin"), {'r'});
        if (unit != 0) continue;
        // Spinner presses after the block: up and down on each of the four.
        ok &= Save(port, config / "r-then-spinners.bin", {'r'}, {0, 1, 2, 3, 4, 5, 6, 7});
        // The identification text, as a late reply is taken for the block.
        ok &= Save(port, config / "identify-text.bin", {'v'});
        for (uint8_t set = 0; set < 4; ++set)
            ok &= Save(port, download / ("set" + std::to_string(set) + ".bin"), {'a', set});
        sim.SetGarbage(true);
        ok &= Save(port, config / "garbage.bin", {'r'});
        ok &= Save(port, download / "garbage.bin", {'a', 0});
    }

    // A short set with trigger marks, and one cut short by a module that falls silent.
    vemosim::Recording marked;
    marked.alt = {10, 20, 30, 25, -10, -32100};
    marked.trigger = {false, true, false, true, false, false};
    marked.triggered = true;
    vemosim::Simulator sim;
    sim.SetRecordings({marked});
    if (!sim.Start()) return 2;
    PtyClient port(sim.PortPath());
    ok &= Save(port, download / "triggers.bin", {'a', 0});
    sim.SetSilenceAfter(6 + 2 * 3);
    ok &= Save(port, download / "cut-short.bin", {'a', 0});
    return ok ? 0 : 2;
}
