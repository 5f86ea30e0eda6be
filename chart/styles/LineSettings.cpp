#include "styles/LineSettings.h"

TVxSimpleLineSettings::TVxSimpleLineSettings(ModifiedCallback WhenModified, QObject* AOwner)
    : TVxStyleSettings(WhenModified, AOwner),
      FGradient(new TVxGradientSettings(WhenModified, this)) {}

void TVxSimpleLineSettings::SetColor(TVxColor Value) {
    Change(FColor, Value, "Line color", "Color");
}

void TVxSimpleLineSettings::SetDashStyle(TDashStyle Value) {
    if (int(Value) < 0 || int(Value) > int(TDashStyle::DashStyleCustom))
        return;
    Change(FDashStyle, Value, "Line dash style", "DashStyle");
}

void TVxSimpleLineSettings::SetWidth(float Value) {
    ChangeFloat(FWidth, Value, Value, "Line width", "Width");
}

void TVxSimpleLineSettings::SetGradient(TVxGradientSettings* Value) {
    if (Value)
        FGradient->Assign(Value);
}

void TVxSimpleLineSettings::SetUndoStack(TVxUndoStack* Stack) {
    TVxStyleSettings::SetUndoStack(Stack);
    FGradient->SetUndoStack(Stack);
}

void TVxSimpleLineSettings::AssignLine(const TVxSimpleLineSettings& Source) {
    SetDashStyle(Source.DashStyle());
    SetColor(Source.Color());
    SetWidth(Source.Width());
    FGradient->Assign(Source.Gradient());
}

void TVxSimpleLineSettings::Assign(const QObject* Source) {
    const auto* source = qobject_cast<const TVxSimpleLineSettings*>(Source);
    if (!source)
        RaiseAssignError(Source, this);
    AssignLine(*source);
}

TVxPen TVxSimpleLineSettings::GetPen(const QRectF& View, double Angle) const {
    TVxPen pen = FGradient->Visible() ? TVxPen::FromBrush(FGradient->GetBrush(View, Angle))
                                      : TVxPen::Solid(FColor);
    pen.MiterLimit = 0;
    pen.Width = FWidth;
    pen.DashStyle = FDashStyle;
    return pen;
}

TVxPen TVxSimpleLineSettings::GetPen(const QRect& View, double Angle) const {
    return GetPen(QRectF(View.x(), View.y(), View.width(), View.height()), Angle);
}

TVxLineSettings::TVxLineSettings(ModifiedCallback WhenModified, QObject* AOwner)
    : TVxSimpleLineSettings(std::move(WhenModified), AOwner) {}

void TVxLineSettings::SetVisible(bool Value) {
    Change(FVisible, Value, "Line visible", "Visible");
}

void TVxLineSettings::Assign(const QObject* Source) {
    const auto* source = qobject_cast<const TVxSimpleLineSettings*>(Source);
    if (!source)
        RaiseAssignError(Source, this);
    if (const auto* line = qobject_cast<const TVxLineSettings*>(Source))
        SetVisible(line->Visible());
    AssignLine(*source);
}
