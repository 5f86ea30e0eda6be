// The cost of a legend listing N series: collecting and measuring its items and laying them
// out, and painting it (panel, glyphs drawn by the series, captions) into an image.

#include "annotations/Legend.h"
#include "drawing/QtSurface.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct TChart {
    QWidget Form;
    TVxDoubleVector XData{&Form};
    TVxDoubleVector YData{&Form};
    TVxGraph2D* Graph;
    TVxLegend* Legend;
    explicit TChart(int Count) : Graph(new TVxGraph2D(&Form)), Legend(new TVxLegend(&Form)) {
        Graph->TestPrimaryAxis();
        const std::array<double, 3> xs{1, 2, 3};
        XData.AddRange(std::span<const double>(xs));
        YData.AddRange(std::span<const double>(xs));
        for (int i = 0; i < Count; ++i) {
            auto* s = i % 2 ? static_cast<TVxSeries*>(new TVxPointSeries(&Form))
                            : new TVxLineSeries(&Form);
            s->SetXData(&XData);
            s->SetYData(&YData);
            s->SetXAxis(Graph->PrimaryXAxis());
            s->SetYAxis(Graph->PrimaryYAxis());
            s->SetCaption(QString("Sensor %1 <b>room</b>").arg(i));
            s->Area()->SetVisible(i % 3 == 0);
        }
        Legend->SetGraph(Graph);
        Legend->SetColumns(4);
        Legend->SetBackColor(VxColor(0xFFFFFFF0));
        Legend->SetDropShadow(true);
        Legend->SetCornerRounding(6);
    }
};

void BM_LegendLayout(benchmark::State& State) {
    TChart chart(int(State.range(0)));
    for (auto _ : State) {
        chart.Legend->Modified();
        chart.Legend->PreparePaint();
        benchmark::DoNotOptimize(chart.Legend->Width());
    }
}
BENCHMARK(BM_LegendLayout)->Arg(4)->Arg(32)->Arg(128)->Unit(benchmark::kMicrosecond);

void BM_LegendPaint(benchmark::State& State) {
    TChart chart(int(State.range(0)));
    chart.Legend->PreparePaint();
    QImage image(chart.Legend->BoundsRect().size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        chart.Legend->PaintGr(surface);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_LegendPaint)->Arg(4)->Arg(32)->Arg(128)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
