// libFuzzer target for the download stream: a 6-byte header and then 16-bit words, samples and
// trigger markers, as the module sends them after "a". Any bytes must make a data set within
// its limits whose samples are exactly the stream's sample words, in order, with their times,
// and whose messages tell a set that ended before its word count.
#include "data/PlotDocument.h"
#include "data/Text.h"
#include "link/Download.h"
#include "link/ModulePort.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// The module's reply, read in order; a read that asks for more than is left fails and takes
// the rest, as a line that falls silent would.
class StreamPort : public vemo::ModulePort {
public:
    StreamPort(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    void FlushInput() override {}
    void WriteBytes(std::span<const std::uint8_t>) override {}
    bool ReadExact(std::span<std::uint8_t> buf, int) override {
        if (size_ - at_ < buf.size()) {
            at_ = size_;
            return false;
        }
        std::memcpy(buf.data(), data_ + at_, buf.size());
        at_ += buf.size();
        return true;
    }
    void Pause(int) override {}

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The samples the stream holds, read the plain way: every word that is not a marker, up to
// the word count (a marker's sample may be the one word beyond it) and the store limit.
struct Expected {
    std::vector<double> alt;
    std::vector<bool> trigger;
    int markers = 0;
};

Expected Decode(const std::uint8_t* data, std::size_t size, int wordCount) {
    Expected e;
    std::size_t at = 6;
    auto word = [&](std::uint16_t& w) {
        if (at + 2 > size) return false;
        w = static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
        at += 2;
        return true;
    };
    for (;;) {
        std::uint16_t w = 0;
        if (!word(w)) break;
        bool trig = false;
        if ((w >> 8) == 0x82) {
            ++e.markers;
            if (!word(w)) break;
            trig = true;
        }
        e.alt.push_back(static_cast<std::int16_t>(w));
        e.trigger.push_back(trig);
        const int read = static_cast<int>(e.alt.size()) + e.markers;
        if (e.alt.size() >= vemo::MaxDownloadSamples || (wordCount > 0 && read >= wordCount)) break;
    }
    return e;
}

void RunOnce(const std::uint8_t* data, std::size_t size, std::uint16_t baseStep) {
    StreamPort port(data, size);
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
    const std::uint8_t(&head)[6] = *reinterpret_cast<const std::uint8_t(*)[6]>(data);
    const vemo::SetHeader header = vemo::ParseSetHeader(head);
    const Expected e = Decode(data, size, header.WordCount);

    const vemo::Signal* alt = doc.AltSignal(0);
    const vemo::Signal* trig = doc.TrigSignal(0);
    const int n = alt->Samples.Count();
    Check(n == r.Samples && n <= vemo::MaxDownloadSamples);
    Check(alt->Samples.Alt == e.alt && r.Markers == e.markers);
    Check(alt->Samples.PeakMarks.size() == static_cast<std::size_t>(n));
    const double interval =
        static_cast<double>(header.IntervalCount) * static_cast<double>(baseStep) / 1000.0;
    int k = 0;
    for (int j = 0; j < n; ++j) {
        Check(std::isfinite(alt->Samples.Time[static_cast<std::size_t>(j)]));
        Check(alt->Samples.Time[static_cast<std::size_t>(j)] == j * interval);
        if (!e.trigger[static_cast<std::size_t>(j)]) continue;
        Check(k < trig->Samples.Count());
        Check(trig->Samples.Time[static_cast<std::size_t>(k)] ==
              alt->Samples.Time[static_cast<std::size_t>(j)]);
        Check(trig->Samples.Alt[static_cast<std::size_t>(k)] ==
              alt->Samples.Alt[static_cast<std::size_t>(j)]);
        ++k;
    }
    Check(k == trig->Samples.Count() && k == r.Triggers);
    Check(trig->Visible == (header.TriggerFlag ? 1 : 0));
    Check(alt->Note2.size() <= vemo::TextLength && alt->Note3.size() <= vemo::TextLength);

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
