// "Update Firmware" on the Configure page: its questions, the link it closes, the controls it
// holds while it runs, and what the window shows afterwards.
#include "ConfigWidgetSupport.h"
#include "link/ModuleBusy.h"
#include "link/ui/FirmwareAction.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace vemo;

namespace {

class FirmwareClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.w.tabs->setCurrentWidget(m.configure);
        MainStatus.ProgressBar1 = &bar;
        Link().SetClock(&clock);
        m.configure->FirmwareAsks = {
            [this](const std::string& text, const std::string& caption, bool icon) {
                questions.push_back({text, caption, icon});
                return answers.empty() || answers[questions.size() - 1];
            },
            [this] { return file; }};
    }
    void TearDown() override { MainStatus.ProgressBar1 = nullptr; }
    QString Info() const { return m.w.info->toPlainText(); }

    configtest::ModuleWindow m;
    QProgressBar bar;
    linktest::PauseRecorder clock;
    std::vector<linktest::Box> questions; // `question`: with the warning icon
    std::vector<bool> answers;            // per question; empty: OK to all
    std::string file = std::string(VEMO_TEST_DATA) + "/firmware/one-byte.hex";
};

TEST_F(FirmwareClickTest, StoppingAtAQuestionDoesNothing) {
    ConfigurePage* page = m.configure;
    answers = {false};
    page->UpdateBtn->click();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption, "Vemo Firmware Update");
    EXPECT_EQ(questions[0].text.substr(0, 39), "Warning!  Firmware update can render\nth");
    EXPECT_TRUE(questions[0].question);

    const std::string chosen = file;
    answers.clear();
    file.clear(); // the file dialog cancelled
    page->UpdateBtn->click();

    // With the hidden option: the instructions come after the file, and Cancel ends it there.
    questions.clear();
    file = chosen;
    answers = {true, false};
    page->CompatChk->setChecked(true);
    page->CompatChkClick();
    page->UpdateBtn->click();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].text, "1) Power off device\n2) Press and hold S2\n3) Power on "
                                 "device\n4) Hold S2 until \"PROG\" is displayed\n5) Click OK");
    EXPECT_FALSE(questions[1].question);

    configtest::WaitFor([] { return false; }, 100);
    EXPECT_TRUE(m.Sim().Received().empty());
    EXPECT_EQ(Info(), "");
}

TEST_F(FirmwareClickTest, AnUpdateClosesTheLinkHoldsTheControlsAndReports) {
    m.Click("ConnectBtn");
    ASSERT_TRUE(m.w.connectPage->Context().state.Connected);
    std::vector<bool> enabledWhileBusy;
    const int listener = AddBusyListener([&](bool busy) {
        if (busy)
            for (const char* name : {"UpdateBtn", "ReadCfgBtn", "ConnectBtn"})
                enabledWhileBusy.push_back(m.Control(name)->isEnabled());
    });
    bar.setMaximum(100);
    m.configure->UpdateBtn->click();
    RemoveBusyListener(listener);

    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(enabledWhileBusy, std::vector<bool>(3, false));
    EXPECT_TRUE(m.configure->UpdateBtn->isEnabled());
    EXPECT_FALSE(m.w.connectPage->Context().state.Connected);
    EXPECT_FALSE(Link().IsOpen());
    EXPECT_EQ(m.Control("ConnectBtn")->text(), "Connect");
    EXPECT_EQ(m.status.text(), "Not Connected");
    EXPECT_TRUE(Info().endsWith("ISP Mode Initiated\n\nFirmware updated successfully."))
        << Info().toStdString();
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(bar.maximum(), 100);
    EXPECT_EQ(m.w.tabs->currentWidget(), m.w.connectPage);
    ASSERT_TRUE(configtest::WaitFor([this] { return !m.Sim().InBootLoader(); }));
    EXPECT_EQ(m.Sim().Flash()[0], 0x5A);
}

} // namespace
