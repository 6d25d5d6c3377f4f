// The port primitives over a real pseudo-terminal through QSerialPort; the test writes the
// module's bytes on the master side.
#include "link/SerialLink.h"
#include "ConfigWidgetSupport.h"
#include "LinkTestSupport.h"
#include "link/OpenFailure.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <termios.h>

using namespace vemo;
using linktest::PtyPair;

namespace {

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        ASSERT_TRUE(link.OpenPort(pty.Path(), 115200)) << link.LastOpenError();
    }
    void TearDown() override { link.ClosePort(); }

    PtyPair pty;
    SerialLink link;
};

TEST_F(SerialLinkTest, OpenSetsEightDataBitsNoParityOneStopBitAndTheSpeed) {
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.Master(), &t), 0);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & PARENB, 0u);
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
    // Raw: a carriage return must reach the program as it was sent.
    EXPECT_EQ(t.c_iflag & ICRNL, 0u);
    EXPECT_EQ(t.c_lflag & ICANON, 0u);

    link.ClosePort();
    ASSERT_TRUE(link.OpenPort(pty.Path(), 2400));
    ASSERT_EQ(::tcgetattr(pty.Master(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B2400));
}

TEST_F(SerialLinkTest, WrittenBytesReachTheFarSideInOrder) {
    const std::array<std::uint8_t, 4> bytes = {0x24, 0x74, 0x00, 0xFF};
    EXPECT_EQ(link.WriteBytes(bytes), 4);
    EXPECT_EQ(link.WriteBytes("r"), 1);
    EXPECT_EQ(link.WriteByte('\n'), 1);
    EXPECT_EQ(pty.Receive(6), std::string("\x24\x74\x00\xFFr\n", 6));
}

TEST_F(SerialLinkTest, ReadLineDropsCarriageReturnsAndTreatsAnEmptyLineAsNothing) {
    std::string line;
    pty.Send("AB\r\n");
    EXPECT_EQ(link.ReadLine(line, 256, 5000), 2);
    EXPECT_EQ(line, "AB");

    pty.Send("\r\n");
    EXPECT_EQ(link.ReadLine(line, 256, 5000), 0);
    EXPECT_EQ(line, "");

    pty.Send("A\rB\n");
    EXPECT_EQ(link.ReadLine(line, 256, 5000), 2);
    EXPECT_EQ(line, "AB");
}

TEST_F(SerialLinkTest, ReadLineCutsALongLineAndLeavesTheRestQueued) {
    std::string line;
    pty.Send(std::string(256, 'a') + std::string(44, 'b') + "\r\nnext\n");
    EXPECT_EQ(link.ReadLine(line, 256, 5000), 256);
    EXPECT_EQ(line, std::string(256, 'a'));
    EXPECT_EQ(link.ReadLine(line, 256, 5000), 44);
    EXPECT_EQ(line, std::string(44, 'b'));
    EXPECT_EQ(link.ReadLine(line, 256, 5000), 4);
    EXPECT_EQ(line, "next");
}

TEST_F(SerialLinkTest, ALineOfExactlyMaxCharactersLeavesItsLineEndForTheNextRead) {
    std::string line;
    pty.Send("0123456789\nafter\n");
    EXPECT_EQ(link.ReadLine(line, 10, 5000), 10);
    EXPECT_EQ(line, "0123456789");
    EXPECT_EQ(link.ReadLine(line, 10, 5000), 0); // only the line end
    EXPECT_EQ(link.ReadLine(line, 10, 5000), 5);
    EXPECT_EQ(line, "after");
}

TEST_F(SerialLinkTest, ReadLineTimesOutOnAnUnfinishedLineButKeepsNothingBack) {
    std::string line;
    pty.Send("par");
    EXPECT_EQ(link.ReadLine(line, 256, 100), 0);
    pty.Send("t\n");
    EXPECT_EQ(link.ReadLine(line, 256, 5000), 1);
    EXPECT_EQ(line, "t");
}

TEST_F(SerialLinkTest, WaitForTextDiscardsWhatComesBeforeAndKeepsWhatComesAfter) {
    pty.Send("xxABABCyy");
    EXPECT_TRUE(link.WaitForText("ABC", 5000));
    std::array<std::uint8_t, 2> rest{};
    EXPECT_EQ(link.ReadExact(rest, 5000), 2);
    EXPECT_EQ(rest[0], 'y');
    EXPECT_EQ(rest[1], 'y');
    EXPECT_EQ(link.FlushInput(), 0);
}

TEST_F(SerialLinkTest, WaitForTextFailsWhenTheTextNeverComes) {
    pty.Send("ABxABDAC");
    EXPECT_FALSE(link.WaitForText("ABC", 150));
    EXPECT_FALSE(link.WaitForText("", 150));
}

TEST_F(SerialLinkTest, ReadExactTakesExactlyTheBytesAskedFor) {
    pty.Send("123456789");
    std::array<std::uint8_t, 6> head{};
    EXPECT_EQ(link.ReadExact(head, 5000), 6);
    EXPECT_EQ(std::string(head.begin(), head.end()), "123456");
    std::array<std::uint8_t, 4> more{};
    EXPECT_EQ(link.ReadExact(more, 100), 0); // only three left
    EXPECT_EQ(std::string(more.begin(), more.begin() + 3), "789");
}

// The clock reads 0 until the last byte has been written, which happens at the sixth reading
// (after the five queued bytes were taken); the reading after that is `lateBy` past the start.
std::uint32_t LastByteAt(const PtyPair& pty, int call, std::uint32_t lateBy) {
    if (call < 6) return 0;
    if (call == 6) {
        pty.Send("6");
        return 0;
    }
    return lateBy;
}

TEST_F(SerialLinkTest, ReadExactFailsWhenTheLastByteArrivesAfterTheDeadline) {
    std::array<std::uint8_t, 6> buf{};

    linktest::ScriptedClock late([&](int call) { return LastByteAt(pty, call, 1000); });
    link.SetClock(&late);
    pty.Send("12345");
    EXPECT_EQ(link.ReadExact(buf, 1000), 0);
    link.SetClock(nullptr);
    // Every byte did arrive; the reply still does not count.
    EXPECT_EQ(std::string(buf.begin(), buf.end()), "123456");

    buf = {};
    linktest::ScriptedClock inTime([&](int call) { return LastByteAt(pty, call, 999); });
    link.SetClock(&inTime);
    pty.Send("12345");
    EXPECT_EQ(link.ReadExact(buf, 1000), 6);
    link.SetClock(nullptr);
    EXPECT_EQ(std::string(buf.begin(), buf.end()), "123456");
}

TEST_F(SerialLinkTest, DeadlinesSurviveTheTickCounterWrappingAround) {
    // The start reading is just below 2^32; later readings wrap to small numbers.
    linktest::ScriptedClock wrapping(
        [](int call) { return call == 0 ? 0xFFFFFFF0u : static_cast<std::uint32_t>(call); });
    link.SetClock(&wrapping);
    pty.Send("ok\n");
    std::string line;
    EXPECT_EQ(link.ReadLine(line, 256, 1000), 2);
    link.SetClock(nullptr);
    EXPECT_EQ(line, "ok");
}

TEST_F(SerialLinkTest, FlushInputDiscardsEverythingQueuedAndReturnsZeroOnASilentLine) {
    EXPECT_EQ(link.FlushInput(), 0);
    pty.Send("stale reply\n");
    EXPECT_EQ(link.FlushInput(), 12);
    pty.Send("Z");
    std::array<std::uint8_t, 1> b{};
    EXPECT_EQ(link.ReadExact(b, 500), 1);
    EXPECT_EQ(b[0], 'Z');
}

// While no command runs nothing reads the line: what a talking device sends meanwhile is
// dropped as it comes, instead of piling up in memory for the next command to wade through.
TEST(SerialLinkStream, InputWhileIdleIsDroppedAsItComes) {
    vemosim::Simulator sim;
    ASSERT_TRUE(sim.Start());
    SerialLink link;
    ASSERT_TRUE(link.OpenPort(sim.PortPath(), 115200));
    sim.SetStreaming(true);
    configtest::WaitFor([] { return false; }, 1000); // the window's event loop, idle
    sim.SetStreaming(false);
    configtest::WaitFor([] { return false; }, 100);
    EXPECT_LT(link.FlushInput(), 64 * 1024);
}

TEST_F(SerialLinkTest, AVanishedDeviceIsLostAndReadsGiveUpWithoutWaitingOutTheirDeadline) {
    pty.CloseMaster();
    std::string line;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.ReadLine(line, 256, 30000), 0);
    std::array<std::uint8_t, 2> b{};
    EXPECT_EQ(link.ReadExact(b, 30000), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(link.Lost());
    EXPECT_EQ(link.WriteByte('x'), 0);
    link.SendBreak(1);
    link.ClosePort();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(link.Lost());
}

TEST(SerialLinkOpen, ASecondOpenOfTheSamePortIsRefusedAsBusy) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    SerialLink first, second;
    ASSERT_TRUE(first.OpenPort(pty.Path(), 9600));
    EXPECT_FALSE(second.OpenPort(pty.Path(), 9600));
    EXPECT_EQ(second.LastOpenFailure(), OpenFailure::Busy);
    EXPECT_NE(ExplainOpenFailure(pty.Path(), second.LastOpenFailure()).find("another program"),
              std::string::npos);
    first.ClosePort();
    EXPECT_TRUE(second.OpenPort(pty.Path(), 9600));
}

TEST(SerialLinkOpen, FailuresSayWhyInWordsAUserCanActOn) {
    SerialLink link;
    EXPECT_FALSE(link.OpenPort("/dev/vemo-no-such-port", 115200));
    EXPECT_EQ(link.LastOpenFailure(), OpenFailure::Missing);
    EXPECT_NE(
        ExplainOpenFailure("/dev/vemo-no-such-port", OpenFailure::Missing).find("does not exist"),
        std::string::npos);

    EXPECT_FALSE(link.OpenPort("", 115200));
    EXPECT_EQ(link.LastOpenFailure(), OpenFailure::NoPortSelected);
    EXPECT_FALSE(link.IsOpen());
}

TEST(SerialLinkOpen, APermissionFailureNamesTheGroupThatOwnsTheDevice) {
    namespace fs = std::filesystem;
    auto path = fs::temp_directory_path() / "vemo-locked-port";
    std::ofstream(path.string()) << "x";
    // Open to its owner alone (root:root 0600 when the tests run as root): no group helps.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    std::string why = ExplainOpenFailure(path.string(), OpenFailure::Permission);
    EXPECT_NE(why.find("permission denied. The device is not open to users"), std::string::npos)
        << why;
    EXPECT_EQ(why.find("usermod"), std::string::npos) << why;
    if (::geteuid() == 0) {
        // Root may open anything, so only the wording can be checked: hand the file to a
        // group root is not in.
        ASSERT_EQ(::chown(path.c_str(), 0, 4242), 0);
        fs::permissions(path, fs::perms::group_read | fs::perms::group_write,
                        fs::perm_options::add);
        why = ExplainOpenFailure(path.string(), OpenFailure::Permission);
        EXPECT_NE(why.find("not in the group '"), std::string::npos) << why;
        EXPECT_NE(why.find("usermod -aG"), std::string::npos) << why;
    } else {
        SerialLink link;
        EXPECT_FALSE(link.OpenPort(path.string(), 115200));
        EXPECT_EQ(link.LastOpenFailure(), OpenFailure::Permission);
    }
    std::filesystem::remove(path);
}

} // namespace
