#include "drawing/GradientBrushes.h"

#include <cmath>
#include <numbers>

TVxBrush LinearGradientBrush(const QRectF& Rect, TVxColor First, TVxColor Last, double Angle) {
    TVxBrush b;
    b.Kind = TVxBrushKind::LinearGradient;
    b.Rect = Rect;
    b.Angle = Angle;
    b.Color = First;
    const double radians = Angle * std::numbers::pi / 180;
    const QPointF direction(std::cos(radians), std::sin(radians));
    // Half the extent of the rectangle's projection on the direction: the gradient runs from
    // the first corner it meets to the last.
    const double half =
        (std::abs(Rect.width() * direction.x()) + std::abs(Rect.height() * direction.y())) / 2;
    b.Start = Rect.center() - direction * half;
    b.End = Rect.center() + direction * half;
    b.Stops = {{0, First}, {1, Last}};
    return b;
}

TVxBrush LinearThreeColorBrush(const QRectF& View, TVxColor First, TVxColor Middle, TVxColor Last,
                               double Center, double Angle) {
    const QRectF enlarged(View.x() - 1, View.y() - 1, View.width() + 1, View.height() + 1);
    TVxBrush b = LinearGradientBrush(enlarged, First, Last, Angle);
    b.Stops = {{0, First}, {Center, Middle}, {1, Last}};
    return b;
}

namespace {

TVxBrush PathBrush(const QRectF& View, const QRectF& Rim, QPointF CenterFraction, TVxColor C0,
                   TVxColor C1, TVxColor C2) {
    TVxBrush b;
    b.Kind = TVxBrushKind::PathGradient;
    b.Rect = Rim;
    b.Color = C0;
    b.Center = QPointF(View.x() + View.width() / 2 + (CenterFraction.x() - 0.5) * View.width(),
                       View.y() + View.height() / 2 + (CenterFraction.y() - 0.5) * View.height());
    b.Stops = {{0, C0}, {0.5, C1}, {1, C2}};
    return b;
}

} // namespace

TVxBrush RadialBrush(const QRectF& View, QPointF CenterFraction, TVxColor Rim, TVxColor Half,
                     TVxColor Centre) {
    const double w = View.width();
    const double h = View.height();
    const double d = 2 * std::sqrt(w / 2 * (w / 2) + h / 2 * (h / 2));
    const QRectF circle(View.x() + (w - d) / 2, View.y() + (h - d) / 2, d, d);
    return PathBrush(View, circle, CenterFraction, Rim, Half, Centre);
}

TVxBrush EllipticalBrush(const QRectF& View, QPointF CenterFraction, TVxColor Rim, TVxColor Half,
                         TVxColor Centre) {
    const double ew = View.width() * std::numbers::sqrt2;
    const double eh = View.height() * std::numbers::sqrt2;
    const QRectF ellipse(View.center().x() - ew / 2, View.center().y() - eh / 2, ew, eh);
    return PathBrush(View, ellipse, CenterFraction, Rim, Half, Centre);
}
