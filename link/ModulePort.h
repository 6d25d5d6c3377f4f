#pragma once
// The few serial primitives the configuration transfer and the download use. The serial link
// implements it for the real port; tests feed it from memory. Reads count only when every
// byte arrived before the deadline.
#include <cstdint>
#include <span>

namespace vemo {

class ModulePort {
public:
    virtual ~ModulePort() = default;
    virtual void FlushInput() = 0;
    virtual void WriteBytes(std::span<const std::uint8_t> bytes) = 0;
    // true when all of buf arrived within deadlineMs; `arrived` tells how many bytes came
    virtual bool ReadExact(std::span<std::uint8_t> buf, int deadlineMs, int& arrived) = 0;
    virtual void Pause(int ms) = 0;
    // Discards input until the line has been silent for quietMs; false when it would not
    // fall silent (or the port became unusable).
    virtual bool WaitQuiet(int quietMs) = 0;
    // Nothing more can be read or written: the device went away, it never stops sending, or
    // the program is closing.
    virtual bool Unusable() const { return false; }

    bool ReadExact(std::span<std::uint8_t> buf, int deadlineMs) {
        int arrived = 0;
        return ReadExact(buf, deadlineMs, arrived);
    }
    void WriteByte(std::uint8_t b) { WriteBytes(std::span<const std::uint8_t>(&b, 1)); }
};

} // namespace vemo
