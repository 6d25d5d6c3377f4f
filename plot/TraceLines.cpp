#include "plot/TraceLines.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vemo {

TracePixels::TracePixels(const PlotDocument& doc, const PlotRect& area, const Signal& s)
    : t_(s.Samples.Time.data()), a_(s.Samples.Alt.data()), ts_(s.TimeScale), to_(s.TimeOffset),
      as_(s.AltScale), ao_(s.AltOffset), tMin_(doc.TimeMin), tMax_(doc.TimeMax), aMin_(doc.AltMin),
      aMax_(doc.AltMax), map_(doc, area), left_(area.Left), top_(area.Top), bottom_(area.Bottom) {}

namespace {

using Long = long double;

// A point on a segment: its parameter u (0 at the first sample, 1 at the second) and its
// plotted values, exact where the point lies on an edge of the range.
struct Stop {
    Long U;
    double X, Y;
};

} // namespace

void TracePixels::Cut(double x1, double y1, double x2, double y2, std::vector<QLine>& out) const {
    if (InTime(x1) && InAlt(y1) && InTime(x2) && InAlt(y2)) {
        out.emplace_back(Column(x1), Row(y1), Column(x2), Row(y2));
        return;
    }
    const Long dx = Long(x2) - x1, dy = Long(y2) - y1;
    // The two ends and, between them, where the segment crosses the lines of the four edges.
    std::array<Stop, 6> stops;
    int n = 0;
    stops[n++] = {0, x1, y1};
    if (dx != 0)
        for (double edge : {tMin_, tMax_}) {
            const Long u = (edge - Long(x1)) / dx;
            if (u > 0 && u < 1) stops[n++] = {u, edge, double(y1 + u * dy)};
        }
    if (dy != 0)
        for (double edge : {aMin_, aMax_}) {
            const Long u = (edge - Long(y1)) / dy;
            if (u > 0 && u < 1) stops[n++] = {u, double(x1 + u * dx), edge};
        }
    for (int k = 2; k < n; ++k) // the crossings in order along the segment
        for (int j = k; j > 1 && stops[j].U < stops[j - 1].U; --j)
            std::swap(stops[j], stops[j - 1]);
    stops[n++] = {1, x2, y2};

    auto column = [&](double x) { return Column(std::clamp(x, tMin_, tMax_)); };
    for (int k = 0; k + 1 < n; ++k) {
        const Stop& a = stops[k];
        const Stop& b = stops[k + 1];
        if (!(a.U < b.U)) continue; // the segment meets two edges at one point
        // Between two stops the piece lies wholly on one side of each edge: its middle says
        // which.
        const Long mid = (a.U + b.U) / 2;
        const Long xm = x1 + mid * dx, ym = y1 + mid * dy;
        if (xm < tMin_ || xm > tMax_) continue;
        if (ym > aMax_) {
            out.emplace_back(column(a.X), top_, column(b.X), top_);
        } else if (ym < aMin_) {
            out.emplace_back(column(a.X), bottom_, column(b.X), bottom_);
        } else {
            out.emplace_back(column(a.X), Row(std::clamp(a.Y, aMin_, aMax_)), column(b.X),
                             Row(std::clamp(b.Y, aMin_, aMax_)));
        }
    }
}

namespace {

// First index in [0, n) for which pred is false, pred being true on a prefix.
template <class Pred> int PrefixEnd(int n, Pred pred) {
    int lo = 0, hi = n;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (pred(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

bool Finite(double x, double y) {
    return std::isfinite(x) && std::isfinite(y);
}

// Collects the reduced strokes sample by sample: a run of consecutive samples in one column
// of the view becomes one vertical stroke, and the segments between runs are cut as usual.
class StrokeBuilder {
public:
    StrokeBuilder(const TracePixels& px, std::vector<QLine>& out) : px_(px), out_(out) {}

    void Add(int i) {
        const double x = px_.X(i), y = px_.Y(i);
        if (!Finite(x, y)) {
            // The line breaks here.
            Flush();
            havePrev_ = false;
            return;
        }
        const bool in = px_.InTime(x);
        const int column = in ? px_.Column(x) : 0;
        const int row = px_.Row(y);
        if (havePrev_ && prevIn_ && in && prevColumn_ == column) {
            ++count_;
            rowMin_ = std::min(rowMin_, row);
            rowMax_ = std::max(rowMax_, row);
        } else {
            Flush();
            if (havePrev_) px_.Cut(prevX_, prevY_, x, y, out_);
            if (in) {
                chain_ = true;
                count_ = 1;
                rowMin_ = rowMax_ = row;
            }
        }
        havePrev_ = true;
        prevIn_ = in;
        prevColumn_ = column;
        prevX_ = x;
        prevY_ = y;
    }

    // Samples first..last: finite, in view, all in one column, their rows spanning
    // rowTop..rowBottom. The same as adding them one by one.
    void AddColumnRun(int first, int last, int rowTop, int rowBottom) {
        Add(first);
        if (last == first) return;
        count_ += last - first;
        rowMin_ = std::min(rowMin_, rowTop);
        rowMax_ = std::max(rowMax_, rowBottom);
        prevX_ = px_.X(last);
        prevY_ = px_.Y(last);
    }

    void Finish() { Flush(); }

private:
    void Flush() {
        if (!chain_) return;
        if (rowMin_ < rowMax_)
            out_.emplace_back(prevColumn_, rowMin_, prevColumn_, rowMax_);
        else if (count_ > 1) // a segment of length zero still draws its square cap
            out_.emplace_back(prevColumn_, rowMin_, prevColumn_, rowMin_);
        chain_ = false;
    }

    const TracePixels& px_;
    std::vector<QLine>& out_;
    bool havePrev_ = false, prevIn_ = false, chain_ = false;
    int prevColumn_ = 0, count_ = 0, rowMin_ = 0, rowMax_ = 0;
    double prevX_ = 0.0, prevY_ = 0.0;
};

// The run of samples from i on that share i's pixel column, found by galloping search: the
// columns run in order with the samples.
int RunEnd(const TracePixels& px, int i, int last) {
    const int column = px.Column(px.X(i));
    int end = i, step = 1;
    while (end + step <= last && px.Column(px.X(end + step)) == column) {
        end += step;
        step *= 2;
    }
    for (step /= 2; step > 0; step /= 2)
        if (end + step <= last && px.Column(px.X(end + step)) == column) end += step;
    return end;
}

// Adds the samples of a window whose plotted times run in order. Each column's run is added
// whole, its rows taken from the smallest and largest altitude of the run (the plotted
// altitude follows the raw one in order, up or down with the sign of the scale); a run with
// a value that is not finite is added sample by sample, so the line breaks there.
void AddOrdered(const TracePixels& px, const IndexWindow& win, StrokeBuilder& b) {
    if (win.Lo < win.InFirst) b.Add(win.Lo);
    const double* a = px.RawAlt();
    for (int i = win.InFirst; i <= win.InLast;) {
        const int end = RunEnd(px, i, win.InLast);
        if (end == i) {
            b.Add(i++);
            continue;
        }
        // Comparisons with a value that is not a number are false: such values stay out of
        // the extremes and are caught by the test below.
        double lo = a[i], hi = a[i];
        bool nan = false;
        for (int k = i + 1; k <= end; ++k) {
            const double v = a[k];
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
            nan |= v != v;
        }
        const double y1 = lo * px.AltScale() + px.AltOffset();
        const double y2 = hi * px.AltScale() + px.AltOffset();
        if (nan || !Finite(y1, y2)) {
            for (int k = i; k <= end; ++k)
                b.Add(k);
        } else {
            b.AddColumnRun(i, end, px.Row(std::max(y1, y2)), px.Row(std::min(y1, y2)));
        }
        i = end + 1;
    }
    if (win.Hi > win.InLast) b.Add(win.Hi);
}

} // namespace

IndexWindow FindIndexWindow(const PlotDocument& doc, const Signal& s) {
    IndexWindow win;
    const int n = s.Samples.Count();
    if (n == 0) return win;
    const double ts = s.TimeScale, to = s.TimeOffset;
    const double tMin = doc.TimeMin, tMax = doc.TimeMax;
    if (!s.Samples.TimesAscend() || !std::isfinite(ts) || !std::isfinite(to) || !(tMin <= tMax)) {
        win.Lo = win.InFirst = 0;
        win.Hi = win.InLast = n - 1;
        return win;
    }
    // The plotted times run up with the samples (down for a negative scale), so the samples
    // in view form one run found by binary search.
    const double* t = s.Samples.Time.data();
    const bool up = ts >= 0.0;
    const int first = PrefixEnd(n, [&](int i) {
        const double x = t[i] * ts + to;
        return up ? x < tMin : x > tMax;
    });
    const int end = PrefixEnd(n, [&](int i) {
        const double x = t[i] * ts + to;
        return up ? x <= tMax : x >= tMin;
    });
    win.Ordered = true;
    win.InFirst = first;
    win.InLast = end - 1;
    // One sample more on each side carries the segments that enter and leave the view;
    // everything beyond lies wholly outside the time range and draws nothing.
    win.Lo = std::max(first - 1, 0);
    win.Hi = std::min(end, n - 1);
    return win;
}

void LiteralStrokes(const TracePixels& px, int first, int last, std::vector<QLine>& out) {
    for (int i = first + 1; i <= last; ++i) {
        const double x1 = px.X(i - 1), y1 = px.Y(i - 1), x2 = px.X(i), y2 = px.Y(i);
        if (Finite(x1, y1) && Finite(x2, y2)) px.Cut(x1, y1, x2, y2, out);
    }
}

void ReducedStrokes(const TracePixels& px, const IndexWindow& win, std::vector<QLine>& out) {
    StrokeBuilder b(px, out);
    if (win.Ordered) {
        AddOrdered(px, win, b);
    } else {
        for (int i = win.Lo; i <= win.Hi; ++i)
            b.Add(i);
    }
    b.Finish();
}

void TracePolylines(const TracePixels& px, int first, int last,
                    std::vector<std::vector<QPoint>>& out) {
    std::vector<QPoint> line;
    std::vector<QLine> pieces;
    auto flush = [&] {
        if (line.size() >= 2) out.push_back(std::move(line));
        line.clear();
    };
    for (int i = first + 1; i <= last; ++i) {
        const double x1 = px.X(i - 1), y1 = px.Y(i - 1), x2 = px.X(i), y2 = px.Y(i);
        if (!Finite(x1, y1) || !Finite(x2, y2)) {
            flush();
            continue;
        }
        pieces.clear();
        px.Cut(x1, y1, x2, y2, pieces);
        for (const QLine& piece : pieces) {
            if (line.empty() || line.back() != piece.p1()) {
                flush();
                line.push_back(piece.p1());
            }
            line.push_back(piece.p2());
        }
    }
    flush();
}

} // namespace vemo
