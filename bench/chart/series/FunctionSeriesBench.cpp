// Computed curves on the logger chart's data: a 677 x 199 chart (graph, axes, a red data
// line) with a linear regression or an order-5 polynomial over it, rendered into an
// ARGB32-premultiplied image.
//
// Data: x = i, y = 20 + 5 sin(2 pi i / N) + 4u - 2, u uniform in [0, 1) from
// std::mt19937_64 seeded 20240613 ((raw >> 11) * 2^-53).
//
// - BM_RegressionAppend/N: append one reading, poll, repaint data line and regression.
// - BM_RegressionRecalculation/N: append one reading and recalculate the regression only.
// - BM_IdlePoll/N: a poll with nothing new (must do nothing).
// - BM_FunctionSampling/W/N: a zoom step of a fitted order-5 polynomial on a W-pixel X axis
//   (new axis range, PointsModified, CalculatePoints); no refit, so N should not matter.
// - BM_PolynomialRefit/N: append one reading and refit the order-5 polynomial.

#include "drawing/QtSurface.h"
#include "graph/Graph.h"
#include "series/LeastSquaresSeries.h"
#include "series/RegressionSeries.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <random>

namespace {

// Exposes the sampling of the curve to the benchmark.
class TBenchPolynomial : public TVxPolynomial {
public:
    using TVxPolynomial::CalculatePoints;
    using TVxPolynomial::TVxPolynomial;
};

struct TChart {
    QWidget Form;
    TVxGraph2D* Graph;
    TVxDoubleVector* X;
    TVxDoubleVector* Y;
    TVxLineSeries* Data;
    TVxFunctionSeries* Curve;
    QImage Image;
    std::mt19937_64 Rng{20240614};
    double Next;

    TChart(int N, bool Polynomial, int Width = 677)
        : Graph(new TVxGraph2D(&Form)), Image(Width, 199, QImage::Format_ARGB32_Premultiplied),
          Next(N) {
        Form.resize(Width, 199);
        Graph->resize(Width, 199);
        Graph->SetBackColor(VxColor(0xFFFFFFFF));
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
        // Room for every append of a run: no iteration pays for a storage copy.
        X->SetCapacity(N + 200000);
        Y->SetCapacity(N + 200000);
        Data = new TVxLineSeries(&Form);
        Data->Line()->SetColor(VxColor(0xFFFF0000));
        if (Polynomial) {
            auto* p = new TBenchPolynomial(&Form);
            p->SetOrder(5);
            Curve = p;
        } else {
            Curve = new TVxLinearRegression(&Form);
        }
        for (TVxSeries* s : {static_cast<TVxSeries*>(Data), static_cast<TVxSeries*>(Curve)}) {
            s->SetXData(X);
            s->SetYData(Y);
            s->SetXAxis(Graph->PrimaryXAxis());
            s->SetYAxis(Graph->PrimaryYAxis());
        }
        Paint();
    }

    void Append() {
        const double u = double(Rng() >> 11) * 0x1p-53;
        X->Add(Next);
        Y->Add(20 + 4 * u - 2);
        Next += 1;
    }

    void Paint() {
        Image.fill(0);
        QPainter painter(&Image);
        TVxQtSurface surface(painter);
        Graph->PaintGr(surface);
    }
};

void BM_RegressionAppend(benchmark::State& State) {
    TChart chart(int(State.range(0)), false);
    for (auto _ : State) {
        chart.Append();
        chart.Graph->Poll();
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    State.counters["curve_points"] = double(chart.Curve->Points().size());
}
BENCHMARK(BM_RegressionAppend)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RegressionRecalculation(benchmark::State& State) {
    TChart chart(int(State.range(0)), false);
    for (auto _ : State) {
        chart.Append();
        chart.Curve->Calculate();
        benchmark::DoNotOptimize(chart.Curve->YStop());
    }
}
BENCHMARK(BM_RegressionRecalculation)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IdlePoll(benchmark::State& State) {
    TChart chart(int(State.range(0)), false);
    chart.Graph->Poll();
    for (auto _ : State)
        chart.Graph->Poll();
}
BENCHMARK(BM_IdlePoll)->Arg(1000000)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_FunctionSampling(benchmark::State& State) {
    const int width = int(State.range(0));
    TChart chart(int(State.range(1)), true, width);
    auto* curve = static_cast<TBenchPolynomial*>(chart.Curve);
    TVxAxis* x = chart.Graph->PrimaryXAxis();
    const double n = double(State.range(1));
    int step = 0, refits = 0;
    curve->OnCalculated = [&](TVxFunctionSeries*) { ++refits; };
    for (auto _ : State) {
        // Zoom in and out between two ranges.
        const double lo = (step & 1) ? 0.25 * n : 0.0;
        x->SetStartStop(lo, n - lo);
        ++step;
        curve->PointsModified();
        curve->CalculatePoints();
        benchmark::DoNotOptimize(curve->Points().data());
    }
    State.counters["curve_points"] = double(curve->Points().size());
    State.counters["refits"] = refits;
    curve->OnCalculated = nullptr;
}
BENCHMARK(BM_FunctionSampling)
    ->Args({3840, 1000})
    ->Args({3840, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PolynomialRefit(benchmark::State& State) {
    TChart chart(int(State.range(0)), true);
    for (auto _ : State) {
        chart.Append();
        chart.Curve->Calculate();
        benchmark::DoNotOptimize(chart.Curve->YStop());
    }
}
BENCHMARK(BM_PolynomialRefit)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
