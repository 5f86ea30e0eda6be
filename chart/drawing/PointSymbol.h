#pragma once
// The ten point symbols: their geometry, drawing, batch drawing and the shapes that keep
// series lines out of them.

#include "drawing/Surface.h"

#include <span>
#include <vector>

/// The point symbols (streamed as their values 0 to 9).
enum class TVxPointSymbol {
    Dot = 0,      ///< a filled square of the pen's width
    Cross = 1,    ///< +
    Ex = 2,       ///< x
    Star = 3,     ///< + and a smaller x
    FiveStar = 4, ///< five-pointed star
    Circle = 5,   ///< circle
    Square = 6,   ///< square
    Diamond = 7,  ///< square on its corner
    Delta = 8,    ///< triangle pointing up
    Nabla = 9,    ///< triangle pointing down
};

/// The stroke width a symbol is laid out for: the pen's width, or 1 when it is not above 0.
double SymbolPenWidth(const TVxPen& Pen);
/// The symbol's radius for a size and stroke width: (Size - Width) / 2, never below 0.
double SymbolRadius(double Size, double Width);
/// The point list of a polygon symbol (FiveStar, Diamond, Delta, Nabla) of radius R at (X, Y),
/// its first points repeated at the end; empty for the other symbols.
std::vector<QPointF> SymbolPolygon(TVxPointSymbol Symbol, double R, double X, double Y);

/// Draws one symbol of Size centred on (X, Y): border with Pen, inside with Brush.
void DrawPointSymbol(TVxSurface& Surface, const TVxPen& Pen, const TVxBrush& Brush,
                     TVxPointSymbol Symbol, double Size, double X, double Y);
/// Draws the symbol at every centre; on surfaces that prefer sprites, solid symbols are stamped
/// from cached images.
void DrawPointSymbols(TVxSurface& Surface, const TVxPen& Pen, const TVxBrush& Brush,
                      TVxPointSymbol Symbol, double Size, std::span<const QPointF> Centres);

/// True for the symbols that keep lines out of their inside (FiveStar, Circle, Square,
/// Diamond, Delta, Nabla).
bool SymbolExcludesLines(TVxPointSymbol Symbol);
/// Adds the inside of the symbol at (X, Y) to Shapes, laid out for a stroke of 1; nothing for
/// symbols that exclude nothing.
void AddSymbolClipShape(TVxPath& Shapes, TVxPointSymbol Symbol, double Size, double X, double Y);
/// The insides of the symbol at every centre, for TVxSurface::BeginShapeExclusion.
TVxPath SymbolClipShapes(TVxPointSymbol Symbol, double Size, std::span<const QPointF> Centres);
