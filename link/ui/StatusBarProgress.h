#pragma once
// The main window's side of a transfer that lets window events through ("Download Data",
// "Update Firmware"): the status bar's progress bar, and the pending events run.
#include "link/TransferView.h"

namespace vemo {

TransferView StatusBarTransfer();

} // namespace vemo
