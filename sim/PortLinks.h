#pragma once
// Where simulated ports are announced: a per-user folder of symbolic links named
// "vemo-sim-<pid>", each pointing at the pseudo-terminal a running simulator serves. The
// program's port list (link/PortList) reads the same folder through this header: it is the one
// rule both sides use.
//
// The folder is $VEMO_PORT_LINKS if set, else $XDG_RUNTIME_DIR/vemo-ports if XDG_RUNTIME_DIR
// is set, else $HOME/.local/state/vemo-ports (the home folder from the user database when
// HOME is not set). Empty when none of these can be found.

#include <cstdlib>
#include <string>
#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace vemosim {

inline std::string PortLinksFolder() {
    if (const char* links = std::getenv("VEMO_PORT_LINKS"); links && *links) return links;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/vemo-ports";
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h) {
        home = h;
    } else {
#ifndef _WIN32
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) home = pw->pw_dir;
#endif
    }
    if (home.empty()) return {};
    return home + "/.local/state/vemo-ports";
}

// The start of every simulator's link name.
inline constexpr const char* PortLinkPrefix = "vemo-sim-";

// The link name a simulator with process id pid uses in that folder.
inline std::string PortLinkName(long pid) {
    return PortLinkPrefix + std::to_string(pid);
}

} // namespace vemosim
