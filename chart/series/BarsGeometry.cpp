#include "series/BarsGeometry.h"

#include "util/NumberText.h"

#include <algorithm>
#include <cmath>

QPointF BarDepthOffsets(double InnerWidth, double Depth) {
    double dx = InnerWidth * Depth / 240;
    double dy = InnerWidth * Depth / 400;
    if (!(dx > 0))
        dx = 1;
    if (!(dy > 0))
        dy = 1;
    return {dx, dy};
}

namespace {

// The anchor at Position without the move of a label that does not fit.
QPointF PlainAnchor(const TVxBarLabelInput& In, TVxBarLabelPosition Position) {
    const QRectF& r = In.Bar;
    const bool cuboid = In.Style == TVxBarStyle::Cuboid;
    const bool solid = cuboid || In.Style == TVxBarStyle::Cylinder;
    if (!In.Horizontal) {
        const double l = In.VerticalLabel ? In.Width : In.Height;
        const double t = r.top(), b = r.bottom();
        double x = (r.left() + r.right()) / 2 + In.ZylShift / 2;
        double y = t + 0.5 * (b - t);
        switch (Position) {
        case TVxBarLabelPosition::OnBottom:
            y = b - 0.75 * l;
            break;
        case TVxBarLabelPosition::GoldenCut:
            y = t + 0.381966 * (b - t);
            break;
        case TVxBarLabelPosition::ThreeFourth:
            y = t + 0.25 * (b - t);
            break;
        case TVxBarLabelPosition::InTop:
            y = t + 0.75 * l;
            break;
        case TVxBarLabelPosition::OnTopOfBar:
            y = t - 0.5 * l;
            if (cuboid)
                x += 0.5 * In.DepthX;
            if (solid)
                y -= In.DepthY;
            break;
        case TVxBarLabelPosition::Invisible:
        case TVxBarLabelPosition::Centered:
            break;
        }
        return {x, y};
    }
    const double h = In.VerticalLabel ? In.Height : In.Width;
    const double l = In.VerticalLabel ? In.Width : In.Height;
    const double left = r.left(), right = r.right();
    double y = (r.top() + r.bottom()) / 2 - In.ZylShift / 2;
    double x = left + 0.5 * (right - left);
    switch (Position) {
    case TVxBarLabelPosition::OnBottom:
        x = In.VerticalLabel ? left + h : left + 0.5 * h + 0.5 * l;
        break;
    case TVxBarLabelPosition::GoldenCut:
        x = left + 0.6180339 * (right - left);
        break;
    case TVxBarLabelPosition::ThreeFourth:
        x = left + 0.75 * (right - left);
        break;
    case TVxBarLabelPosition::InTop:
        x = In.VerticalLabel ? right - h : right - 0.5 * h - 0.5 * l;
        break;
    case TVxBarLabelPosition::OnTopOfBar:
        x = In.VerticalLabel ? right + 0.5 * h : right + 0.5 * h + 0.25 * l;
        if (cuboid)
            y -= 0.5 * In.DepthY;
        if (solid)
            x += In.DepthX;
        break;
    case TVxBarLabelPosition::Invisible:
    case TVxBarLabelPosition::Centered:
        break;
    }
    return {x, y};
}

} // namespace

QPointF BarLabelAnchor(const TVxBarLabelInput& In) {
    const QPointF p = PlainAnchor(In, In.Position);
    if (In.Position == TVxBarLabelPosition::OnTopOfBar ||
        In.Position == TVxBarLabelPosition::Invisible)
        return p;
    const QRectF r = In.Bar.normalized();
    bool fits;
    if (!In.Horizontal) {
        const double half = (In.VerticalLabel ? In.Width : In.Height) / 2;
        fits = p.y() - half >= r.top() && p.y() + half <= r.bottom();
    } else {
        const double half = (In.VerticalLabel ? In.Height : In.Width) / 2;
        fits = p.x() - half >= r.left() && p.x() + half <= r.right();
    }
    if (fits)
        return p;
    return PlainAnchor(In, In.StackedBelow ? TVxBarLabelPosition::Centered
                                           : TVxBarLabelPosition::OnTopOfBar);
}

double BarEndRoom3D(const TVxBarEndRoomInput& In) {
    const double r = In.UnitsPerPixel;
    if (!(r > 0) || !std::isfinite(In.ClassWidth))
        return 0;
    double e = -In.RoomLeft;
    if (In.CountGap)
        e -= 0.005 * In.ClassWidth * In.ClassesDistance / r;
    // The depth grows with the inner class width (the class less its gap), in pixels.
    e += In.Factor * In.ClassWidth * (1 - 0.01 * In.ClassesDistance) * In.Depth3D / r;
    return e;
}

double BarEndRoomLabel(double LabelSize, double ClassWidth, double UnitsPerPixel, double Ratio) {
    if (!(UnitsPerPixel > 0))
        return 0;
    return 0.013 * LabelSize * ClassWidth / UnitsPerPixel * Ratio;
}

QString BarNumberText(const QString& Pattern, double Value, const TVxFormatSettings& Settings) {
    if (Pattern.isEmpty())
        return FloatToGeneralText(Value, 15, Settings.DecimalSeparator);
    return FormatFloat(Pattern, Value, Settings);
}

QString BarPercentText(const QString& Pattern, double Value, double Sum,
                       const TVxFormatSettings& Settings) {
    if (Sum == 0 || !std::isfinite(Sum) || !std::isfinite(Value))
        return {};
    const double p = Value * 100 / Sum;
    if (Pattern.isEmpty())
        return FormatFloat(u"##0.##%", p, Settings);
    if (Pattern.contains(u'%'))
        return FormatFloat(Pattern, p, Settings);
    return FormatFloat(Pattern + u'%', p, Settings);
}
