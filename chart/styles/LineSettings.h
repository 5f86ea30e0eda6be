#pragma once
// Line styles: colour, width, dash style and an optional gradient; the full line settings add
// a published visibility.

#include "drawing/Pen.h"
#include "styles/GradientSettings.h"

class TVxSimpleLineSettings : public TVxStyleSettings {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int DashStyle READ DashStyleOrdinal WRITE SetDashStyleOrdinal)
    Q_PROPERTY(float Width READ Width WRITE SetWidth)
    Q_PROPERTY(TVxGradientSettings* Gradient READ Gradient WRITE SetGradient)

public:
    /// Red, solid, width 1, default gradient (created with the same callback), visible.
    explicit TVxSimpleLineSettings(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// Colour of a line without a visible gradient.
    TVxColor Color() const { return FColor; }
    void SetColor(TVxColor Value);
    /// Dash style; values outside the enumeration are ignored.
    TDashStyle DashStyle() const { return FDashStyle; }
    void SetDashStyle(TDashStyle Value);
    /// Width in pixels.
    float Width() const { return FWidth; }
    void SetWidth(float Value);
    /// The owned gradient; painting uses it instead of Color when it is visible.
    TVxGradientSettings* Gradient() const { return FGradient; }
    /// Copies Value into the owned gradient (nullptr is ignored).
    void SetGradient(TVxGradientSettings* Value);

    /// The visibility flag; published by TVxLineSettings only.
    bool IsVisible() const { return FVisible; }

    /// Attaches the stack to this object and its gradient.
    void SetUndoStack(TVxUndoStack* Stack) override;

    /// Copies from Source through the setters (see each class); an unrelated class raises
    /// EVxConvertError.
    virtual void Assign(const QObject* Source);

    /// The pen of this line for View: filled with the gradient's brush (Angle added to its
    /// angle) when the gradient is visible, else solid Color; miter limit 0.
    virtual TVxPen GetPen(const QRectF& View, double Angle = 0) const;
    /// GetPen over an integer rectangle (X, Y, Width, Height).
    TVxPen GetPen(const QRect& View, double Angle = 0) const;

protected:
    /// DashStyle, Color, Width through the setters, then the gradient.
    void AssignLine(const TVxSimpleLineSettings& Source);

    bool FVisible = true;

private:
    int DashStyleOrdinal() const { return int(FDashStyle); }
    void SetDashStyleOrdinal(int Value) { SetDashStyle(TDashStyle(Value)); }

    TVxColor FColor = VxColor(0xFFFF0000);
    TDashStyle FDashStyle = TDashStyle::DashStyleSolid;
    float FWidth = 1;
    TVxGradientSettings* FGradient;
};

class TVxLineSettings : public TVxSimpleLineSettings {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    /// The simple-line defaults, visible.
    explicit TVxLineSettings(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// The line is drawn.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    /// From line settings also Visible (through its setter), then the simple-line copy.
    void Assign(const QObject* Source) override;
};
