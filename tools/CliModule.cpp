#include "tools/CliModule.h"

namespace vemocli {

bool ConnectModule(vemo::ModuleContext& ctx, vemo::ConfigSession& session,
                   const PortOptions& options) {
    ctx.config = &session;
    ctx.state.SpeedIndex = options.speedIndex;
    // Without the module's own block nothing may be written back, and a download would time
    // its samples with a base step that is not the module's.
    return vemo::ConnectPath(ctx, options.port) && session.ReadSinceConnect(ctx.link);
}

} // namespace vemocli
