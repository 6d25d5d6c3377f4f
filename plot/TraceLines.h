#pragma once
// The line of one Signal as pixel strokes. A segment between two samples is cut where it
// leaves the visible range, so what is drawn inside the plot rectangle is the true line; the
// part of it above or below the altitude range (but within the time range) runs along the top
// or bottom edge. No segment is drawn to or from a sample that is not a finite number. Part
// of the renderer.
#include "plot/Scaling.h"

#include <QLine>
#include <QPoint>

#include <vector>

namespace vemo {

// Plotted values of a Signal's samples (time * TimeScale + TimeOffset, altitude * AltScale +
// AltOffset) and their pixels in one plot rectangle.
class TracePixels {
public:
    TracePixels(const PlotDocument& doc, const PlotRect& area, const Signal& s);

    double X(int i) const { return t_[i] * ts_ + to_; }
    double Y(int i) const { return a_[i] * as_ + ao_; }
    const double* RawAlt() const { return a_; }
    double AltScale() const { return as_; }
    double AltOffset() const { return ao_; }

    bool InTime(double x) const { return x >= tMin_ && x <= tMax_; }
    bool InAlt(double y) const { return y >= aMin_ && y <= aMax_; }
    // Pixel column of a time: within the visible range its column, outside it the mapping's
    // sentinels left and right of the plot.
    int Column(double x) const { return left_ + map_.Time(x); }
    // Pixel row of an altitude: above the range the top edge, below it the bottom edge.
    int Row(double y) const { return top_ + map_.Alt(y); }

    // Appends the strokes of the segment from (x1, y1) to (x2, y2), both ends finite: the
    // pixel line between the two samples when both lie in the visible range, otherwise the
    // pieces of the line within the time range, cut in extended precision.
    void Cut(double x1, double y1, double x2, double y2, std::vector<QLine>& out) const;

private:
    const double* t_;
    const double* a_;
    double ts_, to_, as_, ao_;
    double tMin_, tMax_, aMin_, aMax_;
    PixelMap map_;
    int left_, top_, bottom_;
};

// Where a Signal's samples lie against the visible time range: [Lo, Hi] are all the samples
// whose segments can show, [InFirst, InLast] those whose plotted time is in view (none when
// InFirst > InLast). Ordered: the plotted times run in order, so both were found by search;
// otherwise they span the whole Signal.
struct IndexWindow {
    int Lo = 0, Hi = -1;
    int InFirst = 0, InLast = -1;
    bool Ordered = false;
};

IndexWindow FindIndexWindow(const PlotDocument& doc, const Signal& s);

// Every cut segment between consecutive samples of first..last, one stroke each.
void LiteralStrokes(const TracePixels& px, int first, int last, std::vector<QLine>& out);

// Strokes that cover the same pixels as the literal ones when every stroke is drawn on its
// own with square caps, with what cannot change a pixel left out: consecutive samples in one
// pixel column draw vertical strokes whose union is the one stroke from the column's highest
// to its lowest point, so each column keeps that stroke and the segments into and out of it.
void ReducedStrokes(const TracePixels& px, const IndexWindow& win, std::vector<QLine>& out);

// The cut segments of first..last joined into polylines wherever one ends where the next
// begins: a dash pattern runs on along a polyline and starts afresh with the next one.
void TracePolylines(const TracePixels& px, int first, int last,
                    std::vector<std::vector<QPoint>>& out);

} // namespace vemo
