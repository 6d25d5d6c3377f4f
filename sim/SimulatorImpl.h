#pragma once
// Inside of the simulator: the state the module keeps and the byte pipe to the pty master.

#include "sim/Simulator.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace vemosim {

constexpr int kFlashSize = 7616;

// The configuration block the module holds after "*" (reset to defaults).
std::array<uint8_t, 28> DefaultConfigBlock(int unit);
// The two ends of a module's identification, as "v" sends them.
std::vector<std::string> DefaultIdentity();
// Baud rate currently set on a terminal, 0 when it cannot be read.
int TerminalSpeed(int fd);
// The download stream of one recording: 6-byte header, then the words.
std::vector<uint8_t> EncodeRecording(const Recording& rec, int setNumber);

struct Simulator::Impl {
    SimOptions options;

    mutable std::mutex mutex; // guards everything below that tests can touch
    std::array<uint8_t, 28> config{};
    std::vector<Recording> recordings;
    std::vector<std::string> identity;
    std::vector<uint8_t> received;
    long silenceAfter = -1;
    bool garbage = false;
    int replyDelayMs = 0;
    std::string lateCommands; // answered lateMs late
    int lateMs = 0;
    uint8_t command = 0; // the command being answered (thread side)
    std::atomic<bool> streaming{false};
    int calibrationValue = 0;
    int calibrationCount = 0;
    int resetCount = 0;
    bool logging = false;
    bool bootLoader = false;
    std::vector<uint8_t> flash = std::vector<uint8_t>(kFlashSize, 0xFF);
    int statusByte = 0;
    int configByte = 0;
    int lastSyncSpeed = 0;
    char recordFaultVerdict = 'X';
    int recordFaultCount = 0;
    int recordFaultAfter = 0;
    int dropEchoes = 0;
    int dropEchoDelayMs = 0;
    int closeAfterRecords = 0;
    bool closeDue = false; // thread side only
    uint32_t garbageSeed = 12345;

    int masterFd = -1;
    int slaveFd = -1; // kept open so the line settings survive the program closing its side
    int wakePipe[2] = {-1, -1};
    std::string slavePath;
    std::thread thread;
    std::atomic<bool> stopping{false};
    std::atomic<bool> portClosed{false};

    // Bytes the program sent that the module has not looked at yet (they arrived while it
    // was busy sending).
    std::deque<uint8_t> pending;
    // When the last paced character will have left the line (thread side).
    std::chrono::steady_clock::time_point lineFreeAt{};
    std::vector<uint8_t> injected; // bytes a test asked to send now; guarded by mutex

    // --- byte pipe (thread side) ---
    // One byte from the program, waiting at most timeoutMs (-1 forever). Empty on time-out,
    // on stop or when the port is gone.
    std::optional<uint8_t> ReadByte(int timeoutMs);
    // Sends a reply, honouring the delay, silence and garbage faults and the pacing.
    void Reply(const std::vector<uint8_t>& bytes);
    void Reply(const std::string& text) { Reply(std::vector<uint8_t>(text.begin(), text.end())); }
    // Sends bytes as they are (only paced): the boot loader's echo.
    void SendRaw(const std::vector<uint8_t>& bytes);
    bool Alive() const { return !stopping && !portClosed; }
    // Waits for ms while still collecting what the program sends; false when stopping.
    bool Pause(int ms);

    // --- the module (thread side) ---
    void Run();
    void HandleCommand(uint8_t cmd);
    void HandleBootLoader(uint8_t byte);
    void HandleRecord();
    void AnswerSync();
    // The verdict a fault puts in place of the module's own for a well-formed record, if any.
    std::optional<char> TakeRecordFault();
    // Counts an answered record towards SetCloseAfterRecords.
    void CountAnsweredRecord();
    // Closes the master side from the simulator's own thread: the program sees the port go.
    void VanishPort();
    void CommandIdentify();
    void CommandSetList();
    void CommandSendSet();
    void CommandWriteConfig();
    void CommandCalibrate();
    void StreamSentence(); // one sentence of the streaming fault

private:
    void DrainInput();   // moves whatever is readable now into pending
    void SendInjected(); // writes the bytes a test asked to send
    void DrainWakePipe();
    bool WaitReadable(int timeoutMs);
    void WriteAll(const uint8_t* data, size_t n);
    void WritePaced(const std::vector<uint8_t>& bytes);
};

} // namespace vemosim
