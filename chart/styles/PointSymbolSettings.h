#pragma once
// The look of point symbols: shape, size, border and fill.

#include "drawing/PointSymbol.h"
#include "styles/StyleSettings.h"

class TVxPointSymbolSettings : public TVxStyleSettings {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(float Size READ Size WRITE SetSize)
    Q_PROPERTY(float BorderLineWidth READ BorderLineWidth WRITE SetBorderLineWidth)
    Q_PROPERTY(int BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int FillColor READ FillColor WRITE SetFillColor)
    Q_PROPERTY(int PointSymbol READ PointSymbolOrdinal WRITE SetPointSymbolOrdinal)

public:
    /// Visible blue circles of size 11 with a border of width 1.
    explicit TVxPointSymbolSettings(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// Symbols are drawn.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    /// Outer size in pixels.
    float Size() const { return FSize; }
    void SetSize(float Value);
    /// Width of the border line.
    float BorderLineWidth() const { return FBorderLineWidth; }
    void SetBorderLineWidth(float Value);
    /// Colour of the border line.
    TVxColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TVxColor Value);
    /// Colour of the inside.
    TVxColor FillColor() const { return FFillColor; }
    void SetFillColor(TVxColor Value);
    /// The shape; values outside the enumeration are ignored.
    TVxPointSymbol PointSymbol() const { return FPointSymbol; }
    void SetPointSymbol(TVxPointSymbol Value);

    /// Copies all six values through the setters, then calls the change callback; an
    /// unrelated class raises EVxConvertError.
    void Assign(const QObject* Source);

    /// The border pen: solid BorderColor of width BorderLineWidth.
    TVxPen GetPen() const { return TVxPen::Solid(FBorderColor, FBorderLineWidth); }
    /// The fill: solid FillColor.
    TVxBrush GetBrush() const { return TVxBrush::SolidBrush(FFillColor); }

private:
    int PointSymbolOrdinal() const { return int(FPointSymbol); }
    void SetPointSymbolOrdinal(int Value) { SetPointSymbol(TVxPointSymbol(Value)); }

    bool FVisible = true;
    float FSize = 11;
    float FBorderLineWidth = 1;
    TVxColor FBorderColor = VxColor(0xFF0000FF);
    TVxColor FFillColor = VxColor(0xFF0000FF);
    TVxPointSymbol FPointSymbol = TVxPointSymbol::Circle;
};
