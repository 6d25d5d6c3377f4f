#pragma once
// "Download Data": one set or all of them from the module into new data sets of the plot.
#include "link/Download.h"
#include "link/Protocol.h"

#include <functional>
#include <string>
#include <vector>

namespace vemo {

// What the window does around the transfer; every member may be empty.
struct DownloadView {
    std::function<void(bool)> ShowProgress; // ProgressBar1 shown / hidden
    std::function<void(int)> Progress;      // its position, 0..100
    std::function<void()> ProcessEvents;    // let pending window events run
};

// The handler of DownloadDataBtn: `selected` is the item index of SetList (-1 for none).
// Not connected: "Not Connected" in the log. No selection: "No data set specified".
// Returns the result of every set asked for (empty when nothing was transferred).
// The sets go into the process-wide PlotDoc; if it goes away while window events run (the
// window closed), the transfer stops and nothing more is stored.
std::vector<SetResult> DownloadDataClick(ModuleContext& ctx, int selected,
                                         const DownloadView& view);

// Today's date as the notes show it (yyyy-mm-dd).
std::string TodayText();

} // namespace vemo
