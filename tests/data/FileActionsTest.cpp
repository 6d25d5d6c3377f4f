// The "Save" and "Load" buttons with the user's answers scripted.
#include "data/ui/FileActions.h"
#include "data/DataFile.h"
#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/SaveSel.h"

#include "QtTestApp.h"
#include "tests/ModalAnswer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
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
        Questions().ShowMessage = [this](QWidget*, const QString& m) { messages << m; };
    }
    void TearDown() override {
        UseRealQuestions();
        PlotDoc = nullptr;
    }
    PlotDocument doc;
    QTemporaryDir dir;
    int kind = 0;
    QString answer, offered;
    QStringList errors, messages;
    int repaints = 0;
    std::function<void()> repaint = [this] { ++repaints; }; // as the window asks after a load

    QString Write(const char* name, const std::string& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
        return f.fileName();
    }
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
    const int downloadSetIndex = 2; // the last "Download Data" asked for "Set#" item 2
    answer = dir.filePath("a.csv");
    SaveData(nullptr, downloadSetIndex);
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
    LoadData(nullptr, repaint);
    DataPropForm = nullptr;
    EXPECT_EQ(fresh.SetCount(), 4);
    EXPECT_EQ(form.SetListBox->count(), 4);
    EXPECT_EQ(form.SetListBox->currentRow(), 0);
    EXPECT_EQ(form.findChild<QLineEdit*>("SignalDisplayNameEdit")->text(), "Data000");
    EXPECT_EQ(fresh.ActiveSet(), 3);
    EXPECT_EQ(fresh.Title, "Flight tests");
    EXPECT_EQ(repaints, 1);

    answer = dir.filePath("missing.csv");
    LoadData(nullptr, repaint);
    EXPECT_EQ(errors, QStringList{"Unable to open " + answer + "!"});
    EXPECT_EQ(fresh.SetCount(), 4);
    EXPECT_EQ(repaints, 1);
    fresh.Clear();
}

TEST_F(FileActionsFixture, ANameWithoutExtensionIsSavedAsCsv) {
    for (const char* typed : {"noext", "dotted.", "own.txt"}) {
        answer = dir.filePath(typed);
        SaveData(nullptr);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{"dotted.csv", "noext.csv", "own.txt"}));
    EXPECT_TRUE(Read(dir.filePath("noext.csv")).startsWith("#First\r\n"));
}

// Load says once a file what sets could not hold, what an export skipped, what it converted or
// found out of order, and why it fails.
TEST_F(FileActionsFixture, LoadSaysWhatItLeftOutAndWhatItCannotRead) {
    std::string block = "! 0, 1, 0, 0, 0, 7\r\n#Long\r\n#\r\n#\r\n#\r\n#\r\n#\r\n#0,0,1,1,0\r\n";
    for (int i = 0; i < MaxSamples + 7; ++i)
        block += std::to_string(i) + ", 1, 0\r\n";
    const QString fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";
    const QString files[] = {
        Write("long.csv",
              "Vemo Plot\r\n#\r\n#\r\n#\r\n#\r\n#\r\n#\r\n#0,0,1,1\r\n" + block + block),
        fixtures + "plot3.csv",
        fixtures + "sim_handmade.csv",
        Write("velocity.csv", "# Rocket\n# Time (s),Vertical velocity (m/s)\n0,0\n1,5\n"),
        Write("passwd.csv", "root:x:0:0:root:/root:/bin/bash\n"),
        Write("meters.csv", "#M\r\n#Time (seconds)\r\n#Altitude (meters)\r\n#\r\n#\r\n#\r\n"
                            "#0,0,1,1,0\r\n0, 3.048, 0\r\n2, 1, 0\r\n1, 2, 0\r\n")};
    for (const QString& file : files) {
        answer = file;
        LoadData(nullptr, repaint);
    }
    EXPECT_EQ(messages, (QStringList{files[0] + " holds more than 65536 samples in a data set; 14 "
                                                "samples were not loaded.",
                                     files[2] + ": 1 row skipped (time or altitude not a number, "
                                                "or out of time order)",
                                     files[4] + " holds no data samples.",
                                     files[5] + " was recorded in meters; converted to feet like "
                                                "the other sets.",
                                     files[5] + ": 1 sample is out of time order."}));
    EXPECT_EQ(errors, QStringList{files[3] + ": the column header names no altitude column"});
    EXPECT_EQ(repaints, 4); // nothing to repaint after a file refused
    EXPECT_EQ(doc.AltSignal(3)->Samples.Count(), MaxSamples);
    EXPECT_EQ(doc.AltSignal(doc.SetCount() - 2)->Name, "Hand-made test rock");
}

// The real file dialogs, answered as a user would, each start in the folder last chosen.
TEST_F(FileActionsFixture, FileDialogsStartInTheFolderLastUsed) {
    UseRealQuestions();
    Questions().AskSaveKind = [](QWidget*) { return 0; };
    QTemporaryDir other;
    QStringList startedIn;
    QString choose; // empty: cancel
    ModalAnswer<QFileDialog> user([&](QFileDialog* d) {
        startedIn << d->directory().absolutePath();
        if (choose.isEmpty()) return d->reject();
        // Typed as a whole path into the name box, which does not move the dialog itself.
        d->findChild<QLineEdit*>("fileNameEdit")->setText(choose);
        static_cast<QDialog*>(d)->accept();
    });
    const QString fixtures = QDir(QString(VEMO_TEST_DATA) + "/fixtures").absolutePath();
    choose = fixtures + "/plot3.csv";
    LoadData(nullptr, repaint);
    choose = dir.filePath("saved");
    SaveData(nullptr);
    choose = other.filePath("photos.txt");
    EXPECT_EQ(Questions().AskPhotoPath(nullptr), choose);
    choose.clear();
    EXPECT_EQ(Questions().AskLoadPath(nullptr), QString());
    ASSERT_EQ(startedIn.size(), 4);
    EXPECT_EQ(startedIn.mid(1), (QStringList{fixtures, QDir(dir.path()).absolutePath(),
                                             QDir(other.path()).absolutePath()}));
    EXPECT_TRUE(QFile::exists(dir.filePath("saved.csv")));
}

// The questions and messages are real message boxes: caption, icon and default button.
TEST(MessageBoxes, YesNoDefaultsToNoAndMessagesAreCaptionedVemo) {
    EnsureQtApp();
    UseRealQuestions();
    QStringList seen;
    ModalAnswer<QMessageBox> user([&](QMessageBox* box) {
        QAbstractButton* no = box->button(QMessageBox::No);
        seen << box->windowTitle() + "|" + box->text() +
                    (no && box->defaultButton() == no ? "|No is the default" : "") +
                    (box->icon() == QMessageBox::Warning ? "|exclamation" : "");
        box->button(no ? QMessageBox::Yes : QMessageBox::Ok)->click();
    });
    EXPECT_TRUE(Questions().AskYesNo(nullptr, "Delete Data Set", "Delete data set A?"));
    Questions().ShowMessage(nullptr, "Not a number: x");
    EXPECT_EQ(seen, (QStringList{"Delete Data Set|Delete data set A?|No is the default",
                                 "Vemo|Not a number: x|exclamation"}));
}
