#include "link/ConfigCommands.h"

#include "link/LinkPort.h"
#include "link/ModuleBusy.h"

namespace vemo {

bool ConfigSession::ReadNow(ModuleContext& ctx) {
    ConfigHooks hooks;
    hooks.Log = [&ctx](const std::string& line) { ctx.log.Append(line); };
    hooks.Error = [&ctx](const std::string& text, const std::string& caption) {
        ctx.prompt.Error(text, caption);
    };
    hooks.Shown = [this] {
        if (!view_) return;
        view_->ShowBlock();
        view_->ShowInterval();
    };
    LinkPort port(ctx.link);
    const bool read = ReadConfig(port, Config, Interval, hooks);
    if (ModuleGone(ctx)) return false;
    if (read) {
        readOnLink_ = &ctx.link;
        readOnOpen_ = ctx.link.OpenCount();
    }
    return read;
}

void ConfigSession::UseSimulatedBlock() {
    Config.Word0 = 0xABCD;
    Config.IntervalCount = 4;
    Config.AltUnit = 0;
}

void ConfigSession::RecomputeRecordTime() {
    RecomputeInterval(Interval, Config.BaseStep);
    if (view_) view_->ShowInterval();
}

bool ConfigSession::ReadSinceConnect(const SerialLink& link) const {
    return readOnLink_ == &link && readOnOpen_ == link.OpenCount() && link.IsOpen();
}

bool ReadConfigClick(ModuleContext& ctx) {
    if (ModuleBusy()) return false;
    if (!CheckConnected(ctx, true)) return false;
    ModuleBusyScope busy(BusyKind::Blocking);
    return ctx.config && ctx.config->ReadNow(ctx);
}

void WriteConfigClick(ModuleContext& ctx, ConfigForm& form) {
    if (ModuleBusy()) return;
    if (!CheckConnected(ctx, true)) return;
    // The block holds fields the page does not show (and the service dialog's values); sent
    // before the module's own were read, they would overwrite them with zeros.
    if (!ctx.config || !ctx.config->ReadSinceConnect(ctx.link)) {
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

} // namespace vemo
