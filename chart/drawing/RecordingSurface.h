#pragma once
// A drawing surface that paints nothing and records every call with its arguments and the
// clip, transform and smoothing in force, so that tests can check drawing order and geometry.

#include "drawing/Surface.h"

#include <optional>
#include <vector>

/// The operation a record stands for (one per surface call).
enum class TVxDrawOp {
    DrawLine,             ///< Points: the two ends
    DrawLines,            ///< Points
    DrawRectangle,        ///< Rect
    DrawEllipse,          ///< Rect
    DrawArc,              ///< Rect, StartAngle, SweepAngle
    DrawPolygon,          ///< Points
    DrawPath,             ///< Path
    FillRectangle,        ///< Rect
    FillEllipse,          ///< Rect
    FillPolygon,          ///< Points, FillMode
    FillPath,             ///< Path
    DrawString,           ///< Text, Font, Rect (the layout), Format
    DrawImage,            ///< Rect (target; natural size at a position), ImageSize
    Clear,                ///< Color
    SetClip,              ///< Region, CombineMode (Clip holds the result)
    ResetClip,            ///< nothing
    SetTransform,         ///< Transform holds the new transform
    SetSmoothingMode,     ///< Smoothing holds the new mode
    SetTextRenderingHint, ///< TextHint holds the new hint
    BeginShapeExclusion,  ///< Path: the shapes
    EndShapeExclusion,    ///< nothing
};

/// One recorded surface call.
struct TVxDrawRecord {
    /// The operation.
    TVxDrawOp Op;
    /// Points of lines and polygons.
    std::vector<QPointF> Points;
    /// Rectangle of rectangles, ellipses, arcs, layouts and image targets.
    QRectF Rect;
    /// Arc start angle.
    double StartAngle = 0;
    /// Arc sweep angle.
    double SweepAngle = 0;
    /// Path of path operations and shape exclusions.
    TVxPath Path;
    /// Pen of stroke operations.
    std::optional<TVxPen> Pen;
    /// Brush of fill and text operations.
    std::optional<TVxBrush> Brush;
    /// Fill rule of FillPolygon.
    TFillMode FillMode = TFillMode::FillModeAlternate;
    /// Text of DrawString.
    QString Text;
    /// Font of DrawString.
    TVxFontSpec Font;
    /// String format of DrawString.
    TVxStringFormat Format;
    /// Size of a drawn image.
    QSize ImageSize;
    /// Colour of Clear.
    TVxColor Color = 0;
    /// Region given to SetClip.
    TVxRegion Region;
    /// Combine mode given to SetClip.
    TCombineMode CombineMode = TCombineMode::CombineModeReplace;
    /// The clip in force after the call (world coordinates).
    TVxRegion Clip;
    /// The world transform in force.
    TVxMatrix Transform;
    /// The smoothing mode in force.
    TSmoothingMode Smoothing = TSmoothingMode::SmoothingModeNone;
    /// The text rendering hint in force.
    TVxTextRenderingHint TextHint = TVxTextRenderingHint::SystemDefault;
};

class TVxRecordingSurface : public TVxSurface {
public:
    /// An empty recording with the initial state: no clip, identity transform, no smoothing.
    TVxRecordingSurface() = default;

    void SetSmoothingMode(TSmoothingMode Mode) override;
    TSmoothingMode GetSmoothingMode() const override { return FSmoothing; }
    void SetTextRenderingHint(TVxTextRenderingHint Hint) override;
    TVxTextRenderingHint GetTextRenderingHint() const override { return FTextHint; }

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

    TVxMatrix GetTransform() const override { return FTransform; }
    void SetTransform(const TVxMatrix& Matrix) override;

    void BeginShapeExclusion(const TVxPath& Shapes) override;
    void EndShapeExclusion() override;

    /// Every call so far, in order.
    const std::vector<TVxDrawRecord>& Records() const { return FRecords; }
    /// The records of one operation, in order.
    std::vector<TVxDrawRecord> RecordsOf(TVxDrawOp Op) const;
    /// Forgets the records (the state stays).
    void ClearRecords() { FRecords.clear(); }

private:
    TVxDrawRecord& Add(TVxDrawOp Op);

    std::vector<TVxDrawRecord> FRecords;
    TSmoothingMode FSmoothing = TSmoothingMode::SmoothingModeNone;
    TVxTextRenderingHint FTextHint = TVxTextRenderingHint::SystemDefault;
    TVxMatrix FTransform;
    TVxRegion FClip; // in surface coordinates, after the world transform
    std::optional<TVxRegion> FSavedClip;
};
