#pragma once
// What the link's fuzz targets share: a check that stops the run, and a module port whose
// replies are the fuzzer's bytes.
#include "link/ModulePort.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace fuzz {

inline void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Reads take the bytes in order; a read that asks for more than is left fails and takes the
// rest, as a line that falls silent would.
class BytePort : public vemo::ModulePort {
public:
    BytePort(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    void FlushInput() override {}
    void WriteBytes(std::span<const std::uint8_t>) override {}
    bool ReadExact(std::span<std::uint8_t> buf, int, int& arrived) override {
        const bool whole = size_ - at_ >= buf.size();
        arrived = static_cast<int>(whole ? buf.size() : size_ - at_);
        if (whole) std::memcpy(buf.data(), data_ + at_, buf.size());
        at_ = whole ? at_ + buf.size() : size_;
        return whole;
    }
    void Pause(int) override {}
    bool WaitQuiet(int) override { return true; }

private:
    const std::uint8_t* data_;
    std::size_t size_, at_ = 0;
};

} // namespace fuzz
