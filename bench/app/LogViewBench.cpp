// The log view at the size of a year of readings at one every three seconds (1e7 lines), in
// the window's memo size, on the offscreen platform:
// - BM_Memory: process memory with 1e7 lines in the view and 1e7 points in the two vectors,
//   and the view's own growth per line (resident set size from /proc/self/statm);
// - BM_AppendAndRepaint/N: one line appended and the view repainted at N lines;
// - BM_ScrollToMiddle: the scroll bar dragged to the middle and back at 1e7 lines, one
//   repaint each;
// - BM_Save: the saved form of 1e7 lines written to a file.

#include "FrameAcquisition.h"
#include "LogView.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

constexpr int YearOfLines = 10'000'000;
// 2024-03-01 00:00:00 as a local date-time (days since 1899-12-30).
constexpr double Start = 45352.0;
constexpr double ThreeSeconds = 3.0 / 86400.0;

double ResidentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

std::unique_ptr<TLogView> NewView() {
    auto view = std::make_unique<TLogView>();
    view->resize(550, 249);
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(19);
    view->setFont(font);
    view->show();
    return view;
}

QString LineOf(long long Index, const TVxFormatSettings& Settings) {
    return FormatLogLine(Start + double(Index) * ThreeSeconds,
                         float(20.0 + double(Index % 100) / 10.0), Settings);
}

void Fill(TLogView& View, long long Count) {
    const TVxFormatSettings settings = TVxFormatSettings::Current();
    for (long long i = View.LineCount(); i < Count; ++i) {
        View.AppendLine(LineOf(i, settings));
        // In the window every reading arrives through the event loop, which handles the
        // events an append posts; without it they would pile up here.
        if (i % 1000 == 0)
            QApplication::processEvents();
    }
}

// One view per size, kept for the benchmarks that follow; gone before the application.
std::map<long long, std::unique_ptr<TLogView>> Views;

TLogView& ViewOf(long long Count) {
    auto& view = Views[Count];
    if (!view) {
        view = NewView();
        Fill(*view, Count);
    }
    return *view;
}

void BM_Memory(benchmark::State& State) {
    for (auto _ : State) {
        const double before = ResidentBytes();
        TLogView& view = ViewOf(YearOfLines);
        const double afterView = ResidentBytes();
        TVxDoubleVector times, temperatures;
        for (TVxDoubleVector* vector : {&times, &temperatures}) {
            vector->SetPersistentValues(false);
            vector->SetCapacity(128);
            vector->SetIncrement(128);
        }
        for (long long i = 0; i < YearOfLines; ++i) {
            times.Add(Start + double(i) * ThreeSeconds);
            temperatures.Add(20.0 + double(i % 100) / 10.0);
        }
        // Measured while the vectors still hold their points.
        State.counters["process_MB"] = ResidentBytes() / 1e6;
        State.counters["view_bytes_per_line"] = (afterView - before) / double(view.LineCount());
        State.counters["view_store_bytes_per_line"] =
            double(view.MemoryBytes()) / double(view.LineCount());
    }
}
BENCHMARK(BM_Memory)->Iterations(1)->Unit(benchmark::kSecond);

void BM_AppendAndRepaint(benchmark::State& State) {
    TLogView& view = ViewOf(State.range(0));
    const TVxFormatSettings settings = TVxFormatSettings::Current();
    long long next = view.LineCount();
    for (auto _ : State) {
        view.AppendLine(LineOf(next++, settings));
        view.viewport()->repaint();
    }
    State.counters["lines"] = double(view.LineCount());
}
BENCHMARK(BM_AppendAndRepaint)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(YearOfLines)
    ->Unit(benchmark::kMillisecond);

void BM_ScrollToMiddle(benchmark::State& State) {
    TLogView& view = ViewOf(YearOfLines);
    QScrollBar* bar = view.verticalScrollBar();
    bool middle = false;
    for (auto _ : State) {
        middle = !middle;
        bar->setValue(middle ? bar->maximum() / 2 : bar->maximum());
        view.viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollToMiddle)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& State) {
    TLogView& view = ViewOf(YearOfLines);
    QTemporaryDir dir;
    const QString fileName = dir.filePath("log.txt");
    for (auto _ : State) {
        QString reason;
        if (!view.SaveLines(fileName, reason))
            State.SkipWithError(reason.toStdString().c_str());
    }
    State.counters["lines"] = double(view.LineCount());
}
BENCHMARK(BM_Save)->Iterations(2)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Views.clear();
    return 0;
}
