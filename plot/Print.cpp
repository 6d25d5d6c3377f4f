#include "plot/Print.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace vemo {

namespace {

bool Within(double pixels) {
    return std::isfinite(pixels) && std::fabs(pixels) <= MaxPrintPixels;
}

} // namespace

QRect PrintRect(int ppiX, int ppiY, const PrintSettings& s) {
    const double x = ppiX * s.PrtLeft, y = ppiY * s.PrtTop;
    const double w = ppiX * s.PrtWidth, h = ppiY * s.PrtHeight;
    if (!Within(x) || !Within(y) || !Within(w) || !Within(h) || !Within(x + w) || !Within(y + h))
        throw OutputError("The plot does not fit on a page: check its width, height and "
                          "distances.");
    if (static_cast<int>(w) <= 0 || static_cast<int>(h) <= 0)
        throw OutputError("The width and height of the printed plot must be more than 0.");
    return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)};
}

void PrintPlot(QPaintDevice& printer, const PlotDocument& doc, const PrintSettings& settings,
               RenderFunction render, const PlotSwitches& switches) {
    const int ppiX = printer.logicalDpiX();
    const int ppiY = printer.logicalDpiY();
    PrintRect(ppiX, ppiY, settings); // refuse before anything reaches the printer

    QPainter painter;
    if (!painter.begin(&printer)) throw OutputError("Unable to start printing.");
    RenderTarget target;
    target.Canvas = &painter;
    target.PpiX = ppiX;
    target.PpiY = ppiY;
    target.Width = settings.PrtWidth;
    target.Height = settings.PrtHeight;
    target.Left = settings.PrtLeft;
    target.Top = settings.PrtTop;
    target.Colour = settings.PrtColor;
    target.Screen = false;
    target.Switches = switches;
    render(target, doc);
    if (!painter.end()) throw OutputError("Unable to finish printing.");
}

} // namespace vemo
