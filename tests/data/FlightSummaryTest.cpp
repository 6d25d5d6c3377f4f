// The flight summary on generated flights with a known truth and the artefacts of real
// recordings, and on awkward sets.
#include "data/FlightSummary.h"
#include "data/RateEstimate.h"
#include "data/SummaryText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace vemo;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A phase of flight: the vertical speed goes linearly from V0 to V1 over Seconds.
struct Phase {
    double Seconds, V0, V1;
};

// One flight: the wait on the pad first, the rest on the ground last.
struct Flight {
    std::vector<Phase> Phases;
    double MainOpens = NaN; // seconds after the flight's start; an ejection spike there
    double BurnOut = NaN;   // the fastest climb; a transonic dip just before it
};

// A rocket: the motor burns to Climb, gravity and drag take it at Decel to apogee, it falls
// under the drogue (none when 0) to MainAt, then under the main. Units and seconds.
Flight Rocket(double pad, double burn, double climb, double decel, double drogue, double mainAt,
              double main, double ground) {
    Flight f;
    const double top = climb * burn / 2 + climb * climb / (2 * decel);
    f.BurnOut = pad + burn;
    f.Phases = {{pad, 0, 0}, {burn, 0, climb}, {climb / decel, climb, 0}};
    double at = top, t = f.BurnOut + climb / decel;
    if (drogue > 0) {
        f.Phases.push_back({1, 0, -drogue});
        f.Phases.push_back({(top - drogue / 2 - mainAt) / drogue, -drogue, -drogue});
        t += 1 + f.Phases.back().Seconds;
        at = mainAt;
    }
    f.MainOpens = t;
    f.Phases.push_back({1, -drogue, -main});
    f.Phases.push_back({(at - (drogue + main) / 2) / main, -main, -main});
    f.Phases.push_back({ground, 0, 0});
    return f;
}

// A recording of flights one after another, with the artefacts of real ones.
struct Recording {
    const char* Name;
    std::vector<Flight> Flights;
    double Rate, Noise, Step;  // samples a second; normal noise; rounding step (0: none)
    double Spike = 0;          // ejection spikes at apogee and main: up by this over 3 samples
    double Dip = 0;            // the transonic dip before burn-out: down by this over 0.1 s
    double Outlier = 0;        // single samples this far up on the pad, down on the descent,
                               // and up after landing
    double From = 0, To = 1e9; // the part recorded, seconds
    double Drift = 0;          // the weather's daily swing
    double Samples = 0;        // on the ground only: this many
};

struct Truth {
    double Launch, Landing, MaxClimb, MaxDescent; // NaN: not recorded
    double HighestSample = -1e300;
};

double Altitude(const std::vector<Phase>& phases, double t) {
    double h = 0, start = 0;
    for (const Phase& p : phases) {
        const double s = std::clamp(t - start, 0.0, p.Seconds);
        if (s > 0) h += p.V0 * s + (p.V1 - p.V0) * s * s / (2 * p.Seconds);
        start += p.Seconds;
    }
    return h;
}

double Duration(const Flight& f) {
    double d = 0;
    for (const Phase& p : f.Phases)
        d += p.Seconds;
    return d;
}

// Samples the recording into alt (seeded noise); the truth of each flight.
std::vector<Truth> Record(const Recording& r, unsigned seed, Signal& alt) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, r.Noise);
    std::vector<Truth> truths;
    std::vector<double> starts;
    double end = 0;
    for (const Flight& f : r.Flights) {
        starts.push_back(end);
        const double touch = end + Duration(f) - f.Phases.back().Seconds;
        Truth t{end + f.Phases[0].Seconds, touch, 0, 0};
        for (const Phase& p : f.Phases) {
            t.MaxClimb = std::max({t.MaxClimb, p.V0, p.V1});
            t.MaxDescent = std::max({t.MaxDescent, -p.V0, -p.V1});
        }
        if (r.From > t.Launch) t.Launch = NaN;
        if (r.From > end + f.BurnOut) // starts in the coast: the speed then is the fastest
            t.MaxClimb -= (r.From - end - f.BurnOut) * f.Phases[1].V1 / f.Phases[2].Seconds;
        if (r.To < touch) t.Landing = NaN;
        truths.push_back(t);
        end += Duration(f);
    }
    alt.Samples.Clear();
    const double samples = r.Samples > 0 ? r.Samples : (std::min(end, r.To) - r.From) * r.Rate + 1;
    std::vector<double> time, height;
    for (int i = 0; i < samples; ++i) {
        const double t = r.From + i / r.Rate;
        double h = r.Drift * std::sin(t * 2 * 3.14159265 / 86400) + noise(random);
        for (std::size_t k = 0; k < r.Flights.size(); ++k) {
            const Flight& f = r.Flights[k];
            const double s = t - starts[k];
            h += Altitude(f.Phases, s);
            if (const double d = s - (f.BurnOut - 0.15); r.Dip > 0 && d > 0 && d < 0.1)
                h -= r.Dip * std::pow(std::sin(3.14159265 * d / 0.1), 2);
        }
        time.push_back(t);
        height.push_back(r.Step > 0 ? std::round(h / r.Step) * r.Step : h);
    }
    const auto sampleAt = [&](double t) {
        return static_cast<std::size_t>(std::clamp((t - r.From) * r.Rate, 0.0, samples - 1));
    };
    std::vector<bool> artefact(height.size(), false);
    const auto spoil = [&](double t, double by, int count) {
        if (t < r.From || t > std::min(end, r.To) || by == 0) return;
        for (int j = 0; j < count; ++j) {
            const std::size_t i = sampleAt(t) + static_cast<std::size_t>(j);
            if (i >= height.size()) return;
            height[i] += by * (count == 3 && j != 1 ? 0.5 : 1.0);
            artefact[i] = true;
        }
    };
    for (std::size_t k = 0; k < r.Flights.size(); ++k) {
        const Flight& f = r.Flights[k];
        const Truth& t = truths[k];
        double apogee = starts[k];
        for (double s = starts[k]; r.Spike > 0 && s < starts[k] + Duration(f); s += 0.01)
            if (Altitude(f.Phases, s - starts[k]) > Altitude(f.Phases, apogee - starts[k]))
                apogee = s;
        spoil(apogee, r.Spike, 3);
        spoil(starts[k] + f.MainOpens, r.Spike, 3);
        spoil(starts[k] + f.Phases[0].Seconds / 3, r.Outlier, 1);
        spoil((t.Landing + starts[k] + f.MainOpens) / 2, -r.Outlier, 1);
        spoil(starts[k] + Duration(f) - f.Phases.back().Seconds / 2, r.Outlier, 1);
    }
    for (std::size_t i = 0; i < height.size(); ++i) {
        alt.Samples.Append(time[i], height[i]);
        for (std::size_t k = 0; k < truths.size(); ++k)
            if (!artefact[i] && time[i] >= starts[k] &&
                time[i] < starts[k] + Duration(r.Flights[k]))
                truths[k].HighestSample = std::max(truths[k].HighestSample, height[i]);
    }
    return truths;
}

// clang-format off
const Recording Recordings[] = {
    // A rocket on a ballistic coast after a 2 s burn, down under one parachute; metres.
    {"ballistic climb", {{{{4, 0, 0}, {2, 0, 120}, {120 / 9.81, 120, 0},
                           {(120 + 60 * 120 / 9.81) / 8, -8, -8}, {15, 0, 0}}}}, 10, 0.3, 0},
    // Feet, recorded in whole feet at 20 samples a second: drogue to 500 ft, then the main.
    {"two-stage descent", {{{{5, 0, 0}, {1.5, 0, 450}, {11.25, 450, 0}, {2368.75 / 80, -80, -80},
                             {500.0 / 18, -18, -18}, {20, 0, 0}}}}, 20, 1.0, 1},
    // A winch launch, a glide, a thermal to the top of the flight, a long glide home; metres.
    {"glider thermal", {{{{10, 0, 0}, {1, 0, 4}, {11, 4, 4}, {1, 4, -0.8}, {30, -0.8, -0.8},
                          {60, 1.5, 1.5}, {113.6 / 0.8, -0.8, -0.8}, {20, 0, 0}}}}, 4, 0.03, 0},
    // Like the 16,000 samples in feet: Mach 1 passed, a spike as the main opens 1100 ft up.
    {"high-power, feet", {Rocket(54, 1.5, 1176, 60, 109, 1100, 22, 90)}, 50, 1.5, 1, 177, 150},
    // Like the 5,000 samples in metres, ending 215 m up under the main.
    {"ends in the air", {Rocket(10, 1, 348, 35, 31, 400, 6, 0)}, 50, 0.5, 0.1, 54, 70, 0, 0, 98.7},
    // A wild sample on the pad, one on a slow descent under one parachute, one after landing.
    {"pad outliers", {Rocket(30, 1.2, 500, 40, 0, 0, 15, 30)}, 20, 1.5, 1, 0, 0, 25},
    {"starts in the climb", {Rocket(5, 1.5, 1000, 40, 90, 800, 20, 30)}, 20, 1, 1, 0, 0, 0, 10},
    {"two flights", {Rocket(20, 1, 400, 32, 60, 300, 18, 120), Rocket(60, 1.2, 500, 32, 70, 300,
     20, 60)}, 10, 1, 1, 100, 0, 20},
    {"simulation from lift-off", {Rocket(0, 1.2, 320, 32.2, 70, 500, 17, 0)}, 100, 0, 0.001},
    // 18 hours on a hill top: weather drift only.
    {"ground with drift", {{{{1e5, 0, 0}}}}, 1, 1.3, 1, 0, 0, 0, 0, 1e9, 50, 65535},
};
// clang-format on

} // namespace

// Each recording's flights are found with their known launch, landing and speeds.
TEST(FlightSummary, GeneratedFlightsGiveTheirKnownTruth) {
    for (const Recording& r : Recordings)
        for (unsigned seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(std::string(r.Name) + ", seed " + std::to_string(seed));
            Signal alt(true);
            const std::vector<Truth> truths = Record(r, seed, alt);
            const FlightSummary s = SummariseFlight(alt);
            if (r.Samples > 0) { // on the ground only
                ASSERT_EQ(s.Flights.size(), 1u);
                EXPECT_FALSE(s.Flights[0].Flew);
                EXPECT_EQ(s.Flights[0].Launch.Missing, "no climb above ground level");
                continue;
            }
            ASSERT_EQ(s.Flights.size(), truths.size());
            for (std::size_t k = 0; k < truths.size(); ++k) {
                const Truth& t = truths[k];
                const FlightFigures& f = s.Flights[k];
                SCOPED_TRACE("flight " + std::to_string(k + 1));
                EXPECT_EQ(f.Apogee.Value, t.HighestSample);
                if (std::isnan(t.Launch)) {
                    EXPECT_EQ(f.Launch.Missing, "the climb began before the recording");
                    EXPECT_FALSE(f.GroundLevel.Found());
                } else {
                    ASSERT_TRUE(f.Launch.Found() && f.GroundLevel.Found()) << f.Launch.Missing;
                    EXPECT_NEAR(*f.Launch.Value, t.Launch, 0.3);
                    EXPECT_NEAR(*f.GroundLevel.Value, 0.0, 3 * r.Noise + r.Step);
                }
                if (std::isnan(t.Landing)) {
                    EXPECT_EQ(f.Landing.Missing, "the recording stops in the air");
                } else {
                    ASSERT_TRUE(f.Landing.Found()) << f.Landing.Missing;
                    EXPECT_NEAR(*f.Landing.Value, t.Landing, 2.0);
                }
                if (f.FlightTime.Found()) {
                    EXPECT_NEAR(*f.FlightTime.Value, t.Landing - t.Launch, 2.0);
                }
                EXPECT_NE(f.FlightTime.Found(), std::isnan(t.Landing - t.Launch));
                ASSERT_TRUE(f.MaxClimb.Found() && f.MaxDescent.Found());
                EXPECT_NEAR(*f.MaxClimb.Value, t.MaxClimb, 0.03 * t.MaxClimb);
                EXPECT_NEAR(*f.MaxDescent.Value, t.MaxDescent, 0.1 * t.MaxDescent);
            }
        }
}

// A set of two flights: each under its own heading in the block, each a row of the logbook.
TEST(FlightSummary, EachFlightHasItsHeadingAndItsLogbookRow) {
    Signal alt(true);
    alt.Name = "Day";
    Record(*std::find_if(std::begin(Recordings), std::end(Recordings),
                         [](const Recording& r) { return r.Flights.size() == 2; }),
           1, alt);
    const FlightSummary s = SummariseFlight(alt);
    const std::string block = SummaryBlock(s, "feet");
    const std::size_t first = block.find("\nFlight 1 of 2\nApogee:"),
                      second = block.find("\nFlight 2 of 2\nApogee:");
    EXPECT_LT(first, second);
    EXPECT_LT(second, block.find("\nTriggers:")) << block;
    const std::string rows = LogbookRows("day.csv", alt, s, "feet");
    EXPECT_EQ(rows.find("day.csv,Day,1,,"), 0u) << rows;
    EXPECT_NE(rows.find("\nday.csv,Day,2,,"), std::string::npos) << rows;
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2);

    Signal ground(true); // no flight: one row, its flight number empty
    ground.Samples.Clear();
    for (int i = 0; i < 100; ++i)
        ground.Samples.Append(i, i % 2);
    EXPECT_EQ(LogbookRows("g.csv", ground, SummariseFlight(ground), "feet").rfind("g.csv,,,,"), 0u);
}

TEST(FlightSummary, SetsThatCannotGiveEveryFigureSayWhy) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<std::pair<double, double>> flat, high, nanFlight, late;
    for (int i = 0; i < 40; ++i) // switched on in the air, down, then a flight to 1000 at 9 s
        late.push_back(
            {i, i < 3 ? 300 - i * 100.0 : std::max(0.0, 1000 - std::abs(i - 19) * 100.0)});
    for (int i = 0; i < 100; ++i) {
        flat.push_back({i * 0.1, 100 + (i % 3) * 0.5});       // still on the pad
        high.push_back({i * 0.1, i < 50 ? i * 10.0 : 500.0}); // climbing at once, stays up
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
        const char *Launch, *Landing; // the reasons given, "" when found...
        int NotNumbers;
        double LaunchAt = 0, LandingAt = 0; // ...at these times
    } cases[] = {
        {{}, std::nullopt, none, none, 0},
        {{{2, 7}}, 7, few, few, 0},
        {{{nan, 1}, {2, nan}}, std::nullopt, noNumber, noNumber, 2},
        {flat, 101, noClimb, noClimb, 0},
        {high, 500, "the climb began before the recording", "the recording stops in the air", 0},
        {late, 1000, "", "", 0, 9, 29},
        {nanFlight, 190, "", "", 3, 5, 25}, // the climb starts after sample 10
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Launch + std::string(" / ") + c.Landing);
        Signal alt(true);
        alt.Samples.Clear();
        for (const auto& [t, a] : c.Samples)
            alt.Samples.Append(t, a);
        const FlightSummary summary = SummariseFlight(alt);
        EXPECT_EQ(summary.NotNumbers, c.NotNumbers);
        ASSERT_EQ(summary.Flights.size(), 1u);
        const FlightFigures& s = summary.Flights[0];
        EXPECT_EQ(s.Apogee.Value, c.Apogee);
        EXPECT_EQ(s.Launch.Missing, c.Launch);
        EXPECT_EQ(s.Landing.Missing, c.Landing);
        // A figure is either a number or a reason, never both and never neither.
        for (const Figure* f : {&s.Apogee, &s.GroundLevel, &s.Launch, &s.Landing, &s.FlightTime,
                                &s.MaxClimb, &s.MaxDescent})
            EXPECT_NE(f->Found(), !f->Missing.empty());
        if (s.Launch.Found() && s.Landing.Found()) { // within a sample
            const double step = c.Samples[1].first - c.Samples[0].first + 0.01;
            EXPECT_NEAR(*s.Launch.Value, c.LaunchAt, step);
            EXPECT_NEAR(*s.Landing.Value, c.LandingAt, step);
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
    EXPECT_EQ(*s.Flights[0].Apogee.Value, 205);
    EXPECT_EQ(s.Flights[0].Apogee.Time, 110);
    EXPECT_NEAR(*s.Flights[0].MaxClimb.Value, 40, 1e-9); // 20 units a sample, two a second
    ASSERT_EQ(s.ClimbMarks.size(), 2u);
    EXPECT_EQ(*s.ClimbMarks[0].Rate, 10); // the raw samples, as the plot's label says
    EXPECT_EQ(s.ClimbMarks[0].FirstTime, 105);
    EXPECT_FALSE(s.ClimbMarks[1].Rate.has_value());
    EXPECT_EQ(s.Triggers, std::vector<double>{21});

    trig.Visible = 0; // a set without triggers lists none, whatever its store holds
    s = SummariseFlight(alt);
    EXPECT_TRUE(s.Triggers.empty());
    const std::string block = SummaryBlock(s, UnitWord(UnitOfLabel("Altitude (Meters)")));
    // The other lines are checked through vemo-cli summary.
    EXPECT_NE(block.find("Climb marks:   10.00 meters/s from 105.00 s to 110.00 s\n"
                         "               no rate (one time) from 103.50 s to 103.50 s\n"),
              std::string::npos)
        << block;
    EXPECT_EQ(UnitOfLabel("Height"), UnitNone);
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
    const Figure descent = SummariseFlight(alt).Flights[0].MaxDescent;
    ASSERT_TRUE(descent.Value.has_value());
    EXPECT_NEAR(*descent.Value, 7, 1e-6);
    EXPECT_NEAR(descent.Time, 6.6, 1e-9); // the first window (±16 samples) wholly in the descent
}

// The speed the plot can draw beside the altitude: one for each stored sample, as plotted.
TEST(FlightSummary, VerticalSpeedsFollowTheStoreAsPlotted) {
    Signal alt(true);
    alt.Samples.Clear();
    for (int i = 0; i < 200; ++i)
        alt.Samples.Append(i, 3.0 * i);
    alt.Samples.SetAlt(50, NaN);
    alt.Samples.SetAlt(120, alt.Samples.Alt[120] + 500); // a spike makes no speed
    alt.TimeScale = 0.1;
    alt.AltScale = 2;
    const std::vector<double> speed = VerticalSpeeds(alt);
    ASSERT_EQ(speed.size(), 200u);
    EXPECT_TRUE(std::isnan(speed[50]));
    for (std::size_t i : {0, 49, 51, 119, 120, 199})
        EXPECT_NEAR(speed[i], 60, 1e-6) << i;
}
