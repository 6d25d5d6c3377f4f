#pragma once
// The plot as a vector picture: the renderer draws straight onto an SVG generator or a PDF
// writer of the plot's size in inches, so lines become paths and texts stay text. Sizes are
// laid out at 100 units per inch, as in the exported bitmaps, so both look alike.
#include "plot/PrintSettings.h"

#include <cstdint>
#include <vector>

namespace vemo {

std::vector<std::uint8_t> EncodeSvgPlot(const PlotDocument& doc, double widthInches,
                                        double heightInches, bool colour, RenderFunction render,
                                        const PlotSwitches& switches);
std::vector<std::uint8_t> EncodePdfPlot(const PlotDocument& doc, double widthInches,
                                        double heightInches, bool colour, RenderFunction render,
                                        const PlotSwitches& switches);

} // namespace vemo
