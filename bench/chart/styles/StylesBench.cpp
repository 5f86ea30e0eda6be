// Cost of the style objects on the paint path (pens and brushes per element and paint) and of
// their records when a chart is saved or loaded.
#include "styles/StyleRecords.h"

#include <QBuffer>
#include <benchmark/benchmark.h>

namespace {

const QRectF View(0, 0, 640, 480);

void BM_LinePen(benchmark::State& State) {
    TVxLineSettings line;
    line.SetDashStyle(TDashStyle::DashStyleDash);
    for (auto _ : State)
        benchmark::DoNotOptimize(line.GetPen(View));
}
BENCHMARK(BM_LinePen);

void BM_GradientLinePen(benchmark::State& State) {
    TVxLineSettings line;
    line.Gradient()->SetVisible(true);
    for (auto _ : State)
        benchmark::DoNotOptimize(line.GetPen(View, 30));
}
BENCHMARK(BM_GradientLinePen);

void BM_AreaHatchBrush(benchmark::State& State) {
    TVxAreaSettings area;
    area.SetAreaStyle(TVxAreaStyle::Percent50);
    for (auto _ : State)
        benchmark::DoNotOptimize(area.GetBrush(View));
}
BENCHMARK(BM_AreaHatchBrush);

// One setter call with its comparison and callback (no undo stack).
void BM_SetLinearAngle(benchmark::State& State) {
    int calls = 0;
    TVxGradientSettings g([&calls] { ++calls; });
    float angle = 0;
    for (auto _ : State) {
        angle += 7.5f;
        g.SetLinearAngle(angle);
    }
    benchmark::DoNotOptimize(calls);
}
BENCHMARK(BM_SetLinearAngle);

void BM_FontRecordRoundTrip(benchmark::State& State) {
    TVxFont font;
    font.SetSize(10.5f);
    font.Gradient()->SetVisible(true);
    TVxFont target;
    for (auto _ : State) {
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        TVxStreamWriter out(buffer);
        WriteFontSettings(out, font);
        buffer.seek(0);
        TVxStreamReader in(buffer);
        ReadFontSettings(in, target);
    }
}
BENCHMARK(BM_FontRecordRoundTrip);

void BM_AreaIniRoundTrip(benchmark::State& State) {
    TVxAreaSettings area;
    area.SetAreaStyle(TVxAreaStyle::Cross);
    TVxAreaSettings target;
    for (auto _ : State) {
        TVxIniFile ini;
        WriteAreaSettings(ini, "Graph", "Fill", area);
        ReadAreaSettings(ini, "Graph", "Fill", target);
    }
}
BENCHMARK(BM_AreaIniRoundTrip);

} // namespace
