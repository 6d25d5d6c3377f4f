#pragma once
// Why a serial port could not be opened, told in words a user can act on.
#include "link/SerialLink.h"

#include <string>

namespace vemo {

// Sorts a failed open of path. deniedByDriver: the system refused access (which on a
// device the user may open means another program holds it).
OpenFailure ClassifyOpenFailure(const std::string& path, bool deniedByDriver);

// One line for the message log saying why path could not be opened and what to do.
std::string ExplainOpenFailure(const std::string& path, OpenFailure why,
                               const std::string& systemText = {});

} // namespace vemo
