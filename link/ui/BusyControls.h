#pragma once
// Disables, while a module command runs, every control of a window that would start another
// module command, and gives each its former state back afterwards. A command that blocks the
// window also shows the busy cursor, and the input given while it ran is dropped before the
// controls come back, instead of being carried out afterwards.
#include <QPointer>
#include <QWidget>

#include <vector>

namespace vemo {

// The names of the controls that start module commands or close the port.
const std::vector<const char*>& ModuleControlNames();

class BusyControls {
public:
    // Follows the module-busy state for the window of `anyWidget`.
    explicit BusyControls(QWidget* anyWidget);
    ~BusyControls();
    BusyControls(const BusyControls&) = delete;
    BusyControls& operator=(const BusyControls&) = delete;

    void SetBusy(bool busy);

private:
    QPointer<QWidget> widget_;
    std::vector<QPointer<QWidget>> disabled_;
    int listener_ = 0;
    bool waitCursor_ = false;
};

} // namespace vemo
