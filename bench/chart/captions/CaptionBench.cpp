// Caption cost: measuring number labels (what an axis does for every tick partition),
// measuring and drawing a caption with markup on an image, and expanding a placeholder.
#include "captions/CaptionVariables.h"
#include "captions/RichCaption.h"
#include "drawing/QtSurface.h"
#include "drawing/RecordingSurface.h"
#include "util/VariableRegistries.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

const QString Labels[] = {"0", "2.5", "5", "7.5", "10", "12.5", "15", "17.5", "20", "22.5"};

void BM_MeasureNumberLabel_Recording(benchmark::State& state) {
    TVxFont font;
    TVxRecordingSurface surface;
    TVxRichCaptionRec rec;
    rec.Font = &font;
    std::size_t i = 0;
    for (auto _ : state) {
        rec.Caption = Labels[i++ % 10];
        rec.ParseForSize(surface);
        benchmark::DoNotOptimize(rec.FWidth);
    }
}
BENCHMARK(BM_MeasureNumberLabel_Recording);

void BM_MeasureNumberLabel_Image(benchmark::State& state) {
    TVxFont font;
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    TVxQtSurface surface(painter);
    TVxRichCaptionRec rec;
    rec.Font = &font;
    std::size_t i = 0;
    for (auto _ : state) {
        rec.Caption = Labels[i++ % 10];
        rec.ParseForSize(surface);
        benchmark::DoNotOptimize(rec.FWidth);
    }
}
BENCHMARK(BM_MeasureNumberLabel_Image);

void BM_PaintNumberLabel_Image(benchmark::State& state) {
    TVxFont font;
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    TVxQtSurface surface(painter);
    TVxRichCaptionRec rec;
    rec.Font = &font;
    rec.Caption = "12.5";
    rec.X = 100;
    rec.Y = 100;
    rec.Align = TVxContentAlignment::TopCenter;
    rec.ParseForSize(surface);
    for (auto _ : state)
        rec.PaintGr(surface);
}
BENCHMARK(BM_PaintNumberLabel_Image);

void BM_MarkupCaption_Image(benchmark::State& state) {
    TVxFont font;
    font.SetSize(12);
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    TVxQtSurface surface(painter);
    TVxRichCaptionRec rec;
    rec.Font = &font;
    rec.Caption = "\\bTemperature\\b T\\-1\\- in \\c[A=255, R=200, G=0, B=0]\u00B0C\\c[]\r"
                  "x\\+2\\+ + y\\-i\\-";
    rec.X = 200;
    rec.Y = 100;
    rec.Angle = 90;
    rec.Align = TVxContentAlignment::MiddleCenter;
    for (auto _ : state) {
        rec.ParseForSize(surface);
        rec.PaintGr(surface);
    }
}
BENCHMARK(BM_MarkupCaption_Image);

void BM_ExpandNumericPlaceholder(benchmark::State& state) {
    QObject series;
    series.setObjectName("Series1");
    RegisterDoubleGetter("Slope", {}, &series, GlobalDoubleGetters(), [] { return 0.123456; });
    const QString caption = "Slope: <%Series1.Slope;0.000%> K/min";
    for (auto _ : state)
        benchmark::DoNotOptimize(ExpandVariables(caption, nullptr));
    UnregisterContainerEverywhere(&series);
}
BENCHMARK(BM_ExpandNumericPlaceholder);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
