#include "link/ModuleConfig.h"

#include "data/Units.h"

#include <algorithm>
#include <cstdio>

namespace vemo {

ModuleConfig Config;
IntervalState Interval;

namespace {

void PutWord(ConfigBytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

std::uint16_t GetWord(const ConfigBytes& b, std::size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}

} // namespace

ConfigBytes ToWire(const ModuleConfig& c) {
    ConfigBytes b{};
    PutWord(b, 0, c.Word0);
    PutWord(b, 2, c.IntervalCount);
    b[4] = c.AltUnit;
    b[5] = c.DisplayOption;
    PutWord(b, 6, c.BaseStep);
    PutWord(b, 8, c.Word8);
    PutWord(b, 10, c.Word10);
    b[12] = c.RevTrig;
    b[13] = c.Triggered;
    PutWord(b, 14, c.AutoStartSec);
    PutWord(b, 16, c.AutoStopSec);
    PutWord(b, 18, c.AutoStartAltitude);
    PutWord(b, 20, c.AutoStopAltitude);
    b[22] = c.AutoStart;
    b[23] = c.AutoStop;
    b[24] = c.AutoZero;
    b[25] = c.ModuleVersion;
    b[26] = c.MemorySize;
    b[27] = c.Byte27;
    return b;
}

ModuleConfig FromWire(const ConfigBytes& b) {
    ModuleConfig c;
    c.Word0 = GetWord(b, 0);
    c.IntervalCount = GetWord(b, 2);
    c.AltUnit = b[4];
    c.DisplayOption = b[5];
    c.BaseStep = GetWord(b, 6);
    c.Word8 = GetWord(b, 8);
    c.Word10 = GetWord(b, 10);
    c.RevTrig = b[12];
    c.Triggered = b[13];
    c.AutoStartSec = GetWord(b, 14);
    c.AutoStopSec = GetWord(b, 16);
    c.AutoStartAltitude = GetWord(b, 18);
    c.AutoStopAltitude = GetWord(b, 20);
    c.AutoStart = b[22];
    c.AutoStop = b[23];
    c.AutoZero = b[24];
    c.ModuleVersion = b[25];
    c.MemorySize = b[26];
    c.Byte27 = b[27];
    return c;
}

bool ConfigCodesKnown(const ModuleConfig& c) {
    return c.AltUnit < UnitNames.size() && c.AutoStart <= 3 && c.AutoStop <= 2 && c.AutoZero <= 3;
}

std::string BlankCaption(std::uint8_t moduleVersion) {
    return moduleVersion >= 3 ? "Enable LCD backlight" : "Blank display after 30 seconds";
}

std::string UnitName(int altUnit) {
    if (altUnit < 0 || altUnit >= static_cast<int>(UnitNames.size())) return {};
    return UnitNames[static_cast<std::size_t>(altUnit)];
}

void SplitInterval(IntervalState& s, std::uint32_t ms) {
    s.SampleInterval = ms;
    s.Hours = static_cast<std::int16_t>(ms / 3600000u);
    s.Minutes = static_cast<std::int16_t>((ms % 3600000u) / 60000u);
    s.Seconds = static_cast<std::int16_t>((ms % 60000u) / 1000u);
    s.Millis = static_cast<std::int16_t>(ms % 1000u);
}

namespace {

constexpr std::int64_t OneHourMs = 3600000;

// ms (1..one hour) as a whole number of steps, the way asked, kept within one step and the
// largest whole number of steps in an hour.
std::int64_t RoundToSteps(std::int64_t ms, std::int64_t step, StepRounding rounding) {
    std::int64_t steps = ms / step;
    const std::int64_t rest = ms % step;
    if (rest != 0 &&
        (rounding == StepRounding::Up || (rounding == StepRounding::Nearest && 2 * rest >= step)))
        ++steps;
    steps = std::clamp<std::int64_t>(steps, 1, OneHourMs / step);
    return steps * step;
}

} // namespace

void RecomputeInterval(IntervalState& s, std::uint16_t baseStep, StepRounding rounding) {
    // Summed in 64 bits: the values are 16-bit and a stored 32767 hours must not wrap.
    const std::int64_t ms = std::int64_t{s.Hours} * 3600000 + std::int64_t{s.Minutes} * 60000 +
                            std::int64_t{s.Seconds} * 1000 + s.Millis;
    if (ms <= 0) {
        // Negative cannot come from the spinners; treat it like zero rather than wrap. One
        // step below a second shows as milliseconds; a longer one (up to 65.535 s) is split
        // like any interval, as milliseconds alone would overflow their panel's value.
        SplitInterval(s, baseStep);
    } else if (ms > OneHourMs) {
        s.SampleInterval = static_cast<std::uint32_t>(OneHourMs);
        s.Hours = 1;
        s.Minutes = s.Seconds = s.Millis = 0;
    } else {
        s.SampleInterval = static_cast<std::uint32_t>(ms);
    }
    if (baseStep == 0) return;
    // "Write Config" stores SampleInterval div BaseStep steps: show exactly that interval.
    const std::int64_t stored = RoundToSteps(s.SampleInterval, baseStep, rounding);
    if (stored != s.SampleInterval) SplitInterval(s, static_cast<std::uint32_t>(stored));
}

void SpinInterval(IntervalState& s, IntervalSpinner which, bool up, std::uint16_t baseStep) {
    switch (which) {
    case IntervalSpinner::Hour:
        if (up && s.Hours < 1) ++s.Hours;
        if (!up && s.Hours > 0) --s.Hours;
        break;
    case IntervalSpinner::Minute:
        if (up && s.Minutes < 59) ++s.Minutes;
        if (!up && s.Minutes > 0) --s.Minutes;
        break;
    case IntervalSpinner::Second:
        if (up && s.Seconds < 59) ++s.Seconds;
        if (!up && s.Seconds > 0) --s.Seconds;
        break;
    case IntervalSpinner::Millis:
        if (up && s.Millis + baseStep < 1000)
            s.Millis = static_cast<std::int16_t>(s.Millis + baseStep);
        if (!up && s.Millis >= baseStep) s.Millis = static_cast<std::int16_t>(s.Millis - baseStep);
        break;
    }
    RecomputeInterval(s, baseStep, up ? StepRounding::Up : StepRounding::Down);
}

IntervalTexts FormatInterval(const IntervalState& s) {
    char h[16], m[16], sec[16], ms[16];
    std::snprintf(h, sizeof h, "%d", s.Hours);
    std::snprintf(m, sizeof m, "%02d", s.Minutes);
    std::snprintf(sec, sizeof sec, "%02d", s.Seconds);
    std::snprintf(ms, sizeof ms, "%03d", s.Millis);
    return {h, m, sec, ms};
}

std::string TotalRecordTimeText(std::uint8_t memorySize, std::uint32_t sampleInterval) {
    const std::uint64_t t = std::uint64_t{memorySize} * 4096u * sampleInterval;
    const std::uint64_t days = t / 86400000u;
    const std::uint64_t rest = t % 86400000u;
    const auto hours = static_cast<unsigned long>(rest / 3600000u);
    const auto minutes = static_cast<unsigned long>((rest % 3600000u) / 60000u);
    const auto seconds = static_cast<unsigned long>((rest % 60000u) / 1000u);
    const auto millis = static_cast<unsigned long>(rest % 1000u);
    char text[128];
    if (days > 0)
        std::snprintf(text, sizeof text,
                      "Total Record Time: %lu days, %02lu h %02lu m %02lu.%03lu sec",
                      static_cast<unsigned long>(days), hours, minutes, seconds, millis);
    else
        std::snprintf(text, sizeof text, "Total Record Time: %02lu hours %02lu min %02lu.%03lu sec",
                      hours, minutes, seconds, millis);
    return text;
}

} // namespace vemo
