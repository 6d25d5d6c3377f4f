#pragma once
// Where and how the plot is printed or exported. Width, height, the colour choice and the
// export file type are kept between runs; left and top live only from the Output dialog's OK
// to the end of that print or export.
#include <stdexcept>

namespace vemo {

class PlotDocument;
struct PlotSwitches;
struct RenderTarget;

// What draws the plot onto a canvas: RenderPlot, or a stand-in that records the call in tests.
using RenderFunction = void (*)(const RenderTarget&, const PlotDocument&);

// A print or picture that cannot be made or written; what() is the message the user is shown.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// File types of the export dialog, in the order of its filter list (counted from 1). The
// first three keep their numbers, which the settings store.
enum ExportFileType {
    ExportBitmap = 1,
    ExportJpeg = 2,
    ExportGif = 3,
    ExportPng = 4,
    ExportSvg = 5,
    ExportPdf = 6,
};
constexpr int ExportFileTypes = 6;

struct PrintSettings {
    double PrtWidth = 7.0;  // inches
    double PrtHeight = 3.5; // inches
    double PrtLeft = 0.0;   // inches from the printable area's left edge
    double PrtTop = 0.0;    // inches from its top edge
    bool PrtColor = false;  // colour output for print and export
    int ExportType = ExportBitmap;

    // Every print or export attempt ends with the plot back at the page's corner.
    void ResetPlace() { PrtLeft = PrtTop = 0.0; }
};

extern PrintSettings Prt;

} // namespace vemo
