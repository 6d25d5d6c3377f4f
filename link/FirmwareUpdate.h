#pragma once
// "Update Firmware": the module's boot loader takes Intel HEX records at 4800 baud, echoes
// each character and answers every record with one byte. The update sets the boot status
// byte, erases the code space page by page, programs the image in 64-byte records, clears the
// status byte, writes the configuration byte and resets the module.
#include "link/HexImage.h"
#include "link/Protocol.h"
#include "link/TransferView.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vemo {

// Result codes of UpdateFirmware.
inline constexpr int UpdateOk = 0;
inline constexpr int UpdateFileError = -1;   // the file could not be opened or is damaged
inline constexpr int UpdatePortError = -2;   // the serial port could not be opened
inline constexpr int UpdateNoSync = -3;      // the boot loader did not answer the "U"
inline constexpr int UpdateRecordError = -4; // a record was refused three times
inline constexpr int UpdateCodeSpaceError = -5;

// The line speed of the boot loader.
inline constexpr std::uint32_t IspBaud = 4800;
// Deadlines and pauses, milliseconds.
inline constexpr std::uint32_t IspReplyDeadline = 1000;
inline constexpr std::uint32_t IspEchoDeadline = 1000;
inline constexpr std::uint32_t ProgramCommandPause = 100;
inline constexpr std::uint32_t IspBreakLength = 200;
inline constexpr std::uint32_t IspBreakSettle = 500;
inline constexpr std::uint32_t IspResetPause = 500;
inline constexpr int IspAttempts = 3;
// Bytes a page erase or a program record covers.
inline constexpr int IspPageSize = 64;

// The options of the "Firmware" group.
struct FirmwareOptions {
    bool BlankPart = false;   // "Part is Blank": no firmware runs that could take "P"
    bool ForceUpdate = false; // "Force Update": send the break all the same
    bool Compat = false;      // "Update trouble?  Try me.": the user entered programming mode
};

// Everything one update works with.
struct FirmwareJob {
    std::string PortPath;   // the port to open (already with any device prefix)
    std::uint32_t UserBaud; // the speed the running firmware listens at
    FirmwareOptions Options;
    std::string FileName;
};

// Writes "U" up to three times, each after discarding pending input; true when the boot
// loader answered one with "U".
bool SyncIsp(SerialLink& link);
// Reads the boot loader's answer to a record; true for "." (accepted). Reports "X", "R" and
// a missing answer in the log.
bool ReadIspReply(SerialLink& link, MessageLog& log);
// Sends one record up to three times, each time waiting for its echo and then its answer.
bool SendIspRecord(SerialLink& link, MessageLog& log, const std::string& record);

// The whole update with the file and port of job; returns one of the result codes above.
// The progress bar runs up to the image's highest address and moves before each program
// record; window events run after each erased page and each progress step. The port is
// closed on every return after it was opened.
int UpdateFirmware(ModuleContext& ctx, const FirmwareJob& job, const TransferView& view);

// The update as the button runs it after its questions: the module controls are disabled
// while it runs and the program's close waits for it, and afterwards the progress bar is
// hidden, the "Connect / Download" page comes to the front and success is reported in the log.
int RunFirmwareUpdate(ModuleContext& ctx, const FirmwareJob& job, const TransferView& view);

// Whether RunFirmwareUpdate is at work: a module left half-programmed would need its boot
// loader to come back, so nothing but the update's own end may stop it.
bool FirmwareUpdateRunning();
inline constexpr const char* CloseWaitsForUpdateText =
    "The firmware update is running. Vemo closes when it ends.";

// The questions the button asks; tests answer them.
struct FirmwareQuestions {
    // An OK/Cancel box; true for OK.
    std::function<bool(const std::string& text, const std::string& caption, bool warningIcon)>
        AskOkCancel;
    // "Select Firmware Update File"; empty when cancelled.
    std::function<std::string()> AskFirmwareFile;
};

// The "Update Firmware" button: the warning, the file, the closing of a connected link, the
// instructions for a manual start of the boot loader, then the update. Returns the result
// code; nothing when the user stopped at a question (and nothing was done). job's FileName
// is filled in from the file question.
std::optional<int> UpdateFirmwareClick(ModuleContext& ctx, FirmwareJob job,
                                       const FirmwareQuestions& questions,
                                       const TransferView& view);

inline constexpr const char* FirmwareWarningText =
    "Warning!  Firmware update can render\nthe device non-operational!\n\nBe sure to use the "
    "proper firmware file.\nDo not interrupt the download process.\n\nClick OK to proceed "
    "with firmware update.";
inline constexpr const char* FirmwareInstructionsText =
    "1) Power off device\n2) Press and hold S2\n3) Power on device\n4) Hold S2 until \"PROG\" "
    "is displayed\n5) Click OK";
inline constexpr const char* FirmwareCaption = "Vemo Firmware Update";

} // namespace vemo
