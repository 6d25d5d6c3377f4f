#include "link/ui/FirmwareAction.h"

#include "data/Text8.h"
#include "data/ui/FileDialogFolder.h"
#include "link/PortList.h"
#include "link/ui/ConnectPage.h"
#include "link/ui/StatusBarProgress.h"

#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>

namespace vemo {

namespace {

QWidget* DialogOwner() {
    ConnectPage* page = ConnectPage::Current();
    return page ? page->window() : nullptr;
}

bool RealAskOkCancel(const std::string& text, const std::string& caption, bool warningIcon) {
    QMessageBox box(warningIcon ? QMessageBox::Warning : QMessageBox::NoIcon, ToWidgetText(caption),
                    ToWidgetText(text), QMessageBox::Ok | QMessageBox::Cancel, DialogOwner());
    box.setObjectName("FirmwareBox");
    return box.exec() == QMessageBox::Ok;
}

FirmwareQuestions RealQuestions() {
    return {RealAskOkCancel, [] { return FirmwareOpenDialog(DialogOwner()); }};
}

} // namespace

FirmwareQuestions& FirmwareAsks() {
    static FirmwareQuestions questions = RealQuestions();
    return questions;
}

void UseRealFirmwareAsks() {
    FirmwareAsks() = RealQuestions();
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

std::optional<int> UpdateBtnAction(const FirmwareOptions& options) {
    ConnectPage* page = ConnectPage::Current();
    if (!page) return std::nullopt;
    const int speed = page->TakeShownSpeed();
    const std::string name = PortTable.Name(page->CommPortBox->currentIndex());
    FirmwareJob job;
    job.PortPath = name.empty() ? std::string() : PortOpenPath(name);
    job.UserBaud = BaudOf(speed);
    job.Options = options;
    return UpdateFirmwareClick(page->Context(), job, FirmwareAsks(), StatusBarTransfer());
}

} // namespace vemo
