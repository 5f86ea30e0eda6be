#include "styles/GradientSettings.h"

#include "drawing/GradientBrushes.h"

#include <cmath>

namespace {

// Fractions below 0 or NaN become 0, above 1 become 1.
float ClampFraction(float Value) {
    if (!(Value > 0))
        return 0;
    return Value > 1 ? 1.0f : Value;
}

} // namespace

TVxGradientSettings::TVxGradientSettings(ModifiedCallback WhenModified, QObject* AOwner)
    : TVxStyleSettings(std::move(WhenModified), AOwner) {}

void TVxGradientSettings::SetVisible(bool Value) {
    Change(FVisible, Value, "Gradient visible", "Visible");
}

void TVxGradientSettings::SetStyle(TVxGradientStyle Value) {
    if (int(Value) < 0 || int(Value) > int(TVxGradientStyle::Elliptical))
        return;
    Change(FStyle, Value, "Gradient style", "Style");
}

void TVxGradientSettings::SetStyleOrdinal(int Value) {
    SetStyle(TVxGradientStyle(Value));
}

void TVxGradientSettings::SetFirstColor(TVxColor Value) {
    Change(FFirstColor, Value, "Gradient first color", "FirstColor");
}

void TVxGradientSettings::SetMiddleColor(TVxColor Value) {
    Change(FMiddleColor, Value, "Gradient middle color", "MiddleColor");
}

void TVxGradientSettings::SetLastColor(TVxColor Value) {
    Change(FLastColor, Value, "Gradient last color", "LastColor");
}

bool TVxGradientSettings::NormalizeAngle(float Value, float& Result) {
    if (!std::isfinite(Value))
        return false;
    // fmod is exact, so huge angles end at once; only adding 360 to a tiny negative
    // remainder can round up to 360, which is the angle 0.
    double angle = std::fmod(double(Value), 360.0);
    if (angle < 0)
        angle += 360.0;
    Result = float(angle);
    if (Result >= 360.0f)
        Result = 0;
    return true;
}

void TVxGradientSettings::SetLinearAngle(float Value) {
    float angle;
    if (!NormalizeAngle(Value, angle))
        return;
    ChangeFloat(FLinearAngle, angle, angle, "Linear gradient angle", "LinearAngle");
}

void TVxGradientSettings::SetLinearCenter(float Value) {
    const float v = ClampFraction(Value);
    ChangeFloat(FLinearCenter, v, v, "Linear gradient center", "LinearCenter");
}

void TVxGradientSettings::SetRadialCenterX(float Value) {
    const float v = ClampFraction(Value);
    const float current = RadialCenterX();
    if (!(v < current || v > current))
        return;
    RecordUndo("X component of gradient center", "RadialCenterX");
    FRadialCenter.setX(v);
    Modified();
}

void TVxGradientSettings::SetRadialCenterY(float Value) {
    const float v = ClampFraction(Value);
    const float current = RadialCenterY();
    if (!(v < current || v > current))
        return;
    RecordUndo("Y component of gradient center", "RadialCenterY");
    FRadialCenter.setY(v);
    Modified();
}

void TVxGradientSettings::Assign(const QObject* Source) {
    const auto* source = qobject_cast<const TVxGradientSettings*>(Source);
    if (!source)
        RaiseAssignError(Source, this);
    FVisible = source->FVisible;
    FStyle = source->FStyle;
    FFirstColor = source->FFirstColor;
    FMiddleColor = source->FMiddleColor;
    FLastColor = source->FLastColor;
    FLinearAngle = source->FLinearAngle;
    FLinearCenter = source->FLinearCenter;
    FRadialCenter = source->FRadialCenter;
    Modified();
}

TVxBrush TVxGradientSettings::GetBrush(const QRectF& View, double Angle) const {
    switch (FStyle) {
    case TVxGradientStyle::Radial:
        return RadialBrush(View, FRadialCenter, FFirstColor, FMiddleColor, FLastColor);
    case TVxGradientStyle::Elliptical:
        return EllipticalBrush(View, FRadialCenter, FFirstColor, FMiddleColor, FLastColor);
    case TVxGradientStyle::Linear:
        break;
    }
    return LinearThreeColorBrush(View, FFirstColor, FMiddleColor, FLastColor, FLinearCenter,
                                 double(FLinearAngle) + Angle);
}

TVxBrush TVxGradientSettings::GetBrush(const QRect& View, double Angle) const {
    return GetBrush(QRectF(View.x(), View.y(), View.width(), View.height()), Angle);
}
