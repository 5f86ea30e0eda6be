// Saving and loading a whole chart: one point series on two named vectors, saved with its
// values, in each container. A load includes the check pass and the series'
// recalculation; each load is checked to give the values back bit for bit. The binary load
// also reports its peak resident memory above what the chart held before, against the
// values' own size.
#include "axes/Axis.h"
#include "graph/Graph.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "series/Series.h"
#include "util/Application.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

/// A form with a graph, two axes, two named vectors of Count values and a point series.
struct TChartForm {
    explicit TChartForm(int Count) {
        Form.setObjectName("BenchForm");
        TVxApplication::Instance().RegisterForm(&Form);
        Graph = new TVxGraph2D(&Form);
        Graph->setObjectName("Graph");
        if (Count == 0)
            return;
        auto* x = new TVxDoubleVector(&Form);
        x->setObjectName("X");
        auto* y = new TVxDoubleVector(&Form);
        y->setObjectName("Y");
        std::mt19937_64 rng(1);
        std::uniform_real_distribution<double> value(-1e6, 1e6);
        std::vector<double> xs(static_cast<size_t>(Count)), ys(static_cast<size_t>(Count));
        for (size_t i = 0; i < xs.size(); ++i) {
            xs[i] = double(i);
            ys[i] = value(rng);
        }
        x->SetInternalArray(std::move(xs));
        y->SetInternalArray(std::move(ys));
        auto* ax = new TVxAxis(&Form);
        ax->setObjectName("AX");
        auto* ay = new TVxAxis(&Form);
        ay->setObjectName("AY");
        ay->SetPosition(TVxAxisPosition::Left);
        Graph->AddAxis(ax);
        Graph->AddAxis(ay);
        auto* series = new TVxPointSeries(&Form);
        series->setObjectName("Points");
        series->SetXData(x);
        series->SetYData(y);
        series->SetXAxis(ax);
        series->SetYAxis(ay);
    }
    ~TChartForm() { TVxApplication::Instance().Unregister(&Form); }
    TVxDoubleVector* Y() const { return Form.findChild<TVxDoubleVector*>("Y"); }
    QWidget Form;
    TVxGraph2D* Graph;
};

/// Stops the benchmark with an error unless the loaded Y values equal the saved ones.
void Check(benchmark::State& state, const TChartForm& Saved, const TChartForm& Loaded) {
    const TVxDoubleVector* a = Saved.Y();
    const TVxDoubleVector* b = Loaded.Y();
    if (!a || !b || a->InternalArray().size() != b->InternalArray().size() ||
        std::memcmp(a->InternalArray().data(), b->InternalArray().data(),
                    a->InternalArray().size_bytes()) != 0)
        state.SkipWithError("the values did not come back bit for bit");
}

long long StatusKb(const char* Key) {
    long long kb = 0;
    if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const size_t n = std::strlen(Key);
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, Key, n) == 0)
                kb = std::atoll(line + n + 1);
        std::fclose(f);
    }
    return kb;
}

/// Resets the peak resident memory to the current one (Linux).
void ResetPeak() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

constexpr int Big = 10'000'000;

void BM_BinaryMemorySave(benchmark::State& state) {
    TChartForm chart(Big);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        chart.Graph->WriteTo(static_cast<QIODevice&>(buffer), true);
        benchmark::DoNotOptimize(buffer.data().size());
    }
}
BENCHMARK(BM_BinaryMemorySave)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BinaryMemoryLoad(benchmark::State& state) {
    TChartForm saved(Big);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        saved.Graph->WriteTo(static_cast<QIODevice&>(buffer), true);
    }
    saved.Form.setObjectName("SavedForm");
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto loaded = std::make_unique<TChartForm>(0);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        ResetPeak();
        const long long before = StatusKb("VmRSS:");
        state.ResumeTiming();
        loaded->Graph->ReadFrom(static_cast<QIODevice&>(buffer));
        state.PauseTiming();
        peak = double(StatusKb("VmHWM:") - before) / 1024.0;
        Check(state, saved, *loaded);
        loaded.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peak;
    state.counters["peak_per_values"] = peak * 1024 * 1024 / (2.0 * Big * 8);
}
BENCHMARK(BM_BinaryMemoryLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BinaryFileSave(benchmark::State& state) {
    TChartForm chart(Big);
    QTemporaryDir dir;
    const QString file = dir.filePath("chart.bin");
    for (auto _ : state)
        chart.Graph->WriteTo(file, true);
}
BENCHMARK(BM_BinaryFileSave)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BinaryFileLoad(benchmark::State& state) {
    TChartForm saved(Big);
    QTemporaryDir dir;
    const QString file = dir.filePath("chart.bin");
    saved.Graph->WriteTo(file, true);
    saved.Form.setObjectName("SavedForm");
    for (auto _ : state) {
        state.PauseTiming();
        auto loaded = std::make_unique<TChartForm>(0);
        state.ResumeTiming();
        loaded->Graph->ReadFrom(file);
        state.PauseTiming();
        Check(state, saved, *loaded);
        loaded.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BinaryFileLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

// Save plus load of the text containers, from 1e5 to 1e7 points.
void BM_XmlSaveLoad(benchmark::State& state) {
    const int count = int(state.range(0));
    TChartForm saved(count);
    for (auto _ : state) {
        pugi::xml_document doc;
        saved.Graph->WriteTo(doc, true);
        const QByteArray text = SaveXmlDocument(doc);
        doc.reset();
        state.PauseTiming();
        saved.Form.setObjectName("SavedForm");
        auto loaded = std::make_unique<TChartForm>(0);
        state.ResumeTiming();
        pugi::xml_document back;
        LoadXmlDocument(back, text);
        loaded->Graph->ReadFrom(back.first_child());
        state.PauseTiming();
        Check(state, saved, *loaded);
        loaded.reset();
        saved.Form.setObjectName("BenchForm");
        state.ResumeTiming();
    }
    state.counters["points_per_s"] =
        benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_XmlSaveLoad)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(Big)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_IniSaveLoad(benchmark::State& state) {
    const int count = int(state.range(0));
    TChartForm saved(count);
    for (auto _ : state) {
        TVxIniFile ini;
        saved.Graph->WriteTo(ini, "Chart", true);
        const QByteArray text = ini.SaveToText();
        state.PauseTiming();
        saved.Form.setObjectName("SavedForm");
        auto loaded = std::make_unique<TChartForm>(0);
        state.ResumeTiming();
        TVxIniFile back;
        back.LoadFromText(text);
        loaded->Graph->ReadFrom(back, "Chart");
        state.PauseTiming();
        Check(state, saved, *loaded);
        loaded.reset();
        saved.Form.setObjectName("BenchForm");
        state.ResumeTiming();
    }
    state.counters["points_per_s"] =
        benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IniSaveLoad)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(Big)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

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
