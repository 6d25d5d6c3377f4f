#include "app/MainForm.h"
#include "app/AboutPage.h"
#include "app/KeyZoom.h"
#include "app/StartFiles.h"
#include "app/StartUp.h"
#include "app/Windows.h"
#include "data/PlotDocument.h"
#include "data/ui/FileActions.h"
#include "data/ui/MainStatus.h"
#include "link/SerialLink.h"
#include "link/ui/ConnectPage.h"
#include "link/ui/LogPage.h"
#include "link/ui/ModSetForm.h"
#include "tests/ModalAnswer.h"
#include "tests/link/LinkTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace vemo;

namespace {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateWindows();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
        ASSERT_NE(PlotDoc, nullptr);
    }
    void TearDown() override { DestroyWindows(); }

    void ShowPage(const char* name) {
        auto* page = MainForm->findChild<QWidget*>(name);
        ASSERT_NE(page, nullptr);
        MainForm->PageControl1->setCurrentWidget(page);
    }
    void Key(int key, Qt::KeyboardModifiers mods) {
        QWidget* target = QApplication::focusWidget();
        if (!target) target = MainForm->PageControl1->currentWidget();
        QTest::keyClick(target, static_cast<Qt::Key>(key), mods);
    }
    QString CurrentTab() const {
        return MainForm->PageControl1->tabText(MainForm->PageControl1->currentIndex());
    }
};

} // namespace

TEST_F(MainFormTest, StartsOnAboutThenSwitchesToConnectAfterThreeSeconds) {
    EXPECT_EQ(MainForm->windowTitle(), "Vemo");
    EXPECT_EQ(CurrentTab(), "About");
    EXPECT_EQ(MainForm->size(), QSize(772, 565));
    // The Log Data page exists but its tab is hidden.
    auto* tabs = MainForm->PageControl1;
    ASSERT_EQ(tabs->count(), 5);
    EXPECT_FALSE(tabs->isTabVisible(3));
    EXPECT_EQ(tabs->tabText(3), "Log Data");

    QTest::qWait(2500);
    EXPECT_EQ(CurrentTab(), "About");
    ASSERT_TRUE(QTest::qWaitFor([&] { return CurrentTab() == "Connect / Download"; }, 2000));
    EXPECT_FALSE(MainForm->Timer3->isActive());
}

TEST_F(MainFormTest, SizeableWindowOptionTakesEffectWhenTheSplashEnds) {
    auto* sizeChk = MainForm->findChild<QCheckBox*>("SizeChk");
    ASSERT_NE(sizeChk, nullptr);
    // Fixed size during the splash, whatever the option says.
    sizeChk->setChecked(true);
    EXPECT_EQ(MainForm->minimumSize(), MainForm->maximumSize());
    ASSERT_TRUE(QTest::qWaitFor([&] { return CurrentTab() == "Connect / Download"; }, 4000));
    EXPECT_NE(MainForm->minimumSize(), MainForm->maximumSize());
    // The pages follow the window's edges.
    MainForm->resize(900, 700);
    EXPECT_TRUE(QTest::qWaitFor([] {
        return MainForm->PageControl1->geometry() == QRect(8, 8, 884, 651);
    })) << MainForm->PageControl1->geometry().width();
}

TEST_F(MainFormTest, WindowStaysFixedWithoutTheSizeableOption) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return CurrentTab() == "Connect / Download"; }, 4000));
    EXPECT_EQ(MainForm->minimumSize(), QSize(772, 565));
    EXPECT_EQ(MainForm->maximumSize(), QSize(772, 565));
}

TEST_F(MainFormTest, StartsWithPlaceholderSetAndAboutInfo) {
    ASSERT_EQ(PlotDoc->SetCount(), 1);
    EXPECT_EQ(PlotDoc->AltSignal(0)->Name, "Data000");
    EXPECT_EQ(PlotDoc->ActiveSet(), 0);
    auto* version = MainForm->findChild<QLabel*>("VersionInfo");
    auto* build = MainForm->findChild<QLabel*>("BuildInfo");
    ASSERT_TRUE(version && build);
    EXPECT_FALSE(version->text().isEmpty());
    // "Feb 10 2007, 22:40:13"
    EXPECT_TRUE(QRegularExpression("^[A-Z][a-z]{2} \\d{1,2} \\d{4}, \\d\\d:\\d\\d:\\d\\d$")
                    .match(build->text())
                    .hasMatch())
        << build->text().toStdString();
}

TEST_F(MainFormTest, KeyboardZoomAndPanOnRecordedDataPage) {
    ShowPage("DataPage");
    MainForm->activateWindow();
    Key(Qt::Key_Up, Qt::ControlModifier);
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(PlotDoc->AltMin, 0);
    EXPECT_DOUBLE_EQ(PlotDoc->AltMax, 5);

    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMin, 0);
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMax, 40);

    Key(Qt::Key_Home, Qt::NoModifier);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMin, -2);
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMax, 18);

    // Ctrl wins over Shift.
    Key(Qt::Key_Home, Qt::NoModifier);
    Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMin, 0);
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMax, 10);
}

TEST_F(MainFormTest, ArrowKeysOnOtherPagesReachTheFocusedControl) {
    ShowPage("ConfigurePage");
    QTabBar* bar = MainForm->PageControl1->tabBar();
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right, Qt::ShiftModifier);
    // The tab bar moved to the next page and the plot range did not change.
    EXPECT_EQ(CurrentTab(), "Recorded Data");
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMin, 0);
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMax, 20);
}

TEST_F(MainFormTest, LaterShowDoesNotReload) {
    PlotDocument* doc = PlotDoc;
    PlotDoc->CreateDataSet();
    MainForm->hide();
    MainForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    EXPECT_EQ(PlotDoc, doc);
    EXPECT_EQ(PlotDoc->SetCount(), 2);
}

TEST_F(MainFormTest, CtrlClickOnPictureOpensServiceDialog) {
    auto* image = MainForm->findChild<QLabel*>("Image1");
    ASSERT_NE(image, nullptr);
    QTest::mouseClick(image, Qt::LeftButton); // without Ctrl: nothing
    EXPECT_FALSE(ModSetForm->isVisible());

    bool opened = false;
    QTimer::singleShot(100, [&] {
        opened = ModSetForm->isVisible();
        ModSetForm->reject();
    });
    QTest::mousePress(image, Qt::RightButton, Qt::ControlModifier);
    EXPECT_TRUE(opened);
}

TEST_F(MainFormTest, PageChangeClearsMouseReadouts) {
    auto* xy = MainForm->findChild<QLabel*>("XYDisp");
    auto* roc = MainForm->findChild<QLabel*>("ROCDisp");
    ASSERT_TRUE(xy && roc);
    xy->setText("t=1");
    roc->setText("r=2");
    ShowPage("ConfigurePage");
    EXPECT_TRUE(xy->text().isEmpty());
    EXPECT_TRUE(roc->text().isEmpty());
}

// Ctrl+Tab, Ctrl+Shift+Tab and the wheel over the tabs walk the shown pages only.
TEST_F(MainFormTest, TheHiddenLogPageIsOutOfReachOfTheKeysAndTheWheel) {
    QTabWidget* tabs = MainForm->PageControl1;
    ShowPage("ConnectPage");
    const QImage bar = tabs->tabBar()->grab().toImage();
    const QPointF at = tabs->tabBar()->rect().center();
    QSet<QWidget*> reached;
    for (int i = 0, n = tabs->count() * 2; i < 4 * n; ++i) { // Ctrl+Tab, back, wheel down, up
        if (i < 2 * n) {
            QTest::keyClick(tabs->currentWidget(), i < n ? Qt::Key_Tab : Qt::Key_Backtab,
                            Qt::ControlModifier | (i < n ? Qt::NoModifier : Qt::ShiftModifier));
        } else {
            QWheelEvent e(at, tabs->tabBar()->mapToGlobal(at), {}, {0, i < 3 * n ? -120 : 120},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(tabs->tabBar(), &e);
        }
        reached << tabs->currentWidget();
    }
    EXPECT_FALSE(reached.contains(MainForm->LogPg));
    EXPECT_EQ(reached.size(), 4);
    ShowPage("ConnectPage");
    EXPECT_EQ(tabs->tabBar()->grab().toImage(), bar); // nothing of "Log Data" drawn
}

// With "Sizeable Window" the window shrinks no further than every control stays whole.
TEST_F(MainFormTest, AtItsSmallestSizeTheWindowShowsEveryControlWhole) {
    MainForm->ConnectPg->SizeChk->setChecked(true);
    MainForm->Timer3->start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return CurrentTab() == "Connect / Download"; }, 2000));
    MainForm->resize(1, 1);
    ASSERT_TRUE(QTest::qWaitFor([] { return MainForm->size() == MainForm->minimumSize(); }));
    for (int page = 0; page < MainForm->PageControl1->count(); ++page) {
        MainForm->PageControl1->setCurrentIndex(page);
        QApplication::processEvents();
        for (QWidget* w : MainForm->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->objectName().startsWith("qt_")) continue;
            EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
                << page << " " << w->objectName().toStdString();
        }
    }
}

TEST(KeyZoom, ZoomingOutAThousandTimesStopsWhileTheRangesAreFinite) {
    PlotDocument doc;
    for (int i = 0; i < 1100; ++i) {
        ApplyZoomKey(doc, ZoomKey::Left, true, false);
        ApplyZoomKey(doc, ZoomKey::Down, true, false);
        ApplyZoomKey(doc, ZoomKey::Right, false, true);
        ApplyZoomKey(doc, ZoomKey::Up, false, true);
    }
    for (double v : {doc.TimeMin, doc.TimeMax, doc.AltMin, doc.AltMax, doc.TimeMax - doc.TimeMin,
                     doc.AltMax - doc.AltMin})
        EXPECT_TRUE(std::isfinite(v)) << v;
    EXPECT_GT(doc.AltMax - doc.AltMin, 1e300);
}

TEST(KeyZoom, OtherKeysAndPlainArrowsAreNotConsumed) {
    PlotDocument doc;
    EXPECT_FALSE(ApplyZoomKey(doc, ZoomKey::Left, false, false));
    EXPECT_FALSE(ApplyZoomKey(doc, ZoomKey::Other, true, false));
    EXPECT_TRUE(ApplyZoomKey(doc, ZoomKey::Down, true, false));
    EXPECT_DOUBLE_EQ(doc.AltMax, 40);
    EXPECT_TRUE(ApplyZoomKey(doc, ZoomKey::Up, false, true));
    EXPECT_DOUBLE_EQ(doc.AltMin, 4);
    EXPECT_DOUBLE_EQ(doc.AltMax, 44);
}

// A download's progress bar moves no panel, and the readouts keep room for their longest texts.
TEST_F(MainFormTest, ProgressBarShowsWithoutMovingOrSqueezingThePanels) {
    MainStatus.XYDisp->setText("Time =  12345.6, Altitude = -1234");
    MainStatus.ROCDisp->setText("Rate of Climb = -123.456 units/sec");
    auto places = [] {
        QApplication::processEvents();
        QList<QRect> r;
        for (QLabel* p : {MainStatus.ConnectStatusDisp, MainStatus.LogDisp, MainStatus.XYDisp,
                          MainStatus.ROCDisp}) {
            EXPECT_LE(p->fontMetrics().horizontalAdvance(p->text()), p->contentsRect().width());
            r << p->geometry();
        }
        return r;
    };
    const QList<QRect> before = places();
    MainStatus.ProgressBar1->setVisible(true); // as a download does
    EXPECT_EQ(places(), before);
    EXPECT_GE(MainStatus.ProgressBar1->width(), 60);
}

// An error while the windows are made is shown, and the start given up (exit status 1).
TEST(StartUp, AnErrorWhileTheWindowsAreMadeIsShownAndStopsTheStart) {
    QStringList shown;
    ModalAnswer<QMessageBox> user([&](QMessageBox* box) {
        shown << box->windowTitle() + ": " + box->text();
        box->accept();
    });
    EXPECT_FALSE(StartWindows([] {
        CreateWindows();
        throw std::runtime_error("Not enough memory for the plot.");
    }));
    EXPECT_EQ(shown, QStringList{"Vemo: Not enough memory for the plot."});
    EXPECT_EQ(MainForm, nullptr); // what was made is released
    EXPECT_TRUE(StartWindows());
    EXPECT_TRUE(MainForm->isVisible());
    DestroyWindows();
}

// The hidden "Log Data" page: its chart is made at the first show; "Start" needs a connection,
// and Start/Stop show on the button, in the status bar and in the 250 ms timer.
TEST_F(MainFormTest, LogDataStartNeedsAConnectionAndStopAlwaysStops) {
    LogPage& page = *MainForm->LogPg;
    EXPECT_EQ(page.History.Values.size(), 665u); // a value for each pixel column
    EXPECT_EQ(page.History.Count, 0);
    EXPECT_EQ(page.AMaxLabel->text(), "10000");
    EXPECT_EQ(page.AMinLabel->text(), "0");
    EXPECT_EQ(MainForm->Timer1->interval(), 250);
    auto expectLogging = [&](bool on) {
        EXPECT_EQ(MainForm->ConnectPg->Context().state.Logging, on);
        EXPECT_EQ(page.StartBtn->text(), on ? "Stop" : "Start");
        EXPECT_EQ(MainStatus.LogDisp->text(), on ? "Logging" : "");
        EXPECT_EQ(MainForm->Timer1->isActive(), on);
    };
    MainForm->PageControl1->setCurrentWidget(&page);
    page.StartBtn->click();
    EXPECT_EQ(MainForm->PageControl1->currentWidget(), static_cast<QWidget*>(MainForm->ConnectPg));
    EXPECT_EQ(MainForm->findChild<QPlainTextEdit*>("InfoText")->toPlainText(), "Not Connected");
    expectLogging(false);

    linktest::PtyPair module;
    ASSERT_TRUE(module.Ok());
    ASSERT_TRUE(Link().OpenPort(module.Path(), 115200));
    MainForm->ConnectPg->Context().state.Connected = true;
    page.StartBtn->click();
    EXPECT_EQ(module.Receive(1), "l");
    expectLogging(true);
    page.StartBtn->click();
    expectLogging(false);
    Link().ClosePort();
}

// Files named on the command line load once, when the splash ends, as "Load" loads them.
TEST_F(MainFormTest, StartFilesLoadWhenTheSplashEndsAndOneThatFailsIsReported) {
    const QString fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";
    const QString missing = QDir::temp().filePath("vemo-no-such-file.csv");
    QStringList errors;
    Questions().ShowError = [&](QWidget*, const QString& message) { errors << message; };
    LoadFilesAfterStart(*MainForm, {fixtures + "plot3.csv", missing, fixtures + "headerless3.csv"});
    EXPECT_EQ(PlotDoc->SetCount(), 1); // the placeholder, until the splash ends
    MainForm->Timer3->start(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return CurrentTab() == "Recorded Data"; }, 2000));
    EXPECT_EQ(PlotDoc->SetCount(), 1 + 3 + 1);
    EXPECT_EQ(PlotDoc->Title, "Flight tests"); // the plot file's texts, as "Load" takes them
    EXPECT_EQ(errors, QStringList{"Unable to open " + missing + "!"});
    MainForm->Timer3->start(10);
    QTest::qWait(100);
    EXPECT_EQ(PlotDoc->SetCount(), 5);
    UseRealQuestions();
}

// A file opened with the program is shown whole; "Load" afterwards keeps the view.
TEST_F(MainFormTest, StartFilesAreAutoRangedOnBothAxes) {
    const QString fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";
    LoadFilesAfterStart(*MainForm, {fixtures + "headerless3.csv"}); // 12.5..14.5 s, 300..310
    MainForm->Timer3->start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return PlotDoc->SetCount() == 2; }, 2000));
    EXPECT_EQ((std::array{PlotDoc->TimeMin, PlotDoc->TimeMax, PlotDoc->AltMin, PlotDoc->AltMax}),
              (std::array{0.0, 30.0, 0.0, 400.0})); // with the placeholder's 0..20
    PlotDoc->TimeMax = 14.0; // zoomed in
    Questions().AskLoadPath = [&](QWidget*) { return fixtures + "climb_anywhere.csv"; };
    QTest::mouseClick(MainForm->findChild<QPushButton*>("LoadBtn"), Qt::LeftButton);
    EXPECT_EQ(PlotDoc->TimeMax, 14.0);
    UseRealQuestions();
}

TEST(ManualButton, LooksBesideTheProgramThenInTheInstalledDataFolders) {
    QTemporaryDir root;
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("bin") && dir.mkpath("share/vemo") && dir.mkpath("share/doc/vemo"));
    const QString bin = dir.filePath("bin");
    EXPECT_EQ(AboutPage::ManualPath(bin), ""); // none
    // Each place, made in turn from the last to the first, takes over from those after it.
    for (const char* place : {"share/doc/vemo", "share/vemo", "bin"}) {
        const QString path = dir.filePath(QString(place) + "/VemoManual.pdf");
        ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
        EXPECT_EQ(AboutPage::ManualPath(bin), path);
    }
}

// The button hands the manual to the desktop's opener (xdg-open, found on the PATH); with no
// manual, or no PDF viewer known to xdg-mime, or an opener that fails, a box says so instead.
// Stand-ins for the two desktop tools answer and record what they were asked. (The offscreen
// window system opens nothing: there the last case gives the box too.)
TEST(ManualButton, OpensTheManualOrSaysWhatIsMissing) {
    QTemporaryDir root;
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("bin") && dir.mkpath("tools") && dir.mkpath("share/vemo"));
    const QString opened = dir.filePath("opened");
    const QString manual = dir.filePath("share/vemo/VemoManual.pdf");
    auto tool = [&](const char* name, const QByteArray& body) {
        QFile f(dir.filePath(QString("tools/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body + "\n");
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };
    tool("xdg-open", "echo \"$1\" > " + opened.toUtf8());
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.filePath("tools").toUtf8());
    QStringList boxes;
    ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
        boxes << box->text();
        box->accept();
    });
    const QStringList noViewer{"No program to show PDF files was found", manual};
    const bool opens = QGuiApplication::platformName() != "offscreen";
    struct Case {
        bool manual;
        const char* viewer; // what xdg-mime names for PDF files
        QStringList box;    // parts of the box's text, none for no box
    };
    QWidget parent;
    for (const Case& c : {Case{false, "evince.desktop",
                               {"VemoManual.pdf was not found", dir.filePath("share/vemo")}},
                          Case{true, "", noViewer},
                          Case{true, "evince.desktop", opens ? QStringList() : noViewer}}) {
        if (c.manual) {
            ASSERT_TRUE(QFile(manual).open(QIODevice::WriteOnly));
        }
        tool("xdg-mime", QByteArray("echo ") + c.viewer);
        boxes.clear();
        AboutPage::OpenManual(&parent, dir.filePath("bin"));
        SCOPED_TRACE(c.box.join(' ').toStdString());
        if (c.box.isEmpty()) {
            EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
            ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(opened).size() > 0; }, 5000));
            QFile f(opened);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(QUrl(QString::fromUtf8(f.readAll().trimmed())).toLocalFile(), manual);
        } else {
            ASSERT_EQ(boxes.size(), 1);
            for (const QString& part : c.box)
                EXPECT_TRUE(boxes[0].contains(part)) << boxes[0].toStdString();
            EXPECT_FALSE(QFile::exists(opened));
        }
    }
    qputenv("PATH", path);
}
