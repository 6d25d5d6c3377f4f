#include "link/Protocol.h"

namespace vemo {
ProtocolHooks Hooks;
LinkOptions LinkOpts;
} // namespace vemo
