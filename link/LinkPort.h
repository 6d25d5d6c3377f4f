#pragma once
// The serial link as a ModulePort.
#include "link/ModulePort.h"
#include "link/SerialLink.h"

namespace vemo {

class LinkPort final : public ModulePort {
public:
    explicit LinkPort(SerialLink& link) : link_(link) {}
    void FlushInput() override { link_.FlushInput(); }
    void WriteBytes(std::span<const std::uint8_t> bytes) override { link_.WriteBytes(bytes); }
    bool ReadExact(std::span<std::uint8_t> buf, int deadlineMs) override {
        return link_.ReadExact(buf, static_cast<std::uint32_t>(deadlineMs)) ==
               static_cast<int>(buf.size());
    }
    void Pause(int ms) override { link_.Pause(static_cast<std::uint32_t>(ms)); }
    bool Lost() const override { return link_.Lost(); }

private:
    SerialLink& link_;
};

} // namespace vemo
