// The mouse modes, readouts, zoom, pan and crop, driven with pixel positions on a fixed plot
// rectangle (no widgets).
#include "plot/Interaction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace vemo;

namespace {

// 0.1 s and 1 altitude unit per pixel with the ranges set by MakeDoc.
constexpr PlotRect Area{100, 50, 1100, 350};

// One data set sampled every `step` seconds from `t0`, altitude 10 * i.
void FillSet(PlotDocument& doc, int k, int count, double step, double t0 = 0.0) {
    SampleStore& s = doc.AltSignal(k)->Samples;
    s.Resize(0);
    for (int i = 0; i < count; ++i)
        s.Append(t0 + i * step, 10.0 * i);
}

struct Fixture : ::testing::Test {
    PlotDocument doc;
    PlotMouseLogic mouse;
    void SetUp() override {
        doc.CreateDataSet();
        FillSet(doc, 0, 201, 0.5);
        ResetView();
    }
    void ResetView() {
        mouse = PlotMouseLogic{};
        doc.TimeMin = 0;
        doc.TimeMax = 100;
        doc.AltMin = 0;
        doc.AltMax = 300;
    }
    int XOf(double t) const { return Area.Left + static_cast<int>((t - doc.TimeMin) * 10 + 0.5); }
    int YOf(double a) const { return Area.Bottom - static_cast<int>(a - doc.AltMin + 0.5); }
    MoveResult MoveTo(double t, double a) { return mouse.MouseMove(doc, Area, XOf(t), YOf(a)); }
    void Drag(double t1, double a1, double t2, double a2) {
        MoveTo(t1, a1);
        mouse.MouseDown(doc, MouseButton::Left);
        MoveTo(t2, a2);
        mouse.MouseUp(doc, MouseButton::Left);
    }
    int ClimbMarksInUse() const {
        const auto& marks = doc.AltSignal(0)->ClimbMarks;
        return static_cast<int>(
            std::count_if(marks.begin(), marks.end(), [](const ClimbMark& m) { return m.InUse; }));
    }
};

using MouseTest = Fixture;

} // namespace

TEST(ZoomButtons, HalveAndDoubleAboutTheCentreWithTenUnitFloor) {
    PlotDocument doc;
    doc.TimeMin = 0, doc.TimeMax = 100, doc.AltMin = 0, doc.AltMax = 1000;
    ZoomIn(doc);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 25);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 75);
    EXPECT_DOUBLE_EQ(doc.AltMin, 250);
    EXPECT_DOUBLE_EQ(doc.AltMax, 750);

    doc.TimeMin = 0, doc.TimeMax = 100;
    ZoomOut(doc);
    EXPECT_DOUBLE_EQ(doc.TimeMin, -50);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 150);

    // A 12 s view zooms in to 10 s about its centre, not 6 s; a 4-unit span widens to 10.
    doc.TimeMin = 0, doc.TimeMax = 12, doc.AltMin = 100, doc.AltMax = 104;
    ZoomIn(doc);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 1);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 11);
    EXPECT_DOUBLE_EQ(doc.AltMin, 97);
    EXPECT_DOUBLE_EQ(doc.AltMax, 107);
    doc.AltMin = 100, doc.AltMax = 104;
    ZoomOut(doc);
    EXPECT_DOUBLE_EQ(doc.AltMin, 97);
    EXPECT_DOUBLE_EQ(doc.AltMax, 107);
}

TEST(ZoomButtons, ZoomingOutAThousandTimesStopsWhileTheRangesAreFinite) {
    PlotDocument doc;
    for (int i = 0; i < 1100; ++i)
        ZoomOut(doc);
    for (int i = 0; i < 100; ++i)
        Pan(doc, i % 2 ? PanDirection::Right : PanDirection::Down);
    for (double v : {doc.TimeMin, doc.TimeMax, doc.AltMin, doc.AltMax, doc.TimeMax - doc.TimeMin,
                     doc.AltMax - doc.AltMin})
        EXPECT_TRUE(std::isfinite(v)) << v;
    EXPECT_GT(doc.TimeMax - doc.TimeMin, 1e307);
    ZoomIn(doc);
    EXPECT_GT(doc.TimeMax, doc.TimeMin);
}

TEST(ZoomButtons, PanMovesBothLimitsByAFifthAndResetRestoresHome) {
    PlotDocument doc;
    doc.TimeMin = 0, doc.TimeMax = 100, doc.AltMin = 0, doc.AltMax = 1000;
    Pan(doc, PanDirection::Right);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 20);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 120);
    Pan(doc, PanDirection::Up);
    EXPECT_DOUBLE_EQ(doc.AltMin, 200);
    EXPECT_DOUBLE_EQ(doc.AltMax, 1200);
    Pan(doc, PanDirection::Left);
    Pan(doc, PanDirection::Down);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 0);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 100);
    EXPECT_DOUBLE_EQ(doc.AltMin, 0);
    EXPECT_DOUBLE_EQ(doc.AltMax, 1000);

    const AxisRanges saved = HomeRange;
    HomeRange = {5, 50, -20, 400};
    ZoomReset(doc);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 5);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 50);
    EXPECT_DOUBLE_EQ(doc.AltMin, -20);
    EXPECT_DOUBLE_EQ(doc.AltMax, 400);
    HomeRange = saved;
}

TEST(HoverSample, NearestInRealTimeWithTiesToTheLater) {
    SampleStore s(true);
    for (int i = 0; i < 20; ++i)
        s.Append(i * 0.5, i);
    EXPECT_EQ(NearestSample(s, 3.2), 6);
    EXPECT_EQ(NearestSample(s, 3.25), 7); // halfway between 3.0 and 3.5
    EXPECT_EQ(NearestSample(s, -4.0), 0);
    EXPECT_EQ(NearestSample(s, 500.0), 19);

    // A set that starts later is searched by its own times, not by index * interval.
    SampleStore late(true);
    for (int i = 0; i < 20; ++i)
        late.Append(100.0 + i * 0.5, i);
    EXPECT_EQ(NearestSample(late, 103.2), 6);
    EXPECT_EQ(NearestSample(late, 3.2), 0);

    SampleStore one(true);
    EXPECT_EQ(NearestSample(one, 7.0), -1); // no sample at all
    one.Append(42.0, 1.0);
    EXPECT_EQ(NearestSample(one, 7.0), 0);
}

TEST(HoverSample, SamplesThatAreNotFiniteAreNeverHovered) {
    SampleStore s(true);
    for (double a : {0.0, 10.0, std::nan(""), 30.0, double(INFINITY)})
        s.Append(s.Count() * 1.0, a);
    s.Append(std::nan(""), 50.0);
    EXPECT_EQ(NearestSample(s, 2.1), 3); // sample 2 is nearer but has no altitude
    EXPECT_EQ(NearestSample(s, 4.4), 3);
    EXPECT_EQ(NearestSample(s, 1.9), 1);
    // The rate runs from the previous sample that is a number.
    EXPECT_EQ(ClimbRateText(s, 3), "Rate of Climb =   10.000 units/sec");
    SampleStore none(true);
    none.Append(1.0, std::nan(""));
    none.Append(2.0, INFINITY);
    EXPECT_EQ(NearestSample(none, 1.0), -1);
}

TEST(Readouts, FormatsOfTimeAltitudeAndRate) {
    SampleStore s(true);
    s.Append(0.0, 5.0);
    s.Append(3.0, 123.9);
    s.Append(3.0, -3.7);
    EXPECT_EQ(TimeAltText(s, 1), "Time =      3.0, Altitude =  123");
    EXPECT_EQ(TimeAltText(s, 2), "Time =      3.0, Altitude =   -3");
    EXPECT_EQ(ClimbRateText(s, 1).value_or(""), "Rate of Climb =   39.633 units/sec");
    EXPECT_FALSE(ClimbRateText(s, 0)); // no previous sample
    EXPECT_FALSE(ClimbRateText(s, 2)); // same time as the previous sample
}

TEST_F(MouseTest, MoveShowsTheNearestSampleAndIgnoresPositionsOutsideThePlot) {
    MoveResult r = MoveTo(3.2, 100);
    EXPECT_EQ(mouse.HoverSample, 6);
    EXPECT_EQ(r.XY.value_or(""), "Time =      3.0, Altitude =   60");
    EXPECT_EQ(r.ROC.value_or(""), "Rate of Climb =   20.000 units/sec");
    // The circle sits on the sample, not on the mouse.
    ASSERT_EQ(r.Overlay.size(), 1u);
    EXPECT_EQ(r.Overlay[0], (XorShape{XorShape::HoverCircle, 125, 284, 135, 294}));

    r = mouse.MouseMove(doc, Area, Area.Left - 1, YOf(100));
    EXPECT_TRUE(r.Overlay.empty());
    EXPECT_FALSE(r.XY);
    EXPECT_EQ(mouse.HoverSample, 6);
    r = mouse.MouseMove(doc, Area, XOf(50), Area.Bottom + 1);
    EXPECT_TRUE(r.Overlay.empty());

    // The next move first takes off the circle drawn before.
    r = MoveTo(10.0, 100);
    ASSERT_EQ(r.Overlay.size(), 2u);
    EXPECT_EQ(r.Overlay[0], (XorShape{XorShape::HoverCircle, 125, 284, 135, 294}));
    EXPECT_EQ(mouse.HoverSample, 20);
}

TEST_F(MouseTest, ZoomDragNeedsTwoWholeUnitsOnBothAxes) {
    Drag(10.0, 100, 11.9, 200);
    EXPECT_DOUBLE_EQ(doc.TimeMin, 0);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 100);

    Drag(10.0, 100, 30.0, 101); // altitude span of 1
    EXPECT_DOUBLE_EQ(doc.TimeMax, 100);

    Drag(10.0, 100, 12.0, 200);
    EXPECT_NEAR(doc.TimeMin, 10.0, 1e-9);
    EXPECT_NEAR(doc.TimeMax, 12.0, 1e-9);
    EXPECT_NEAR(doc.AltMin, 100.0, 1e-9);
    EXPECT_NEAR(doc.AltMax, 200.0, 1e-9);
    EXPECT_FALSE(mouse.ZoomDrag);
}

TEST_F(MouseTest, ZoomDragInEitherDirectionGivesTheSameRectangle) {
    Drag(60.0, 250, 20.0, 50);
    const double t0 = doc.TimeMin, t1 = doc.TimeMax, a0 = doc.AltMin, a1 = doc.AltMax;
    EXPECT_NEAR(t0, 20.0, 1e-9);
    EXPECT_NEAR(t1, 60.0, 1e-9);
    EXPECT_NEAR(a0, 50.0, 1e-9);
    EXPECT_NEAR(a1, 250.0, 1e-9);

    ResetView();
    Drag(20.0, 50, 60.0, 250);
    EXPECT_DOUBLE_EQ(doc.TimeMin, t0);
    EXPECT_DOUBLE_EQ(doc.TimeMax, t1);
    EXPECT_DOUBLE_EQ(doc.AltMin, a0);
    EXPECT_DOUBLE_EQ(doc.AltMax, a1);
}

TEST_F(MouseTest, OnlyTheLeftButtonZoomsAndOnlyItsReleaseEndsADrag) {
    MoveTo(10, 100);
    mouse.MouseDown(doc, MouseButton::Right);
    EXPECT_FALSE(mouse.ZoomDrag);

    mouse.Mode = MouseMode::Climb;
    mouse.MouseDown(doc, MouseButton::Right); // any button starts a climb drag
    EXPECT_TRUE(mouse.ClimbDrag);
    MoveTo(40, 250);
    EXPECT_FALSE(mouse.MouseUp(doc, MouseButton::Right));
    EXPECT_TRUE(mouse.ClimbDrag);
    EXPECT_EQ(ClimbMarksInUse(), 0);
    EXPECT_TRUE(mouse.MouseUp(doc, MouseButton::Left));
    EXPECT_FALSE(mouse.ClimbDrag);
    EXPECT_EQ(ClimbMarksInUse(), 1);
}

TEST_F(MouseTest, RubberBandIsErasedBeforeRedrawingAndForgottenOnRepaint) {
    MoveTo(10, 100);
    mouse.MouseDown(doc, MouseButton::Left);
    MoveTo(20, 150);
    const XorShape band{XorShape::RubberBand, XOf(10), YOf(100), XOf(20), YOf(150)};
    MoveResult r = MoveTo(30, 200);
    // circle off, old band off, new circle, new band
    ASSERT_EQ(r.Overlay.size(), 4u);
    EXPECT_EQ(r.Overlay[1], band);
    EXPECT_EQ(r.Overlay[3], (XorShape{XorShape::RubberBand, XOf(10), YOf(100), XOf(30), YOf(200)}));

    // After a repaint nothing of the old band is on the view: the next move draws only anew.
    mouse.Repainted();
    r = MoveTo(35, 210);
    ASSERT_EQ(r.Overlay.size(), 2u);
    EXPECT_EQ(r.Overlay[0].What, XorShape::HoverCircle);
    EXPECT_EQ(r.Overlay[1], (XorShape{XorShape::RubberBand, XOf(10), YOf(100), XOf(35), YOf(210)}));
}

TEST_F(MouseTest, ClimbDragStoresAMarkBetweenTheHoveredSamples) {
    mouse.Mode = MouseMode::Climb;
    MoveTo(10.0, 100);
    mouse.MouseDown(doc, MouseButton::Left);
    MoveResult r = MoveTo(30.2, 250);
    // Two dashed lines from top to bottom at the start and the mouse.
    ASSERT_EQ(r.Overlay.size(), 4u);
    EXPECT_EQ(r.Overlay[2],
              (XorShape{XorShape::ClimbLine, XOf(10), Area.Top, XOf(10), Area.Bottom}));
    EXPECT_EQ(r.Overlay[3],
              (XorShape{XorShape::ClimbLine, XOf(30.2), Area.Top, XOf(30.2), Area.Bottom}));
    EXPECT_TRUE(mouse.MouseUp(doc, MouseButton::Left));
    const ClimbMark& m = doc.AltSignal(0)->ClimbMarks[0];
    EXPECT_TRUE(m.InUse);
    EXPECT_EQ(m.FirstSample, 20);
    EXPECT_EQ(m.SecondSample, 60);

    // Too short in altitude: nothing stored, the next free slot stays free.
    MoveTo(50.0, 100);
    mouse.MouseDown(doc, MouseButton::Left);
    MoveTo(70.0, 101);
    mouse.MouseUp(doc, MouseButton::Left);
    EXPECT_EQ(ClimbMarksInUse(), 1);

    // The lowest free slot is used; with all 256 in use nothing is stored.
    doc.AltSignal(0)->ClimbMarks[0].InUse = 0;
    Drag(50.0, 100, 70.0, 200);
    EXPECT_EQ(doc.AltSignal(0)->ClimbMarks[0].FirstSample, 100);
    EXPECT_EQ(doc.AltSignal(0)->ClimbMarks[0].SecondSample, 140);
    for (auto& mark : doc.AltSignal(0)->ClimbMarks)
        mark = {1, 2, 1};
    Drag(50.0, 100, 70.0, 200);
    EXPECT_EQ(doc.AltSignal(0)->ClimbMarks[0].FirstSample, 1);
    EXPECT_EQ(ClimbMarksInUse(), MaxClimbMarks);
}

TEST_F(MouseTest, TwoPeakPressesLeaveTheMarkAsItWas) {
    mouse.Mode = MouseMode::Peak;
    MoveTo(3.2, 100);
    auto& marks = doc.AltSignal(0)->Samples.PeakMarks;
    EXPECT_TRUE(mouse.MouseDown(doc, MouseButton::Right));
    EXPECT_EQ(marks[6], 1);
    EXPECT_EQ(std::count(marks.begin(), marks.end(), 1), 1);
    mouse.MouseDown(doc, MouseButton::Left);
    EXPECT_EQ(marks[6], 0);
    EXPECT_FALSE(mouse.MouseUp(doc, MouseButton::Left));
}

TEST_F(MouseTest, ShortOrEmptyActiveSetsAndNoActiveSetAreHarmless) {
    // One sample: every position hovers on it.
    FillSet(doc, 0, 1, 0.5, 40.0);
    MoveResult r = MoveTo(80, 100);
    EXPECT_EQ(mouse.HoverSample, 0);
    EXPECT_EQ(r.XY.value_or(""), "Time =     40.0, Altitude =    0");
    EXPECT_FALSE(r.ROC);

    // A hover index left from a longer set is not used on a shorter one.
    FillSet(doc, 0, 201, 0.5);
    MoveTo(90, 100);
    FillSet(doc, 0, 3, 0.5);
    mouse.Mode = MouseMode::Peak;
    EXPECT_FALSE(mouse.MouseDown(doc, MouseButton::Left));

    // No samples at all: no readouts, no circle, and presses change nothing.
    FillSet(doc, 0, 0, 0.5);
    r = MoveTo(30, 100);
    EXPECT_FALSE(r.XY);
    ASSERT_EQ(r.Overlay.size(), 1u); // only the old circle taken off
    EXPECT_EQ(mouse.HoverX, NoHoverPoint);
    EXPECT_FALSE(mouse.MouseDown(doc, MouseButton::Left));
    mouse.Mode = MouseMode::Climb;
    Drag(10, 100, 60, 250);
    EXPECT_EQ(ClimbMarksInUse(), 0);

    doc.DeleteDataSet(0);
    ASSERT_EQ(doc.SetCount(), 0);
    r = MoveTo(30, 100);
    EXPECT_FALSE(r.XY);
    EXPECT_FALSE(mouse.MouseDown(doc, MouseButton::Left));
    EXPECT_FALSE(mouse.ClimbDrag);
}

TEST(Crop, KeepsTheVisibleSamplesMovedToTimeZeroWithTriggersAndMarks) {
    PlotDocument doc;
    doc.CreateDataSet();
    SampleStore& a = doc.AltSignal(0)->Samples;
    a.Resize(0);
    for (int i = 0; i <= 100; ++i)
        a.Append(i, 1000 + i);
    a.PeakMarks[40] = 1;
    SampleStore& trig = doc.TrigSignal(0)->Samples;
    trig.Resize(0);
    trig.Append(10, 1010);
    trig.Append(45, 1045);
    trig.Append(70, 1070);
    auto& climbs = doc.AltSignal(0)->ClimbMarks;
    climbs[0] = {35, 50, 1};
    climbs[1] = {20, 40, 1};

    doc.TimeMin = 30;
    doc.TimeMax = 60;
    CropToView(doc);

    ASSERT_EQ(a.Count(), 31);
    EXPECT_DOUBLE_EQ(a.Time[0], 0);
    EXPECT_DOUBLE_EQ(a.Time[30], 30);
    EXPECT_DOUBLE_EQ(a.Alt[0], 1030);
    EXPECT_DOUBLE_EQ(a.Alt[30], 1060);
    EXPECT_EQ(a.PeakMarks[10], 1);
    EXPECT_EQ(std::count(a.PeakMarks.begin(), a.PeakMarks.end(), 1), 1);
    ASSERT_EQ(trig.Count(), 1);
    EXPECT_DOUBLE_EQ(trig.Time[0], 15);
    EXPECT_DOUBLE_EQ(trig.Alt[0], 1045);
    EXPECT_TRUE(climbs[0].InUse);
    EXPECT_EQ(climbs[0].FirstSample, 5);
    EXPECT_EQ(climbs[0].SecondSample, 20);
    EXPECT_FALSE(climbs[1].InUse);

    // Both axes were ranged again from the cropped samples, and so was the home range.
    EXPECT_DOUBLE_EQ(doc.TimeMin, 0);
    EXPECT_DOUBLE_EQ(doc.TimeMax, 40);
    EXPECT_DOUBLE_EQ(HomeRange.TimeMax, 40);
    EXPECT_DOUBLE_EQ(doc.AltMin, 1030);
}

TEST(Crop, ShiftedSetsStartAtZeroAndSetsOutsideTheViewStayAsTheyWere) {
    PlotDocument doc;
    doc.CreateDataSet();
    doc.CreateDataSet();
    FillSet(doc, 0, 50, 2.0, 100.0); // 100 .. 198 s
    FillSet(doc, 1, 10, 1.0);        // 0 .. 9 s: wholly before the view
    doc.TrigSignal(0)->Samples.Resize(0);
    doc.TrigSignal(0)->Samples.Append(121.0, 5.0);
    doc.TimeMin = 119.5;
    doc.TimeMax = 140.5;
    CropToView(doc);

    const SampleStore& a = doc.AltSignal(0)->Samples;
    ASSERT_EQ(a.Count(), 11); // 120 .. 140
    EXPECT_DOUBLE_EQ(a.Time[0], 0);
    EXPECT_DOUBLE_EQ(a.Time[10], 20);
    EXPECT_DOUBLE_EQ(a.Alt[0], 100);
    EXPECT_DOUBLE_EQ(doc.TrigSignal(0)->Samples.Time[0], 1.0);
    EXPECT_EQ(doc.AltSignal(1)->Samples.Count(), 10);
    EXPECT_DOUBLE_EQ(doc.AltSignal(1)->Samples.Time[9], 9.0);

    // A view between two samples keeps nothing of the set and changes nothing.
    doc.TimeMin = 3.2;
    doc.TimeMax = 3.8;
    CropToView(doc);
    EXPECT_EQ(doc.AltSignal(0)->Samples.Count(), 11);
    EXPECT_EQ(doc.AltSignal(1)->Samples.Count(), 10);
}
