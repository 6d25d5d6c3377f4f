// The typical visit through the main window against the simulated module: Connect, "Download
// Info", "Download Data" with "All"; the new data sets reach both name lists with their notes
// and the plot is ranged to them. And a flight beside its simulation: loaded in feet, the
// module's meters converted, summed up and saved in feet.
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/FileActions.h"
#include "data/ui/MainStatus.h"
#include "data/ui/SaveSel.h"
#include "link/Protocol.h"
#include "link/SerialLink.h"
#include "link/ui/ConfigurePage.h"
#include "link/ui/ConnectPage.h"
#include "sim/Simulator.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace vemo;
namespace fs = std::filesystem;

namespace {

class AnswerEverything : public UserPrompt {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void Error(const std::string& text, const std::string&) override { errors.push_back(text); }
    std::vector<std::string> errors;
};

class DownloadVisitTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto recordings = vemosim::BuiltInRecordings(2);
        // the rocket flight, the flight with trigger marks and the empty set
        recordings.erase(recordings.begin() + 2);
        expected = recordings;
        sim.SetRecordings(recordings);
        ASSERT_TRUE(sim.Start());
        folder = fs::temp_directory_path() / ("vemo-visit-links-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::create_symlink(sim.PortPath(), folder / ("vemo-sim-" + std::to_string(::getpid())));
        ::setenv("VEMO_PORT_LINKS", folder.c_str(), 1);

        CreateWindows();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
        MainForm->ConnectPg->SetPrompt(&prompt);
    }
    void TearDown() override {
        if (Link().IsOpen()) Link().ClosePort();
        DestroyWindows();
        ::unsetenv("VEMO_PORT_LINKS");
        fs::remove_all(folder);
    }
    template <typename T> T* Control(const char* name) {
        T* c = MainForm->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QStringList Log() { return Control<QPlainTextEdit>("InfoText")->toPlainText().split('\n'); }

    vemosim::Simulator sim{vemosim::SimOptions{false, 2}};
    std::vector<vemosim::Recording> expected;
    fs::path folder;
    AnswerEverything prompt;
};

} // namespace

TEST_F(DownloadVisitTest, ConnectInfoDownloadAll) {
    ConnectPage* page = MainForm->ConnectPg;
    const int port =
        page->CommPortBox->findText(QString::fromStdString(sim.PortPath()), Qt::MatchStartsWith);
    ASSERT_GE(port, 0);
    page->CommPortBox->setCurrentIndex(port);
    page->SpeedBox->setCurrentIndex(5);
    Control<QPushButton>("ConnectBtn")->click();
    ASSERT_TRUE(page->Context().state.Connected);
    EXPECT_TRUE(Log().contains("Configuration loaded."));
    EXPECT_EQ(Control<QLabel>("mSecPanel")->text(), "100"); // one step of 100 ms
    EXPECT_EQ(Control<QLabel>("Msg1")->text(), "Total Record Time: 00 hours 54 min 36.800 sec");

    Control<QPushButton>("DLInfoBtn")->click();
    ASSERT_EQ(page->SetList->count(), 4);
    page->SetList->setCurrentIndex(3);
    ASSERT_EQ(page->SetList->currentText(), "All");

    // The first window event let through during the transfer sees the controls that would
    // start another command disabled.
    std::vector<bool> enabledDuring;
    QTimer::singleShot(0, [&] {
        for (const char* name : {"ConnectBtn", "DLInfoBtn", "DLDataBtn", "EraseDataBtn", "SpeedBox",
                                 "ReadCfgBtn", "WriteCfgBtn", "CalBtn"})
            enabledDuring.push_back(MainForm->findChild<QWidget*>(name)->isEnabled());
    });
    const int before = PlotDoc->SetCount();
    Control<QPushButton>("DLDataBtn")->click();
    EXPECT_EQ(enabledDuring, std::vector<bool>(8, false));
    EXPECT_TRUE(Control<QPushButton>("DLInfoBtn")->isEnabled());
    EXPECT_TRUE(Control<QPushButton>("ReadCfgBtn")->isEnabled());
    EXPECT_TRUE(prompt.errors.empty());
    EXPECT_EQ(page->Context().state.DownloadSetIndex,
              3); // the set file name numbers from the Set# index

    ASSERT_EQ(PlotDoc->SetCount(), before + 3);
    const std::string today = QDate::currentDate().toString("yyyy-MM-dd").toStdString();
    double tMax = 0, aMax = -1e9, aMin = 1e9;
    for (int i = 0; i < 3; ++i) {
        const int k = before + i;
        const Signal* alt = PlotDoc->AltSignal(k);
        const auto& rec = expected[static_cast<std::size_t>(i)];
        ASSERT_EQ(alt->Samples.Count(), static_cast<int>(rec.alt.size())) << i;
        EXPECT_EQ(alt->Note2, today + "  Set " + std::to_string(i + 1) + ", " +
                                  std::to_string(rec.alt.size()) + " samples");
        EXPECT_TRUE(Log().contains(
            QString("Set %1: Downloaded %2 data samples.").arg(i + 1).arg(rec.alt.size())));
        EXPECT_EQ(PlotDoc->SetListBox->Item(k), alt->Name);
        EXPECT_EQ(PlotDoc->ActiveSetCombo->Item(k), alt->Name);
        const auto trig = std::count(rec.trigger.begin(), rec.trigger.end(), true);
        EXPECT_EQ(PlotDoc->TrigSignal(k)->Samples.Count(), trig);
        EXPECT_EQ(PlotDoc->TrigSignal(k)->Visible, rec.triggered ? 1 : 0);
        for (int j = 0; j < alt->Samples.Count(); ++j) {
            EXPECT_DOUBLE_EQ(alt->Samples.Alt[j], rec.alt[j]);
            tMax = std::max(tMax, alt->Samples.Time[j]);
            aMax = std::max(aMax, alt->Samples.Alt[j]);
            aMin = std::min(aMin, alt->Samples.Alt[j]);
        }
    }
    EXPECT_EQ(PlotDoc->AltSignal(before + 2)->Note3, "0 sec, interval=0.1 sec, max=-99999");
    EXPECT_EQ(PlotDoc->YAxisLabel, "Altitude (meters)");
    EXPECT_EQ(PlotDoc->XAxisLabel, "Time (seconds)");
    // auto-ranged to the downloaded data, no longer the 0..20 start range
    EXPECT_LE(PlotDoc->TimeMin, 0.0);
    EXPECT_GE(PlotDoc->TimeMax, tMax);
    EXPECT_LT(PlotDoc->TimeMax, 2 * tMax);
    EXPECT_GE(PlotDoc->AltMax, aMax);
    // (a negative minimum is moved toward zero by the scaling)
    EXPECT_LE(PlotDoc->AltMin, std::max(aMin, 0.0));
    EXPECT_GT(PlotDoc->AltMax, 20.0);
    ASSERT_NE(MainStatus.ProgressBar1, nullptr);
    EXPECT_FALSE(MainStatus.ProgressBar1->isVisible());
}

// A simulation loaded while the plot says feet; then a flight from a module set to meters.
TEST_F(DownloadVisitTest, AMeterFlightJoinsAFootSimulationInFeet) {
    QTemporaryDir dir;
    Questions().AskLoadPath = [](QWidget*) {
        return QString(VEMO_TEST_DATA) + "/fixtures/sim_export.csv";
    };
    Questions().AskSaveKind = [](QWidget*) { return int(TSaveSel::PlotAndAllDataSets); };
    Questions().AskSavePath = [&](QWidget*, const QString&) { return dir.filePath("plot.csv"); };
    struct Restore {
        ~Restore() { UseRealQuestions(); }
    } restore;
    Control<QPushButton>("LoadBtn")->click();
    ASSERT_EQ(PlotDoc->SetCount(), 2);
    ConnectPage* page = MainForm->ConnectPg;
    page->CommPortBox->setCurrentIndex(
        page->CommPortBox->findText(QString::fromStdString(sim.PortPath()), Qt::MatchStartsWith));
    page->SpeedBox->setCurrentIndex(5);
    for (const char* button : {"ConnectBtn", "DLInfoBtn"})
        Control<QPushButton>(button)->click();
    page->SetList->setCurrentIndex(0);
    Control<QPushButton>("DLDataBtn")->click();
    ASSERT_EQ(PlotDoc->SetCount(), 3);

    const auto& a = PlotDoc->AltSignal(2)->Samples.Alt;
    const double apogee = *std::max_element(a.begin(), a.end());
    EXPECT_NEAR(apogee, *std::max_element(expected[0].alt.begin(), expected[0].alt.end()) / 0.3048,
                1e-9);
    EXPECT_EQ(PlotDoc->YAxisLabel, "Altitude (Feet)");
    EXPECT_EQ(Log().count(QString::fromStdString(PlotDoc->AltSignal(2)->Name) +
                          " was recorded in meters; converted to feet like the other sets."),
              1);
    // The dialog sums both up in the unit the plot shows them in.
    QStringList summaries;
    QTimer::singleShot(50, [&] {
        for (int k : {1, 2}) {
            DataPropForm->SetListBox->setCurrentRow(k);
            summaries << DataPropForm->SummaryText->toPlainText();
        }
        DataPropForm->reject();
    });
    Control<QPushButton>("DataPropBtn")->click();
    ASSERT_EQ(summaries.size(), 2);
    EXPECT_TRUE(summaries[0].contains("Apogee:        1579.76 feet at 9.55 s\n"));
    EXPECT_TRUE(summaries[1].contains(QString("Apogee:        %1 feet").arg(apogee, 0, 'f', 2)));

    // Every set of the plot file stands under the label of its numbers.
    Control<QPushButton>("SaveBtn")->click();
    QFile saved(dir.filePath("plot.csv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_EQ(text.count("\r\n#Altitude (Feet)\r\n"), 4); // the plot's label, three set blocks
    EXPECT_TRUE(text.contains(", " + QByteArray::number(apogee, 'f', 4) + ", ")) << apogee;
}
