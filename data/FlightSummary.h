#pragma once
// The few numbers a flier wants first: how high, when, how fast up and down, how long. They
// are computed from a data set's altitude samples as the plot draws them (each Signal's time
// and altitude scale and offset applied), and every figure the samples cannot give is left
// out with the reason, never guessed.
//
// The rules (the manual quotes them):
// - Samples whose time or altitude is not a number (NaN or infinite) are left out and counted.
//   The others are taken in time order.
// - Apogee: the highest sample and its time (the earliest of equal highest samples).
// - Ground level: the median altitude of the samples in the first second of the recording, or
//   of the first 10 samples when those are more; but these end before the first sample that
//   stands above the first sample by more than 5 altitude units and more than a tenth
//   of the rise from the first sample to the apogee (the climb has begun).
// - A set needs at least 3 samples for anything but the apogee.
// - Climb rate at a sample: the least-squares slope of the altitude over the samples within a
//   quarter of a second on either side of it (a half-second window), never fewer than the
//   sample and its two neighbours, nor more than 256 samples on either side. The first and the
//   last sample have no rate. Maximum climb rate: the highest of these slopes; maximum descent
//   rate: the steepest negative slope, given as a positive speed. Both with the time of the
//   sample they are centred on; where slopes tie to within a millionth, the earliest.
// - Height: apogee minus ground level. Ground noise: the median absolute deviation of the
//   ground samples from ground level, times 1.4826 (the standard deviation of normal noise).
//   The set has a climb only when its height is more than 5 altitude units and more
//   than ten times the ground noise.
// - Landing band: ground level plus or minus a tenth of the height.
// - Launch: from the first sample more than a tenth of the height above ground level, go back
//   to the last sample whose climb rate is below 5 % of the maximum climb rate reached up to
//   apogee; launch is that sample's time. When there is none and the first sample lies in the
//   landing band, the climb started at once: launch is the first sample's time. Otherwise the
//   climb began before the recording and there is no launch.
// - Landing: once the altitude has entered the landing band for good after apogee, the first
//   sample whose descent rate is below 5 % of the maximum descent rate after apogee; when
//   there is none, the last sample (the recording stopped just before touch-down). A set whose
//   last sample lies outside the landing band never lands.
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

struct FlightSummary {
    int Samples = 0;    // samples in the store
    int NotNumbers = 0; // of those, left out because time or altitude is not a number
    Figure Apogee;      // altitude, Time = its time
    Figure GroundLevel;
    Figure Launch;                // Value = the launch time
    Figure Landing;               // Value = the landing time
    Figure FlightTime;            // seconds
    Figure MaxClimb;              // units per second, Time = its time
    Figure MaxDescent;            // units per second (positive), Time = its time
    std::vector<double> Triggers; // times as plotted
    std::vector<ClimbMarkRate> ClimbMarks;
};

namespace summary_rules {
constexpr double RateHalfWindow = 0.25; // seconds on either side of a sample
constexpr double GroundSeconds = 1.0;   // the first second of the recording...
constexpr int GroundSamples = 10;       // ...or the first 10 samples, whichever holds more
constexpr double MinClimb = 5.0;        // altitude units
constexpr double NoiseFactor = 10.0;    // a climb stands this many ground noises high
constexpr double AirborneShare = 0.1;   // of the height: airborne, and the landing band
constexpr double RateShare = 0.05;      // of the maximum rate: launch and landing
constexpr int MinSamples = 3;
constexpr std::size_t MaxWindowSide = 256; // samples on either side of a rate's centre
} // namespace summary_rules

// The summary of an altitude Signal (with its TriggerSignal, when it has one).
FlightSummary SummariseFlight(const Signal& alt);

} // namespace vemo
