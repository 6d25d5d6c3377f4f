// The module's side of the command protocol: one byte commands, their argument bytes and
// replies, and the boot loader's record protocol.

#include "sim/SimulatorImpl.h"

#include <algorithm>
#include <cstdio>

namespace vemosim {
namespace {

// How long the module waits for the argument bytes of a command before it gives up.
constexpr int kArgumentWaitMs = 1000;
// "$" wakes the pressure sensor; the program sends "t" 1.5 s later.
constexpr int kCalibrateWaitMs = 3000;
// A reset module is deaf while it starts again.
constexpr int kRebootMs = 1000;

int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

void Simulator::Impl::Run() {
    while (Alive()) {
        if (streaming) {
            StreamSentence();
            continue;
        }
        const auto b = ReadByte(-1);
        if (!b) continue;
        bool boot = false;
        {
            std::lock_guard lock(mutex);
            boot = bootLoader;
        }
        if (boot)
            HandleBootLoader(*b);
        else
            HandleCommand(*b);
    }
}

void Simulator::Impl::StreamSentence() {
    static const std::string sentence =
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    SendRaw(std::vector<uint8_t>(sentence.begin(), sentence.end()));
    pending.clear(); // a receiver takes no commands
}

void Simulator::Impl::HandleCommand(uint8_t cmd) {
    command = cmd;
    switch (cmd) {
    case 'v':
        CommandIdentify();
        break;
    case 's':
        CommandSetList();
        break;
    case 'a':
        CommandSendSet();
        break;
    case 'r': {
        std::array<uint8_t, 28> block;
        {
            std::lock_guard lock(mutex);
            block = config;
        }
        Reply(std::vector<uint8_t>(block.begin(), block.end()));
        break;
    }
    case 'c':
        CommandWriteConfig();
        break;
    case 'x': {
        std::lock_guard lock(mutex);
        recordings.clear();
        break;
    }
    case '*': {
        // Back to the defaults; the factory values (hardware version, memory size) stay.
        std::lock_guard lock(mutex);
        auto fresh = DefaultConfigBlock(options.unit);
        fresh[25] = config[25];
        fresh[26] = config[26];
        config = fresh;
        break;
    }
    case 'R': {
        {
            std::lock_guard lock(mutex);
            ++resetCount;
            logging = false;
        }
        Pause(kRebootMs);
        pending.clear(); // whatever arrived while it restarted is lost
        break;
    }
    case '$':
        CommandCalibrate();
        break;
    case 'l': {
        std::lock_guard lock(mutex);
        logging = true;
        break;
    }
    case 'P': {
        std::lock_guard lock(mutex);
        bootLoader = true;
        break;
    }
    case 'U':
        // Stands in for the break a pseudo-terminal cannot carry: the boot loader takes over
        // and answers the synchronisation.
        AnswerSync();
        break;
    default:
        break; // the module ignores bytes it does not know
    }
}

void Simulator::Impl::CommandIdentify() {
    std::string text;
    {
        std::lock_guard lock(mutex);
        for (const auto& line : identity)
            text += line + "\r\n";
    }
    Reply(text);
}

void Simulator::Impl::CommandSetList() {
    std::string text;
    {
        std::lock_guard lock(mutex);
        // One line per stored set: its number and how many samples it holds.
        for (size_t i = 0; i < recordings.size(); ++i) {
            char line[32];
            std::snprintf(line, sizeof line, "%zu, %zu\r\n", i + 1,
                          std::min<size_t>(recordings[i].alt.size(), 65535));
            text += line;
        }
    }
    if (!text.empty()) Reply(text);
}

void Simulator::Impl::CommandSendSet() {
    const auto set = ReadByte(kArgumentWaitMs);
    if (!set) return;
    std::vector<uint8_t> stream;
    {
        std::lock_guard lock(mutex);
        // A set the module does not hold gets no answer at all.
        if (*set >= recordings.size()) return;
        stream = EncodeRecording(recordings[*set], *set);
    }
    Reply(stream);
}

void Simulator::Impl::CommandWriteConfig() {
    std::array<uint8_t, 28> block{};
    for (auto& b : block) {
        const auto got = ReadByte(kArgumentWaitMs);
        if (!got) return; // a block cut short leaves the stored one as it was
        b = *got;
    }
    std::lock_guard lock(mutex);
    config = block;
}

void Simulator::Impl::CommandCalibrate() {
    const auto t = ReadByte(kCalibrateWaitMs);
    if (!t) return;
    if (*t != 't') {
        HandleCommand(*t); // not a calibration after all
        return;
    }
    const auto hi = ReadByte(kArgumentWaitMs);
    if (!hi) return;
    const auto lo = ReadByte(kArgumentWaitMs);
    if (!lo) return;
    std::lock_guard lock(mutex);
    calibrationValue = static_cast<int16_t>(static_cast<uint16_t>(*hi << 8 | *lo));
    ++calibrationCount;
}

// ---------------------------------------------------------------- boot loader

void Simulator::Impl::AnswerSync() {
    {
        std::lock_guard lock(mutex);
        bootLoader = true;
        lastSyncSpeed = TerminalSpeed(slaveFd);
    }
    Reply(std::string("U"));
}

void Simulator::Impl::HandleBootLoader(uint8_t byte) {
    command = 0;
    if (byte == 'U')
        AnswerSync();
    else if (byte == ':' && closeDue)
        VanishPort();
    else if (byte == ':')
        HandleRecord();
    // Anything else between records is line noise to the boot loader.
}

std::optional<char> Simulator::Impl::TakeRecordFault() {
    std::lock_guard lock(mutex);
    if (recordFaultCount == 0) return std::nullopt;
    if (recordFaultAfter > 0) {
        --recordFaultAfter;
        return std::nullopt;
    }
    --recordFaultCount;
    return recordFaultVerdict;
}

void Simulator::Impl::CountAnsweredRecord() {
    std::lock_guard lock(mutex);
    // The port goes when the next record begins, so the last answer still reaches the program.
    if (closeAfterRecords > 0 && --closeAfterRecords == 0) closeDue = true;
}

void Simulator::Impl::HandleRecord() {
    // A record is ":" count(2) address(4) type(2) data(2*count) checksum(2), no line end;
    // every character is echoed as it arrives, unless a fault drops the echo.
    bool echo = true;
    int verdictDelayMs = 0;
    {
        std::lock_guard lock(mutex);
        if (dropEchoes > 0) {
            --dropEchoes;
            echo = false;
            verdictDelayMs = dropEchoDelayMs;
        }
    }
    auto answer = [&](char verdict) {
        if (verdictDelayMs > 0 && !Pause(verdictDelayMs)) return;
        Reply(std::string(1, verdict));
        CountAnsweredRecord();
    };
    if (echo) SendRaw({':'});
    std::vector<uint8_t> text;
    auto readChars = [&](size_t n) {
        for (size_t i = 0; i < n; ++i) {
            const auto c = ReadByte(kArgumentWaitMs);
            if (!c) return false;
            if (echo) SendRaw({*c});
            text.push_back(*c);
        }
        return true;
    };
    if (!readChars(8)) return;
    std::vector<int> bytes;
    auto decode = [&](size_t from) {
        for (size_t i = from; i + 1 < text.size(); i += 2) {
            const int h = HexDigit(text[i]), l = HexDigit(text[i + 1]);
            if (h < 0 || l < 0) return false;
            bytes.push_back(h << 4 | l);
        }
        return true;
    };
    if (!decode(0)) {
        answer('X');
        return;
    }
    const int count = bytes[0];
    const int address = bytes[1] << 8 | bytes[2];
    const int type = bytes[3];
    if (!readChars(static_cast<size_t>(2 * count + 2))) return;
    bytes.clear();
    if (!decode(0)) {
        answer('X');
        return;
    }
    int sum = 0;
    for (int b : bytes)
        sum += b;
    if ((sum & 0xFF) != 0) {
        answer('X');
        return;
    }
    if (type != 0x08) {
        if (const auto forced = TakeRecordFault()) {
            answer(*forced);
            return;
        }
    }
    const auto data = std::vector<int>(bytes.begin() + 4, bytes.end() - 1);
    char verdict = '.';
    {
        std::lock_guard lock(mutex);
        switch (type) {
        case 0x00: // program data bytes
            if (address + count > kFlashSize) {
                verdict = 'R';
            } else {
                for (int i = 0; i < count; ++i)
                    flash[static_cast<size_t>(address + i)] = static_cast<uint8_t>(data[i]);
            }
            break;
        case 0x02: // write a special byte: 03 the status byte, 00 the configuration byte
            if (count == 2 && data[0] == 0x03)
                statusByte = data[1];
            else if (count == 2 && data[0] == 0x00)
                configByte = data[1];
            break;
        case 0x04: // erase the 64-byte page at the address in the data
            if (count == 3) {
                const int page = (data[1] << 8 | data[2]) & ~63;
                for (int i = page; i < page + 64 && i < kFlashSize; ++i)
                    flash[static_cast<size_t>(i)] = 0xFF;
            }
            break;
        case 0x08: // start the firmware: no verdict, the boot loader is gone
            bootLoader = false;
            ++resetCount;
            return;
        default:
            break;
        }
    }
    answer(verdict);
}

} // namespace vemosim
