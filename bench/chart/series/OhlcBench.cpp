// A full repaint of a 677 x 199 chart (graph, axes, one price series) into an
// ARGB32-premultiplied image, anti-aliased, axes auto-ranged, points computed anew each time.
//
// Prices: X = i, close(i) = close(i-1) + u - 0.5 from 100, open(i) = close(i-1),
// high = max(open, close) + u, low = min(open, close) - u, with a fresh u uniform in [0, 1)
// each time from std::mt19937_64 seeded 20240613 ((raw >> 11) * 2^-53). The counter "drawn"
// is the number of items the last paint drew one by one.

#include "drawing/QtSurface.h"
#include "graph/Graph.h"
#include "series/OHLC.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

struct TChart {
    QWidget Form;
    TVxGraph2D* Graph;
    TVxDoubleVector* Open;
    TVxDoubleVector* High;
    TVxDoubleVector* Low;
    TVxDoubleVector* Close;
    TVxCustomOHLC* Series;
    QImage Image{677, 199, QImage::Format_ARGB32_Premultiplied};

    TChart(int N, bool Candles) : Graph(new TVxGraph2D(&Form)) {
        Form.resize(677, 199);
        Graph->resize(677, 199);
        Graph->SetBackColor(VxColor(0xFFFFFFFF));
        Graph->SetSmoothingMode(TVxSmoothingMode::AntiAlias);
        Graph->TestPrimaryAxis();
        std::mt19937_64 rng(20240613);
        auto u = [&] { return double(rng() >> 11) * 0x1p-53; };
        const size_t n = static_cast<size_t>(N);
        std::vector<double> o(n), h(n), l(n), c(n);
        double close = 100;
        for (size_t i = 0; i < n; ++i) {
            o[i] = close;
            close += u() - 0.5;
            c[i] = close;
            h[i] = std::max(o[i], c[i]) + u();
            l[i] = std::min(o[i], c[i]) - u();
        }
        Open = new TVxDoubleVector(&Form);
        High = new TVxDoubleVector(&Form);
        Low = new TVxDoubleVector(&Form);
        Close = new TVxDoubleVector(&Form);
        Open->SetInternalArray(std::move(o));
        High->SetInternalArray(std::move(h));
        Low->SetInternalArray(std::move(l));
        Close->SetInternalArray(std::move(c));
        if (Candles)
            Series = new TVxCandleSticks(&Form);
        else
            Series = new TVxOHLC(&Form);
        Series->SetOpenData(Open);
        Series->SetHighData(High);
        Series->SetLowData(Low);
        Series->SetCloseData(Close);
        Series->SetXAxis(Graph->PrimaryXAxis());
        Series->SetYAxis(Graph->PrimaryYAxis());
        Paint(); // first paint: statistics, layout
    }

    void Paint() {
        Image.fill(0);
        QPainter painter(&Image);
        TVxQtSurface surface(painter);
        Graph->PaintGr(surface);
    }
};

void Run(benchmark::State& State, bool Candles) {
    TChart chart(int(State.range(0)), Candles);
    for (auto _ : State) {
        chart.Series->PointsModified(); // a full repaint computes the points anew
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    State.counters["drawn"] = chart.Series->LastDrawnItems();
}

void BM_Candles(benchmark::State& State) {
    Run(State, true);
}
BENCHMARK(BM_Candles)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OHLC(benchmark::State& State) {
    Run(State, false);
}
BENCHMARK(BM_OHLC)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
