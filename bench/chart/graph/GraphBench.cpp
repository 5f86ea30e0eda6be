// The cost of one whole-chart layout and of one full paint of a 600 x 400 graph with two
// axes, into an image and into the recording surface.

#include "drawing/RecordingSurface.h"
#include "graph/Graph.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

struct TChart {
    QWidget Form;
    TVxGraph2D* Graph;
    TChart() : Graph(new TVxGraph2D(&Form)) {
        Graph->SetBackColor(VxColor(0xFFFFFFFF));
        Graph->MajorGridVertical()->SetVisible(true);
        Graph->MajorGridHorizontal()->SetVisible(true);
        Graph->PaintToImage();
        Graph->PrimaryXAxis()->SetStartStop(0, 86400);
        Graph->PrimaryYAxis()->SetStartStop(-20, 45);
    }
};

void BM_Layout(benchmark::State& State) {
    TChart chart;
    for (auto _ : State) {
        chart.Graph->Modified();
        chart.Graph->Calculate();
        benchmark::DoNotOptimize(chart.Graph->DrawingArea());
    }
}
BENCHMARK(BM_Layout);

void BM_PaintToImage(benchmark::State& State) {
    TChart chart;
    for (auto _ : State) {
        QImage image = chart.Graph->PaintToImage();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintToImage);

void BM_PaintRecorded(benchmark::State& State) {
    TChart chart;
    for (auto _ : State) {
        TVxRecordingSurface surface;
        chart.Graph->PaintGr(surface);
        benchmark::DoNotOptimize(surface.Records().size());
    }
}
BENCHMARK(BM_PaintRecorded);

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
