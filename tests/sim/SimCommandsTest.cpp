// The simulated module answers the program's commands over a real pseudo-terminal.

#include "PtyClient.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

using vemosim::Recording;
using vemosim::Simulator;

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

struct Stream {
    int first = -1;
    int interval = 0;
    int wordCount = 0;
    int triggerFlag = 0;
    std::vector<int> samples;
    std::vector<size_t> triggered; // indices of samples that followed a marker
};

// Decodes a download stream the way the program reads it.
Stream Decode(const std::vector<uint8_t>& b) {
    Stream s;
    if (b.size() < 6) return s;
    s.first = b[0];
    s.interval = b[1] << 8 | b[2];
    s.wordCount = b[3] << 8 | b[4];
    s.triggerFlag = b[5];
    bool marker = false;
    for (size_t i = 6; i + 1 < b.size(); i += 2) {
        const uint16_t w = static_cast<uint16_t>(b[i] << 8 | b[i + 1]);
        if ((w >> 8) == 0x82) {
            marker = true;
            continue;
        }
        if (marker) s.triggered.push_back(s.samples.size());
        marker = false;
        s.samples.push_back(static_cast<int16_t>(w));
    }
    return s;
}

class SimCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        port = std::make_unique<PtyClient>(sim.PortPath());
        ASSERT_TRUE(port->IsOpen());
    }
    std::vector<uint8_t> Download(int set, int quietMs = 150) {
        port->Send(std::vector<uint8_t>{'a'});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        port->Send(std::vector<uint8_t>{static_cast<uint8_t>(set)});
        return port->ReadUntilQuiet(quietMs);
    }
    Simulator sim;
    std::unique_ptr<PtyClient> port;
};

TEST_F(SimCommands, IdentifyAnswersFourLinesEndedByCrLf) {
    port->Send("v");
    const auto text = port->ReadText(150);
    const auto lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 4u) << text;
    for (const auto& l : lines) {
        ASSERT_FALSE(l.empty());
        EXPECT_EQ(l.back(), '\r');
    }
    // The version must fit the program's 10-character field, the date its 20.
    EXPECT_LE(lines[2].size() - 1, 10u);
    EXPECT_LE(lines[3].size() - 1, 20u);

    sim.SetIdentity({"NAME", "MODEL", "123456789012", "DATE"});
    port->Send("v");
    EXPECT_EQ(port->ReadText(150), "NAME\r\nMODEL\r\n123456789012\r\nDATE\r\n");
}

TEST_F(SimCommands, SetListHasOneNumberedLinePerRecordingAndNoneAfterErase) {
    port->Send("s");
    const auto lines = SplitLines(port->ReadText(150));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(sim.SetCount(), 4);
    for (size_t i = 0; i < lines.size(); ++i) {
        unsigned n = 0, count = 0;
        ASSERT_EQ(std::sscanf(lines[i].c_str(), "%u, %u", &n, &count), 2) << lines[i];
        EXPECT_EQ(n, i + 1);
    }
    EXPECT_EQ(lines[2], "3, 65535\r");
    EXPECT_EQ(lines[3], "4, 0\r");

    port->Send("x");
    port->Send("s");
    EXPECT_TRUE(port->ReadUntilQuiet(150).empty());
    EXPECT_EQ(sim.SetCount(), 0);

    sim.SetRecordings(std::vector<Recording>(300));
    port->Send("s");
    EXPECT_EQ(SplitLines(port->ReadText(150)).size(), 300u);
}

TEST_F(SimCommands, DownloadStreamCarriesHeaderSamplesAndTriggerMarkers) {
    const auto sets = vemosim::BuiltInRecordings(0);
    const Recording& rec = sets[1];
    const auto bytes = Download(1);
    const Stream s = Decode(bytes);
    EXPECT_EQ(s.first, 1);
    EXPECT_EQ(s.interval, rec.intervalCount);
    EXPECT_EQ(s.triggerFlag, 1);
    ASSERT_EQ(s.samples.size(), rec.alt.size());
    EXPECT_EQ(static_cast<size_t>(s.wordCount), s.samples.size() + s.triggered.size());
    EXPECT_EQ(bytes.size(), 6u + 2u * s.wordCount);
    for (size_t i = 0; i < s.samples.size(); ++i)
        ASSERT_EQ(s.samples[i], static_cast<int>(rec.alt[i])) << "sample " << i;
    std::vector<size_t> expected;
    for (size_t i = 0; i < rec.trigger.size(); ++i)
        if (rec.trigger[i]) expected.push_back(i);
    EXPECT_GE(expected.size(), 2u);
    EXPECT_EQ(s.triggered, expected);

    // The rocket flight has no trigger and says so in its header.
    const Stream plain = Decode(Download(0));
    EXPECT_EQ(plain.triggerFlag, 0);
    EXPECT_TRUE(plain.triggered.empty());
    EXPECT_EQ(plain.samples.size(), sets[0].alt.size());
}

TEST_F(SimCommands, LongAndEmptyAndMissingSets) {
    const Stream longSet = Decode(Download(2));
    EXPECT_EQ(longSet.wordCount, 65535);
    EXPECT_EQ(longSet.samples.size(), 65535u);

    const auto empty = Download(3);
    ASSERT_EQ(empty.size(), 6u);
    EXPECT_EQ(Decode(empty).wordCount, 0);

    // A set the module does not hold gets no answer, and the module still serves the next
    // command.
    EXPECT_TRUE(Download(4).empty());
    EXPECT_TRUE(Download(255).empty());
    port->Send("r");
    EXPECT_EQ(port->Read(28, 1000).size(), 28u);
}

TEST_F(SimCommands, AltitudesThatReadAsMarkersAreMovedOutOfTheMarkerRange) {
    Recording rec;
    rec.alt = {-10, -32100, -32256, -32001, -32000, -32257, 40000, -40000};
    rec.trigger.assign(rec.alt.size(), false);
    sim.SetRecordings({rec});
    const Stream s = Decode(Download(0));
    EXPECT_TRUE(s.triggered.empty());
    EXPECT_EQ(s.samples,
              (std::vector<int>{-10, -32000, -32000, -32000, -32000, -32257, 32767, -32768}));
}

TEST_F(SimCommands, ConfigurationBlockRoundTripsAndShortWriteIsIgnored) {
    port->Send("r");
    const auto first = port->Read(28, 1000);
    ASSERT_EQ(first.size(), 28u);
    const auto held = sim.ConfigBlock();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), held.begin()));
    EXPECT_EQ(first[4], 0);                   // feet
    EXPECT_EQ(first[6] << 8 | first[7], 100); // base step in ms

    std::vector<uint8_t> block(28);
    for (size_t i = 0; i < 28; ++i)
        block[i] = static_cast<uint8_t>(0xA0 + i);
    port->Send("c");
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    port->Send(block);
    port->Send("r");
    EXPECT_EQ(port->Read(28, 1000), block);

    // Ten bytes and then nothing: the module keeps the block it had.
    port->Send("c");
    port->Send(std::vector<uint8_t>(10, 0x11));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    port->Send("r");
    EXPECT_EQ(port->Read(28, 1000), block);

    // Reset to defaults keeps the factory values (hardware version, memory size).
    port->Send("*");
    port->Send("r");
    const auto reset = port->Read(28, 1000);
    ASSERT_EQ(reset.size(), 28u);
    EXPECT_EQ(reset[6] << 8 | reset[7], 100);
    EXPECT_EQ(reset[25], block[25]);
    EXPECT_EQ(reset[26], block[26]);
    EXPECT_NE(reset[0], block[0]);
}

TEST_F(SimCommands, CalibrationTakesTheSignedValueAfterDollarAndT) {
    port->Send(std::vector<uint8_t>{'$'});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port->Send(std::vector<uint8_t>{'t', 0x04, 0xD2});
    port->Send(std::vector<uint8_t>{'$', 't', 0xFF, 0xFB});
    port->Send("r"); // answered only after both calibrations were taken
    ASSERT_EQ(port->Read(28, 1000).size(), 28u);
    EXPECT_EQ(sim.CalibrationCount(), 2);
    EXPECT_EQ(sim.CalibrationValue(), -5);

    // "$" followed by another command is no calibration; the command is served.
    port->Send("$r");
    EXPECT_EQ(port->Read(28, 1000).size(), 28u);
    EXPECT_EQ(sim.CalibrationCount(), 2);
}

TEST_F(SimCommands, ResetMakesTheModuleDeafWhileItRestartsAndStopsLogging) {
    port->Send("l");
    port->Send("r");
    ASSERT_EQ(port->Read(28, 1000).size(), 28u);
    EXPECT_TRUE(sim.Logging());

    port->Send("R");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    port->Send("v"); // lost while restarting
    EXPECT_TRUE(port->ReadUntilQuiet(1200).empty());
    EXPECT_EQ(sim.ResetCount(), 1);
    EXPECT_FALSE(sim.Logging());
    port->Send("r");
    EXPECT_EQ(port->Read(28, 1000).size(), 28u);
}

TEST_F(SimCommands, ReceivedKeepsEveryByteInOrderAndLineSpeedIsReported) {
    sim.ClearReceived();
    port->Send("v");
    port->ReadUntilQuiet(100);
    port->Send(std::vector<uint8_t>{'a', 3});
    port->ReadUntilQuiet(100);
    EXPECT_EQ(sim.Received(), (std::vector<uint8_t>{'v', 'a', 3}));
    EXPECT_EQ(sim.LineSpeed(), 115200);

    PtyClient slow(sim.PortPath(), B4800);
    EXPECT_EQ(sim.LineSpeed(), 4800);
}

TEST_F(SimCommands, InjectedBytesReachTheProgramBetweenReplies) {
    sim.Inject({'x', 'A', 'B', '\r', '\n'});
    EXPECT_EQ(port->ReadText(150), "xAB\r\n");
    // Injected bytes are not commands: the module did not erase anything.
    EXPECT_EQ(sim.SetCount(), 4);
    port->Send("r");
    EXPECT_EQ(port->Read(28, 1000).size(), 28u);
}

TEST_F(SimCommands, PortCanBeClosedAndOpenedAgainByTheProgram) {
    port.reset();
    port = std::make_unique<PtyClient>(sim.PortPath(), B9600);
    ASSERT_TRUE(port->IsOpen());
    port->Send("r");
    EXPECT_EQ(port->Read(28, 1000).size(), 28u);
}

} // namespace
