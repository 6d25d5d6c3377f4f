// Files named on the command line load when the splash ends, as "Load" loads them; and the
// Manual button finds the manual beside the program or where an installation puts it.
#include "app/StartFiles.h"
#include "app/AboutPage.h"
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/AppState.h"
#include "data/ui/FileActions.h"
#include "plot/ui/DataPage.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vemo;

TEST(StartFiles, EachFileLoadsWhenTheSplashEndsAndOneThatFailsIsReported) {
    const QString fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";
    const QString missing = QDir::temp().filePath("vemo-no-such-file.csv");
    QStringList errors;
    Questions().ShowError = [&](QWidget*, const QString& message) { errors << message; };
    CreateWindows();
    MainForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    ASSERT_EQ(PlotDoc->SetCount(), 1); // the placeholder
    LoadFilesAfterStart(*MainForm, {fixtures + "plot3.csv", missing, fixtures + "headerless3.csv"});
    EXPECT_EQ(PlotDoc->SetCount(), 1); // nothing before the splash ends

    MainForm->Timer3->start(10);
    QTRY_COMPARE_WITH_TIMEOUT(MainForm->PageControl1->currentWidget(),
                              static_cast<QWidget*>(MainForm->DataPg), 2000);
    EXPECT_EQ(PlotDoc->SetCount(), 1 + 3 + 1);
    EXPECT_EQ(PlotDoc->Title, "Flight tests"); // the plot file's texts, as "Load" takes them
    EXPECT_EQ(errors, QStringList{"Unable to open " + missing + "!"});

    // The splash ends once; a later tick of the timer loads nothing again.
    MainForm->Timer3->start(10);
    QTest::qWait(100);
    EXPECT_EQ(PlotDoc->SetCount(), 5);
    DestroyWindows();
    UseRealQuestions();
}

TEST(ManualButton, LooksBesideTheProgramThenInTheInstalledDocFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("bin") && dir.mkpath("share/doc/vemo"));
    const QString bin = dir.filePath("bin");
    const QString beside = dir.filePath("bin/VemoManual.pdf");
    const QString installed = dir.filePath("share/doc/vemo/VemoManual.pdf");
    auto touch = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly);
    };

    EXPECT_EQ(AboutPage::ManualPath(bin), beside); // neither: the program's own folder
    ASSERT_TRUE(touch(installed));
    EXPECT_EQ(AboutPage::ManualPath(bin), installed);
    ASSERT_TRUE(touch(beside));
    EXPECT_EQ(AboutPage::ManualPath(bin), beside); // the build tree's copy comes first
}
