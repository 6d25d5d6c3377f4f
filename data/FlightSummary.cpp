#include "data/FlightSummary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vemo {

namespace {

using namespace summary_rules;

struct Point {
    double t, a;
};

// A sample exactly half a window away belongs to the window, whatever the rounding of times
// such as 0.05 * k.
constexpr double TimeSlack = 1e-9;

std::vector<Point> UsableSamples(const Signal& s, int& notNumbers) {
    const SampleStore& st = s.Samples;
    std::vector<Point> pts;
    pts.reserve(static_cast<std::size_t>(st.Count()));
    for (int i = 0; i < st.Count(); ++i) {
        const auto ui = static_cast<std::size_t>(i);
        const Point p{st.Time[ui] * s.TimeScale + s.TimeOffset,
                      st.Alt[ui] * s.AltScale + s.AltOffset};
        if (std::isfinite(p.t) && std::isfinite(p.a))
            pts.push_back(p);
        else
            ++notNumbers;
    }
    // Times come in ascending order from every writer; a negative time scale or a hand-made
    // file may reverse or shuffle them.
    const auto byTime = [](const Point& x, const Point& y) { return x.t < y.t; };
    if (!std::is_sorted(pts.begin(), pts.end(), byTime))
        std::stable_sort(pts.begin(), pts.end(), byTime);
    return pts;
}

double Median(std::vector<double> v) {
    const std::size_t mid = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid), v.end());
    const double upper = v[mid];
    if (v.size() % 2 != 0) return upper;
    const double lower = *std::max_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid));
    return lower + (upper - lower) / 2.0;
}

// The smoothed climb rate at every sample; NaN where there is none (the first and the last
// sample, or a window whose samples all share one time).
std::vector<double> ClimbRates(const std::vector<Point>& p) {
    const std::size_t n = p.size();
    std::vector<double> rates(n, std::numeric_limits<double>::quiet_NaN());
    std::size_t lo = 0, hi = 0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        while (p[i].t - p[lo].t > RateHalfWindow + TimeSlack)
            ++lo;
        hi = std::max(hi, i);
        while (hi + 1 < n && p[hi + 1].t - p[i].t <= RateHalfWindow + TimeSlack)
            ++hi;
        // Samples denser than a thousand a second (or many at one time) would make the sums
        // slow; 256 on either side are plenty for a slope.
        const std::size_t first = std::max(std::min(lo, i - 1), i - std::min(i, MaxWindowSide));
        const std::size_t last = std::min(std::max(hi, i + 1), i + MaxWindowSide);
        // Times measured from the centre sample keep the sums small and exact enough.
        double st = 0, sa = 0;
        for (std::size_t j = first; j <= last; ++j) {
            st += p[j].t - p[i].t;
            sa += p[j].a;
        }
        const double count = static_cast<double>(last - first + 1);
        const double mt = st / count, ma = sa / count;
        double sxx = 0, sxy = 0;
        for (std::size_t j = first; j <= last; ++j) {
            const double dt = p[j].t - p[i].t - mt;
            sxx += dt * dt;
            sxy += dt * (p[j].a - ma);
        }
        if (sxx > 0) rates[i] = sxy / sxx;
    }
    return rates;
}

// The highest of rates[from..to) times sign, with its index; -1 when none is finite and > 0.
std::ptrdiff_t Steepest(const std::vector<double>& rates, std::size_t from, std::size_t to,
                        double sign) {
    double top = 0.0;
    for (std::size_t i = from; i < to; ++i)
        if (const double r = rates[i] * sign; std::isfinite(r) && r > top) top = r;
    if (top <= 0.0) return -1;
    // Where the rate holds steady, rounding alone would pick among equal slopes (and pick
    // differently once times were rounded into a file): the earliest of them counts.
    const double nearTop = top * (1.0 - 1e-6);
    for (std::size_t i = from; i < to; ++i)
        if (const double r = rates[i] * sign; std::isfinite(r) && r >= nearTop)
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

void MissAll(FlightSummary& s, const std::string& why, bool apogeeToo) {
    for (Figure* f : {&s.Apogee, &s.GroundLevel, &s.Launch, &s.Landing, &s.FlightTime, &s.MaxClimb,
                      &s.MaxDescent})
        if (apogeeToo || f != &s.Apogee) f->Missing = why;
}

void ListMarks(const Signal& alt, FlightSummary& s) {
    if (const Signal* trig = alt.TriggerSignal; trig && trig->Visible)
        for (double t : trig->Samples.Time)
            s.Triggers.push_back(t * trig->TimeScale + trig->TimeOffset);
    const SampleStore& st = alt.Samples;
    for (const ClimbMark& m : alt.ClimbMarks) {
        if (!ClimbMarkValid(m, st.Count())) continue;
        const auto i1 = static_cast<std::size_t>(m.FirstSample);
        const auto i2 = static_cast<std::size_t>(m.SecondSample);
        ClimbMarkRate r;
        r.FirstTime = st.Time[i1] * alt.TimeScale + alt.TimeOffset;
        r.SecondTime = st.Time[i2] * alt.TimeScale + alt.TimeOffset;
        r.Rate = ClimbRateOf(st, m); // as the plot labels the mark
        s.ClimbMarks.push_back(r);
    }
}

// Launch and landing, for a set whose climb stands clear of ground level.
void FindFlight(const std::vector<Point>& p, const std::vector<double>& rates, std::size_t apogee,
                double ground, double height, FlightSummary& s) {
    const std::size_t n = p.size();
    const double band = AirborneShare * height;

    // Launch: back from the first airborne sample to where the climb was still slow.
    std::size_t airborne = 0;
    while (p[airborne].a <= ground + band)
        ++airborne;
    const std::ptrdiff_t climbPeak = Steepest(rates, 0, apogee + 1, +1.0);
    bool launched = false;
    if (climbPeak >= 0) {
        const double slow = RateShare * rates[static_cast<std::size_t>(climbPeak)];
        for (std::size_t i = airborne + 1; i-- > 0;) {
            if (std::isfinite(rates[i]) && rates[i] < slow) {
                s.Launch.Value = p[i].t;
                launched = true;
                break;
            }
        }
    }
    // The first sample has no rate: a recording that starts on the ground and climbs at once
    // (a simulation does) launches at its first sample.
    if (!launched && std::abs(p[0].a - ground) <= band) {
        s.Launch.Value = p[0].t;
        launched = true;
    }
    if (!launched) s.Launch.Missing = "the climb began before the recording";

    // Landing: into the band for good, then on until the descent has all but stopped.
    std::size_t settled = n;
    while (settled > apogee + 1 && std::abs(p[settled - 1].a - ground) <= band)
        --settled;
    const std::ptrdiff_t fallPeak = Steepest(rates, apogee + 1, n, -1.0);
    if (settled == n) {
        s.Landing.Missing = "never returns to ground level";
    } else {
        const double slow = fallPeak >= 0 ? RateShare * -rates[static_cast<std::size_t>(fallPeak)]
                                          : std::numeric_limits<double>::infinity();
        for (std::size_t i = settled; i < n && !s.Landing.Found(); ++i)
            if (std::isfinite(rates[i]) && -rates[i] < slow) s.Landing.Value = p[i].t;
        // The last sample has no rate: a recording that stops inside the landing band while
        // still coming down (the module stops itself near the ground) lands at its end.
        if (!s.Landing.Found()) s.Landing.Value = p[n - 1].t;
    }

    if (s.Launch.Found() && s.Landing.Found())
        s.FlightTime.Value = *s.Landing.Value - *s.Launch.Value;
    else
        s.FlightTime.Missing = s.Launch.Found() ? "no landing" : "no launch";
}

} // namespace

FlightSummary SummariseFlight(const Signal& alt) {
    FlightSummary s;
    s.Samples = alt.Samples.Count();
    ListMarks(alt, s);
    const std::vector<Point> p = UsableSamples(alt, s.NotNumbers);
    const std::size_t n = p.size();
    if (n == 0) {
        MissAll(s, s.NotNumbers > 0 ? "no samples that are numbers" : "no samples", true);
        return s;
    }

    std::size_t apogee = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (p[i].a > p[apogee].a) apogee = i;
    s.Apogee.Value = p[apogee].a;
    s.Apogee.Time = p[apogee].t;
    if (n < static_cast<std::size_t>(MinSamples)) {
        MissAll(s, "fewer than 3 samples", false);
        return s;
    }

    std::size_t groundCount = 0;
    while (groundCount < n && p[groundCount].t - p[0].t < GroundSeconds)
        ++groundCount;
    groundCount = std::max(groundCount, std::min<std::size_t>(GroundSamples, n));
    // A recording or a simulation that climbs at once must not take its climb for ground.
    const double rise = p[apogee].a - p[0].a;
    const double climbing = p[0].a + std::max(MinClimb, AirborneShare * rise);
    for (std::size_t i = 1; i < groundCount; ++i) {
        if (p[i].a > climbing) {
            groundCount = i;
            break;
        }
    }
    std::vector<double> groundAlt;
    for (std::size_t i = 0; i < groundCount; ++i)
        groundAlt.push_back(p[i].a);
    const double ground = Median(groundAlt);
    s.GroundLevel.Value = ground;
    for (double& a : groundAlt)
        a = std::abs(a - ground);
    const double noise = 1.4826 * Median(groundAlt);

    const std::vector<double> rates = ClimbRates(p);
    if (const std::ptrdiff_t i = Steepest(rates, 0, n, +1.0); i >= 0) {
        s.MaxClimb.Value = rates[static_cast<std::size_t>(i)];
        s.MaxClimb.Time = p[static_cast<std::size_t>(i)].t;
    } else {
        s.MaxClimb.Missing = "the altitude never rises";
    }
    if (const std::ptrdiff_t i = Steepest(rates, 0, n, -1.0); i >= 0) {
        s.MaxDescent.Value = -rates[static_cast<std::size_t>(i)];
        s.MaxDescent.Time = p[static_cast<std::size_t>(i)].t;
    } else {
        s.MaxDescent.Missing = "the altitude never falls";
    }

    const double height = p[apogee].a - ground;
    if (height > MinClimb && height > NoiseFactor * noise) {
        FindFlight(p, rates, apogee, ground, height, s);
    } else {
        s.Launch.Missing = s.Landing.Missing = s.FlightTime.Missing = "no climb above ground level";
    }
    return s;
}

} // namespace vemo
