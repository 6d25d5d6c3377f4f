#pragma once
// What the mouse and the zoom, pan and crop buttons do to the plot. The logic is fed with
// pixel positions and buttons and answers with the XOR shapes to draw over the plot view, the
// readout texts and whether the plot must be repainted; the view only carries that out.
#include "plot/Scaling.h"

#include <optional>
#include <string>
#include <vector>

namespace vemo {

enum class MouseMode { Zoom = 0, Climb = 1, Peak = 2 };
enum class MouseButton { Left, Right, Middle };

// One mouse position of a drag, in pixels and in data units.
struct DragPoint {
    int X = 0;
    int Y = 0;
    double T = 0.0;
    double A = 0.0;
};

// The rubber band (or the two climb lines) as last drawn.
struct BandRect {
    int X1 = 0;
    int X2 = 0;
    int Y1 = 0;
    int Y2 = 0;
};

// One shape drawn in exclusive-or mode over the plot; drawing it a second time removes it.
struct XorShape {
    enum Kind { HoverCircle, RubberBand, ClimbLine } What = HoverCircle;
    // HoverCircle: the box (X1, Y1)-(X2, Y2) of the circle, aqua, solid, width 2.
    // RubberBand: the rectangle with corners (X1, Y1) and (X2, Y2), dashed, width 1.
    // ClimbLine: the vertical line at X1 from Y1 to Y2, dashed, width 1.
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;

    bool operator==(const XorShape&) const = default;
};

// The pen colour of every XOR shape (aqua, 0x00BBGGRR).
constexpr Colour OverlayColour = 0x00FFFF00;
// The hover circle's centre when none is on the view.
constexpr int NoHoverPoint = -10;

// What a mouse move asks of the view.
struct MoveResult {
    std::vector<XorShape> Overlay;  // draw these in order, in XOR mode
    std::optional<std::string> XY;  // new text for the time/altitude readout
    std::optional<std::string> ROC; // new text for the rate-of-climb readout
};

// Whether sample i's time and altitude are both finite numbers; no other sample is on the plot.
bool FiniteSample(const SampleStore& store, int i);

// The index of the sample of `store` nearest in time to t, ties going to the later sample,
// among the samples that are finite numbers; -1 when there is none. With fewer than two
// samples (or no time t) the first such sample.
int NearestSample(const SampleStore& store, double t);

// "Time = %8.1lf, Altitude = %4d" for sample n.
std::string TimeAltText(const SampleStore& store, int n);
// "Rate of Climb = %8.3lf units/sec" from the previous finite sample to sample n; nothing for
// sample 0, a sample that is not finite or two samples at the same time (the readout then
// keeps its text).
std::optional<std::string> ClimbRateText(const SampleStore& store, int n);

// The mouse on the plot view: the three modes, the drags and the hover sample.
class PlotMouseLogic {
public:
    MouseMode Mode = MouseMode::Zoom;
    bool ZoomDrag = false;
    bool ClimbDrag = false;
    DragPoint DragStart;
    DragPoint DragEnd;
    int HoverSample = 0;
    int ClimbAnchor = 0;
    BandRect DrawnBand;
    int HoverX = NoHoverPoint;
    int HoverY = NoHoverPoint;

    // The mouse moved to (x, y) over a view whose plot rectangle is `area`.
    MoveResult MouseMove(const PlotDocument& doc, const PlotRect& area, int x, int y);
    // A button went down. Returns true when the plot must be repainted.
    bool MouseDown(PlotDocument& doc, MouseButton button);
    // A button came up. Returns true when the plot must be repainted.
    bool MouseUp(PlotDocument& doc, MouseButton button);
    // The view was painted afresh: nothing drawn in XOR is on it any more.
    void Repainted();

private:
    bool hoverShown_ = false;
    bool bandShown_ = false;
    bool linesShown_ = false;
};

// Sets one axis's range unless the new one is no longer finite (limits and span): zooming
// out or panning near the largest numbers stops there instead of turning them into NaN.
void SetFiniteRange(double& min, double& max, double newMin, double newMax);

// Zoom buttons: halve or double both spans about the centre, never below 10 units.
void ZoomIn(PlotDocument& doc);
void ZoomOut(PlotDocument& doc);
// Back to the home range; no automatic ranging.
void ZoomReset(PlotDocument& doc);

enum class PanDirection { Left, Right, Up, Down };
// Moves both limits of one axis by a fifth of its span.
void Pan(PlotDocument& doc, PanDirection direction);

// Keeps, in every data set, only the samples within the visible time range, moved so that the
// kept part starts at time 0; triggers, peak marks and climb marks follow. Then ranges both
// axes automatically.
void CropToView(PlotDocument& doc);

} // namespace vemo
