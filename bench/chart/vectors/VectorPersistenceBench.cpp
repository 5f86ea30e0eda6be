// Saving and loading a large vector in each container.
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <benchmark/benchmark.h>
#include <random>

namespace {

TVxDoubleVector& Filled(int Count) {
    static TVxDoubleVector vector;
    if (vector.GetCount() != Count) {
        vector.Clear();
        std::mt19937_64 rng(1);
        std::uniform_real_distribution<double> value(-1e6, 1e6);
        std::vector<double> values(static_cast<size_t>(Count));
        for (double& v : values)
            v = value(rng);
        vector.SetInternalArray(std::move(values));
    }
    return vector;
}

void SetCounters(benchmark::State& state, int Count) {
    state.counters["values_per_s"] =
        benchmark::Counter(double(Count) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(int64_t(state.iterations()) * Count * 8);
}

} // namespace

static void BM_BinaryRoundTrip(benchmark::State& state) {
    const int count = int(state.range(0));
    TVxDoubleVector& vector = Filled(count);
    TVxDoubleVector back;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        vector.WriteTo(buffer);
        buffer.seek(0);
        back.ReadFrom(buffer);
        benchmark::DoNotOptimize(back.GetCount());
    }
    SetCounters(state, count);
}
BENCHMARK(BM_BinaryRoundTrip)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

static void BM_XmlRoundTrip(benchmark::State& state) {
    const int count = int(state.range(0));
    TVxDoubleVector& vector = Filled(count);
    TVxDoubleVector back;
    for (auto _ : state) {
        pugi::xml_document document;
        vector.WriteTo(document);
        const QByteArray text = SaveXmlDocument(document);
        pugi::xml_document loaded;
        LoadXmlDocument(loaded, text);
        back.ReadFrom(loaded.first_child());
        benchmark::DoNotOptimize(back.GetCount());
    }
    SetCounters(state, count);
}
BENCHMARK(BM_XmlRoundTrip)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

static void BM_IniRoundTrip(benchmark::State& state) {
    const int count = int(state.range(0));
    TVxDoubleVector& vector = Filled(count);
    TVxDoubleVector back;
    for (auto _ : state) {
        TVxIniFile ini;
        vector.WriteTo(ini, "Vector");
        TVxIniFile loaded;
        loaded.LoadFromText(ini.SaveToText());
        back.ReadFrom(loaded, "Vector");
        benchmark::DoNotOptimize(back.GetCount());
    }
    SetCounters(state, count);
}
BENCHMARK(BM_IniRoundTrip)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
