#include "link/DownloadData.h"

#include "data/AppState.h"
#include "link/LinkPort.h"
#include "link/ModuleBusy.h"
#include "link/ModuleConfig.h"
#include "plot/Scaling.h"

#include <QDate>

#include <algorithm>

namespace vemo {

std::string TodayText() {
    return QDate::currentDate().toString("yyyy-MM-dd").toStdString();
}

std::vector<SetResult> DownloadDataClick(ModuleContext& ctx, int selected,
                                         const DownloadView& view) {
    std::vector<SetResult> results;
    if (ModuleBusy()) return results;
    if (!CheckConnected(ctx, false)) return results;
    App.DownloadSetIndex = std::min(selected, 256);
    if (selected < 0) {
        ctx.prompt.Error("No data set specified", "Vemo");
        return results;
    }
    const std::vector<int> sets = SetsToDownload(selected, App.ModuleSetCount);
    if (sets.empty()) return results;

    ModuleBusyScope busy;
    DownloadHooks hooks;
    hooks.Progress = view.Progress;
    hooks.ProcessEvents = view.ProcessEvents;
    hooks.Log = [&ctx](const std::string& line) { ctx.log.Append(line); };
    hooks.AutoRange = [](PlotDocument& d) {
        AutoRangeTime(d);
        AutoRangeAlt(d);
    };
    hooks.Today = TodayText;
    hooks.Stop = [] { return PlotDoc == nullptr; };

    LinkPort port(ctx.link);
    if (view.ShowProgress) view.ShowProgress(true);
    for (int set : sets) {
        if (!PlotDoc || ctx.link.Lost()) break;
        FetchedSet fetched;
        FetchSet(port, set, Config.BaseStep, hooks, fetched);
        if (!PlotDoc) break;
        StoreSet(*PlotDoc, fetched, Config.AltUnit, hooks);
        results.push_back(fetched.Result);
    }
    if (view.ShowProgress) view.ShowProgress(false);
    ModuleGone(ctx);
    RepaintPlot();
    return results;
}

} // namespace vemo
