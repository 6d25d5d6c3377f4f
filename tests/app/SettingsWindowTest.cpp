// The kept settings through the real windows: what one run leaves, the next start shows.
#include "TestSettings.h"
#include "app/MainForm.h"
#include "app/Windows.h"
#include "link/ModuleConfig.h"
#include "link/PortList.h"
#include "link/Protocol.h"
#include "link/ui/ConfigurePage.h"
#include "link/ui/ConnectPage.h"
#include "plot/PrintSettings.h"
#include "plot/ui/PrtLocForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <tuple>

using namespace vemo;

namespace {

class SettingsWindowTest : public ::testing::Test {
protected:
    void TearDown() override { CloseAndForget(); }
    static void Start(const AppSettings& s) {
        IniSettingsStore store(UserSettingsFile());
        ASSERT_EQ(StoreSettings(store, s), SettingsValueCount);
        CreateWindows();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    }
    // Nothing of a run may reach the next one except through the store.
    static void CloseAndForget() {
        if (MainForm) MainForm->close();
        DestroyWindows();
        Prt = PrintSettings{};
        Config = ModuleConfig{};
    }
    static AppSettings Stored() {
        IniSettingsStore store(UserSettingsFile());
        AppSettings s;
        EXPECT_FALSE(LoadSettings(store, s).FellBack);
        return s;
    }
};

} // namespace

TEST_F(SettingsWindowTest, EveryValueReachesItsControlAndComesBackAtClose) {
    AppSettings s = ChosenSettings();
    s.ComPort = 99; // values out of range reach their controls as read
    s.SpeedIndex = 9;
    s.AutoStart = 7;
    s.AutoStop = -5;
    s.AutoZero = 2;
    s.ExportType = 8;
    Start(s);
    // What the close does not read back from the controls it set.
    EXPECT_EQ(MainForm->pos(), QPoint(10, 20));
    EXPECT_EQ(MainForm->ConnectPg->CommPortBox->currentIndex(), -1);
    EXPECT_EQ(MainForm->ConnectPg->SpeedBox->currentIndex(), -1);
    EXPECT_EQ(PrtLocForm->WidthEdit->text(), "5.25"); // what the first export shows

    // "Sizeable Window" stored: sizeable once the splash is over, and still visible.
    EXPECT_EQ(MainForm->minimumSize(), MainForm->maximumSize());
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return MainForm->PageControl1->currentWidget() == MainForm->ConnectPg; }, 10000));
    EXPECT_NE(MainForm->minimumSize(), MainForm->maximumSize());
    QTest::qWait(100); // a window that vanished would have done so by now
    EXPECT_TRUE(MainForm->isVisible());

    MainForm->ConfigurePg->AutoStartSecEdit->setText("12abc");
    MainForm->ConfigurePg->AutoStopSecEdit->setText("abc");
    MainForm->move(100, 60);
    CloseAndForget();
    s.ComPort = -1; // no selection
    s.ComPortName.clear();
    s.AutoStart = 3;
    s.AutoStop = -1;
    s.AutoStartSec = "12";
    s.AutoStopSec = "0";
    s.Left = 100;
    s.Top = 60;
    EXPECT_EQ(Stored(), s);

    CreateWindows(); // a window never shown leaves the store alone
    DestroyWindows();
    EXPECT_EQ(Stored(), s);
}

TEST_F(SettingsWindowTest, SimulateTargetAnswersDownloadInfoAndAGoneScreenIsNotUsed) {
    AppSettings s;
    s.SimulateTarget = true;
    s.Left = -5000;
    Start(s);
    EXPECT_EQ(MainForm->pos(), QPoint(339, 152));
    EXPECT_FALSE(MainForm->SimulateChk->isVisible());
    ASSERT_FALSE(MainForm->ConnectPg->Context().state.Connected);
    MainForm->findChild<QPushButton*>("DLInfoBtn")->click();
    const QString log = MainForm->findChild<QPlainTextEdit*>("InfoText")->toPlainText();
    EXPECT_TRUE(log.startsWith("     Device Name: VEMO\n           Model: MOD1\n"))
        << log.toStdString();
    EXPECT_TRUE(log.contains("Memory contains 0 data sets.")) << log.toStdString();
    EXPECT_EQ(Config.Word0, 0xABCD);
}

// The port is chosen again by its name: an adapter plugged in since moves it in the list.
TEST_F(SettingsWindowTest, ThePortIsChosenAgainByItsNameWhileThatPortIsThere) {
    QTemporaryDir links;
    qputenv("VEMO_PORT_LINKS", links.path().toLocal8Bit());
    for (const char* name : {"a", "b"}) { // listed before the machine's own ports
        QFile(links.filePath(QString("tty") + name)).open(QIODevice::WriteOnly);
        QFile::link(links.filePath(QString("tty") + name), links.filePath(name));
    }
    // The named port where it now stands; one that is gone, or none: the index.
    for (const auto& [index, name, chosen] :
         {std::tuple{0, links.filePath("ttyb").toStdString(), 1},
          {1, std::string("/dev/gone"), 1},
          {0, std::string(), 0}}) {
        Start({.ComPort = index, .ComPortName = name});
        EXPECT_EQ(MainForm->ConnectPg->CommPortBox->currentIndex(), chosen) << name;
        CloseAndForget();
        EXPECT_EQ(Stored().ComPortName, PortTable.Name(chosen));
    }
    qunsetenv("VEMO_PORT_LINKS");
}
