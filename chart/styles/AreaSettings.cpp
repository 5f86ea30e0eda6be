#include "styles/AreaSettings.h"

static_assert(int(TVxAreaStyle::SolidDiamond) == int(TVxHatchStyle::SolidDiamond));
static_assert(int(TVxAreaStyle::Total) == HatchStyleCount);

TVxAreaSettings::TVxAreaSettings(ModifiedCallback WhenModified, QObject* AOwner)
    : TVxStyleSettings(WhenModified, AOwner),
      FGradient(new TVxGradientSettings(WhenModified, this)) {}

void TVxAreaSettings::SetVisible(bool Value) {
    Change(FVisible, Value, "Filled area visible", "Visible");
}

void TVxAreaSettings::SetForeColor(TVxColor Value) {
    Change(FForeColor, Value, "Area fill foreground color", "ForeColor");
}

void TVxAreaSettings::SetBackColor(TVxColor Value) {
    Change(FBackColor, Value, "Area fill background color", "BackColor");
}

void TVxAreaSettings::SetAreaStyle(TVxAreaStyle Value) {
    if (int(Value) < 0 || int(Value) > int(TVxAreaStyle::Total))
        return;
    Change(FAreaStyle, Value, "Area fill style", "AreaStyle");
}

void TVxAreaSettings::SetGradient(TVxGradientSettings* Value) {
    if (Value)
        FGradient->Assign(Value);
}

void TVxAreaSettings::SetUndoStack(TVxUndoStack* Stack) {
    TVxStyleSettings::SetUndoStack(Stack);
    FGradient->SetUndoStack(Stack);
}

void TVxAreaSettings::Assign(const QObject* Source) {
    const auto* source = qobject_cast<const TVxAreaSettings*>(Source);
    if (!source)
        RaiseAssignError(Source, this);
    SetVisible(source->Visible());
    SetAreaStyle(source->AreaStyle());
    SetForeColor(source->ForeColor());
    SetBackColor(source->BackColor());
    FGradient->Assign(source->Gradient());
}

TVxBrush TVxAreaSettings::GetBrush(const QRectF& View) const {
    if (FGradient->Visible())
        return FGradient->GetBrush(View, 0);
    if (Solid())
        return TVxBrush::SolidBrush(FForeColor);
    return TVxBrush::HatchBrush(TVxHatchStyle(FAreaStyle), FForeColor, FBackColor);
}

TVxBrush TVxAreaSettings::GetBrush(const QRect& View) const {
    return GetBrush(QRectF(View.x(), View.y(), View.width(), View.height()));
}
