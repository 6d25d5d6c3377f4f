#include "tools/CliModule.h"

#include "data/AppState.h"
#include "link/ConfigOps.h"

namespace vemocli {

bool ConnectModule(vemo::ModuleContext& ctx, const PortOptions& options) {
    vemo::InstallConfigHooks();
    vemo::App.SpeedIndex = options.speedIndex;
    return vemo::ConnectPath(ctx, options.port);
}

} // namespace vemocli
