#pragma once
// Disables, while a module command runs, every control of a window that would start another
// module command, and gives each its former state back afterwards. A command that blocks the
// window also shows the busy cursor, and the input given while it ran is dropped before the
// controls come back, instead of being carried out afterwards.
#include <QPointer>
#include <QWidget>

#include <vector>

namespace vemo {

class BusyControls {
public:
    // Follows the module-busy state for `controls` (the pages' ModuleControls), which stand in
    // `window`.
    BusyControls(QWidget* window, const std::vector<QWidget*>& controls);
    ~BusyControls();
    BusyControls(const BusyControls&) = delete;
    BusyControls& operator=(const BusyControls&) = delete;

    void SetBusy(bool busy);

private:
    QPointer<QWidget> window_;
    std::vector<QPointer<QWidget>> controls_;
    std::vector<QPointer<QWidget>> disabled_;
    int listener_ = 0;
    bool waitCursor_ = false;
};

} // namespace vemo
