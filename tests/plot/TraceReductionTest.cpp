// The renderer draws only the part of each trace that can change a pixel (the samples in
// view, one stroke per pixel column). These tests draw the same documents literally, segment
// by segment over every sample, and demand identical pictures.
#include "PlotPictures.h"

#include "plot/LineStamps.h"
#include "plot/TraceLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace vemo;

namespace {

struct Shape {
    const char* name;
    std::vector<double> time, alt;
};

Shape Noisy(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> step(0.0, 2.0), noise(0.0, 4.0);
    Shape s{"noisy", {}, {}};
    double level = 100;
    for (int i = 0; i < n; ++i) {
        level += step(rng);
        s.time.push_back(i * 0.05);
        s.alt.push_back(level + noise(rng));
    }
    return s;
}

Shape Steps(int n) {
    Shape s{"steps", {}, {}};
    for (int i = 0; i < n; ++i) {
        s.time.push_back(i * 0.1);
        s.alt.push_back(50.0 * ((i / 700) % 5) - 20);
    }
    return s;
}

Shape Sparse() {
    Shape s{"sparse", {}, {}};
    const double t[] = {0, 3, 3.5, 40, 41, 90, 150, 151, 152, 400, 700, 999};
    const double a[] = {0, 200, -50, 180, 180, 20, 240, -90, 90, 120, 10, 260};
    for (int i = 0; i < 12; ++i) {
        s.time.push_back(t[i]);
        s.alt.push_back(a[i]);
    }
    return s;
}

Shape Unordered(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> t(-50, 1100), a(-100, 300);
    Shape s{"unordered", {}, {}};
    for (int i = 0; i < n; ++i) {
        s.time.push_back(t(rng));
        s.alt.push_back(a(rng));
    }
    return s;
}

struct View {
    double t0, t1, a0, a1;
};

class TraceReduction : public ::testing::Test {
protected:
    void SetUp() override {
        doc.Title = doc.XAxisLabel = doc.YAxisLabel = doc.Footer1 = doc.Footer2 = "";
    }

    Signal* Add(const Shape& shape, Colour colour) {
        Signal* s = doc.CreateDataSet();
        s->Samples.Clear();
        for (std::size_t i = 0; i < shape.time.size(); ++i)
            s->Samples.Append(shape.time[i], shape.alt[i]);
        s->LineColor = colour;
        s->LineStyle = LineSolid;
        return s;
    }

    // Renders reduced and literal pictures for each view and resolution and compares them.
    void ExpectSamePictures(const std::vector<View>& views, const char* what) {
        for (int ppi : {96, 450, 600}) {
            const RenderOptions o{.Width = ppi == 96 ? 1920 : 1500,
                                  .Height = ppi == 96 ? 1080 : 800,
                                  .Ppi = ppi,
                                  .Switches = {.ShowInfo = false}};
            for (const View& v : views) {
                doc.TimeMin = v.t0;
                doc.TimeMax = v.t1;
                doc.AltMin = v.a0;
                doc.AltMax = v.a1;
                const QImage reduced = RenderToImage(doc, o);
                RenderOptions lit = o;
                lit.Literal = true;
                const QImage literal = RenderToImage(doc, lit);
                int differ = 0, fx = -1, fy = -1;
                for (int y = 0; y < reduced.height(); ++y)
                    for (int x = 0; x < reduced.width(); ++x)
                        if (reduced.pixel(x, y) != literal.pixel(x, y) && differ++ == 0) {
                            fx = x;
                            fy = y;
                        }
                EXPECT_EQ(differ, 0)
                    << what << " at " << ppi << " ppi, view " << v.t0 << ".." << v.t1 << " / "
                    << v.a0 << ".." << v.a1 << ", first difference at " << fx << "," << fy;
            }
        }
    }

    PlotDocument doc;
};

} // namespace

TEST_F(TraceReduction, NoisyRecordingsInFullAndZoomedViews) {
    Add(Noisy(20000, 1), 0x000000FF);
    Add(Noisy(20000, 2), 0x00FF0000)->TimeOffset = 17.3;
    ExpectSamePictures({{0, 1100, -300, 600},       // everything in view
                        {200, 260, 0, 300},         // zoomed: samples on both sides out of view
                        {-500, 300, 50, 120},       // clamped onto both edges
                        {990.5, 991.5, -1e3, 1e3}}, // a few samples wide
                       "noisy");
}

TEST_F(TraceReduction, StepsSparseAndScaledSets) {
    Add(Steps(9000), 0x0000A000);
    Signal* sparse = Add(Sparse(), 0x00808000);
    sparse->PointStyle = PointSquare;
    Signal* scaled = Add(Steps(9000), 0x00FF00FF);
    scaled->TimeScale = 0.8;
    scaled->TimeOffset = 37.5;
    scaled->AltScale = 1.7;
    scaled->AltOffset = -20;
    Signal* reversed = Add(Sparse(), 0x00004080);
    reversed->TimeScale = -1.0; // plotted times run backwards
    reversed->TimeOffset = 1000;
    ExpectSamePictures({{0, 1000, -100, 300}, {100, 160, -30, 250}, {500, 520, 0, 100}},
                       "steps and sparse");
}

TEST_F(TraceReduction, UnorderedTimesAndOneColumnSets) {
    Add(Unordered(3000, 7), 0x00FF8000);
    Add({"column", {5, 5, 5, 5}, {1, 80, 30, 30}}, 0x000080FF);
    Add({"one pixel", {6, 6, 6}, {40, 40, 40}}, 0x00800080);
    ExpectSamePictures({{0, 1000, -100, 300}, {0, 20, 0, 100}}, "unordered");
}

TEST_F(TraceReduction, DashedLinesAndSamplesThatAreNotNumbers) {
    // Dashes run on along polylines that start as the whole Signal's; holes break both alike.
    Add(Noisy(6000, 8), 0x000000FF)->LineStyle = LineDash;
    Add(Steps(5000), 0x00FF0000)->LineStyle = LineDashDot;
    Shape holes = Noisy(6000, 9);
    for (std::size_t i = 100; i < holes.alt.size(); i += 377)
        holes.alt[i] = std::nan("");
    holes.alt[50] = holes.alt[51] = INFINITY;
    Add(holes, 0x0000A000);
    Add(holes, 0x00808000)->LineStyle = LineDot;
    ExpectSamePictures({{0, 300, -100, 300}, {100, 110, 80, 120}, {-20, 40, 90, 95}},
                       "dashed and holes");
}

TEST_F(TraceReduction, SetShiftedInTimeIsDrawnWhereItsSamplesAre) {
    // A recording that starts at 500 s: an estimate of the window that assumes the samples
    // start at 0 would look near the end of the arrays and draw nothing in this view.
    Shape shifted = Noisy(4000, 3);
    for (double& t : shifted.time)
        t += 500.0;
    Add(shifted, 0x000000FF);
    Shape offset = Noisy(4000, 4);
    Add(offset, 0x00FF0000)->TimeOffset = 500.0;
    doc.TimeMin = 520;
    doc.TimeMax = 560;
    doc.AltMin = -400;
    doc.AltMax = 600;
    const QImage img = RenderToImage(
        doc, {.Width = 1920, .Height = 1080, .Ppi = 96, .Switches = {.ShowInfo = false}});
    const PlotLayout l = ComputeLayout(96, 96, 20, 11.25, 0, 0);
    const QRect inside(l.Area.Left + 1, l.Area.Top + 1, l.Area.Right - l.Area.Left - 1,
                       l.Area.Bottom - l.Area.Top - 1);
    EXPECT_GT(CountExactly(img, inside, QColor(255, 0, 0)), 1000);
    EXPECT_GT(CountExactly(img, inside, QColor(0, 0, 255)), 1000);
    ExpectSamePictures({{520, 560, -400, 600}, {0, 300, -400, 600}}, "shifted");
}

TEST_F(TraceReduction, WindowFollowsTheRealTimes) {
    Shape s = Noisy(1000, 5);
    for (double& t : s.time)
        t += 100.0; // 100 .. 149.95 s
    Signal* sig = Add(s, 0);
    doc.TimeMin = 110;
    doc.TimeMax = 120;
    IndexWindow w = FindIndexWindow(doc, *sig);
    EXPECT_TRUE(w.Ordered);
    EXPECT_EQ(w.InFirst, 200); // 110.0 s
    EXPECT_EQ(w.InLast, 400);  // 120.0 s
    EXPECT_EQ(w.Lo, 199);      // one sample of margin each side
    EXPECT_EQ(w.Hi, 401);
    // A view between two samples still keeps the segment that crosses it.
    doc.TimeMin = 110.01;
    doc.TimeMax = 110.02;
    w = FindIndexWindow(doc, *sig);
    EXPECT_EQ(w.InLast - w.InFirst, -1);
    EXPECT_EQ(w.Lo, 200);
    EXPECT_EQ(w.Hi, 201);
    // Times out of order give the whole Signal.
    sig->Samples.SetTime(500, 0.0);
    w = FindIndexWindow(doc, *sig);
    EXPECT_FALSE(w.Ordered);
    EXPECT_EQ(w.Lo, 0);
    EXPECT_EQ(w.Hi, 999);
}

TEST(LineStamps, StrokesComeOutAsThePainterDrawsThem) {
    // Random strokes, some across the clip's edge or longer than the kept shapes.
    EnsureQtApp();
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> x(0, 399), y(0, 299), across(-20, 20), down(-70, 70);
    const QRect clip(20, 20, 360, 260);
    for (auto [width, ratio] : {std::pair{1, 1}, {2, 1}, {3, 1}, {4, 1}, {2, 2}, {1, 3}}) {
        std::vector<QLine> strokes;
        for (int i = 0; i < 3000; ++i) {
            const QPoint from(x(rng), y(rng));
            strokes.emplace_back(from,
                                 from + QPoint(across(rng), i % 3 ? down(rng) / 8 : down(rng)));
        }
        // At a pixel ratio of 2 the painter draws in units of two device pixels.
        QImage stamped(QSize(400, 300) * ratio, QImage::Format_RGB32), painted = stamped;
        for (QImage* img : {&stamped, &painted}) {
            img->setDevicePixelRatio(ratio);
            img->fill(Qt::white);
            QPainter p(img);
            p.setPen(QPen(QColor(200, 30, 90), width, Qt::SolidLine, Qt::SquareCap));
            p.setClipRect(clip);
            if (img == &stamped)
                DrawStrokes(p, strokes, clip);
            else
                p.drawLines(strokes.data(), static_cast<int>(strokes.size()));
        }
        EXPECT_TRUE(stamped == painted) << "pen width " << width << ", ratio " << ratio;
    }
}
