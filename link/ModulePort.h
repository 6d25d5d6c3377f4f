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
    // true when all of buf arrived within deadlineMs
    virtual bool ReadExact(std::span<std::uint8_t> buf, int deadlineMs) = 0;
    virtual void Pause(int ms) = 0;
    // The device went away: nothing more can be read or written.
    virtual bool Lost() const { return false; }

    void WriteByte(std::uint8_t b) { WriteBytes(std::span<const std::uint8_t>(&b, 1)); }
};

} // namespace vemo
