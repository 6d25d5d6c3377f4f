#include "link/Protocol.h"

#include "link/ConfigCommands.h"
#include "link/ModuleBusy.h"
#include "link/OpenFailure.h"
#include "link/PortList.h"

#include <QtGlobal>

#include <algorithm>

namespace vemo {

namespace {

constexpr std::uint8_t CmdIdentify = 'v';
constexpr std::uint8_t CmdListSets = 's';
constexpr std::uint8_t CmdErase = 'x';
constexpr std::uint8_t CmdResetDefaults = '*';
constexpr std::uint8_t CmdResetModule = 'R';
constexpr std::uint8_t CmdCalibrate = '$';
constexpr std::uint8_t CmdCalibrateValue = 't';

const char* const NotConnectedText = "Not Connected";
const char* const NoReplyText = "No Reply from Target";
const char* const DisconnectedText = "The module was disconnected.";
const char* const UserDisconnectedText = "Disconnected.";
const char* const CalibrateNoNumberText = "Enter the actual current altitude as a whole number.";
const char* const CalibrateRangeText = "The altitude must lie between -32768 and 32767.";

void ReadConfigAgain(ModuleContext& ctx) {
    if (ctx.config) ctx.config->ReadNow(ctx);
}

// Reads one field of a text reply. A field longer than max keeps its first max characters;
// the rest of its line is skipped so that the next field starts on the next line.
int ReadField(SerialLink& link, std::string& field, int max, std::uint32_t deadline) {
    int n = link.ReadLine(field, max, deadline);
    if (n == max) {
        std::string rest;
        while (link.ReadLine(rest, SetLineMax, deadline) == SetLineMax) {
        }
    }
    return n;
}

std::string Format(const char* pattern, const std::string& value) {
    return std::string(pattern) + value;
}

} // namespace

std::string WithDevicePrefix(const std::string& portName) {
    if (portName.size() == 4) return portName;
    return "\\\\.\\" + portName;
}

std::string PortOpenPath(const std::string& portName) {
#ifdef Q_OS_WIN
    return WithDevicePrefix(portName);
#else
    return portName;
#endif
}

bool CheckConnected(ModuleContext& ctx, bool showConnectPage) {
    if (ctx.state.Connected) return true;
    ctx.log.Clear();
    ctx.log.Append(NotConnectedText);
    if (showConnectPage) ctx.ui.ShowConnectPage();
    return false;
}

void Disconnect(ModuleContext& ctx) {
    ctx.link.ClosePort();
    ctx.state.Connected = false;
    ctx.ui.ShowConnected(false);
}

bool ModuleGone(ModuleContext& ctx) {
    if (ctx.link.Interrupted()) return true;
    if (ctx.link.Lost()) {
        Disconnect(ctx);
        ctx.log.Append(DisconnectedText);
        return true;
    }
    if (ctx.link.KeepsSending()) {
        Disconnect(ctx);
        ctx.log.Append(KeepsSendingText);
        ctx.prompt.Error(KeepsSendingText, "Vemo");
        return true;
    }
    return false;
}

bool ConnectPath(ModuleContext& ctx, const std::string& path) {
    ModuleBusyScope busy(BusyKind::Blocking);
    if (!ctx.link.OpenPort(path, BaudOf(ctx.state.SpeedIndex))) {
        ctx.prompt.Error("Unable to open Serial Port", "Error");
        ctx.log.Append(
            ExplainOpenFailure(path, ctx.link.LastOpenFailure(), ctx.link.LastOpenError()));
        return false;
    }
    ctx.state.Connected = true;
    ctx.ui.ShowConnected(true);
    // The sets listed belong to whatever module was there before.
    ctx.state.ModuleSetCount = 0;
    ctx.ui.SetSetList({}, -1);
    // A module that does not answer leaves the link connected; the read reports it.
    ReadConfigAgain(ctx);
    return true;
}

bool ConnectClick(ModuleContext& ctx, int portIndex) {
    if (ctx.state.Connected) {
        Disconnect(ctx);
        ctx.log.Append(UserDisconnectedText);
        return false;
    }
    const std::string name = PortTable.Name(portIndex);
    return ConnectPath(ctx, name.empty() ? std::string() : PortOpenPath(name));
}

void SpeedChange(ModuleContext& ctx, int speedIndex) {
    ctx.state.SpeedIndex = speedIndex;
    if (!ctx.state.Connected) return;
    Disconnect(ctx);
    ctx.log.Append(UserDisconnectedText);
}

bool DownloadInfo(ModuleContext& ctx) {
    ctx.log.Clear();
    if (!ctx.state.SimulateTarget && !CheckConnected(ctx, false)) return false;
    ModuleBusyScope busy(BusyKind::Blocking);
    std::string name, model, version, date;
    if (ctx.state.SimulateTarget) {
        name = "VEMO";
        model = "MOD1";
        version = "0.03";
        date = "08-27-03";
        if (ctx.config) ctx.config->UseSimulatedBlock();
        ctx.state.ModuleSetCount = 0;
    } else {
        SerialLink& link = ctx.link;
        link.FlushInput();
        link.WriteByte(CmdIdentify);
        if (ReadField(link, name, DeviceNameMax, IdentifyLineDeadline) == 0 ||
            ReadField(link, model, ModelMax, IdentifyLineDeadline) == 0 ||
            ReadField(link, version, VersionMax, IdentifyLineDeadline) == 0 ||
            ReadField(link, date, DateMax, IdentifyLineDeadline) == 0) {
            ctx.log.Clear();
            if (!ModuleGone(ctx)) ctx.log.Append(NoReplyText);
            return false;
        }
        link.FlushInput();
        link.WriteByte(CmdListSets);
        ctx.state.ModuleSetCount = 0;
        std::string line;
        // Only the number of lines matters; each holds two numbers, "%hu, %hu".
        while (ctx.state.ModuleSetCount < MaxSets &&
               ReadField(link, line, SetLineMax, SetLineDeadline) > 0)
            ++ctx.state.ModuleSetCount;
        if (ModuleGone(ctx)) return false;
    }

    std::vector<std::string> items;
    for (int i = 1; i <= ctx.state.ModuleSetCount; ++i)
        items.push_back(std::to_string(i));
    items.push_back("All");

    ctx.log.Clear();
    ctx.log.Append(Format("     Device Name: ", name));
    ctx.log.Append(Format("           Model: ", model));
    ctx.log.Append("");
    ctx.log.Append(Format("Software Version: ", version));
    ctx.log.Append(Format("   Software Date: ", date));
    ctx.log.Append("");
    ctx.log.Append("");
    ctx.log.Append("Memory contains " + std::to_string(ctx.state.ModuleSetCount) + " data sets.");

    ctx.ui.SetSetList(items, 0);
    ctx.ui.ShowFirmwareVersion(version);
    if (ctx.config) ctx.config->RecomputeRecordTime();
    return true;
}

void EraseData(ModuleContext& ctx) {
    if (!CheckConnected(ctx, false)) return;
    if (!ctx.prompt.AskYesNoDefaultNo(
            "This will erase all altitude data in the device.  Are you sure?", "Erase Data"))
        return;
    // The module may have gone while the question was open.
    if (!CheckConnected(ctx, false)) return;
    ModuleBusyScope busy(BusyKind::Blocking);
    ctx.link.FlushInput();
    ctx.link.WriteByte(CmdErase);
    if (ModuleGone(ctx)) return;
    ctx.ui.SetSetList({}, -1);
    ctx.log.Append("Data erased.");
}

void ResetDefaults(ModuleContext& ctx) {
    if (!CheckConnected(ctx, true)) return;
    if (!ctx.prompt.AskYesNo(
            "This will reset all configuration values in the device.  Are you sure?",
            "Reset Config Defaults"))
        return;
    if (!CheckConnected(ctx, true)) return;
    ModuleBusyScope busy(BusyKind::Blocking);
    ctx.link.FlushInput();
    ctx.link.WriteByte(CmdResetDefaults);
    ctx.link.Pause(ResetDefaultsPause);
    if (ModuleGone(ctx)) return;
    ReadConfigAgain(ctx);
}

void ResetModule(ModuleContext& ctx) {
    if (!CheckConnected(ctx, true)) return;
    ModuleBusyScope busy(BusyKind::Blocking);
    ctx.link.FlushInput();
    ctx.link.WriteByte(CmdResetModule);
    ctx.link.Pause(ResetModulePause);
    if (ModuleGone(ctx)) return;
    ctx.log.Append("Module reset.");
    ReadConfigAgain(ctx);
}

CalibrationText ParseCalibrationValue(std::string_view text, std::int16_t& value) {
    text = text.substr(0, 255);
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // "1,234" or "12.5" would otherwise calibrate the module to 1 or 12.
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return CalibrationText::NoNumber;
    // Read with a ceiling just past the 16-bit range, so a number of any length stays
    // defined.
    std::int32_t magnitude = 0;
    for (const char c : text)
        magnitude = std::min<std::int32_t>(magnitude * 10 + (c - '0'), 100000);
    const std::int32_t v = negative ? -magnitude : magnitude;
    if (v < -32768 || v > 32767) return CalibrationText::OutOfRange;
    value = static_cast<std::int16_t>(v);
    return CalibrationText::Ok;
}

void Calibrate(ModuleContext& ctx, std::string_view altitudeText) {
    if (!CheckConnected(ctx, true)) return;
    std::int16_t value = 0;
    switch (ParseCalibrationValue(altitudeText, value)) {
    case CalibrationText::NoNumber:
        ctx.prompt.Error(CalibrateNoNumberText, "Vemo");
        return;
    case CalibrationText::OutOfRange:
        ctx.prompt.Error(CalibrateRangeText, "Vemo");
        return;
    case CalibrationText::Ok:
        break;
    }
    ModuleBusyScope busy(BusyKind::Blocking);
    const auto bits = static_cast<std::uint16_t>(value);
    SerialLink& link = ctx.link;
    link.FlushInput();
    link.WriteByte(CmdCalibrate);
    link.Pause(CalibrateDollarPause);
    link.WriteByte(CmdCalibrateValue);
    link.WriteByte(static_cast<std::uint8_t>(bits >> 8));
    link.Pause(CalibrateBytePause);
    link.WriteByte(static_cast<std::uint8_t>(bits & 0xFF));
    link.Pause(CalibrateBytePause);
    if (ModuleGone(ctx)) return;
    ctx.log.Append("Calibration sent: " + std::to_string(value) + ".");
    link.Pause(CalibrateSettlePause);
    ReadConfigAgain(ctx);
}

} // namespace vemo
