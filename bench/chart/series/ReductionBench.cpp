// Reducing a dense series to the 677 pixel columns of a chart: the cost of ascending data
// must follow the columns, not the points, also right after a point is appended.
//
// Data: x = i, y = 20 + 5 sin(2 pi i / N) + 4u - 2, u uniform in [0, 1) from
// std::mt19937_64 seeded 20240613 ((raw >> 11) * 2^-53).
#include "series/ColumnReduction.h"
#include "vectors/DoubleVector.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <random>

namespace {

constexpr double Columns = 677;
constexpr double Rows = 199;

struct TSeriesData {
    TVxDoubleVector X, Y;
    std::vector<int> Hidden;
};

std::unique_ptr<TSeriesData> MakeData(int n) {
    auto data = std::make_unique<TSeriesData>();
    std::mt19937_64 rng(20240613);
    std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double u = double(rng() >> 11) * 0x1p-53;
        x[size_t(i)] = i;
        y[size_t(i)] = 20 + 5 * std::sin(2 * std::numbers::pi * i / n) + 4 * u - 2;
    }
    data->X.SetInternalArray(std::move(x));
    data->Y.SetInternalArray(std::move(y));
    return data;
}

// The chart's auto-ranged view of the data: X from the first to the last value over the
// columns, Y from the minimum (bottom) to the maximum (top).
TVxReductionView ViewOf(TSeriesData& d) {
    TVxReductionView view;
    view.X = TVxPixelMapping(d.X.GetMinimum(), d.X.GetMaximum(), 0, Columns);
    view.Y = TVxPixelMapping(d.Y.GetMinimum(), d.Y.GetMaximum(), Rows, 0);
    view.SymbolMargin = 7; // circles of size 11
    return view;
}

void ReportPoints(benchmark::State& state, const TVxColumnReduction& reduction) {
    state.counters["line_points"] = double(reduction.LinePoints().size());
    state.counters["symbols"] = double(reduction.SymbolPoints().size());
}

// Folding the statistics and building the range summary once (the first paint).
void BM_FirstReduction(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TSeriesData> d = MakeData(n);
        TVxColumnReduction reduction;
        state.ResumeTiming();
        reduction.ReduceLine(ReductionData(d->X, d->Y, false, d->Hidden), ViewOf(*d));
        benchmark::DoNotOptimize(reduction.LinePoints().data());
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstReduction)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReduceLine(benchmark::State& state) {
    std::unique_ptr<TSeriesData> d = MakeData(int(state.range(0)));
    TVxColumnReduction reduction;
    const TVxReductionView view = ViewOf(*d);
    d->Y.MinMax(); // built once, at the first paint (BM_FirstReduction)
    for (auto _ : state) {
        reduction.ReduceLine(ReductionData(d->X, d->Y, false, d->Hidden), view);
        benchmark::DoNotOptimize(reduction.LinePoints().data());
    }
    ReportPoints(state, reduction);
}
BENCHMARK(BM_ReduceLine)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_ReduceLineAndSymbols(benchmark::State& state) {
    std::unique_ptr<TSeriesData> d = MakeData(int(state.range(0)));
    TVxColumnReduction reduction;
    const TVxReductionView view = ViewOf(*d);
    d->Y.MinMax(); // built once, at the first paint (BM_FirstReduction)
    for (auto _ : state) {
        const TVxReductionData data = ReductionData(d->X, d->Y, false, d->Hidden);
        reduction.ReduceLine(data, view);
        reduction.ReduceSymbols(data, view);
        benchmark::DoNotOptimize(reduction.SymbolPoints().data());
    }
    ReportPoints(state, reduction);
}
BENCHMARK(BM_ReduceLineAndSymbols)->Arg(1'000'000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A live chart: one point appended, the axes re-ranged, the line reduced again.
void BM_AppendAndReduce(benchmark::State& state) {
    std::unique_ptr<TSeriesData> d = MakeData(int(state.range(0)));
    TVxColumnReduction reduction;
    std::mt19937_64 rng(1);
    // The first append after a bulk load moves the storage to a geometrically larger block;
    // that one-time copy is amortised over the appends that follow and is left out here.
    d->X.Add(d->X.GetCount());
    d->Y.Add(20 + double(rng() >> 11) * 0x1p-53);
    reduction.ReduceLine(ReductionData(d->X, d->Y, false, d->Hidden), ViewOf(*d));
    for (auto _ : state) {
        d->X.Add(d->X.GetCount());
        d->Y.Add(20 + double(rng() >> 11) * 0x1p-53);
        reduction.ReduceLine(ReductionData(d->X, d->Y, false, d->Hidden), ViewOf(*d));
        benchmark::DoNotOptimize(reduction.LinePoints().data());
    }
    ReportPoints(state, reduction);
}
BENCHMARK(BM_AppendAndReduce)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The same data without the ascending shortcut: one pass over every point.
void BM_ReduceLineAnyOrder(benchmark::State& state) {
    std::unique_ptr<TSeriesData> d = MakeData(int(state.range(0)));
    TVxColumnReduction reduction;
    const TVxReductionView view = ViewOf(*d);
    d->Y.MinMax(); // built once, at the first paint (BM_FirstReduction)
    for (auto _ : state) {
        TVxReductionData data = ReductionData(d->X, d->Y, false, d->Hidden);
        data.XAscending = false;
        reduction.ReduceLine(data, view);
        benchmark::DoNotOptimize(reduction.LinePoints().data());
    }
    ReportPoints(state, reduction);
}
BENCHMARK(BM_ReduceLineAnyOrder)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
