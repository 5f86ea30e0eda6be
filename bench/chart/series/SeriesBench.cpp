// A full repaint of a 677 x 199 chart (graph, axes, one point series) into an
// ARGB32-premultiplied image, anti-aliased, axes auto-ranged: a million points with line
// and symbols, ten million with the line only, and one point appended to a million.
//
// Data: x = i, y = 20 + 5 sin(2 pi i / N) + 4u - 2, u uniform in [0, 1) from
// std::mt19937_64 seeded 20240613 ((raw >> 11) * 2^-53). Red line of width 1, blue circles
// of size 11. Peak memory (ru_maxrss) is reported as a counter.

#include "drawing/QtSurface.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <sys/resource.h>

namespace {

struct TChart {
    QWidget Form;
    TVxGraph2D* Graph;
    TVxDoubleVector* X;
    TVxDoubleVector* Y;
    TVxPointSeries* Series;
    QImage Image{677, 199, QImage::Format_ARGB32_Premultiplied};

    TChart(int N, bool Symbols) : Graph(new TVxGraph2D(&Form)) {
        Form.resize(677, 199);
        Graph->resize(677, 199);
        Graph->SetBackColor(VxColor(0xFFFFFFFF));
        Graph->SetSmoothingMode(TVxSmoothingMode::AntiAlias);
        Graph->TestPrimaryAxis();
        X = new TVxDoubleVector(&Form);
        Y = new TVxDoubleVector(&Form);
        std::mt19937_64 rng(20240613);
        std::vector<double> x(static_cast<size_t>(N)), y(static_cast<size_t>(N));
        for (int i = 0; i < N; ++i) {
            const double u = double(rng() >> 11) * 0x1p-53;
            x[size_t(i)] = i;
            y[size_t(i)] = 20 + 5 * std::sin(2 * std::numbers::pi * i / N) + 4 * u - 2;
        }
        X->SetInternalArray(std::move(x));
        Y->SetInternalArray(std::move(y));
        Series = new TVxPointSeries(&Form);
        Series->Line()->SetColor(VxColor(0xFFFF0000));
        Series->Line()->SetWidth(1);
        Series->PointSymbol()->SetVisible(Symbols);
        Series->PointSymbol()->SetPointSymbol(TVxPointSymbol::Circle);
        Series->PointSymbol()->SetSize(11);
        Series->SetXData(X);
        Series->SetYData(Y);
        Series->SetXAxis(Graph->PrimaryXAxis());
        Series->SetYAxis(Graph->PrimaryYAxis());
        Paint(); // first paint: statistics, summaries, layout
    }

    void Paint() {
        Image.fill(0);
        QPainter painter(&Image);
        TVxQtSurface surface(painter);
        Graph->PaintGr(surface);
    }
};

void ReportMemory(benchmark::State& State, const TChart& Chart) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    State.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;
    State.counters["line_points"] = double(Chart.Series->Points().size());
    State.counters["symbols"] = double(Chart.Series->SymbolPoints().size());
}

void BM_LineAndSymbols(benchmark::State& State) {
    TChart chart(int(State.range(0)), true);
    for (auto _ : State) {
        chart.Series->PointsModified(); // a full repaint computes the points anew
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    ReportMemory(State, chart);
}
BENCHMARK(BM_LineAndSymbols)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Line(benchmark::State& State) {
    TChart chart(int(State.range(0)), false);
    for (auto _ : State) {
        chart.Series->PointsModified();
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    ReportMemory(State, chart);
}
BENCHMARK(BM_Line)->Arg(10000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AppendAndRepaint(benchmark::State& State) {
    const int n = int(State.range(0));
    TChart chart(n, true);
    // Room for every append of the run, so that no iteration pays for a storage copy.
    chart.X->SetCapacity(n + 2000000);
    chart.Y->SetCapacity(n + 2000000);
    std::mt19937_64 rng(20240614);
    double next = n;
    for (auto _ : State) {
        const double u = double(rng() >> 11) * 0x1p-53;
        chart.X->Add(next);
        chart.Y->Add(20 + 4 * u - 2);
        next += 1;
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    ReportMemory(State, chart);
}
BENCHMARK(BM_AppendAndRepaint)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
