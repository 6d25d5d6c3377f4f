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
};

// Samples [Lo, Hi] are all that can show of a Signal's line; [InFirst, InLast] are those
// whose plotted time lies in the visible range (InFirst > InLast: none). Found from the real
// plotted times when they are in order, otherwise the whole Signal.
struct IndexWindow {
    int Lo = 0, Hi = -1;
    int InFirst = 0, InLast = -1;
    bool Ordered = false;
};

// Pen width of a trace line of the given style, 0 for "-none-" and unknown styles.
int LinePenWidth(int lineStyle, int ppiX);

IndexWindow FindIndexWindow(const TraceContext& c, const Signal& s, int penWidth);

// Draws one visible Signal: its line, point marks, peak marks and climb marks, in that order.
void DrawSignal(const TraceContext& c, const Signal& s);

} // namespace vemo
