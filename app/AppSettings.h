#pragma once
// The values kept from one run to the next. During the run each lives in the control or
// state variable it feeds; this record carries them between those and the store, read once
// at the first show of the main window and written once when it closes.
#include <cstdint>
#include <string>
#include <string_view>

namespace vemo {

class SettingsStore;

// The members are in the order the values are read and written; their initial values are
// what the windows hold at start.
struct AppSettings {
    int ComPort = -1;   // port list selection, -1 none
    int SpeedIndex = 0; // "BaudRate", into BaudTable
    int Left = 339;     // main window position, screen pixels
    int Top = 152;
    bool SimulateTarget = false; // hidden options
    bool ShowPoints = false;
    bool ShowInfo = true; // plot properties dialog
    bool ShowBackground = false;
    bool ShowAvgROC = false; // hidden
    bool BlankPart = false;  // Configure page
    bool RevTrig = false;
    bool Triggered = false;
    bool Sizeable = false; // "Sizeable Window"
    double PrtWidth = 0.0; // inches
    double PrtHeight = 0.0;
    bool PrtColor = false;
    std::uint32_t BGColor = 0; // plot colours, 0x00BBGGRR
    std::uint32_t GridColor = 0;
    std::uint32_t ScaleColor = 0;
    std::uint32_t LabelColor = 0;
    std::uint32_t InfoColor = 0;
    int AutoStart = 0; // radio group selections, -1 none
    std::string AutoStartSec = "10";
    std::string AutoStartAltitude = "20";
    int AutoStop = 0;
    std::string AutoStopSec = "60";
    std::string AutoStopAltitude = "15";
    int AutoZero = 0;
    int ExportType = 1;         // export dialog filter index
    std::uint16_t Interval = 0; // BaseStep, ms
    // Added after the first 30 values: read when the store has them.
    bool ShowVerticalSpeed = false; // plot properties dialog
    // The chosen port's name: chosen again by name wherever it stands in the list, while
    // it is there; ComPort serves when it is not.
    std::string ComPortName;

    bool operator==(const AppSettings&) const = default;
};

inline constexpr int SettingsValueCount = 32;
// The values every store written by the program holds. Those after them were added later; a
// store written before lacks them, and they keep their start-up state without a fallback.
inline constexpr int SettingsBaseValueCount = 30;

struct SettingsLoad {
    int ValuesRead = 0; // in table order, before the first missing or unreadable one
    bool ComPortRead = false;
    bool FellBack = false; // the reading ended early and the fallbacks were applied
};

// Reads the values in order over `s`. The first value that is missing or of another type
// ends the reading: the values after it keep what `s` held, and then, when it is one of the
// first 30, the fallbacks replace port (only when "ComPort" itself did not read), speed,
// print size, colours and interval.
SettingsLoad LoadSettings(SettingsStore& store, AppSettings& s);

// The fallbacks, as LoadSettings applies them.
void ApplyFallbacks(AppSettings& s, bool comPortRead);

// Writes the values in order; the first that cannot be written ends the writing. Returns the
// count written.
int StoreSettings(SettingsStore& store, const AppSettings& s);

// A number text as stored: blanks, an optional sign and digits, up to the first other
// character; 0 when there are no digits. Beyond the 32-bit range it saturates.
std::int32_t NumberTextValue(std::string_view text);

} // namespace vemo
