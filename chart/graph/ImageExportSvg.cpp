#include "graph/ImageExportSvg.h"

#include <QPainter>
#include <cmath>

namespace {

QRectF PointsBounds(std::span<const QPointF> Points) {
    if (Points.empty())
        return {};
    double l = Points[0].x(), r = l, t = Points[0].y(), b = t;
    for (const QPointF& p : Points) {
        l = std::min(l, p.x());
        r = std::max(r, p.x());
        t = std::min(t, p.y());
        b = std::max(b, p.y());
    }
    return QRectF(l, t, r - l, b - t);
}

double StrokeMargin(const TVxPen& Pen) {
    // Miter joins and arrow heads reach beyond half the width.
    return std::max<double>(Pen.Width, 1) * 4 + 2;
}

} // namespace

TVxSvgExportSurface::TVxSvgExportSurface(QPainter& Painter, const QRectF& Area)
    : FInner(Painter), FArea(Area) {}

bool TVxSvgExportSurface::Keeps(const TVxBrush& Brush) const {
    switch (Brush.Kind) {
    case TVxBrushKind::Solid:
        return true;
    case TVxBrushKind::LinearGradient:
        // Under a clip the gradient is drawn with a brush transform, which the SVG drops.
        return FInner.GetClip().IsInfinite() || FInner.GetTransform().isIdentity();
    case TVxBrushKind::Hatch:
    case TVxBrushKind::PathGradient:
        return false;
    }
    return false;
}

void TVxSvgExportSurface::Rasterize(const QRectF& Bounds, double Margin,
                                    const std::function<void(TVxSurface&)>& Draw) {
    const TVxMatrix user = FInner.GetTransform();
    const TVxRegion clip = FInner.GetClip();
    QRectF area = user.mapRect(Bounds).adjusted(-Margin, -Margin, Margin, Margin) & FArea;
    if (!clip.IsInfinite())
        area &= user.mapRect(clip.Bounds()).adjusted(-1, -1, 1, 1);
    if (area.isEmpty())
        return;
    // Whole pixels, on the 8-pixel grid of the hatch patterns.
    const int left = int(std::floor(area.left() / 8)) * 8;
    const int top = int(std::floor(area.top() / 8)) * 8;
    const int right = int(std::ceil(area.right()));
    const int bottom = int(std::ceil(area.bottom()));
    QImage image(right - left, bottom - top, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(-left, -top);
        TVxQtSurface raster(painter);
        raster.SetSmoothingMode(FInner.GetSmoothingMode());
        raster.SetTextRenderingHint(FInner.GetTextRenderingHint());
        raster.SetTransform(user);
        if (!clip.IsInfinite())
            raster.SetClip(clip);
        Draw(raster);
    }
    // The image holds the clipped pixels: place it without clip or transform.
    FInner.ResetClip();
    FInner.SetTransform(TVxMatrix());
    FInner.DrawImage(image, QPointF(left, top));
    FInner.SetTransform(user);
    if (!clip.IsInfinite())
        FInner.SetClip(clip);
    ++FRasterized;
}

void TVxSvgExportSurface::DrawLine(const TVxPen& Pen, QPointF A, QPointF B) {
    if (Keeps(Pen))
        return FInner.DrawLine(Pen, A, B);
    const QPointF points[] = {A, B};
    Rasterize(PointsBounds(points), StrokeMargin(Pen),
              [&](TVxSurface& Gr) { Gr.DrawLine(Pen, A, B); });
}

void TVxSvgExportSurface::DrawLines(const TVxPen& Pen, std::span<const QPointF> Points) {
    if (Keeps(Pen))
        return FInner.DrawLines(Pen, Points);
    Rasterize(PointsBounds(Points), StrokeMargin(Pen),
              [&](TVxSurface& Gr) { Gr.DrawLines(Pen, Points); });
}

void TVxSvgExportSurface::DrawRectangle(const TVxPen& Pen, const QRectF& Rect) {
    if (Keeps(Pen))
        return FInner.DrawRectangle(Pen, Rect);
    Rasterize(Rect, StrokeMargin(Pen), [&](TVxSurface& Gr) { Gr.DrawRectangle(Pen, Rect); });
}

void TVxSvgExportSurface::DrawEllipse(const TVxPen& Pen, const QRectF& Rect) {
    if (Keeps(Pen))
        return FInner.DrawEllipse(Pen, Rect);
    Rasterize(Rect, StrokeMargin(Pen), [&](TVxSurface& Gr) { Gr.DrawEllipse(Pen, Rect); });
}

void TVxSvgExportSurface::DrawArc(const TVxPen& Pen, const QRectF& Rect, double StartAngle,
                                  double SweepAngle) {
    if (Keeps(Pen))
        return FInner.DrawArc(Pen, Rect, StartAngle, SweepAngle);
    Rasterize(Rect, StrokeMargin(Pen),
              [&](TVxSurface& Gr) { Gr.DrawArc(Pen, Rect, StartAngle, SweepAngle); });
}

void TVxSvgExportSurface::DrawPolygon(const TVxPen& Pen, std::span<const QPointF> Points) {
    if (Keeps(Pen))
        return FInner.DrawPolygon(Pen, Points);
    Rasterize(PointsBounds(Points), StrokeMargin(Pen),
              [&](TVxSurface& Gr) { Gr.DrawPolygon(Pen, Points); });
}

void TVxSvgExportSurface::DrawPath(const TVxPen& Pen, const TVxPath& Path) {
    if (Keeps(Pen))
        return FInner.DrawPath(Pen, Path);
    Rasterize(Path.Bounds(), StrokeMargin(Pen), [&](TVxSurface& Gr) { Gr.DrawPath(Pen, Path); });
}

void TVxSvgExportSurface::FillRectangle(const TVxBrush& Brush, const QRectF& Rect) {
    if (Keeps(Brush))
        return FInner.FillRectangle(Brush, Rect);
    Rasterize(Rect, 1, [&](TVxSurface& Gr) { Gr.FillRectangle(Brush, Rect); });
}

void TVxSvgExportSurface::FillEllipse(const TVxBrush& Brush, const QRectF& Rect) {
    if (Keeps(Brush))
        return FInner.FillEllipse(Brush, Rect);
    Rasterize(Rect, 1, [&](TVxSurface& Gr) { Gr.FillEllipse(Brush, Rect); });
}

void TVxSvgExportSurface::FillPolygon(const TVxBrush& Brush, std::span<const QPointF> Points,
                                      TFillMode FillMode) {
    if (Keeps(Brush))
        return FInner.FillPolygon(Brush, Points, FillMode);
    Rasterize(PointsBounds(Points), 1,
              [&](TVxSurface& Gr) { Gr.FillPolygon(Brush, Points, FillMode); });
}

void TVxSvgExportSurface::FillPath(const TVxBrush& Brush, const TVxPath& Path) {
    if (Keeps(Brush))
        return FInner.FillPath(Brush, Path);
    Rasterize(Path.Bounds(), 1, [&](TVxSurface& Gr) { Gr.FillPath(Brush, Path); });
}

void TVxSvgExportSurface::DrawString(const QString& Text, const TVxFontSpec& Font,
                                     const TVxBrush& Brush, const QRectF& Layout,
                                     const TVxStringFormat& Format) {
    if (Keeps(Brush))
        return FInner.DrawString(Text, Font, Brush, Layout, Format);
    Rasterize(FInner.MeasureString(Text, Font, Layout, Format), 2,
              [&](TVxSurface& Gr) { Gr.DrawString(Text, Font, Brush, Layout, Format); });
}

void TVxSvgExportSurface::DrawImage(const QImage& Image, QPointF Position) {
    DrawImage(Image, QRectF(Position, QSizeF(Image.size())));
}

void TVxSvgExportSurface::DrawImage(const QImage& Image, const QRectF& Target) {
    const TVxRegion clip = FInner.GetClip();
    // A clipped image would be drawn with a texture brush, which the SVG drops.
    if (clip.IsInfinite() || clip.ToQtPath().contains(Target))
        return FInner.DrawImage(Image, Target);
    Rasterize(Target, 1, [&](TVxSurface& Gr) { Gr.DrawImage(Image, Target); });
}
