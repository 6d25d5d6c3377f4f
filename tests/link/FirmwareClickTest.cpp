// "Update Firmware" on the Configure page: its questions, the link it closes, the controls it
// holds while it runs, and what the window shows afterwards.
#include "ConfigWidgetSupport.h"
#include "FirmwareTestSupport.h"
#include "LinkTestSupport.h"
#include "data/AppState.h"
#include "data/ui/MainStatus.h"
#include "link/ModuleBusy.h"
#include "link/ui/ConfigurePage.h"
#include "link/ui/FirmwareAction.h"
#include "sim/Simulator.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace vemo;
namespace fs = std::filesystem;

namespace {

struct Question {
    std::string text, caption;
    bool icon;
};

class FirmwareClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        App = AppState{};
        App.SpeedIndex = 5;
        ASSERT_TRUE(sim.Start());
        // The page lists the simulator's port from its link folder.
        folder = fs::temp_directory_path() / ("vemo-fw-links-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::create_symlink(sim.PortPath(), folder / ("vemo-sim-" + std::to_string(::getpid())));
        ::setenv("VEMO_PORT_LINKS", folder.c_str(), 1);
        w = std::make_unique<configtest::StandInWindow>();
        page = new ConfigurePage;
        w->tabs->addTab(page, "Configure");
        w->tabs->setCurrentWidget(page);
        MainStatus.ProgressBar1 = &bar;
        MainStatus.ConnectStatusDisp = &status;
        Link().SetClock(&clock);
        FirmwareAsks() = {[this](const std::string& text, const std::string& caption, bool icon) {
                              questions.push_back({text, caption, icon});
                              return answers.empty() || answers[questions.size() - 1];
                          },
                          [this] { return file; }};
    }
    void TearDown() override {
        UseRealFirmwareAsks();
        Link().ClosePort();
        Link().SetClock(nullptr);
        MainStatus = MainStatusPanels{};
        ::unsetenv("VEMO_PORT_LINKS");
        fs::remove_all(folder);
        App = AppState{};
    }
    QString Info() const { return w->info->toPlainText(); }

    vemosim::Simulator sim;
    fs::path folder;
    std::unique_ptr<configtest::StandInWindow> w;
    ConfigurePage* page = nullptr;
    QProgressBar bar;
    QLabel status{"Not Connected"};
    linktest::PauseRecorder clock;
    std::vector<Question> questions;
    std::vector<bool> answers; // per question; empty: OK to all
    std::string file = firmwaretest::Fixture("one-byte.hex");
};

TEST_F(FirmwareClickTest, StoppingAtAQuestionDoesNothing) {
    EXPECT_TRUE(page->UpdateBtn->isEnabled());
    answers = {false};
    page->UpdateBtn->click();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption, "Vemo Firmware Update");
    EXPECT_EQ(questions[0].text.substr(0, 39), "Warning!  Firmware update can render\nth");
    EXPECT_TRUE(questions[0].icon);

    answers.clear();
    file.clear(); // the file dialog cancelled
    page->UpdateBtn->click();

    // With the hidden option: the instructions come after the file, and Cancel ends it there.
    questions.clear();
    file = firmwaretest::Fixture("one-byte.hex");
    answers = {true, false};
    page->CompatChk->setChecked(true);
    page->CompatChkClick();
    page->UpdateBtn->click();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].text, "1) Power off device\n2) Press and hold S2\n3) Power on "
                                 "device\n4) Hold S2 until \"PROG\" is displayed\n5) Click OK");
    EXPECT_FALSE(questions[1].icon);

    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(sim.Received().empty());
    EXPECT_EQ(Info(), "");
}

TEST_F(FirmwareClickTest, AnUpdateClosesTheLinkHoldsTheControlsAndReports) {
    w->connectPage->findChild<QPushButton*>("ConnectBtn")->click();
    ASSERT_TRUE(App.Connected);
    bool updateEnabled = true, readEnabled = true, connectEnabled = true;
    const int listener = AddBusyListener([&](bool busy) {
        if (!busy) return;
        updateEnabled = page->UpdateBtn->isEnabled();
        readEnabled = page->ReadCfgBtn->isEnabled();
        connectEnabled = w->connectPage->findChild<QPushButton*>("ConnectBtn")->isEnabled();
    });
    bar.setMaximum(100);
    page->UpdateBtn->click();
    RemoveBusyListener(listener);

    EXPECT_EQ(questions.size(), 1u);
    EXPECT_FALSE(updateEnabled);
    EXPECT_FALSE(readEnabled);
    EXPECT_FALSE(connectEnabled);
    EXPECT_TRUE(page->UpdateBtn->isEnabled());
    EXPECT_FALSE(App.Connected);
    EXPECT_FALSE(Link().IsOpen());
    EXPECT_EQ(w->connectPage->findChild<QPushButton*>("ConnectBtn")->text(), "Connect");
    EXPECT_EQ(status.text(), "Not Connected");
    EXPECT_TRUE(Info().endsWith("ISP Mode Initiated\n\nFirmware updated successfully."))
        << Info().toStdString();
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(bar.maximum(), 100);
    EXPECT_EQ(w->tabs->currentWidget(), w->connectPage);
    ASSERT_TRUE(configtest::WaitFor([this] { return !sim.InBootLoader(); }));
    EXPECT_EQ(sim.Flash()[0], 0x5A);
}

} // namespace
