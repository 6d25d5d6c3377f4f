#pragma once
// The module simulator: answers as the altitude recording module does, on the far side of
// a pseudo-terminal pair. Tests start it in-process; vemo-sim starts it for people.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vemosim {

// One recording held by the module. Altitudes are in the unit the simulator was started
// with; trigger[i] marks a sample taken while a trigger output fired.
struct Recording {
    std::vector<double> alt;
    std::vector<bool> trigger;
    int intervalCount = 1;  // sample interval in the module's ticks
    bool triggered = false; // recorded with the external trigger on (the header flag)
    std::string name;       // what the recording is, for people reading logs
};

struct SimOptions {
    bool pace = false; // pace output at the line speed the program set (10 bits/byte)
    int unit = 0;      // 0 feet, 1 yards, 2 meters: which unit's recordings it holds
};

// The recordings the simulator holds when nothing else is set, in the given unit:
// a rocket flight, a flight with trigger marks, a long recording of 65535 samples and an
// empty set.
std::vector<Recording> BuiltInRecordings(int unit);

class Simulator {
public:
    explicit Simulator(SimOptions options = {});
    ~Simulator(); // stops and closes
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool Start(); // opens a pty pair (posix_openpt) and starts its thread
    void Stop();
    std::string PortPath() const; // the slave side path, e.g. /dev/pts/7

    // Module state, readable and settable by tests (thread-safe).
    std::array<uint8_t, 28> ConfigBlock() const;
    void SetConfigBlock(const std::array<uint8_t, 28>& block);
    void SetRecordings(std::vector<Recording> recordings);
    int SetCount() const;
    void SetIdentity(std::vector<std::string> fourLines); // the "v" reply lines
    std::vector<uint8_t> Received() const;                // every byte the program sent
    void ClearReceived();
    int LineSpeed() const; // the baud rate the program set on the terminal

    // Faults.
    void SetSilenceAfter(long bytes); // stop answering after N bytes of the next reply (-1 off)
    void SetGarbage(bool on);         // answer with garbage
    void SetReplyDelayMs(int ms);     // answer late
    // Answers only the command letters in `commands` ms late ("a": every data set), on top of
    // any reply delay; an empty text turns it off.
    void SetLateCommands(const std::string& commands, int ms);
    // A device that never stops sending, as a GPS receiver on the wrong port does: NMEA
    // sentences one after the other without a pause (at the line speed with pacing), while
    // every byte the program sends is ignored. Off: the module answers again.
    void SetStreaming(bool on);
    void ClosePort();                 // close the master side: the program sees the port vanish
    // Sends bytes to the program now, outside any reply (for line-reading tests).
    void Inject(std::vector<uint8_t> bytes);

    // What the module did with commands that have no reply.
    int CalibrationValue() const; // the altitude last sent with "$" "t" (0 before any)
    int CalibrationCount() const; // how many complete calibrations arrived
    int ResetCount() const;       // how many "R" arrived
    bool Logging() const;         // "l" arrived since the last reset

    // The boot loader. A pseudo-terminal cannot carry a break, so a "U" while the firmware
    // runs stands in for the break and enters the boot loader as well as "P" does.
    bool InBootLoader() const;
    void SetBlankPart(bool blank);      // no firmware: the module sits in its boot loader
    std::vector<uint8_t> Flash() const; // the code space the boot loader programs
    int StatusByte() const;             // last value set with the status record
    int ConfigByte() const;             // last value set with the configuration record
    int LastSyncSpeed() const;          // line speed at the last "U" answered (0 before any)
    void SetRejectRecords(int count);   // reply "X" to the next N records
    // Boot loader faults. Each counts well-formed records from the moment it is set; the
    // reset record is not counted.
    // Answers `verdict` ("X", "R", or anything else) instead of its own to `count` records,
    // after letting `after` records through; a record answered so is not carried out.
    void SetRecordFault(char verdict, int count, int after = 0);
    // Echoes nothing of the next `count` records, and answers them verdictDelayMs late.
    void SetDropEchoes(int count, int verdictDelayMs = 0);
    // The port vanishes when the record after the next `records` answered ones begins (0 off).
    void SetCloseAfterRecords(int records);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace vemosim
