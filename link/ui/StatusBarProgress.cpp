#include "link/ui/StatusBarProgress.h"

#include "data/ui/MainStatus.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace vemo {

TransferView StatusBarTransfer() {
    TransferView view;
    view.ShowProgress = [](int maximum) {
        if (QProgressBar* bar = MainStatus.ProgressBar1) {
            bar->setRange(0, maximum);
            bar->setValue(0);
            bar->show();
        }
    };
    view.Progress = [](int position) {
        if (MainStatus.ProgressBar1) MainStatus.ProgressBar1->setValue(position);
    };
    view.ProcessEvents = [] { QCoreApplication::processEvents(); };
    view.HideProgress = [] {
        if (QProgressBar* bar = MainStatus.ProgressBar1) {
            bar->setValue(0);
            bar->setMaximum(100);
            bar->hide();
        }
    };
    return view;
}

} // namespace vemo
