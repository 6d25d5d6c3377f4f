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
};

// The steady system clock.
Clock& SystemClock();

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
    // Lowers DTR and closes the port; harmless when nothing is open.
    void ClosePort();
    bool IsOpen() const;
    std::string PortPath() const; // of the open port, empty when closed
    // Counts the successful opens, so that callers can tell one connection from the next.
    std::uint32_t OpenCount() const { return openCount_; }

    // True once the open port's device went away (unplugged, the far end closed) or a write
    // failed. The port is of no more use: reads fail at once, writes and pauses do nothing.
    // Cleared by ClosePort and OpenPort.
    bool Lost() const { return lost_; }
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

    // Discards input until the line has been silent for one read time-out; returns the
    // count discarded.
    int FlushInput();

    // Reads exactly buf.size() bytes. Returns the size when every byte, the last one
    // included, arrived before deadlineMs; 0 otherwise (bytes that did arrive are left in
    // buf but the call counts as failed).
    int ReadExact(std::span<std::uint8_t> buf, std::uint32_t deadlineMs);

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

private:
    bool ReadOne(std::uint8_t& byte); // one one-byte read with the ~20 ms time-out
    void MarkLost();

    std::unique_ptr<QSerialPort> port_;
    Clock* clock_;
    std::uint32_t openCount_ = 0;
    bool lost_ = false;
    std::function<void()> lostHandler_;
    OpenFailure lastFailure_ = OpenFailure::None;
    std::string lastError_;
};

// The one link of the process.
SerialLink& Link();

} // namespace vemo
