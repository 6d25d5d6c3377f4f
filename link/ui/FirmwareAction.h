#pragma once
// "Update Firmware" on the Configure page: the questions as message boxes and the file
// dialog, the status bar's progress bar, and window events let through between records.
#include "link/FirmwareUpdate.h"

#include <string>

class ConnectPage;
class QWidget;

namespace vemo {

// The real questions: message boxes and the file dialog over the window of `near`.
FirmwareQuestions RealFirmwareQuestions(QWidget* near);

// "Select Firmware Update File"; empty when cancelled.
std::string FirmwareOpenDialog(QWidget* parent);

// The button's work after the page read its options: the port and speed come from the
// "Connect / Download" page, whose surroundings the update reports to.
std::optional<int> UpdateBtnAction(ConnectPage& commands, const FirmwareQuestions& questions,
                                   const FirmwareOptions& options);

} // namespace vemo
