// Writes the seed inputs of the link's fuzz targets: real replies of the simulated module,
// taken over a pseudo-terminal as the program would receive them.
//   fuzz_seeds DIR  ->  DIR/config/*.bin (replies to "r", and text arriving late instead of one)
//                       DIR/download/*.bin (replies to "a" and a set number)
#include "../sim/PtyClient.h"
#include "sim/Simulator.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Long recordings are cut: the start of a stream is a stream that ended early.
constexpr std::size_t MaxSeedBytes = 8192;

bool Save(const fs::path& file, std::vector<uint8_t> bytes) {
    if (bytes.empty()) return true;
    if (bytes.size() > MaxSeedBytes) bytes.resize(MaxSeedBytes);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> Ask(PtyClient& port, std::vector<uint8_t> command, int quietMs = 300) {
    port.ReadUntilQuiet(20);
    port.Send(command);
    return port.ReadUntilQuiet(quietMs);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 1;
    }
    const fs::path dir = argv[1];
    fs::create_directories(dir / "config");
    fs::create_directories(dir / "download");
    bool ok = true;

    for (int unit = 0; unit < 3; ++unit) {
        vemosim::Simulator sim(vemosim::SimOptions{.pace = false, .unit = unit});
        if (!sim.Start()) return 2;
        PtyClient port(sim.PortPath());
        if (!port.IsOpen()) return 2;
        const std::string u = std::to_string(unit);
        ok &= Save(dir / "config" / ("r-unit" + u + ".bin"), Ask(port, {'r'}));
        if (unit != 0) continue;
        // Spinner presses after the block: up and down on each of the four.
        auto block = Ask(port, {'r'});
        for (uint8_t press : {0, 1, 2, 3, 4, 5, 6, 7})
            block.push_back(press);
        ok &= Save(dir / "config" / "r-then-spinners.bin", block);
        // The identification text, as a late reply is taken for the block.
        ok &= Save(dir / "config" / "identify-text.bin", Ask(port, {'v'}));
        for (uint8_t set = 0; set < 4; ++set)
            ok &= Save(dir / "download" / ("set" + std::to_string(set) + ".bin"),
                       Ask(port, {'a', set}));
        sim.SetGarbage(true);
        ok &= Save(dir / "config" / "garbage.bin", Ask(port, {'r'}));
        ok &= Save(dir / "download" / "garbage.bin", Ask(port, {'a', 0}));
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
    ok &= Save(dir / "download" / "triggers.bin", Ask(port, {'a', 0}));
    sim.SetSilenceAfter(6 + 2 * 3);
    ok &= Save(dir / "download" / "cut-short.bin", Ask(port, {'a', 0}));
    return ok ? 0 : 2;
}
