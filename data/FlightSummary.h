#pragma once
// The few numbers a flier wants first, for each flight in a data set: how high, when, how fast
// up and down, how long. They are computed from the set's altitude samples as the plot draws
// them (each Signal's time and altitude scale and offset applied), and every figure the
// samples cannot give is left out with the reason, never guessed.
//
// The rules (the manual quotes them; the noise, the spikes and the speed are those of the rate
// estimate, data/RateEstimate.h):
// - Samples whose time or altitude is not a number (NaN or infinite) are left out and counted.
//   The others are taken in time order; those whose time lies below the one before are
//   counted. A set needs at least 3 samples for anything but the apogee.
// - Climb threshold: 5 altitude units and 10 noise widths, whichever is more.
// - Level: the altitude (spikes replaced) averaged over the samples within 0.1 s on either
//   side, at least a sample and its two neighbours.
// - A flight starts where the level stands more than the climb threshold above its lowest
//   point of the 10 seconds before. The search for the next flight starts at the landing of
//   the one before; a flight that does not land is the set's last. A set without a flight is
//   summed up as a whole: its ground level is the median altitude, launch, landing and flight
//   time are "not found: no climb above ground level".
// - Ground level: from the foot of the climb (the last sample before the start whose level is
//   no higher than half the climb threshold above that lowest point), the median altitude of
//   the 2 seconds before; then again for the 2 seconds up to the launch this gives. Those
//   samples are the ground when there are at least 3 and 9 in 10 of them lie within 4 noise
//   widths (and one altitude step) of their median.
// - Launch: the last sample up to the foot that is no higher than the ground level plus 2
//   noise widths. When the samples before the climb are not ground, the climb began at the
//   first sample only if it starts from rest there (its speed below 5 % of the fastest climb)
//   or the flight lands at that sample's altitude (no higher than the landing band above it,
//   no lower than a tenth of the height below it): that altitude is then the ground level, as
//   in a simulation that starts at lift-off. Otherwise the climb began before the recording:
//   no ground level and no launch.
// - Landing band: 3 noise widths (at least one altitude step) on either side of a level.
// - Landing: the first sample after the start from which the level stays for 3 seconds within
//   the landing band of its median over those seconds, that median lying below the highest
//   level so far by more than the climb threshold and more than half the height above ground.
//   When there is none, a recording that ends at ground level (its last altitude no higher
//   than the landing band above the ground level, and no lower than a tenth of the height
//   below it) lands at the first sample after the apogee from which the altitude stays no
//   higher than that. Otherwise "the recording stops in the air".
// - Apogee: the highest sample of the flight that is not a spike, and its time (the earliest
//   of equal samples).
// - Maximum climb: the highest speed from the launch (or the flight's first sample) to the
//   apogee; maximum descent: the fastest fall from the apogee to the landing (or the last
//   sample), given as a positive speed. Both with the time of their sample; where speeds tie
//   to within a millionth, the earliest. A set without a flight takes them over all samples.
// - Flight time: landing minus launch.
// - Triggers: the times of the set's trigger marks, when the set has triggers.
// - Climb marks: each stored mark's rate as the plot labels it, from the two raw samples.
#include "data/PlotDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace vemo {

// A figure of the summary: a value (and, for events, the time it happened), or the reason it
// could not be found.
struct Figure {
    std::optional<double> Value;
    double Time = 0.0;
    std::string Missing;
    bool Found() const { return Value.has_value(); }
};

struct ClimbMarkRate {
    double FirstTime = 0.0, SecondTime = 0.0; // as plotted
    std::optional<double> Rate;               // none when both samples have one time
};

// The figures of one flight; of the whole set when it holds no flight (Flew false).
struct FlightFigures {
    bool Flew = true;
    Figure Apogee; // altitude, Time = its time
    Figure GroundLevel;
    Figure Launch;     // Value = the launch time
    Figure Landing;    // Value = the landing time
    Figure FlightTime; // seconds
    Figure MaxClimb;   // units per second, Time = its time
    Figure MaxDescent; // units per second (positive), Time = its time
};

struct FlightSummary {
    int Samples = 0;    // samples in the store
    int NotNumbers = 0; // of those, left out because time or altitude is not a number
    int OutOfOrder = 0; // of the others, those whose time lies below the one before
    std::vector<FlightFigures> Flights; // in time order; always at least one
    std::vector<double> Triggers;       // times as plotted
    std::vector<ClimbMarkRate> ClimbMarks;
};

namespace summary_rules {
constexpr int MinSamples = 3;
constexpr double MinClimb = 5.0;         // altitude units
constexpr double NoiseFactor = 10.0;     // a climb stands this many noise widths high...
constexpr double LevelSeconds = 0.1;     // the level: a mean over this on either side
constexpr double RiseSeconds = 10.0;     // ...above its lowest point of this many seconds before
constexpr double GroundSeconds = 2.0;    // before the climb's foot and before the launch
constexpr double GroundNoises = 4.0;     // the ground before a launch stays this close
constexpr double GroundShare = 0.9;      // for this share of its samples
constexpr double LaunchNoises = 2.0;     // above the ground level: the climb has begun
constexpr double LandingNoises = 3.0;    // the landing band, at least one altitude step
constexpr double LandingSeconds = 3.0;   // the altitude stays in the band this long
constexpr double BelowGroundShare = 0.1; // of the height: a last sample this far below lands
constexpr double RestShare = 0.05;       // of the fastest climb: a climb starting from rest
} // namespace summary_rules

// The summary of an altitude Signal (with its TriggerSignal, when it has one).
FlightSummary SummariseFlight(const Signal& alt);

} // namespace vemo
