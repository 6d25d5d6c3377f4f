// What one mouse move over the plot view costs: finding the hover sample in a recording of
// 65535 samples, and repainting the view (748 x 454) with and without the overlay of a hover
// circle and a rubber band, side by side in one run.
#include "bench/QtBenchMain.h"
#include "data/PlotDocument.h"
#include "plot/Interaction.h"
#include "plot/Renderer.h"
#include "plot/ui/DataPage.h"
#include "plot/ui/PlotBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <random>

using namespace vemo;

namespace {

PlotDocument& Recording() {
    static PlotDocument doc;
    if (doc.SetCount() == 0) {
        std::mt19937 rng(7);
        std::normal_distribution<double> noise(0.0, 3.0);
        Signal* s = doc.CreateDataSet();
        s->Samples.Clear();
        for (int i = 0; i < 65535; ++i)
            s->Samples.Append(i * 0.05, 0.1 * i + noise(rng));
        AutoRangeTime(doc);
        AutoRangeAlt(doc);
    }
    return doc;
}

void BM_HoverSearch(benchmark::State& state) {
    const PlotDocument& doc = Recording();
    const PlotRect area{111, 79, 686, 379};
    PlotMouseLogic mouse;
    int x = area.Left;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mouse.MouseMove(doc, area, x, 200));
        x = x >= area.Right ? area.Left : x + 1;
    }
}

void Repaint(benchmark::State& state, bool overlay) {
    PlotDoc = &Recording();
    DataPage page;
    page.resize(748, 488);
    TPlotBox* box = page.PlotBox;
    QPixmap target(box->size());
    box->render(&target); // publishes the plot rectangle
    if (overlay) {
        // A drag in progress: the page's own mouse handler draws the band and the circle.
        QMouseEvent move(QEvent::MouseMove, QPointF(200, 150), QPointF(200, 150), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(box, &move);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, 150), QPointF(200, 150),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
        QMouseEvent drag(QEvent::MouseMove, QPointF(500, 300), QPointF(500, 300), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drag);
    }
    for (auto _ : state)
        box->render(&target);
    PlotDoc = nullptr;
}

void BM_Repaint_Plain(benchmark::State& state) {
    Repaint(state, false);
}
void BM_Repaint_WithOverlay(benchmark::State& state) {
    Repaint(state, true);
}

} // namespace

BENCHMARK(BM_HoverSearch)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_Repaint_Plain)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Repaint_WithOverlay)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    return RunQtBenchmarks<QApplication>(argc, argv);
}
