// Export of a dense chart: 10^7 readings, one every 3 s from 1 March 2024, temperatures
// 23.4 + 2 sin(2 pi t / 60 s) degrees in tenths, drawn as a line on a 677 x 199 graph with
// a date-time X axis (the logger's chart after a long time of logging).
//
// Each export goes to memory (printing to a PDF file); the "bytes" counter is the size of
// the result. Raster targets use the per-pixel reduction of the screen, vector targets a
// reduction four times finer.
// BM_ExportAfterScreen/<format>: the screen's frame is painted, then the export: what a
// user pays when exporting a chart just shown (the finer reduction is built anew).

#include "axes/Axis.h"
#include "graph/Graph.h"
#include "graph/ImageExport.h"
#include "series/Series.h"
#include "styles/PointSymbolSettings.h"
#include "util/DateTime.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int Readings = 10'000'000;

struct TChart {
    QWidget Form;
    TVxDoubleVector* Times;
    TVxDoubleVector* Temperatures;
    TVxGraph2D* Graph;
    TVxLineSeries* Series;

    TChart()
        : Times(new TVxDoubleVector(&Form)), Temperatures(new TVxDoubleVector(&Form)),
          Graph(new TVxGraph2D(&Form)), Series(new TVxLineSeries(&Form)) {
        const double t0 = EncodeDateTime(2024, 3, 1, 0, 0, 0);
        std::vector<double> t(Readings), y(Readings);
        for (int i = 0; i < Readings; ++i) {
            const double seconds = 3.0 * i;
            t[std::size_t(i)] = t0 + seconds / 86400.0;
            y[std::size_t(i)] =
                std::round(10 * (23.4 + 2 * std::sin(2 * std::numbers::pi * seconds / 60))) / 10;
        }
        Times->SetInternalArray(std::move(t));
        Temperatures->SetInternalArray(std::move(y));
        Graph->setGeometry(0, 0, 677, 199);
        Graph->SetBackColor(VxColor(0xFFFFFFFF));
        Graph->MajorGridVertical()->SetVisible(true);
        Graph->MajorGridHorizontal()->SetVisible(true);
        Graph->TestPrimaryAxis();
        Graph->PrimaryXAxis()->SetScaling(TVxAxisScaling::DateTime);
        Series->SetXData(Times);
        Series->SetYData(Temperatures);
        Series->SetXAxis(Graph->PrimaryXAxis());
        Series->SetYAxis(Graph->PrimaryYAxis());
        Series->PointSymbol()->SetVisible(false);
        Graph->PaintToImage(); // statistics, summaries, layout
    }

    QByteArray Save(TVxImageFileFormat Format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        Graph->SaveImage(buffer, Format);
        return bytes;
    }
};

TChart& Chart() {
    static TChart chart;
    return chart;
}

void BM_Export(benchmark::State& State) {
    const auto format = TVxImageFileFormat(State.range(0));
    TChart& chart = Chart();
    QByteArray bytes;
    for (auto _ : State) {
        bytes = chart.Save(format);
        benchmark::DoNotOptimize(bytes.constData());
    }
    State.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_Export)
    ->ArgName("format")
    ->Arg(int(TVxImageFileFormat::PNG))
    ->Arg(int(TVxImageFileFormat::GIF))
    ->Arg(int(TVxImageFileFormat::BMP))
    ->Arg(int(TVxImageFileFormat::PDF))
    ->Arg(int(TVxImageFileFormat::SVG))
    ->Unit(benchmark::kMillisecond);

void BM_ExportAfterScreen(benchmark::State& State) {
    const auto format = TVxImageFileFormat(State.range(0));
    TChart& chart = Chart();
    for (auto _ : State) {
        QImage frame = chart.Graph->PaintToImage();
        benchmark::DoNotOptimize(frame.constBits());
        QByteArray bytes = chart.Save(format);
        benchmark::DoNotOptimize(bytes.constData());
    }
}
BENCHMARK(BM_ExportAfterScreen)
    ->ArgName("format")
    ->Arg(int(TVxImageFileFormat::PNG))
    ->Arg(int(TVxImageFileFormat::PDF))
    ->Arg(int(TVxImageFileFormat::SVG))
    ->Unit(benchmark::kMillisecond);

void BM_ScreenFrame(benchmark::State& State) {
    TChart& chart = Chart();
    for (auto _ : State) {
        QImage frame = chart.Graph->PaintToImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_ScreenFrame)->Unit(benchmark::kMillisecond);

void BM_PrintTo600DpiPdf(benchmark::State& State) {
    TChart& chart = Chart();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("print.pdf"));
    for (auto _ : State) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(name);
        printer.setResolution(600);
        chart.Graph->PrintTo(&printer, QRect(600, 600, 6 * 677, 6 * 199));
    }
    State.counters["bytes"] = double(QFileInfo(name).size());
}
BENCHMARK(BM_PrintTo600DpiPdf)->Unit(benchmark::kMillisecond);

void BM_CopyToClipboard(benchmark::State& State) {
    TChart& chart = Chart();
    for (auto _ : State)
        chart.Graph->CopyToClipboard();
}
BENCHMARK(BM_CopyToClipboard)->Unit(benchmark::kMillisecond);

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
