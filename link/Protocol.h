#pragma once
// The module's command set as the buttons of the "Connect / Download" and "Configure" pages
// use it: connection state, "Download Info", "Erase Data", "Reset Defaults", "Reset Module"
// and "Calibrate". No widgets here: what the commands show goes through ModuleUi, questions
// and message boxes through UserPrompt, messages through the MessageLog. Where a command reads
// the configuration block again, it does so through the context's ConfigSession.
#include "link/ModuleContext.h"

#include <string>
#include <string_view>

namespace vemo {

// Text replies, with the longest text each field keeps.
inline constexpr int DeviceNameMax = 256;
inline constexpr int ModelMax = 256;
inline constexpr int VersionMax = 10;
inline constexpr int DateMax = 20;
inline constexpr int SetLineMax = 256;
inline constexpr int MaxSets = 256;

// Deadlines and pauses, milliseconds.
inline constexpr std::uint32_t IdentifyLineDeadline = 1000;
inline constexpr std::uint32_t SetLineDeadline = 300;
inline constexpr std::uint32_t ResetDefaultsPause = 200;
inline constexpr std::uint32_t ResetModulePause = 4000;
inline constexpr std::uint32_t CalibrateDollarPause = 1500;
inline constexpr std::uint32_t CalibrateBytePause = 50;
inline constexpr std::uint32_t CalibrateSettlePause = 200;

// The port path to open for a name of the port list: on Windows, names longer than four
// characters get the device-namespace prefix "\\.\"; elsewhere the name is the path.
std::string PortOpenPath(const std::string& portName);
// The Windows rule itself, on every platform (for tests and tools).
std::string WithDevicePrefix(const std::string& portName);

// Not-connected guard: false (after clearing the log and writing "Not Connected", and
// bringing the "Connect / Download" page to the front when asked) when not connected.
bool CheckConnected(ModuleContext& ctx, bool showConnectPage);

// The line from a device that never stops sending (KeepsSending on the link).
inline constexpr const char* KeepsSendingText =
    "The device on this port keeps sending: it is not a Vemo module, or the module is still "
    "sending an interrupted download.";

// Whether the link can serve no more commands, after saying why. A lost device: the port is
// closed, "Connect" and "Not Connected" are shown and "The module was disconnected." is
// written. A device that keeps sending: the same with KeepsSendingText in the log and in a
// box captioned "Vemo". An interrupted link (the program is closing): nothing is shown.
// False (and nothing done) while the link is usable.
bool ModuleGone(ModuleContext& ctx);

// ConnectBtn: disconnects when connected (writing "Disconnected."), else opens the port of the
// port list's entry portIndex at the speed of ctx.state.SpeedIndex (BaudOf), empties the set
// list and reads the configuration.
// Returns whether the link is connected afterwards.
bool ConnectClick(ModuleContext& ctx, int portIndex);
// Connects to a path directly (vemo-cli); the same as ConnectClick after the path is known.
bool ConnectPath(ModuleContext& ctx, const std::string& path);
void Disconnect(ModuleContext& ctx);
// SpeedBox: takes the new speed index; a connected link is closed ("Disconnected.").
void SpeedChange(ModuleContext& ctx, int speedIndex);

// "Download Info": identity and set count into the log, SetList filled. Returns whether the
// identity arrived (or was simulated).
bool DownloadInfo(ModuleContext& ctx);
// "Erase Data" (asks first).
void EraseData(ModuleContext& ctx);
// "Reset Defaults" (asks first).
void ResetDefaults(ModuleContext& ctx);
// "Reset Module".
void ResetModule(ModuleContext& ctx);
// "Calibrate" with the text of AltCalEdit. Sends nothing, and says why in a message box, when
// the text holds no number or one the module cannot take.
void Calibrate(ModuleContext& ctx, std::string_view altitudeText);

enum class CalibrationText { Ok, NoNumber, OutOfRange };
// Reads a whole number: an optional sign and digits, blanks around them, nothing else
// (NoNumber otherwise). The module takes a signed 16-bit altitude: anything outside
// -32768..32767 is OutOfRange, however long the number.
CalibrationText ParseCalibrationValue(std::string_view text, std::int16_t& value);

} // namespace vemo
