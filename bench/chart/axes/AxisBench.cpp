// Cost of the axis at paint time: converting values to pixels (per value, for linear,
// logarithmic and date-time axes; a few ns each), and one complete tick calculation
// (partition, rounding, ticks and label texts) for each scaling.
#include "axes/Axis.h"
#include "axes/DateTimeScale.h"
#include "axes/EndRounding.h"
#include "axes/TickGeneration.h"
#include "util/DateTime.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

TVxAxisScale Scale(TVxAxisScaling Scaling, double Start, double Stop) {
    TVxAxisScale s;
    s.Scaling = Scaling;
    s.Formats = DefaultDateTimeFormats(TVxFormatSettings::Invariant());
    TVxScaleContext c;
    c.ControlLength = 800;
    double start = Start, stop = Stop;
    RoundEnds(s, c, start, stop);
    s.Start = start;
    s.Stop = stop;
    s.AxLength = 800;
    return s;
}

void Transform(benchmark::State& State, TVxAxisScaling Scaling, double Start, double Stop) {
    TVxAxisScale s = Scale(Scaling, Start, Stop);
    const TVxAxisTransform t = PrepareTransform(s);
    std::vector<double> values(4096);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = Start + (Stop - Start) * double(i) / double(values.size());
    std::vector<float> pixels(values.size());
    for (auto _ : State) {
        for (std::size_t i = 0; i < values.size(); ++i)
            pixels[i] = t.NumberToWorld(values[i]);
        benchmark::DoNotOptimize(pixels.data());
    }
    State.SetItemsProcessed(State.iterations() * std::int64_t(values.size()));
}

void BM_NumberToWorldLinear(benchmark::State& State) {
    Transform(State, TVxAxisScaling::Normal, -3, 97);
}
void BM_NumberToWorldLog(benchmark::State& State) {
    Transform(State, TVxAxisScaling::Log, 1, 1e6);
}
void BM_NumberToWorldDateTime(benchmark::State& State) {
    Transform(State, TVxAxisScaling::DateTime, -6, 15);
}

// Through the component: the cached transform behind one flag test.
void BM_AxisNumberToWorld(benchmark::State& State) {
    TVxAxis axis;
    axis.SetStartStop(0, 100);
    axis.CalculateScale();
    double v = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(axis.NumberToWorld(v));
        v = v < 100 ? v + 0.37 : 0;
    }
    State.SetItemsProcessed(State.iterations());
}

void Ticks(benchmark::State& State, TVxAxisScaling Scaling, double Start, double Stop) {
    TVxScaleContext c;
    c.ControlLength = 800;
    TVxAxisScale s = Scale(Scaling, Start, Stop);
    TVxTickList ticks;
    for (auto _ : State) {
        double start = Start, stop = Stop;
        RoundEnds(s, c, start, stop);
        s.Start = start;
        s.Stop = stop;
        CalculateTicks(s, c, ticks);
        benchmark::DoNotOptimize(ticks.Ticks.data());
    }
    State.counters["ticks"] = double(ticks.Ticks.size());
}

void BM_TicksLinear(benchmark::State& State) {
    Ticks(State, TVxAxisScaling::Normal, 0.3, 8.7);
}
void BM_TicksLog(benchmark::State& State) {
    Ticks(State, TVxAxisScaling::Log, 1, 1e6);
}
void BM_TicksDateTimeTenMinutes(benchmark::State& State) {
    const double start = EncodeDateTime(2024, 3, 1, 14);
    Ticks(State, TVxAxisScaling::DateTime, start, IncDateMinutes(10, start));
}
void BM_TicksDateTimeHalfYear(benchmark::State& State) {
    Ticks(State, TVxAxisScaling::DateTime, EncodeDateTime(2024, 1, 1), EncodeDateTime(2024, 7, 1));
}
void BM_TicksSeconds(benchmark::State& State) {
    Ticks(State, TVxAxisScaling::Seconds, 0, 7200);
}

BENCHMARK(BM_NumberToWorldLinear);
BENCHMARK(BM_NumberToWorldLog);
BENCHMARK(BM_NumberToWorldDateTime);
BENCHMARK(BM_AxisNumberToWorld);
BENCHMARK(BM_TicksLinear);
BENCHMARK(BM_TicksLog);
BENCHMARK(BM_TicksDateTimeTenMinutes);
BENCHMARK(BM_TicksDateTimeHalfYear);
BENCHMARK(BM_TicksSeconds);

} // namespace
