#pragma once
// Brushes as value types: solid, hatch, linear gradient and path (radial/elliptical) gradient.

#include "drawing/Color.h"

#include <QPointF>
#include <QRectF>
#include <vector>

/// The 53 standard hatch patterns in their standard order (values 0 to 52), one X(Name) a
/// pattern: the one list that TVxHatchStyle and the area styles of the style settings are
/// made from.
#define VX_HATCH_STYLES(X)                                                                         \
    X(Horizontal)             /* horizontal lines */                                               \
    X(Vertical)               /* vertical lines */                                                 \
    X(ForwardDiagonal)        /* lines from upper left to lower right */                           \
    X(BackwardDiagonal)       /* lines from upper right to lower left */                           \
    X(Cross)                  /* horizontal and vertical lines */                                  \
    X(DiagonalCross)          /* both diagonals */                                                 \
    X(Percent05)              /* 5 % of the pixels in the foreground colour */                     \
    X(Percent10)              /* 10 % */                                                           \
    X(Percent20)              /* 20 % */                                                           \
    X(Percent25)              /* 25 % */                                                           \
    X(Percent30)              /* 30 % */                                                           \
    X(Percent40)              /* 40 % */                                                           \
    X(Percent50)              /* 50 % */                                                           \
    X(Percent60)              /* 60 % */                                                           \
    X(Percent70)              /* 70 % */                                                           \
    X(Percent75)              /* 75 % */                                                           \
    X(Percent80)              /* 80 % */                                                           \
    X(Percent90)              /* 90 % */                                                           \
    X(LightDownwardDiagonal)  /* thin lines to the lower right, 4 pixels apart */                  \
    X(LightUpwardDiagonal)    /* thin lines to the upper right, 4 pixels apart */                  \
    X(DarkDownwardDiagonal)   /* 2-pixel lines to the lower right */                               \
    X(DarkUpwardDiagonal)     /* 2-pixel lines to the upper right */                               \
    X(WideDownwardDiagonal)   /* 3-pixel lines to the lower right */                               \
    X(WideUpwardDiagonal)     /* 3-pixel lines to the upper right */                               \
    X(LightVertical)          /* vertical lines 4 pixels apart */                                  \
    X(LightHorizontal)        /* horizontal lines 4 pixels apart */                                \
    X(NarrowVertical)         /* vertical lines 2 pixels apart */                                  \
    X(NarrowHorizontal)       /* horizontal lines 2 pixels apart */                                \
    X(DarkVertical)           /* 2-pixel vertical lines */                                         \
    X(DarkHorizontal)         /* 2-pixel horizontal lines */                                       \
    X(DashedDownwardDiagonal) /* dashed lines to the lower right */                                \
    X(DashedUpwardDiagonal)   /* dashed lines to the upper right */                                \
    X(DashedHorizontal)       /* dashed horizontal lines */                                        \
    X(DashedVertical)         /* dashed vertical lines */                                          \
    X(SmallConfetti)          /* scattered single pixels */                                        \
    X(LargeConfetti)          /* scattered pixel pairs */                                          \
    X(ZigZag)                 /* horizontal zig-zag lines */                                       \
    X(Wave)                   /* horizontal waves */                                               \
    X(DiagonalBrick)          /* bricks in diagonal layers */                                      \
    X(HorizontalBrick)        /* bricks in horizontal layers */                                    \
    X(Weave)                  /* woven material */                                                 \
    X(Plaid)                  /* plaid material */                                                 \
    X(Divot)                  /* divots */                                                         \
    X(DottedGrid)             /* dotted horizontal and vertical lines */                           \
    X(DottedDiamond)          /* dotted diagonal lines */                                          \
    X(Shingle)                /* diagonal shingles */                                              \
    X(Trellis)                /* trellis */                                                        \
    X(Sphere)                 /* spheres */                                                        \
    X(SmallGrid)              /* grid of 4-pixel cells */                                          \
    X(SmallCheckerBoard)      /* checker board of 2-pixel squares */                               \
    X(LargeCheckerBoard)      /* checker board of 4-pixel squares */                               \
    X(OutlinedDiamond)        /* outlined diamonds */                                              \
    X(SolidDiamond)           /* filled diamonds */

/// Expands one entry of VX_HATCH_STYLES to an enumerator.
#define VX_HATCH_STYLE_ENUMERATOR(Name) Name,

/// The 53 standard hatch patterns, in their standard order (values 0 to 52).
enum class TVxHatchStyle { VX_HATCH_STYLES(VX_HATCH_STYLE_ENUMERATOR) };

/// Number of hatch patterns.
#define VX_HATCH_STYLE_ONE(Name) +1
inline constexpr int HatchStyleCount = 0 VX_HATCH_STYLES(VX_HATCH_STYLE_ONE);
#undef VX_HATCH_STYLE_ONE

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
