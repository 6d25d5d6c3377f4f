#include "plot/Traces.h"

#include "data/TextNumbers.h"
#include "plot/CanvasText.h"
#include "plot/LineStamps.h"
#include "plot/PenLines.h"
#include "plot/Renderer.h"
#include "plot/TraceLines.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vemo {

namespace {

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

int MarkHalfWidth(int ppiX) {
    return std::max(ppiX / 50, 3);
}
int MarkHalfHeight(int ppiY) {
    return std::max(ppiY / 50, 3);
}
int MarkPenWidth(int ppiX) {
    return std::max(ppiX / 300, 1);
}

// Where a label's cell of w by h pixels asked for at `at` is drawn: moved in from any edge of
// the plot rectangle it would cross, so that it stays whole and clear of the frame. A label
// wider or taller than the rectangle keeps to its left or top.
QPoint InsideFrame(const TraceContext& c, QPoint at, int w, int h) {
    const PlotRect& a = c.Area;
    // A frame line of width fw at x covers x - fw / 2 to x + (fw - 1) / 2.
    const int fw = std::max(c.FrameWidth, 1);
    const int left = a.Left + (fw - 1) / 2 + 1, top = a.Top + (fw - 1) / 2 + 1;
    const int right = a.Right - fw / 2 - 1, bottom = a.Bottom - fw / 2 - 1;
    return {std::max(std::min(at.x(), right - w + 1), left),
            std::max(std::min(at.y(), bottom - h + 1), top)};
}

// Calls f(i, pixel) for every sample inside the visible range, in time and in altitude, for
// which wanted(i) holds. A sample that is not a finite number is never inside.
template <class Wanted, class F>
void ForVisibleSamples(const TraceContext& c, const Signal& s, const IndexWindow& win,
                       Wanted wanted, F f) {
    const TracePixels px(*c.Doc, c.Area, s);
    for (int i = win.InFirst; i <= win.InLast; ++i) {
        if (!wanted(i)) continue;
        const double x = px.X(i), y = px.Y(i);
        if (!px.InAlt(y) || (!win.Ordered && !px.InTime(x))) continue;
        f(i, QPoint(px.Column(x), px.Row(y)));
    }
}

// A closed outline through n corners, every corner drawn: separate lines with square caps
// for a one-pixel pen (a polyline of such lines leaves out a corner), a polygon for wider
// pens, whose joins then close cleanly.
void Outline(QPainter& p, const QPoint* corners, int n) {
    if (p.pen().width() > 1) {
        const QBrush brush = p.brush();
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(corners, n);
        p.setBrush(brush);
        return;
    }
    for (int k = 0; k < n; ++k)
        p.drawLine(corners[k], corners[(k + 1) % n]);
}

// The mark of a point style at (x, y). Circle and Square fill the box from (x - sx, y - sy)
// up to but not including (x + sx, y + sy): 2 * sx by 2 * sy pixels.
void DrawMark(QPainter& p, int style, int x, int y, int sx, int sy) {
    switch (style) {
    case PointCircle:
        p.drawEllipse(QRect(x - sx, y - sy, 2 * sx - 1, 2 * sy - 1));
        break;
    case PointSquare:
        p.drawRect(QRect(x - sx, y - sy, 2 * sx - 1, 2 * sy - 1));
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
        const QPoint corners[4] = {{x, y - sy}, {x - sx, y}, {x, y + sy}, {x + sx, y}};
        Outline(p, corners, 4);
        break;
    }
    case PointTriangle: {
        const QPoint corners[3] = {{x, y - sy}, {x - sx, y + sy}, {x + sx, y + sy}};
        Outline(p, corners, 3);
        break;
    }
    default:
        break;
    }
}

void DrawSignalLine(const TraceContext& c, const Signal& s, const IndexWindow& win) {
    const int w = LinePenWidth(s.LineStyle, c.PpiX);
    const int n = s.Samples.Count();
    if (w == 0 || n < 2) return;
    QPainter& p = *c.P;
    const QColor colour = c.Colour ? ToQColor(s.LineColor) : QColor(Qt::black);
    const bool solid = s.LineStyle == LineSolid;
    // Solid lines are drawn stroke by stroke with square caps, which is what lets the
    // reduction leave pixels unchanged; a dash pattern runs on along each polyline.
    p.setPen(
        PlotPen(colour, PenStyleOf(s.LineStyle), w, solid ? Qt::SquareCap : Qt::FlatCap, c.PpiX));
    const TracePixels px(*c.Doc, c.Area, s);
    const UnitLineShift shift(p);
    if (!solid) {
        // The segments before and after the window lie wholly outside the time range and
        // draw nothing, so the window's polylines are the Signal's polylines.
        std::vector<std::vector<QPoint>> lines;
        if (c.Literal)
            TracePolylines(px, 0, n - 1, lines);
        else
            TracePolylines(px, win.Lo, win.Hi, lines);
        for (const auto& line : lines)
            p.drawPolyline(line.data(), static_cast<int>(line.size()));
        return;
    }
    std::vector<QLine> strokes;
    if (c.Literal) {
        LiteralStrokes(px, 0, n - 1, strokes);
        p.drawLines(strokes.data(), static_cast<int>(strokes.size()));
        return;
    }
    ReducedStrokes(px, win, strokes);
    const PlotRect& a = c.Area;
    DrawStrokes(p, strokes, QRect(a.Left, a.Top, a.Right - a.Left + 1, a.Bottom - a.Top + 1));
}

void DrawPointMarks(const TraceContext& c, const Signal& s, const IndexWindow& win) {
    const int style = s.PointStyle;
    if (style <= PointNone || style > PointTriangle) return;
    QPainter& p = *c.P;
    const int sx = MarkHalfWidth(c.PpiX), sy = MarkHalfHeight(c.PpiY);
    const QColor own = ToQColor(s.PointColor);
    // A "Dot" is one pixel in the Signal's own colour, in monochrome output too.
    if (style == PointDot)
        p.setPen(PlotPen(own, Qt::SolidLine, 1, Qt::SquareCap, c.PpiX));
    else
        p.setPen(PlotPen(c.Colour ? own : QColor(Qt::black), Qt::SolidLine, MarkPenWidth(c.PpiX),
                         Qt::SquareCap, c.PpiX));
    p.setBrush(c.Back);
    const UnitLineShift shift(p);
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

void DrawPeakMarks(const TraceContext& c, const Signal& s, const IndexWindow& win) {
    if (!s.Samples.HasPeakMarks()) return;
    QPainter& p = *c.P;
    const int sx = MarkHalfWidth(c.PpiX), sy = MarkHalfHeight(c.PpiY);
    // The arms end one pixel short of their end points, as lines do.
    p.setPen(PlotPen(c.Colour ? ToQColor(s.PointColor) : QColor(Qt::black), Qt::SolidLine,
                     MarkPenWidth(c.PpiX), Qt::FlatCap, c.PpiX));
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
        LineExcludingEnd(p, x - 3 * sx, y, x - sx, y);
        LineExcludingEnd(p, x + sx, y, x + 3 * sx, y);
        LineExcludingEnd(p, x, y - 3 * sy, x, y - sy);
        LineExcludingEnd(p, x, y + sy, x, y + 3 * sy);
        const QString label =
            QString::fromStdString(FormatNumber(alt[static_cast<std::size_t>(i)], 'f', 2));
        const int tw = TextWidth(p, label);
        const QPoint cell = InsideFrame(c, {x - tw / 2, y - 3 * sy - th}, tw, th);
        TextOut(p, cell.x(), cell.y(), label, c.LabelColour, c.Back);
    });
}

// The bracket of a climb mark from sample pixel a to b, raised by `rise`: up from a, across,
// and down to one mark height below b. Every corner and the foot at a are drawn; the last
// point is not, as a line leaves out its end.
void DrawBracket(QPainter& p, QPoint a, QPoint b, int rise, int below, const QPen& pen) {
    const QPoint up(a.x(), a.y() - rise), across(b.x(), b.y() - rise), down(b.x(), b.y() + below);
    QPen capped = pen;
    capped.setCapStyle(pen.width() > 1 ? Qt::FlatCap : Qt::SquareCap);
    p.setPen(capped);
    {
        const UnitLineShift shift(p);
        if (pen.width() > 1) {
            const QPoint path[3] = {a, up, across};
            p.drawPolyline(path, 3);
        } else {
            p.drawLine(a, up);
            p.drawLine(up, across);
        }
    }
    p.setPen(pen);
    LineExcludingEnd(p, across.x(), across.y(), down.x(), down.y());
}

void DrawClimbMarks(const TraceContext& c, const Signal& s) {
    if (s.ClimbMarks.empty()) return;
    QPainter& p = *c.P;
    const int sy = MarkHalfHeight(c.PpiY);
    const QPen pen = PlotPen(c.Colour ? ToQColor(c.Doc->InfoColor) : QColor(Qt::black),
                             Qt::SolidLine, MarkPenWidth(c.PpiX), Qt::FlatCap, c.PpiX);
    const TracePixels px(*c.Doc, c.Area, s);
    const auto& time = s.Samples.Time;
    const int n = s.Samples.Count();
    const double tMin = c.Doc->TimeMin, tMax = c.Doc->TimeMax;
    const int th = TextHeight(p);
    for (const ClimbMark& m : s.ClimbMarks) {
        if (!ClimbMarkValid(m, n)) continue;
        const int i1 = m.FirstSample, i2 = m.SecondSample;
        const double t1 = time[static_cast<std::size_t>(i1)];
        const double t2 = time[static_cast<std::size_t>(i2)];
        if (!(t1 >= tMin && t1 <= tMax && t2 >= tMin && t2 <= tMax)) continue;
        const double y1 = px.Y(i1), y2 = px.Y(i2);
        const double x1 = px.X(i1), x2 = px.X(i2);
        // A sample that is not a number has no place on the plot and no rate.
        if (!std::isfinite(y1) || !std::isfinite(y2) || !std::isfinite(x1) || !std::isfinite(x2))
            continue;
        const QPoint a(px.Column(x1), px.Row(y1)), b(px.Column(x2), px.Row(y2));
        DrawBracket(p, a, b, 10 * sy, sy, pen);
        // Two samples at one time have no rate: the bracket stands without a label.
        const std::optional<double> rate = ClimbRateOf(s.Samples, m);
        if (!rate) continue;
        const QString label = QString::fromStdString(FormatNumber(*rate, 'f', 2));
        const int tw = TextWidth(p, label);
        // Rising on screen (y grows downward) puts the label left of the bracket. Both ends
        // in one column count as rising when the second end is higher.
        const int dx = b.x() - a.x(), dy = a.y() - b.y();
        const bool rises = dx != 0 ? std::atan(double(dy) / dx) * 57.29577950560105 > 0 : dy > 0;
        const double mid = (a.x() + b.x()) / 2.0;
        const int x = TruncToInt(rises ? mid - 2 * tw : mid + tw);
        const int y = TruncToInt((a.y() + b.y()) / 2.0 - 6 * sy - 2 * th);
        // Beside its own bracket: a label that would cross an edge of the plot moves in from
        // it rather than to the far side, where it would land on other data.
        const QPoint cell = InsideFrame(c, {x, y}, tw, th);
        TextOut(p, cell.x(), cell.y(), label, c.LabelColour, c.Back);
    }
}

} // namespace

int LinePenWidth(int lineStyle, int ppiX) {
    if (lineStyle == LineSolid) return std::max(ppiX / 150, 2);
    if (lineStyle > LineSolid && lineStyle <= LineDashDotDot) return 1;
    return 0;
}

void DrawSignal(const TraceContext& c, const Signal& s) {
    const IndexWindow win = FindIndexWindow(*c.Doc, s);
    DrawSignalLine(c, s, win);
    DrawPointMarks(c, s, win);
    DrawPeakMarks(c, s, win);
    DrawClimbMarks(c, s);
}

} // namespace vemo
