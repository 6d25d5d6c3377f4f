// The module commands against the simulator, over a real pseudo-terminal.
#include "link/Protocol.h"
#include "LinkTestSupport.h"
#include "link/ConfigCommands.h"
#include "link/PortList.h"

#include <gtest/gtest.h>

using namespace vemo;
using linktest::WaitReceived;

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

// The configuration work the commands ask for, done by the test instead of on the line.
class StandInConfigSession : public ConfigSession {
public:
    bool ReadNow(ModuleContext&) override {
        if (OnRead) OnRead();
        return true;
    }
    void UseSimulatedBlock() override {
        if (OnSimulated) OnSimulated();
    }
    void RecomputeRecordTime() override {
        if (OnRecompute) OnRecompute();
    }
    std::function<void()> OnRead, OnSimulated, OnRecompute;
};

class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.state.SpeedIndex = 5;
        ctx.config = &configuration;
        configuration.OnRead = [this] { ++configReads; };
        ASSERT_TRUE(sim.Start());
        FillPortTable({{sim.PortPath(), "Vemo module simulator", "SIM"}});
        link.SetClock(&clock);
    }
    void TearDown() override { link.ClosePort(); }
    void ConnectToSim() {
        ASSERT_TRUE(ConnectClick(ctx, 0));
        ASSERT_TRUE(ctx.state.Connected);
        sim.ClearReceived();
        clock.Pauses.clear();
        log.Clear();
    }
    std::vector<std::string> InfoBlock(const std::string& name, const std::string& model,
                                       const std::string& version, const std::string& date,
                                       int sets) {
        return {"     Device Name: " + name,
                "           Model: " + model,
                "",
                "Software Version: " + version,
                "   Software Date: " + date,
                "",
                "",
                "Memory contains " + std::to_string(sets) + " data sets."};
    }

    vemosim::Simulator sim;
    SerialLink link;
    linktest::PauseRecorder clock;
    StringListLog log;
    linktest::RecordingPrompt prompt;
    linktest::RecordingUi ui;
    ModuleContext ctx{link, log, prompt, ui};
    StandInConfigSession configuration;
    int configReads = 0;
};

TEST_F(ProtocolTest, ConnectOpensTheChosenPortAtTheChosenSpeedThenReadsTheConfiguration) {
    ctx.state.SpeedIndex = 2;
    EXPECT_TRUE(ConnectClick(ctx, 0));
    EXPECT_TRUE(ctx.state.Connected);
    EXPECT_TRUE(ui.Connected);
    EXPECT_EQ(configReads, 1);
    EXPECT_TRUE(prompt.Boxes.empty());
    // The simulator sees the speed the program set on the line.
    for (int i = 0; i < 100 && sim.LineSpeed() != 9600; ++i)
        usleep(10000);
    EXPECT_EQ(sim.LineSpeed(), 9600);

    EXPECT_FALSE(ConnectClick(ctx, 0)); // the same button disconnects
    EXPECT_FALSE(ctx.state.Connected);
    EXPECT_FALSE(ui.Connected);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(configReads, 1);
}

TEST_F(ProtocolTest, AFailedConnectShowsTheErrorBoxAndSaysWhyInTheLog) {
    FillPortTable({{"/dev/vemo-unplugged", "gone", ""}});
    EXPECT_FALSE(ConnectClick(ctx, 0));
    ASSERT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(prompt.Boxes[0].text, "Unable to open Serial Port");
    EXPECT_EQ(prompt.Boxes[0].caption, "Error");
    EXPECT_FALSE(prompt.Boxes[0].question);
    ASSERT_EQ(log.Lines.size(), 1u);
    EXPECT_NE(log.Lines[0].find("/dev/vemo-unplugged"), std::string::npos);
    EXPECT_NE(log.Lines[0].find("does not exist"), std::string::npos);
    EXPECT_FALSE(ctx.state.Connected);
    EXPECT_EQ(ui.ConnectedCalls, 0);
    EXPECT_EQ(configReads, 0);

    // No port selected (nothing listed, or a saved index beyond the list): refused the same
    // way.
    prompt.Boxes.clear();
    log.Clear();
    EXPECT_FALSE(ConnectClick(ctx, 7));
    ASSERT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(prompt.Boxes[0].text, "Unable to open Serial Port");
    ASSERT_EQ(log.Lines.size(), 1u);
    EXPECT_NE(log.Lines[0].find("No serial port is selected"), std::string::npos);
    EXPECT_FALSE(ctx.state.Connected);
}

TEST_F(ProtocolTest, ChangingTheSpeedWhileConnectedDisconnects) {
    ConnectToSim();
    SpeedChange(ctx, 1);
    EXPECT_EQ(ctx.state.SpeedIndex, 1);
    EXPECT_FALSE(ctx.state.Connected);
    EXPECT_FALSE(ui.Connected);
    EXPECT_FALSE(link.IsOpen());
    // The new speed takes effect at the next Connect.
    EXPECT_TRUE(ConnectClick(ctx, 0));
    for (int i = 0; i < 100 && sim.LineSpeed() != 4800; ++i)
        usleep(10000);
    EXPECT_EQ(sim.LineSpeed(), 4800);

    // Not connected: only the index changes.
    Disconnect(ctx);
    int calls = ui.ConnectedCalls;
    SpeedChange(ctx, 3);
    EXPECT_EQ(ctx.state.SpeedIndex, 3);
    EXPECT_EQ(ui.ConnectedCalls, calls);
}

TEST_F(ProtocolTest, CommandsWhileNotConnectedSayNotConnectedAndSendNothing) {
    log.Append("old line");
    EXPECT_FALSE(DownloadInfo(ctx));
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Not Connected"});
    EXPECT_EQ(ui.ConnectPageShown, 0);
    EXPECT_EQ(ui.SetListCalls, 0);

    EraseData(ctx);
    EXPECT_EQ(ui.ConnectPageShown, 0);
    // The Configure page's commands also bring the Connect page to the front.
    ResetDefaults(ctx);
    ResetModule(ctx);
    Calibrate(ctx, "100");
    EXPECT_EQ(ui.ConnectPageShown, 3);
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Not Connected"});
    EXPECT_TRUE(prompt.Boxes.empty()); // nothing asked
    EXPECT_EQ(configReads, 0);
    EXPECT_TRUE(sim.Received().empty());
}

TEST_F(ProtocolTest, DownloadInfoWritesTheInfoBlockAndFillsTheSetList) {
    sim.SetIdentity({"VEMO", "MOD2", "1.07", "03-14-24"});
    ConnectToSim();
    log.Append("Configuration loaded.");
    ASSERT_TRUE(DownloadInfo(ctx));
    const int sets = sim.SetCount();
    ASSERT_GT(sets, 0);
    EXPECT_EQ(log.Lines, InfoBlock("VEMO", "MOD2", "1.07", "03-14-24", sets));
    EXPECT_EQ(ctx.state.ModuleSetCount, sets);
    std::vector<std::string> items;
    for (int i = 1; i <= sets; ++i)
        items.push_back(std::to_string(i));
    items.push_back("All");
    EXPECT_EQ(ui.SetList, items);
    EXPECT_EQ(ui.Selected, 0);
    EXPECT_EQ(ui.Firmware, "1.07");
    EXPECT_EQ(sim.Received(), Bytes({'v', 's'}));
}

TEST_F(ProtocolTest, AModuleWithNoSetsOffersOnlyAll) {
    sim.SetRecordings({});
    ConnectToSim();
    ASSERT_TRUE(DownloadInfo(ctx));
    EXPECT_EQ(log.Lines.back(), "Memory contains 0 data sets.");
    EXPECT_EQ(ctx.state.ModuleSetCount, 0);
    EXPECT_EQ(ui.SetList, std::vector<std::string>{"All"});
    EXPECT_EQ(ui.Selected, 0);
}

TEST_F(ProtocolTest, ThreeHundredSetLinesStopAtTwoHundredFiftySixAndTheRestIsFlushed) {
    std::vector<vemosim::Recording> many(300);
    for (auto& r : many)
        r.alt = {10.0, 20.0};
    sim.SetRecordings(many);
    ConnectToSim();
    ASSERT_TRUE(DownloadInfo(ctx));
    EXPECT_EQ(ctx.state.ModuleSetCount, 256);
    EXPECT_EQ(log.Lines.back(), "Memory contains 256 data sets.");
    ASSERT_EQ(ui.SetList.size(), 257u);
    EXPECT_EQ(ui.SetList[255], "256");
    EXPECT_EQ(ui.SetList[256], "All");
    // The 44 lines left over do not spoil the next command.
    sim.SetIdentity({"VEMO", "MOD1", "2.00", "01-01-25"});
    ASSERT_TRUE(DownloadInfo(ctx));
    EXPECT_EQ(log.Lines[0], "     Device Name: VEMO");
    EXPECT_EQ(log.Lines[3], "Software Version: 2.00");
    EXPECT_EQ(ctx.state.ModuleSetCount, 256);
}

TEST_F(ProtocolTest, ALongSoftwareVersionIsCutWithoutEatingTheDate) {
    sim.SetIdentity({"VEMO", "MOD1", "1.23456789AB", "08-27-03"});
    ConnectToSim();
    ASSERT_TRUE(DownloadInfo(ctx));
    EXPECT_EQ(log.Lines[3], "Software Version: 1.23456789");
    EXPECT_EQ(log.Lines[4], "   Software Date: 08-27-03");
    EXPECT_EQ(ui.Firmware, "1.23456789");
    EXPECT_EQ(ctx.state.ModuleSetCount, sim.SetCount());

    // Exactly ten characters is a whole version, not a missing reply.
    sim.SetIdentity({"VEMO", "MOD1", "1.23456789", "08-27-03"});
    ASSERT_TRUE(DownloadInfo(ctx));
    EXPECT_EQ(log.Lines[3], "Software Version: 1.23456789");
    EXPECT_EQ(log.Lines[4], "   Software Date: 08-27-03");

    // A device name longer than its field keeps 256 characters.
    sim.SetIdentity({std::string(300, 'N'), "MOD1", "1.0", "08-27-03"});
    ASSERT_TRUE(DownloadInfo(ctx));
    EXPECT_EQ(log.Lines[0], "     Device Name: " + std::string(256, 'N'));
    EXPECT_EQ(log.Lines[1], "           Model: MOD1");
}

TEST_F(ProtocolTest, AnIncompleteIdentityLeavesTheSetListAlone) {
    ConnectToSim();
    ASSERT_TRUE(DownloadInfo(ctx));
    auto listBefore = ui.SetList;
    int countBefore = ctx.state.ModuleSetCount;
    int listCalls = ui.SetListCalls;

    sim.SetIdentity({"VEMO", "MOD1", "1.0"}); // the date line never comes
    sim.ClearReceived();
    EXPECT_FALSE(DownloadInfo(ctx));
    EXPECT_EQ(log.Lines, std::vector<std::string>{"No Reply from Target"});
    EXPECT_EQ(ui.SetListCalls, listCalls);
    EXPECT_EQ(ui.SetList, listBefore);
    EXPECT_EQ(ctx.state.ModuleSetCount, countBefore);
    EXPECT_EQ(sim.Received(), Bytes({'v'})); // the set list is not asked for
    EXPECT_TRUE(ctx.state.Connected);
}

TEST_F(ProtocolTest, SimulateTargetAnswersWithoutAPort) {
    ctx.state.SimulateTarget = true;
    int simulatedConfig = 0, recomputed = 0;
    configuration.OnSimulated = [&] { ++simulatedConfig; };
    configuration.OnRecompute = [&] { ++recomputed; };
    ctx.state.ModuleSetCount = 5;
    ASSERT_FALSE(ctx.state.Connected);
    EXPECT_TRUE(DownloadInfo(ctx));
    EXPECT_EQ(log.Lines, InfoBlock("VEMO", "MOD1", "0.03", "08-27-03", 0));
    EXPECT_EQ(ctx.state.ModuleSetCount, 0);
    EXPECT_EQ(ui.SetList, std::vector<std::string>{"All"});
    EXPECT_EQ(ui.Firmware, "0.03");
    EXPECT_EQ(simulatedConfig, 1);
    EXPECT_EQ(recomputed, 1);
    EXPECT_TRUE(sim.Received().empty());
}

TEST_F(ProtocolTest, EraseDataAsksFirstAndSendsXOnlyOnYes) {
    ConnectToSim();
    ASSERT_TRUE(DownloadInfo(ctx));
    sim.ClearReceived();
    log.Clear();

    prompt.Answer = false;
    EraseData(ctx);
    ASSERT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(prompt.Boxes[0].text,
              "This will erase all altitude data in the device.  Are you sure?");
    EXPECT_EQ(prompt.Boxes[0].caption, "Erase Data");
    EXPECT_TRUE(prompt.Boxes[0].question);
    EXPECT_GT(ui.SetList.size(), 1u);
    EXPECT_TRUE(log.Lines.empty());

    prompt.Answer = true;
    int count = ctx.state.ModuleSetCount;
    EraseData(ctx);
    EXPECT_EQ(WaitReceived(sim, 1), Bytes({'x'}));
    EXPECT_TRUE(ui.SetList.empty());
    EXPECT_EQ(ui.Selected, -1);
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Data erased."});
    EXPECT_EQ(ctx.state.ModuleSetCount, count);
    for (int i = 0; i < 100 && sim.SetCount() != 0; ++i)
        usleep(10000);
    EXPECT_EQ(sim.SetCount(), 0);
}

TEST_F(ProtocolTest, ResetDefaultsAsksThenSendsStarPausesAndReadsTheConfiguration) {
    ConnectToSim();
    prompt.Answer = false;
    ResetDefaults(ctx);
    ASSERT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(prompt.Boxes[0].text,
              "This will reset all configuration values in the device.  Are you sure?");
    EXPECT_EQ(prompt.Boxes[0].caption, "Reset Config Defaults");
    EXPECT_EQ(configReads, 1);

    prompt.Answer = true;
    ResetDefaults(ctx);
    EXPECT_EQ(WaitReceived(sim, 1), Bytes({'*'}));
    EXPECT_EQ(clock.Pauses, std::vector<std::uint32_t>{200});
    EXPECT_EQ(configReads, 2);
}

TEST_F(ProtocolTest, ResetModuleSendsRAndWaitsFourSecondsBeforeReading) {
    ConnectToSim();
    ResetModule(ctx);
    EXPECT_EQ(WaitReceived(sim, 1), Bytes({'R'}));
    EXPECT_EQ(clock.Pauses, std::vector<std::uint32_t>{4000});
    EXPECT_EQ(configReads, 2);
    EXPECT_TRUE(prompt.Boxes.empty());
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Module reset."});
    for (int i = 0; i < 100 && sim.ResetCount() != 1; ++i)
        usleep(10000);
    EXPECT_EQ(sim.ResetCount(), 1);
}

TEST_F(ProtocolTest, CalibrateSendsTheAltitudeHighByteFirstWithItsPauses) {
    ConnectToSim();
    Calibrate(ctx, "1234");
    EXPECT_EQ(WaitReceived(sim, 4), Bytes({0x24, 0x74, 0x04, 0xD2}));
    EXPECT_EQ(clock.Pauses, (std::vector<std::uint32_t>{1500, 50, 50, 200}));
    EXPECT_EQ(configReads, 2);
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Calibration sent: 1234."});
    for (int i = 0; i < 100 && sim.CalibrationCount() != 1; ++i)
        usleep(10000);
    EXPECT_EQ(sim.CalibrationValue(), 1234);

    sim.ClearReceived();
    Calibrate(ctx, "-5");
    EXPECT_EQ(WaitReceived(sim, 4), Bytes({0x24, 0x74, 0xFF, 0xFB}));
    for (int i = 0; i < 100 && sim.CalibrationCount() != 2; ++i)
        usleep(10000);
    EXPECT_EQ(sim.CalibrationValue(), -5);
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{"Calibration sent: 1234.", "Calibration sent: -5."}));
}

TEST_F(ProtocolTest, CalibrateRefusesWhatIsNotASixteenBitAltitudeWithAMessageBox) {
    ConnectToSim();
    for (const char* text : {"abc", "", "-", "32768", "-32769", "99999999999999999999"}) {
        SCOPED_TRACE(text);
        prompt.Boxes.clear();
        Calibrate(ctx, text);
        ASSERT_EQ(prompt.Boxes.size(), 1u);
        EXPECT_EQ(prompt.Boxes[0].caption, "Vemo");
        EXPECT_FALSE(prompt.Boxes[0].question);
    }
    EXPECT_EQ(configReads, 1);
    usleep(50000);
    EXPECT_TRUE(sim.Received().empty());
}

TEST(CalibrationValue, TheWholeTextIsOneWholeNumberWithinTheSixteenBitRange) {
    using enum CalibrationText;
    const struct {
        const char* text;
        CalibrationText result;
        int value;
    } cases[] = {{" +12\t", Ok, 12},        {"  +12ft", NoNumber, 0},
                 {"1,234", NoNumber, 0},    {"12.5x", NoNumber, 0},
                 {"12 3", NoNumber, 0},     {"-32768", Ok, -32768},
                 {"32767", Ok, 32767},      {"32768", OutOfRange, 0},
                 {"-32769", OutOfRange, 0}, {"x12", NoNumber, 0},
                 {"+ 12", NoNumber, 0},     {"1000000000000000000000000000000", OutOfRange, 0}};
    for (const auto& c : cases) {
        std::int16_t v = 0;
        EXPECT_EQ(ParseCalibrationValue(c.text, v), c.result) << c.text;
        if (c.result == Ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

} // namespace
