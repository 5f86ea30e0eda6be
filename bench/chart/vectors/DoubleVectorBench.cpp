// Appending to a double vector with a statistics query every 1,000 appends (what a live
// chart does): the cost per append must not depend on the vector's length.
#include "vectors/DoubleVector.h"

#include <benchmark/benchmark.h>

static void BM_AppendWithQueries(benchmark::State& state) {
    const int total = int(state.range(0));
    for (auto _ : state) {
        TVxDoubleVector vector;
        double sink = 0;
        for (int i = 0; i < total; ++i) {
            vector.Add(i * 0.5);
            if (i % 1000 == 999)
                sink += vector.GetMaximum() + vector.GetSum();
        }
        benchmark::DoNotOptimize(sink);
    }
    state.counters["ns_per_append"] =
        benchmark::Counter(double(state.iterations()) * total,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AppendWithQueries)
    ->RangeMultiplier(10)
    ->Range(10'000, 10'000'000)
    ->Unit(benchmark::kMillisecond);

// Marking many outliers and folding: lookups must not be linear in the number of outliers.
static void BM_FoldWithOutliers(benchmark::State& state) {
    const int total = int(state.range(0));
    TVxDoubleVector vector;
    for (int i = 0; i < total; ++i) {
        vector.Add(i);
        if (i % 2 == 0)
            vector.AddOutlier(i);
    }
    double changed = 0;
    for (auto _ : state) {
        vector.SetValue(total / 2 + 1, --changed); // a new minimum: forces a refold
        benchmark::DoNotOptimize(vector.GetSum());
    }
    state.counters["ns_per_value"] =
        benchmark::Counter(double(state.iterations()) * total,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FoldWithOutliers)
    ->RangeMultiplier(10)
    ->Range(10'000, 1'000'000)
    ->Unit(benchmark::kMillisecond);
