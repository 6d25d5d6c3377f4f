// The mouse and the zoom, pan and crop buttons on a real Recorded Data page: mouse events are
// sent to the plot view, buttons are clicked, and the document, the readouts and the picture
// of the view are checked.
#include "FlightSet.h"
#include "PlotPictures.h"

#include "data/PlotDocument.h"
#include "data/ui/MainStatus.h"
#include "data/ui/WidgetNameLists.h"
#include "plot/ui/DataPage.h"
#include "plot/ui/PlotBox.h"
#include "plot/ui/PlotMouse.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace vemo;

namespace {

class PlotMouseGui : public QtAppFirst, public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        PlotDoc = &doc;
        MainStatus.XYDisp = &xy;
        MainStatus.ROCDisp = &roc;
        doc.CreateDataSet();
        page.resize(748, 488);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        box = page.PlotBox;
        Picture(); // the first rendering publishes the plot rectangle
    }
    void TearDown() override {
        MainStatus.XYDisp = MainStatus.ROCDisp = nullptr;
        PlotDoc = nullptr;
    }

    QImage Picture() { return box->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // 0.1 s and one altitude unit per pixel from (0, 0) at the plot's lower-left corner.
    void PixelScale() {
        const PlotRect a = PlotArea;
        doc.TimeMin = 0;
        doc.TimeMax = 0.1 * (a.Right - a.Left);
        doc.AltMin = 0;
        doc.AltMax = a.Bottom - a.Top;
        Picture();
    }
    QPoint At(double t, double alt) const {
        return {PlotArea.Left + static_cast<int>(std::lround(t * 10)),
                PlotArea.Bottom - static_cast<int>(std::lround(alt))};
    }

    void Move(QPoint p) { QTest::mouseMove(box, p); }
    void Drag(QPoint from, QPoint to) {
        Move(from);
        QTest::mousePress(box, Qt::LeftButton, {}, from);
        Move(to);
        QTest::mouseRelease(box, Qt::LeftButton, {}, to);
    }
    void ChooseMode(const char* caption) {
        for (auto* r : page.MouseGrp->findChildren<QRadioButton*>()) {
            if (r->text() == caption) QTest::mouseClick(r, Qt::LeftButton);
        }
        ASSERT_EQ(page.MouseGrp->findChildren<QRadioButton*>().size(), 3);
    }
    void Click(const char* name) {
        auto* b = page.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void SetView(double t0, double t1, double a0, double a1) {
        doc.TimeMin = t0, doc.TimeMax = t1, doc.AltMin = a0, doc.AltMax = a1;
    }
    const PlotMouseLogic& Logic() { return box->findChild<PlotMouse*>()->Logic(); }
    void FillEvery(double step, int count) {
        SampleStore& s = doc.AltSignal(0)->Samples;
        s.Resize(0);
        for (int i = 0; i < count; ++i)
            s.Append(i * step, 7.0 * i);
    }

    PlotDocument doc;
    DataPage page;
    QLabel xy, roc;
    TPlotBox* box = nullptr;
};

} // namespace

TEST_F(PlotMouseGui, ZoomDragNeedsTwoWholeSeconds) {
    FillEvery(1.0, 200);
    PixelScale();
    const double t1 = doc.TimeMax;
    Drag(At(10.0, 100), At(11.9, 200));
    EXPECT_EQ(std::trunc(Logic().DragEnd.T - Logic().DragStart.T), 1);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 0);
    EXPECT_DOUBLE_EQ(doc.TimeMax, t1);

    Drag(At(10.0, 100), At(12.0, 200));
    EXPECT_NEAR(doc.TimeMin, 10.0, 1e-9);
    EXPECT_NEAR(doc.TimeMax, 12.0, 1e-9);
    EXPECT_NEAR(doc.AltMin, 100.0, 1e-9);
    EXPECT_NEAR(doc.AltMax, 200.0, 1e-9);
}

TEST_F(PlotMouseGui, LeftwardDownwardDragZoomsToTheSameRectangle) {
    FillEvery(1.0, 200);
    PixelScale();
    Drag(At(40, 180), At(15, 60));
    const double t0 = doc.TimeMin, t1 = doc.TimeMax, a0 = doc.AltMin, a1 = doc.AltMax;
    EXPECT_NEAR(t0, 15, 1e-9);
    EXPECT_NEAR(a1, 180, 1e-9);

    PixelScale();
    Drag(At(15, 60), At(40, 180));
    EXPECT_DOUBLE_EQ(doc.TimeMin, t0);
    EXPECT_DOUBLE_EQ(doc.TimeMax, t1);
    EXPECT_DOUBLE_EQ(doc.AltMin, a0);
    EXPECT_DOUBLE_EQ(doc.AltMax, a1);
}

TEST_F(PlotMouseGui, ZoomPanAndResetButtons) {
    SetView(0, 100, 0, 1000);
    Click("ZoomInBtn");
    EXPECT_DOUBLE_EQ(doc.TimeMin, 25);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 75);
    EXPECT_DOUBLE_EQ(doc.AltMin, 250);
    EXPECT_DOUBLE_EQ(doc.AltMax, 750);

    SetView(0, 12, 0, 1000);
    Click("ZoomInBtn");
    EXPECT_DOUBLE_EQ(doc.TimeMin, 1);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 11);

    SetView(0, 100, 0, 1000);
    Click("ZoomOutBtn");
    EXPECT_DOUBLE_EQ(doc.TimeMin, -50);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 150);

    SetView(0, 100, 0, 1000);
    Click("PanRtBtn");
    Click("PanUpBtn");
    EXPECT_DOUBLE_EQ(doc.TimeMin, 20);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 120);
    EXPECT_DOUBLE_EQ(doc.AltMin, 200);
    EXPECT_DOUBLE_EQ(doc.AltMax, 1200);
    Click("PanLtBtn");
    Click("PanDnBtn");
    EXPECT_DOUBLE_EQ(doc.TimeMin, 0);
    EXPECT_DOUBLE_EQ(doc.AltMin, 0);

    const AxisRanges saved = HomeRange;
    HomeRange = {2, 30, -5, 45};
    Click("ZoomResetBtn");
    EXPECT_DOUBLE_EQ(doc.TimeMin, 2);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 30);
    EXPECT_DOUBLE_EQ(doc.AltMin, -5);
    EXPECT_DOUBLE_EQ(doc.AltMax, 45);
    HomeRange = saved;
}

TEST_F(PlotMouseGui, HoverPicksTheNearestSampleAndFillsTheReadouts) {
    FillEvery(0.5, 100);
    PixelScale();
    Move(At(3.2, 20));
    EXPECT_EQ(Logic().HoverSample, 6);
    EXPECT_EQ(xy.text(), "Time =      3.0, Altitude =   42");
    EXPECT_EQ(roc.text(), "Rate of Climb =   14.000 units/sec");

    // Outside the plot rectangle the readouts keep their text.
    Move(QPoint(PlotArea.Left - 3, PlotArea.Top + 10));
    EXPECT_EQ(xy.text(), "Time =      3.0, Altitude =   42");

    // A set that starts later is hovered by its own times.
    SampleStore& s = doc.AltSignal(0)->Samples;
    s.ShiftTimes(20.0);
    Move(At(23.2, 20));
    EXPECT_EQ(Logic().HoverSample, 6);
    EXPECT_EQ(xy.text(), "Time =     23.0, Altitude =   42");
}

TEST_F(PlotMouseGui, WithTheSpeedShownTheReadoutGivesTheHoveredSamplesSpeed) {
    FillEvery(0.5, 100);
    box->Switches.ShowVerticalSpeed = true;
    PixelScale();
    PixelScale(); // again on the rectangle the speed axis left
    Move(At(3.2, 20));
    EXPECT_EQ(Logic().HoverSample, 6); // the mouse maps true on the narrower plot
    EXPECT_EQ(xy.text(), "Time =      3.0, Altitude =   42");
    EXPECT_EQ(roc.text(), "Speed =     14.0 Feet/s");
}

TEST_F(PlotMouseGui, RepaintsForgetTheHoverCircleUntilTheMouseMovesAgain) {
    FillEvery(1.0, 200);
    PixelScale();
    // The circle in exclusive-or aqua shows red on the white plot; nothing else is red.
    const QRect plot(PlotArea.Left, PlotArea.Top, PlotArea.Right - PlotArea.Left,
                     PlotArea.Bottom - PlotArea.Top);
    auto circlePixels = [&] { return CountExactly(Picture(), plot, QColor(255, 0, 0)); };
    ASSERT_EQ(circlePixels(), 0);
    page.ActiveSetCombo->addItem("A");
    page.ActiveSetCombo->addItem("B");
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"Ctrl+Right", [&] { doc.TimeMax /= 2; }},
        {"scale", [&] { SetView(0, 50, -20, 300); }},
        {"active set", [&] { page.ActiveSetCombo->setCurrentIndex(1); }},
    };
    for (const auto& [what, change] : changes) {
        Move(At(30.2, 150));
        ASSERT_GT(circlePixels(), 10) << what;
        change();
        page.RepaintPlot(); // as the main window, the dialogs and the file actions ask
        EXPECT_EQ(circlePixels(), 0) << what;
        Move(At(20.2, 100)); // the next move draws a new circle and erases nothing
        EXPECT_GT(circlePixels(), 10) << what;
        PixelScale();
        page.RepaintPlot();
    }
}

TEST_F(PlotMouseGui, TwoPeakPressesLeaveTheMarkAsItWas) {
    FillEvery(1.0, 200);
    PixelScale();
    ChooseMode("Peak");
    const QImage before = Picture();
    auto& marks = doc.AltSignal(0)->Samples.PeakMarks;

    Move(At(30.2, 150));
    QTest::mouseClick(box, Qt::LeftButton, {}, At(30.2, 150));
    EXPECT_EQ(marks[30], 1);
    const QImage marked = Picture();
    // The mark and its label are drawn round the sample (30 s, 210).
    const QRect around(At(30, 210) - QPoint(30, 40), QSize(60, 60));
    int changed = 0;
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
            changed += marked.pixel(x, y) != before.pixel(x, y);
    EXPECT_GT(changed, 20);

    QTest::mouseClick(box, Qt::RightButton, {}, At(30.2, 150));
    EXPECT_EQ(marks[30], 0);
    EXPECT_EQ(std::count(marks.begin(), marks.end(), 1), 0);
}

TEST_F(PlotMouseGui, ClimbDragStoresAMarkThatTheRendererDraws) {
    FillEvery(1.0, 200);
    PixelScale();
    doc.InfoColor = 0x000000FF; // red
    ChooseMode("Climb");
    const QRect plot(PlotArea.Left + 1, PlotArea.Top + 1, PlotArea.Right - PlotArea.Left - 2,
                     PlotArea.Bottom - PlotArea.Top - 2);
    EXPECT_EQ(CountShowing(Picture(), plot, Qt::red), 0);

    Drag(At(10.3, 40), At(25.4, 200));
    const ClimbMark& m = doc.AltSignal(0)->ClimbMarks[0];
    ASSERT_TRUE(m.InUse);
    EXPECT_EQ(m.FirstSample, 10);
    EXPECT_EQ(m.SecondSample, 25);
    EXPECT_GT(CountShowing(Picture(), plot, Qt::red), 30); // the bracket

    // A drag shorter than two units in altitude stores nothing.
    Drag(At(40, 100), At(60, 101));
    EXPECT_FALSE(doc.AltSignal(0)->ClimbMarks[1].InUse);
}

TEST_F(PlotMouseGui, RubberBandFollowsTheMouseAndLeavesNothingBehind) {
    FillEvery(1.0, 200);
    PixelScale();
    const QImage clean = Picture();
    const QPoint a = At(10, 40), b = At(20, 200), c = At(11.5, 220);

    Move(a);
    QTest::mousePress(box, Qt::LeftButton, {}, a);
    Move(b);
    const QImage first = Picture();
    // A repaint in the middle of the drag, then the mouse moves on.
    box->repaint();
    Move(c);
    const QImage second = Picture();

    // The first band's right edge (x of b) is not on the picture any more.
    int stale = 0, onBand = 0, firstBand = 0;
    for (int y = b.y() + 5; y < a.y() - 5; ++y) {
        stale += second.pixel(b.x(), y) != clean.pixel(b.x(), y);
        firstBand += first.pixel(b.x(), y) != clean.pixel(b.x(), y);
        onBand += second.pixel(c.x(), y) != clean.pixel(c.x(), y);
    }
    EXPECT_GT(firstBand, 20);
    EXPECT_EQ(stale, 0);
    EXPECT_GT(onBand, 20);

    // A release of a drag under two seconds leaves the view as it was, with no band.
    QTest::mouseRelease(box, Qt::LeftButton, {}, c);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 0);
    EXPECT_EQ(Picture(), clean);
}

TEST_F(PlotMouseGui, CropKeepsTheViewMovedToTimeZero) {
    FillEvery(1.0, 101);
    SampleStore& trig = doc.TrigSignal(0)->Samples;
    trig.Resize(0);
    for (double t : {10.0, 45.0, 70.0})
        trig.Append(t, 1.0);
    auto& climbs = doc.AltSignal(0)->ClimbMarks;
    climbs[0] = {35, 50, 1};
    climbs[1] = {20, 40, 1};
    SetView(30, 60, 0, 1000);
    Click("ZoomCropBtn");

    const SampleStore& s = doc.AltSignal(0)->Samples;
    ASSERT_EQ(s.Count(), 31);
    EXPECT_DOUBLE_EQ(s.Time[0], 0);
    EXPECT_DOUBLE_EQ(s.Time[30], 30);
    EXPECT_DOUBLE_EQ(s.Alt[0], 7.0 * 30);
    ASSERT_EQ(trig.Count(), 1);
    EXPECT_DOUBLE_EQ(trig.Time[0], 15);
    EXPECT_EQ(climbs[0].FirstSample, 5);
    EXPECT_EQ(climbs[0].SecondSample, 20);
    EXPECT_FALSE(climbs[1].InUse);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 0); // ranged again
    EXPECT_DOUBLE_EQ(doc.TimeMax, 40);
}

// A recording of a rocket flight with one climb measurement and two peaks marked with the
// mouse. With VEMO_SHOT_DIR set, the page is saved there as a picture.
TEST_F(PlotMouseGui, FlightWithClimbAndPeakMarks) {
    QWidget window;
    // The page and the readouts belong to the fixture: take them back before the window goes.
    struct GiveBack {
        QWidget* w[3];
        ~GiveBack() {
            for (QWidget* x : w)
                x->setParent(nullptr);
        }
    } giveBack{{&page, &xy, &roc}};
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    page.setParent(&window);
    column->addWidget(&page, 1);
    auto* status = new QHBoxLayout;
    status->setContentsMargins(8, 2, 8, 4);
    for (QLabel* l : {&xy, &roc}) {
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->addWidget(l, 1);
    }
    column->addLayout(status);
    window.resize(760, 540);
    window.show();
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // The page's own set list, as the main window attaches it.
    ComboNameList combo(page.ActiveSetCombo);
    doc.UseNameLists(nullptr, &combo);
    const int count = FillFlight(doc, 0);
    combo.Append(doc.AltSignal(0)->Name);
    combo.Select(0);
    doc.Title = "Rocket flight, field day";
    doc.Info1 = "Motor F40, 0.25 s samples";
    SetView(0, 120, 0, 4000);
    Picture();
    const PlotRect a = PlotArea;
    auto at = [&](double t, double alt) {
        return QPoint(a.Left + static_cast<int>(t / 120 * (a.Right - a.Left)),
                      a.Bottom - static_cast<int>(alt / 4000 * (a.Bottom - a.Top)));
    };

    ChooseMode("Climb"); // the drogue descent
    Drag(at(22, 2900), at(52, 1200));
    ChooseMode("Peak");
    for (double t : {16.25, 60.0}) {
        Move(at(t, FlightFeet(t)));
        QTest::mouseClick(box, Qt::LeftButton, {}, at(t, FlightFeet(t)));
    }
    ChooseMode("Zoom");
    Move(at(70, 1500));

    const Signal& alt = *doc.AltSignal(0);
    EXPECT_EQ(alt.Samples.Count(), count);
    EXPECT_TRUE(alt.ClimbMarks[0].InUse);
    EXPECT_EQ(std::count(alt.Samples.PeakMarks.begin(), alt.Samples.PeakMarks.end(), 1), 2);
    EXPECT_TRUE(xy.text().startsWith("Time =     70.0"));

    const QByteArray dir = qgetenv("VEMO_SHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(dir) + "/plot-climb-peaks.png"));
    }

    // A zoom rectangle being dragged over the descent.
    QTest::mousePress(box, Qt::LeftButton, {}, at(70, 1500));
    Move(at(100, 400));
    EXPECT_TRUE(Logic().ZoomDrag);
    if (!dir.isEmpty()) {
        EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(dir) + "/plot-zoom-drag.png"));
    }
    QTest::mouseRelease(box, Qt::LeftButton, {}, at(100, 400));
    EXPECT_NEAR(doc.TimeMin, 70, 0.5);
    EXPECT_NEAR(doc.TimeMax, 100, 0.5);
    doc.UseNameLists(nullptr, nullptr);
}
