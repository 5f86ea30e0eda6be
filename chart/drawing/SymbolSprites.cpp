#include "drawing/SymbolSprites.h"

#include "drawing/QtSurface.h"

#include <QPainter>
#include <cmath>
#include <map>
#include <tuple>

namespace {

using TSpriteKey = std::tuple<int, double, TVxColor, float, int, float, TVxColor, bool, int, int>;

std::map<TSpriteKey, TVxSymbolSprite>& Cache() {
    static std::map<TSpriteKey, TVxSymbolSprite> cache;
    return cache;
}

// The smallest part of Image that holds every painted pixel.
QRect PaintedBounds(const QImage& Image) {
    int left = Image.width(), top = Image.height(), right = -1, bottom = -1;
    for (int y = 0; y < Image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(Image.constScanLine(y));
        for (int x = 0; x < Image.width(); ++x)
            if (qAlpha(line[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect(0, 0, 1, 1) : QRect(QPoint(left, top), QPoint(right, bottom));
}

TVxSymbolSprite Render(const TVxPen& Pen, const TVxBrush& Brush, TVxPointSymbol Symbol, double Size,
                       bool AntiAliased, int PhaseX, int PhaseY) {
    const double w = SymbolPenWidth(Pen);
    const double r = SymbolRadius(Size, w);
    // Room for the star's tip, miter joins and the pen: cropped afterwards.
    const int half = static_cast<int>(std::ceil(1.1 * r + w * std::max(2.0f, Pen.MiterLimit) + 2));
    QImage image(2 * half + 1, 2 * half + 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        surface.SetSmoothingMode(AntiAliased ? TSmoothingMode::SmoothingModeAntiAlias
                                             : TSmoothingMode::SmoothingModeNone);
        DrawPointSymbol(surface, Pen, Brush, Symbol, Size, half + double(PhaseX) / SpritePhases,
                        half + double(PhaseY) / SpritePhases);
    }
    const QRect painted = PaintedBounds(image);
    return {image.copy(painted), QPoint(half - painted.left(), half - painted.top())};
}

} // namespace

bool CanUseSprite(const TVxPen& Pen, const TVxBrush& Brush) {
    // Gradient and hatch colours depend on the position on the target; the key below does not
    // hold custom dashes or caps.
    return !Pen.Brush && !Pen.CustomStartCap && !Pen.CustomEndCap &&
           Pen.DashStyle != TDashStyle::DashStyleCustom && Pen.StartCap == TLineCap::LineCapFlat &&
           Pen.EndCap == TLineCap::LineCapFlat && Brush.Kind == TVxBrushKind::Solid;
}

const TVxSymbolSprite& SymbolSprite(const TVxPen& Pen, const TVxBrush& Brush, TVxPointSymbol Symbol,
                                    double Size, bool AntiAliased, int PhaseX, int PhaseY) {
    auto& cache = Cache();
    const TSpriteKey key{static_cast<int>(Symbol),
                         Size,
                         Pen.Color,
                         Pen.Width,
                         static_cast<int>(Pen.DashStyle),
                         Pen.MiterLimit,
                         Brush.Color,
                         AntiAliased,
                         PhaseX,
                         PhaseY};
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    if (cache.size() > 4096)
        cache.clear();
    return cache.emplace(key, Render(Pen, Brush, Symbol, Size, AntiAliased, PhaseX, PhaseY))
        .first->second;
}

void ClearSymbolSprites() {
    Cache().clear();
}
