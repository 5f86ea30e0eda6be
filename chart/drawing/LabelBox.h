#pragma once
// The label box behind legend and marker captions: a rounded rectangle with an optional
// frame, bevel and drop shadow.

#include "drawing/Surface.h"

/// The look of a label box.
struct TVxLabelBoxStyle {
    /// Bevel that makes the box look pressed in.
    bool Lowered = false;
    /// Bevel that makes the box stand out.
    bool Raised = false;
    /// Soft shadow to the lower right.
    bool DropShadow = false;
    /// The frame line is drawn (and then there is no bevel).
    bool Frame = false;
    /// Size of a corner arc's bounding square; 0 for square corners.
    double Rounding = 0;
};

/// Width of each bevel band.
inline constexpr double BevelWidth = 1.5;

/// The rounded-rectangle path of Rect: four 90-degree arcs of R x R (R limited to the smaller
/// of width and height), or the plain rectangle when R is not above 0.
TVxPath RoundedRectPath(const QRectF& Rect, double R);
/// The top-left (TopLeft true) or bottom-right bevel band of Rect with corner rounding R.
TVxPath BevelBand(const QRectF& Rect, double R, bool TopLeft);
/// Draws the label box: shadow, fill with Brush, frame with Pen, bevel.
void DrawLabelBox(TVxSurface& Surface, const TVxBrush& Brush, const TVxPen& Pen,
                  const TVxLabelBoxStyle& Style, const QRectF& Rect);
