// Under a locale that writes numbers with a decimal comma, every dialog and readout shows the
// decimal point the plot's labels show, and reads back what it shows.
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/MainStatus.h"
#include "plot/ui/DataPage.h"
#include "plot/ui/OutputActions.h"
#include "plot/ui/PlotBox.h"
#include "plot/ui/PrtLocForm.h"
#include "plot/ui/ScaleForm.h"
#include "tests/ModalAnswer.h"

#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

using namespace vemo;

namespace {

class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        // The German locale the build compiled: the C library's own conversions then write
        // "3,5", as on a German desktop.
        qputenv("LOCPATH", VEMO_TEST_LOCALES);
        ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr)
            << "no de_DE.UTF-8 locale in " VEMO_TEST_LOCALES " (Debian package locales)";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 3.5);
        ASSERT_STREQ(probe, "3,5");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

        CreateWindows();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
        MainForm->PageControl1->setCurrentWidget(MainForm->DataPg);
    }
    void TearDown() override {
        DestroyWindows();
        OutputUi() = StandardOutputDialogs();
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, "C");
    }

    QPushButton* Button(const char* name) {
        return MainForm->DataPg->findChild<QPushButton*>(name);
    }
};

} // namespace

TEST_F(CommaLocale, TheOutputDialogShowsAndReadsTheSizeTheExportGets) {
    QTemporaryDir dir;
    const QString file = dir.filePath("plot.bmp");
    OutputUi().ExportFile = [&](QWidget*, int& type, QString& name) {
        type = 1;
        name = file;
        return true;
    };
    QString shownWidth, shownHeight, shownLeft;
    ModalAnswer<TPrtLocForm> answer([&](TPrtLocForm* form) {
        shownWidth = form->WidthEdit->text();
        shownHeight = form->HeightEdit->text();
        shownLeft = form->LeftEdit->text();
        form->OKBtn->click();
    });
    QTest::mouseClick(Button("ExportBtn"), Qt::LeftButton);
    ASSERT_EQ(answer.Count(), 1);
    EXPECT_EQ(shownWidth, "7");
    EXPECT_EQ(shownHeight, "3.5");
    EXPECT_EQ(shownLeft, "0.5");
    EXPECT_EQ(QImageReader(file).size(), QSize(700, 350));
}

TEST_F(CommaLocale, TheScaleAndDataPropertiesDialogsShowAndReadDecimalPoints) {
    PlotDoc->TimeMax = 12.5;
    PlotDoc->AltMin = -0.25;
    QString shown;
    ModalAnswer<TScaleForm> scale([&](TScaleForm* form) {
        shown = form->findChild<QLineEdit*>("XMaxEdit")->text() + " " +
                form->findChild<QLineEdit*>("YMinEdit")->text();
        form->findChild<QLineEdit*>("YMaxEdit")->setText("1.75");
        form->findChild<QPushButton*>("OkBtn")->click();
    });
    QTest::mouseClick(Button("ScaleBtn"), Qt::LeftButton);
    ASSERT_EQ(scale.Count(), 1);
    EXPECT_EQ(shown, "12.5 -0.25");
    EXPECT_EQ(PlotDoc->AltMax, 1.75);

    const double before = PlotDoc->AltSignal(0)->Samples.Alt[1];
    ModalAnswer<TDataPropForm> props([&](TDataPropForm* form) {
        auto* offset = form->findChild<QLineEdit*>("YOffsetEdit");
        shown = offset->text();
        offset->setText("2.5");
        QTest::mouseClick(form->findChild<QPushButton*>("ApplyBtn"), Qt::LeftButton);
        form->reject();
    });
    QTest::mouseClick(Button("DataPropBtn"), Qt::LeftButton);
    ASSERT_EQ(props.Count(), 1);
    EXPECT_EQ(shown, "0.000000");
    EXPECT_EQ(PlotDoc->AltSignal(0)->Samples.Alt[1], before + 2.5);
}

TEST_F(CommaLocale, TheMouseReadoutsWriteDecimalPoints) {
    // The placeholder ramp lies under the mouse.
    QTest::mouseMove(MainForm->DataPg->PlotBox, QPoint(300, 150));
    ASSERT_NE(MainStatus.XYDisp, nullptr);
    const QString xy = MainStatus.XYDisp->text(), roc = MainStatus.ROCDisp->text();
    EXPECT_TRUE(QRegularExpression(R"(^Time = +\d+\.\d, Altitude = +-?\d+$)").match(xy).hasMatch())
        << xy.toStdString();
    EXPECT_TRUE(
        QRegularExpression(R"(^Rate of Climb = +-?\d+\.\d{3} units/sec$)").match(roc).hasMatch())
        << roc.toStdString();
}
