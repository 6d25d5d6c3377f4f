#include "link/OpenFailure.h"

#include <QtGlobal>

#include <cerrno>
#ifndef Q_OS_WIN
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace vemo {

namespace {

#ifndef Q_OS_WIN
// The name of the group that owns path, and whether this process is a member of it.
bool OwningGroup(const std::string& path, std::string& name, bool& member) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if (const group* g = ::getgrgid(st.st_gid))
        name = g->gr_name;
    else
        name = std::to_string(st.st_gid);
    member = (::getegid() == st.st_gid);
    int n = ::getgroups(0, nullptr);
    if (n > 0) {
        std::vector<gid_t> groups(static_cast<std::size_t>(n));
        n = ::getgroups(n, groups.data());
        for (int i = 0; i < n; ++i)
            if (groups[static_cast<std::size_t>(i)] == st.st_gid) member = true;
    }
    return true;
}
#endif

} // namespace

OpenFailure ClassifyOpenFailure(const std::string& path, bool deniedByDriver) {
    if (path.empty()) return OpenFailure::NoPortSelected;
#ifndef Q_OS_WIN
    if (::access(path.c_str(), F_OK) != 0) return OpenFailure::Missing;
    if (::access(path.c_str(), R_OK | W_OK) != 0)
        return errno == ENOENT ? OpenFailure::Missing : OpenFailure::Permission;
    // The user may open the device, yet the driver refused: another program holds it
    // (exclusive mode or a lock file).
    if (deniedByDriver) return OpenFailure::Busy;
    return OpenFailure::Other;
#else
    return deniedByDriver ? OpenFailure::Busy : OpenFailure::Other;
#endif
}

std::string ExplainOpenFailure(const std::string& path, OpenFailure why,
                               const std::string& systemText) {
    const std::string head = "Cannot open " + path + ": ";
    switch (why) {
    case OpenFailure::None:
        return {};
    case OpenFailure::NoPortSelected:
        return "No serial port is selected: pick the module's port in the Port list.";
    case OpenFailure::Missing:
        return head + "the device does not exist. Check that the module is plugged in, or "
                      "restart the simulator.";
    case OpenFailure::Permission: {
#ifndef Q_OS_WIN
        std::string group;
        bool member = false;
        if (OwningGroup(path, group, member)) {
            if (!member)
                return head + "permission denied. You are not in the group '" + group +
                       "' that owns the device: run \"sudo usermod -aG " + group +
                       " $USER\", then log out and in again.";
            return head + "permission denied although you are in the group '" + group +
                   "' that owns the device; log out and in again if you joined it recently.";
        }
#endif
        return head + "permission denied.";
    }
    case OpenFailure::Busy:
        return head + "another program is using the port. Close it (or disconnect it "
                      "there) and try again.";
    case OpenFailure::Other:
        break;
    }
    return head + (systemText.empty() ? std::string("the system refused.") : systemText);
}

} // namespace vemo
