// libFuzzer target for the configuration block: its decoding ("r"), the check that refuses a
// block that is no configuration, the way to and from the Configure page's values, and the
// sampling interval the page shows as its spinners are pressed. The first 28 bytes are the
// reply to "r"; each further byte is one spinner press (low two bits: which spinner, the next
// bit: up or down).
#include "link/ConfigTransfer.h"
#include "link/ModuleConfig.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

class ReplyPort : public vemo::ModulePort {
public:
    explicit ReplyPort(const vemo::ConfigBytes& reply) : reply_(reply) {}
    void FlushInput() override {}
    void WriteBytes(std::span<const std::uint8_t>) override {}
    bool ReadExact(std::span<std::uint8_t> buf, int) override {
        if (buf.size() != reply_.size()) return false;
        std::memcpy(buf.data(), reply_.data(), buf.size());
        return true;
    }
    void Pause(int) override {}

private:
    vemo::ConfigBytes reply_;
};

constexpr std::uint32_t OneHour = 3600000;

// What the page must hold for any interval: the four values add up to it, each within its
// panel, and (with a base step) it is a whole number of steps from one step to one hour.
void CheckInterval(const vemo::IntervalState& s, std::uint16_t base) {
    Check(s.Hours >= 0 && s.Hours <= 1 && s.Minutes >= 0 && s.Minutes < 60 && s.Seconds >= 0 &&
          s.Seconds < 60 && s.Millis >= 0);
    const std::int64_t sum =
        std::int64_t{s.Hours} * 3600000 + s.Minutes * 60000 + s.Seconds * 1000 + s.Millis;
    Check(sum == s.SampleInterval && s.SampleInterval <= OneHour);
    if (base == 0) return;
    Check(s.Millis < 1000);
    Check(s.SampleInterval % base == 0 && s.SampleInterval >= base);
    const vemo::IntervalTexts t = vemo::FormatInterval(s);
    Check(t.Hours.size() == 1 && t.Minutes.size() == 2 && t.Seconds.size() == 2 &&
          t.Millis.size() == 3);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < vemo::ConfigBlockSize) return 0;
    vemo::ConfigBytes wire;
    std::memcpy(wire.data(), data, wire.size());
    const vemo::ModuleConfig decoded = vemo::FromWire(wire);
    Check(vemo::ToWire(decoded) == wire);
    const bool known = wire[4] <= 2 && wire[22] <= 3 && wire[23] <= 2 && wire[24] <= 3;
    Check(vemo::ConfigCodesKnown(decoded) == known);

    // "r": a block that is no configuration leaves what the program held.
    vemo::ModuleConfig held;
    held.BaseStep = 100;
    vemo::IntervalState interval;
    vemo::SplitInterval(interval, 1000);
    const vemo::ModuleConfig before = held;
    const vemo::IntervalState intervalBefore = interval;
    std::string error;
    vemo::ConfigHooks hooks;
    hooks.Error = [&error](const std::string& text, const std::string&) { error = text; };
    ReplyPort port(wire);
    const bool read = vemo::ReadConfig(port, held, interval, hooks);
    Check(read == known);
    if (!read) {
        Check(held == before && interval.SampleInterval == intervalBefore.SampleInterval);
        Check(error == "Configuration data not understood.");
        return 0;
    }
    Check(held == decoded);
    const std::uint16_t base = held.BaseStep;
    CheckInterval(interval, base);

    // The page and back: nothing changes but the flags' spelling and the interval's whole
    // steps, which the page keeps within one step and one hour.
    vemo::ConfigForm form;
    vemo::ShowConfig(held, form);
    vemo::ModuleConfig taken = held;
    vemo::TakeConfig(form, interval, taken);
    vemo::ModuleConfig expected = decoded;
    expected.DisplayOption = decoded.DisplayOption ? 1 : 0;
    expected.RevTrig = decoded.RevTrig ? 1 : 0;
    expected.Triggered = decoded.Triggered ? 1 : 0;
    if (base != 0) {
        const std::uint32_t most = OneHour / base;
        expected.IntervalCount =
            static_cast<std::uint16_t>(std::clamp<std::uint32_t>(decoded.IntervalCount, 1, most));
    }
    Check(taken == expected);

    // Spinner presses: every one lands on an interval the module can store, moving the way
    // it points (or staying at a limit).
    for (std::size_t i = vemo::ConfigBlockSize; i < size && i < vemo::ConfigBlockSize + 64; ++i) {
        const auto which = static_cast<vemo::IntervalSpinner>(data[i] & 3);
        const bool up = (data[i] & 4) != 0;
        const std::uint32_t old = interval.SampleInterval;
        vemo::SpinInterval(interval, which, up, base);
        CheckInterval(interval, base);
        if (base != 0) Check(up ? interval.SampleInterval >= old : interval.SampleInterval <= old);
        const std::string total =
            vemo::TotalRecordTimeText(held.MemorySize, interval.SampleInterval);
        Check(total.rfind("Total Record Time: ", 0) == 0 && total.size() < 100);
    }
    return 0;
}
