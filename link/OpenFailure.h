#pragma once
// Why a serial port could not be opened, told in words a user can act on.
#include "link/SerialLink.h"

#include <string>

namespace vemo {

// Sorts a failed open of path. deniedByDriver: the system refused access (which on a
// device the user may open means another program holds it).
OpenFailure ClassifyOpenFailure(const std::string& path, bool deniedByDriver);

// Who may open a device file, as far as the advice on a refused open needs it.
struct DeviceOwnership {
    std::string group;        // the owning group's name (its number when it has none)
    bool groupIsRoot = false; // the group root, which no user should join
    bool groupReadWrite = false;
    bool member = false; // this process belongs to the group
    std::string owner;   // the owning user's name, and the permission bits in octal
    std::string mode;
};

// The advice after "permission denied": joining the group only where that gives access.
std::string PermissionAdvice(const DeviceOwnership& device);

// One line for the message log saying why path could not be opened and what to do.
std::string ExplainOpenFailure(const std::string& path, OpenFailure why,
                               const std::string& systemText = {});

} // namespace vemo
