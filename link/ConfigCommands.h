#pragma once
// The configuration commands as the Configure page, Connect and vemo-cli use them: "Read
// Config", "Write Config", and the reading of the block that Connect, "Reset Defaults",
// "Reset Module" and "Calibrate" end with.
#include "link/ConfigTransfer.h"
#include "link/Protocol.h"

#include <cstdint>

namespace vemo {

// Where the configuration shows: the Configure page. Every method defaults to doing nothing.
class ConfigView {
public:
    virtual ~ConfigView() = default;
    // A block was read: every control from Config.
    virtual void ShowBlock() {}
    // The four interval panels and "Total Record Time".
    virtual void ShowInterval() {}
};

// The configuration side of the module commands, on the process-wide Config and Interval:
// the block read after the commands that change it, the block of "Simulate Target" and the
// record time after "Download Info". It remembers the connection during which a block last
// arrived, since only then may the block be written back. A context's `config` points at one.
class ConfigSession {
public:
    explicit ConfigSession(ConfigView* view = nullptr) : view_(view) {}
    virtual ~ConfigSession() = default;
    ConfigSession(const ConfigSession&) = delete;
    ConfigSession& operator=(const ConfigSession&) = delete;

    // "r" without the not-connected guard; whether the block arrived.
    virtual bool ReadNow(ModuleContext& ctx);
    // "Simulate Target": Word0 0xABCD, IntervalCount 4, AltUnit 0 (Feet) in Config.
    virtual void UseSimulatedBlock();
    // RecomputeInterval on Interval for Config's base step, then the view shows it.
    virtual void RecomputeRecordTime();

    // Whether a block has been read from the module during link's present connection.
    bool ReadSinceConnect(const SerialLink& link) const;

private:
    ConfigView* view_;
    // The link and its open count when the block last arrived.
    const SerialLink* readOnLink_ = nullptr;
    std::uint32_t readOnOpen_ = 0;
};

// "Read Config": not-connected guard (with the Connect page brought to the front), then "r".
bool ReadConfigClick(ModuleContext& ctx);
// "Write Config": guard, the page values into the block, then "c". Refused (with a message)
// until a block has been read from the module since Connect.
void WriteConfigClick(ModuleContext& ctx, ConfigForm& form);

} // namespace vemo
