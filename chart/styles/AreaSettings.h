#pragma once
// Filled areas: solid, one of the hatch patterns, or a gradient.

#include "drawing/Brush.h"
#include "styles/GradientSettings.h"

/// The fill of an area: the 53 hatch patterns of VX_HATCH_STYLES under their names and with
/// their values (0 to 52, the same as TVxHatchStyle), and Total, the solid fill (53).
enum class TVxAreaStyle {
    VX_HATCH_STYLES(VX_HATCH_STYLE_ENUMERATOR)
    /// solid fill in ForeColor
    Total,
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
