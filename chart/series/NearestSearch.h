#pragma once
// The nearest-point queries markers snap with. For reduced pixel points in ascending X order
// the search starts at the binary-searched column of the position and widens while the
// horizontal distance alone can still win; otherwise every point is visited. Either way the
// result is that of a full scan in index order: the strictly nearest point, the first of
// equally near points.

#include "series/Series.h"

#include <span>

/// What a query measures.
enum class TVxNearestMode {
    Point, ///< Euclidean pixel distance; points inside the area in X and Y
    X,     ///< |dx|; points inside the area in X
    Y,     ///< |dy|; points inside the area in Y
};

/// The nearest of Points (with their data indices Index; indices >= Count are skipped) to
/// From. Result carries Found, Distance, Index and ThePoint (X and Y are left 0).
void VxNearestPixelPoint(std::span<const QPointF> Points, std::span<const int> Index, int Count,
                         const QRectF& Area, TVxNearestMode Mode, QPointF From,
                         TVxNearestPointResult& Result);
/// The nearest point of Series as TVxSeries::NearestPoint, NearestX and NearestY give it,
/// through VxNearestPixelPoint (function series answer through their own query).
void VxSeriesNearest(const TVxSeries& Series, TVxNearestMode Mode, QPointF From,
                     TVxNearestPointResult& Result);
