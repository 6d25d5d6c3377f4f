#include "plot/Traces.h"

#include "plot/CanvasText.h"
#include "plot/Renderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vemo {

namespace {

QPen MakePen(const QColor& colour, Qt::PenStyle style, int width, Qt::PenCapStyle cap) {
    QPen pen(colour);
    pen.setStyle(style);
    pen.setWidth(width);
    pen.setCapStyle(cap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// Plotted value and pixel of each sample: time * TimeScale + TimeOffset and
// altitude * AltScale + AltOffset through the plot's mapping.
struct SamplePixels {
    const double* t;
    const double* a;
    double ts, to, as, ao;
    PixelMap map;
    int left, top;

    double X(int i) const { return t[i] * ts + to; }
    int Column(int i) const { return left + map.Time(t[i] * ts + to); }
    int Row(int i) const { return top + map.Alt(a[i] * as + ao); }
    QPoint operator()(int i) const {
        return {left + map.Time(t[i] * ts + to), top + map.Alt(a[i] * as + ao)};
    }
};

SamplePixels PixelsOf(const TraceContext& c, const Signal& s) {
    return SamplePixels{
        s.Samples.Time.data(), s.Samples.Alt.data(),     s.TimeScale, s.TimeOffset, s.AltScale,
        s.AltOffset,           PixelMap(*c.Doc, c.Area), c.Area.Left, c.Area.Top};
}

bool InOrder(const std::vector<double>& t) {
    if (t.empty()) return true;
    if (!std::isfinite(t.front()) || !std::isfinite(t.back())) return false;
    // Checked in blocks without branches inside, so the compiler can vectorise the test; a
    // value that is not a number fails it as well.
    const std::size_t n = t.size();
    const double* d = t.data();
    for (std::size_t from = 1; from < n; from += 4096) {
        const std::size_t to = std::min(n, from + 4096);
        unsigned bad = 0;
        for (std::size_t i = from; i < to; ++i)
            bad |= !(d[i - 1] <= d[i]);
        if (bad) return false;
    }
    return true;
}

// Whether anything a pen of width w draws in pixel column x can show inside the clip
// rectangle. A pen of even width covers x - w/2 .. x + w/2 - 1; an odd one may touch one more
// column on the left.
bool ColumnShows(int x, int w, const PlotRect& a) {
    return x + (w - 1) / 2 >= a.Left && x - (w + 1) / 2 <= a.Right;
}

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

// The line through samples lo..hi with what cannot change a pixel left out. Consecutive
// samples in one pixel column draw vertical strokes whose union is the one stroke from the
// column's lowest to its highest point, so each column keeps that stroke and the segment that
// enters it from the previous column. The segments are drawn one by one with square caps, so
// the union of the kept strokes covers exactly the pixels of all the strokes.
void ReducedLines(const SamplePixels& px, int lo, int hi, std::vector<QLine>& out) {
    QPoint p = px(lo);
    int column = p.x();
    int yMin = p.y(), yMax = p.y(), yLast = p.y();
    int inColumn = 1;
    auto flush = [&] {
        if (yMin < yMax)
            out.emplace_back(column, yMin, column, yMax);
        else if (inColumn > 1) // a segment of length zero still draws its square cap
            out.emplace_back(column, yMin, column, yMin);
    };
    for (int i = lo + 1; i <= hi; ++i) {
        p = px(i);
        if (p.x() == column) {
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
            yLast = p.y();
            ++inColumn;
            continue;
        }
        flush();
        out.emplace_back(column, yLast, p.x(), p.y());
        column = p.x();
        yMin = yMax = yLast = p.y();
        inColumn = 1;
    }
    flush();
}

// First index in [from, last] whose mark byte is not zero, last + 1 when there is none.
int NextMarked(const std::vector<std::uint8_t>& marks, int from, int last) {
    int i = std::max(from, 0);
    while (i + 8 <= last + 1) {
        std::uint64_t eight;
        std::memcpy(&eight, marks.data() + i, sizeof eight);
        if (eight != 0) break;
        i += 8;
    }
    while (i <= last && marks[static_cast<std::size_t>(i)] == 0)
        ++i;
    return i;
}

// The same strokes for samples whose pixel columns run in order (times in order, a plot
// narrower than the right-hand sentinel): each column's run of samples is found by galloping
// search on the column, and its lowest and highest rows come from the largest and smallest
// plotted altitude of the run, because the row falls as the altitude rises (a value that is
// not a number lies on the bottom edge).
void ReducedLinesOrdered(const SamplePixels& px, int lo, int hi, std::vector<QLine>& out) {
    const int bottom = px.top + px.map.Alt(std::nan(""));
    QPoint prevLast;
    bool havePrev = false;
    for (int i = lo; i <= hi;) {
        const int column = px.Column(i);
        int end = i; // last index of the run
        int step = 1;
        while (end + step <= hi && px.Column(end + step) == column) {
            end += step;
            step *= 2;
        }
        for (step /= 2; step > 0; step /= 2)
            if (end + step <= hi && px.Column(end + step) == column) end += step;

        // Comparisons with a value that is not a number are false, so those stay out of the
        // extremes and are only flagged; written without branches so the loop stays fast.
        double vMin = HUGE_VAL, vMax = -HUGE_VAL;
        bool nan = false;
        for (int k = i; k <= end; ++k) {
            const double v = px.a[k] * px.as + px.ao;
            vMin = v < vMin ? v : vMin;
            vMax = v > vMax ? v : vMax;
            nan |= v != v;
        }
        const bool any = vMin <= vMax;
        const int yTop = any ? px.top + px.map.Alt(vMax) : bottom;
        const int yBottom = nan || !any ? bottom : px.top + px.map.Alt(vMin);

        const QPoint first(column, px.Row(i));
        if (havePrev) out.emplace_back(prevLast, first);
        if (yTop < yBottom)
            out.emplace_back(column, yTop, column, yBottom);
        else if (end > i)
            out.emplace_back(column, yTop, column, yTop);
        prevLast = QPoint(column, end > i ? px.Row(end) : first.y());
        havePrev = true;
        i = end + 1;
    }
}

int MarkHalfWidth(int ppiX) {
    return std::max(ppiX / 50, 3);
}
int MarkHalfHeight(int ppiY) {
    return std::max(ppiY / 50, 3);
}
int MarkPenWidth(int ppiX) {
    return std::max(ppiX / 300, 1);
}

// Calls f(i) for every sample whose plotted time lies in the visible range and for which
// wanted(i) holds.
template <class Wanted, class F>
void ForVisibleSamples(const TraceContext& c, const Signal& s, const IndexWindow& win,
                       Wanted wanted, F f) {
    const SamplePixels px = PixelsOf(c, s);
    const double tMin = c.Doc->TimeMin, tMax = c.Doc->TimeMax;
    for (int i = win.InFirst; i <= win.InLast; ++i) {
        if (!wanted(i)) continue;
        if (!win.Ordered) {
            const double x = px.X(i);
            if (!(x >= tMin && x <= tMax)) continue;
        }
        f(i, px(i));
    }
}

void DrawMark(QPainter& p, int style, int x, int y, int sx, int sy) {
    switch (style) {
    case PointCircle:
        p.drawEllipse(QPoint(x, y), sx, sy);
        break;
    case PointSquare:
        p.drawRect(QRect(x - sx, y - sy, 2 * sx, 2 * sy));
        break;
    case PointCross:
        p.drawLine(x - sx, y, x + sx, y);
        p.drawLine(x, y - sy, x, y + sy);
        break;
    case PointX:
        p.drawLine(x - sx, y - sy, x + sx, y + sy);
        p.drawLine(x - sx, y + sy, x + sx, y - sy);
        break;
    case PointDiamond: {
        const QPoint pts[5] = {{x, y - sy}, {x - sx, y}, {x, y + sy}, {x + sx, y}, {x, y - sy}};
        p.drawPolyline(pts, 5);
        break;
    }
    case PointTriangle: {
        const QPoint pts[4] = {{x, y - sy}, {x - sx, y + sy}, {x + sx, y + sy}, {x, y - sy}};
        p.drawPolyline(pts, 4);
        break;
    }
    default:
        break;
    }
}

} // namespace

int LinePenWidth(int lineStyle, int ppiX) {
    if (lineStyle == LineSolid) return std::max(ppiX / 150, 2);
    if (lineStyle > LineSolid && lineStyle <= LineDashDotDot) return 1;
    return 0;
}

IndexWindow FindIndexWindow(const TraceContext& c, const Signal& s, int penWidth) {
    IndexWindow win;
    const int n = s.Samples.Count();
    if (n == 0) return win;
    const double ts = s.TimeScale, to = s.TimeOffset;
    if (!InOrder(s.Samples.Time) || !std::isfinite(ts) || !std::isfinite(to) ||
        !(c.Doc->TimeMin <= c.Doc->TimeMax)) {
        win.Lo = win.InFirst = 0;
        win.Hi = win.InLast = n - 1;
        return win;
    }
    // The plotted times run up with the samples (down for a negative scale), so the samples
    // in view form one run found by binary search on the real times.
    const double* t = s.Samples.Time.data();
    const double tMin = c.Doc->TimeMin, tMax = c.Doc->TimeMax;
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
    // One sample of margin each side carries the segments that enter and leave the view.
    win.Lo = std::max(first - 1, 0);
    win.Hi = std::min(end, n - 1);
    // Samples beyond the margins all lie in one sentinel column each; they are only needed
    // when a wide pen there reaches into the view.
    const int before = c.Area.Left + (up ? PixelMap::TimeBefore : PixelMap::TimeAfter);
    const int after = c.Area.Left + (up ? PixelMap::TimeAfter : PixelMap::TimeBefore);
    if (ColumnShows(before, penWidth, c.Area)) win.Lo = 0;
    if (ColumnShows(after, penWidth, c.Area)) win.Hi = n - 1;
    return win;
}

static void DrawSignalLine(const TraceContext& c, const Signal& s, const IndexWindow& win) {
    const int w = LinePenWidth(s.LineStyle, c.PpiX);
    const int n = s.Samples.Count();
    if (w == 0 || n < 2) return;
    QPainter& p = *c.P;
    const QColor colour = c.Colour ? ToQColor(s.LineColor) : QColor(Qt::black);
    const bool solid = s.LineStyle == LineSolid;
    // Solid lines are drawn segment by segment with square caps, which is what lets the
    // reduction below leave pixels unchanged; a dash pattern runs on along the polyline.
    p.setPen(MakePen(colour, PenStyleOf(s.LineStyle), w, solid ? Qt::SquareCap : Qt::FlatCap));
    const SamplePixels px = PixelsOf(c, s);

    int lo = 0, hi = n - 1;
    if (!c.Literal) {
        lo = win.Lo;
        hi = win.Hi;
        if (hi <= lo) return;
    }
    if (!solid) {
        std::vector<QPoint> pts;
        pts.reserve(static_cast<std::size_t>(hi - lo + 1));
        for (int i = lo; i <= hi; ++i)
            pts.push_back(px(i));
        p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
        return;
    }
    std::vector<QLine> lines;
    if (c.Literal) {
        lines.reserve(static_cast<std::size_t>(n - 1));
        QPoint prev = px(0);
        for (int i = 1; i < n; ++i) {
            const QPoint cur = px(i);
            lines.emplace_back(prev, cur);
            prev = cur;
        }
    } else {
        const bool columnsInOrder = win.Ordered && c.Area.Right - c.Area.Left < PixelMap::TimeAfter;
        if (columnsInOrder)
            ReducedLinesOrdered(px, lo, hi, lines);
        else
            ReducedLines(px, lo, hi, lines);
    }
    p.drawLines(lines.data(), static_cast<int>(lines.size()));
}

static void DrawPointMarks(const TraceContext& c, const Signal& s, const IndexWindow& win) {
    const int style = s.PointStyle;
    if (style <= PointNone || style > PointTriangle) return;
    QPainter& p = *c.P;
    const int sx = MarkHalfWidth(c.PpiX), sy = MarkHalfHeight(c.PpiY);
    const QColor own = ToQColor(s.PointColor);
    // A "Dot" is one pixel in the Signal's own colour, in monochrome output too.
    if (style == PointDot)
        p.setPen(MakePen(own, Qt::SolidLine, 1, Qt::SquareCap));
    else
        p.setPen(MakePen(c.Colour ? own : QColor(Qt::black), Qt::SolidLine, MarkPenWidth(c.PpiX),
                         Qt::SquareCap));
    p.setBrush(c.Back);
    QPoint last(INT32_MIN, INT32_MIN);
    ForVisibleSamples(
        c, s, win, [](int) { return true; },
        [&](int, QPoint at) {
            if (!c.Literal && at == last) return; // the same mark again changes nothing
            last = at;
            if (style == PointDot)
                p.drawPoint(at);
            else
                DrawMark(p, style, at.x(), at.y(), sx, sy);
        });
}

static void DrawPeakMarks(const TraceContext& c, const Signal& s, const IndexWindow& win) {
    if (!s.Samples.HasPeakMarks()) return;
    QPainter& p = *c.P;
    const int sx = MarkHalfWidth(c.PpiX), sy = MarkHalfHeight(c.PpiY);
    p.setPen(MakePen(c.Colour ? ToQColor(s.PointColor) : QColor(Qt::black), Qt::SolidLine,
                     MarkPenWidth(c.PpiX), Qt::SquareCap));
    const auto& marks = s.Samples.PeakMarks;
    const auto& alt = s.Samples.Alt;
    const int th = TextHeight(p);
    IndexWindow marked = win;
    marked.InLast = std::min(win.InLast, static_cast<int>(marks.size()) - 1);
    auto isMarked = [&](int i) { return marks[static_cast<std::size_t>(i)] != 0; };
    // Most samples carry no mark: skip the windows of eight zero bytes at once.
    marked.InFirst = NextMarked(marks, win.InFirst, marked.InLast);
    if (marked.InFirst > marked.InLast) return;
    ForVisibleSamples(c, s, marked, isMarked, [&](int i, QPoint at) {
        const int x = at.x(), y = at.y();
        // A cross-hair with an open centre.
        p.drawLine(x - 3 * sx, y, x - sx, y);
        p.drawLine(x + sx, y, x + 3 * sx, y);
        p.drawLine(x, y - 3 * sy, x, y - sy);
        p.drawLine(x, y + sy, x, y + 3 * sy);
        const QString label = QString::asprintf("%.2f", alt[static_cast<std::size_t>(i)]);
        TextOut(p, x - TextWidth(p, label) / 2, y - 3 * sy - th, label, c.LabelColour, c.Back);
    });
}

static void DrawClimbMarks(const TraceContext& c, const Signal& s) {
    if (s.ClimbMarks.empty()) return;
    QPainter& p = *c.P;
    const int sx = MarkHalfWidth(c.PpiX), sy = MarkHalfHeight(c.PpiY);
    (void)sx;
    p.setPen(MakePen(c.Colour ? ToQColor(c.Doc->InfoColor) : QColor(Qt::black), Qt::SolidLine,
                     MarkPenWidth(c.PpiX), Qt::FlatCap));
    const SamplePixels px = PixelsOf(c, s);
    const auto& time = s.Samples.Time;
    const auto& alt = s.Samples.Alt;
    const int n = s.Samples.Count();
    const double tMin = c.Doc->TimeMin, tMax = c.Doc->TimeMax;
    const int th = TextHeight(p);
    for (const ClimbMark& m : s.ClimbMarks) {
        if (!m.InUse) continue;
        const int i1 = m.FirstSample, i2 = m.SecondSample;
        // A mark may name samples a crop or a load has since removed: skip it.
        if (i1 < 0 || i2 < 0 || i1 >= n || i2 >= n) continue;
        const double t1 = time[static_cast<std::size_t>(i1)];
        const double t2 = time[static_cast<std::size_t>(i2)];
        if (!(t1 >= tMin && t1 <= tMax && t2 >= tMin && t2 <= tMax)) continue;
        const QPoint a = px(i1), b = px(i2);
        const QPoint bracket[4] = {
            a, {a.x(), a.y() - 10 * sy}, {b.x(), b.y() - 10 * sy}, {b.x(), b.y() + sy}};
        p.drawPolyline(bracket, 4);
        // Two samples at one time have no rate: the bracket stands without a label.
        if (t2 == t1) continue;
        const double rate =
            (alt[static_cast<std::size_t>(i2)] - alt[static_cast<std::size_t>(i1)]) / (t2 - t1);
        const QString label = QString::asprintf("%.2f", rate);
        const int tw = TextWidth(p, label);
        // Rising on screen (y grows downward) puts the label left of the bracket. Both ends
        // in one column count as rising when the second end is higher.
        const int dx = b.x() - a.x(), dy = a.y() - b.y();
        const bool rises = dx != 0 ? std::atan(double(dy) / dx) * 57.29577950560105 > 0 : dy > 0;
        const double mid = (a.x() + b.x()) / 2.0;
        const int x = TruncToInt(rises ? mid - 2 * tw : mid + tw);
        const int y = TruncToInt((a.y() + b.y()) / 2.0 - 6 * sy - 2 * th);
        TextOut(p, x, y, label, c.LabelColour, c.Back);
    }
}

void DrawSignal(const TraceContext& c, const Signal& s) {
    const int lineWidth = LinePenWidth(s.LineStyle, c.PpiX);
    const IndexWindow win = FindIndexWindow(c, s, std::max(lineWidth, 1));
    DrawSignalLine(c, s, win);
    DrawPointMarks(c, s, win);
    DrawPeakMarks(c, s, win);
    DrawClimbMarks(c, s);
}

} // namespace vemo
