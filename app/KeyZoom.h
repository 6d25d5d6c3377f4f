#pragma once
// Keyboard zoom and pan of the visible ranges on the Recorded Data page.
#include "data/PlotDocument.h"

namespace vemo {

enum class ZoomKey { Left, Right, Up, Down, Home, Other };

// Applies the key to the document's visible range. Returns true when the key is one of the
// zoom or pan keys (it is then consumed and the plot repainted), false when it passes on to
// the focused control. With Ctrl and Shift both held, only the Ctrl action happens.
bool ApplyZoomKey(PlotDocument& doc, ZoomKey key, bool ctrl, bool shift);

} // namespace vemo
