#include "link/ConfigOps.h"

#include "link/LinkPort.h"
#include "link/ModuleBusy.h"

namespace vemo {

ConfigView ConfigDisplay;

namespace {

// The connection during which a block was last read from the module: the link and its open
// count. The block may be written back only during that same connection.
const SerialLink* readOnLink = nullptr;
std::uint32_t readOnOpen = 0;

bool BlockReadSinceConnect(const SerialLink& link) {
    return readOnLink == &link && readOnOpen == link.OpenCount() && link.IsOpen();
}

ConfigHooks HooksFor(ModuleContext& ctx) {
    ConfigHooks h;
    h.Log = [&ctx](const std::string& line) { ctx.log.Append(line); };
    h.Error = [&ctx](const std::string& text, const std::string& caption) {
        ctx.prompt.Error(text, caption);
    };
    h.Shown = [] {
        if (ConfigDisplay.ShowBlock) ConfigDisplay.ShowBlock();
        if (ConfigDisplay.ShowInterval) ConfigDisplay.ShowInterval();
    };
    return h;
}

} // namespace

bool ReadConfigNow(ModuleContext& ctx) {
    LinkPort port(ctx.link);
    const bool read = ReadConfig(port, Config, Interval, HooksFor(ctx));
    if (ModuleGone(ctx)) return false;
    if (read) {
        readOnLink = &ctx.link;
        readOnOpen = ctx.link.OpenCount();
    }
    return read;
}

bool ReadConfigClick(ModuleContext& ctx) {
    if (ModuleBusy()) return false;
    if (!CheckConnected(ctx, true)) return false;
    ModuleBusyScope busy(BusyKind::Blocking);
    return ReadConfigNow(ctx);
}

void WriteConfigClick(ModuleContext& ctx, ConfigForm& form) {
    if (ModuleBusy()) return;
    if (!CheckConnected(ctx, true)) return;
    // The block holds fields the page does not show (and the service dialog's values); sent
    // before the module's own were read, they would overwrite them with zeros.
    if (!BlockReadSinceConnect(ctx.link)) {
        const char* const text = "No configuration has been read from the device.";
        ctx.log.Append(text);
        ctx.prompt.Error(text, "Vemo");
        return;
    }
    ModuleBusyScope busy(BusyKind::Blocking);
    TakeConfig(form, Interval, Config);
    LinkPort port(ctx.link);
    WriteConfig(port, Config);
    if (ModuleGone(ctx)) return;
    ctx.log.Append("Configuration written.");
}

void RecomputeShownInterval() {
    RecomputeInterval(Interval, Config.BaseStep);
    if (ConfigDisplay.ShowInterval) ConfigDisplay.ShowInterval();
}

void InstallConfigHooks() {
    Hooks.ReadConfig = [](ModuleContext& ctx) { return ReadConfigNow(ctx); };
    Hooks.SimulatedConfig = [] {
        Config.Word0 = 0xABCD;
        Config.IntervalCount = 4;
        Config.AltUnit = 0;
    };
    Hooks.RecomputeRecordTime = [] { RecomputeShownInterval(); };
}

} // namespace vemo
