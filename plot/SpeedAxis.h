#pragma once
// The vertical speed beside the altitude: a second axis on the plot's right side for the
// speeds of the visible altitude sets (data/RateEstimate.h), and the room it takes from the
// plot rectangle. Part of the renderer.
#include "plot/Scaling.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <string>
#include <vector>

class QPainter;

namespace vemo {

struct PlotLayout;
struct RenderTarget;

// A speed range on whole steps of 1, 2 or 5 times a power of ten, zero among its ticks.
struct SpeedTicks {
    double Min = -1.0, Max = 1.0; // units per second; both are ticks
    double Step = 0.5;
    int Decimals = 1;

    int Count() const; // ticks from Min to Max
    double Value(int i) const;
    std::string Label(int i) const;
};

// The ticks for speeds from lo to hi (widened to take in zero); -1..1 for no range at all
// (lo > hi) or one beyond what a double can span.
SpeedTicks NiceSpeedTicks(double lo, double hi);

// The lowest and highest of v[first..last] that are numbers, and whether any is not one.
struct Extremes {
    double Lo, Hi;
    bool NaN;
};
Extremes ExtremesOf(const double* v, int first, int last);

// The lowest and highest speed of the visible altitude sets over the visible time range; lo >
// hi when there is none.
void VisibleSpeedRange(const PlotDocument& doc, double& lo, double& hi);

// The plot's unit as its altitude axis label writes it (the text in its last parentheses:
// "Feet", "meters", "m"), else as the summary names it.
std::string SpeedUnitText(const PlotDocument& doc);

// "Speed (Feet/s)": the unit the altitude axis label names, per second.
std::string SpeedAxisLabel(const PlotDocument& doc);

// The speed axis of one rendering.
struct SpeedAxis {
    bool On = false;
    SpeedTicks Ticks;
    QFont TickFont; // the altitude tick labels' font
    QFont LabelFont; // the altitude axis label's font
    QString Label;
    int LabelX = 0; // left edge of the turned label's text cell

    // Pixel offset of speed v from the top of a plot rectangle `height` pixels high: the
    // altitude mapping's rule, clamped to 0..height.
    int Row(double v, int height) const;
};

// With the switch on: plans the axis, taking the painter's current font for its tick labels,
// and moves area.Right left just enough that the widest tick label and the turned axis label
// fit between it and the placement's right edge. Off: nothing, and the area stays.
SpeedAxis PlanSpeedAxis(QPainter& p, const RenderTarget& t, const PlotDocument& doc,
                        const PlotLayout& l, PlotRect& area);

// Right of the plot rectangle: the tick marks in `tickColour`, their labels in `fontColour` and
// the axis label in `labelColour`, turned to read upward. The painter's font is kept.
void DrawSpeedAxis(QPainter& p, const RenderTarget& t, const SpeedAxis& axis, const PlotRect& a,
                   const QColor& tickColour, const QColor& fontColour, const QColor& labelColour,
                   const QColor& back);

} // namespace vemo
