// The "Save" and "Load" buttons with the user's answers scripted.
#include "data/ui/FileActions.h"
#include "data/AppState.h"
#include "data/SetFile.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/SaveSel.h"

#include "QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vemo;

namespace {

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct FileActionsFixture : ::testing::Test {
    void SetUp() override {
        EnsureQtApp();
        PlotDoc = &doc;
        Signal* a = doc.CreateDataSet();
        a->Name = "First";
        doc.CreateDataSet()->Name = "Second";
        doc.ActiveSetCombo->Select(0);
        Questions().AskSaveKind = [this](QWidget*) { return kind; };
        Questions().AskSavePath = [this](QWidget*, const QString& name) {
            offered = name;
            return answer;
        };
        Questions().AskLoadPath = [this](QWidget*) { return answer; };
        Questions().ShowError = [this](QWidget*, const QString& m) { errors << m; };
        App.RepaintPlot = [this] { ++repaints; };
    }
    void TearDown() override {
        UseRealQuestions();
        App.RepaintPlot = nullptr;
        App.DownloadSetIndex = 0;
        PlotDoc = nullptr;
    }
    PlotDocument doc;
    QTemporaryDir dir;
    int kind = 0;
    QString answer, offered;
    QStringList errors;
    int repaints = 0;
};

} // namespace

TEST(SaveSelDialog, CaptionChoicesAndButtons) {
    EnsureQtApp();
    TSaveSel dialog;
    EXPECT_EQ(dialog.windowTitle(), "Save");
    auto* question = dialog.findChild<QLabel*>("QuestionLabel");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), "What do you want to save?");
    EXPECT_TRUE(question->font().bold());
    ASSERT_NE(dialog.findChild<QGroupBox*>("SaveGrp"), nullptr);
    EXPECT_EQ(dialog.ItemIndex(), TSaveSel::ActiveDataSet);
    auto* all = dialog.findChild<QRadioButton*>("AllSetsRadio");
    EXPECT_EQ(all->text(), "Plot and All Data Sets");
    EXPECT_EQ(dialog.findChild<QRadioButton*>("ActiveSetRadio")->text(), "Active Data Set");
    dialog.show();
    QTest::mouseClick(all, Qt::LeftButton);
    EXPECT_EQ(dialog.ItemIndex(), TSaveSel::PlotAndAllDataSets);
    QTest::mouseClick(dialog.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(FileActionsFixture, SaveActiveSetOffersTheSetNameAndWritesOneBlock) {
    App.DownloadSetIndex = 2;
    answer = dir.filePath("a.csv");
    SaveData(nullptr);
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    EXPECT_EQ(offered, "Alt_" + today + "_3.csv");
    EXPECT_TRUE(Read(answer).startsWith("#First\r\n#Time (sec)\r\n"));
    EXPECT_FALSE(Read(answer).contains("Second"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(FileActionsFixture, SavePlotOffersThePlotNameAndWritesEverySet) {
    kind = TSaveSel::PlotAndAllDataSets;
    answer = dir.filePath("p.csv");
    SaveData(nullptr);
    EXPECT_EQ(offered, "Plot_" + QDate::currentDate().toString("yyyy-MM-dd") + ".csv");
    std::string expected;
    WritePlotFile(doc, expected);
    EXPECT_EQ(Read(answer).toStdString(), expected);
}

TEST_F(FileActionsFixture, CancelledOrFailedSaves) {
    kind = -1;
    answer = dir.filePath("x.csv");
    SaveData(nullptr);
    EXPECT_TRUE(offered.isEmpty());
    kind = 0;
    answer = "";
    SaveData(nullptr);
    EXPECT_FALSE(offered.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    answer = dir.filePath("no/x.csv");
    SaveData(nullptr);
    EXPECT_EQ(errors, QStringList{"Unable to open " + answer + "!"});

    // With no active set there is nothing to save as a set file.
    doc.Clear();
    offered.clear();
    SaveData(nullptr);
    EXPECT_TRUE(offered.isEmpty());
}

TEST_F(FileActionsFixture, LoadAddsSetsRefreshesTheDialogAndRepaints) {
    TDataPropForm form;
    DataPropForm = &form;
    PlotDocument fresh;
    fresh.UseNameLists(form.SetListNames(), nullptr);
    fresh.CreateDataSet();
    PlotDoc = &fresh;
    answer = QString(VEMO_TEST_DATA) + "/fixtures/plot3.csv";
    LoadData(nullptr);
    DataPropForm = nullptr;
    EXPECT_EQ(fresh.SetCount(), 4);
    EXPECT_EQ(form.SetListBox->count(), 4);
    EXPECT_EQ(form.SetListBox->currentRow(), 0);
    EXPECT_EQ(form.findChild<QLineEdit*>("SignalDisplayNameEdit")->text(), "Data000");
    EXPECT_EQ(fresh.ActiveSet(), 3);
    EXPECT_EQ(fresh.Title, "Flight tests");
    EXPECT_EQ(repaints, 1);

    answer = dir.filePath("missing.csv");
    LoadData(nullptr);
    EXPECT_EQ(errors, QStringList{"Unable to open " + answer + "!"});
    EXPECT_EQ(fresh.SetCount(), 4);
    EXPECT_EQ(repaints, 1);
    fresh.Clear();
}
