#pragma once
// The drawing surface: every drawing operation of the chart library goes through this
// interface. TVxQtSurface paints with QPainter on any paint device; TVxRecordingSurface logs
// the calls for tests.
//
// Coordinates are world units (pixels at 96 dpi before the world transform), y downwards.
// Pixel centres lie on integer coordinates: a 1-unit line at y = 10 covers pixel row 10.
// Angles are degrees clockwise from the x axis.

#include "drawing/Brush.h"
#include "drawing/Font.h"
#include "drawing/Path.h"
#include "drawing/Pen.h"
#include "drawing/Region.h"

#include <QImage>
#include <QLineF>
#include <QString>
#include <span>

class TVxSurface {
public:
    virtual ~TVxSurface() = default;

    /// Sets the anti-aliasing of geometry.
    virtual void SetSmoothingMode(TSmoothingMode Mode) = 0;
    /// The anti-aliasing of geometry.
    virtual TSmoothingMode GetSmoothingMode() const = 0;
    /// Sets the anti-aliasing of text.
    virtual void SetTextRenderingHint(TVxTextRenderingHint Hint) = 0;
    /// The anti-aliasing of text.
    virtual TVxTextRenderingHint GetTextRenderingHint() const = 0;

    /// Strokes the line from A to B.
    virtual void DrawLine(const TVxPen& Pen, QPointF A, QPointF B) = 0;
    /// Strokes the connected lines through Points.
    virtual void DrawLines(const TVxPen& Pen, std::span<const QPointF> Points) = 0;
    /// Strokes each of the separate Lines with Pen: one DrawLine per line, in one call that a
    /// surface may batch (overlaps of one call may then blend once, not once per line).
    virtual void DrawLineList(const TVxPen& Pen, std::span<const QLineF> Lines) {
        for (const QLineF& line : Lines)
            DrawLine(Pen, line.p1(), line.p2());
    }
    /// Strokes the outline of Rect.
    virtual void DrawRectangle(const TVxPen& Pen, const QRectF& Rect) = 0;
    /// Strokes the ellipse in Rect.
    virtual void DrawEllipse(const TVxPen& Pen, const QRectF& Rect) = 0;
    /// Strokes an arc of the ellipse in Rect.
    virtual void DrawArc(const TVxPen& Pen, const QRectF& Rect, double StartAngle,
                         double SweepAngle) = 0;
    /// Strokes the closed polygon through Points.
    virtual void DrawPolygon(const TVxPen& Pen, std::span<const QPointF> Points) = 0;
    /// Strokes every figure of Path.
    virtual void DrawPath(const TVxPen& Pen, const TVxPath& Path) = 0;

    /// Fills Rect.
    virtual void FillRectangle(const TVxBrush& Brush, const QRectF& Rect) = 0;
    /// Fills the ellipse in Rect.
    virtual void FillEllipse(const TVxBrush& Brush, const QRectF& Rect) = 0;
    /// Fills the polygon through Points by the fill rule.
    virtual void FillPolygon(const TVxBrush& Brush, std::span<const QPointF> Points,
                             TFillMode FillMode = TFillMode::FillModeAlternate) = 0;
    /// Fills Path by its fill rule.
    virtual void FillPath(const TVxBrush& Brush, const TVxPath& Path) = 0;

    /// Draws Text in Layout (a zero width or height means no limit in that direction); the
    /// first line's top lies at the layout's top for near line alignment.
    virtual void DrawString(const QString& Text, const TVxFontSpec& Font, const TVxBrush& Brush,
                            const QRectF& Layout, const TVxStringFormat& Format) = 0;
    /// The box Text takes when drawn in Layout.
    virtual QRectF MeasureString(const QString& Text, const TVxFontSpec& Font, const QRectF& Layout,
                                 const TVxStringFormat& Format) const = 0;
    /// The line spacing of Font on this surface.
    virtual double GetFontHeight(const TVxFontSpec& Font) const = 0;

    /// Draws Image at its natural size with its top left pixel at Position.
    virtual void DrawImage(const QImage& Image, QPointF Position) = 0;
    /// Draws Image scaled into Target.
    virtual void DrawImage(const QImage& Image, const QRectF& Target) = 0;
    /// Fills the whole target (inside the clip) with Color, replacing what was there.
    virtual void Clear(TVxColor Color) = 0;

    /// Combines the clip with Region (world coordinates).
    virtual void SetClip(const TVxRegion& Region,
                         TCombineMode Mode = TCombineMode::CombineModeReplace) = 0;
    /// The clip in world coordinates.
    virtual TVxRegion GetClip() const = 0;
    /// Removes all clipping.
    virtual void ResetClip() = 0;
    /// Combines the clip with Rect.
    void SetClip(const QRectF& Rect, TCombineMode Mode = TCombineMode::CombineModeReplace) {
        SetClip(TVxRegion::FromRect(Rect), Mode);
    }
    /// Combines the clip with the inside of Path.
    void SetClip(const TVxPath& Path, TCombineMode Mode = TCombineMode::CombineModeReplace) {
        SetClip(TVxRegion::FromPath(Path), Mode);
    }
    /// Removes Rect from the clip.
    void ExcludeClip(const QRectF& Rect) { SetClip(Rect, TCombineMode::CombineModeExclude); }
    /// Removes Region from the clip.
    void ExcludeClip(const TVxRegion& Region) { SetClip(Region, TCombineMode::CombineModeExclude); }

    /// The world transform.
    virtual TVxMatrix GetTransform() const = 0;
    /// Sets the world transform.
    virtual void SetTransform(const TVxMatrix& Matrix) = 0;
    /// Prepends a translation to the world transform.
    void TranslateTransform(double Dx, double Dy) {
        SetTransform(QTransform::fromTranslate(Dx, Dy) * GetTransform());
    }

    /// Until EndShapeExclusion, keeps all drawing out of the inside of Shapes (the union of its
    /// figures, each filled by its own outline). The clip in force at the start is restored at
    /// the end. Exclusions do not nest.
    virtual void BeginShapeExclusion(const TVxPath& Shapes) = 0;
    /// Ends the exclusion begun by BeginShapeExclusion.
    virtual void EndShapeExclusion() = 0;

    /// True where stamping cached images gives the same pixels as drawing shapes one by one
    /// (raster targets with a translation-only transform).
    virtual bool PrefersSprites() const { return false; }
};
