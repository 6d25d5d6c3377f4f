// Line pacing and the faults the simulator can put on the line.

#include "PtyClient.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using vemosim::SimOptions;
using vemosim::Simulator;
using Clock = std::chrono::steady_clock;

namespace {

double SecondsToRead(PtyClient& port, size_t n) {
    const auto start = Clock::now();
    const auto got = port.Read(n, 10000);
    EXPECT_EQ(got.size(), n);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(SimFaults, PacedOutputFollowsTheLineSpeedTheProgramSet) {
    Simulator sim(SimOptions{.pace = true, .unit = 0});
    ASSERT_TRUE(sim.Start());
    // 2 KB of identification at 19200 baud (1920 bytes a second) take about a second.
    const std::string line(2000, 'A');
    sim.SetIdentity({line, "M", "1", "D"});
    const size_t total = line.size() + 2 + 3 + 3 + 3;
    {
        PtyClient port(sim.PortPath(), B19200);
        EXPECT_EQ(sim.LineSpeed(), 19200);
        port.Send("v");
        const double seconds = SecondsToRead(port, total);
        const double rate = static_cast<double>(total) / seconds;
        EXPECT_GT(rate, 1920 * 0.6) << seconds;
        EXPECT_LT(rate, 1920 * 1.25) << seconds;
    }
    {
        // The same reply at 115200 is six times faster.
        PtyClient port(sim.PortPath(), B115200);
        port.Send("v");
        EXPECT_LT(SecondsToRead(port, total), 0.5);
    }
}

TEST(SimFaults, UnpacedOutputIsNotHeldBack) {
    Simulator sim;
    ASSERT_TRUE(sim.Start());
    PtyClient port(sim.PortPath(), B2400);
    port.Send(std::vector<uint8_t>{'a', 0});
    // At 2400 baud the rocket flight would take about nine seconds on a real line.
    const auto got = port.ReadUntilQuiet(150);
    EXPECT_GT(got.size(), 2000u);
}

TEST(SimFaults, SilenceAfterNBytesCutsTheReplyAndLastsUntilCleared) {
    Simulator sim;
    ASSERT_TRUE(sim.Start());
    PtyClient port(sim.PortPath());
    const auto block = sim.ConfigBlock();

    sim.SetSilenceAfter(10);
    port.Send("r");
    const auto cut = port.ReadUntilQuiet(150);
    ASSERT_EQ(cut.size(), 10u);
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), block.begin()));
    port.Send("v");
    EXPECT_TRUE(port.ReadUntilQuiet(150).empty());

    sim.SetSilenceAfter(-1);
    port.Send("r");
    EXPECT_EQ(port.Read(28, 1000).size(), 28u);

    // Zero bytes: the module says nothing at all.
    sim.SetSilenceAfter(0);
    port.Send("v");
    EXPECT_TRUE(port.ReadUntilQuiet(150).empty());
}

TEST(SimFaults, GarbageKeepsTheLengthButNotTheContent) {
    Simulator sim;
    ASSERT_TRUE(sim.Start());
    PtyClient port(sim.PortPath());
    const auto block = sim.ConfigBlock();
    sim.SetGarbage(true);
    port.Send("r");
    const auto got = port.ReadUntilQuiet(150);
    ASSERT_EQ(got.size(), 28u);
    EXPECT_FALSE(std::equal(got.begin(), got.end(), block.begin()));

    sim.SetGarbage(false);
    port.Send("r");
    const auto clean = port.Read(28, 1000);
    EXPECT_TRUE(std::equal(clean.begin(), clean.end(), block.begin()));
}

TEST(SimFaults, ReplyDelayHoldsTheAnswerBack) {
    Simulator sim;
    ASSERT_TRUE(sim.Start());
    PtyClient port(sim.PortPath());
    sim.SetReplyDelayMs(400);
    port.Send("r");
    EXPECT_TRUE(port.Read(1, 200).empty());
    EXPECT_EQ(port.Read(28, 2000).size(), 28u);
}

TEST(SimFaults, ClosingThePortHangsUpTheProgramsSide) {
    Simulator sim;
    ASSERT_TRUE(sim.Start());
    const std::string path = sim.PortPath();
    PtyClient port(path);
    // The long set does not fit the terminal's buffer: the module is stuck writing when the
    // port goes away, and closing must not wait for the program to read.
    port.Send(std::vector<uint8_t>{'a', 2});
    ASSERT_EQ(port.Read(6, 1000).size(), 6u);
    sim.ClosePort();

    pollfd p{port.Fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    uint8_t b = 0;
    EXPECT_LE(::read(port.Fd(), &b, 1), 0);

    // The device cannot be opened again.
    PtyClient again(path);
    EXPECT_FALSE(again.IsOpen());
}

TEST(SimFaults, StopAndStartServeANewPort) {
    Simulator sim;
    ASSERT_TRUE(sim.Start());
    sim.Stop();
    ASSERT_TRUE(sim.Start());
    PtyClient port(sim.PortPath());
    port.Send("r");
    EXPECT_EQ(port.Read(28, 1000).size(), 28u);
}

} // namespace
