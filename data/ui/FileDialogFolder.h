#pragma once
// Every file dialog of a run starts in the folder in which the user last chose a file, in any
// of them: saving next to what was just loaded, exporting next to what was just saved.
#include <QString>

class QFileDialog;

namespace vemo {

// Shows the dialog modally, starting in the folder last used with defaultName (if any) as the
// file name offered. When the user chooses a file, its folder becomes the one the next dialog
// starts in; before any file was chosen, the dialogs start where the program was started. Returns
// the chosen file, or an empty text when the dialog was cancelled.
QString ExecFileDialog(QFileDialog& dialog, const QString& defaultName = {});

} // namespace vemo
