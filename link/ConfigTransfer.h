#pragma once
// Reading and writing the configuration block ("r" and "c"), and moving it between the block
// and the values of the Configure page.
#include "link/ModuleConfig.h"
#include "link/ModulePort.h"

#include <functional>
#include <string>
#include <string_view>

namespace vemo {

inline constexpr int ConfigReadDeadlineMs = 5000;
// The silence that ends the rest of a reply that was not understood.
inline constexpr int ReplyQuietMs = 100;

// The Configure page's values, as its controls hold them. A group index of -1 means no item
// is selected.
struct ConfigForm {
    int Units = 0;
    bool Blank = false;
    bool RevTrig = false;
    bool Trig = false;
    int AutoStart = 0;
    int AutoStop = 0;
    int AutoZero = 0;
    std::string AutoStartSec = "10";
    std::string AutoStartAltitude = "20";
    std::string AutoStopSec = "60";
    std::string AutoStopAltitude = "15";
};

// Puts the block into the page values (unit, display option, trigger options, auto modes and
// their edits). A code the page has no item for selects nothing.
void ShowConfig(const ModuleConfig& c, ConfigForm& form);

// Takes the page values into the block. The seconds edits are clamped to 0..65535 and then
// show the clamped value; the altitudes keep their low 16 bits. A group with no selection
// leaves its field as it was. BaseStep 0 leaves IntervalCount as it was.
void TakeConfig(ConfigForm& form, const IntervalState& interval, ModuleConfig& c);

// The leading decimal number of a text: blanks, an optional sign, digits; 0 without digits.
// Saturates instead of overflowing.
long long LeadingInteger(std::string_view text);

struct ConfigHooks {
    std::function<void(const std::string&)> Log;
    std::function<void(const std::string& text, const std::string& caption)> Error;
    std::function<void()> Shown; // the block and the interval were updated: show them
};

// "r": reads the block into c and the interval into interval. A reply that fails, comes short
// or is no configuration block (ConfigCodesKnown) leaves both untouched and reports it; a port
// that became unusable (its device went away, or it keeps sending) reports nothing here (its
// caller says why).
bool ReadConfig(ModulePort& port, ModuleConfig& c, IntervalState& interval,
                const ConfigHooks& hooks);

// "c": sends the block. The module does not answer.
void WriteConfig(ModulePort& port, const ModuleConfig& c);

} // namespace vemo
