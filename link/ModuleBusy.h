#pragma once
// While a download lets window events through, no other module command may start: its bytes
// would interleave with the transfer on the same port. The transfer holds a ModuleBusyScope;
// command handlers refuse to run while ModuleBusy() is true, and windows register a listener
// that disables the controls that start commands.
#include <functional>

namespace vemo {

bool ModuleBusy();

// Called with true when a transfer starts and with false when it ends. Returns an id for
// RemoveBusyListener.
int AddBusyListener(std::function<void(bool busy)> listener);
void RemoveBusyListener(int id);

class ModuleBusyScope {
public:
    ModuleBusyScope();
    ~ModuleBusyScope();
    ModuleBusyScope(const ModuleBusyScope&) = delete;
    ModuleBusyScope& operator=(const ModuleBusyScope&) = delete;
};

} // namespace vemo
