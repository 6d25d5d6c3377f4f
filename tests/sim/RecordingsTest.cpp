// The recordings the simulated module holds look like real flights.

#include "sim/SimulatorImpl.h"

#include <gtest/gtest.h>

#include <algorithm>

using vemosim::BuiltInRecordings;

namespace {

TEST(SimRecordings, RocketFlightClimbsPeaksAndDescendsUnderAParachute) {
    const auto sets = BuiltInRecordings(2); // meters
    ASSERT_EQ(sets.size(), 4u);
    const auto& alt = sets[0].alt;
    ASSERT_GT(alt.size(), 500u);
    const auto peak = std::max_element(alt.begin(), alt.end());
    const auto peakAt = static_cast<size_t>(peak - alt.begin());
    EXPECT_GT(*peak, 500);
    EXPECT_LT(*peak, 2000);
    EXPECT_GT(peakAt, alt.size() / 10);
    EXPECT_LT(peakAt, alt.size() / 2); // the climb is much shorter than the descent
    EXPECT_LE(std::abs(alt.front()), 2);
    EXPECT_LE(std::abs(alt.back()), 2);

    // Under the parachute the descent is steady: a few to some tens of meters a second.
    const double seconds = 0.1 * sets[0].intervalCount;
    const size_t a = peakAt + 100, b = peakAt + 200;
    const double rate = (alt[a] - alt[b]) / ((b - a) * seconds);
    EXPECT_GT(rate, 3);
    EXPECT_LT(rate, 40);
}

TEST(SimRecordings, SetsAreDeterministicAndScaledToTheUnit) {
    const auto feet = BuiltInRecordings(0);
    const auto yards = BuiltInRecordings(1);
    const auto meters = BuiltInRecordings(2);
    EXPECT_EQ(feet[0].alt, BuiltInRecordings(0)[0].alt);
    const double pf = *std::max_element(feet[0].alt.begin(), feet[0].alt.end());
    const double py = *std::max_element(yards[0].alt.begin(), yards[0].alt.end());
    const double pm = *std::max_element(meters[0].alt.begin(), meters[0].alt.end());
    EXPECT_NEAR(pf / pm, 3.2808, 0.01);
    EXPECT_NEAR(py / pm, 1.0936, 0.01);
    for (double v : feet[2].alt)
        ASSERT_EQ(v, static_cast<int>(v)); // whole units, as sent
}

TEST(SimRecordings, TriggeredFlightLongAndEmptySets) {
    const auto sets = BuiltInRecordings(0);
    EXPECT_TRUE(sets[1].triggered);
    EXPECT_FALSE(sets[0].triggered);
    EXPECT_EQ(std::count(sets[1].trigger.begin(), sets[1].trigger.end(), true), 3);
    EXPECT_EQ(sets[2].alt.size(), 65535u);
    EXPECT_TRUE(sets[3].alt.empty());
}

TEST(SimRecordings, EncodingPutsAMarkerBeforeEachTriggeredSample) {
    vemosim::Recording rec;
    rec.alt = {16, 32, 48};
    rec.trigger = {false, true, false};
    rec.intervalCount = 10;
    rec.triggered = true;
    // The stream the module sends: header, then 0x0010 0x8201 0x0020 0x0030.
    const std::vector<uint8_t> expected = {7,    0,    10,   0,    4,    1,    0x00,
                                           0x10, 0x82, 0x01, 0x00, 0x20, 0x00, 0x30};
    EXPECT_EQ(vemosim::EncodeRecording(rec, 7), expected);

    // A stream longer than the count field can say is sent with count 0, "not given".
    vemosim::Recording big;
    big.alt.assign(65535, 1);
    big.trigger.assign(65535, false);
    big.trigger[5] = true;
    const auto stream = vemosim::EncodeRecording(big, 0);
    EXPECT_EQ(stream[3], 0);
    EXPECT_EQ(stream[4], 0);
    EXPECT_EQ(stream.size(), 6u + 2u * 65536u);
}

} // namespace
