#include "plot/SpeedTrace.h"

#include "data/RateEstimate.h"
#include "plot/SpeedAxis.h"
#include "data/Text8.h"
#include "plot/DashedLines.h"
#include "plot/PenLines.h"
#include "plot/Renderer.h"
#include "plot/TraceLines.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vemo {

namespace {

bool Finite(double x, double v) {
    return std::isfinite(x) && std::isfinite(v);
}

// Collects the polylines sample by sample, in drawing order. A segment with an end outside
// the time range is cut at the range's edge; consecutive points in one pixel column are kept
// as the column's first, lowest, highest and last row, unless every point is to be kept.
class TraceBuilder {
public:
    TraceBuilder(const TracePixels& px, const SpeedAxis& axis, const PlotRect& area,
                 const PlotDocument& doc, bool literal, std::vector<std::vector<QPoint>>& out)
        : px_(px), axis_(axis), top_(area.Top), h_(area.Bottom - area.Top), tMin_(doc.TimeMin),
          tMax_(doc.TimeMax), literal_(literal), out_(out) {}

    // One sample at plotted time x with speed v; one that is not a number breaks the line.
    void Add(double x, double v) {
        if (!Finite(x, v)) {
            EndLine();
            havePrev_ = false;
            return;
        }
        const bool in = px_.InTime(x);
        if (havePrev_ && !(prevIn_ && in)) Cross(prevX_, prevV_, x, v);
        if (in) Point(px_.Column(x), Row(v));
        havePrev_ = true;
        prevIn_ = in;
        prevX_ = x;
        prevV_ = v;
    }

    // Samples in view, all in one column and finite: the first and the last with their times
    // and speeds, and the lowest and highest speed of them all. The same as adding each.
    void AddColumnRun(double xFirst, double vFirst, double lo, double hi, double xLast,
                      double vLast) {
        Add(xFirst, vFirst);
        rowLo_ = std::min(rowLo_, Row(hi));
        rowHi_ = std::max(rowHi_, Row(lo));
        rowLast_ = Row(vLast);
        prevX_ = xLast;
        prevV_ = vLast;
    }

    void Finish() { EndLine(); }

private:
    int Row(double v) const { return top_ + axis_.Row(v, h_); }

    // The part of the segment from (x1, v1) to (x2, v2), one end or both outside the time
    // range, that lies within it.
    void Cross(double x1, double v1, double x2, double v2) {
        const bool in1 = px_.InTime(x1), in2 = px_.InTime(x2);
        if (x1 == x2) return; // both outside at one time
        const double uMin = (tMin_ - x1) / (x2 - x1), uMax = (tMax_ - x1) / (x2 - x1);
        const double u0 = std::max(0.0, std::min(uMin, uMax));
        const double u1 = std::min(1.0, std::max(uMin, uMax));
        if (!(u0 <= u1)) return; // wholly beside the range
        const double xEnter = x2 > x1 ? tMin_ : tMax_, xLeave = x2 > x1 ? tMax_ : tMin_;
        auto at = [&](double u, double edge) { Point(px_.Column(edge), Row(v1 + u * (v2 - v1))); };
        if (in1) { // leaving
            at(u1, xLeave);
            EndLine();
        } else if (in2) { // entering
            EndLine();
            at(u0, xEnter);
        } else { // across the whole range
            EndLine();
            at(u0, xEnter);
            at(u1, xLeave);
            EndLine();
        }
    }

    void Point(int column, int row) {
        if (literal_) {
            Emit(column, row);
            return;
        }
        if (columnOpen_ && column == column_) {
            rowLo_ = std::min(rowLo_, row);
            rowHi_ = std::max(rowHi_, row);
            rowLast_ = row;
            return;
        }
        FlushColumn();
        columnOpen_ = true;
        column_ = column;
        rowFirst_ = rowLo_ = rowHi_ = rowLast_ = row;
    }

    void FlushColumn() {
        if (!columnOpen_) return;
        columnOpen_ = false;
        Emit(column_, rowFirst_);
        // The nearer end of the column's span first: the line goes there and back once.
        const bool upFirst = std::abs(rowFirst_ - rowLo_) <= std::abs(rowFirst_ - rowHi_);
        Emit(column_, upFirst ? rowLo_ : rowHi_);
        Emit(column_, upFirst ? rowHi_ : rowLo_);
        Emit(column_, rowLast_);
    }

    void Emit(int column, int row) {
        const QPoint at(column, row);
        if (line_.empty() || line_.back() != at) line_.push_back(at);
    }

    void EndLine() {
        FlushColumn();
        if (line_.size() >= 2) out_.push_back(std::move(line_));
        line_.clear();
    }

    const TracePixels& px_;
    const SpeedAxis& axis_;
    int top_, h_;
    double tMin_, tMax_;
    bool literal_;
    std::vector<std::vector<QPoint>>& out_;
    std::vector<QPoint> line_;
    bool havePrev_ = false, prevIn_ = false;
    double prevX_ = 0.0, prevV_ = 0.0;
    bool columnOpen_ = false;
    int column_ = 0, rowFirst_ = 0, rowLo_ = 0, rowHi_ = 0, rowLast_ = 0;
};

// The last sample from i on (up to last) in i's pixel column; the plotted times run in order.
// Runs of evenly spaced samples are alike, so the run is first taken to be `guess` samples long
// (the one before); then it is found by search from there.
int ColumnRunEnd(const TracePixels& px, int i, int last, int guess) {
    const int column = px.Column(px.X(i));
    auto inColumn = [&](int k) { return px.Column(px.X(k)) == column; };
    int end = std::min(i + std::max(guess, 0), last);
    if (!inColumn(end)) { // the run ends between i and end
        int after = end;
        end = i;
        while (after - end > 1) {
            const int mid = end + (after - end) / 2;
            (inColumn(mid) ? end : after) = mid;
        }
        return end;
    }
    int step = 1; // the run goes on beyond end: galloping search
    while (end + step <= last && inColumn(end + step)) {
        end += step;
        step *= 2;
    }
    for (step /= 2; step > 0; step /= 2)
        if (end + step <= last && inColumn(end + step)) end += step;
    return end;
}

// Adds the samples of a window whose plotted times run in order, each column's run at once
// unless a speed in it is not a number.
void AddOrdered(const TracePixels& px, const IndexWindow& win, const double* v, TraceBuilder& b) {
    if (win.Lo < win.InFirst) b.Add(px.X(win.Lo), v[win.Lo]);
    int guess = 0;
    for (int i = win.InFirst; i <= win.InLast;) {
        const int end = ColumnRunEnd(px, i, win.InLast, guess);
        guess = end - i;
        const Extremes e = ExtremesOf(v, i, end);
        if (end == i || e.NaN || !std::isfinite(e.Lo) || !std::isfinite(e.Hi)) {
            for (int k = i; k <= end; ++k)
                b.Add(px.X(k), v[k]);
        } else {
            b.AddColumnRun(px.X(i), v[i], e.Lo, e.Hi, px.X(end), v[end]);
        }
        i = end + 1;
    }
    if (win.Hi > win.InLast) b.Add(px.X(win.Hi), v[win.Hi]);
}

} // namespace

void SpeedPolylines(const PlotDocument& doc, const PlotRect& area, const SpeedAxis& axis,
                    const Signal& s, const std::vector<double>& speed, bool literal,
                    std::vector<std::vector<QPoint>>& out) {
    const int n = std::min(s.Samples.Count(), static_cast<int>(speed.size()));
    if (n < 2 || !(doc.TimeMin < doc.TimeMax)) return;
    const TracePixels px(doc, area, s);
    TraceBuilder b(px, axis, area, doc, literal, out);
    const IndexWindow win = FindIndexWindow(doc, s);
    if (!literal && win.Ordered && win.Hi < n) {
        AddOrdered(px, win, speed.data(), b);
    } else {
        for (int i = 0; i < n; ++i)
            b.Add(px.X(i), speed[static_cast<std::size_t>(i)]);
    }
    b.Finish();
}

void DrawSpeedTraces(QPainter& p, const RenderTarget& t, const PlotDocument& doc,
                     const SpeedAxis& axis, const PlotRect& area, const QColor& grid) {
    const int width = std::max(t.PpiX / 150, 1);
    p.setPen(PlotPen(grid, Qt::DashLine, 1, Qt::FlatCap, t.PpiX));
    const int zero = area.Top + axis.Row(0.0, area.Bottom - area.Top);
    p.drawLine(area.Left, zero, area.Right, zero);
    const QRect clip(area.Left, area.Top, area.Right - area.Left + 1, area.Bottom - area.Top + 1);
    std::vector<DashedTrace> traces;
    for (int k = 0; k < doc.SetCount(); ++k) {
        const Signal& s = *doc.AltSignal(k);
        if (!s.Visible) continue;
        DashedTrace& trace = traces.emplace_back();
        trace.Colour = t.Colour ? ToQColor(s.LineColor) : QColor(Qt::black);
        SpeedPolylines(doc, area, axis, s, KeptVerticalSpeeds(s)->Speed, t.LiteralLines,
                       trace.Lines);
    }
    DrawDashedTraces(p, PlotPen(Qt::black, Qt::DashLine, width, Qt::FlatCap, t.PpiX), traces,
                     clip);
}

std::string SpeedReadoutText(const PlotDocument& doc, int k, int n) {
    const Signal* s = doc.AltSignal(k);
    if (!s || n < 0 || n >= s->Samples.Count()) return {};
    const double v = KeptVerticalSpeeds(*s)->Speed[static_cast<std::size_t>(n)];
    const QString unit = ToWidgetText(SpeedUnitText(doc)) + "/s";
    // Qt's formatting ignores the process locale: the decimal point is always a point.
    if (!std::isfinite(v)) return ("Speed =        - " + unit).toStdString();
    return (QString::asprintf("Speed = %8.1f ", v) + unit).toStdString();
}

} // namespace vemo
