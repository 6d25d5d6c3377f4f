#pragma once
// The serial link as a ModulePort.
#include "link/ModulePort.h"
#include "link/SerialLink.h"

namespace vemo {

class LinkPort final : public ModulePort {
public:
    using ModulePort::ReadExact;

    explicit LinkPort(SerialLink& link) : link_(link) {}
    void FlushInput() override { link_.FlushInput(); }
    void WriteBytes(std::span<const std::uint8_t> bytes) override { link_.WriteBytes(bytes); }
    bool ReadExact(std::span<std::uint8_t> buf, int deadlineMs, int& arrived) override {
        return link_.ReadExact(buf, static_cast<std::uint32_t>(deadlineMs), &arrived) ==
               static_cast<int>(buf.size());
    }
    void Pause(int ms) override { link_.Pause(static_cast<std::uint32_t>(ms)); }
    bool WaitQuiet(int quietMs) override {
        return link_.WaitQuiet(static_cast<std::uint32_t>(quietMs));
    }
    bool Unusable() const override { return link_.Unusable(); }

private:
    SerialLink& link_;
};

} // namespace vemo
