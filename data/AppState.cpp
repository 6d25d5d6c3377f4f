#include "data/AppState.h"

namespace vemo {
AppState App;
PlotDocument* PlotDoc = nullptr;
} // namespace vemo
