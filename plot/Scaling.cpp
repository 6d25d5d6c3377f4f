#include "plot/Scaling.h"

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

double PowerOfTen(int exponent) {
    return static_cast<double>(std::pow(10.0L, exponent));
}

// Finds the automatic range of one axis; false when there is nothing sound to set.
bool AutoRange(const PlotDocument& doc, bool timeAxis, double& newMin, double& newMax) {
    double lo = 99999.0;
    double hi = -99999.0;
    for (std::size_t k = 0; k < doc.Signals.size(); k += 2) {
        const SampleStore& s = doc.Signals[k]->Samples;
        for (double v : timeAxis ? s.Time : s.Alt) {
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
    const double min = static_cast<double>(WholePart(static_cast<long double>(lo) / unit) * unit);
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

TickSpec NiceTicks(double min, double max) {
    const TickSpec none{1.0, 0.0, 1.0, 0};
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
    while (WholePart(static_cast<long double>(span) / step) > 12)
        step *= 2;

    TickSpec t;
    t.Step = step;
    t.First = static_cast<double>(WholePart(static_cast<long double>(min) / step) * step);
    if (t.First < min) t.First += step;
    double last = t.First;
    int n = 0;
    while (last <= max) {
        last += step;
        if (++n > MaxTicks) return none; // the additions stopped making progress
    }
    t.Last = last - step;
    const int u = TruncLog10(step) - 1;
    t.Decimals = u > 0 ? 0 : -u;
    return t;
}

} // namespace vemo
