// Creating, filling to 65535 samples and deleting 100 data sets, with the peak memory of the
// process; and a thousand short sets, which must stay small because the stores grow with the
// samples they hold.
#include "data/PlotDocument.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <sys/resource.h>

namespace {

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_CreateFillDelete100Sets(benchmark::State& state) {
    for (auto _ : state) {
        vemo::PlotDocument doc;
        for (int k = 0; k < 100; ++k) {
            vemo::Signal* s = doc.CreateDataSet();
            s->Samples.Resize(65535);
            for (int i = 0; i < 65535; ++i) {
                s->Samples.SetTime(i, i * 0.1);
                s->Samples.SetAlt(i, i % 1000);
            }
        }
        benchmark::DoNotOptimize(doc.Signals.data());
        while (doc.SetCount() > 0) doc.DeleteDataSet(doc.SetCount() - 1);
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakRssKiB()) / 1024.0;
}
BENCHMARK(BM_CreateFillDelete100Sets)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ThousandPlaceholderSets(benchmark::State& state) {
    for (auto _ : state) {
        vemo::PlotDocument doc;
        for (int k = 0; k < 1000; ++k) doc.CreateDataSet();
        std::size_t bytes = 0;
        for (auto& s : doc.Signals)
            bytes += s->Samples.Time.capacity() * 2 * sizeof(double) +
                     s->Samples.PeakMarks.capacity() + s->ClimbMarks.capacity() * 12;
        state.counters["sample_KiB"] = static_cast<double>(bytes) / 1024.0;
    }
}
BENCHMARK(BM_ThousandPlaceholderSets)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
