#include "drawing/LabelBox.h"

#include <algorithm>

namespace {

constexpr TVxColor Highlight = MakeColor(210, 255, 255, 255);
constexpr TVxColor Shade = MakeColor(90, 0, 0, 0);
constexpr TVxColor ShadowColor = MakeColor(255 / 5, 0, 0, 0);

double LimitRounding(const QRectF& Rect, double R) {
    return std::min({R, Rect.width(), Rect.height()});
}

void DrawShadow(TVxSurface& Surface, const QRectF& Rect, double R) {
    const TVxPath shape = RoundedRectPath(Rect, R);
    const TVxRegion before = Surface.GetClip();
    Surface.SetClip(shape, TCombineMode::CombineModeExclude);
    const TVxBrush shadow = TVxBrush::SolidBrush(ShadowColor);
    for (int i = 1; i <= 6; ++i) {
        TVxPath moved = shape;
        moved.Transform(QTransform::fromTranslate(i, 0.8 * i));
        Surface.FillPath(shadow, moved);
    }
    Surface.SetClip(before, TCombineMode::CombineModeReplace);
}

void FillBevel(TVxSurface& Surface, const QRectF& Rect, double R, TVxColor TopLeft,
               TVxColor BottomRight) {
    Surface.FillPath(TVxBrush::SolidBrush(TopLeft), BevelBand(Rect, R, true));
    Surface.FillPath(TVxBrush::SolidBrush(BottomRight), BevelBand(Rect, R, false));
}

} // namespace

TVxPath RoundedRectPath(const QRectF& Rect, double R) {
    TVxPath path;
    if (!(R > 0)) {
        path.AddRectangle(Rect);
        return path;
    }
    const double r = std::min({R, Rect.width(), Rect.height()});
    const double x = Rect.x(), y = Rect.y(), w = Rect.width(), h = Rect.height();
    path.AddArc(QRectF(x, y, r, r), 180, 90);
    path.AddArc(QRectF(x + w - r, y, r, r), 270, 90);
    path.AddArc(QRectF(x + w - r, y + h - r, r, r), 0, 90);
    path.AddArc(QRectF(x, y + h - r, r, r), 90, 90);
    path.CloseFigure();
    return path;
}

TVxPath BevelBand(const QRectF& Rect, double R, bool TopLeft) {
    const double x = Rect.x(), y = Rect.y(), w = Rect.width(), h = Rect.height();
    const double b = BevelWidth;
    TVxPath path;
    if (!(R > b)) {
        if (TopLeft) {
            const QPointF points[] = {{x, y},         {x + w, y},         {x + w - b, y + b},
                                      {x + b, y + b}, {x + b, y + h - b}, {x, y + h}};
            path.AddPolygon(points);
        } else {
            const QPointF points[] = {{x + w, y + h},     {x + w, y},
                                      {x + w - b, y + b}, {x + w - b, y + h - b},
                                      {x + b, y + h - b}, {x, y + h}};
            path.AddPolygon(points);
        }
        return path;
    }
    const double r = R;
    const double ri = r - b;
    const double xi = x + b, yi = y + b, wi = w - 2 * b, hi = h - 2 * b;
    const QRectF outerTL(x, y, r, r), outerTR(x + w - r, y, r, r),
        outerBR(x + w - r, y + h - r, r, r), outerBL(x, y + h - r, r, r);
    const QRectF innerTL(xi, yi, ri, ri), innerTR(xi + wi - ri, yi, ri, ri),
        innerBR(xi + wi - ri, yi + hi - ri, ri, ri), innerBL(xi, yi + hi - ri, ri, ri);
    if (TopLeft) {
        path.AddArc(outerBL, 90, 90);
        path.AddArc(outerTL, 180, 90);
        path.AddArc(outerTR, 270, 90);
        path.AddArc(innerTR, 0, -90);
        path.AddArc(innerTL, 270, -90);
        path.AddArc(innerBL, 180, -90);
    } else {
        path.AddArc(outerTR, 270, 90);
        path.AddArc(outerBR, 0, 90);
        path.AddArc(outerBL, 90, 90);
        path.AddArc(innerBL, 180, -90);
        path.AddArc(innerBR, 90, -90);
        path.AddArc(innerTR, 0, -90);
    }
    path.CloseFigure();
    return path;
}

void DrawLabelBox(TVxSurface& Surface, const TVxBrush& Brush, const TVxPen& Pen,
                  const TVxLabelBoxStyle& Style, const QRectF& Rect) {
    const bool lowered = Style.Lowered && !Style.Frame;
    const bool raised = Style.Raised && !Style.Frame;
    if (Style.DropShadow)
        DrawShadow(Surface, Rect, Style.Rounding);
    double r = Style.Rounding;
    if (r > 0) {
        r = LimitRounding(Rect, r);
        const TVxPath box = RoundedRectPath(Rect, r);
        Surface.FillPath(Brush, box);
        if (Style.Frame)
            Surface.DrawPath(Pen, box);
    } else {
        const TSmoothingMode previous = Surface.GetSmoothingMode();
        Surface.SetSmoothingMode(TSmoothingMode::SmoothingModeNone);
        Surface.FillRectangle(Brush, Rect);
        Surface.SetSmoothingMode(previous);
        if (Style.Frame)
            Surface.DrawRectangle(Pen, Rect);
    }
    if (raised)
        FillBevel(Surface, Rect, r, Highlight, Shade);
    if (lowered) {
        const QRectF rect =
            raised ? Rect.adjusted(BevelWidth, BevelWidth, -BevelWidth, -BevelWidth) : Rect;
        FillBevel(Surface, rect, raised ? LimitRounding(rect, r) : r, Shade, Highlight);
    }
}
