#pragma once
// A drawing surface for measuring text outside a paint: it draws nothing and measures with the
// 96-dpi measuring device, as the recording surface does, so that a caption measured here lays
// out exactly as it is later drawn on the screen, into an image or a vector target.
//
// Layouts measure the same few texts again and again (the number labels of an axis, "II" and
// "." of every run width), so results are remembered process-wide per text, font, layout and
// format. UI thread only, like all text measuring.

#include "drawing/Surface.h"

class TVxMeasuringSurface : public TVxSurface {
public:
    /// A surface with the initial state: no clip, identity transform, no smoothing.
    TVxMeasuringSurface() = default;

    void SetSmoothingMode(TSmoothingMode Mode) override { FSmoothing = Mode; }
    TSmoothingMode GetSmoothingMode() const override { return FSmoothing; }
    void SetTextRenderingHint(TVxTextRenderingHint Hint) override { FTextHint = Hint; }
    TVxTextRenderingHint GetTextRenderingHint() const override { return FTextHint; }

    void DrawLine(const TVxPen&, QPointF, QPointF) override {}
    void DrawLines(const TVxPen&, std::span<const QPointF>) override {}
    void DrawRectangle(const TVxPen&, const QRectF&) override {}
    void DrawEllipse(const TVxPen&, const QRectF&) override {}
    void DrawArc(const TVxPen&, const QRectF&, double, double) override {}
    void DrawPolygon(const TVxPen&, std::span<const QPointF>) override {}
    void DrawPath(const TVxPen&, const TVxPath&) override {}
    void FillRectangle(const TVxBrush&, const QRectF&) override {}
    void FillEllipse(const TVxBrush&, const QRectF&) override {}
    void FillPolygon(const TVxBrush&, std::span<const QPointF>, TFillMode) override {}
    void FillPath(const TVxBrush&, const TVxPath&) override {}
    void DrawString(const QString&, const TVxFontSpec&, const TVxBrush&, const QRectF&,
                    const TVxStringFormat&) override {}
    /// The box Text takes at 96 dpi (remembered).
    QRectF MeasureString(const QString& Text, const TVxFontSpec& Font, const QRectF& Layout,
                         const TVxStringFormat& Format) const override;
    /// The line spacing of Font at 96 dpi (remembered).
    double GetFontHeight(const TVxFontSpec& Font) const override;
    void DrawImage(const QImage&, QPointF) override {}
    void DrawImage(const QImage&, const QRectF&) override {}
    void Clear(TVxColor) override {}

    void SetClip(const TVxRegion&, TCombineMode) override {}
    using TVxSurface::SetClip;
    TVxRegion GetClip() const override { return {}; }
    void ResetClip() override {}
    TVxMatrix GetTransform() const override { return FTransform; }
    void SetTransform(const TVxMatrix& Matrix) override { FTransform = Matrix; }
    void BeginShapeExclusion(const TVxPath&) override {}
    void EndShapeExclusion() override {}

private:
    TSmoothingMode FSmoothing = TSmoothingMode::SmoothingModeNone;
    TVxTextRenderingHint FTextHint = TVxTextRenderingHint::SystemDefault;
    TVxMatrix FTransform;
};
