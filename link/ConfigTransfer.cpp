#include "link/ConfigTransfer.h"

#include <cctype>
#include <limits>

namespace vemo {

namespace {

bool InRange(int v, int items) {
    return v >= 0 && v < items;
}

std::uint8_t Flag(bool on) {
    return on ? 1 : 0;
}

template <typename T> void TakeIndex(int index, int items, T& field) {
    if (InRange(index, items)) field = static_cast<T>(index);
}

std::uint16_t ClampSeconds(std::string& text) {
    long long v = LeadingInteger(text);
    if (v > 65535) {
        v = 65535;
        text = "65535";
    } else if (v < 0) {
        v = 0;
        text = "0";
    }
    return static_cast<std::uint16_t>(v);
}

std::uint16_t Low16(long long v) {
    return static_cast<std::uint16_t>(static_cast<unsigned long long>(v) & 0xFFFF);
}

} // namespace

long long LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr long long limit = std::numeric_limits<long long>::max() / 10 - 10;
    long long v = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        if (v < limit) v = v * 10 + (text[i] - '0');
    return negative ? -v : v;
}

void ShowConfig(const ModuleConfig& c, ConfigForm& form) {
    form.Units = InRange(c.AltUnit, 3) ? c.AltUnit : -1;
    form.Blank = c.DisplayOption != 0;
    form.Trig = c.Triggered != 0;
    form.RevTrig = c.RevTrig != 0;
    form.AutoStart = InRange(c.AutoStart, 4) ? c.AutoStart : -1;
    form.AutoStop = InRange(c.AutoStop, 3) ? c.AutoStop : -1;
    form.AutoZero = InRange(c.AutoZero, 4) ? c.AutoZero : -1;
    form.AutoStartSec = std::to_string(c.AutoStartSec);
    form.AutoStartAltitude = std::to_string(c.AutoStartAltitude);
    form.AutoStopSec = std::to_string(c.AutoStopSec);
    form.AutoStopAltitude = std::to_string(c.AutoStopAltitude);
}

void TakeConfig(ConfigForm& form, const IntervalState& interval, ModuleConfig& c) {
    c.DisplayOption = Flag(form.Blank);
    c.RevTrig = Flag(form.RevTrig);
    if (c.BaseStep != 0)
        c.IntervalCount = static_cast<std::uint16_t>(interval.SampleInterval / c.BaseStep);
    TakeIndex(form.Units, 3, c.AltUnit);
    c.Triggered = Flag(form.Trig);
    TakeIndex(form.AutoStart, 4, c.AutoStart);
    TakeIndex(form.AutoStop, 3, c.AutoStop);
    TakeIndex(form.AutoZero, 4, c.AutoZero);
    c.AutoStartSec = ClampSeconds(form.AutoStartSec);
    c.AutoStopSec = ClampSeconds(form.AutoStopSec);
    c.AutoStartAltitude = Low16(LeadingInteger(form.AutoStartAltitude));
    c.AutoStopAltitude = Low16(LeadingInteger(form.AutoStopAltitude));
}

bool ReadConfig(ModulePort& port, ModuleConfig& c, IntervalState& interval,
                const ConfigHooks& hooks) {
    auto log = [&](const std::string& line) {
        if (hooks.Log) hooks.Log(line);
    };
    log("Reading Configuration...");
    port.FlushInput();
    port.WriteByte('r');
    // Received apart from the block: a reply cut short must not leave a half-new block that
    // a later write would send.
    ConfigBytes reply{};
    int arrived = 0;
    const bool whole = port.ReadExact(reply, ConfigReadDeadlineMs, arrived);
    if (!whole && port.Unusable()) return false;
    if (!whole && arrived == 0) {
        log("No response from device.");
        if (hooks.Error) hooks.Error("Unable to read configuration!", "Error");
        return false;
    }
    // A reply cut short, noise, or the late reply to an earlier command must not become the
    // configuration that "Write Config" would then store in the module.
    const ModuleConfig got = FromWire(reply);
    if (!whole || !ConfigCodesKnown(got)) {
        // A device that talks without end can pause just long enough for the flush (a busy
        // machine feeding a pseudo-terminal); its chatter then looks like a reply. Whether the
        // line falls silent tells it from a module's late or noisy answer.
        if (!port.WaitQuiet(ReplyQuietMs) && port.Unusable()) return false;
        const char* const text = "Configuration data not understood.";
        log(text);
        if (hooks.Error) hooks.Error(text, "Vemo");
        return false;
    }
    c = got;
    SplitInterval(interval, std::uint32_t{c.IntervalCount} * c.BaseStep);
    RecomputeInterval(interval, c.BaseStep);
    if (hooks.Shown) hooks.Shown();
    log("Configuration loaded.");
    return true;
}

void WriteConfig(ModulePort& port, const ModuleConfig& c) {
    const ConfigBytes wire = ToWire(c);
    port.FlushInput();
    port.WriteByte('c');
    port.Pause(40);
    port.WriteBytes(wire);
}

} // namespace vemo
