#include "tools/CliModule.h"

namespace vemocli {

bool ConnectModule(vemo::ModuleContext& ctx, vemo::ModuleConfiguration& configuration,
                   const PortOptions& options) {
    ctx.config = &configuration;
    ctx.state.SpeedIndex = options.speedIndex;
    return vemo::ConnectPath(ctx, options.port);
}

} // namespace vemocli
