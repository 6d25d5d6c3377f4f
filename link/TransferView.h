#pragma once
// What the window shows around a transfer that lets window events through: "Download Data" and
// "Update Firmware". Every member may be left empty.
#include <functional>

namespace vemo {

struct TransferView {
    std::function<void(int maximum)> ShowProgress; // the progress bar at 0 of maximum, shown
    std::function<void(int position)> Progress;
    std::function<void()> ProcessEvents; // let pending window events run
    std::function<void()> HideProgress;  // maximum back to 100, hidden
};

} // namespace vemo
