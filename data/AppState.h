#pragma once
// The process-wide application record: what the main window does for the layers below it,
// and the one PlotDocument of the run.
#include "data/PlotDocument.h"

#include <array>
#include <functional>

namespace vemo {

// Altitude unit names, indexed by the module's unit code.
inline constexpr std::array<const char*, 3> UnitNames = {"Feet", "Yards", "Meters"};

struct AppState {
    // Set by the main window: repaint the plot on the Recorded Data page.
    std::function<void()> RepaintPlot;
    // Set by the main window: fit the altitude axis to the data (after Fix Drift).
    std::function<void()> AutoRangeAlt;
};

extern AppState App;
// Created by the main window's first show; nullptr before.
extern PlotDocument* PlotDoc;

inline void RepaintPlot() {
    if (App.RepaintPlot) App.RepaintPlot();
}

} // namespace vemo
