#pragma once
// Printing: the plot rendered onto one printer page at the printer's resolution, at the size
// and place of the Output dialog.
#include "plot/PrintSettings.h"
#include "plot/Renderer.h"

#include <QRect>

class QPaintDevice;

namespace vemo {

// The largest coordinate a printed plot may reach on the page, in printer pixels: far beyond
// any paper, and small enough that every size derived from it stays an exact int.
constexpr double MaxPrintPixels = 1.0e6;

// The plot's rectangle in printer pixels: trunc(ppi * left), trunc(ppi * top), trunc(ppi *
// width) by trunc(ppi * height). Throws OutputError when the plot has no area or reaches
// beyond MaxPrintPixels.
QRect PrintRect(int ppiX, int ppiY, const PrintSettings& settings);

// Begins a document on the printer (or any paged device), renders the plot onto its first
// page with the printer's logical pixels per inch and the display switches given, and ends
// the document, which sends the page. Nothing is sent when the placement is refused. Throws
// OutputError.
void PrintPlot(QPaintDevice& printer, const PlotDocument& doc, const PrintSettings& settings,
               RenderFunction render = &RenderPlot, const PlotSwitches& switches = {});

} // namespace vemo
