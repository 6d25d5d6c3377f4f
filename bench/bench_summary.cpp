// The flight summary of a full data set (65535 samples), as the Data Properties dialog makes it
// when it shows the set, beside a plain pass over the same samples (each read as plotted, the
// highest kept): a recording at 50 samples a second of a noisy flight and the ground after it,
// one at 10 samples a second, one at 1000 a second, and one whose samples all share a time.
#include "data/FlightSummary.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

// step seconds between samples; flight: a rocket flight with sensor noise rather than a swell.
void Fill(vemo::Signal& s, double step, bool flight) {
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 1.5);
    s.Samples.Clear();
    for (int i = 0; i < vemo::MaxSamples - 1; ++i) {
        const double t = i * step, x = static_cast<double>(i) / vemo::MaxSamples;
        double a = 3000 * std::sin(3.14159 * x) + (i % 7) - 3;
        if (flight) {
            const double f = t - 30; // 30 s on the pad, a 2 s burn, coast, 40 ft/s down
            a = f < 0      ? 0
                : f < 2    ? 250 * f * f
                : f < 17.6 ? 1000 + 500 * (f - 2) - 16 * (f - 2) * (f - 2)
                           : std::max(0.0, 4900 - 40 * (f - 17.6));
            a += noise(random);
        }
        s.Samples.Append(t, std::round(a));
    }
}

void BM_Summary(benchmark::State& state) {
    vemo::Signal s(true);
    Fill(s, static_cast<double>(state.range(0)) / 1e4, state.range(1) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(vemo::SummariseFlight(s));
}
// Time steps of 20 ms (a flight), 0.1 s, 1 ms, and every sample at time 0.
BENCHMARK(BM_Summary)
    ->Args({200, 1})
    ->Args({1000, 0})
    ->Args({10, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);

void BM_PlainPass(benchmark::State& state) {
    vemo::Signal s(true);
    Fill(s, 0.02, true);
    for (auto _ : state) {
        double top = -1e300;
        for (int i = 0; i < s.Samples.Count(); ++i) {
            const auto k = static_cast<std::size_t>(i);
            const double t = s.Samples.Time[k] * s.TimeScale + s.TimeOffset;
            const double a = s.Samples.Alt[k] * s.AltScale + s.AltOffset;
            if (std::isfinite(t) && a > top) top = a;
        }
        benchmark::DoNotOptimize(top);
    }
}
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
