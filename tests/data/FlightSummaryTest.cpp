// The flight summary on noisy synthetic flights with known answers, and on awkward sets.
#include "data/FlightSummary.h"
#include "data/SummaryText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace vemo;

namespace {

// A phase of flight: the vertical speed goes linearly from V0 to V1 over Seconds.
struct Phase {
    double Seconds, V0, V1;
};

struct Synthetic {
    const char* Name;
    std::vector<Phase> Phases; // the first one is the wait on the ground, the last the rest after
    double Step, Noise;        // seconds; altitude units (normal noise, seeded)
    bool Whole;                // the altitude is rounded to whole units, as the module records
    // Seconds; units/s: 8 to 15 % of the rate plus four times the noise of a windowed slope.
    double LaunchTolerance, LandingTolerance, ClimbTolerance, DescentTolerance;
};

// clang-format off
const Synthetic Flights[] = {
    // A rocket on a ballistic coast after a 2 s burn, down under one parachute; metres.
    {"ballistic climb", {{4, 0, 0}, {2, 0, 120}, {120 / 9.81, 120, 0},
                         {(120 + 60 * 120 / 9.81) / 8, -8, -8}, {15, 0, 0}},
     0.1, 0.3, false, 0.3, 0.8, 13.4, 4.4},
    // Feet, recorded in whole feet at 20 samples a second: drogue to 500 ft, then the main.
    {"two-stage descent", {{5, 0, 0}, {1.5, 0, 450}, {11.25, 450, 0}, {2368.75 / 80, -80, -80},
                           {500.0 / 18, -18, -18}, {20, 0, 0}},
     0.05, 1.0, true, 0.3, 0.5, 53, 16},
    // A winch launch, a glide, a thermal to the top of the flight, a long glide home; metres.
    {"glider thermal", {{10, 0, 0}, {1, 0, 4}, {11, 4, 4}, {1, 4, -0.8}, {30, -0.8, -0.8},
                        {60, 1.5, 1.5}, {113.6 / 0.8, -0.8, -0.8}, {20, 0, 0}},
     0.25, 0.03, false, 0.5, 1.25, 0.94, 0.46},
};
// clang-format on

// Samples the flight with seeded noise into alt; the true launch, landing and rates.
struct Truth {
    double Launch, Landing, MaxClimb, MaxDescent;
};

Truth Fly(const Synthetic& f, unsigned seed, Signal& alt) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, f.Noise);
    Truth truth{f.Phases.front().Seconds, 0, 0, 0};
    double end = 0;
    for (const Phase& p : f.Phases) {
        end += p.Seconds;
        truth.MaxClimb = std::max({truth.MaxClimb, p.V0, p.V1});
        truth.MaxDescent = std::max({truth.MaxDescent, -p.V0, -p.V1});
    }
    truth.Landing = end - f.Phases.back().Seconds;
    alt.Samples.Clear();
    for (int i = 0; i * f.Step <= end; ++i) {
        const double t = i * f.Step;
        double h = 0, start = 0;
        for (const Phase& p : f.Phases) {
            const double s = std::clamp(t - start, 0.0, p.Seconds);
            h += p.V0 * s + (p.V1 - p.V0) * s * s / (2 * p.Seconds);
            start += p.Seconds;
        }
        h += noise(random);
        alt.Samples.Append(t, f.Whole ? std::round(h) : h);
    }
    return truth;
}

} // namespace

TEST(FlightSummary, SyntheticFlightsGiveTheirKnownAnswers) {
    for (const Synthetic& f : Flights)
        for (unsigned seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(std::string(f.Name) + ", seed " + std::to_string(seed));
            Signal alt(true);
            const Truth truth = Fly(f, seed, alt);
            const FlightSummary s = SummariseFlight(alt);
            const auto& a = alt.Samples.Alt;
            const auto top =
                static_cast<std::size_t>(std::max_element(a.begin(), a.end()) - a.begin());
            ASSERT_TRUE(s.Apogee.Found() && s.Launch.Found() && s.Landing.Found())
                << s.Launch.Missing << s.Landing.Missing;
            EXPECT_EQ(*s.Apogee.Value, a[top]);
            EXPECT_EQ(s.Apogee.Time, alt.Samples.Time[top]);
            EXPECT_NEAR(*s.Launch.Value, truth.Launch, f.LaunchTolerance);
            EXPECT_NEAR(*s.Landing.Value, truth.Landing, f.LandingTolerance);
            EXPECT_DOUBLE_EQ(*s.FlightTime.Value, *s.Landing.Value - *s.Launch.Value);
            EXPECT_NEAR(*s.GroundLevel.Value, 0.0, 3 * f.Noise + 0.5);
            EXPECT_NEAR(*s.MaxClimb.Value, truth.MaxClimb, f.ClimbTolerance);
            EXPECT_NEAR(*s.MaxDescent.Value, truth.MaxDescent, f.DescentTolerance);
        }
}

TEST(FlightSummary, SetsThatCannotGiveEveryFigureSayWhy) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<std::pair<double, double>> flat, high, nanFlight, late;
    for (int i = 0; i < 40; ++i) // switched on in the air, down, then a flight to 1000
        late.push_back(
            {i, i < 3 ? 300 - i * 100.0 : std::max(0.0, 1000 - std::abs(i - 19) * 100.0)});
    for (int i = 0; i < 100; ++i) {
        flat.push_back({i * 0.1, 100 + (i % 3) * 0.5});       // still on the pad
        high.push_back({i * 0.1, i < 50 ? i * 10.0 : 500.0}); // climbs, stays up
    }
    for (int i = 0; i < 60; ++i)
        nanFlight.push_back({i * 0.5, i < 10 || i > 50 ? 0.0 : 200 - std::abs(i - 30) * 10.0});
    nanFlight[20].second = nan; // a sample that is not a number, one with no time (the
    nanFlight[30].first = nan;  // apogee's) and one infinitely high
    nanFlight[31].second = std::numeric_limits<double>::infinity();
    const char *none = "no samples", *few = "fewer than 3 samples",
               *noNumber = "no samples that are numbers", *noClimb = "no climb above ground level";
    const struct {
        std::vector<std::pair<double, double>> Samples;
        std::optional<double> Apogee;
        const char *Launch, *Landing; // the reasons given, "" when found
        int NotNumbers;
    } cases[] = {
        {{}, std::nullopt, none, none, 0},
        {{{2, 7}}, 7, few, few, 0},
        {{{nan, 1}, {2, nan}}, std::nullopt, noNumber, noNumber, 2},
        {flat, 101, noClimb, noClimb, 0},
        {high, 500, "", "never returns to ground level", 0},
        {late, 1000, "the climb began before the recording", "", 0},
        {nanFlight, 190, "", "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Launch + std::string(" / ") + c.Landing);
        Signal alt(true);
        alt.Samples.Clear();
        for (const auto& [t, a] : c.Samples)
            alt.Samples.Append(t, a);
        const FlightSummary s = SummariseFlight(alt);
        EXPECT_EQ(s.NotNumbers, c.NotNumbers);
        EXPECT_EQ(s.Apogee.Value, c.Apogee);
        EXPECT_EQ(s.Launch.Missing, c.Launch);
        EXPECT_EQ(s.Landing.Missing, c.Landing);
        // A figure is either a number or a reason, never both and never neither.
        for (const Figure* f : {&s.Apogee, &s.GroundLevel, &s.Launch, &s.Landing, &s.FlightTime,
                                &s.MaxClimb, &s.MaxDescent})
            EXPECT_NE(f->Found(), !f->Missing.empty());
        if (s.Launch.Found() && s.Landing.Found()) {
            EXPECT_NEAR(*s.Launch.Value, 4.5, 0.51); // the climb starts after sample 10
            EXPECT_NEAR(*s.Landing.Value, 25.0, 0.51);
        }
    }
}

TEST(FlightSummary, FiguresAreAsPlottedAndMarksAsLabelled) {
    Signal alt(true);
    Signal trig(false);
    alt.TriggerSignal = &trig;
    alt.Samples.Clear();
    for (int i = 0; i <= 40; ++i)
        alt.Samples.Append(i, i < 10 || i > 30 ? 0 : 100 - std::abs(i - 20) * 10.0);
    alt.TimeOffset = 100;
    alt.TimeScale = 0.5;
    alt.AltScale = 2;
    alt.AltOffset = 5;
    alt.ClimbMarks[3] = {10, 20, 1};
    alt.ClimbMarks[4] = {7, 7, 1};   // one time: no rate
    alt.ClimbMarks[5] = {7, 500, 1}; // a sample the set no longer has
    trig.Samples.Append(20, 0);
    trig.TimeOffset = 1;

    FlightSummary s = SummariseFlight(alt);
    EXPECT_EQ(*s.Apogee.Value, 205);
    EXPECT_EQ(s.Apogee.Time, 110);
    EXPECT_NEAR(*s.MaxClimb.Value, 40, 1e-9); // 20 units a sample, two samples a second
    ASSERT_EQ(s.ClimbMarks.size(), 2u);
    EXPECT_EQ(*s.ClimbMarks[0].Rate, 10); // the raw samples, as the plot's label says
    EXPECT_EQ(s.ClimbMarks[0].FirstTime, 105);
    EXPECT_FALSE(s.ClimbMarks[1].Rate.has_value());
    EXPECT_EQ(s.Triggers, std::vector<double>{21});

    trig.Visible = 0; // a set without triggers lists none, whatever its store holds
    s = SummariseFlight(alt);
    EXPECT_TRUE(s.Triggers.empty());
    const std::string block = SummaryBlock(s, UnitNameOfLabel("Altitude (Meters)"));
    // The other lines are checked through vemo-cli summary.
    EXPECT_NE(block.find("Climb marks:   10.00 Meters/s from 105.00 s to 110.00 s\n"
                         "               no rate (one time) from 103.50 s to 103.50 s\n"),
              std::string::npos)
        << block;
    EXPECT_EQ(UnitNameOfLabel("Height"), "units");
}

// Under a parachute the rate holds for a long stretch; rounding must not pick its time, or the
// dialog and a saved file's summary disagree: the first sample of the stretch counts.
TEST(FlightSummary, ASteadyDescentIsTimedFromItsStart) {
    Signal alt(true);
    alt.Samples.Clear();
    for (int i = 0; i <= 300; ++i) {
        const double t = i * 0.1; // not exact in binary: the slopes differ in their last bits
        alt.Samples.Append(t, i < 20 ? 0 : i < 50 ? (i - 20) * 10.0 : 300 - (i - 50) * 0.7);
    }
    const FlightSummary s = SummariseFlight(alt);
    ASSERT_TRUE(s.MaxDescent.Value.has_value());
    EXPECT_NEAR(*s.MaxDescent.Value, 7, 1e-6);
    EXPECT_NEAR(s.MaxDescent.Time, 5.2, 1e-9); // the first window (±0.2 s) wholly in the descent
}
