#include "link/ui/DownloadAction.h"

#include "data/ui/MainStatus.h"
#include "link/ui/ConnectPage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPointer>
#include <QProgressBar>

namespace vemo {

std::vector<SetResult> DownloadDataBtnClick(ModuleContext& ctx, int selected) {
    DownloadView view;
    view.ShowProgress = [](bool show) {
        if (!MainStatus.ProgressBar1) return;
        MainStatus.ProgressBar1->setValue(0);
        MainStatus.ProgressBar1->setVisible(show);
    };
    view.Progress = [](int position) {
        if (MainStatus.ProgressBar1) MainStatus.ProgressBar1->setValue(position);
    };
    view.ProcessEvents = [] { QCoreApplication::processEvents(); };
    return DownloadDataClick(ctx, selected, view);
}

void InstallDownloadHandler(ConnectPage& page) {
    QPointer<ConnectPage> p(&page);
    page.OnDownloadData = [p](ModuleContext& ctx) {
        if (p) DownloadDataBtnClick(ctx, p->SetList->currentIndex());
    };
}

} // namespace vemo
