#pragma once
// The live altitude monitor behind the "Log Data" page: the history its strip chart draws,
// the chart's drawing, and "Start"/"Stop", which asks the module to start its live log ("l")
// and runs the page's timer. The timer's tick does nothing yet, and nothing fills the
// history, so the chart shows its grid.
#include "link/Protocol.h"

#include <vector>

class QPainter;

namespace vemo {

// A ring of altitudes, one per pixel column of the chart.
struct AltitudeHistory {
    std::vector<double> Values;
    int Start = 0; // oldest value
    int End = 0;   // one past the newest
    int Count = 0;
    double FullScale = 10000.0; // altitude at the chart's top edge
    double Bottom = 0.0;        // shown under the chart; the drawing does not use it

    // One zeroed value per column, counters back to 0.
    void Allocate(int columns);
    void Release();
};

// Draws the chart on a w x h canvas: black, a grey line at every tenth of the height, and the
// history as a red line two pixels a value with the newest at the right edge.
void PaintAltChart(QPainter& painter, int w, int h, const AltitudeHistory& history);

// What "Start"/"Stop" changes besides the module and the log.
class LiveLogUi {
public:
    virtual ~LiveLogUi() = default;
    // StartBtn "Stop"/"Start" and LogDisp "Logging"/empty.
    virtual void ShowLogging(bool logging) = 0;
    // The 250 ms timer.
    virtual void RunTimer(bool run) = 0;
};

// "Start" while connected starts the module's live log and the timer; "Stop" stops the timer
// (the module is not told). Not connected, "Start" reports "Not Connected" on the
// "Connect / Download" page.
void StartBtnClick(ModuleContext& ctx, LiveLogUi& ui);

} // namespace vemo
