#pragma once
// Cached images of solid point symbols, stamped in place of drawing each symbol.

#include "drawing/PointSymbol.h"

#include <QImage>

/// Sprite positions are quantised to this fraction of a pixel.
inline constexpr int SpritePhases = 8;

/// A symbol image and where its centre lies.
struct TVxSymbolSprite {
    /// The symbol drawn on a transparent image.
    QImage Image;
    /// The pixel of the image that holds the centre (before the phase).
    QPoint Origin;
};

/// True when the symbol can be drawn from a sprite: solid pen and brush.
bool CanUseSprite(const TVxPen& Pen, const TVxBrush& Brush);
/// The cached sprite of the symbol whose centre lies at fraction (PhaseX, PhaseY) /
/// SpritePhases of a pixel past the image's centre pixel.
const TVxSymbolSprite& SymbolSprite(const TVxPen& Pen, const TVxBrush& Brush, TVxPointSymbol Symbol,
                                    double Size, bool AntiAliased, int PhaseX, int PhaseY);
/// Empties the sprite cache.
void ClearSymbolSprites();
