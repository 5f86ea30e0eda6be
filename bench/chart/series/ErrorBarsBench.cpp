// A full repaint of a 677 x 199 chart (graph, axes, one point series with error bars) into an
// ARGB32-premultiplied image, anti-aliased, axes auto-ranged, points computed anew each time.
//
// Data as in bench_series: x = i, y = 20 + 5 sin(2 pi i / N) + 4u - 2, with dY+ and dY- = u
// (the same u), u uniform in [0, 1) from std::mt19937_64 seeded 20240613
// ((raw >> 11) * 2^-53). Red line of width 1, blue circles of size 11, grey error bars. The
// counter "drawn" is the number of points whose whiskers the last paint drew.

#include "drawing/QtSurface.h"
#include "graph/Graph.h"
#include "series/PointWithErrorSeries.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <random>

namespace {

struct TChart {
    QWidget Form;
    TVxGraph2D* Graph;
    TVxPointWithErrorSeries* Series;
    QImage Image{677, 199, QImage::Format_ARGB32_Premultiplied};

    explicit TChart(int N) : Graph(new TVxGraph2D(&Form)) {
        Form.resize(677, 199);
        Graph->resize(677, 199);
        Graph->SetBackColor(VxColor(0xFFFFFFFF));
        Graph->SetSmoothingMode(TVxSmoothingMode::AntiAlias);
        Graph->TestPrimaryAxis();
        std::mt19937_64 rng(20240613);
        const size_t n = static_cast<size_t>(N);
        std::vector<double> x(n), y(n), d(n);
        for (int i = 0; i < N; ++i) {
            const double u = double(rng() >> 11) * 0x1p-53;
            x[size_t(i)] = i;
            y[size_t(i)] = 20 + 5 * std::sin(2 * std::numbers::pi * i / N) + 4 * u - 2;
            d[size_t(i)] = u;
        }
        auto* vx = new TVxDoubleVector(&Form);
        auto* vy = new TVxDoubleVector(&Form);
        auto* vd = new TVxDoubleVector(&Form);
        vx->SetInternalArray(std::move(x));
        vy->SetInternalArray(std::move(y));
        vd->SetInternalArray(std::move(d));
        Series = new TVxPointWithErrorSeries(&Form);
        Series->Line()->SetColor(VxColor(0xFFFF0000));
        Series->Line()->SetWidth(1);
        Series->PointSymbol()->SetPointSymbol(TVxPointSymbol::Circle);
        Series->PointSymbol()->SetSize(11);
        Series->SetXData(vx);
        Series->SetYData(vy);
        Series->SetDeltaYPlus(vd);
        Series->SetDeltaYMinus(vd);
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

void BM_ErrorBars(benchmark::State& State) {
    TChart chart(int(State.range(0)));
    for (auto _ : State) {
        chart.Series->PointsModified(); // a full repaint computes the points anew
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    State.counters["drawn"] = chart.Series->LastDrawnItems();
}
BENCHMARK(BM_ErrorBars)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
