#pragma once
// The process-wide application record: the connection state shared by the windows, and the
// one PlotDocument of the run.
#include "data/PlotDocument.h"

#include <array>
#include <functional>

namespace vemo {

// Altitude unit names, indexed by the module's unit code.
inline constexpr std::array<const char*, 3> UnitNames = {"Feet", "Yards", "Meters"};

struct AppState {
    bool Connected = false;
    int ModuleSetCount = 0;
    bool Logging = false;
    int SpeedIndex = 0; // into BaudTable

    // Set by the main window: repaint the plot on the Recorded Data page.
    std::function<void()> RepaintPlot;
    // Set by the main window: fit the altitude axis to the data (after Fix Drift).
    std::function<void()> AutoRangeAlt;

    // The "Set#" selection index recorded by the last "Download Data" click made while
    // connected (capped at 256, -1 when nothing was selected); the default set file name
    // numbers from it.
    int DownloadSetIndex = 0;
};

extern AppState App;
// Created by the main window's first show; nullptr before.
extern PlotDocument* PlotDoc;

inline void RepaintPlot() {
    if (App.RepaintPlot) App.RepaintPlot();
}

} // namespace vemo
