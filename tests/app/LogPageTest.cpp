// The hidden "Log Data" page in the main window: its chart state after the first show, and
// "Start"/"Stop" with the status bar and the 250 ms timer.
#include "link/ui/LogPage.h"
#include "../link/LinkTestSupport.h"
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/AppState.h"
#include "link/SerialLink.h"
#include "link/ui/ConnectPage.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>

using namespace vemo;

namespace {

class LogPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateWindows();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
        page = MainForm->LogPg;
    }
    void TearDown() override {
        Link().ClosePort();
        DestroyWindows();
        App = AppState{};
    }
    QString LogDisp() const { return MainForm->findChild<QLabel*>("LogDisp")->text(); }

    LogPage* page = nullptr;
};

} // namespace

TEST_F(LogPageTest, TheChartIsReadyAfterTheFirstShow) {
    EXPECT_EQ(page->AltBox->size(), QSize(665, 321));
    EXPECT_EQ(page->History.Values.size(), 665u);
    EXPECT_EQ(page->History.Count, 0);
    EXPECT_EQ(page->AMaxLabel->text(), "10000");
    EXPECT_EQ(page->AMinLabel->text(), "0");
    EXPECT_EQ(page->Panel3->text(), "0d 00:00:00.00");
    EXPECT_EQ(page->AltDisp->text(), "10000");
    EXPECT_FALSE(MainForm->Timer1->isActive());
    EXPECT_EQ(MainForm->Timer1->interval(), 250);

    if (const QString shots = qEnvironmentVariable("VEMO_SHOTS_DIR"); !shots.isEmpty()) {
        page->History.Start = 0;
        for (int i = 0; i < 120; ++i)
            page->History.Values[static_cast<std::size_t>(i)] = 4000 + 3000 * std::sin(i / 12.0);
        page->History.End = page->History.Count = 120;
        MainForm->PageControl1->setTabVisible(MainForm->PageControl1->indexOf(page), true);
        MainForm->PageControl1->setCurrentWidget(page);
        MainForm->grab().save(shots + "/log_page.png");
    }
}

TEST_F(LogPageTest, StartNeedsAConnectionAndStopAlwaysStops) {
    MainForm->PageControl1->setCurrentWidget(page);
    page->StartBtn->click();
    EXPECT_EQ(MainForm->PageControl1->currentWidget(), static_cast<QWidget*>(MainForm->ConnectPg));
    EXPECT_EQ(MainForm->findChild<QPlainTextEdit*>("InfoText")->toPlainText(), "Not Connected");
    EXPECT_FALSE(App.Logging);
    EXPECT_EQ(page->StartBtn->text(), "Start");
    EXPECT_FALSE(MainForm->Timer1->isActive());

    linktest::PtyPair module;
    ASSERT_TRUE(module.Ok());
    ASSERT_TRUE(Link().OpenPort(module.Path(), 115200));
    App.Connected = true;
    page->StartBtn->click();
    EXPECT_EQ(module.Receive(1), "l");
    EXPECT_TRUE(App.Logging);
    EXPECT_EQ(page->StartBtn->text(), "Stop");
    EXPECT_EQ(LogDisp(), "Logging");
    EXPECT_TRUE(MainForm->Timer1->isActive());

    page->StartBtn->click();
    EXPECT_FALSE(App.Logging);
    EXPECT_EQ(page->StartBtn->text(), "Start");
    EXPECT_EQ(LogDisp(), "");
    EXPECT_FALSE(MainForm->Timer1->isActive());
}
