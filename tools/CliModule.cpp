#include "tools/CliModule.h"

namespace vemocli {

bool ConnectModule(vemo::ModuleContext& ctx, vemo::ConfigSession& session,
                   const PortOptions& options) {
    ctx.config = &session;
    ctx.state.SpeedIndex = options.speedIndex;
    return vemo::ConnectPath(ctx, options.port);
}

} // namespace vemocli
