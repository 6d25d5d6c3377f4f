// The Configure page and the service dialog on screen (offscreen), and "Write Config" against
// the simulated module.
#include "link/ui/ConfigurePage.h"
#include "ConfigWidgetSupport.h"
#include "link/ConfigCommands.h"
#include "link/ModuleBusy.h"
#include "link/ModuleConfig.h"
#include "link/SerialLink.h"
#include "link/ui/ModSetForm.h"
#include "link/ui/SpinButton.h"
#include "sim/Simulator.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vemo;
using configtest::StandInWindow;

namespace {

class ConfigurePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        Config = ModuleConfig{};
        Interval = IntervalState{};
        page = new ConfigurePage;
        page->RunCommandsOn(w.connectPage);
        w.connectPage->UseConfigSession(&page->Session());
        busy = std::make_unique<BusyControls>(&w.window,
                                              configtest::ModuleControls(*w.connectPage, *page));
        w.tabs->addTab(page, "Configure");
        w.tabs->setCurrentWidget(page);
        static_cast<ConnectPage*>(w.connectPage)->SetPrompt(&prompt);
    }
    void TearDown() override {
        if (Link().IsOpen()) Link().ClosePort();
    }
    QString Text(const char* name) { return page->findChild<QLabel*>(name)->text(); }
    void Click(const char* name) {
        QTest::mouseClick(page->findChild<QAbstractButton*>(name), Qt::LeftButton);
    }
    QString IntervalText() {
        return Text("HourPanel") + ":" + Text("MinutePanel") + ":" + Text("SecondPanel") + "." +
               Text("mSecPanel");
    }
    // Opens the simulator's port as Connect does, without reading the block.
    void OpenSim(vemosim::Simulator& sim) {
        ASSERT_TRUE(sim.Start());
        ASSERT_TRUE(Link().OpenPort(sim.PortPath(), 115200));
        w.connectPage->Context().state.Connected = true;
    }
    // `text` is the log's last line and the one message box since the last call ("Vemo").
    void ExpectTold(const char* text) {
        EXPECT_EQ(w.Lines().last(), text);
        ASSERT_EQ(prompt.Boxes.size(), 1u);
        EXPECT_EQ(prompt.Boxes[0].text, text);
        EXPECT_EQ(prompt.Boxes[0].caption, "Vemo");
        prompt.Boxes.clear();
    }

    StandInWindow w;
    ConfigurePage* page = nullptr;
    std::unique_ptr<BusyControls> busy;
    linktest::RecordingPrompt prompt;
};

} // namespace

TEST_F(ConfigurePageTest, ReadBlockFillsEveryControl) {
    Config.IntervalCount = 10;
    Config.BaseStep = 100;
    Config.MemorySize = 4;
    Config.AltUnit = 2;
    Config.ModuleVersion = 3;
    Config.DisplayOption = 1;
    Config.Triggered = 1;
    Config.AutoStart = 2;
    Config.AutoStop = 1;
    Config.AutoZero = 3;
    Config.AutoStartSec = 65531;
    Config.AutoStopAltitude = 15;
    SplitInterval(Interval, 1000);
    page->ShowBlock();
    page->ShowInterval();

    EXPECT_EQ(Text("HourPanel") + ":" + Text("MinutePanel") + ":" + Text("SecondPanel") + "." +
                  Text("mSecPanel"),
              "0:00:01.000");
    EXPECT_EQ(Text("Msg1"), "Total Record Time: 04 hours 33 min 04.000 sec");
    EXPECT_EQ(page->Units->checkedId(), 2);
    EXPECT_EQ(Text("AboveUnitsPanel"), "Meters");
    EXPECT_EQ(Text("BelowUnitsPanel"), "Meters");
    EXPECT_EQ(page->BlankChk->text(), "Enable LCD backlight");
    EXPECT_TRUE(page->BlankChk->isChecked());
    EXPECT_TRUE(page->TrigChk->isChecked());
    EXPECT_FALSE(page->RevTrigChk->isChecked());
    EXPECT_EQ(page->AutoStart->checkedId(), 2);
    EXPECT_EQ(page->AutoStop->checkedId(), 1);
    EXPECT_EQ(page->AutoZero->checkedId(), 3);
    EXPECT_EQ(page->AutoStartSecEdit->text(), "65531");
    EXPECT_EQ(page->AutoStopAltitudeEdit->text(), "15");

    // a unit code the page does not know selects no unit and shows no unit name
    Config.AltUnit = 4;
    page->ShowBlock();
    EXPECT_EQ(page->Units->checkedId(), -1);
    EXPECT_EQ(Text("AboveUnitsPanel"), "");
}

TEST_F(ConfigurePageTest, SpinnersAndUnitsClickChangeOnlyTheDisplay) {
    EXPECT_EQ(Text("Msg1"), TotalRecordTimeDesignText);
    Config.MemorySize = 1;
    Click("SecSpinUp");
    EXPECT_EQ(Text("SecondPanel"), "01");
    EXPECT_EQ(Interval.SampleInterval, 1100u);
    EXPECT_EQ(Text("Msg1"), "Total Record Time: 01 hours 15 min 05.600 sec");
    Click("mSecSpinDown");
    EXPECT_EQ(Text("mSecPanel"), "000");

    auto* yards = page->findChild<QRadioButton*>("UnitsGrp1");
    QTest::mouseClick(yards, Qt::LeftButton);
    EXPECT_EQ(Text("AboveUnitsPanel"), "Yards");
    EXPECT_EQ(Text("BelowUnitsPanel"), "Yards");
    EXPECT_EQ(Config.AltUnit, 0); // nothing is sent or stored by the click
}

TEST_F(ConfigurePageTest, CommandsWhileNotConnectedShowTheConnectPage) {
    w.info->setPlainText("old text");
    Click("WriteCfgBtn");
    EXPECT_EQ(w.Lines(), QStringList{"Not Connected"});
    EXPECT_EQ(w.tabs->currentWidget(), w.connectPage);
    w.tabs->setCurrentWidget(page);
    Click("ReadCfgBtn");
    EXPECT_EQ(w.tabs->currentWidget(), w.connectPage);
}

TEST_F(ConfigurePageTest, WriteConfigSendsThePageToTheModule) {
    vemosim::Simulator sim;
    OpenSim(sim);

    std::array<uint8_t, 28> block{};
    block[0] = 0x12; // uninterpreted fields go back unchanged
    block[1] = 0x34;
    block[6] = 0;
    block[7] = 100; // BaseStep 100
    block[27] = 0x5A;
    sim.SetConfigBlock(block);
    Click("ReadCfgBtn");
    ASSERT_EQ(w.Lines().last(), "Configuration loaded.");
    block[27] = 0; // so that the write below is seen arriving
    sim.SetConfigBlock(block);

    page->AutoStopSecEdit->setText("70000");
    page->AutoStartAltitudeEdit->setText("-5");
    QTest::mouseClick(page->findChild<QRadioButton*>("UnitsGrp2"), Qt::LeftButton);
    page->TrigChk->setChecked(true);
    Click("SecSpinUp"); // 1100 ms
    Click("WriteCfgBtn");
    EXPECT_EQ(page->AutoStopSecEdit->text(), "65535");
    EXPECT_EQ(w.Lines().last(), "Configuration written.");

    std::array<uint8_t, 28> got{};
    ASSERT_TRUE(configtest::WaitFor([&] {
        got = sim.ConfigBlock();
        return got[27] == 0x5A;
    }));
    EXPECT_EQ(got[0], 0x12);
    EXPECT_EQ(got[1], 0x34);
    EXPECT_EQ((got[2] << 8) | got[3], 11); // IntervalCount
    EXPECT_EQ(got[4], 2);                  // AltUnit
    EXPECT_EQ(got[13], 1);                 // Triggered
    EXPECT_EQ((got[16] << 8) | got[17], 65535);
    EXPECT_EQ((got[18] << 8) | got[19], 0xFFFB);
}

// The edits are 8-bit texts like the module's: they come back from "Write Config" as typed.
TEST_F(ConfigurePageTest, EditsKeepTheirCharactersThroughWriteConfig) {
    const std::pair<QLineEdit*, QString> edits[] = {{page->AutoStartAltitudeEdit, "7\u00B0"},
                                                    {page->AutoStopAltitudeEdit, "12\u20AC"},
                                                    {page->AutoStartSecEdit, "5 H\u00F6he"}};
    for (const auto& [edit, typed] : edits)
        edit->setText(typed);
    Click("WriteCfgBtn");
    Click("WriteCfgBtn");
    for (const auto& [edit, typed] : edits)
        EXPECT_EQ(edit->text(), typed);
}

// A text that is not one whole number is refused whole: "1,234" must not calibrate to 1.
TEST_F(ConfigurePageTest, CalibrateSendsNothingForATextThatIsNotAWholeNumber) {
    vemosim::Simulator sim;
    OpenSim(sim);
    for (const char* typed : {"1,234", "12.5x", "12 ft"}) {
        page->AltCalEdit->setText(typed);
        Click("CalBtn");
    }
    EXPECT_EQ(prompt.Boxes.size(), 3u); // "Enter the actual current altitude as a whole number."
    usleep(50000);
    EXPECT_TRUE(sim.Received().empty());
}

TEST_F(ConfigurePageTest, ControlsAreDisabledWhileTheModuleIsBusy) {
    page->UpdateBtn->setEnabled(false); // disabled for a reason of its own
    {
        ModuleBusyScope busy;
        EXPECT_FALSE(page->ReadCfgBtn->isEnabled());
        EXPECT_FALSE(page->WriteCfgBtn->isEnabled());
        EXPECT_FALSE(page->CalBtn->isEnabled());
        EXPECT_FALSE(page->BitBtn1->isEnabled());
        EXPECT_FALSE(page->ResetModuleBtn->isEnabled());
        // a handler reached anyway refuses to start a command
        page->WriteCfgBtnClick();
        EXPECT_EQ(w.info->toPlainText(), "");
    }
    EXPECT_TRUE(page->ReadCfgBtn->isEnabled());
    EXPECT_TRUE(page->ResetModuleBtn->isEnabled());
    EXPECT_FALSE(page->UpdateBtn->isEnabled());
}

TEST_F(ConfigurePageTest, ServiceDialogEditsFactoryValues) {
    Config.ModuleVersion = 2;
    Config.MemorySize = 4;
    TModSetForm dialog(&w.window);
    QObject::connect(&dialog, &TModSetForm::Closed, page, &ConfigurePage::ShowBlankCaption);
    dialog.show();
    EXPECT_EQ(dialog.ModDisp->text(), "2");
    EXPECT_EQ(dialog.MemList->currentIndex(), 3);
    EXPECT_EQ(dialog.windowTitle(), "Module Settings");

    QTest::mouseClick(dialog.findChild<QToolButton*>("CSpinButton1Up"), Qt::LeftButton);
    EXPECT_EQ(Config.ModuleVersion, 3);
    EXPECT_EQ(dialog.ModDisp->text(), "3");
    EXPECT_EQ(page->BlankChk->text(), "Blank display after 30 seconds"); // not before closing
    dialog.MemList->setCurrentIndex(7);
    EXPECT_EQ(Config.MemorySize, 8);
    QTest::mouseClick(dialog.CloseBtn, Qt::LeftButton);
    EXPECT_EQ(page->BlankChk->text(), "Enable LCD backlight");

    Config.ModuleVersion = 0;
    Config.MemorySize = 0;
    dialog.show();
    EXPECT_EQ(dialog.MemList->currentIndex(), -1);
    EXPECT_EQ(Config.MemorySize, 0); // showing no selection changes nothing
    dialog.CSpinButton1Click(false);
    EXPECT_EQ(Config.ModuleVersion, 255);
    dialog.reject();
}

TEST_F(ConfigurePageTest, HiddenCompatibilityOptionGuardsPartIsBlank) {
    EXPECT_FALSE(page->CompatChk->isVisibleTo(page));
    page->BlankPartChk->setChecked(true);
    page->CompatChk->setChecked(true);
    page->CompatChkClick();
    EXPECT_FALSE(page->BlankPartChk->isChecked());
    EXPECT_FALSE(page->BlankPartChk->isEnabled());
    page->CompatChk->setChecked(false);
    page->CompatChkClick();
    EXPECT_TRUE(page->BlankPartChk->isEnabled());
}

// A reply that is no configuration block (noise, or the late answer to an earlier command) is
// not taken, and nothing is written to the module until a real block has been read.
TEST_F(ConfigurePageTest, AReplyThatIsNoConfigurationIsRefusedAndNeverWrittenBack) {
    for (const bool garbage : {true, false}) {
        SCOPED_TRACE(garbage ? "garbage" : "late reply");
        vemosim::Simulator sim;
        OpenSim(sim);
        QTest::mouseClick(page->findChild<QRadioButton*>("UnitsGrp1"), Qt::LeftButton);
        page->AutoStopSecEdit->setText("77");
        const ModuleConfig before = Config;
        sim.SetGarbage(garbage);
        sim.SetReplyDelayMs(garbage ? 0 : 2000);
        if (!garbage) { // "Download Info" gives up before the identity arrives
            QTest::mouseClick(w.connectPage->findChild<QAbstractButton*>("DLInfoBtn"),
                              Qt::LeftButton);
            ASSERT_EQ(w.Lines().last(), "No Reply from Target");
        }
        Click("ReadCfgBtn");
        ExpectTold("Configuration data not understood.");
        EXPECT_EQ(page->Units->checkedId(), 1);
        EXPECT_EQ(page->AutoStopSecEdit->text(), "77");
        EXPECT_EQ(Config, before);

        sim.SetGarbage(false);
        sim.SetReplyDelayMs(0);
        sim.ClearReceived();
        Click("WriteCfgBtn");
        ExpectTold("No configuration has been read from the device.");
        configtest::WaitFor([] { return false; }, 100);
        EXPECT_TRUE(sim.Received().empty());
        Link().ClosePort();
    }
}

// With a base step of 300 ms the module stores whole steps only; the page shows what it stores.
TEST_F(ConfigurePageTest, TheIntervalShownIsTheIntervalTheModuleStores) {
    vemosim::Simulator sim;
    OpenSim(sim);
    ModuleConfig c;
    c.BaseStep = 300;
    c.IntervalCount = 5;
    c.MemorySize = 1;
    sim.SetConfigBlock(ToWire(c));
    Click("ReadCfgBtn");
    ASSERT_EQ(IntervalText(), "0:00:01.500");
    for (const char* spin : {"SecSpinUp", "mSecSpinUp", "SecSpinDown", "SecSpinDown",
                             "mSecSpinDown", "MinSpinUp", "HourSpinUp"}) {
        SCOPED_TRACE(spin);
        Click(spin);
        const QString shown = IntervalText(), total = Text("Msg1");
        Click("WriteCfgBtn");
        Click("ReadCfgBtn");
        ASSERT_EQ(w.Lines().last(), "Configuration loaded.");
        EXPECT_EQ(IntervalText(), shown);
        EXPECT_EQ(Text("Msg1"), total);
    }
}
