#pragma once
// While the program talks to the module no other module command may start: its bytes would
// interleave with the transfer on the same port. Each command holds a ModuleBusyScope; command
// handlers refuse to run while ModuleBusy() is true, and windows register a listener that
// disables the controls that start commands.
//
// A download or a firmware update lets window events run while it works (Background); every
// other command blocks the window until it is done (Blocking), and the window shows a busy
// cursor meanwhile and drops the input it was given when the command ends.
#include <functional>

namespace vemo {

enum class BusyKind { Background, Blocking };

bool ModuleBusy();
// The kind of the outermost scope; meaningful while ModuleBusy() and inside the listeners.
BusyKind ModuleBusyKind();

// Called with true when the outermost scope starts and with false when it ends (ModuleBusy()
// is still true during that last call). Returns an id for RemoveBusyListener.
int AddBusyListener(std::function<void(bool busy)> listener);
void RemoveBusyListener(int id);

class ModuleBusyScope {
public:
    explicit ModuleBusyScope(BusyKind kind = BusyKind::Background);
    ~ModuleBusyScope();
    ModuleBusyScope(const ModuleBusyScope&) = delete;
    ModuleBusyScope& operator=(const ModuleBusyScope&) = delete;
};

} // namespace vemo
