#pragma once
// The gradient of a background, area, line or text: three colours, linear at an angle or
// radial/elliptical around a centre.

#include "drawing/Brush.h"
#include "styles/StyleSettings.h"

#include <QPointF>
#include <QRect>
#include <QRectF>

/// How a gradient runs (streamed as values 0 to 2).
enum class TVxGradientStyle {
    Linear = 0,     ///< along a line at LinearAngle
    Radial = 1,     ///< in circles around the centre
    Elliptical = 2, ///< in ellipses of the view's proportions around the centre
};

class TVxGradientSettings : public TVxStyleSettings {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(int Style READ StyleOrdinal WRITE SetStyleOrdinal)
    Q_PROPERTY(int FirstColor READ FirstColor WRITE SetFirstColor)
    Q_PROPERTY(int MiddleColor READ MiddleColor WRITE SetMiddleColor)
    Q_PROPERTY(int LastColor READ LastColor WRITE SetLastColor)
    Q_PROPERTY(float LinearAngle READ LinearAngle WRITE SetLinearAngle)
    Q_PROPERTY(float LinearCenter READ LinearCenter WRITE SetLinearCenter)
    Q_PROPERTY(float RadialCenterX READ RadialCenterX WRITE SetRadialCenterX)
    Q_PROPERTY(float RadialCenterY READ RadialCenterY WRITE SetRadialCenterY)

public:
    /// Default gradient: invisible, Linear, angle 0, centres 0.5, light to dark grey.
    explicit TVxGradientSettings(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// The gradient replaces the plain colour.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    /// Linear, radial or elliptical.
    TVxGradientStyle Style() const { return FStyle; }
    void SetStyle(TVxGradientStyle Value);
    /// Colour at the start (linear) or at the rim (radial, elliptical).
    TVxColor FirstColor() const { return FFirstColor; }
    void SetFirstColor(TVxColor Value);
    /// Colour at LinearCenter (linear) or half way to the centre.
    TVxColor MiddleColor() const { return FMiddleColor; }
    void SetMiddleColor(TVxColor Value);
    /// Colour at the end (linear) or at the centre.
    TVxColor LastColor() const { return FLastColor; }
    void SetLastColor(TVxColor Value);
    /// Direction in degrees, kept in [0, 360); infinite and NaN angles are ignored.
    float LinearAngle() const { return FLinearAngle; }
    void SetLinearAngle(float Value);
    /// Position of the middle colour, clamped to [0, 1] (NaN becomes 0).
    float LinearCenter() const { return FLinearCenter; }
    void SetLinearCenter(float Value);
    /// Centre as a fraction of the view width, clamped to [0, 1].
    float RadialCenterX() const { return float(FRadialCenter.x()); }
    void SetRadialCenterX(float Value);
    /// Centre as a fraction of the view height, clamped to [0, 1].
    float RadialCenterY() const { return float(FRadialCenter.y()); }
    void SetRadialCenterY(float Value);

    /// Copies all nine values of Source (a gradient) without undo records, then calls the
    /// change callback once; any other class raises EVxConvertError.
    void Assign(const QObject* Source);

    /// The brush of this gradient over View; Angle is added to LinearAngle.
    TVxBrush GetBrush(const QRectF& View, double Angle = 0) const;
    /// GetBrush over an integer rectangle (X, Y, Width, Height).
    TVxBrush GetBrush(const QRect& View, double Angle = 0) const;

    /// LinearAngle as stored: Value modulo 360 in [0, 360); false for infinities and NaN.
    static bool NormalizeAngle(float Value, float& Result);

private:
    int StyleOrdinal() const { return int(FStyle); }
    void SetStyleOrdinal(int Value);

    bool FVisible = false;
    TVxGradientStyle FStyle = TVxGradientStyle::Linear;
    TVxColor FFirstColor = VxColor(0xFFD3D3D3);
    TVxColor FMiddleColor = VxColor(0xFFB0B0B0);
    TVxColor FLastColor = VxColor(0xFF808080);
    float FLinearAngle = 0;
    float FLinearCenter = 0.5f;
    QPointF FRadialCenter{0.5, 0.5};
};
