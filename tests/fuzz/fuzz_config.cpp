// libFuzzer target for the configuration block: decoding the reply to "r", refusing a block
// that is no configuration, the Configure page's values and back, and the interval spinners.
// Bytes 0..27 are the reply; each further byte is a spinner press (bits 0-1 which, bit 2 up).
#include "FuzzSupport.h"
#include "link/ConfigTransfer.h"
#include "link/ModuleConfig.h"

#include <algorithm>
#include <string>

using fuzz::Check;

namespace {

constexpr std::uint32_t OneHour = 3600000;

// The four panels add up to the interval, each within its range; with a base step, the
// interval is a whole number of steps from one step to one hour.
void CheckInterval(const vemo::IntervalState& s, std::uint16_t base) {
    Check(s.Hours >= 0 && s.Hours <= 1 && s.Minutes >= 0 && s.Minutes < 60 && s.Seconds >= 0 &&
          s.Seconds < 60 && s.Millis >= 0);
    Check(std::int64_t{s.Hours} * 3600000 + s.Minutes * 60000 + s.Seconds * 1000 + s.Millis ==
              s.SampleInterval &&
          s.SampleInterval <= OneHour);
    if (base == 0) return;
    Check(s.Millis < 1000 && s.SampleInterval % base == 0 && s.SampleInterval >= base);
    const vemo::IntervalTexts t = vemo::FormatInterval(s);
    Check(t.Hours.size() == 1 && t.Minutes.size() == 2 && t.Seconds.size() == 2 &&
          t.Millis.size() == 3);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < vemo::ConfigBlockSize) return 0;
    vemo::ConfigBytes wire;
    std::copy_n(data, wire.size(), wire.begin());
    const vemo::ModuleConfig decoded = vemo::FromWire(wire);
    Check(vemo::ToWire(decoded) == wire);
    const bool known = wire[4] <= 2 && wire[22] <= 3 && wire[23] <= 2 && wire[24] <= 3;
    Check(vemo::ConfigCodesKnown(decoded) == known);

    // "r": a block that is no configuration leaves what the program held.
    vemo::ModuleConfig held;
    held.BaseStep = 100;
    const vemo::ModuleConfig before = held;
    vemo::IntervalState interval;
    vemo::SplitInterval(interval, 1000);
    std::string error;
    vemo::ConfigHooks hooks;
    hooks.Error = [&error](const std::string& text, const std::string&) { error = text; };
    fuzz::BytePort port(data, wire.size());
    Check(vemo::ReadConfig(port, held, interval, hooks) == known);
    if (!known) {
        Check(held == before && interval.SampleInterval == 1000);
        Check(error == "Configuration data not understood.");
        return 0;
    }
    Check(held == decoded);
    const std::uint16_t base = held.BaseStep;
    CheckInterval(interval, base);

    // The page and back change only the flags' spelling and the interval's whole steps, which
    // the page keeps within one step and one hour.
    vemo::ConfigForm form;
    vemo::ShowConfig(held, form);
    vemo::ModuleConfig taken = held;
    vemo::TakeConfig(form, interval, taken);
    vemo::ModuleConfig expected = decoded;
    expected.DisplayOption = decoded.DisplayOption ? 1 : 0;
    expected.RevTrig = decoded.RevTrig ? 1 : 0;
    expected.Triggered = decoded.Triggered ? 1 : 0;
    if (base != 0)
        expected.IntervalCount = static_cast<std::uint16_t>(
            std::clamp<std::uint32_t>(decoded.IntervalCount, 1, OneHour / base));
    Check(taken == expected);

    // Every press lands on an interval the module can store, moving the way it points (or
    // staying at a limit).
    for (std::size_t i = wire.size(); i < size && i < wire.size() + 64; ++i) {
        const bool up = (data[i] & 4) != 0;
        const std::uint32_t old = interval.SampleInterval;
        vemo::SpinInterval(interval, static_cast<vemo::IntervalSpinner>(data[i] & 3), up, base);
        CheckInterval(interval, base);
        if (base != 0) Check(up ? interval.SampleInterval >= old : interval.SampleInterval <= old);
        const std::string total =
            vemo::TotalRecordTimeText(held.MemorySize, interval.SampleInterval);
        Check(total.rfind("Total Record Time: ", 0) == 0 && total.size() < 100);
    }
    return 0;
}
