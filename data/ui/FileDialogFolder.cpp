#include "data/ui/FileDialogFolder.h"

#include <QFileDialog>
#include <QFileInfo>

namespace vemo {

namespace {

QString& Folder() {
    static QString folder;
    return folder;
}

} // namespace

QString ExecFileDialog(QFileDialog& dialog, const QString& defaultName) {
    if (!Folder().isEmpty()) dialog.setDirectory(Folder());
    if (!defaultName.isEmpty()) dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().first();
    Folder() = QFileInfo(chosen).absolutePath();
    return chosen;
}

} // namespace vemo
