// The kept settings through the real windows: what one run leaves, the next start shows; the
// hidden options ride along; a stored "Sizeable Window" leaves a visible, sizeable window.
#include "TestSettings.h"
#include "app/AppSettings.h"
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/AppState.h"
#include "link/ModuleConfig.h"
#include "link/Protocol.h"
#include "link/ui/ConfigurePage.h"
#include "link/ui/ConnectPage.h"
#include "plot/PrintSettings.h"
#include "plot/ui/DataPage.h"
#include "plot/ui/EditInfoForm.h"
#include "plot/ui/PrtLocForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace vemo;

namespace {

class SettingsWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        DestroyWindows();
        ResetGlobals();
    }
    // Nothing of a run may reach the next one except through the store.
    static void ResetGlobals() {
        App = AppState{};
        Prt = PrintSettings{};
        Config = ModuleConfig{};
        LinkOpts = LinkOptions{};
    }
    static void Start() {
        CreateWindows();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    }
    static void CloseAndForget() {
        MainForm->close();
        DestroyWindows();
        ResetGlobals();
    }
    static void Store(const AppSettings& s) {
        IniSettingsStore store(UserSettingsFile());
        ASSERT_EQ(StoreSettings(store, s), SettingsValueCount);
    }
    static AppSettings Stored() {
        IniSettingsStore store(UserSettingsFile());
        AppSettings s;
        EXPECT_FALSE(LoadSettings(store, s).FellBack);
        return s;
    }
    static QString CurrentTab() {
        return MainForm->PageControl1->tabText(MainForm->PageControl1->currentIndex());
    }
};

} // namespace

TEST_F(SettingsWindowTest, WhatOneRunLeavesTheNextStartShows) {
    Start();
    ConnectPage& connect = *MainForm->ConnectPg;
    ConfigurePage& config = *MainForm->ConfigurePg;
    connect.SpeedBox->setCurrentIndex(2);
    connect.SizeChk->setChecked(true);
    config.AutoStart->button(2)->setChecked(true);
    config.AutoStop->button(1)->setChecked(true);
    config.AutoZero->button(3)->setChecked(true);
    config.AutoStartSecEdit->setText("12abc");
    config.AutoStopSecEdit->setText("abc");
    config.AutoStartAltitudeEdit->setText("-40");
    config.BlankPartChk->setChecked(true);
    config.RevTrigChk->setChecked(true);
    EditInfoForm->ShowInfoChk->setChecked(false);
    EditInfoForm->ShowBackgroundChk->setChecked(true);
    PrtLocForm->ColorChk->setChecked(true);
    Prt.PrtWidth = 5.5;
    Prt.PrtHeight = 2.25;
    Prt.ExportType = 3;
    PlotDoc->BGColor = 0x00203040;
    PlotDoc->InfoColor = 0x00FF0000;
    Config.BaseStep = 250;
    MainForm->move(100, 60);
    CloseAndForget();

    Start();
    EXPECT_EQ(MainForm->pos(), QPoint(100, 60));
    EXPECT_EQ(MainForm->ConnectPg->SpeedBox->currentIndex(), 2);
    EXPECT_EQ(App.SpeedIndex, 2);
    EXPECT_TRUE(MainForm->ConnectPg->SizeChk->isChecked());
    ConfigurePage& again = *MainForm->ConfigurePg;
    EXPECT_EQ(again.AutoStart->checkedId(), 2);
    EXPECT_EQ(again.AutoStop->checkedId(), 1);
    EXPECT_EQ(again.AutoZero->checkedId(), 3);
    EXPECT_EQ(again.AutoStartSecEdit->text(), "12");
    EXPECT_EQ(again.AutoStopSecEdit->text(), "0");
    EXPECT_EQ(again.AutoStartAltitudeEdit->text(), "-40");
    EXPECT_EQ(again.AutoStopAltitudeEdit->text(), "15");
    EXPECT_TRUE(again.BlankPartChk->isChecked());
    EXPECT_TRUE(again.RevTrigChk->isChecked());
    EXPECT_FALSE(again.TrigChk->isChecked());
    EXPECT_FALSE(EditInfoForm->ShowInfoChk->isChecked());
    EXPECT_FALSE(App.ShowInfo);
    EXPECT_TRUE(App.ShowBackground);
    EXPECT_TRUE(PrtLocForm->ColorChk->isChecked());
    EXPECT_EQ(Prt.PrtWidth, 5.5);
    EXPECT_EQ(Prt.PrtHeight, 2.25);
    EXPECT_EQ(PrtLocForm->WidthEdit->text(), "5.5"); // what the first export shows
    EXPECT_EQ(PrtLocForm->HeightEdit->text(), "2.25");
    EXPECT_EQ(Prt.ExportType, 3);
    EXPECT_EQ(PlotDoc->BGColor, 0x00203040u);
    EXPECT_EQ(PlotDoc->GridColor, 0x00808080u);
    EXPECT_EQ(PlotDoc->InfoColor, 0x00FF0000u);
    EXPECT_EQ(Config.BaseStep, 250);
}

TEST_F(SettingsWindowTest, OutOfRangeValuesReachTheirControlsAsRead) {
    AppSettings s;
    s.ComPort = 99;
    s.SpeedIndex = 9;
    s.Left = -5000; // a screen that is gone
    s.AutoStart = 7;
    s.AutoStop = -5;
    s.AutoZero = -1;
    s.ExportType = 8;
    Store(s);
    Start();
    const ConfigurePage& config = *MainForm->ConfigurePg;
    EXPECT_EQ(config.AutoStart->checkedId(), 3); // the last item
    EXPECT_EQ(config.AutoStop->checkedId(), -1);
    EXPECT_EQ(config.AutoZero->checkedId(), -1);
    EXPECT_EQ(MainForm->ConnectPg->CommPortBox->currentIndex(), -1);
    EXPECT_EQ(MainForm->ConnectPg->SpeedBox->currentIndex(), -1);
    EXPECT_EQ(App.SpeedIndex, 9);
    EXPECT_EQ(MainForm->pos(), QPoint(339, 152)); // kept where it can be reached
    CloseAndForget();

    const AppSettings stored = Stored();
    EXPECT_EQ(stored.ComPort, -1); // no selection
    EXPECT_EQ(stored.SpeedIndex, 9);
    EXPECT_EQ(stored.AutoStart, 3);
    EXPECT_EQ(stored.AutoStop, -1);
    EXPECT_EQ(stored.ExportType, 8);
}

TEST_F(SettingsWindowTest, HiddenOptionsRideAlongAndSimulateTargetAnswersDownloadInfo) {
    AppSettings s;
    s.SimulateTarget = s.ShowPoints = s.ShowAvgROC = true;
    Store(s);
    Start();
    EXPECT_FALSE(MainForm->SimulateChk->isVisible());
    EXPECT_TRUE(App.ShowPoints);
    EXPECT_TRUE(App.ShowAvgROC);
    ASSERT_FALSE(App.Connected);
    MainForm->findChild<QPushButton*>("DLInfoBtn")->click();
    const QString log = MainForm->findChild<QPlainTextEdit*>("InfoText")->toPlainText();
    EXPECT_TRUE(log.startsWith("     Device Name: VEMO\n           Model: MOD1\n"))
        << log.toStdString();
    EXPECT_TRUE(log.contains("Memory contains 0 data sets.")) << log.toStdString();
    EXPECT_EQ(Config.Word0, 0xABCD);
    CloseAndForget();

    const AppSettings stored = Stored();
    EXPECT_TRUE(stored.SimulateTarget);
    EXPECT_TRUE(stored.ShowPoints);
    EXPECT_TRUE(stored.ShowAvgROC);
}

TEST_F(SettingsWindowTest, WithSizeableStoredTheWindowIsVisibleAndSizeableAfterTheSplash) {
    AppSettings s;
    s.Sizeable = true;
    Store(s);
    Start();
    EXPECT_EQ(MainForm->minimumSize(), MainForm->maximumSize()); // fixed during the splash
    QTRY_COMPARE_WITH_TIMEOUT(CurrentTab(), QString("Connect / Download"), 10000);
    EXPECT_NE(MainForm->minimumSize(), MainForm->maximumSize());
    QTest::qWait(100); // a window that vanished would have done so by now
    EXPECT_TRUE(MainForm->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(MainForm));
}

TEST_F(SettingsWindowTest, AWindowNeverShownLeavesTheStoredSettingsAlone) {
    AppSettings s;
    s.SpeedIndex = 3;
    s.Sizeable = true;
    Store(s);
    CreateWindows();
    DestroyWindows();
    EXPECT_EQ(Stored(), s);
}
