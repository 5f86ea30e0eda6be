#pragma once
// The drawing surface on a QPainter: a widget, QImage, QPixmap, QPdfWriter, QSvgGenerator,
// QPicture or QPrinter.
//
// On raster devices geometry is shifted by half a pixel so that pixel centres lie on integer
// world coordinates. Devices that ignore clipping (SVG) get geometry clipped beforehand; text
// that crosses a clip edge there becomes outlines. Shape exclusion draws into an offscreen layer on
// raster devices and clips with one path on vector devices.

#include "drawing/PixelWriter.h"
#include "drawing/Surface.h"

#include <QPainter>
#include <memory>
#include <optional>

class TVxQtSurface : public TVxSurface {
public:
    /// A surface on Painter, which must be active and outlive the surface. The painter's
    /// transform and clip at this moment become the base under the surface's own; they are
    /// restored when the surface is destroyed.
    explicit TVxQtSurface(QPainter& Painter);
    ~TVxQtSurface() override;

    TVxQtSurface(const TVxQtSurface&) = delete;
    TVxQtSurface& operator=(const TVxQtSurface&) = delete;

    void SetSmoothingMode(TSmoothingMode Mode) override;
    TSmoothingMode GetSmoothingMode() const override { return FSmoothing; }
    void SetTextRenderingHint(TVxTextRenderingHint Hint) override { FTextHint = Hint; }
    TVxTextRenderingHint GetTextRenderingHint() const override { return FTextHint; }

    void DrawLine(const TVxPen& Pen, QPointF A, QPointF B) override;
    void DrawLines(const TVxPen& Pen, std::span<const QPointF> Points) override;
    void DrawLineList(const TVxPen& Pen, std::span<const QLineF> Lines) override;
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
                         const TVxStringFormat& Format) const override;
    double GetFontHeight(const TVxFontSpec& Font) const override;

    void DrawImage(const QImage& Image, QPointF Position) override;
    void DrawImage(const QImage& Image, const QRectF& Target) override;
    void Clear(TVxColor Color) override;

    void SetClip(const TVxRegion& Region,
                 TCombineMode Mode = TCombineMode::CombineModeReplace) override;
    using TVxSurface::SetClip;
    TVxRegion GetClip() const override;
    void ResetClip() override;

    TVxMatrix GetTransform() const override { return FUser; }
    void SetTransform(const TVxMatrix& Matrix) override;

    void BeginShapeExclusion(const TVxPath& Shapes) override;
    void EndShapeExclusion() override;

    bool PrefersSprites() const override;

    /// True when the device is a pixel raster (image, pixmap, widget).
    bool IsRaster() const { return FRaster; }
    /// Whether aliased, opaque, axis-parallel rectangles and one-pixel lines on whole
    /// coordinates, and unscaled images, go straight into the pixels of an image target (the
    /// same pixels as through the painter; on by default).
    void SetDirectPixels(bool On) {
        FDirectPixels = On;
        FWriterStale = true;
    }

private:
    /// What a transform is applied for: each kind puts pixel centres where it needs them.
    enum class TPlacement { Stroke, Fill, Image };
    void ApplyTransform(QPainter& Painter, TPlacement Placement) const;
    void ApplyClip(QPainter& Painter) const;
    void StrokePolyline(const TVxPen& Pen, std::span<const QPointF> Points);
    void Stroke(const TVxPen& Pen, const QPainterPath& Path);
    void Fill(const TVxBrush& Brush, const QPainterPath& Path);
    bool SoftClip() const;
    void FillClipped(const QBrush& Brush, const QPainterPath& Area);
    QPainter& Active() { return FLayerPainter ? *FLayerPainter : FTarget; }
    /// The writer straight into the pixels of the active image, or null where the painter must
    /// draw (anti-aliasing, other devices, transforms or clips).
    TVxPixelWriter* Writer();
    /// The writer for shapes: only without anti-aliasing.
    TVxPixelWriter* ShapeWriter() {
        return FSmoothing == TSmoothingMode::SmoothingModeAntiAlias ||
                       FSmoothing == TSmoothingMode::SmoothingModeHighQuality
                   ? nullptr
                   : Writer();
    }
    TVxPixelWriter* MakeWriter();

    QPainter& FTarget;
    QTransform FBase;
    bool FBaseClipping;
    QPainterPath FBaseClip;
    QTransform FUser;
    QTransform FOffset;       // strokes and anti-aliased fills
    QTransform FSampleOffset; // aliased fills and clips
    bool FRaster;
    bool FSoftClip; // the device ignores clipping (SVG): geometry is clipped before drawing
    TSmoothingMode FSmoothing = TSmoothingMode::SmoothingModeNone;
    TVxTextRenderingHint FTextHint = TVxTextRenderingHint::SystemDefault;
    TVxRegion FClip; // in surface coordinates: after the world transform, before the base
    // Shape exclusion.
    bool FExcluding = false;
    TVxRegion FSavedClip;
    TVxPath FExcludedShapes;
    std::unique_ptr<QImage> FLayer;
    std::unique_ptr<QPainter> FLayerPainter;
    // Direct pixels: the writer for the current transform, clip, smoothing and device.
    bool FDirectPixels = true;
    bool FWriterStale = true;
    std::optional<TVxPixelWriter> FWriter;
    QImage* FWriterImage = nullptr;
};
