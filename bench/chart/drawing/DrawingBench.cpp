// Drawing cost on a 1200 x 700 image: point symbols, a long polyline, and keeping lines out of
// symbols by shape exclusion against per-shape clip arithmetic.
#include "drawing/PointSymbol.h"
#include "drawing/QtSurface.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

constexpr int Width = 1200;
constexpr int Height = 700;

std::vector<QPointF> RandomCentres(int Count) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> x(0, Width), y(0, Height);
    std::vector<QPointF> centres(static_cast<std::size_t>(Count));
    for (QPointF& c : centres)
        c = QPointF(x(random), y(random));
    return centres;
}

// Integer points across the image, as the fast polyline path produces them.
std::vector<QPointF> RandomWalk(int Count) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(-3, 3);
    std::vector<QPointF> points(static_cast<std::size_t>(Count));
    int y = Height / 2;
    for (int i = 0; i < Count; ++i) {
        y = std::clamp(y + step(random), 0, Height - 1);
        points[static_cast<std::size_t>(i)] =
            QPointF(static_cast<int>(static_cast<long long>(i) * Width / Count), y);
    }
    return points;
}

const TVxPen BorderPen = TVxPen::Solid(VxColor(0xFF0000FF), 1);
const TVxBrush FillBrush = TVxBrush::SolidBrush(VxColor(0xFF0000FF));

void BM_CircleSymbols(benchmark::State& State) {
    const bool antiAliased = State.range(0) != 0;
    const bool sprites = State.range(1) != 0;
    const auto centres = RandomCentres(100000);
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        image.fill(Qt::white);
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        surface.SetSmoothingMode(antiAliased ? TSmoothingMode::SmoothingModeAntiAlias
                                             : TSmoothingMode::SmoothingModeNone);
        if (sprites)
            DrawPointSymbols(surface, BorderPen, FillBrush, TVxPointSymbol::Circle, 11, centres);
        else
            for (const QPointF& c : centres)
                DrawPointSymbol(surface, BorderPen, FillBrush, TVxPointSymbol::Circle, 11, c.x(),
                                c.y());
    }
    State.SetItemsProcessed(State.iterations() * static_cast<long long>(centres.size()));
}
BENCHMARK(BM_CircleSymbols)
    ->ArgNames({"aa", "sprites"})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);

void BM_Polyline(benchmark::State& State) {
    const auto points = RandomWalk(static_cast<int>(State.range(0)));
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        image.fill(Qt::white);
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        surface.SetSmoothingMode(TSmoothingMode::SmoothingModeNone);
        surface.DrawLines(TVxPen::Solid(VxColor(0xFFFF0000), 1), points);
    }
    State.SetItemsProcessed(State.iterations() * static_cast<long long>(points.size()));
}
BENCHMARK(BM_Polyline)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Lines kept out of Count circle symbols: one layer with the shapes punched out.
void BM_ShapeExclusion(benchmark::State& State) {
    const auto centres = RandomCentres(static_cast<int>(State.range(0)));
    const auto line = RandomWalk(20000);
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        image.fill(Qt::white);
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        surface.BeginShapeExclusion(SymbolClipShapes(TVxPointSymbol::Circle, 11, centres));
        surface.DrawLines(TVxPen::Solid(VxColor(0xFFFF0000), 1), line);
        surface.EndShapeExclusion();
    }
}
BENCHMARK(BM_ShapeExclusion)->Arg(1000)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same by subtracting one shape after the other from the clip region.
void BM_PerShapeClipExclusion(benchmark::State& State) {
    const auto centres = RandomCentres(static_cast<int>(State.range(0)));
    const auto line = RandomWalk(20000);
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        image.fill(Qt::white);
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        for (const QPointF& c : centres) {
            TVxPath shape;
            AddSymbolClipShape(shape, TVxPointSymbol::Circle, 11, c.x(), c.y());
            surface.ExcludeClip(TVxRegion::FromPath(shape));
        }
        surface.DrawLines(TVxPen::Solid(VxColor(0xFFFF0000), 1), line);
    }
}
BENCHMARK(BM_PerShapeClipExclusion)->Arg(125)->Arg(250)->Unit(benchmark::kMillisecond);

} // namespace
