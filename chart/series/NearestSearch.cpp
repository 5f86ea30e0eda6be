#include "series/NearestSearch.h"

#include "series/SeriesHost.h"

#include <algorithm>
#include <cmath>

namespace {

bool Inside(double V, double A, double B) {
    return V >= std::min(A, B) && V <= std::max(A, B);
}

} // namespace

void VxNearestPixelPoint(std::span<const QPointF> Points, std::span<const int> Index, int Count,
                         const QRectF& Area, TVxNearestMode Mode, QPointF From,
                         TVxNearestPointResult& Result) {
    Result = TVxNearestPointResult();
    const std::size_t n = std::min(Points.size(), Index.size());
    if (n == 0)
        return;
    const auto distance = [&](std::size_t k, float& d) {
        const QPointF p = Points[k];
        if (Index[k] >= Count)
            return false;
        const bool inX = Inside(p.x(), Area.left(), Area.right());
        const bool inY = Inside(p.y(), Area.top(), Area.bottom());
        switch (Mode) {
        case TVxNearestMode::Point:
            if (!inX || !inY)
                return false;
            d = float(std::hypot(p.x() - From.x(), p.y() - From.y()));
            return true;
        case TVxNearestMode::X:
            if (!inX)
                return false;
            d = float(std::abs(p.x() - From.x()));
            return true;
        case TVxNearestMode::Y:
            if (!inY)
                return false;
            d = float(std::abs(p.y() - From.y()));
            return true;
        }
        return false;
    };
    const auto take = [&](std::size_t k, float d) {
        Result.Found = true;
        Result.Distance = d;
        Result.Index = Index[k];
        Result.ThePoint = Points[k];
    };
    const auto sortedByX = [&] {
        for (std::size_t k = 1; k < n; ++k)
            if (Points[k].x() < Points[k - 1].x())
                return false;
        return true;
    };
    if (Mode == TVxNearestMode::Y || !sortedByX()) {
        for (std::size_t k = 0; k < n; ++k) {
            float d;
            if (distance(k, d) && d < Result.Distance) {
                take(k, d);
            }
        }
        return;
    }
    // Ascending X: |dx| is a lower bound of the distance (float rounding is monotonic), so
    // the search stops on each side where it exceeds the best distance.
    const auto start = std::lower_bound(Points.begin(), Points.begin() + std::ptrdiff_t(n), From,
                                        [](QPointF a, QPointF b) { return a.x() < b.x(); });
    const std::size_t k0 = std::size_t(start - Points.begin());
    // To the right the indices grow: only a strictly smaller distance wins.
    for (std::size_t k = k0; k < n; ++k) {
        if (Result.Found && float(std::abs(Points[k].x() - From.x())) > Result.Distance)
            break;
        float d;
        if (distance(k, d) && d < Result.Distance) {
            take(k, d);
        }
    }
    // To the left the indices fall: an equal distance belongs to an earlier point and wins.
    for (std::size_t k = k0; k-- > 0;) {
        if (Result.Found && float(std::abs(Points[k].x() - From.x())) > Result.Distance)
            break;
        float d;
        if (distance(k, d) && (d < Result.Distance || (Result.Found && d == Result.Distance))) {
            take(k, d);
        }
    }
}

void VxSeriesNearest(const TVxSeries& Series, TVxNearestMode Mode, QPointF From,
                     TVxNearestPointResult& Result) {
    if (Series.IsFunctionSeries()) {
        switch (Mode) {
        case TVxNearestMode::Point:
            Series.NearestPoint(From, Result);
            break;
        case TVxNearestMode::X:
            Series.NearestX(float(From.x()), Result);
            break;
        case TVxNearestMode::Y:
            Series.NearestY(float(From.y()), Result);
            break;
        }
        return;
    }
    Result = TVxNearestPointResult();
    if (Series.RecalculatePoints() || !Series.Host() || !Series.XData() || !Series.YData())
        return;
    const bool symbols = Series.PointSymbol()->Visible() && !Series.SymbolPoints().empty();
    const std::vector<QPointF>& points = symbols ? Series.SymbolPoints() : Series.Points();
    const std::vector<int>& index = symbols ? Series.SymbolIndex() : Series.PointIndex();
    const int count =
        std::min({Series.Count(), Series.XData()->GetCount(), Series.YData()->GetCount()});
    VxNearestPixelPoint(points, index, count, Series.Host()->DrawingArea(), Mode, From, Result);
    if (Result.Found) {
        Result.X = Series.TransformedX(Result.Index);
        Result.Y = Series.TransformedY(Result.Index);
    }
}
