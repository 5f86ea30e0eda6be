// Reading long number lists: the cursor reader must stay linear in the text length
// (compare the time per value across list sizes).
#include "util/InvariantText.h"
#include "util/NumberExtraction.h"

#include <benchmark/benchmark.h>

namespace {

QString MakeList(qsizetype Count) {
    QString text;
    text.reserve(Count * 12);
    for (qsizetype i = 0; i < Count; ++i) {
        text += FloatToInvariantText(double(i) * 0.37 - 1000.0);
        text += u' ';
    }
    return text;
}

void BM_ReadFloatList(benchmark::State& State) {
    const QString text = MakeList(State.range(0));
    for (auto _ : State)
        benchmark::DoNotOptimize(ReadFloatList(text));
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_ReadFloatList)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_FloatToInvariantText(benchmark::State& State) {
    double x = 0.1;
    for (auto _ : State) {
        benchmark::DoNotOptimize(FloatToInvariantText(x));
        x += 1.37;
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_FloatToInvariantText);

} // namespace
