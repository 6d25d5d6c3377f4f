#include "app/KeyZoom.h"

#include "plot/Interaction.h"

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
    // A range changes only while it stays finite, as with the zoom and pan buttons.
    double& t0 = doc.TimeMin;
    double& t1 = doc.TimeMax;
    double& a0 = doc.AltMin;
    double& a1 = doc.AltMax;
    if (ctrl) {
        // Zooming keeps the minimum of the range where it is.
        switch (key) {
        case ZoomKey::Left:
            SetFiniteRange(t0, t1, t0, t0 + 2 * dx);
            break;
        case ZoomKey::Right:
            SetFiniteRange(t0, t1, t0, t0 + 0.5 * dx);
            break;
        case ZoomKey::Up:
            SetFiniteRange(a0, a1, a0, a0 + 0.5 * dy);
            break;
        case ZoomKey::Down:
            SetFiniteRange(a0, a1, a0, a0 + 2 * dy);
            break;
        default:
            break;
        }
        return true;
    }
    if (shift) {
        switch (key) {
        case ZoomKey::Left:
            SetFiniteRange(t0, t1, t0 - 0.1 * dx, t1 - 0.1 * dx);
            break;
        case ZoomKey::Right:
            SetFiniteRange(t0, t1, t0 + 0.1 * dx, t1 + 0.1 * dx);
            break;
        case ZoomKey::Up:
            SetFiniteRange(a0, a1, a0 + 0.1 * dy, a1 + 0.1 * dy);
            break;
        case ZoomKey::Down:
            SetFiniteRange(a0, a1, a0 - 0.1 * dy, a1 - 0.1 * dy);
            break;
        default:
            break;
        }
        return true;
    }
    return false;
}

} // namespace vemo
