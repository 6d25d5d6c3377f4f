#pragma once
// The vertical speed of a recording at every sample, worked out so that the artefacts of real
// barometric recordings make no speed: single wild samples, the pressure spikes of ejection
// charges and parachute shocks, the short dip as a rocket passes Mach 1, and the noise of the
// sensor. The flight summary takes its fastest climb and descent from it, and the plot can
// draw it beside the altitude; never the raw difference of two samples.
//
// The method (the manual's chapter on the summary describes it too):
// - Noise: the robust standard deviation of the altitude about a straight line through each
//   sample's two neighbours (1.2106 times the median distance), at least the altitude step
//   divided by the square root of 12 (the rounding noise of a recorder that keeps whole units).
// - Spikes: a sample that stands more than 5 noise widths (and one altitude step) above, or
//   below, the straight lines fitted robustly to the 5 samples before it and to the 5 after it
//   (the median slope between neighbours, the median level) is a spike and is replaced by the
//   mean of the two lines; this is done three times, so that runs of a few samples go too. A
//   smooth curve lies between such lines or beyond them on the far side, never outside both.
// - Speed: the least-squares slope of the cleaned altitude over a window of the sample and 1,
//   2, 4, ... 64 samples on either side (no wider than 1.5 s on either side, fewer at the ends
//   of the set). Each slope has a noise band of 2 standard errors; the widest window whose
//   band overlaps the bands of all narrower ones gives the speed. So the window stays short
//   where the speed changes fast (the motor burn) and grows long where it holds (under a
//   parachute), and the noise makes no speed either way. All in O(n).
#include "data/PlotDocument.h"

#include <span>
#include <vector>

namespace vemo {

namespace rate_rules {
constexpr double NoiseScale = 1.2106;    // median distance from the neighbours' line to sigma
constexpr int SpikeSide = 12;            // samples on either side that judge a spike
constexpr double SpikeNoises = 8.0;      // a spike stands this many noise widths off both lines
constexpr double EdgeNoises = 3.0;       // beside a spike: its flank
constexpr int SpikePasses = 4;           // runs of spikes go from the most extreme outwards
constexpr int MaxSlopeSide = 64;         // samples on either side of a speed's centre, at most
constexpr double MaxSlopeSeconds = 2.0;  // on either side of a speed's centre, at most
constexpr double SlopeBand = 2.0;        // standard errors of a slope...
constexpr double SlopePrecision = 0.015; // ...within this share of it: the window is long enough
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

} // namespace vemo
