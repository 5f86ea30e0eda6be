// One move of a snapping cross-hair over a year of readings (1e7 ascending points on a
// 677 x 199 graph): the mouse event, the snap to the nearest reading and the repaint.

#include "annotations/CrossHair.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

struct TChart {
    QWidget Form;
    TVxGraph2D* Graph;
    TVxDoubleVector* Xs;
    TVxDoubleVector* Ys;
    TVxCrossHair* Cross;
    explicit TChart(int Count) : Graph(new TVxGraph2D(&Form)) {
        Graph->resize(677, 199);
        Graph->TestPrimaryAxis();
        Xs = new TVxDoubleVector(&Form);
        Ys = new TVxDoubleVector(&Form);
        std::vector<double> xs(static_cast<std::size_t>(Count)), ys(xs.size());
        // A reading every 3.15 s over a year: a daily swing and a slow drift.
        for (std::size_t i = 0; i < xs.size(); ++i) {
            xs[i] = 45658.0 + double(i) * (365.0 / Count);
            ys[i] = 15 + 8 * std::sin(double(i) * 2 * 3.14159265 * 365.0 / Count) +
                    0.001 * double(i % 977);
        }
        Xs->AddRange(std::span<const double>(xs));
        Ys->AddRange(std::span<const double>(ys));
        auto* series = new TVxLineSeries(&Form);
        series->SetXData(Xs);
        series->SetYData(Ys);
        series->SetXAxis(Graph->PrimaryXAxis());
        series->SetYAxis(Graph->PrimaryYAxis());
        Cross = new TVxCrossHair(&Form);
        Cross->SetXAxis(Graph->PrimaryXAxis());
        Cross->SetYAxis(Graph->PrimaryYAxis());
        Cross->SetCaption("Here");
        Cross->SetSnapToSeriesValues(true);
        Cross->SetHost(Graph);
        Cross->SetX(xs[xs.size() / 2]);
        Cross->SetY(ys[ys.size() / 2]);
        (void)Graph->PaintToImage();
    }
    void Send(QEvent::Type Type, QPointF At, Qt::MouseButton Button, Qt::MouseButtons Buttons) {
        QMouseEvent event(Type, At, Graph->mapToGlobal(At), Button, Buttons, {});
        QApplication::sendEvent(Graph, &event);
    }
};

void BM_SnapDrag(benchmark::State& State) {
    TChart chart(int(State.range(0)));
    const QPointF start = QPointF(chart.Cross->HotPoint());
    chart.Send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : State) {
        // Back and forth over the data area, one pixel column further each time.
        step = (step + 7) % 400;
        chart.Send(QEvent::MouseMove, start + QPointF(step - 200, (step % 40) - 20), Qt::NoButton,
                   Qt::LeftButton);
        QImage image = chart.Graph->PaintToImage();
        benchmark::DoNotOptimize(image.constBits());
    }
    chart.Send(QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    State.counters["snapped"] = chart.Cross->SnappedIdx() >= 0 ? 1 : 0;
}
BENCHMARK(BM_SnapDrag)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
