// A flight and its simulation side by side, in the whole window: the simulation loaded while
// the plot says feet, a flight downloaded from a module set to meters, the summaries, and the
// plot saved and read back. Then two set files of different units named on the command line.
#include "app/MainForm.h"
#include "app/StartFiles.h"
#include "app/Windows.h"
#include "data/DataFile.h"
#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/FileActions.h"
#include "data/ui/SaveSel.h"
#include "link/SerialLink.h"
#include "link/ui/ConnectPage.h"
#include "sim/Simulator.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
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

const QString Fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";

class AnswerYes : public UserPrompt {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void Error(const std::string&, const std::string&) override {}
};

class SetUnitsVisit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        // The port list finds the simulated module through a link in this folder.
        folder = fs::temp_directory_path() / ("vemo-units-links-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::create_symlink(sim.PortPath(), folder / ("vemo-sim-" + std::to_string(::getpid())));
        ::setenv("VEMO_PORT_LINKS", folder.c_str(), 1);
        CreateWindows();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
        Questions().AskLoadPath = [this](QWidget*) { return loadPath; };
        Questions().AskSaveKind = [](QWidget*) { return int(TSaveSel::PlotAndAllDataSets); };
        Questions().AskSavePath = [this](QWidget*, const QString&) { return savePath; };
        Questions().ShowError = [this](QWidget*, const QString& m) { errors << m; };
        Questions().ShowMessage = [this](QWidget*, const QString& m) { messages << m; };
        MainForm->ConnectPg->SetPrompt(&prompt);
    }
    void TearDown() override {
        if (Link().IsOpen()) Link().ClosePort();
        UseRealQuestions();
        DestroyWindows();
        ::unsetenv("VEMO_PORT_LINKS");
        fs::remove_all(folder);
    }
    void Click(const char* name) {
        auto* b = MainForm->findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    // The Data Properties dialog's summary of set k, as the dialog shows it.
    QString SummaryOf(int k) {
        QString text;
        QTimer::singleShot(50, [&] {
            DataPropForm->SetListBox->setCurrentRow(k);
            text = DataPropForm->SummaryText->toPlainText();
            DataPropForm->reject();
        });
        Click("DataPropBtn");
        return text;
    }
    double Highest(int k) {
        const auto& a = PlotDoc->AltSignal(k)->Samples.Alt;
        return *std::max_element(a.begin(), a.end());
    }

    vemosim::Simulator sim{vemosim::SimOptions{false, 2}}; // a module set to meters
    fs::path folder;
    AnswerYes prompt;
    QTemporaryDir dir;
    QString loadPath, savePath;
    QStringList errors, messages;
};

} // namespace

TEST_F(SetUnitsVisit, AMeterFlightJoinsAFootSimulationInFeet) {
    ASSERT_EQ(PlotDoc->YAxisLabel, "Altitude (Feet)");
    loadPath = Fixtures + "sim_export.csv";
    Click("LoadBtn");
    ASSERT_EQ(PlotDoc->SetCount(), 2);
    const double simApogeeFeet = Highest(1);
    EXPECT_NEAR(simApogeeFeet, 481.51 / 0.3048, 0.01);

    ConnectPage* page = MainForm->ConnectPg;
    const int port =
        page->CommPortBox->findText(QString::fromStdString(sim.PortPath()), Qt::MatchStartsWith);
    ASSERT_GE(port, 0);
    page->CommPortBox->setCurrentIndex(port);
    page->SpeedBox->setCurrentIndex(5);
    Click("ConnectBtn");
    ASSERT_TRUE(page->Context().state.Connected);
    Click("DLInfoBtn");
    page->SetList->setCurrentIndex(0);
    Click("DLDataBtn");
    ASSERT_EQ(PlotDoc->SetCount(), 3);
    const std::vector<double> flight = vemosim::BuiltInRecordings(2)[0].alt;
    const double recordedMeters = *std::max_element(flight.begin(), flight.end());

    // The flight joins the plot in its unit, and the log says so once.
    const std::string name = PlotDoc->AltSignal(2)->Name;
    EXPECT_NEAR(Highest(2), recordedMeters / 0.3048, 1e-6);
    EXPECT_EQ(PlotDoc->YAxisLabel, "Altitude (Feet)");
    const QString log = MainForm->findChild<QPlainTextEdit*>("InfoText")->toPlainText();
    EXPECT_EQ(log.count(QString::fromStdString(name) +
                        " was recorded in meters; converted to feet like the other sets."),
              1)
        << log.toStdString();

    // Both summaries name the plot's unit, with the numbers it shows.
    EXPECT_TRUE(SummaryOf(1).contains(QString("Apogee:        %1 feet").arg(simApogeeFeet, 0, 'f', 2)));
    EXPECT_TRUE(SummaryOf(2).contains("Apogee:        " +
                                      QString::number(recordedMeters / 0.3048, 'f', 2) + " feet"));

    // The plot file holds every set under the label of its numbers.
    savePath = dir.filePath("plot.csv");
    Click("SaveBtn");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    const QList<QByteArray> lines = [&] {
        QFile f(savePath);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll().split('\n');
    }();
    ASSERT_GT(lines.size(), 4);
    EXPECT_EQ(lines[3], "#Altitude (Feet)\r");
    EXPECT_EQ(lines.count("#Altitude (Feet)\r"), 4); // the plot's label and three set blocks
    const QByteArray apogee = ", " + QByteArray::number(recordedMeters / 0.3048, 'f', 4) + ", ";
    EXPECT_GE(lines.join('\n').count(apogee), 1) << apogee.constData(); // in feet
}

// "vemo m.csv f.csv", then the plot saved: the plot takes the first set's unit, the second set
// is converted into it, and the user is told.
TEST_F(SetUnitsVisit, SetFilesOfTwoUnitsNamedOnTheCommandLine) {
    const QString m = dir.filePath("m.csv"), f = dir.filePath("f.csv");
    for (const auto& [path, label] : {std::pair{m, "Altitude (meters)"}, {f, "Altitude (feet)"}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QString("#Flight\r\n#Time (seconds)\r\n#%1\r\n#\r\n#\r\n#\r\n#0,0,2,100,0\r\n"
                           "0.0, 0.0, 0\r\n1.0, 100.0, 0\r\n2.0, 0.0, 0\r\n")
                       .arg(label)
                       .toLatin1());
    }
    LoadFilesAfterStart(*MainForm, {m, f});
    QTest::qWait(3300); // the splash ends, then the files load
    ASSERT_EQ(PlotDoc->SetCount(), 3);
    EXPECT_EQ(PlotDoc->YAxisLabel, "Altitude (meters)");
    EXPECT_DOUBLE_EQ(Highest(1), 100.0);
    EXPECT_NEAR(Highest(2), 30.48, 1e-9);
    EXPECT_EQ(messages, QStringList{f + " was recorded in feet; converted to meters like the "
                                        "other sets."});

    savePath = dir.filePath("plot.csv");
    Click("SaveBtn");
    QFile saved(savePath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_EQ(text.count("#Altitude (meters)\r\n"), 4) << text.constData();
    EXPECT_TRUE(text.contains("   1.0000,   30.4800, 0\r\n")) << text.constData();
    EXPECT_FALSE(text.contains("feet"));
}
