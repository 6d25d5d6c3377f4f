#include "app/KeyZoom.h"

namespace vemo {

bool ApplyZoomKey(PlotDocument& doc, ZoomKey key, bool ctrl, bool shift) {
    if (key == ZoomKey::Home) {
        doc.TimeMin = 0;
        doc.TimeMax = 20;
        doc.AltMin = 0;
        doc.AltMax = 20;
        return true;
    }
    if (key == ZoomKey::Other) return false;
    const double dx = doc.TimeMax - doc.TimeMin;
    const double dy = doc.AltMax - doc.AltMin;
    if (ctrl) {
        // Zooming keeps the minimum of the range where it is.
        switch (key) {
        case ZoomKey::Left: doc.TimeMax = doc.TimeMin + 2 * dx; break;
        case ZoomKey::Right: doc.TimeMax = doc.TimeMin + 0.5 * dx; break;
        case ZoomKey::Up: doc.AltMax = doc.AltMin + 0.5 * dy; break;
        case ZoomKey::Down: doc.AltMax = doc.AltMin + 2 * dy; break;
        default: break;
        }
        return true;
    }
    if (shift) {
        switch (key) {
        case ZoomKey::Left: doc.TimeMin -= 0.1 * dx, doc.TimeMax -= 0.1 * dx; break;
        case ZoomKey::Right: doc.TimeMin += 0.1 * dx, doc.TimeMax += 0.1 * dx; break;
        case ZoomKey::Up: doc.AltMin += 0.1 * dy, doc.AltMax += 0.1 * dy; break;
        case ZoomKey::Down: doc.AltMin -= 0.1 * dy, doc.AltMax -= 0.1 * dy; break;
        default: break;
        }
        return true;
    }
    return false;
}

} // namespace vemo
