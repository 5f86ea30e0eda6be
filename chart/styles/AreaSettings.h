#pragma once
// Filled areas: solid, one of the hatch patterns, or a gradient.

#include "styles/GradientSettings.h"

/// The fill of an area: the 53 hatch patterns in their standard order (values 0 to 52, the
/// same as TVxHatchStyle) and Total, the solid fill (53).
enum class TVxAreaStyle {
    Horizontal,             ///< horizontal lines
    Vertical,               ///< vertical lines
    ForwardDiagonal,        ///< lines from upper left to lower right
    BackwardDiagonal,       ///< lines from upper right to lower left
    Cross,                  ///< horizontal and vertical lines
    DiagonalCross,          ///< both diagonals
    Percent05,              ///< 5 % foreground
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
    LightDownwardDiagonal,  ///< thin lines to the lower right
    LightUpwardDiagonal,    ///< thin lines to the upper right
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
    Total,                  ///< solid fill in ForeColor
};

class TVxAreaSettings : public TVxStyleSettings {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(int AreaStyle READ AreaStyleOrdinal WRITE SetAreaStyleOrdinal)
    Q_PROPERTY(TVxGradientSettings* Gradient READ Gradient WRITE SetGradient)

public:
    /// Invisible, solid (Total), light grey on dark grey, default gradient.
    explicit TVxAreaSettings(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// The area is filled.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    /// Solid colour, or the foreground of a hatch.
    TVxColor ForeColor() const { return FForeColor; }
    void SetForeColor(TVxColor Value);
    /// Background of a hatch.
    TVxColor BackColor() const { return FBackColor; }
    void SetBackColor(TVxColor Value);
    /// Hatch pattern or Total; values outside the enumeration are ignored.
    TVxAreaStyle AreaStyle() const { return FAreaStyle; }
    void SetAreaStyle(TVxAreaStyle Value);
    /// The owned gradient; it replaces the fill when visible.
    TVxGradientSettings* Gradient() const { return FGradient; }
    /// Copies Value into the owned gradient (nullptr is ignored).
    void SetGradient(TVxGradientSettings* Value);
    /// True when AreaStyle is Total.
    bool Solid() const { return FAreaStyle == TVxAreaStyle::Total; }

    /// Attaches the stack to this object and its gradient.
    void SetUndoStack(TVxUndoStack* Stack) override;
    /// Copies Visible, AreaStyle, ForeColor, BackColor through the setters, then the gradient;
    /// an unrelated class raises EVxConvertError.
    void Assign(const QObject* Source);

    /// The fill for View: the gradient's brush when visible, else solid ForeColor for Total,
    /// else the hatch AreaStyle in ForeColor on BackColor.
    TVxBrush GetBrush(const QRectF& View) const;
    /// GetBrush over an integer rectangle (X, Y, Width, Height).
    TVxBrush GetBrush(const QRect& View) const;

private:
    int AreaStyleOrdinal() const { return int(FAreaStyle); }
    void SetAreaStyleOrdinal(int Value) { SetAreaStyle(TVxAreaStyle(Value)); }

    bool FVisible = false;
    TVxColor FForeColor = VxColor(0xFFD3D3D3);
    TVxColor FBackColor = VxColor(0xFFA9A9A9);
    TVxAreaStyle FAreaStyle = TVxAreaStyle::Total;
    TVxGradientSettings* FGradient;
};
