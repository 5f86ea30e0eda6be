// Saving and loading a large vector in each container. Every round trip is checked to give
// back the values bit for bit; the XML file save also reports its peak memory.
#include "persistence/IniFile.h"
#include "persistence/LargeBuffer.h"
#include "persistence/XmlCodec.h"
#include "util/InvariantText.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Stops the benchmark with an error when Back does not hold the values of Source exactly.
void CheckRoundTrip(benchmark::State& state, const TVxDoubleVector& Source,
                    const TVxDoubleVector& Back) {
    const auto a = Source.InternalArray(), b = Back.InternalArray();
    if (a.size() != b.size() || std::memcmp(a.data(), b.data(), a.size_bytes()) != 0)
        state.SkipWithError("the values did not come back bit for bit");
}

// Resident memory of this process now, in bytes.
long long ResidentBytes() {
    long long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
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
    CheckRoundTrip(state, vector, back);
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
    CheckRoundTrip(state, vector, back);
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
    CheckRoundTrip(state, vector, back);
    SetCounters(state, count);
}
BENCHMARK(BM_IniRoundTrip)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Saving to an XML file, as a program saves a chart: the element tree is built and
// streamed to the file. In a child process, so that its peak resident memory is the
// save's own: reported against the file's size.
static void BM_XmlFileSave(benchmark::State& state) {
    const int count = int(state.range(0));
    TVxDoubleVector& vector = Filled(count);
    QTemporaryDir dir;
    const QString path = dir.filePath("v.xml");
    for (auto _ : state) {
        pugi::xml_document document;
        vector.WriteTo(document);
        SaveXmlFile(document, path);
    }
    SetCounters(state, count);

    int pipe[2];
    if (::pipe(pipe) != 0)
        return state.SkipWithError("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        FreeKeptLargeRooms(); // the save's own memory, not rooms the runs before left
        const long long before = ResidentBytes();
        {
            pugi::xml_document document;
            vector.WriteTo(document);
            SaveXmlFile(document, path);
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long long extra = usage.ru_maxrss * 1024LL - before;
        if (::write(pipe[1], &extra, sizeof extra) != sizeof extra)
            _exit(1);
        _exit(0);
    }
    ::close(pipe[1]);
    long long extra = 0;
    const bool got = ::read(pipe[0], &extra, sizeof extra) == sizeof extra;
    ::close(pipe[0]);
    waitpid(child, nullptr, 0);
    if (!got)
        return state.SkipWithError("the measuring process failed");
    const double textBytes = double(QFileInfo(path).size());
    state.counters["text_MB"] = textBytes / 1e6;
    state.counters["peak_MB"] = double(extra) / 1e6;
    state.counters["peak_per_text"] = double(extra) / textBytes;
}
BENCHMARK(BM_XmlFileSave)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Where a text record's time goes: the number text of one value each way, ours and the
// standard library's, over the values the round trips use.
static void BM_NumberText(benchmark::State& state) {
    const bool ours = state.range(0) != 0;
    const auto values = Filled(1'000'000).InternalArray();
    std::vector<char> text(values.size() * (InvariantTextMaxLength + 1));
    for (auto _ : state) {
        char* out = text.data();
        for (const double v : values) {
            out = ours ? FloatToInvariantChars(v, out)
                       : std::to_chars(out, out + InvariantTextMaxLength, v).ptr;
            *out++ = ' ';
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetLabel(ours ? "FloatToInvariantChars" : "std::to_chars");
    state.counters["values_per_s"] = benchmark::Counter(
        double(values.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NumberText)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

static void BM_NumberRead(benchmark::State& state) {
    const bool ours = state.range(0) != 0;
    const auto values = Filled(1'000'000).InternalArray();
    std::vector<char> text(values.size() * (InvariantTextMaxLength + 1));
    std::vector<const char*> ends;
    char* out = text.data();
    for (const double v : values) {
        out = FloatToInvariantChars(v, out);
        ends.push_back(out);
    }
    for (auto _ : state) {
        const char* p = text.data();
        double sum = 0;
        for (const char* end : ends) {
            double value = 0;
            if (ours)
                TryInvariantTextToFloat(std::string_view(p, size_t(end - p)), value);
            else
                std::from_chars(p, end, value);
            sum += value;
            p = end;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetLabel(ours ? "TryInvariantTextToFloat" : "std::from_chars");
    state.counters["values_per_s"] = benchmark::Counter(
        double(values.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NumberRead)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
