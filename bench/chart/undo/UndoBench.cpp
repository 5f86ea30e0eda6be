// Recording into the undo stack with a step limit: the cost per push stays constant, so
// the time grows linearly with the number of pushes, also with 1-MB vector states.

#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <QObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

class TTarget : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE SetValue)

public:
    double Value() const { return FValue; }
    void SetValue(double V) { FValue = V; }
    double FValue = 0.1;
};

// Pushes of one double property, Limit 20, logs in memory or in files.
void PushProperty(benchmark::State& State, bool InMemory) {
    QTemporaryDir dir;
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    const int pushes = int(State.range(0));
    for (auto _ : State) {
        TVxUndoStack stack;
        stack.SetToMemoryStream(InMemory);
        TTarget target;
        for (int i = 0; i < pushes; ++i) {
            stack.PushProperty(&target, "Value", "Value");
            target.FValue = i;
        }
        benchmark::DoNotOptimize(stack.UndoCount());
    }
    State.SetComplexityN(pushes);
    State.SetItemsProcessed(State.iterations() * pushes);
}

void BM_PushPropertyMemory(benchmark::State& State) {
    PushProperty(State, true);
}
void BM_PushPropertyFiles(benchmark::State& State) {
    PushProperty(State, false);
}

// Pushes of the whole state of a vector of 131072 doubles (1 MB), Limit 20, in memory.
void BM_PushVectorState(benchmark::State& State) {
    const int pushes = int(State.range(0));
    TVxDoubleVector vector;
    std::vector<double> values(131072);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = double(i) * 0.25;
    vector.AddRange(std::span<const double>(values));
    for (auto _ : State) {
        TVxUndoStack stack;
        for (int i = 0; i < pushes; ++i)
            stack.PushVectorState(&vector, "Graph series data");
        benchmark::DoNotOptimize(stack.UndoCount());
    }
    State.SetComplexityN(pushes);
    State.SetItemsProcessed(State.iterations() * pushes);
    State.SetBytesProcessed(State.iterations() * pushes * int64_t(values.size() * 8));
}

} // namespace

BENCHMARK(BM_PushPropertyMemory)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();
BENCHMARK(BM_PushPropertyFiles)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();
BENCHMARK(BM_PushVectorState)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

#include "UndoBench.moc"
