// The logger's chart (677 x 199, composed as in the window) after a long time of logging:
// N readings, one every 3 s from 1 March 2024 00:00, temperatures as the simulated device
// sends them (23.4 + 2 sin(2 pi t / 60 s) degrees, in tenths).
//
// BM_AcceptReading/N: one reading appended to both vectors and the whole chart repainted
// into an image, as the window does for every accepted reading.
// BM_PanStep/N: one Shift-drag mouse move on a zoomed chart and the repaint it causes.
// BM_ZoomRectangleMove/N: one mouse move of a zoom rectangle and the repaint of the
// rectangle's area, which copies the cached frame instead of painting the chart.
// BM_FullRepaint/N: one full repaint into an image with unchanged data, for comparison.
// BM_AcceptReadingWithoutSymbols/N: BM_AcceptReading with the point symbols switched off,
// which separates the cost of the symbol reduction from the rest of the pipeline.

#include "LoggerChart.h"
#include "axes/Axis.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "styles/PointSymbolSettings.h"
#include "util/DateTime.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double Step = 3.0 / 86400.0;

double TemperatureAt(int Index) {
    const double seconds = 3.0 * Index;
    return std::round(10 * (23.4 + 2 * std::sin(2 * std::numbers::pi * seconds / 60))) / 10;
}

struct TLogger {
    QWidget Window;
    TVxDoubleVector* Times;
    TVxDoubleVector* Temperatures;
    TLoggerChart Chart;
    int Count;
    double T0 = EncodeDateTime(2024, 3, 1, 0, 0, 0);

    explicit TLogger(int N)
        : Times(new TVxDoubleVector(&Window)), Temperatures(new TVxDoubleVector(&Window)),
          Count(N) {
        Window.resize(693, 479);
        std::vector<double> t(static_cast<std::size_t>(N)), y(static_cast<std::size_t>(N));
        for (int i = 0; i < N; ++i) {
            t[std::size_t(i)] = T0 + i * Step;
            y[std::size_t(i)] = TemperatureAt(i);
        }
        Times->SetInternalArray(std::move(t));
        Temperatures->SetInternalArray(std::move(y));
        // Room for every append of a run, so that no iteration pays for a storage copy.
        Times->SetCapacity(N + 2000000);
        Temperatures->SetCapacity(N + 2000000);
        Chart = ComposeLoggerChart(Window, {8, 272, 677, 199}, *Times, *Temperatures);
        Window.show();
        (void)QTest::qWaitForWindowExposed(&Window);
        Graph().PaintToImage(); // statistics, summaries, layout
        Graph().repaint();
    }

    TVxGraph2D& Graph() { return *Chart.VxGraph2D1; }

    void Append() {
        Times->Add(T0 + Count * Step);
        Temperatures->Add(TemperatureAt(Count));
        ++Count;
    }

    void Mouse(QEvent::Type Type, QPoint At, Qt::MouseButtons Buttons,
               Qt::KeyboardModifiers Modifiers) {
        QMouseEvent e(Type, QPointF(At), Graph().mapToGlobal(QPointF(At)), Qt::LeftButton, Buttons,
                      Modifiers);
        QCoreApplication::sendEvent(&Graph(), &e);
    }

    QPoint Inside(double Fx, double Fy) {
        const QRectF da = Graph().DrawingArea();
        return QPoint(int(da.x() + Fx * da.width()), int(da.y() + Fy * da.height()));
    }
};

void Report(benchmark::State& State, const TLogger& Logger) {
    State.counters["readings"] = double(Logger.Count);
}

void BM_AcceptReading(benchmark::State& State) {
    TLogger logger(int(State.range(0)));
    for (auto _ : State) {
        logger.Append();
        QImage image = logger.Graph().PaintToImage();
        benchmark::DoNotOptimize(image.constBits());
    }
    Report(State, logger);
}
BENCHMARK(BM_AcceptReading)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

void BM_AcceptReadingWithoutSymbols(benchmark::State& State) {
    TLogger logger(int(State.range(0)));
    logger.Chart.VxPointSeries1->PointSymbol()->SetVisible(false);
    for (auto _ : State) {
        logger.Append();
        QImage image = logger.Graph().PaintToImage();
        benchmark::DoNotOptimize(image.constBits());
    }
    Report(State, logger);
}
BENCHMARK(BM_AcceptReadingWithoutSymbols)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);

void BM_PanStep(benchmark::State& State) {
    TLogger logger(int(State.range(0)));
    // A tenth of the time range and the middle of the temperatures.
    logger.Graph().ZoomTo(logger.Inside(0.45, 0.3), logger.Inside(0.55, 0.7));
    logger.Graph().repaint();
    const QPoint from = logger.Inside(0.5, 0.5);
    logger.Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::ShiftModifier);
    int i = 0;
    for (auto _ : State) {
        // Back and forth, always off the start in both directions so that the chart moves.
        const int d = 10 + 10 * (i++ & 1);
        logger.Mouse(QEvent::MouseMove, from + QPoint(d, d), Qt::LeftButton, Qt::ShiftModifier);
    }
    logger.Mouse(QEvent::MouseButtonRelease, from, Qt::NoButton, Qt::ShiftModifier);
    Report(State, logger);
}
BENCHMARK(BM_PanStep)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

void BM_ZoomRectangleMove(benchmark::State& State) {
    TLogger logger(int(State.range(0)));
    TVxGraph2D& graph = logger.Graph();
    const QPoint from = logger.Inside(0.2, 0.2);
    logger.Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::NoModifier);
    int i = 0;
    for (auto _ : State) {
        const QPoint to = logger.Inside(0.6 + 0.1 * (i++ & 1), 0.8);
        logger.Mouse(QEvent::MouseMove, to, Qt::LeftButton, Qt::NoModifier);
        graph.repaint(graph.ZoomRectangle().adjusted(-2, -2, 2, 2));
    }
    logger.Mouse(QEvent::MouseButtonRelease, from, Qt::NoButton, Qt::NoModifier);
    Report(State, logger);
}
BENCHMARK(BM_ZoomRectangleMove)->Arg(10000000)->Unit(benchmark::kMillisecond);

void BM_FullRepaint(benchmark::State& State) {
    TLogger logger(int(State.range(0)));
    for (auto _ : State) {
        logger.Graph().Modified();
        QImage image = logger.Graph().PaintToImage();
        benchmark::DoNotOptimize(image.constBits());
    }
    Report(State, logger);
}
BENCHMARK(BM_FullRepaint)->Arg(10000000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
