#pragma once
// The "Download Data" command: its guards, the sets the "Set#" choice asks for, and each set
// read from the line (DownloadStream) into a new data set of a document.
#include "link/DownloadStream.h"
#include "link/Protocol.h"

#include <string>
#include <vector>

namespace vemo {

// The handler of DLDataBtn: `selected` is the item index of SetList (-1 for none).
// Not connected: "Not Connected" in the log. No selection: "No data set specified".
// Otherwise the sets asked for go into doc, with hooks.View's progress bar shown meanwhile,
// and hooks.Finished is called at the end. The log lines go to the context's log; the notes
// carry today's date unless hooks.Today says otherwise. When hooks.Stop says so (the document
// went away while window events ran), the transfer stops and nothing more is stored.
// Returns the result of every set asked for (empty when nothing was transferred).
std::vector<SetResult> DownloadDataClick(ModuleContext& ctx, PlotDocument& doc, int selected,
                                         DownloadHooks hooks);

// Today's date as the notes show it (yyyy-mm-dd).
std::string TodayText();

} // namespace vemo
