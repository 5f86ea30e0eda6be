// Layout and full repaint of a 677 x 199 chart (graph, axes, one cuboid bar series with
// value labels, centred) into an ARGB32-premultiplied image, anti-aliased, axes auto-ranged.
//
// Data: the series' own indexer as categories, values 20 + 5 sin(2 pi i / N) + 4u - 2, u
// uniform in [0, 1) from std::mt19937_64 seeded 20240613 ((raw >> 11) * 2^-53).

#include "drawing/QtSurface.h"
#include "graph/Graph.h"
#include "series/Bars.h"
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
    TVxDoubleVector* Y;
    TVxBars* Bars;
    QImage Image{677, 199, QImage::Format_ARGB32_Premultiplied};

    explicit TChart(int N) : Graph(new TVxGraph2D(&Form)) {
        Form.resize(677, 199);
        Graph->resize(677, 199);
        Graph->SetBackColor(VxColor(0xFFFFFFFF));
        Graph->SetSmoothingMode(TVxSmoothingMode::AntiAlias);
        Graph->TestPrimaryAxis();
        Y = new TVxDoubleVector(&Form);
        std::mt19937_64 rng(20240613);
        std::vector<double> y(static_cast<size_t>(N));
        for (int i = 0; i < N; ++i) {
            const double u = double(rng() >> 11) * 0x1p-53;
            y[size_t(i)] = 20 + 5 * std::sin(2 * std::numbers::pi * i / N) + 4 * u - 2;
        }
        Y->SetInternalArray(std::move(y));
        Bars = new TVxBars(&Form);
        Bars->SetBarStyle(TVxBarStyle::Cuboid);
        Bars->SetLabelFrom(TVxLabelStyle::Value);
        Bars->SetLabelPosition(TVxBarLabelPosition::Centered);
        Bars->SetYData(Y);
        Bars->SetXAxis(Graph->PrimaryXAxis());
        Bars->SetYAxis(Graph->PrimaryYAxis());
        Paint(); // first paint: statistics and layout
    }

    void Paint() {
        Image.fill(0);
        QPainter painter(&Image);
        TVxQtSurface surface(painter);
        Graph->PaintGr(surface);
    }
};

void BM_CuboidBars(benchmark::State& State) {
    TChart chart(int(State.range(0)));
    for (auto _ : State) {
        chart.Bars->PointsModified(); // a full repaint lays the bars out anew
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    State.counters["bars"] = double(chart.Bars->BarTopLeft().size());
}
BENCHMARK(BM_CuboidBars)->Arg(100000)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
