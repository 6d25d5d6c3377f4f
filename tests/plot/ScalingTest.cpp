#include "plot/Scaling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace vemo;

namespace {

// A document whose only data set holds the given times and altitudes.
void Fill(PlotDocument& doc, const std::vector<double>& times, const std::vector<double>& alts) {
    doc.Clear();
    Signal* s = doc.CreateDataSet();
    s->Samples.Clear();
    for (std::size_t i = 0; i < times.size(); ++i)
        s->Samples.Append(times[i], alts[i]);
}

std::pair<double, double> AltRangeOf(const std::vector<double>& alts) {
    PlotDocument doc;
    Fill(doc, std::vector<double>(alts.size(), 0.0), alts);
    AutoRangeAlt(doc);
    return {doc.AltMin, doc.AltMax};
}

std::vector<std::string> Labels(const TickLayout& t) {
    std::vector<std::string> out;
    int n = 0;
    for (double v = t.First; v <= t.Last && n < MaxTicks; v += t.Step, ++n) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", t.Decimals, v);
        out.push_back(buf);
    }
    return out;
}

} // namespace

TEST(AutoRange, ExamplesOfTheRangeRules) {
    // The last six: a negative minimum goes down to a tenth of the unit; no sample lies below.
    struct Case {
        std::vector<double> alts;
        double min, max;
    } cases[] = {
        {{0.0, 57.3}, 0, 60},     {{0, 100}, 0, 200},         {{9, 20}, 0, 30},
        {{12, 13.5}, 12, 14},     {{5, 5, 5}, 5, 7},          {{0.2, 0.7}, 0, 1},
        {{-3, 412}, -10, 490},    {{-150, 2000}, -200, 2800}, {{-2000, -150}, -2000, 0},
        {{-0.5, 0.5}, -0.5, 1.5}, {{-2, 2000}, -100, 2900},   {{-6.9, 13000}, -1000, 19000}};
    for (const auto& c : cases) {
        auto [lo, hi] = AltRangeOf(c.alts);
        EXPECT_EQ(lo, c.min) << c.alts.front() << ".." << c.alts.back();
        EXPECT_EQ(hi, c.max) << c.alts.front() << ".." << c.alts.back();
    }
    // A minimum moved toward zero is +0, never -0 (which would print as "-0.0").
    auto [lo, hi] = AltRangeOf({-0.0, 412});
    EXPECT_FALSE(std::signbit(lo));
}

TEST(AutoRange, TimeAxisSetsHomeRangeAndIgnoresTriggerSignalsAndScales) {
    PlotDocument doc;
    Fill(doc, {0.0, 57.3}, {1, 2});
    doc.AltSignal(0)->TimeScale = 10.0; // raw samples only
    doc.AltSignal(0)->TimeOffset = 1000.0;
    doc.TrigSignal(0)->Samples.Append(500.0, 1.0); // odd positions are not looked at
    doc.AltSignal(0)->Visible = 0;                 // nor does visibility matter
    HomeRange = AxisRanges{};
    HomeRange.AltMin = -7;
    AutoRangeTime(doc);
    EXPECT_EQ(doc.TimeMin, 0.0);
    EXPECT_EQ(doc.TimeMax, 60.0);
    EXPECT_EQ(HomeRange.TimeMin, 0.0);
    EXPECT_EQ(HomeRange.TimeMax, 60.0);
    EXPECT_EQ(HomeRange.AltMin, -7.0); // the other axis half is left alone
}

TEST(AutoRange, SamplesBeyondTheStartBoundsAndEmptyDocuments) {
    // Samples above 99999 never lower the start minimum.
    auto [lo, hi] = AltRangeOf({150000, 160000});
    EXPECT_EQ(lo, 90000);
    EXPECT_EQ(hi, 170000); // 90000 + 7 units reaches hi exactly, so one more unit

    // With no samples the range and HomeRange stay as they were.
    PlotDocument doc;
    doc.TimeMin = 3;
    doc.TimeMax = 4;
    HomeRange = AxisRanges{};
    AutoRangeTime(doc);
    AutoRangeAlt(doc);
    EXPECT_EQ(doc.TimeMin, 3.0);
    EXPECT_EQ(doc.TimeMax, 4.0);
    EXPECT_EQ(HomeRange.TimeMax, 20.0);
    Fill(doc, {}, {});
    AutoRangeTime(doc);
    EXPECT_EQ(doc.TimeMin, 3.0);
}

TEST(NiceTicks, StepsOfTheTextExamples) {
    struct Case {
        double range, step;
    } cases[] = {{20, 2},   {60, 6},    {7, 0.7},   {25, 2.5},    {130, 13},
                 {500, 50}, {1.5, 0.2}, {2.5, 0.2}, {0.15, 0.02}, {1, 0.1}};
    for (auto c : cases)
        EXPECT_NEAR(NiceTicks(0, c.range).Step, c.step, 1e-12) << c.range;

    EXPECT_NEAR(NiceTicks(0, 1.5).Last, 1.4, 1e-12);
    EXPECT_NEAR(NiceTicks(0, 2.5).Last, 2.4, 1e-12);
    EXPECT_NEAR(NiceTicks(0, 0.15).Last, 0.14, 1e-12);
}

TEST(NiceTicks, DecimalsFollowTheExtendedLogarithm) {
    EXPECT_EQ(NiceTicks(0, 20).Decimals, 1);  // step 2 -> "2.0"
    EXPECT_EQ(NiceTicks(0, 7).Decimals, 1);   // step 0.7
    EXPECT_EQ(NiceTicks(0, 100).Decimals, 0); // step 10
    EXPECT_EQ(NiceTicks(0, 500).Decimals, 0); // step 50
    EXPECT_EQ(NiceTicks(0, 1).Decimals, 1);   // step 0.1: log10 lies just above -1
    EXPECT_EQ(NiceTicks(0, 0.5).Decimals, 2); // step 0.05
    EXPECT_EQ(NiceTicks(0, 0.1).Decimals, 2); // step 0.01
}

TEST(NiceTicks, LabelsOfTheCommonRanges) {
    EXPECT_EQ(Labels(NiceTicks(0, 20)),
              (std::vector<std::string>{"0.0", "2.0", "4.0", "6.0", "8.0", "10.0", "12.0", "14.0",
                                        "16.0", "18.0", "20.0"}));
    // 0..57.3 auto-ranges to 0..60: ticks every 6 s, 0.0 .. 60.0.
    auto t = Labels(NiceTicks(0, 60));
    ASSERT_EQ(t.size(), 11u);
    EXPECT_EQ(t.front(), "0.0");
    EXPECT_EQ(t.back(), "60.0");
    // 0..500: every 50, no decimals.
    t = Labels(NiceTicks(0, 500));
    ASSERT_EQ(t.size(), 11u);
    EXPECT_EQ(t[1], "50");
    EXPECT_EQ(t.back(), "500");
    // 0..1: eleven ticks 0.0 .. 1.0; the last is the accumulated sum just below 1.
    const TickLayout one = NiceTicks(0, 1);
    EXPECT_LT(one.Last, 1.0);
    t = Labels(one);
    ASSERT_EQ(t.size(), 11u);
    EXPECT_EQ(t.back(), "1.0");
}

TEST(NiceTicks, TheTickAtTheViewsMaximumIsKept) {
    // The additions overshoot both maxima by a rounding error (5..7: constant data at 5).
    EXPECT_EQ(Labels(NiceTicks(12, 16)).back(), "16.0");
    EXPECT_EQ(Labels(NiceTicks(5, 7)).back(), "7.0");
}

TEST(NiceTicks, FirstTickIsTheSmallestMultipleNotBelowMin) {
    TickLayout t = NiceTicks(1, 2); // step 0.1; 1 / 0.1 truncates to 9
    EXPECT_NEAR(t.First, 1.0, 1e-12);
    EXPECT_GE(t.First, 1.0);
    t = NiceTicks(-3.5, 16.5); // step 2
    EXPECT_EQ(t.First, -2.0);
    EXPECT_EQ(t.Last, 16.0);
    // Equal or inverted limits use max = min + 1.
    t = NiceTicks(5, 5);
    EXPECT_NEAR(t.Step, 0.1, 1e-12);
    EXPECT_EQ(NiceTicks(5, 2).Step, t.Step);
}

TEST(NiceTicks, StepDividesTheExactSpanInExtendedPrecision) {
    // Independently: the base step, doubled while more than 12 fit into the long double span.
    auto expected = [](double min, double max) {
        const double f = (max - min) * 0.1;
        const double g = double(std::pow(10.0L, int(std::trunc(std::log10((long double)f))) - 1));
        double step = std::trunc(f / g) * g;
        while (std::trunc(((long double)max - (long double)min) / step) > 12)
            step *= 2;
        return step;
    };
    // The span rounded to double, 2.6, takes 12 steps of 0.2; the exact one takes 13.
    const TickLayout t = NiceTicks(-3.2, -0.6);
    EXPECT_NEAR(t.Step, 0.4, 1e-15);
    EXPECT_EQ(Labels(t).size(), 7u);
    // Ranges typed or auto-ranged with a few decimals, where the rounding of the span shows.
    std::mt19937_64 rng(15);
    std::uniform_int_distribution<int> digits(0, 3), whole(-5000, 5000), width(1, 3000);
    int differ = 0;
    for (int i = 0; i < 600000; ++i) {
        const double unit = std::pow(10.0, digits(rng));
        const int lo = whole(rng);
        const double min = lo / unit, max = (lo + width(rng)) / unit;
        differ += NiceTicks(min, max).Step != expected(min, max);
    }
    EXPECT_EQ(differ, 0);
}

TEST(NiceTicks, DegenerateRangesGiveNoTicksInsteadOfLooping) {
    for (auto [lo, hi] : {std::pair{1e17, 1e17 + 16}, std::pair{-1e308, 1e308},
                          std::pair{std::nan(""), 1.0}, std::pair{0.0, double(INFINITY)}}) {
        const TickLayout t = NiceTicks(lo, hi);
        EXPECT_LE(Labels(t).size(), std::size_t(MaxTicks)) << lo << " " << hi;
    }
    EXPECT_GT(NiceTicks(0.0, INFINITY).First, NiceTicks(0.0, INFINITY).Last);
}

TEST(Mapping, EdgesSentinelsAndClamping) {
    PlotDocument doc; // 0..20 on both axes
    const PlotRect area{105, 61, 642, 292};
    const int w = 642 - 105, h = 292 - 61;
    EXPECT_EQ(MapTimeToPixel(doc, area, 0.0), 0);
    EXPECT_EQ(MapTimeToPixel(doc, area, 20.0), w); // computed, not a sentinel
    EXPECT_EQ(MapTimeToPixel(doc, area, -0.001), -1);
    EXPECT_EQ(MapTimeToPixel(doc, area, 20.001), 9999);
    EXPECT_EQ(MapTimeToPixel(doc, area, 10.0), 268); // trunc(10 * 26.85)

    EXPECT_EQ(MapAltToPixel(doc, area, 0.0), h - 1); // one pixel above the bottom edge
    EXPECT_EQ(MapAltToPixel(doc, area, 20.0), 0);    // h - h - 1 clamped to 0
    EXPECT_EQ(MapAltToPixel(doc, area, -5.0), h);
    EXPECT_EQ(MapAltToPixel(doc, area, 25.0), 0);
    EXPECT_EQ(MapAltToPixel(doc, area, 10.0), h - 115 - 1); // trunc(10 * 11.55) = 115
}

TEST(Mapping, TruncatesTowardZeroRatherThanRounding) {
    PlotDocument doc;
    doc.TimeMax = 3.0;
    const PlotRect area{0, 0, 10, 10};
    EXPECT_EQ(MapTimeToPixel(doc, area, 1.0), 3); // 3.33 -> 3
    EXPECT_EQ(MapTimeToPixel(doc, area, 2.0), 6); // 6.67 -> 6, not 7
}

TEST(Mapping, EmptyInvertedAndNonNumbersNeverDivideByZero) {
    PlotDocument doc;
    const PlotRect area{0, 0, 100, 50};
    doc.TimeMin = doc.TimeMax = 5.0;
    doc.AltMin = doc.AltMax = 5.0;
    EXPECT_EQ(MapTimeToPixel(doc, area, 5.0), 0);
    EXPECT_EQ(MapAltToPixel(doc, area, 5.0), 49);
    doc.TimeMin = 10.0; // inverted: only sentinels
    EXPECT_EQ(MapTimeToPixel(doc, area, 7.0), -1);
    EXPECT_EQ(MapTimeToPixel(doc, area, 12.0), 9999);
    EXPECT_EQ(MapTimeToPixel(doc, area, std::nan("")), -1);
    EXPECT_EQ(MapAltToPixel(doc, area, std::nan("")), 50);
    doc.TimeMin = -1e308;
    doc.TimeMax = 1e308; // the span overflows to infinity
    EXPECT_EQ(MapTimeToPixel(doc, area, 1e308), 0);
    EXPECT_EQ(TruncToInt(1e300), 1 << 30);
    EXPECT_EQ(TruncToInt(-2.9), -2);
}
