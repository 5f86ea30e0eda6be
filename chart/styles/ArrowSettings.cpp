#include "styles/ArrowSettings.h"

#include <algorithm>

namespace {

// NaN stays NaN here and is then refused by the comparison of the setter.
float FloorLength(float Value) {
    return Value < MinArrowLength ? MinArrowLength : Value;
}

} // namespace

TVxArrowSettings::TVxArrowSettings(ModifiedCallback WhenModified, QObject* AOwner)
    : TVxLineSettings(std::move(WhenModified), AOwner) {}

// The given value, not the floored one, is compared with the stored length.
void TVxArrowSettings::SetPointLength(float Value) {
    ChangeFloat(FPointLength, Value, FloorLength(Value), "Arrow tip point length", "PointLength");
}

void TVxArrowSettings::SetInnerLength(float Value) {
    ChangeFloat(FInnerLength, Value, FloorLength(Value), "Arrow tip point inner length",
                "InnerLength");
}

void TVxArrowSettings::SetPointHeight(float Value) {
    ChangeFloat(FPointHeight, Value, FloorLength(Value), "Arrow tip point height", "PointHeight");
}

void TVxArrowSettings::Assign(const QObject* Source) {
    if (const auto* arrow = qobject_cast<const TVxArrowSettings*>(Source)) {
        SetPointLength(arrow->PointLength());
        SetInnerLength(arrow->InnerLength());
        SetPointHeight(arrow->PointHeight());
    }
    TVxLineSettings::Assign(Source);
}

TVxPen TVxArrowSettings::GetPen(const QRectF& View, double Angle) const {
    TVxPen pen = TVxLineSettings::GetPen(View, Angle);
    pen.CustomEndCap = Cap();
    return pen;
}

TVxAxisArrowPoint::TVxAxisArrowPoint(ModifiedCallback WhenModified, QObject* AOwner)
    : TVxStyleSettings(std::move(WhenModified), AOwner) {}

void TVxAxisArrowPoint::SetVisible(bool Value) {
    Change(FVisible, Value, "Axis arrow visible", "Visible");
}

void TVxAxisArrowPoint::SetPointLength(float Value) {
    ChangeFloat(FPointLength, Value, FloorLength(Value), "Axis arrow tip point length",
                "PointLength");
}

void TVxAxisArrowPoint::SetInnerLength(float Value) {
    ChangeFloat(FInnerLength, Value, FloorLength(Value), "Axis arrow tip point inner length",
                "InnerLength");
}

void TVxAxisArrowPoint::SetPointHeight(float Value) {
    ChangeFloat(FPointHeight, Value, FloorLength(Value), "Axis arrow tip point height",
                "PointHeight");
}

TVxPen TVxAxisArrowPoint::ApplyTo(TVxPen Pen) const {
    if (FVisible)
        Pen.CustomEndCap = Cap();
    return Pen;
}

void TVxAxisArrowPoint::Assign(const QObject* Source) {
    const auto* source = qobject_cast<const TVxAxisArrowPoint*>(Source);
    if (!source)
        RaiseAssignError(Source, this);
    SetVisible(source->Visible());
    SetPointLength(source->PointLength());
    SetInnerLength(source->InnerLength());
    SetPointHeight(source->PointHeight());
}
