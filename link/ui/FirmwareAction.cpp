#include "link/ui/FirmwareAction.h"

#include "data/Text8.h"
#include "data/ui/FileDialogFolder.h"
#include "link/PortList.h"
#include "link/ui/ConnectPage.h"
#include "link/ui/StatusBarProgress.h"

#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace vemo {

namespace {

bool RealAskOkCancel(QWidget* owner, const std::string& text, const std::string& caption,
                     bool warningIcon) {
    QMessageBox box(warningIcon ? QMessageBox::Warning : QMessageBox::NoIcon, ToWidgetText(caption),
                    ToWidgetText(text), QMessageBox::Ok | QMessageBox::Cancel, owner);
    box.setObjectName("FirmwareBox");
    return box.exec() == QMessageBox::Ok;
}

} // namespace

FirmwareQuestions RealFirmwareQuestions(QWidget* near) {
    // The window is looked up when asked: the page may be placed in one after this is made.
    QPointer<QWidget> page(near);
    auto owner = [page] { return page ? page->window() : nullptr; };
    return {[owner](const std::string& text, const std::string& caption, bool warningIcon) {
                return RealAskOkCancel(owner(), text, caption, warningIcon);
            },
            [owner] { return FirmwareOpenDialog(owner()); }};
}

std::string FirmwareOpenDialog(QWidget* parent) {
    // Starts in the folder of the last file chosen in any of the program's file dialogs.
    QFileDialog dialog(parent, "Select Firmware Update File");
    dialog.setObjectName("FirmwareOpenDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({"Firmware Update (*.hex)", "All Files (*.*)"});
    dialog.setDefaultSuffix("hex");
    const QString chosen = ExecFileDialog(dialog);
    return chosen.isEmpty() ? std::string() : chosen.toLocal8Bit().toStdString();
}

std::optional<int> UpdateBtnAction(ConnectPage& commands, const FirmwareQuestions& questions,
                                   const FirmwareOptions& options) {
    const int speed = commands.TakeShownSpeed();
    const std::string name = PortTable.Name(commands.CommPortBox->currentIndex());
    FirmwareJob job;
    job.PortPath = name.empty() ? std::string() : PortOpenPath(name);
    job.UserBaud = BaudOf(speed);
    job.Options = options;
    return UpdateFirmwareClick(commands.Context(), job, questions, StatusBarTransfer());
}

} // namespace vemo
