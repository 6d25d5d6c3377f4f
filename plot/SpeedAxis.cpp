#include "plot/SpeedAxis.h"

#include "data/RateEstimate.h"
#include "data/SetUnits.h"
#include "data/Text8.h"
#include "plot/CanvasText.h"
#include "plot/PenLines.h"
#include "plot/Renderer.h"
#include "plot/TraceLines.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vemo {

int SpeedTicks::Count() const {
    return static_cast<int>(std::lround((Max - Min) / Step)) + 1;
}

double SpeedTicks::Value(int i) const {
    // From whole steps, so that zero is exactly zero.
    return (std::round(Min / Step) + i) * Step;
}

std::string SpeedTicks::Label(int i) const {
    // Qt's formatting ignores the process locale: the decimal point is always a point.
    QString text = QString::asprintf("%.*f", Decimals, Value(i));
    if (text.size() > 10) text = QString::asprintf("%g", Value(i));
    return text.toStdString();
}

SpeedTicks NiceSpeedTicks(double lo, double hi) {
    const SpeedTicks none;
    if (!(lo <= hi)) return none;
    lo = std::min(lo, 0.0);
    hi = std::max(hi, 0.0);
    const double span = hi - lo;
    if (!std::isfinite(span) || !(span > 0.0)) return none;
    // About six steps of 1, 2 or 5 times a power of ten.
    const double raw = span / 6.0;
    const double unit = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10.0 * unit;
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * unit >= raw) {
            step = m * unit;
            break;
        }
    }
    if (!(step > 0.0) || !std::isfinite(step)) return none;
    SpeedTicks t;
    t.Step = step;
    t.Min = std::floor(lo / step) * step;
    t.Max = std::ceil(hi / step) * step;
    if (!std::isfinite(t.Min) || !std::isfinite(t.Max)) return none;
    t.Decimals = std::clamp(-static_cast<int>(std::floor(std::log10(step))), 0, 12);
    return t;
}

Extremes ExtremesOf(const double* v, int first, int last) {
    // Two running extremes each way, so that a comparison need not wait for the one before. A
    // value that is not a number is neither: comparisons with it are false.
    constexpr double inf = std::numeric_limits<double>::infinity();
    double lo0 = inf, lo1 = inf, hi0 = -inf, hi1 = -inf;
    bool nan = false;
    int i = first;
    for (; i + 1 <= last; i += 2) {
        const double a = v[i], b = v[i + 1];
        lo0 = a < lo0 ? a : lo0;
        lo1 = b < lo1 ? b : lo1;
        hi0 = a > hi0 ? a : hi0;
        hi1 = b > hi1 ? b : hi1;
        nan |= (a != a) | (b != b);
    }
    if (i == last) {
        lo0 = v[i] < lo0 ? v[i] : lo0;
        hi0 = v[i] > hi0 ? v[i] : hi0;
        nan |= v[i] != v[i];
    }
    return {std::min(lo0, lo1), std::max(hi0, hi1), nan};
}

void VisibleSpeedRange(const PlotDocument& doc, double& lowest, double& highest) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (int k = 0; k < doc.SetCount(); ++k) {
        const Signal& s = *doc.AltSignal(k);
        if (!s.Visible) continue;
        const std::shared_ptr<const SpeedTable> table = KeptVerticalSpeeds(s);
        const double* v = table->Speed.data();
        const IndexWindow win = FindIndexWindow(doc, s);
        const double* t = s.Samples.Time.data();
        if (win.Ordered) {
            // Whole blocks from their kept extremes, the samples beside them one by one.
            const int block = SpeedTable::SpeedBlock;
            const int firstBlock = (win.InFirst + block - 1) / block;
            const int endBlock = (win.InLast + 1) / block; // blocks before it end in the window
            if (firstBlock >= endBlock) {
                const Extremes e = ExtremesOf(v, win.InFirst, win.InLast);
                lo = std::min(lo, e.Lo);
                hi = std::max(hi, e.Hi);
                continue;
            }
            for (const Extremes& e : {ExtremesOf(v, win.InFirst, firstBlock * block - 1),
                                      ExtremesOf(v, endBlock * block, win.InLast)}) {
                lo = std::min(lo, e.Lo);
                hi = std::max(hi, e.Hi);
            }
            for (int b = firstBlock; b < endBlock; ++b) {
                lo = std::min(lo, table->BlockLo[static_cast<std::size_t>(b)]);
                hi = std::max(hi, table->BlockHi[static_cast<std::size_t>(b)]);
            }
            continue;
        }
        // Out of order, the window is the whole set: each time is looked at.
        for (int i = win.InFirst; i <= win.InLast; ++i) {
            const double x = t[i] * s.TimeScale + s.TimeOffset;
            if (!(x >= doc.TimeMin && x <= doc.TimeMax)) continue;
            lo = v[i] < lo ? v[i] : lo;
            hi = v[i] > hi ? v[i] : hi;
        }
    }
    lowest = lo;
    highest = hi;
}

std::string SpeedUnitText(const PlotDocument& doc) {
    const std::string_view named = ParenthesisedText(doc.YAxisLabel);
    return std::string(named.empty() ? UnitWord(PlotUnit(doc)) : named);
}

std::string SpeedAxisLabel(const PlotDocument& doc) {
    return "Speed (" + SpeedUnitText(doc) + "/s)";
}

int SpeedAxis::Row(double v, int height) const {
    const double span = Ticks.Max - Ticks.Min;
    const int row = height - TruncToInt((v - Ticks.Min) * (height / span)) - 1;
    return std::clamp(row, 0, height);
}

SpeedAxis PlanSpeedAxis(QPainter& p, const RenderTarget& t, const PlotDocument& doc,
                        const PlotLayout& l, PlotRect& area) {
    SpeedAxis axis;
    if (!t.Switches.ShowVerticalSpeed) return axis;
    axis.On = true;
    double lo = 0.0, hi = 0.0;
    VisibleSpeedRange(doc, lo, hi);
    axis.Ticks = NiceSpeedTicks(lo, hi);
    axis.TickFont = p.font();
    int widest = 0;
    for (int i = 0; i < axis.Ticks.Count(); ++i)
        widest = std::max(widest, TextWidth(p, QString::fromStdString(axis.Ticks.Label(i))));

    // The axis label's font is the altitude label's: the plot's face, proportional, bold.
    p.save();
    QFont font = p.font();
    font.setFixedPitch(false);
    UsePlotFace(font);
    p.setFont(font);
    SetFontHeight(p, l.H / 35);
    axis.LabelFont = p.font();
    const int th = TextHeight(p);
    p.restore();
    axis.Label = ToWidgetText(SpeedAxisLabel(doc));

    // The label mirrors the altitude label, its cell as far from the right edge as that one's
    // is from the left; the tick labels stand between it and the plot.
    axis.LabelX = l.X1 - l.W / 20 - th;
    const int right = axis.LabelX - t.PpiX / 10 - widest - t.PpiX / 15;
    // A placement too small for the labels keeps half of its plot.
    area.Right = std::max(std::min(area.Right, right), area.Left + (area.Right - area.Left) / 2);
    return axis;
}

void DrawSpeedAxis(QPainter& p, const RenderTarget& t, const SpeedAxis& axis, const PlotRect& a,
                   const QColor& tickColour, const QColor& fontColour, const QColor& labelColour,
                   const QColor& back) {
    p.save();
    p.setFont(axis.TickFont);
    const int h = a.Bottom - a.Top;
    const int th = TextHeight(p);
    p.setPen(PlotPen(tickColour, Qt::SolidLine, 1, Qt::FlatCap, t.PpiX));
    for (int i = 0; i < axis.Ticks.Count(); ++i) {
        const int py = a.Top + axis.Row(axis.Ticks.Value(i), h);
        LineExcludingEnd(p, a.Right + 1, py, a.Right + t.PpiX / 17, py);
        TextOut(p, a.Right + t.PpiX / 15, py - th / 2, QString::fromStdString(axis.Ticks.Label(i)),
                fontColour, back);
    }
    p.setFont(axis.LabelFont);
    p.translate(axis.LabelX, a.Top + h / 2 + TextWidth(p, axis.Label) / 2);
    p.rotate(-90.0);
    TextOut(p, 0, 0, axis.Label, labelColour, back);
    p.restore();
}

} // namespace vemo
