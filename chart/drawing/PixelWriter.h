#pragma once
// Writes axis-parallel rectangles and one-pixel lines of one opaque colour straight into the
// pixels of a raster image, taking exactly the pixels the aliased rasteriser of the drawing
// surface takes (pixel centres on integer coordinates). Drawing many small items this way
// costs a few stores per pixel instead of a trip through the painter per shape.

#include "drawing/Color.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <cstdint>

class TVxPixelWriter {
public:
    /// A writer on Image (Format_ARGB32_Premultiplied or Format_RGB32), which must stay alive
    /// and unshared while the writer is used. Pixel (X, Y) of the image shows the world point
    /// (X - Offset.x(), Y - Offset.y()); nothing is written outside Clip (image pixels). Shapes
    /// whose pixels reach the image's edge are declined: the painter rasterises those crossing
    /// it differently.
    TVxPixelWriter(QImage& Image, const QRect& Clip, QPoint Offset);

    /// True for the image formats the writer handles.
    static bool Supports(const QImage& Image);

    /// Fills the pixels whose centres lie in Rect, a centre on its left or top edge included
    /// and one on its right or bottom edge not. False (nothing written) unless Rect's edges
    /// are whole numbers.
    bool Fill(const QRectF& Rect, TVxColor Color);
    /// Strokes a line one pixel wide with flat ends from A to B: along it the pixels after the
    /// smaller end up to the larger one. False (nothing written) unless the line is horizontal
    /// or vertical, of some length, with whole coordinates.
    bool Line(QPointF A, QPointF B, TVxColor Color);
    /// Whether Line would take the line from A to B.
    bool TakesLine(QPointF A, QPointF B) const;
    /// Strokes the outline of Rect one pixel wide: its border pixels, corners included. False
    /// (nothing written) unless Rect's edges are whole numbers and it is at least one wide and
    /// one high.
    bool Outline(const QRectF& Rect, TVxColor Color);
    /// Lays Image (Format_ARGB32_Premultiplied, one pixel a unit) over the pixels from
    /// TopLeft on, rounded to the nearest pixel as the painter places an unscaled image,
    /// blending as the painter does. False (nothing written) for other formats.
    bool Blend(const QImage& Image, QPointF TopLeft);

private:
    bool Inside(int X0, int Y0, int X1, int Y1) const;
    void Span(int Y, int X0, int X1, std::uint32_t Pixel);
    void Block(int X0, int Y0, int X1, int Y1, std::uint32_t Pixel);

    uchar* FBits;
    qsizetype FStride;
    QRect FClip;
    QRect FInside; // image pixels a shape may reach for the writer to take it
    QPoint FOffset;
};
