#pragma once
// The vertical speed of a recording at every sample, worked out so that the artefacts of real
// barometric recordings make no speed: single wild samples, the pressure spikes of ejection
// charges and parachute shocks, the short dip as a rocket passes Mach 1, and the noise of the
// sensor. The flight summary takes its fastest climb and descent from it, and the plot can
// draw it beside the altitude; never the raw difference of two samples.
//
// The method (the manual's chapter on the summary describes it too):
// - Noise: the robust standard deviation of the altitude about the straight line through each
//   sample's two neighbours (1.2106 times the median distance), at least the smallest step
//   between two neighbouring altitudes divided by the square root of 12 (the rounding noise of
//   a recorder that keeps whole units).
// - Spikes: a sample that stands above both of its nearest neighbours that are not spikes (or
//   below both, equal to one at most) and more than the spike limit away from one of them is
//   compared with two straight lines: one through the 12 samples before it that are not spikes,
//   one through the 12 after (each the median slope between samples 6 apart and the median
//   level). Standing more than the spike limit (8 noise widths and one altitude step) beyond both
//   lines on its side, it is a spike. Then each neighbour of a spike that stands more than the
//   edge limit (2.5 noise widths and one step) beyond both lines on the spike's side is one too:
//   the flanks of a dip. For a flank the two lines are bent by the curvature their slopes show
//   (a straight line through the samples of a curve falls short of its continuation). Up to 4
//   passes each, so that runs go from the most extreme sample outwards; a sample with fewer
//   than 6 such samples on a side (at the ends of the set) is not judged. A sample on a bend of the
//   flight path (the top of the climb, the end of the burn) lies between its neighbours or short of
//   the lines, and is never a spike. A spike's clean altitude is the mean of the two lines at its
//   time.
// - Speed: the least-squares slope of the altitude, spikes left out, over the sample and 1, 2, 4,
//   ... 64 samples on either side (no more than 2 s on either side; fewer at the ends of the
//   set). The shortest window whose slope is known to within 2 % (two standard errors, from
//   the noise) gives the speed; when none is, the longest. So the window stays short while the
//   speed is high and grows long under a parachute and on the ground, and the noise makes no
//   speed either way. O(n): each window slides over the set once.
#include "data/PlotDocument.h"

#include <memory>
#include <span>
#include <vector>

namespace vemo {

namespace rate_rules {
constexpr double NoiseScale = 1.2106;   // median distance from the neighbours' line to sigma
constexpr int SpikeSide = 12;           // samples on either side that judge a spike
constexpr double SpikeNoises = 8.0;     // a spike stands this many noise widths off both lines
constexpr double EdgeNoises = 2.5;      // beside a spike: its flank
constexpr int SpikePasses = 4;          // runs of spikes go from the most extreme outwards
constexpr int MaxSlopeSide = 64;        // samples on either side of a speed's centre, at most
constexpr double MaxSlopeSeconds = 2.0; // on either side of a speed's centre, at most
constexpr double SlopeBand = 2.0;       // standard errors of a slope...
constexpr double SlopePrecision = 0.02; // ...within this share of it: the window is long enough
} // namespace rate_rules

struct RateEstimate {
    double Noise = 0.0;        // altitude units, a standard deviation
    double Step = 0.0;         // the smallest step between two neighbouring altitudes
    std::vector<double> Clean; // the altitude with its spikes replaced
    std::vector<bool> Spike;   // the samples that were replaced
    std::vector<double> Speed; // units per second; NaN where all of a window's samples share a time
};

// The estimate for samples in ascending time order whose times and altitudes are all numbers.
RateEstimate EstimateRates(std::span<const double> time, std::span<const double> alt);

// The vertical speed at every sample of an altitude Signal as plotted (its scales and offsets
// applied), in the order of its store; NaN for a sample whose time or altitude is not a number.
std::vector<double> VerticalSpeeds(const Signal& alt);

// The speeds of an altitude Signal together with the scales and offsets they were worked out
// with.
struct SpeedTable {
    double TimeScale = 1.0, TimeOffset = 0.0, AltScale = 1.0, AltOffset = 0.0;
    std::vector<double> Speed; // VerticalSpeeds, in the order of the store
    // The lowest and highest speed that is a number in each block of SpeedBlock samples (from
    // sample 0), so that the range of many samples is found without reading them all; a block
    // without a number has +inf and -inf.
    static constexpr int SpeedBlock = 64;
    std::vector<double> BlockLo, BlockHi;
};

// VerticalSpeeds of the Signal, worked out when first asked for after its samples, scales or
// offsets changed and kept with its samples until then: the plot asks on every paint.
std::shared_ptr<const SpeedTable> KeptVerticalSpeeds(const Signal& alt);

} // namespace vemo
