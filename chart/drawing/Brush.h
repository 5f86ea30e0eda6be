#pragma once
// Brushes as value types: solid, hatch, linear gradient and path (radial/elliptical) gradient.

#include "drawing/Color.h"

#include <QPointF>
#include <QRectF>
#include <vector>

/// The 53 standard hatch patterns, in their standard order (values 0 to 52).
enum class TVxHatchStyle {
    Horizontal,             ///< horizontal lines
    Vertical,               ///< vertical lines
    ForwardDiagonal,        ///< lines from upper left to lower right
    BackwardDiagonal,       ///< lines from upper right to lower left
    Cross,                  ///< horizontal and vertical lines
    DiagonalCross,          ///< both diagonals
    Percent05,              ///< 5 % of the pixels in the foreground colour
    Percent10,              ///< 10 %
    Percent20,              ///< 20 %
    Percent25,              ///< 25 %
    Percent30,              ///< 30 %
    Percent40,              ///< 40 %
    Percent50,              ///< 50 %
    Percent60,              ///< 60 %
    Percent70,              ///< 70 %
    Percent75,              ///< 75 %
    Percent80,              ///< 80 %
    Percent90,              ///< 90 %
    LightDownwardDiagonal,  ///< thin lines to the lower right, 4 pixels apart
    LightUpwardDiagonal,    ///< thin lines to the upper right, 4 pixels apart
    DarkDownwardDiagonal,   ///< 2-pixel lines to the lower right
    DarkUpwardDiagonal,     ///< 2-pixel lines to the upper right
    WideDownwardDiagonal,   ///< 3-pixel lines to the lower right
    WideUpwardDiagonal,     ///< 3-pixel lines to the upper right
    LightVertical,          ///< vertical lines 4 pixels apart
    LightHorizontal,        ///< horizontal lines 4 pixels apart
    NarrowVertical,         ///< vertical lines 2 pixels apart
    NarrowHorizontal,       ///< horizontal lines 2 pixels apart
    DarkVertical,           ///< 2-pixel vertical lines
    DarkHorizontal,         ///< 2-pixel horizontal lines
    DashedDownwardDiagonal, ///< dashed lines to the lower right
    DashedUpwardDiagonal,   ///< dashed lines to the upper right
    DashedHorizontal,       ///< dashed horizontal lines
    DashedVertical,         ///< dashed vertical lines
    SmallConfetti,          ///< scattered single pixels
    LargeConfetti,          ///< scattered pixel pairs
    ZigZag,                 ///< horizontal zig-zag lines
    Wave,                   ///< horizontal waves
    DiagonalBrick,          ///< bricks in diagonal layers
    HorizontalBrick,        ///< bricks in horizontal layers
    Weave,                  ///< woven material
    Plaid,                  ///< plaid material
    Divot,                  ///< divots
    DottedGrid,             ///< dotted horizontal and vertical lines
    DottedDiamond,          ///< dotted diagonal lines
    Shingle,                ///< diagonal shingles
    Trellis,                ///< trellis
    Sphere,                 ///< spheres
    SmallGrid,              ///< grid of 4-pixel cells
    SmallCheckerBoard,      ///< checker board of 2-pixel squares
    LargeCheckerBoard,      ///< checker board of 4-pixel squares
    OutlinedDiamond,        ///< outlined diamonds
    SolidDiamond,           ///< filled diamonds
};

/// Number of hatch patterns.
inline constexpr int HatchStyleCount = 53;

/// What kind of brush a TVxBrush is.
enum class TVxBrushKind {
    Solid,          ///< one colour
    Hatch,          ///< an 8 x 8 pattern in foreground and background colour
    LinearGradient, ///< colours along a line
    PathGradient,   ///< colours from an ellipse's rim to a centre point
};

/// One colour of a gradient at a position from 0 to 1.
struct TVxGradientStop {
    /// Position: linear gradients 0 at the start, path gradients 0 at the rim and 1 at the centre.
    double Position;
    /// Colour at that position.
    TVxColor Color;
    /// Equal stops.
    bool operator==(const TVxGradientStop&) const = default;
};

/// A brush of the drawing surface, copied by value.
struct TVxBrush {
    /// The brush kind.
    TVxBrushKind Kind = TVxBrushKind::Solid;
    /// Solid colour, or the foreground of a hatch.
    TVxColor Color = MakeColor(0xFF, 0, 0, 0);
    /// Background of a hatch.
    TVxColor BackColor = 0;
    /// Pattern of a hatch.
    TVxHatchStyle Hatch = TVxHatchStyle::Horizontal;
    /// Linear: the rectangle the gradient spans; path: the bounding box of the rim ellipse.
    QRectF Rect;
    /// Linear: direction in degrees, clockwise from the x axis.
    double Angle = 0;
    /// Linear: where position 0 and position 1 lie (derived from Rect and Angle).
    QPointF Start, End;
    /// Path: the point the rim colours run to.
    QPointF Center;
    /// Gradient colours by position, ascending; positions may repeat.
    std::vector<TVxGradientStop> Stops;

    /// A solid brush.
    static TVxBrush SolidBrush(TVxColor AColor) {
        TVxBrush b;
        b.Color = AColor;
        return b;
    }
    /// A hatch brush.
    static TVxBrush HatchBrush(TVxHatchStyle Style, TVxColor Fore, TVxColor Back) {
        TVxBrush b;
        b.Kind = TVxBrushKind::Hatch;
        b.Hatch = Style;
        b.Color = Fore;
        b.BackColor = Back;
        return b;
    }
    /// Equal brushes.
    bool operator==(const TVxBrush&) const = default;
};
