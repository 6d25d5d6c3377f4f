#pragma once
// The Signals inside the clipped plot rectangle: their lines, point marks, peak marks and
// climb marks. Part of the renderer.
#include "plot/Scaling.h"

#include <QColor>

class QPainter;

namespace vemo {

struct TraceContext {
    QPainter* P = nullptr;
    const PlotDocument* Doc = nullptr;
    PlotRect Area;
    int PpiX = 96;
    int PpiY = 96;
    bool Colour = true;
    bool Literal = false;
    QColor Back;        // the brush: background colour, white in monochrome
    QColor LabelColour; // font colour of the peak and climb-mark labels
    int FrameWidth = 1; // pen width of the plot's frame, which labels keep clear of
};

// Pen width of a trace line of the given style, 0 for "-none-" and unknown styles.
int LinePenWidth(int lineStyle, int ppiX);

// Draws one visible Signal: its line, point marks, peak marks and climb marks, in that order.
// Marks are drawn only for samples inside the visible range, both in time and in altitude.
void DrawSignal(const TraceContext& c, const Signal& s);

} // namespace vemo
