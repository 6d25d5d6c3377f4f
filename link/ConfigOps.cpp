#include "link/ConfigOps.h"

#include "link/LinkPort.h"
#include "link/ModuleBusy.h"

namespace vemo {

ConfigView ConfigDisplay;

namespace {

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
    return ReadConfig(port, Config, Interval, HooksFor(ctx));
}

bool ReadConfigClick(ModuleContext& ctx) {
    if (ModuleBusy()) return false;
    if (!CheckConnected(ctx, true)) return false;
    return ReadConfigNow(ctx);
}

void WriteConfigClick(ModuleContext& ctx, ConfigForm& form) {
    if (ModuleBusy()) return;
    if (!CheckConnected(ctx, true)) return;
    TakeConfig(form, Interval, Config);
    LinkPort port(ctx.link);
    WriteConfig(port, Config);
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
