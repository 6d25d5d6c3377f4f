#include "data/RateEstimate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

namespace vemo {

namespace {

using namespace rate_rules;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The median of first[0..count), reordering them.
template <typename It> double MedianOf(It first, std::size_t count) {
    const std::size_t mid = count / 2;
    std::nth_element(first, first + static_cast<std::ptrdiff_t>(mid),
                     first + static_cast<std::ptrdiff_t>(count));
    const double upper = first[static_cast<std::ptrdiff_t>(mid)];
    if (count % 2 != 0) return upper;
    const double lower = *std::max_element(first, first + static_cast<std::ptrdiff_t>(mid));
    return lower + (upper - lower) / 2.0;
}

// The smallest step between two neighbouring altitudes: what a recorder rounds to.
double AltitudeStep(std::span<const double> alt) {
    double step = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < alt.size(); ++i)
        if (const double d = std::abs(alt[i] - alt[i - 1]); d > 0) step = std::min(step, d);
    return std::isfinite(step) ? step : 0.0;
}

double Noise(std::span<const double> t, std::span<const double> a, double step) {
    std::vector<double> off;
    off.reserve(a.size());
    for (std::size_t i = 1; i + 1 < a.size(); ++i) {
        const double span = t[i + 1] - t[i - 1];
        if (!(span > 0)) continue;
        const double line = a[i - 1] + (a[i + 1] - a[i - 1]) * ((t[i] - t[i - 1]) / span);
        off.push_back(std::abs(a[i] - line));
    }
    const double spread = off.empty() ? 0.0 : NoiseScale * MedianOf(off.begin(), off.size());
    return std::max(spread, step / std::sqrt(12.0));
}

// Up to SpikeSide samples that are not spikes, going from i outwards in direction dir (+1, -1).
std::size_t Side(const std::vector<bool>& spike, std::size_t i, int dir,
                 std::array<std::size_t, SpikeSide>& out) {
    std::size_t count = 0;
    for (std::size_t step = 1; step <= 2 * SpikeSide && count < out.size(); ++step) {
        if (dir < 0 && step > i) break;
        const std::size_t j = dir < 0 ? i - step : i + step;
        if (j >= spike.size()) break;
        if (!spike[j]) out[count++] = j;
    }
    return count;
}

// A robust line through a few samples: its value at a time, its slope, and the mean and the
// variance of the samples' times.
struct SideFit {
    double Value = NaN, Slope = NaN, Centre = 0, Spread = 0;
};

// The robust line through the samples idx (median slope between samples half the side apart,
// median level) at time at; no value when they hold no slope.
SideFit SideLine(std::span<const double> t, std::span<const double> a,
                 const std::array<std::size_t, SpikeSide>& idx, std::size_t count, double at) {
    const std::size_t half = count / 2;
    std::array<double, SpikeSide> slopes{}, levels{};
    std::size_t slopeCount = 0;
    SideFit fit;
    for (std::size_t j = 0; j + half < count; ++j) {
        const std::size_t p = idx[j], q = idx[j + half];
        if (t[p] != t[q]) slopes[slopeCount++] = (a[p] - a[q]) / (t[p] - t[q]);
    }
    if (slopeCount == 0) return fit;
    fit.Slope = MedianOf(slopes.begin(), slopeCount);
    for (std::size_t j = 0; j < count; ++j)
        levels[j] = a[idx[j]] - fit.Slope * (t[idx[j]] - at);
    fit.Value = MedianOf(levels.begin(), count);
    return fit;
}

// The mean and the variance of the times of the samples idx, into fit.
void Spread(std::span<const double> t, const std::array<std::size_t, SpikeSide>& idx,
            std::size_t count, SideFit& fit) {
    const double share = 1.0 / static_cast<double>(count);
    fit.Centre = 0;
    for (std::size_t j = 0; j < count; ++j)
        fit.Centre += t[idx[j]] * share;
    fit.Spread = 0;
    for (std::size_t j = 0; j < count; ++j)
        fit.Spread += (t[idx[j]] - fit.Centre) * (t[idx[j]] - fit.Centre) * share;
}

// For a flank: the two lines bent by the curvature their slopes show, as a straight line drawn
// from the samples of a curve falls short of the curve's continuation.
void Bend(SideFit& left, SideFit& right, double at) {
    if (!(right.Centre > left.Centre)) return;
    const double curvature = (right.Slope - left.Slope) / (right.Centre - left.Centre);
    for (SideFit* f : {&left, &right})
        f->Value += curvature * ((at - f->Centre) * (at - f->Centre) - f->Spread) / 2.0;
}

// Replaces the spikes of the altitudes in clean and marks them. A candidate is a sample that
// stands out of its nearest neighbours that are not spikes (above or below both, equal to one
// at most), or, for the edge limit, one beside a spike; a sample on a bend of the flight path
// is never a candidate, as it stands between its neighbours. A candidate that stands out of
// the lines through the samples on either side by the limit is a spike.
void RemoveSpikes(std::span<const double> t, std::span<const double> a, double noise, double step,
                  std::vector<double>& clean, std::vector<bool>& spike) {
    const std::size_t n = a.size();
    if (n < 2 * SpikeSide + 1) return;
    std::vector<char> judge(n, 1);       // samples whose neighbourhood changed in the last pass
    std::vector<signed char> sign(n, 0); // +1 for a spike up, -1 for one down
    std::array<std::size_t, SpikeSide> left{}, right{};
    for (const bool edges : {false, true}) {
        const double limit = (edges ? EdgeNoises : SpikeNoises) * noise + step;
        for (int pass = 0; pass < SpikePasses; ++pass) {
            std::vector<char> changedNear(n, 0);
            bool changed = false;
            for (std::size_t i = 1; i + 1 < n; ++i) {
                if (!judge[i] || spike[i]) continue;
                // The nearest neighbours that are not spikes.
                std::size_t li = i - 1, ri = i + 1;
                while (li > 0 && spike[li])
                    --li;
                while (ri + 1 < n && spike[ri])
                    ++ri;
                // Up: above both neighbours; down: below both. A bend is neither.
                const double l = a[li], m = a[i], r = a[ri];
                int dir = m >= l && m >= r && (m > l || m > r)   ? +1
                          : m <= l && m <= r && (m < l || m < r) ? -1
                                                                 : 0;
                if (edges)
                    dir = sign[i - 1] != 0 ? sign[i - 1] : sign[i + 1]; // a spike's flank
                else if (std::max(std::abs(m - l), std::abs(m - r)) <= limit)
                    dir = 0; // within the limit of both neighbours: no spike, however the lines lie
                if (dir == 0) continue;
                const std::size_t nl = Side(spike, i, -1, left), nr = Side(spike, i, +1, right);
                if (nl < SpikeSide / 2 || nr < SpikeSide / 2) continue;
                // Beyond a line by the limit, on the side dir points to.
                const auto beyond = [&](double line) {
                    return dir > 0 ? m > line + limit : m < line - limit;
                };
                SideFit leftFit = SideLine(t, a, left, nl, t[i]);
                if (!edges && !beyond(leftFit.Value)) continue; // (false for no line too)
                SideFit rightFit = SideLine(t, a, right, nr, t[i]);
                if (std::isnan(leftFit.Value) || std::isnan(rightFit.Value)) continue;
                if (edges) {
                    Spread(t, left, nl, leftFit);
                    Spread(t, right, nr, rightFit);
                    Bend(leftFit, rightFit, t[i]);
                }
                const double fromLeft = leftFit.Value, fromRight = rightFit.Value;
                if (!beyond(fromLeft) || !beyond(fromRight)) continue;
                clean[i] = (fromLeft + fromRight) / 2.0;
                spike[i] = true;
                sign[i] = static_cast<signed char>(dir);
                changed = true;
                for (std::size_t j = i > 2 * SpikeSide ? i - 2 * SpikeSide : 0;
                     j < std::min(n, i + 2 * SpikeSide + 1); ++j)
                    changedNear[j] = 1;
            }
            if (!changed) break;
            judge.swap(changedNear);
        }
        std::fill(judge.begin(), judge.end(), 1);
    }
}

// Least-squares sums over a window that slides forward, kept relative to an origin near the
// window so that the sums stay small and exact enough; the origin follows every so often.
class SlidingSlope {
public:
    SlidingSlope(std::span<const double> t, std::span<const double> a,
                 const std::vector<double>& weight, std::size_t side)
        : t_(t), a_(a), weight_(weight), side_(side), resync_(4 * std::max<std::size_t>(side, 16)) {
    }

    // Moves the window to centre i (never backwards): samples [i - side, i + side] in the set.
    void MoveTo(std::size_t i) {
        const std::size_t lo = i > side_ ? i - side_ : 0;
        const std::size_t hi = std::min(t_.size() - 1, i + side_);
        if (!started_ || i - origin_ >= resync_ || lo > hi_ + 1) {
            started_ = true;
            origin_ = i;
            Recount(lo, hi);
            return;
        }
        while (hi_ < hi)
            Add(++hi_, +1.0);
        while (lo_ < lo)
            Add(lo_++, -1.0);
    }
    double First() const { return t_[lo_]; }
    double Last() const { return t_[hi_]; }
    // The slope and its spread Sxx; Sxx is 0 when every sample has one time.
    double Slope(double& sxx) const {
        sxx = count_ > 1 ? stt_ - st_ * st_ / count_ : 0.0;
        if (!(sxx > 0)) return NaN;
        return (sta_ - st_ * sa_ / count_) / sxx;
    }

private:
    void Recount(std::size_t lo, std::size_t hi) {
        count_ = 0;
        st_ = sa_ = stt_ = sta_ = 0;
        lo_ = lo;
        for (hi_ = lo; hi_ <= hi; ++hi_)
            Add(hi_, +1.0);
        --hi_;
    }
    void Add(std::size_t j, double sign) {
        const double w = sign * weight_[j];
        const double dt = t_[j] - t_[origin_], da = a_[j] - a_[origin_];
        count_ += w;
        st_ += w * dt;
        sa_ += w * da;
        stt_ += w * dt * dt;
        sta_ += w * dt * da;
    }

    std::span<const double> t_, a_;
    const std::vector<double>& weight_; // 1 for a sample, 0 for a spike
    std::size_t side_, resync_;
    std::size_t origin_ = 0, lo_ = 0, hi_ = 0;
    bool started_ = false;
    double count_ = 0, st_ = 0, sa_ = 0, stt_ = 0, sta_ = 0;
};

// The speed at every sample from the altitudes a, spikes left out.
std::vector<double> Speeds(std::span<const double> t, std::span<const double> a,
                           const std::vector<bool>& spike, double noise) {
    const std::size_t n = t.size();
    std::vector<double> speed(n, NaN);
    if (n < 2) return speed;
    std::vector<double> weight(n);
    double shortest = std::numeric_limits<double>::infinity(); // between two samples
    for (std::size_t i = 0; i < n; ++i) {
        weight[i] = spike[i] ? 0.0 : 1.0;
        if (i > 0 && t[i] > t[i - 1]) shortest = std::min(shortest, t[i] - t[i - 1]);
    }
    // Windows that no set of samples this dense fits into in time are left out.
    std::vector<SlidingSlope> levels;
    for (std::size_t side = 1; side <= static_cast<std::size_t>(MaxSlopeSide); side *= 2)
        if (side == 1 || static_cast<double>(side) * shortest <= MaxSlopeSeconds)
            levels.emplace_back(t, a, weight, side);
    // A sample exactly at the window's time limit belongs to it, however times were rounded.
    const double limit = MaxSlopeSeconds * (1 + 1e-9);
    for (std::size_t i = 0; i < n; ++i) {
        bool settled = false;
        for (std::size_t k = 0; k < levels.size(); ++k) {
            SlidingSlope& w = levels[k];
            w.MoveTo(i); // every window follows every centre, used or not
            if (settled || (k > 0 && (t[i] - w.First() > limit || w.Last() - t[i] > limit))) {
                settled = true;
                continue;
            }
            double sxx = 0;
            const double slope = w.Slope(sxx);
            if (std::isnan(slope)) continue;
            speed[i] = slope;
            settled = SlopeBand * noise / std::sqrt(sxx) <= SlopePrecision * std::abs(slope);
        }
    }
    return speed;
}

} // namespace

RateEstimate EstimateRates(std::span<const double> time, std::span<const double> alt) {
    RateEstimate r;
    const double step = r.Step = AltitudeStep(alt);
    r.Noise = Noise(time, alt, step);
    r.Clean.assign(alt.begin(), alt.end());
    r.Spike.assign(alt.size(), false);
    RemoveSpikes(time, alt, r.Noise, step, r.Clean, r.Spike);
    r.Speed = Speeds(time, alt, r.Spike, r.Noise);
    return r;
}

std::vector<double> VerticalSpeeds(const Signal& alt) {
    const SampleStore& st = alt.Samples;
    const auto n = static_cast<std::size_t>(st.Count());
    std::vector<std::size_t> order;
    std::vector<double> t(n), a(n);
    for (std::size_t i = 0; i < n; ++i) {
        t[i] = st.Time[i] * alt.TimeScale + alt.TimeOffset;
        a[i] = st.Alt[i] * alt.AltScale + alt.AltOffset;
        if (std::isfinite(t[i]) && std::isfinite(a[i])) order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&t](std::size_t x, std::size_t y) { return t[x] < t[y]; });
    std::vector<double> ts, as;
    for (std::size_t i : order) {
        ts.push_back(t[i]);
        as.push_back(a[i]);
    }
    const RateEstimate r = EstimateRates(ts, as);
    std::vector<double> speed(n, NaN);
    for (std::size_t k = 0; k < order.size(); ++k)
        speed[order[k]] = r.Speed[k];
    return speed;
}

namespace {

bool Same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

std::shared_ptr<const SpeedTable> KeptVerticalSpeeds(const Signal& alt) {
    const std::shared_ptr<const SpeedTable>& kept = alt.Samples.KeptSpeeds();
    if (kept && Same(kept->TimeScale, alt.TimeScale) && Same(kept->TimeOffset, alt.TimeOffset) &&
        Same(kept->AltScale, alt.AltScale) && Same(kept->AltOffset, alt.AltOffset))
        return kept;
    auto table = std::make_shared<SpeedTable>();
    table->TimeScale = alt.TimeScale;
    table->TimeOffset = alt.TimeOffset;
    table->AltScale = alt.AltScale;
    table->AltOffset = alt.AltOffset;
    table->Speed = VerticalSpeeds(alt);
    const std::size_t n = table->Speed.size(), block = SpeedTable::SpeedBlock;
    table->BlockLo.assign((n + block - 1) / block, std::numeric_limits<double>::infinity());
    table->BlockHi.assign(table->BlockLo.size(), -std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < n; ++i) {
        // A speed that is not a number is neither: comparisons with it are false.
        double& lo = table->BlockLo[i / block];
        double& hi = table->BlockHi[i / block];
        lo = table->Speed[i] < lo ? table->Speed[i] : lo;
        hi = table->Speed[i] > hi ? table->Speed[i] : hi;
    }
    alt.Samples.KeepSpeeds(table);
    return table;
}

} // namespace vemo
