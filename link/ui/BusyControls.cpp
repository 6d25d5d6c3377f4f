#include "link/ui/BusyControls.h"

#include "link/ModuleBusy.h"

namespace vemo {

const std::vector<const char*>& ModuleControlNames() {
    static const std::vector<const char*> names = {
        "ConnectBtn",   "SpeedBox",   "DLInfoBtn",   "DownloadDataBtn", "DLDataBtn",
        "EraseDataBtn", "ReadCfgBtn", "WriteCfgBtn", "BitBtn1",         "ResetModuleBtn",
        "CalBtn",       "UpdateBtn",  "StartBtn",
    };
    return names;
}

BusyControls::BusyControls(QWidget* anyWidget) : widget_(anyWidget) {
    listener_ = AddBusyListener([this](bool busy) { SetBusy(busy); });
}

BusyControls::~BusyControls() {
    RemoveBusyListener(listener_);
}

void BusyControls::SetBusy(bool busy) {
    if (busy) {
        if (!widget_) return;
        QWidget* window = widget_->window();
        for (const char* name : ModuleControlNames()) {
            for (QWidget* w : window->findChildren<QWidget*>(name)) {
                // disabled for its own reasons: leave it so
                if (w->testAttribute(Qt::WA_ForceDisabled)) continue;
                w->setEnabled(false);
                disabled_.emplace_back(w);
            }
        }
    } else {
        for (auto& w : disabled_)
            if (w) w->setEnabled(true);
        disabled_.clear();
    }
}

} // namespace vemo
