#include "styles/PointSymbolSettings.h"

TVxPointSymbolSettings::TVxPointSymbolSettings(ModifiedCallback WhenModified, QObject* AOwner)
    : TVxStyleSettings(std::move(WhenModified), AOwner) {}

void TVxPointSymbolSettings::SetVisible(bool Value) {
    Change(FVisible, Value, "Point symbol visible", "Visible");
}

void TVxPointSymbolSettings::SetSize(float Value) {
    ChangeFloat(FSize, Value, Value, "Point symbol size", "Size");
}

void TVxPointSymbolSettings::SetBorderLineWidth(float Value) {
    ChangeFloat(FBorderLineWidth, Value, Value, "Point symbol borderline width", "BorderLineWidth");
}

void TVxPointSymbolSettings::SetBorderColor(TVxColor Value) {
    Change(FBorderColor, Value, "Point symbol borderline color", "BorderColor");
}

void TVxPointSymbolSettings::SetFillColor(TVxColor Value) {
    Change(FFillColor, Value, "Point symbol fill color", "FillColor");
}

void TVxPointSymbolSettings::SetPointSymbol(TVxPointSymbol Value) {
    if (int(Value) < 0 || int(Value) > int(TVxPointSymbol::Nabla))
        return;
    Change(FPointSymbol, Value, "Point symbol selection", "PointSymbol");
}

void TVxPointSymbolSettings::Assign(const QObject* Source) {
    const auto* source = qobject_cast<const TVxPointSymbolSettings*>(Source);
    if (!source)
        RaiseAssignError(Source, this);
    SetVisible(source->Visible());
    SetSize(source->Size());
    SetBorderLineWidth(source->BorderLineWidth());
    SetBorderColor(source->BorderColor());
    SetFillColor(source->FillColor());
    SetPointSymbol(source->PointSymbol());
    Modified();
}
