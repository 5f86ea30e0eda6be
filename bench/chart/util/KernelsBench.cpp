// Sorting and smoothing at sizes where a quadratic path would show: the time per element
// should stay flat (sorting: grow by log n) from 10^4 to 10^6 elements, for sorted and
// equal keys as much as for random ones.
#include "util/Kernels.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

std::vector<double> Keys(int Kind, std::size_t n) {
    std::vector<double> keys(n);
    std::mt19937_64 random(5);
    for (std::size_t i = 0; i < n; ++i)
        keys[i] = Kind == 0 ? double(i) : Kind == 1 ? 1.0 : double(random() % 1000000);
    return keys;
}

void BM_QuickSort(benchmark::State& State) {
    const std::vector<double> source = Keys(int(State.range(0)), std::size_t(State.range(1)));
    for (auto _ : State) {
        State.PauseTiming();
        std::vector<double> keys = source, companion = source;
        State.ResumeTiming();
        QuickSort(keys, companion);
        benchmark::DoNotOptimize(keys.data());
    }
    State.SetItemsProcessed(State.iterations() * State.range(1));
}
// Kinds: 0 sorted, 1 all equal, 2 random.
BENCHMARK(BM_QuickSort)->ArgsProduct({{0, 1, 2}, {10000, 1000000}})->Unit(benchmark::kMillisecond);

void BM_TriangularSmoothSorted(benchmark::State& State) {
    const std::size_t n = std::size_t(State.range(0));
    std::vector<double> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = 45000 + double(i) / 1440; // one point a minute
        y[i] = double(i % 17);
    }
    for (auto _ : State) {
        std::vector<double> smoothed = y;
        TriangularSmooth(x, smoothed, 0.05); // a window of about 72 points
        benchmark::DoNotOptimize(smoothed.data());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_TriangularSmoothSorted)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
