#include "drawing/PointSymbol.h"

#include "drawing/SymbolSprites.h"

#include <cmath>

namespace {

constexpr double DeltaTip = 1.0076133; // f = r * DeltaTip: tip of a triangle
constexpr double DeltaBase = 0.58124;  // g = r * DeltaBase: base of a triangle
constexpr double StarDiagonal = 0.7071067;

void DrawStrokes(TVxSurface& Surface, const TVxPen& Pen, double R, double X, double Y,
                 bool Diagonal) {
    const QPointF c(X, Y);
    if (Diagonal) {
        Surface.DrawLine(Pen, c, QPointF(X + R, Y + R));
        Surface.DrawLine(Pen, c, QPointF(X - R, Y + R));
        Surface.DrawLine(Pen, c, QPointF(X + R, Y - R));
        Surface.DrawLine(Pen, c, QPointF(X - R, Y - R));
    } else {
        Surface.DrawLine(Pen, c, QPointF(X, Y + R));
        Surface.DrawLine(Pen, c, QPointF(X, Y - R));
        Surface.DrawLine(Pen, c, QPointF(X + R, Y));
        Surface.DrawLine(Pen, c, QPointF(X - R, Y));
    }
}

} // namespace

double SymbolPenWidth(const TVxPen& Pen) {
    return Pen.Width > 0 ? Pen.Width : 1.0;
}

double SymbolRadius(double Size, double Width) {
    // A size below the stroke width would give a negative radius and turn Delta into Nabla.
    const double r = (Size - Width) / 2;
    return r > 0 ? r : 0;
}

std::vector<QPointF> SymbolPolygon(TVxPointSymbol Symbol, double R, double X, double Y) {
    const double f = R * DeltaTip;
    const double g = R * DeltaBase;
    switch (Symbol) {
    case TVxPointSymbol::FiveStar:
        return {{X, Y - 1.08 * R},
                {X + 0.27 * R, Y - 0.3 * R},
                {X + R, Y - 0.3 * R},
                {X + 0.4 * R, Y + 0.12 * R},
                {X + 0.64 * R, Y + 0.82 * R},
                {X, Y + 0.4 * R},
                {X - 0.64 * R, Y + 0.82 * R},
                {X - 0.4 * R, Y + 0.12 * R},
                {X - R, Y - 0.3 * R},
                {X - 0.27 * R, Y - 0.3 * R},
                {X, Y - 1.08 * R},
                {X + 0.27 * R, Y - 0.3 * R}};
    case TVxPointSymbol::Diamond:
        return {{X, Y - R}, {X + R, Y}, {X, Y + R}, {X - R, Y}, {X, Y - R}, {X + R, Y}};
    case TVxPointSymbol::Delta:
        return {{X, Y - f}, {X + R, Y + g}, {X - R, Y + g}, {X, Y - f}, {X + R, Y + g}};
    case TVxPointSymbol::Nabla:
        return {{X - R, Y - g}, {X + R, Y - g}, {X, Y + f}, {X - R, Y - g}, {X + R, Y - g}};
    default:
        return {};
    }
}

void DrawPointSymbol(TVxSurface& Surface, const TVxPen& Pen, const TVxBrush& Brush,
                     TVxPointSymbol Symbol, double Size, double X, double Y) {
    const double w = SymbolPenWidth(Pen);
    const double r = SymbolRadius(Size, w);
    const QRectF box(X - r, Y - r, 2 * r, 2 * r);
    switch (Symbol) {
    case TVxPointSymbol::Dot:
        Surface.FillRectangle(TVxBrush::SolidBrush(Pen.Color), QRectF(X - w / 2, Y - w / 2, w, w));
        return;
    case TVxPointSymbol::Cross:
        DrawStrokes(Surface, Pen, r, X, Y, false);
        return;
    case TVxPointSymbol::Ex:
        DrawStrokes(Surface, Pen, r, X, Y, true);
        return;
    case TVxPointSymbol::Star:
        DrawStrokes(Surface, Pen, r, X, Y, false);
        DrawStrokes(Surface, Pen, r * StarDiagonal, X, Y, true);
        return;
    case TVxPointSymbol::Circle:
        Surface.FillEllipse(Brush, box);
        Surface.DrawEllipse(Pen, box);
        return;
    case TVxPointSymbol::Square:
        Surface.FillRectangle(Brush, box);
        Surface.DrawRectangle(Pen, box);
        return;
    case TVxPointSymbol::FiveStar:
    case TVxPointSymbol::Diamond:
    case TVxPointSymbol::Delta:
    case TVxPointSymbol::Nabla: {
        const std::vector<QPointF> points = SymbolPolygon(Symbol, r, X, Y);
        Surface.FillPolygon(Brush, points, TFillMode::FillModeAlternate);
        // The repeated first points make the start a proper corner of the open outline.
        Surface.DrawLines(Pen, points);
        return;
    }
    }
}

void DrawPointSymbols(TVxSurface& Surface, const TVxPen& Pen, const TVxBrush& Brush,
                      TVxPointSymbol Symbol, double Size, std::span<const QPointF> Centres) {
    if (!Surface.PrefersSprites() || !CanUseSprite(Pen, Brush)) {
        for (const QPointF& c : Centres)
            DrawPointSymbol(Surface, Pen, Brush, Symbol, Size, c.x(), c.y());
        return;
    }
    const TSmoothingMode mode = Surface.GetSmoothingMode();
    const bool antiAliased = mode == TSmoothingMode::SmoothingModeAntiAlias ||
                             mode == TSmoothingMode::SmoothingModeHighQuality;
    for (const QPointF& c : Centres) {
        if (!std::isfinite(c.x()) || !std::isfinite(c.y()) || std::abs(c.x()) > 1e7 ||
            std::abs(c.y()) > 1e7)
            continue;
        const double fx = std::floor(c.x());
        const double fy = std::floor(c.y());
        int px = static_cast<int>(std::lround((c.x() - fx) * SpritePhases));
        int py = static_cast<int>(std::lround((c.y() - fy) * SpritePhases));
        const double ix = fx + px / SpritePhases;
        const double iy = fy + py / SpritePhases;
        px %= SpritePhases;
        py %= SpritePhases;
        const TVxSymbolSprite& sprite = SymbolSprite(Pen, Brush, Symbol, Size, antiAliased, px, py);
        Surface.DrawImage(sprite.Image, QPointF(ix - sprite.Origin.x(), iy - sprite.Origin.y()));
    }
}

bool SymbolExcludesLines(TVxPointSymbol Symbol) {
    switch (Symbol) {
    case TVxPointSymbol::FiveStar:
    case TVxPointSymbol::Circle:
    case TVxPointSymbol::Square:
    case TVxPointSymbol::Diamond:
    case TVxPointSymbol::Delta:
    case TVxPointSymbol::Nabla:
        return true;
    default:
        return false;
    }
}

void AddSymbolClipShape(TVxPath& Shapes, TVxPointSymbol Symbol, double Size, double X, double Y) {
    const double r = SymbolRadius(Size, 1.0);
    switch (Symbol) {
    case TVxPointSymbol::Circle:
        Shapes.AddEllipse(QRectF(X - r, Y - r, 2 * r, 2 * r));
        return;
    case TVxPointSymbol::Square:
        Shapes.AddRectangle(QRectF(X - r, Y - r, 2 * r, 2 * r));
        return;
    default:
        if (SymbolExcludesLines(Symbol))
            Shapes.AddPolygon(SymbolPolygon(Symbol, r, X, Y));
        return;
    }
}

TVxPath SymbolClipShapes(TVxPointSymbol Symbol, double Size, std::span<const QPointF> Centres) {
    TVxPath shapes(TFillMode::FillModeWinding);
    if (SymbolExcludesLines(Symbol))
        for (const QPointF& c : Centres)
            AddSymbolClipShape(shapes, Symbol, Size, c.x(), c.y());
    return shapes;
}
