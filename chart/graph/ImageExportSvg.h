#pragma once
// The surface an SVG export draws on. The SVG generator keeps solid colours, linear
// gradients and images, but drops texture brushes (hatches) and brush transforms (the
// place and shape of radial and elliptical gradients, and of any gradient drawn under a
// clip, which it ignores). Such fills are drawn here into an image, clipped, and placed
// into the SVG; everything else goes to the QPainter surface unchanged.

#include "drawing/QtSurface.h"

#include <QRectF>
#include <functional>

class TVxSvgExportSurface : public TVxSurface {
public:
    /// Draws on Painter (an SVG generator's); Area is what the image shows, in surface pixels.
    TVxSvgExportSurface(QPainter& Painter, const QRectF& Area);

    void SetSmoothingMode(TSmoothingMode Mode) override { FInner.SetSmoothingMode(Mode); }
    TSmoothingMode GetSmoothingMode() const override { return FInner.GetSmoothingMode(); }
    void SetTextRenderingHint(TVxTextRenderingHint Hint) override {
        FInner.SetTextRenderingHint(Hint);
    }
    TVxTextRenderingHint GetTextRenderingHint() const override {
        return FInner.GetTextRenderingHint();
    }

    void DrawLine(const TVxPen& Pen, QPointF A, QPointF B) override;
    void DrawLines(const TVxPen& Pen, std::span<const QPointF> Points) override;
    void DrawRectangle(const TVxPen& Pen, const QRectF& Rect) override;
    void DrawEllipse(const TVxPen& Pen, const QRectF& Rect) override;
    void DrawArc(const TVxPen& Pen, const QRectF& Rect, double StartAngle,
                 double SweepAngle) override;
    void DrawPolygon(const TVxPen& Pen, std::span<const QPointF> Points) override;
    void DrawPath(const TVxPen& Pen, const TVxPath& Path) override;

    void FillRectangle(const TVxBrush& Brush, const QRectF& Rect) override;
    void FillEllipse(const TVxBrush& Brush, const QRectF& Rect) override;
    void FillPolygon(const TVxBrush& Brush, std::span<const QPointF> Points,
                     TFillMode FillMode = TFillMode::FillModeAlternate) override;
    void FillPath(const TVxBrush& Brush, const TVxPath& Path) override;

    void DrawString(const QString& Text, const TVxFontSpec& Font, const TVxBrush& Brush,
                    const QRectF& Layout, const TVxStringFormat& Format) override;
    QRectF MeasureString(const QString& Text, const TVxFontSpec& Font, const QRectF& Layout,
                         const TVxStringFormat& Format) const override {
        return FInner.MeasureString(Text, Font, Layout, Format);
    }
    double GetFontHeight(const TVxFontSpec& Font) const override {
        return FInner.GetFontHeight(Font);
    }

    void DrawImage(const QImage& Image, QPointF Position) override;
    void DrawImage(const QImage& Image, const QRectF& Target) override;
    void Clear(TVxColor Color) override { FInner.Clear(Color); }

    void SetClip(const TVxRegion& Region,
                 TCombineMode Mode = TCombineMode::CombineModeReplace) override {
        FInner.SetClip(Region, Mode);
    }
    using TVxSurface::SetClip;
    TVxRegion GetClip() const override { return FInner.GetClip(); }
    void ResetClip() override { FInner.ResetClip(); }

    TVxMatrix GetTransform() const override { return FInner.GetTransform(); }
    void SetTransform(const TVxMatrix& Matrix) override { FInner.SetTransform(Matrix); }

    void BeginShapeExclusion(const TVxPath& Shapes) override { FInner.BeginShapeExclusion(Shapes); }
    void EndShapeExclusion() override { FInner.EndShapeExclusion(); }

    /// How many fills went into the SVG as images.
    int RasterizedFills() const { return FRasterized; }

private:
    /// The SVG keeps Brush as it is (solid, or a linear gradient without clip or transform).
    bool Keeps(const TVxBrush& Brush) const;
    bool Keeps(const TVxPen& Pen) const { return !Pen.Brush || Keeps(*Pen.Brush); }
    /// Draws what Draw paints within Bounds (world units, Margin around it) into an image
    /// on the same transform and clip, and places the image.
    void Rasterize(const QRectF& Bounds, double Margin,
                   const std::function<void(TVxSurface&)>& Draw);

    TVxQtSurface FInner;
    QRectF FArea;
    int FRasterized = 0;
};
