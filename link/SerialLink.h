#pragma once
// The serial port to the module: one process-wide link with a handful of blocking
// primitives. Every composite read polls one byte at a time from the link's own input
// queue, so whatever one primitive does not consume is still there for the next one.
// Deadlines are measured on a monotonic millisecond clock that tests can replace.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class QSerialPort;

namespace vemo {

// The line speeds offered in the "Speed" list.
inline constexpr std::array<std::uint32_t, 6> BaudTable = {2400, 4800, 9600, 19200, 38400, 115200};

// The speed of an index into BaudTable; the fastest for an index the table does not have.
inline std::uint32_t BaudOf(int speedIndex) {
    if (speedIndex < 0 || speedIndex >= static_cast<int>(BaudTable.size())) return BaudTable.back();
    return BaudTable[static_cast<std::size_t>(speedIndex)];
}

// Millisecond tick counter and sleeping. Ticks are 32-bit and compared by unsigned
// difference, so wrap-around is harmless.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
    // Sleeps ms, or less once cutShort() says so. A clock that does not really sleep (a test's)
    // may sleep the whole time.
    virtual void SleepUnless(std::uint32_t ms, const std::function<bool()>& cutShort) {
        (void)cutShort;
        SleepMs(ms);
    }
};

// The steady system clock.
Clock& SystemClock();

// How long a device may send without a pause before the link gives up on it: a flush that has
// seen input for this long ends, and the link then counts as one that keeps sending.
inline constexpr std::uint32_t KeepsSendingMs = 2000;

// Asks the primitives of every link to give up at once, because the program is about to
// close. It only stores a flag, so a signal handler may call it. A link that was told not to
// be interrupted (a firmware update runs on it) carries on.
void InterruptLinks() noexcept;
// Withdraws the request (once the close has begun).
void ClearLinkInterrupt() noexcept;

// Why the last OpenPort failed, in terms a user can act on.
enum class OpenFailure {
    None,
    NoPortSelected, // no path was given
    Missing,        // the device does not exist (unplugged, simulator stopped)
    Permission,     // the user may not open the device
    Busy,           // another program holds the device
    Other,
};

class SerialLink {
public:
    SerialLink();
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens path exclusively at baud, 8 data bits, no parity, 1 stop bit, no flow control,
    // DTR raised and RTS low. A port that is already open is closed first. On failure the
    // reason is kept in LastOpenFailure()/LastOpenError() and nothing else changes.
    bool OpenPort(const std::string& path, std::uint32_t baud);
    // Waits until every byte written has left the line, then lowers DTR and closes the port
    // (which gives the line its former settings back); harmless when nothing is open.
    void ClosePort();
    bool IsOpen() const;
    std::string PortPath() const; // of the open port, empty when closed
    // Counts the successful opens, so that callers can tell one connection from the next.
    std::uint32_t OpenCount() const { return openCount_; }

    // True once the open port's device went away (unplugged, the far end closed) or a write
    // failed. The port is of no more use: reads fail at once, writes and pauses do nothing.
    // Cleared by ClosePort and OpenPort.
    bool Lost() const { return lost_; }
    // True once a flush or WaitQuiet gave up because input kept arriving for KeepsSendingMs
    // without a pause: a device that never stops sending (a GPS receiver on the wrong port, a
    // module still sending a download the program stopped reading). Reads then fail at once and
    // writes and pauses do nothing, until the next flush, WaitQuiet, OpenPort or ClosePort.
    bool KeepsSending() const { return keepsSending_; }
    // True while the program asked the links to give up (InterruptLinks) and this one may be.
    bool Interrupted() const;
    // A firmware update must not be cut short: false makes the link deaf to InterruptLinks.
    void SetInterruptible(bool interruptible) { interruptible_ = interruptible; }
    // Whether the primitives can do nothing more: lost, keeps sending, or interrupted.
    bool Unusable() const { return lost_ || keepsSending_ || Interrupted(); }
    // Called once from the event loop (never from inside a primitive) after the port found its
    // device gone, unless the port was closed first. Empty: nothing is called.
    void SetLostHandler(std::function<void()> handler) { lostHandler_ = std::move(handler); }

    OpenFailure LastOpenFailure() const { return lastFailure_; }
    std::string LastOpenError() const { return lastError_; } // the system's own text

    // One synchronous write; returns the count written (0 when closed or failed).
    int WriteBytes(std::span<const std::uint8_t> data);
    int WriteBytes(std::string_view text);
    int WriteByte(std::uint8_t byte);

    // One read of up to buf.size() bytes: returns as soon as buf.size() bytes are queued,
    // else after about 20 ms per byte asked for, with what arrived (0..size).
    int ReadBytes(std::span<std::uint8_t> buf);

    // Discards input until the line has been silent for one read time-out (for 200 ms once it
    // has talked for 200 ms); returns the count discarded. Gives up when input keeps coming
    // for KeepsSendingMs (KeepsSending()).
    int FlushInput();

    // Discards input until the line has been silent for quietMs. False when it kept sending
    // for KeepsSendingMs without such a pause (KeepsSending()) or the link became unusable.
    bool WaitQuiet(std::uint32_t quietMs);

    // Reads exactly buf.size() bytes. Returns the size when every byte, the last one
    // included, arrived before deadlineMs; 0 otherwise (bytes that did arrive are left in
    // buf but the call counts as failed). `arrived`, when given, receives how many came.
    int ReadExact(std::span<std::uint8_t> buf, std::uint32_t deadlineMs, int* arrived = nullptr);

    // Reads one text line ended by a line feed; carriage returns are dropped. Stores at most
    // max characters in line: a longer line is cut and its rest (with the line end) stays
    // queued. Returns the count stored; 0 on time-out or for an empty line.
    int ReadLine(std::string& line, int max, std::uint32_t deadlineMs);

    // Discards input until text has been seen; bytes after it stay queued. deadlineMs 0
    // waits without end. False on time-out or for an empty text.
    bool WaitForText(std::string_view text, std::uint32_t deadlineMs);

    // Holds the line in the break state for ms.
    void SendBreak(std::uint32_t ms);

    // A pause on the sending side (on the link's clock, so tests can shorten it).
    void Pause(std::uint32_t ms);

    // Replaces the clock used for deadlines and pauses; nullptr restores the system clock.
    // The clock must outlive its use by the link.
    void SetClock(Clock* clock);

    // Told each step the link takes on the system's port, in order: "write <bytes>", "drain",
    // "dtr 0", "close". For tests; empty: nothing is told.
    void SetLineTrace(std::function<void(const std::string&)> trace) { trace_ = std::move(trace); }

private:
    bool ReadOne(std::uint8_t& byte); // one one-byte read with the ~20 ms time-out
    void MarkLost();
    // Discards input until quietMs of silence (0: one read time-out); see WaitQuiet.
    bool DiscardUntilQuiet(std::uint32_t quietMs, int& count);
    // Input that arrives while no command is running is stale by the time one starts, and
    // nothing else would ever read it: it is dropped as it comes.
    void DropIdleInput();
    void DrainOutput();
    void Trace(const std::string& step) const {
        if (trace_) trace_(step);
    }

    std::unique_ptr<QSerialPort> port_;
    Clock* clock_;
    std::uint32_t openCount_ = 0;
    bool lost_ = false;
    bool keepsSending_ = false;
    bool interruptible_ = true;
    int inPrimitive_ = 0; // a primitive is waiting on the port: its input is not idle input
    std::function<void()> lostHandler_;
    std::function<void(const std::string&)> trace_;
    OpenFailure lastFailure_ = OpenFailure::None;
    std::string lastError_;
};

// The one link of the process.
SerialLink& Link();

} // namespace vemo
