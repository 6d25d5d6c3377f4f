// "Download Data" through the real serial link against the simulated module: guards, the
// partial-set rule, and a window that goes away while the transfer lets events through.
#include "link/DownloadCommand.h"
#include "ConfigWidgetSupport.h"
#include "link/ModuleBusy.h"
#include "link/ModuleConfig.h"
#include "link/SerialLink.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace vemo;

namespace {

class Prompts : public UserPrompt {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void Error(const std::string& text, const std::string& caption) override {
        boxes.push_back(caption + ":" + text);
    }
    std::vector<std::string> boxes;
};

class DownloadClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        configtest::EnsureApp();
        std::vector<double> alt(200);
        for (std::size_t i = 0; i < alt.size(); ++i)
            alt[i] = static_cast<double>(i);
        vemosim::Recording rec;
        rec.alt = alt;
        rec.trigger.assign(alt.size(), false);
        rec.intervalCount = 5;
        sim.SetRecordings({rec, rec});
        ASSERT_TRUE(sim.Start());
        ASSERT_TRUE(Link().OpenPort(sim.PortPath(), 115200));
        ctx.state.Connected = true;
        ctx.state.ModuleSetCount = 2;
        Config = ModuleConfig{};
        doc = std::make_unique<PlotDocument>();
    }
    void TearDown() override { Link().ClosePort(); }
    std::vector<SetResult> Click(int selected, DownloadHooks hooks = {}) {
        return DownloadDataClick(ctx, *doc, selected, hooks);
    }

    vemosim::Simulator sim;
    std::unique_ptr<PlotDocument> doc;
    StringListLog log;
    Prompts prompts;
    ModuleUi ui;
    ModuleContext ctx{Link(), log, prompts, ui};
};

} // namespace

TEST_F(DownloadClickTest, GuardsSendNothing) {
    ctx.state.Connected = false;
    log.Append("earlier");
    EXPECT_TRUE(Click(0).empty());
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Not Connected"});

    ctx.state.Connected = true;
    EXPECT_TRUE(Click(-1).empty());
    EXPECT_EQ(prompts.boxes, std::vector<std::string>{"Vemo:No data set specified"});
    {
        ModuleBusyScope busy; // a transfer is already running
        EXPECT_TRUE(Click(0).empty());
    }
    EXPECT_EQ(doc->SetCount(), 0);
    configtest::WaitFor([] { return false; }, 50);
    EXPECT_TRUE(sim.Received().empty());
}

TEST_F(DownloadClickTest, SetThatStopsEarlyKeepsWhatArrived) {
    sim.SetSilenceAfter(6 + 2 * 3); // the header and three words, then nothing
    const auto results = Click(0);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].Samples, 3);
    ASSERT_EQ(doc->SetCount(), 1);
    EXPECT_EQ(doc->AltSignal(0)->Samples.Alt, (std::vector<double>{0, 1, 2}));
    EXPECT_DOUBLE_EQ(doc->AltSignal(0)->Samples.Time[2], 1.0); // 5 x 100 ms apart
    ASSERT_GE(log.Lines.size(), 2u);
    EXPECT_EQ(log.Lines[log.Lines.size() - 2], "Set 1: Downloaded 3 data samples.");
    EXPECT_EQ(log.Lines.back(), "Set 1 ended early: 3 of 200 words arrived.");
    EXPECT_EQ(sim.Received(), (std::vector<uint8_t>{'a', 0}));
}

TEST_F(DownloadClickTest, AModuleThatGoesAwayDuringASetEndsTheTransferAndSaysSo) {
    // Paced at 9600 baud the first set takes about 0.4 s, so the module can go away during it.
    vemosim::Simulator paced(vemosim::SimOptions{.pace = true, .unit = 0});
    vemosim::Recording rec;
    rec.alt.assign(200, 7.0);
    paced.SetRecordings({rec, rec});
    ASSERT_TRUE(paced.Start());
    ASSERT_TRUE(Link().OpenPort(paced.PortPath(), 9600));
    DownloadHooks hooks;
    int events = 0;
    hooks.View.ProcessEvents = [&] {
        if (++events == 20) paced.ClosePort();
    };
    const auto results = Click(2, hooks); // "All"
    ASSERT_EQ(results.size(), 1u);
    const int n = results[0].Samples;
    EXPECT_GE(n, 20);
    EXPECT_LT(n, 200);
    ASSERT_GE(log.Lines.size(), 3u);
    const std::vector<std::string> tail(log.Lines.end() - 3, log.Lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "Set 1: Downloaded " + std::to_string(n) + " data samples.",
                        "Set 1 ended early: " + std::to_string(n) + " of 200 words arrived.",
                        "The module was disconnected."}));
    EXPECT_FALSE(ctx.state.Connected);
    EXPECT_FALSE(Link().IsOpen());
}

// A module that answers every "a" 2.8 s late, past the 2.5 s header deadline: each set saved
// is the set a prompt module sends under that number, or it is reported as not downloaded.
TEST_F(DownloadClickTest, ASetThatAnswersLateIsNeverFiledUnderAnotherNumber) {
    std::vector<vemosim::Recording> recordings(3);
    for (std::size_t k = 0; k < recordings.size(); ++k)
        recordings[k].alt.assign(40 + k, static_cast<double>(k));
    sim.SetRecordings(recordings);
    ctx.state.ModuleSetCount = 3;
    linktest::ScriptedClock fast([](int) { return SystemClock().NowMs() * 4; }); // 2.8 s in 0.7 s
    Link().SetClock(&fast);
    sim.SetLateCommands("a", 2800 / 4);
    const auto results = Click(3); // "All"
    Link().SetClock(nullptr);
    ASSERT_EQ(results.size(), 3u);
    for (const SetResult& r : results) {
        const std::string corrupted = "Set " + std::to_string(r.Set + 1) + ": Corrupted data set.";
        if (r.DataSet >= 0)
            EXPECT_EQ(doc->AltSignal(r.DataSet)->Samples.Alt, recordings[r.Set].alt) << r.Set;
        else
            EXPECT_NE(std::find(log.Lines.begin(), log.Lines.end(), corrupted), log.Lines.end());
    }
}

TEST_F(DownloadClickTest, DocumentGoneDuringTransferStopsIt) {
    DownloadHooks hooks;
    int events = 0;
    bool busyDuring = false;
    bool windowClosed = false;
    hooks.View.ProcessEvents = [&] {
        busyDuring = ModuleBusy();
        if (++events == 10) windowClosed = true; // the window closed meanwhile
    };
    hooks.Stop = [&] { return windowClosed; };
    const auto results = Click(2, hooks); // "All"
    EXPECT_TRUE(busyDuring);
    EXPECT_FALSE(ModuleBusy());
    EXPECT_EQ(events, 10);
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(doc->SetCount(), 0);
}
