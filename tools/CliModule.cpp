#include "tools/CliModule.h"

#include "data/AppState.h"
#include "link/ConfigOps.h"

#include <cstdlib>
#include <cstring>

namespace vemocli {

int SpeedIndexOf(const char* text) {
    char* end = nullptr;
    const unsigned long baud = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0') return -1;
    for (std::size_t i = 0; i < vemo::BaudTable.size(); ++i)
        if (vemo::BaudTable[i] == baud) return static_cast<int>(i);
    return -1;
}

bool ConnectModule(vemo::ModuleContext& ctx, const std::string& path, int speedIndex) {
    vemo::InstallConfigHooks();
    vemo::App.SpeedIndex = speedIndex;
    return vemo::ConnectPath(ctx, path);
}

} // namespace vemocli
