#include "link/OpenFailure.h"

#include <QtGlobal>

#include <cerrno>
#ifndef Q_OS_WIN
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace vemo {

namespace {

#ifndef Q_OS_WIN
// Who may open a device file, as far as the advice on a refused open needs it.
struct DeviceOwnership {
    std::string group, owner, mode; // names (numbers when there are none), octal bits
    bool groupIsRoot = false;       // the group root, which no user should join
    bool groupReadWrite = false;
    bool member = false; // this process belongs to the group
};

// The advice after "permission denied": joining the group only where that gives access.
std::string PermissionAdvice(const DeviceOwnership& device) {
    // Joining root's group would give the user far more than the port; joining a group that
    // may not read and write the device would give nothing.
    if (device.groupIsRoot || !device.groupReadWrite)
        return "The device is not open to users (owner " + device.owner + ", group " +
               device.group + ", mode " + device.mode +
               "): a udev rule that gives it to a group such as dialout, with you in that "
               "group, gives access.";
    if (!device.member)
        return "You are not in the group '" + device.group +
               "' that owns the device: run \"sudo usermod -aG " + device.group +
               " $USER\", then log out and in again.";
    return "You are in the group '" + device.group +
           "' that owns the device; log out and in again if you joined it recently.";
}

bool ReadOwnership(const std::string& path, DeviceOwnership& device) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if (const group* g = ::getgrgid(st.st_gid))
        device.group = g->gr_name;
    else
        device.group = std::to_string(st.st_gid);
    if (const passwd* p = ::getpwuid(st.st_uid))
        device.owner = p->pw_name;
    else
        device.owner = std::to_string(st.st_uid);
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    device.mode = mode;
    device.groupIsRoot = st.st_gid == 0;
    device.groupReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    device.member = (::getegid() == st.st_gid);
    int n = ::getgroups(0, nullptr);
    if (n > 0) {
        std::vector<gid_t> groups(static_cast<std::size_t>(n));
        n = ::getgroups(n, groups.data());
        for (int i = 0; i < n; ++i)
            if (groups[static_cast<std::size_t>(i)] == st.st_gid) device.member = true;
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
        DeviceOwnership device;
        if (ReadOwnership(path, device))
            return head + "permission denied. " + PermissionAdvice(device);
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
