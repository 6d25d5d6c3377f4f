#include "tools/CliModule.h"

#include "link/ConfigOps.h"

namespace vemocli {

bool ConnectModule(vemo::ModuleContext& ctx, const PortOptions& options) {
    vemo::InstallConfigHooks();
    ctx.state.SpeedIndex = options.speedIndex;
    return vemo::ConnectPath(ctx, options.port);
}

} // namespace vemocli
