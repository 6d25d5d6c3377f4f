#include "data/FlightSummary.h"

#include "data/RateEstimate.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace vemo {

namespace {

using namespace summary_rules;

struct Point {
    double t, a;
};

// A sample exactly at a time limit belongs to it, whatever the rounding of times such as 0.05 * k.
constexpr double TimeSlack = 1e-9;

std::vector<Point> UsableSamples(const Signal& s, int& notNumbers, int& outOfOrder) {
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
    for (std::size_t i = 1; i < pts.size(); ++i)
        outOfOrder += byTime(pts[i], pts[i - 1]) ? 1 : 0;
    if (outOfOrder > 0) std::stable_sort(pts.begin(), pts.end(), byTime);
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

// The set in time order with its rate estimate, and the limits the rules derive from it.
struct Track {
    std::vector<double> t, a;
    RateEstimate r;
    std::vector<double> level; // the clean altitude averaged over a short while: less noise
    double climb = 0;          // the climb threshold
    double band = 0;           // the landing band, either way
    std::size_t Size() const { return t.size(); }
};

// The mean of the samples within the level seconds on either side of each (at least its two
// neighbours).
std::vector<double> Levels(const std::vector<double>& t, const std::vector<double>& a) {
    const std::size_t n = t.size();
    std::vector<double> out(n);
    std::size_t lo = 0, hi = 0; // the window [lo, hi)
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t first = i > 0 ? i - 1 : 0, last = std::min(i + 2, n);
        while (hi < n && (hi < last || t[hi] <= t[i] + LevelSeconds + TimeSlack))
            sum += a[hi++];
        while (lo < first && t[lo] < t[i] - LevelSeconds - TimeSlack)
            sum -= a[lo++];
        out[i] = sum / static_cast<double>(hi - lo);
    }
    return out;
}

// The first sample from `from` on that stands the climb threshold above its lowest point of
// the seconds before; n when none. lowest receives that point's altitude.
std::size_t FindStart(const Track& k, std::size_t from, double& lowest) {
    const std::vector<double>& c = k.level;
    std::deque<std::size_t> low; // indices of rising altitudes: the window's minimum first
    for (std::size_t i = from; i < k.Size(); ++i) {
        while (!low.empty() && c[low.back()] >= c[i])
            low.pop_back();
        low.push_back(i);
        while (k.t[low.front()] < k.t[i] - RiseSeconds - TimeSlack)
            low.pop_front();
        if (c[i] - c[low.front()] > k.climb) {
            lowest = c[low.front()];
            return i;
        }
    }
    return k.Size();
}

struct Ground {
    bool Found = false;
    double Level = 0;
    std::size_t Launch = 0;
};

// The median of the samples in the ground seconds up to `last` (none before `from`), and
// whether they are ground: enough of them, and flat.
Ground GroundBefore(const Track& k, std::size_t from, std::size_t last) {
    const std::vector<double>& c = k.r.Clean;
    std::size_t first = last;
    while (first > from && k.t[first - 1] >= k.t[last] - GroundSeconds - TimeSlack)
        --first;
    Ground g;
    g.Level = Median(std::vector<double>(c.begin() + static_cast<std::ptrdiff_t>(first),
                                         c.begin() + static_cast<std::ptrdiff_t>(last) + 1));
    const double near = GroundNoises * k.r.Noise + k.r.Step;
    const auto flat = std::count_if(c.begin() + static_cast<std::ptrdiff_t>(first),
                                    c.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                                    [&](double a) { return std::abs(a - g.Level) <= near; });
    const std::size_t count = last - first + 1;
    g.Found = count >= static_cast<std::size_t>(MinSamples) &&
              static_cast<double>(flat) >= GroundShare * static_cast<double>(count);
    return g;
}

// The last sample up to foot no higher than the launch margin above level (from when none).
std::size_t LastOnGround(const Track& k, std::size_t from, std::size_t foot, double level) {
    std::size_t j = foot;
    while (j > from && k.r.Clean[j] > level + LaunchNoises * k.r.Noise)
        --j;
    return j;
}

// Ground level and launch of the climb that passes the threshold at sample start.
Ground FindGround(const Track& k, std::size_t from, std::size_t start, double lowest) {
    std::size_t foot = start;
    while (foot > from && k.level[foot] > lowest + k.climb / 2)
        --foot;
    const Ground first = GroundBefore(k, from, foot);
    Ground g = GroundBefore(k, from, LastOnGround(k, from, foot, first.Level));
    g.Launch = LastOnGround(k, from, foot, g.Level);
    return g;
}

// The highest sample in [from, to] that is not a spike; the earliest of equal ones.
std::size_t HighestSample(const Track& k, std::size_t from, std::size_t to) {
    std::size_t top = to + 1;
    for (std::size_t i = from; i <= to; ++i)
        if (!k.r.Spike[i] && (top > to || k.a[i] > k.a[top])) top = i;
    return top <= to ? top : from; // every sample a spike: cannot happen, spikes need neighbours
}

struct Landing {
    bool Found = false;
    std::size_t At = 0;
    double Level = 0;
};

// The first sample after start from which the altitude stays settled for the landing seconds
// at a level below the highest point so far (by the climb threshold and half the height).
Landing SettledLanding(const Track& k, std::size_t start, double ground) {
    const std::vector<double>& c = k.level;
    const std::size_t n = k.Size();
    std::deque<std::size_t> hi, lo; // window maximum and minimum, first in each
    std::size_t end = start;        // the window is [i, end)
    double top = c[start];
    for (std::size_t i = start; i < n; ++i) {
        top = std::max(top, c[i]);
        while (end < n && k.t[end] <= k.t[i] + LandingSeconds + TimeSlack) {
            while (!hi.empty() && c[hi.back()] <= c[end])
                hi.pop_back();
            while (!lo.empty() && c[lo.back()] >= c[end])
                lo.pop_back();
            hi.push_back(end);
            lo.push_back(end);
            ++end;
        }
        while (hi.front() < i)
            hi.pop_front();
        while (lo.front() < i)
            lo.pop_front();
        if (k.t[end - 1] < k.t[i] + LandingSeconds - TimeSlack) break; // the set ends before
        const double high = c[hi.front()], low = c[lo.front()];
        const double below = top - std::max(k.climb, (top - ground) / 2);
        if (high - low > 2 * k.band || low > below) continue;
        const double level =
            Median(std::vector<double>(c.begin() + static_cast<std::ptrdiff_t>(i),
                                       c.begin() + static_cast<std::ptrdiff_t>(end)));
        if (high - level <= k.band && level - low <= k.band && level <= below)
            return {true, i, level};
    }
    return {};
}

// A set that ends at ground level lands at the first sample after apogee from which it stays
// there.
Landing EndsOnGround(const Track& k, std::size_t apogee, double ground) {
    const std::vector<double>& c = k.r.Clean;
    const double height = k.a[apogee] - ground;
    const double last = c.back();
    if (last > ground + k.band || last < ground - BelowGroundShare * height) return {};
    std::size_t j = k.Size() - 1;
    while (j > apogee + 1 && c[j - 1] <= ground + k.band)
        --j;
    return {true, j, ground};
}

void SetFastest(Figure& f, const Track& k, std::size_t from, std::size_t to, double sign,
                const char* missing) {
    if (const std::ptrdiff_t i = Steepest(k.r.Speed, from, to + 1, sign); i >= 0) {
        f.Value = sign * k.r.Speed[static_cast<std::size_t>(i)];
        f.Time = k.t[static_cast<std::size_t>(i)];
    } else {
        f.Missing = missing;
    }
}

void SetApogee(FlightFigures& f, const Track& k, std::size_t apogee) {
    f.Apogee.Value = k.a[apogee];
    f.Apogee.Time = k.t[apogee];
}

// One flight from the climb through start; from is where the search began (the set's start or
// the last landing). Returns where the next search begins, or n when this flight was the last.
std::size_t AddFlight(const Track& k, std::size_t from, std::size_t start, double lowest,
                      FlightSummary& s) {
    const std::size_t n = k.Size();
    FlightFigures f;
    const Ground g = FindGround(k, from, start, lowest);
    // Without ground before the climb, the first sample may be the ground: if the flight comes
    // down to it.
    const double ground = g.Found ? g.Level : k.r.Clean[from];
    const std::size_t first = g.Found ? g.Launch : from;

    Landing land = SettledLanding(k, start, ground);
    const std::size_t apogee = HighestSample(k, first, land.Found ? land.At : n - 1);
    if (!land.Found) land = EndsOnGround(k, apogee, ground);
    const double height = k.a[apogee] - ground;
    const bool backDown = land.Found && land.Level <= ground + k.band &&
                          land.Level >= ground - BelowGroundShare * height;
    const std::ptrdiff_t fastest = Steepest(k.r.Speed, first, apogee + 1, +1.0);
    const bool fromRest =
        fastest >= 0 && k.r.Speed[first] < RestShare * k.r.Speed[static_cast<std::size_t>(fastest)];
    if (g.Found || backDown || fromRest) {
        f.GroundLevel.Value = ground;
        f.Launch.Value = k.t[first];
    } else {
        f.GroundLevel.Missing = f.Launch.Missing = "the climb began before the recording";
    }
    if (land.Found)
        f.Landing.Value = k.t[land.At];
    else
        f.Landing.Missing = "the recording stops in the air";
    if (f.Launch.Found() && f.Landing.Found())
        f.FlightTime.Value = *f.Landing.Value - *f.Launch.Value;
    else
        f.FlightTime.Missing = f.Launch.Found() ? "no landing" : "no launch";

    SetApogee(f, k, apogee);
    SetFastest(f.MaxClimb, k, first, apogee, +1.0, "the altitude never rises");
    SetFastest(f.MaxDescent, k, apogee, land.Found ? land.At : n - 1, -1.0,
               "the altitude never falls");
    s.Flights.push_back(f);
    return land.Found ? land.At : n;
}

// The figures of a set without a flight.
FlightFigures WholeSet(const Track& k) {
    FlightFigures f;
    f.Flew = false;
    SetApogee(f, k, HighestSample(k, 0, k.Size() - 1));
    f.GroundLevel.Value = Median(k.r.Clean);
    f.Launch.Missing = f.Landing.Missing = f.FlightTime.Missing = "no climb above ground level";
    SetFastest(f.MaxClimb, k, 0, k.Size() - 1, +1.0, "the altitude never rises");
    SetFastest(f.MaxDescent, k, 0, k.Size() - 1, -1.0, "the altitude never falls");
    return f;
}

} // namespace

FlightSummary SummariseFlight(const Signal& alt) {
    FlightSummary s;
    s.Samples = alt.Samples.Count();
    ListMarks(alt, s);
    const std::vector<Point> p = UsableSamples(alt, s.NotNumbers, s.OutOfOrder);
    const std::size_t n = p.size();
    FlightFigures none;
    none.Flew = false;
    if (n == 0) {
        const std::string why = s.NotNumbers > 0 ? "no samples that are numbers" : "no samples";
        for (Figure* f : {&none.Apogee, &none.GroundLevel, &none.Launch, &none.Landing,
                          &none.FlightTime, &none.MaxClimb, &none.MaxDescent})
            f->Missing = why;
        s.Flights.push_back(none);
        return s;
    }
    Track k;
    for (const Point& q : p) {
        k.t.push_back(q.t);
        k.a.push_back(q.a);
    }
    if (n < static_cast<std::size_t>(MinSamples)) {
        k.r.Spike.assign(n, false);
        SetApogee(none, k, HighestSample(k, 0, n - 1));
        for (Figure* f : {&none.GroundLevel, &none.Launch, &none.Landing, &none.FlightTime,
                          &none.MaxClimb, &none.MaxDescent})
            f->Missing = "fewer than 3 samples";
        s.Flights.push_back(none);
        return s;
    }

    k.r = EstimateRates(k.t, k.a);
    k.level = Levels(k.t, k.r.Clean);
    k.climb = std::max(MinClimb, NoiseFactor * k.r.Noise);
    k.band = std::max(LandingNoises * k.r.Noise, k.r.Step);
    for (std::size_t from = 0; from < n;) {
        double lowest = 0;
        const std::size_t start = FindStart(k, from, lowest);
        if (start >= n) break;
        from = AddFlight(k, from, start, lowest, s);
    }
    if (s.Flights.empty()) s.Flights.push_back(WholeSet(k));
    return s;
}

} // namespace vemo
