#include "plot/Scaling.h"

#include "data/TextNumbers.h"

#include <cmath>

namespace vemo {

AxisRanges HomeRange;

namespace {

// The logarithms and the quotients that are truncated at once are taken in extended precision
// (long double is the x87 80-bit format on x86-64) and truncated without first rounding to
// double: the stored double for 0.1 lies just above one tenth, so its logarithm truncates to
// 0 and 1 / 0.1 truncates to 9. Adding +0.0 turns a truncated -0.x into +0.
long double WholePart(long double v) {
    return std::trunc(v) + 0.0L;
}

int TruncLog10(long double v) {
    return static_cast<int>(WholePart(std::log10(v)));
}

// A tick value reached by repeated addition may overshoot a limit it equals by a rounding
// error; a millionth of a step is allowed.
bool NotAbove(double value, double limit, double step) {
    return value <= limit + step * 1e-6;
}

double PowerOfTen(int exponent) {
    return static_cast<double>(std::pow(10.0L, exponent));
}

// Finds the automatic range of one axis; false when there is nothing sound to set.
bool AutoRange(const PlotDocument& doc, bool timeAxis, double& newMin, double& newMax) {
    double lo = 99999.0;
    double hi = -99999.0;
    for (std::size_t k = 0; k < doc.Signals.size(); k += 2) {
        const SampleStore& s = doc.Signals[k]->Samples;
        for (double v : timeAxis ? s.Time.Values() : s.Alt.Values()) {
            // A value that is not a finite number (a damaged file) says nothing about where
            // the rest of the data lies.
            if (!std::isfinite(v)) continue;
            if (v < lo) lo = v;
            if (v > hi) hi = v;
        }
    }
    // No samples leave the start bounds in place, which would make the range negative.
    if (hi < lo) return false;

    double range = hi - lo;
    if (range == 0.0) range = 1.0;
    if (!std::isfinite(range)) return false;

    const double unit = PowerOfTen(TruncLog10(range));
    if (!(unit > 0.0) || !std::isfinite(unit)) return false;
    const long double count = WholePart(static_cast<long double>(range) / unit) + 1;
    // A negative minimum goes down to the next tenth of the unit, so that pad noise below
    // zero stays in view without leaving a third of the plot empty (-2 on a 2000 ft flight
    // gives -100); a positive one goes down toward zero by whole units.
    double min = 0.0;
    if (lo < 0.0) {
        const double tenth = PowerOfTen(TruncLog10(range) - 1);
        min = static_cast<double>(std::floor(static_cast<long double>(lo) / tenth) * tenth);
    } else {
        min = static_cast<double>(WholePart(static_cast<long double>(lo) / unit) * unit);
    }
    double max = static_cast<double>(min + count * unit);
    if (max <= hi) max += unit;
    if (!std::isfinite(min) || !std::isfinite(max)) return false;
    newMin = min;
    newMax = max;
    return true;
}

} // namespace

void AutoRangeTime(PlotDocument& doc) {
    double lo = 0.0, hi = 0.0;
    if (!AutoRange(doc, true, lo, hi)) return;
    doc.TimeMin = HomeRange.TimeMin = lo;
    doc.TimeMax = HomeRange.TimeMax = hi;
}

void AutoRangeAlt(PlotDocument& doc) {
    double lo = 0.0, hi = 0.0;
    if (!AutoRange(doc, false, lo, hi)) return;
    doc.AltMin = HomeRange.AltMin = lo;
    doc.AltMax = HomeRange.AltMax = hi;
}

void AutoRangeAll(PlotDocument& doc) {
    AutoRangeTime(doc);
    AutoRangeAlt(doc);
}

TickLayout NiceTicks(double min, double max) {
    const TickLayout none{1.0, 0.0, 1.0, 0};
    if (!(min < max)) max = min + 1.0;
    const double span = max - min;
    if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(span) || !(span > 0.0))
        return none;

    const double f = span * 0.1;
    if (!(f > 0.0)) return none;
    const double g = PowerOfTen(TruncLog10(f) - 1);
    if (!(g > 0.0) || !std::isfinite(g)) return none;
    const double q = f / g; // rounded to double before it is truncated
    double step = static_cast<double>(WholePart(q) * g);
    if (!(step > 0.0) || !std::isfinite(step)) return none;
    // The span is taken in extended precision from the limits themselves: rounded to double
    // first it can lose the last interval, and the step would give more than 12 of them.
    const long double exactSpan = static_cast<long double>(max) - min;
    while (WholePart(exactSpan / step) > 12)
        step *= 2;

    TickLayout t;
    t.Step = step;
    t.First = static_cast<double>(WholePart(static_cast<long double>(min) / step) * step);
    if (t.First < min) t.First += step;
    double last = t.First;
    int n = 0;
    // The additions can overshoot the view's maximum by a rounding error (12 + 10 * 0.4 comes
    // to just above 16): the tick there is still drawn.
    while (NotAbove(last, max, step)) {
        last += step;
        if (++n > MaxTicks) return none; // the additions stopped making progress
    }
    t.Last = last - step;
    const int u = TruncLog10(step) - 1;
    t.Decimals = u > 0 ? 0 : -u;
    return t;
}

bool TickInView(double value, const TickLayout& ticks) {
    return NotAbove(value, ticks.Last, ticks.Step);
}

std::string TickLabel(double value, const TickLayout& ticks) {
    // A tick that is zero but for the rounding of the additions reads 0, not -0.0.
    if (std::fabs(value) < ticks.Step * 1e-6) value = 0.0;
    std::string text = FormatNumber(value, 'f', ticks.Decimals);
    if (text.size() > 16) text = FormatNumber(value, 'g', 6);
    return text;
}

} // namespace vemo
