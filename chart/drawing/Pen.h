#pragma once
// Pens as value types, with the arrow-head cap of arrows and axis tips.

#include "drawing/Brush.h"
#include "drawing/DrawTypes.h"

#include <optional>
#include <vector>

/// An arrow head drawn as a filled cap at a line end. In cap coordinates (x across the line,
/// y along it, tip at the origin, negative y back along the line, units of the pen width) it is
/// the polygon (PointHeight, -PointLength), (0, 0), (-PointHeight, -PointLength),
/// (0, -InnerLength); the line stops InnerLength before its end point.
struct TVxArrowCap {
    /// Distance from the tip back to the barbs.
    float PointLength = 5;
    /// Distance from the tip back to the notch, where the line ends (the base inset).
    float InnerLength = 3;
    /// Half the width of the head.
    float PointHeight = 2;
    /// Equal caps.
    bool operator==(const TVxArrowCap&) const = default;
};

/// A pen of the drawing surface, copied by value.
struct TVxPen {
    /// Colour of a pen without Brush.
    TVxColor Color = MakeColor(0xFF, 0, 0, 0);
    /// Width in world units; 0 draws the thinnest visible line.
    float Width = 1;
    /// Dash style; patterns are in units of the width.
    TDashStyle DashStyle = TDashStyle::DashStyleSolid;
    /// Dashes and gaps of DashStyleCustom, in units of the width.
    std::vector<float> DashPattern;
    /// Longest miter join as a multiple of the width; values below 1 count as 1.
    float MiterLimit = 10;
    /// Cap at the first point of an open line.
    TLineCap StartCap = TLineCap::LineCapFlat;
    /// Cap at the last point of an open line.
    TLineCap EndCap = TLineCap::LineCapFlat;
    /// Arrow head at the first point of a line, replacing StartCap.
    std::optional<TVxArrowCap> CustomStartCap;
    /// Arrow head at the last point of a line, replacing EndCap.
    std::optional<TVxArrowCap> CustomEndCap;
    /// Paints the stroke in place of Color when set (gradient pens).
    std::optional<TVxBrush> Brush;

    /// A solid pen.
    static TVxPen Solid(TVxColor AColor, float AWidth = 1) {
        TVxPen p;
        p.Color = AColor;
        p.Width = AWidth;
        return p;
    }
    /// A pen that paints with a brush.
    static TVxPen FromBrush(const TVxBrush& ABrush, float AWidth = 1) {
        TVxPen p;
        p.Brush = ABrush;
        p.Color = ABrush.Color;
        p.Width = AWidth;
        return p;
    }
    /// The brush the stroke is painted with.
    TVxBrush StrokeBrush() const { return Brush ? *Brush : TVxBrush::SolidBrush(Color); }
    /// Equal pens.
    bool operator==(const TVxPen&) const = default;
};

/// The dash pattern of Style in units of the pen width (empty for a solid line).
inline std::vector<float> DashPatternOf(const TVxPen& Pen) {
    switch (Pen.DashStyle) {
    case TDashStyle::DashStyleDash:
        return {3, 1};
    case TDashStyle::DashStyleDot:
        return {1, 1};
    case TDashStyle::DashStyleDashDot:
        return {3, 1, 1, 1};
    case TDashStyle::DashStyleDashDotDot:
        return {3, 1, 1, 1, 1, 1};
    case TDashStyle::DashStyleCustom:
        return Pen.DashPattern;
    case TDashStyle::DashStyleSolid:
        break;
    }
    return {};
}
