#pragma once
// The module's 28-byte configuration block and the sampling interval shown on the Configure
// page. The block travels whole in both directions; its nine 16-bit words are big-endian on
// the wire and kept in host order here. Fields the program does not interpret go back to the
// module exactly as they came.
#include <array>
#include <cstdint>
#include <string>

namespace vemo {

constexpr std::size_t ConfigBlockSize = 28;
using ConfigBytes = std::array<std::uint8_t, ConfigBlockSize>;

struct ModuleConfig {
    std::uint16_t Word0 = 0; // not interpreted
    std::uint16_t IntervalCount = 0;
    std::uint8_t AltUnit = 0; // 0 Feet, 1 Yards, 2 Meters
    std::uint8_t DisplayOption = 0;
    std::uint16_t BaseStep = 100; // ms; the settings value "Interval" replaces it at start
    std::uint16_t Word8 = 0;      // not interpreted
    std::uint16_t Word10 = 0;     // not interpreted
    std::uint8_t RevTrig = 0;
    std::uint8_t Triggered = 0;
    std::uint16_t AutoStartSec = 0;
    std::uint16_t AutoStopSec = 0;
    std::uint16_t AutoStartAltitude = 0;
    std::uint16_t AutoStopAltitude = 0;
    std::uint8_t AutoStart = 0;
    std::uint8_t AutoStop = 0;
    std::uint8_t AutoZero = 0;
    std::uint8_t ModuleVersion = 0;
    std::uint8_t MemorySize = 0; // code x 8192 bytes, code x 4096 samples
    std::uint8_t Byte27 = 0;     // not interpreted

    bool operator==(const ModuleConfig&) const = default;
};

// Wire image of a block (16-bit words most significant byte first) and back.
ConfigBytes ToWire(const ModuleConfig& c);
ModuleConfig FromWire(const ConfigBytes& b);

// Whether a block can be the module's configuration: its unit and auto start, stop and zero
// codes are among those the Configure page offers. Line noise passes all four about once in
// 30 million blocks. The memory size is not checked: a real module may report 0.
bool ConfigCodesKnown(const ModuleConfig& c);

// The one configuration of the run, owned by the module link.
extern ModuleConfig Config;

// Captions of the Configure page's display option, chosen by the module's hardware version.
std::string BlankCaption(std::uint8_t moduleVersion);
// Unit name for a unit code; empty for a code the program does not know.
std::string UnitName(int altUnit);

// The sampling interval as the page's four spinners hold it, and the interval in ms.
struct IntervalState {
    std::int16_t Hours = 0;
    std::int16_t Minutes = 0;
    std::int16_t Seconds = 0;
    std::int16_t Millis = 100;
    std::uint32_t SampleInterval = 0;
};

extern IntervalState Interval;

// Splits ms into the four values (ReadConfig).
void SplitInterval(IntervalState& s, std::uint32_t ms);

// Which way an interval between two whole steps goes: to the nearer one, or the way a spinner
// was pressed (so that every press moves the interval).
enum class StepRounding { Nearest, Up, Down };

// Recomputes SampleInterval from the four values: zero becomes one BaseStep, anything above
// one hour becomes exactly one hour. The module stores whole steps only, so the interval is
// then rounded to a whole number of BaseSteps (at least one, at most one hour's worth) and the
// four values show that interval. A BaseStep of 0 rounds nothing.
void RecomputeInterval(IntervalState& s, std::uint16_t baseStep,
                       StepRounding rounding = StepRounding::Nearest);

enum class IntervalSpinner { Hour, Minute, Second, Millis };
// One click on a spinner (up or down) followed by RecomputeInterval.
void SpinInterval(IntervalState& s, IntervalSpinner which, bool up, std::uint16_t baseStep);

// Texts of the four interval panels: "%d", "%02d", "%02d", "%03d".
struct IntervalTexts {
    std::string Hours, Minutes, Seconds, Millis;
};
IntervalTexts FormatInterval(const IntervalState& s);

// "Total Record Time: ..." for the memory the module holds at the given interval.
std::string TotalRecordTimeText(std::uint8_t memorySize, std::uint32_t sampleInterval);

// The design text the total record time panel shows before the first recomputation.
inline constexpr const char* TotalRecordTimeDesignText =
    "Total Record Time: 01 hours 08 min 16.00 sec";

} // namespace vemo
