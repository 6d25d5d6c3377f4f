// Full repaints of the plot view: 14 data sets of 65535 samples at 1920 x 1080 and 96 pixels
// per inch, all in view and zoomed to 1 % of the time range, drawn as the view draws them and
// drawn literally (every segment), side by side in one run; the same with the vertical speed
// shown (its speeds worked out before the timing starts, as a paint finds them kept); and the
// view's repaints at 200 % display scaling.
#include "bench/QtBenchMain.h"
#include "plot/Renderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>

using namespace vemo;

namespace {

PlotDocument& LongRecordings() {
    static PlotDocument doc;
    if (doc.SetCount() == 0) {
        std::mt19937 rng(42);
        std::normal_distribution<double> drift(0.0, 1.5), noise(0.0, 3.0);
        for (int k = 0; k < 14; ++k) {
            Signal* s = doc.CreateDataSet();
            s->Samples.Clear();
            double level = 50.0 * k;
            for (int i = 0; i < 65535; ++i) {
                level += drift(rng);
                s->Samples.Append(i * 0.05, level + noise(rng));
            }
        }
        AutoRangeTime(doc);
        AutoRangeAlt(doc);
    }
    return doc;
}

void Render(benchmark::State& state, bool literal, double zoom, bool noData = false,
            double ratio = 1.0, bool speed = false) {
    static PlotDocument empty;
    PlotDocument& doc = noData ? empty : LongRecordings();
    const double span = HomeRange.TimeMax - HomeRange.TimeMin;
    doc.TimeMin = HomeRange.TimeMin + span * 0.4;
    doc.TimeMax = doc.TimeMin + span * zoom;
    if (zoom >= 1.0) {
        doc.TimeMin = HomeRange.TimeMin;
        doc.TimeMax = HomeRange.TimeMax;
    }
    // At 200 % display scaling the view's back buffer has twice the pixels each way and is
    // drawn in the view's units.
    QImage img(QSize(1920, 1080) * ratio, QImage::Format_ARGB32_Premultiplied);
    img.setDotsPerMeterX(3780); // 96 per inch
    img.setDotsPerMeterY(3780);
    img.setDevicePixelRatio(ratio);
    auto render = [&] {
        QPainter p(&img);
        RenderTarget t;
        t.Canvas = &p;
        t.PpiX = t.PpiY = 96;
        t.Width = 1920 / 96.0;
        t.Height = 1080 / 96.0;
        t.Screen = true;
        t.LiteralLines = literal;
        t.Switches.ShowVerticalSpeed = speed;
        RenderPlot(t, doc);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    };
    render(); // the speeds are worked out when a set changes, not on a paint
    for (auto _ : state)
        render();
}

void BM_NoData(benchmark::State& s) {
    Render(s, false, 1.0, true);
}
void BM_FullView_Reduced(benchmark::State& s) {
    Render(s, false, 1.0);
}
void BM_FullView_Literal(benchmark::State& s) {
    Render(s, true, 1.0);
}
void BM_Zoom1Percent_Reduced(benchmark::State& s) {
    Render(s, false, 0.01);
}
void BM_Zoom1Percent_Literal(benchmark::State& s) {
    Render(s, true, 0.01);
}
void BM_FullView_Speed(benchmark::State& s) {
    Render(s, false, 1.0, false, 1.0, true);
}
void BM_Zoom1Percent_Speed(benchmark::State& s) {
    Render(s, false, 0.01, false, 1.0, true);
}
void BM_FullView_Speed_Ratio2(benchmark::State& s) {
    Render(s, false, 1.0, false, 2.0, true);
}
void BM_Zoom1Percent_Speed_Ratio2(benchmark::State& s) {
    Render(s, false, 0.01, false, 2.0, true);
}
void BM_FullView_Reduced_Ratio2(benchmark::State& s) {
    Render(s, false, 1.0, false, 2.0);
}
void BM_Zoom1Percent_Reduced_Ratio2(benchmark::State& s) {
    Render(s, false, 0.01, false, 2.0);
}

} // namespace

BENCHMARK(BM_NoData)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FullView_Reduced)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FullView_Literal)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Zoom1Percent_Reduced)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Zoom1Percent_Literal)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FullView_Speed)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Zoom1Percent_Speed)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FullView_Reduced_Ratio2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Zoom1Percent_Reduced_Ratio2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FullView_Speed_Ratio2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Zoom1Percent_Speed_Ratio2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    return RunQtBenchmarks<QGuiApplication>(argc, argv);
}
