// The flight summary of a full data set (65536 samples), as the Data Properties dialog makes it
// on every change of the shown set: a recording at 10 samples a second, one at 1000 a second
// (half-second windows of 501 samples), and one whose samples all share a few times (the
// windows are held to 256 samples on either side).
#include "data/FlightSummary.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void Fill(vemo::Signal& s, double step) {
    s.Samples.Clear();
    for (int i = 0; i < vemo::MaxSamples; ++i) {
        const double t = i * step, x = static_cast<double>(i) / vemo::MaxSamples;
        s.Samples.Append(t, std::round(3000 * std::sin(3.14159 * x) + (i % 7) - 3));
    }
}

void BM_Summary(benchmark::State& state) {
    vemo::Signal s(true);
    Fill(s, static_cast<double>(state.range(0)) / 1e4);
    for (auto _ : state)
        benchmark::DoNotOptimize(vemo::SummariseFlight(s));
}
// Time steps of 0.1 s, 1 ms, and every sample at time 0.
BENCHMARK(BM_Summary)->Arg(1000)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
