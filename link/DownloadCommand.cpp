#include "link/DownloadCommand.h"

#include "link/LinkPort.h"
#include "link/ModuleBusy.h"
#include "link/ModuleConfig.h"

#include <QDate>

#include <algorithm>

namespace vemo {

std::string TodayText() {
    return QDate::currentDate().toString("yyyy-MM-dd").toStdString();
}

std::vector<SetResult> DownloadDataClick(ModuleContext& ctx, PlotDocument& doc, int selected,
                                         DownloadHooks hooks) {
    std::vector<SetResult> results;
    if (ModuleBusy()) return results;
    if (!CheckConnected(ctx, false)) return results;
    ctx.state.DownloadSetIndex = std::min(selected, 256);
    if (selected < 0) {
        ctx.prompt.Error("No data set specified", "Vemo");
        return results;
    }
    const std::vector<int> sets = SetsToDownload(selected, ctx.state.ModuleSetCount);
    if (sets.empty()) return results;

    ModuleBusyScope busy;
    hooks.Log = [&ctx](const std::string& line) { ctx.log.Append(line); };
    if (!hooks.Today) hooks.Today = TodayText;
    auto stopped = [&hooks] { return hooks.Stop && hooks.Stop(); };

    LinkPort port(ctx.link);
    if (hooks.View.ShowProgress) hooks.View.ShowProgress(100);
    for (std::size_t k = 0; k < sets.size(); ++k) {
        if (stopped() || ctx.link.Unusable()) break;
        FetchedSet fetched;
        FetchSet(port, sets[k], Config.BaseStep, hooks, fetched);
        if (stopped()) break;
        StoreSet(doc, fetched, Config.AltUnit, hooks);
        results.push_back(fetched.Result);
        // A set that ended without its data may still be coming; a module that keeps sending
        // ends the download (ModuleGone below says so).
        if (k + 1 < sets.size() && EndedWithoutItsData(fetched) &&
            !port.WaitQuiet(LateSetQuietMs))
            break;
    }
    if (hooks.View.HideProgress) hooks.View.HideProgress();
    ModuleGone(ctx);
    if (hooks.Finished) hooks.Finished();
    return results;
}

} // namespace vemo
