#pragma once
// The vertical speed traces inside the clipped plot rectangle, against the speed axis, and the
// speed at one sample for the mouse readout. Part of the renderer.
#include "plot/SpeedAxis.h"

#include <QPoint>

#include <string>
#include <vector>

namespace vemo {

// The trace of one altitude Signal as polylines in canvas pixels: its speeds (as the store
// holds them) at its plotted times, cut where they leave the visible time range, broken at a
// sample that is not a number. Unless literal, the samples that share a pixel column become
// the column's first, lowest, highest and last point, which cover the same pixels.
void SpeedPolylines(const PlotDocument& doc, const PlotRect& area, const SpeedAxis& axis,
                    const Signal& s, const std::vector<double>& speed, bool literal,
                    std::vector<std::vector<QPoint>>& out);

// The speed axis's zero line in the grid colour, then the speed of each visible altitude set,
// dashed, in the set's line colour (black in monochrome).
void DrawSpeedTraces(QPainter& p, const RenderTarget& t, const PlotDocument& doc,
                     const SpeedAxis& axis, const PlotRect& area, const QColor& grid);

// "Speed = %8.1f Feet/s" for sample n of data set k, in the plot's unit per second ("-" for
// a sample without a speed); empty when there is no such sample.
std::string SpeedReadoutText(const PlotDocument& doc, int k, int n);

} // namespace vemo
