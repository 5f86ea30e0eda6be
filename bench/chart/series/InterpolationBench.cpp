// Computed curves following live data on a chart (graph, axes, one series) painted into an
// ARGB32-premultiplied image, anti-aliased, axes auto-ranged.
//
// BM_InterpolationAppend/N: an Akima curve through N points (x = i, y = sin(i / 500) plus a
//   uniform [0, 0.1) wobble from std::mt19937_64 seeded 20240613), 3840 x 199 px; each
//   iteration appends one point, recalculates and repaints.
// BM_InterpolationZoom/N, BM_IntegralZoom/N: the same data, each iteration moves the X axis
//   by one step within the last 1 % of the data and repaints (no rebuild of the curve).
// BM_FittedLine/N, BM_FittedLineNative/N: "a*exp(b*x)" fitted to N points of
//   2 e^(0.7 x) + wobble on 0 .. 3 with a budget of 300 steps, through the parser or a native
//   fitting function; each iteration refits from the same start coefficients.
// BM_FourierAppend/N: the spectrum of N evenly spaced samples, 677 x 199 px; each iteration
//   appends one sample, recalculates and repaints.

#include "drawing/QtSurface.h"
#include "graph/Graph.h"
#include "series/FittedLineSeries.h"
#include "series/FourierSeries.h"
#include "series/InterpolationSeries.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

struct TChart {
    QWidget Form;
    TVxGraph2D* Graph;
    TVxDoubleVector* X;
    TVxDoubleVector* Y;
    TVxFunctionSeries* Series = nullptr;
    QImage Image;
    std::mt19937_64 Rng{20240613};

    TChart(int Width, int Height)
        : Graph(new TVxGraph2D(&Form)), Image(Width, Height, QImage::Format_ARGB32_Premultiplied) {
        Form.resize(Width, Height);
        Graph->resize(Width, Height);
        Graph->SetBackColor(VxColor(0xFFFFFFFF));
        Graph->SetSmoothingMode(TVxSmoothingMode::AntiAlias);
        Graph->TestPrimaryAxis();
        X = new TVxDoubleVector(&Form);
        Y = new TVxDoubleVector(&Form);
    }
    double U() { return double(Rng() >> 11) * 0x1p-53; }
    void Attach(TVxFunctionSeries* S) {
        Series = S;
        S->SetXAxis(Graph->PrimaryXAxis());
        S->SetYAxis(Graph->PrimaryYAxis());
        S->SetXData(X);
        S->SetYData(Y);
        Paint();
    }
    void Paint() {
        Image.fill(0);
        QPainter painter(&Image);
        TVxQtSurface surface(painter);
        Graph->PaintGr(surface);
    }
};

void FillWave(TChart& C, int N) {
    std::vector<double> x(static_cast<size_t>(N)), y(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i) {
        x[size_t(i)] = i;
        y[size_t(i)] = std::sin(i / 500.0) + 0.1 * C.U();
    }
    C.X->SetInternalArray(std::move(x));
    C.Y->SetInternalArray(std::move(y));
}

void BM_InterpolationAppend(benchmark::State& State) {
    const int n = int(State.range(0));
    TChart chart(3840, 199);
    FillWave(chart, n);
    chart.Attach(new TVxInterpolation(&chart.Form));
    double x = n;
    for (auto _ : State) {
        chart.X->Add(x);
        chart.Y->Add(std::sin(x / 500.0) + 0.1 * chart.U());
        x += 1;
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    State.counters["points"] = double(chart.Series->Points().size());
}
BENCHMARK(BM_InterpolationAppend)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void Zoom(benchmark::State& State, TVxFunctionSeries* S, TChart& Chart, int N) {
    Chart.Attach(S);
    TVxAxis* axis = Chart.Graph->PrimaryXAxis();
    const double width = N * 0.005;
    int step = 0;
    for (auto _ : State) {
        const double start = N * 0.99 + (step++ % 16) * width / 16;
        axis->SetStartStop(start, start + width);
        Chart.Paint();
        benchmark::DoNotOptimize(Chart.Image.constBits());
    }
    State.counters["points"] = double(S->Points().size());
}

void BM_InterpolationZoom(benchmark::State& State) {
    const int n = int(State.range(0));
    TChart chart(3840, 199);
    FillWave(chart, n);
    Zoom(State, new TVxInterpolation(&chart.Form), chart, n);
}
BENCHMARK(BM_InterpolationZoom)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IntegralZoom(benchmark::State& State) {
    const int n = int(State.range(0));
    TChart chart(3840, 199);
    FillWave(chart, n);
    Zoom(State, new TVxIntegral(&chart.Form), chart, n);
}
BENCHMARK(BM_IntegralZoom)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void Fit(benchmark::State& State, bool Native) {
    const int n = int(State.range(0));
    TChart chart(677, 199);
    std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        x[size_t(i)] = 3.0 * i / (n - 1);
        y[size_t(i)] = 2 * std::exp(0.7 * x[size_t(i)]) + 0.01 * chart.U();
    }
    chart.X->SetInternalArray(std::move(x));
    chart.Y->SetInternalArray(std::move(y));
    auto* s = new TVxFittedLine(&chart.Form);
    if (Native) {
        s->SetFittingFunction([](TVxFittedLine*, const TVxFittingFunctionArgs& e) {
            return (*e.Coefficients)[0] * std::exp((*e.Coefficients)[1] * e.X);
        });
        s->SetOrder(2);
    } else {
        s->SetExpression("a*exp(b*x)");
    }
    s->SetIterations(300);
    chart.Attach(s);
    for (auto _ : State) {
        s->SetCoefficients({1, 1});
        s->SetClipYValues(!s->ClipYValues()); // a setter that asks for a recalculation
        s->Calculate();
        benchmark::DoNotOptimize(s->Coefficients().data());
    }
    State.counters["b"] = s->Coefficients()[1];
}

void BM_FittedLine(benchmark::State& State) {
    Fit(State, false);
}
BENCHMARK(BM_FittedLine)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FittedLineNative(benchmark::State& State) {
    Fit(State, true);
}
BENCHMARK(BM_FittedLineNative)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FourierAppend(benchmark::State& State) {
    const int n = int(State.range(0));
    TChart chart(677, 199);
    std::vector<double> y(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        y[size_t(i)] = std::cos(i * 0.3) + 0.1 * chart.U();
    chart.Y->SetInternalArray(std::move(y));
    auto* s = new TVxDiscreteFourier(&chart.Form);
    s->SetXAxis(chart.Graph->PrimaryXAxis());
    s->SetYAxis(chart.Graph->PrimaryYAxis());
    s->SetYData(chart.Y);
    chart.Series = s;
    chart.Paint();
    for (auto _ : State) {
        chart.Y->Add(std::cos(chart.Y->GetCount() * 0.3));
        chart.Paint();
        benchmark::DoNotOptimize(chart.Image.constBits());
    }
    State.counters["points"] = double(s->Points().size());
}
BENCHMARK(BM_FourierAppend)->Arg(65536)->Arg(100003)->Unit(benchmark::kMillisecond)->UseRealTime();

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
