#include "link/FirmwareUpdate.h"

#include "link/ModuleBusy.h"
#include "link/OpenFailure.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vemo {

namespace {

constexpr std::uint8_t ProgramModeCommand = 'P';
constexpr std::uint8_t SyncByte = 'U';

// Records the boot loader knows besides data: a special byte (03 the boot status byte,
// 00 the configuration byte), a page erase and the start of the firmware.
const char* const StatusOnRecord = ":020000020301F8";
const char* const StatusOffRecord = ":020000020300F9";
const char* const ResetRecord = ":00000008F8";
constexpr std::uint8_t ConfigurationValue = 0x63;

std::string ConfigurationRecord() {
    std::string record = ":0200000200";
    const char digits[] = "0123456789ABCDEF";
    record += digits[ConfigurationValue >> 4];
    record += digits[ConfigurationValue & 0xF];
    AppendHexChecksum(record);
    return record;
}

std::string EraseRecord(int address) {
    char text[16];
    std::snprintf(text, sizeof text, ":0300000400%04X", static_cast<unsigned>(address));
    std::string record = text;
    AppendHexChecksum(record);
    return record;
}

bool OpenIspPort(ModuleContext& ctx, const std::string& path, std::uint32_t baud) {
    if (ctx.link.OpenPort(path, baud)) return true;
    ctx.log.Append("Unable to open Serial Port");
    ctx.log.Append(ExplainOpenFailure(path, ctx.link.LastOpenFailure(), ctx.link.LastOpenError()));
    return false;
}

bool updateRunning = false;

class UpdateRunning {
public:
    explicit UpdateRunning(SerialLink& link) : link_(link) {
        updateRunning = true;
        link_.SetInterruptible(false);
    }
    ~UpdateRunning() {
        link_.SetInterruptible(true);
        updateRunning = false;
    }
    UpdateRunning(const UpdateRunning&) = delete;
    UpdateRunning& operator=(const UpdateRunning&) = delete;

private:
    SerialLink& link_;
};

// Ends a run that failed after the port was opened.
int Fail(ModuleContext& ctx, const char* line, int result) {
    ctx.link.ClosePort();
    if (line) ctx.log.Append(line);
    return result;
}

} // namespace

bool SyncIsp(SerialLink& link) {
    for (int attempt = 0; attempt < IspAttempts; ++attempt) {
        // Whatever the line carried before (the module starting up, the end of an earlier
        // session) must not be taken for the answer.
        link.FlushInput();
        link.WriteByte(SyncByte);
        std::array<std::uint8_t, 1> reply{};
        if (link.ReadExact(reply, IspReplyDeadline) == 1 && reply[0] == SyncByte) return true;
    }
    return false;
}

bool ReadIspReply(SerialLink& link, MessageLog& log) {
    std::array<std::uint8_t, 1> reply{};
    if (link.ReadExact(reply, IspReplyDeadline) != 1) {
        log.Append("no response");
        return false;
    }
    switch (reply[0]) {
    case '.':
        return true;
    case 'X':
        log.Append("bad checksum");
        return false;
    case 'R':
        log.Append("data byte write failure");
        return false;
    default:
        return false;
    }
}

bool SendIspRecord(SerialLink& link, MessageLog& log, const std::string& record) {
    for (int attempt = 0; attempt < IspAttempts; ++attempt) {
        link.WriteBytes(record);
        // The answer follows the echo; it is read even when the echo did not come back.
        if (!link.WaitForText(record, IspEchoDeadline)) log.Append("Sent data not echoed");
        if (ReadIspReply(link, log)) return true;
    }
    return false;
}

int UpdateFirmware(ModuleContext& ctx, const FirmwareJob& job, const TransferView& view) {
    FirmwareImage image;
    const int loaded = LoadHexImage(job.FileName, image, ctx.log, ctx.prompt);
    if (loaded != 0) return loaded;
    if (view.ShowProgress) view.ShowProgress(image.HighestAddress);

    SerialLink& link = ctx.link;
    const FirmwareOptions& options = job.Options;
    if (!options.BlankPart && !options.Compat) {
        // The running firmware is told to hand over to its boot loader.
        if (!OpenIspPort(ctx, job.PortPath, job.UserBaud)) return UpdatePortError;
        link.WriteByte(ProgramModeCommand);
        link.Pause(ProgramCommandPause);
        link.ClosePort();
    }
    if (!OpenIspPort(ctx, job.PortPath, IspBaud)) return UpdatePortError;
    if (!options.BlankPart || options.ForceUpdate) {
        link.SendBreak(IspBreakLength);
        link.Pause(IspBreakSettle);
    }
    if (!SyncIsp(link)) {
        if (link.KeepsSending()) ctx.log.Append(KeepsSendingText);
        return Fail(ctx, "Target not responding", UpdateNoSync);
    }
    ctx.log.Append("ISP Mode Initiated");

    if (!SendIspRecord(link, ctx.log, StatusOnRecord))
        return Fail(ctx, "Error Setting Status Byte", UpdateRecordError);
    for (int address = 0; address < FirmwareSize; address += IspPageSize) {
        if (!SendIspRecord(link, ctx.log, EraseRecord(address)))
            return Fail(ctx, "Error Erasing Flash", UpdateRecordError);
        // The controls are disabled; letting the window repaint keeps it from looking hung
        // for the seconds the erase takes.
        if (view.ProcessEvents) view.ProcessEvents();
    }
    if (image.HasData) {
        for (int address = 0; address <= image.HighestAddress; address += IspPageSize) {
            if (view.Progress) view.Progress(address);
            if (view.ProcessEvents) view.ProcessEvents();
            const int count = std::min(IspPageSize, image.HighestAddress - address + 1);
            if (!SendIspRecord(link, ctx.log, DataRecord(image, address, count)))
                return Fail(ctx, "Error Programming Flash", UpdateRecordError);
        }
    }
    if (!SendIspRecord(link, ctx.log, StatusOffRecord))
        return Fail(ctx, "Error Setting Status Byte", UpdateRecordError);
    if (!SendIspRecord(link, ctx.log, ConfigurationRecord()))
        return Fail(ctx, nullptr, UpdateRecordError);

    link.Pause(IspResetPause);
    // The boot loader starts the firmware at once: no echo, no answer.
    link.WriteBytes(ResetRecord);
    link.ClosePort();
    return UpdateOk;
}

int RunFirmwareUpdate(ModuleContext& ctx, const FirmwareJob& job, const TransferView& view) {
    int result = 0;
    {
        // Nothing else may put bytes between the records while window events run, and a
        // request to close the program does not cut the update short.
        ModuleBusyScope busy;
        const UpdateRunning running(ctx.link);
        result = UpdateFirmware(ctx, job, view);
    }
    if (view.HideProgress) view.HideProgress();
    ctx.ui.ShowConnectPage();
    if (result == UpdateOk) {
        ctx.log.Append("");
        ctx.log.Append("Firmware updated successfully.");
    }
    return result;
}

bool FirmwareUpdateRunning() {
    return updateRunning;
}

std::optional<int> UpdateFirmwareClick(ModuleContext& ctx, FirmwareJob job,
                                       const FirmwareQuestions& questions,
                                       const TransferView& view) {
    if (ModuleBusy()) return std::nullopt;
    if (!questions.AskOkCancel(FirmwareWarningText, FirmwareCaption, true)) return std::nullopt;
    job.FileName = questions.AskFirmwareFile();
    if (job.FileName.empty()) return std::nullopt;
    // The update opens the port itself; the user connects again afterwards.
    if (ctx.state.Connected) Disconnect(ctx);
    if (job.Options.Compat &&
        !questions.AskOkCancel(FirmwareInstructionsText, FirmwareCaption, false))
        return std::nullopt;
    return RunFirmwareUpdate(ctx, job, view);
}

} // namespace vemo
