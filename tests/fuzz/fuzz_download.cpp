// libFuzzer target for the download stream (a 6-byte header, then 16-bit sample words and
// trigger markers): any bytes make a set within its limits holding exactly the stream's samples
// with their times, and a set that ended before its word count says so.
#include "FuzzSupport.h"
#include "data/PlotDocument.h"
#include "data/Text.h"
#include "link/DownloadStream.h"

#include <cmath>
#include <string>
#include <vector>

using fuzz::Check;

namespace {

// The stream read the plain way: every word that is not a marker is a sample, up to the word
// count (a marker's sample may be the one word beyond it) and the store's limit.
struct Expected {
    std::vector<double> alt;
    std::vector<bool> trigger;
    int markers = 0;
};

Expected Decode(const std::uint8_t* data, std::size_t size, int wordCount) {
    Expected e;
    std::size_t at = 6;
    const auto word = [&](std::uint16_t& w) {
        if (at + 2 > size) return false;
        w = static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
        at += 2;
        return true;
    };
    for (std::uint16_t w = 0; word(w);) {
        const bool trig = (w >> 8) == 0x82;
        e.markers += trig;
        if (trig && !word(w)) break;
        e.alt.push_back(static_cast<std::int16_t>(w));
        e.trigger.push_back(trig);
        const int read = static_cast<int>(e.alt.size()) + e.markers;
        if (e.alt.size() >= vemo::MaxDownloadSamples || (wordCount > 0 && read >= wordCount)) break;
    }
    return e;
}

void RunOnce(const std::uint8_t* data, std::size_t size, std::uint16_t baseStep) {
    fuzz::BytePort port(data, size);
    vemo::PlotDocument doc;
    std::vector<std::string> log;
    vemo::DownloadHooks hooks;
    hooks.Log = [&log](const std::string& line) { log.push_back(line); };
    hooks.Today = [] { return std::string("2026-01-01"); };
    const vemo::SetResult r = vemo::DownloadSet(port, doc, 0, baseStep, 0, hooks);
    if (size < 6) {
        Check(!r.HeaderOk && doc.SetCount() == 0);
        Check(log.size() == 2 && log[1] == "Set 1: Corrupted data set.");
        return;
    }
    Check(r.HeaderOk && doc.SetCount() == 1);
    const vemo::SetHeader header =
        vemo::ParseSetHeader(*reinterpret_cast<const std::uint8_t(*)[6]>(data));
    const Expected e = Decode(data, size, header.WordCount);

    const vemo::SampleStore& alt = doc.AltSignal(0)->Samples;
    const vemo::SampleStore& trig = doc.TrigSignal(0)->Samples;
    const int n = alt.Count();
    Check(n == r.Samples && alt.Alt == e.alt && r.Markers == e.markers);
    Check(alt.PeakMarks.size() == static_cast<std::size_t>(n));
    const double interval = header.IntervalCount * static_cast<double>(baseStep) / 1000.0;
    std::size_t k = 0;
    for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j) {
        Check(std::isfinite(alt.Time[j]) && alt.Time[j] == static_cast<double>(j) * interval);
        if (!e.trigger[j]) continue;
        Check(k < trig.Time.size() && trig.Time[k] == alt.Time[j] && trig.Alt[k] == alt.Alt[j]);
        ++k;
    }
    Check(k == trig.Time.size() && static_cast<int>(k) == r.Triggers);
    Check(doc.TrigSignal(0)->Visible == (header.TriggerFlag ? 1 : 0));
    const vemo::Signal* sig = doc.AltSignal(0);
    Check(sig->Note2.size() <= vemo::TextLength && sig->Note3.size() <= vemo::TextLength);

    const int words = n + r.Markers;
    const bool early = header.WordCount > 0 && words < header.WordCount;
    Check(log.size() == (early ? 3u : 2u));
    Check(log[1] == "Set 1: Downloaded " + std::to_string(n) + " data samples.");
    if (early)
        Check(log[2] == "Set 1 ended early: " + std::to_string(words) + " of " +
                            std::to_string(header.WordCount) + " words arrived.");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunOnce(data, size, 100);   // the usual base step
    RunOnce(data, size, 65535); // the longest: times must stay exact and finite
    return 0;
}
