#include "drawing/QtConvert.h"

#include "drawing/HatchPatterns.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <map>
#include <tuple>

namespace {

// Qt keeps only one stop per position; nudge repeated positions apart so that every colour of
// the gradient survives (a centre of 0 or 1 repeats an end position).
QGradientStops DistinctStops(const std::vector<TVxGradientStop>& Stops, bool Reverse) {
    constexpr double Nudge = 1e-6;
    std::vector<std::pair<double, TVxColor>> s;
    for (const TVxGradientStop& stop : Stops)
        s.emplace_back(std::clamp(Reverse ? 1 - stop.Position : stop.Position, 0.0, 1.0),
                       stop.Color);
    if (Reverse)
        std::reverse(s.begin(), s.end());
    for (std::size_t i = 1; i < s.size(); ++i)
        s[i].first = std::max(s[i].first, s[i - 1].first + Nudge);
    for (std::size_t i = s.size(); i-- > 0;) {
        const double limit = i + 1 < s.size() ? s[i + 1].first - Nudge : 1.0;
        s[i].first = std::min(s[i].first, limit);
    }
    QGradientStops stops;
    for (const auto& [position, color] : s)
        stops.append({std::max(position, 0.0), ToQColor(color)});
    return stops;
}

const QImage& CachedHatch(TVxHatchStyle Style, TVxColor Fore, TVxColor Back) {
    using TKey = std::tuple<int, TVxColor, TVxColor>;
    static std::map<TKey, QImage> cache;
    if (cache.size() > 256)
        cache.clear();
    const TKey key{static_cast<int>(Style), Fore, Back};
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, HatchImage(Style, Fore, Back)).first;
    return it->second;
}

QBrush PathGradientBrush(const TVxBrush& Brush) {
    const QRectF& r = Brush.Rect;
    if (!(r.width() > 0 && r.height() > 0) || Brush.Stops.empty())
        return QBrush(ToQColor(Brush.Stops.empty() ? Brush.Color : Brush.Stops.front().Color));
    // A unit circle mapped onto the rim ellipse; the focal point is the centre point, so that
    // every ray from it runs from the centre colour (0) to the rim colour (1).
    const double rx = r.width() / 2;
    const double ry = r.height() / 2;
    const QPointF focal((Brush.Center.x() - r.center().x()) / rx,
                        (Brush.Center.y() - r.center().y()) / ry);
    QRadialGradient gradient(QPointF(0, 0), 1, focal);
    gradient.setStops(DistinctStops(Brush.Stops, true));
    gradient.setSpread(QGradient::PadSpread);
    QBrush brush(gradient);
    brush.setTransform(QTransform::fromScale(rx, ry) *
                       QTransform::fromTranslate(r.center().x(), r.center().y()));
    return brush;
}

} // namespace

QBrush ToQBrush(const TVxBrush& Brush, const QTransform& WorldToDevice) {
    switch (Brush.Kind) {
    case TVxBrushKind::Solid:
        return QBrush(ToQColor(Brush.Color));
    case TVxBrushKind::Hatch: {
        QBrush brush(CachedHatch(Brush.Hatch, Brush.Color, Brush.BackColor));
        brush.setTransform(WorldToDevice.inverted());
        return brush;
    }
    case TVxBrushKind::LinearGradient: {
        if (Brush.Start == Brush.End || Brush.Stops.empty())
            return QBrush(ToQColor(Brush.Stops.empty() ? Brush.Color : Brush.Stops.front().Color));
        QLinearGradient gradient(Brush.Start, Brush.End);
        gradient.setStops(DistinctStops(Brush.Stops, false));
        gradient.setSpread(QGradient::PadSpread);
        return QBrush(gradient);
    }
    case TVxBrushKind::PathGradient:
        return PathGradientBrush(Brush);
    }
    return QBrush(ToQColor(Brush.Color));
}

QPen ToQPen(const TVxPen& Pen, const QTransform& WorldToDevice) {
    QPen pen(Pen.Brush ? ToQBrush(*Pen.Brush, WorldToDevice) : QBrush(ToQColor(Pen.Color)),
             std::max(Pen.Width, 0.0f));
    const TLineCap cap = Pen.CustomEndCap ? Pen.StartCap : Pen.EndCap;
    switch (cap) {
    case TLineCap::LineCapFlat:
        pen.setCapStyle(Qt::FlatCap);
        break;
    case TLineCap::LineCapSquare:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case TLineCap::LineCapRound:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    // A miter beyond the limit falls back to a bevel, and limits below 1 count as 1.
    pen.setJoinStyle(Qt::SvgMiterJoin);
    pen.setMiterLimit(std::max(Pen.MiterLimit, 1.0f));
    const std::vector<float> pattern = DashPatternOf(Pen);
    if (!pattern.empty() && pattern.size() % 2 == 0) {
        QList<qreal> dashes;
        for (float d : pattern)
            dashes.append(std::max<qreal>(d, 0.01));
        pen.setDashPattern(dashes);
    }
    return pen;
}
