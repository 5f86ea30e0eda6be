#pragma once
// Clip regions as value types: everything, a rectangle, or the inside of a path.

#include "drawing/DrawTypes.h"
#include "drawing/Path.h"

#include <QPainterPath>

/// A region of the drawing surface.
class TVxRegion {
public:
    /// The kind of region.
    enum class TKind {
        Infinite, ///< everything
        Rect,     ///< an axis-aligned rectangle
        Path,     ///< the inside of a path
    };

    /// The infinite region.
    TVxRegion() = default;
    /// The region of a rectangle.
    static TVxRegion FromRect(const QRectF& Rect);
    /// The inside of a path (by its fill rule).
    static TVxRegion FromPath(const TVxPath& Path);
    /// The inside of a Qt path.
    static TVxRegion FromQtPath(const QPainterPath& Path);

    /// The kind.
    TKind Kind() const { return FKind; }
    /// True for the infinite region.
    bool IsInfinite() const { return FKind == TKind::Infinite; }
    /// The rectangle of a Rect region (empty otherwise).
    QRectF Rect() const { return FRect; }
    /// The region as a Qt path; the infinite region as a very large rectangle.
    QPainterPath ToQtPath() const;
    /// The bounding box; a very large rectangle for the infinite region.
    QRectF Bounds() const;
    /// True if Point lies inside.
    bool Contains(QPointF Point) const;

    /// The region mapped through Matrix (a rectangle stays one under scale and translation).
    TVxRegion Transformed(const TVxMatrix& Matrix) const;
    /// The region combined with Other by Mode.
    TVxRegion Combined(const TVxRegion& Other, TCombineMode Mode) const;

    /// Equal kind and geometry.
    bool operator==(const TVxRegion& Other) const;

private:
    TKind FKind = TKind::Infinite;
    QRectF FRect;
    QPainterPath FPath;
};
