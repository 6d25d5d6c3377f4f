#pragma once
// The one routine that draws the whole plot (background, logo, grid and ticks, texts, average
// climb, every visible Signal with its marks, the frame) onto any QPainter: the plot view, a
// printer page or an export bitmap. Every size derives from the canvas's pixels per inch and
// the placement rectangle in inches.
#include "data/QtColours.h"
#include "plot/Scaling.h"

#include <QColor>

#include <string>

class QPainter;
class QImage;

namespace vemo {

// The display switches of the "Edit Plot Info" dialog. Left as they are, they are a new
// plot's: the info lines shown, no logo, no average climb, no speed.
struct PlotSwitches {
    bool ShowInfo = true;        // the info lines
    bool ShowBackground = false; // the background logo
    bool ShowAvgROC = false;     // "Avg Climb = ..." under the time axis label
    bool ShowVerticalSpeed = false; // each set's speed against an axis on the right
};

struct RenderTarget {
    QPainter* Canvas = nullptr;
    int PpiX = 96;
    int PpiY = 96;
    double Width = 0.0;  // placement rectangle, inches
    double Height = 0.0; // inches
    double Left = 0.0;   // distance from the canvas origin, inches
    double Top = 0.0;
    bool Colour = true;  // false: monochrome output
    bool Screen = false; // a screen rendering publishes its plot rectangle as PlotArea
    PlotSwitches Switches{};
    // Draws every segment of every trace (solid lines as one stroke per segment, dotted and
    // dashed ones as polylines over all samples) and every point mark of the view even where
    // one repeats the last, instead of only what can change a pixel. The picture is the same
    // pixel for pixel, dash phases included, only slower. Kept for the comparison in tests
    // and benchmarks.
    bool LiteralLines = false;
};

// The placement rectangle and the positions derived from it, in canvas pixels.
struct PlotLayout {
    int W = 0, H = 0;   // size of the placement
    int X0 = 0, Y0 = 0; // its top-left corner
    int X1 = 0, Y1 = 0; // its bottom-right corner
    int YLabelX = 0, TitleY = 0, XLabelY = 0;
    PlotRect Area; // the plot rectangle
};

PlotLayout ComputeLayout(int ppiX, int ppiY, double width, double height, double left, double top);

// The plot rectangle of the last screen rendering, read by the mouse interaction.
extern PlotRect PlotArea;

void RenderPlot(const RenderTarget& target, const PlotDocument& doc);

// "Avg Climb = ..." for the first Signal over the visible time range: the rate between the
// first sample at or after TimeMin and the last one at or before TimeMax, 0 when there is no
// such pair or no time between them.
std::string AverageClimbText(const PlotDocument& doc);

// The background logo (994 x 694, 8-bit palette), loaded once from the resources.
const QImage& BackgroundLogo();

} // namespace vemo
