#pragma once
// "Update Firmware" on the Configure page: the questions as message boxes and the file
// dialog, the status bar's progress bar, and window events let through between records.
#include "link/FirmwareUpdate.h"

#include <string>

class QWidget;

namespace vemo {

// The questions in use; they start as the real message boxes and file dialog.
FirmwareQuestions& FirmwareAsks();
// Puts the real message boxes and file dialog back.
void UseRealFirmwareAsks();

// "Select Firmware Update File"; empty when cancelled.
std::string FirmwareOpenDialog(QWidget* parent);

// The button's work after the page read its options: the port and speed come from the
// "Connect / Download" page.
std::optional<int> UpdateBtnAction(const FirmwareOptions& options);

} // namespace vemo
