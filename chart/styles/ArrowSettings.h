#pragma once
// Arrows: a line with a filled head at its end, and the head drawn at the end of an axis line.

#include "styles/LineSettings.h"

/// The smallest arrow length stored; smaller values are raised to it.
inline constexpr float MinArrowLength = 0.00001f;

class TVxArrowSettings : public TVxLineSettings {
    Q_OBJECT
    Q_PROPERTY(float PointLength READ PointLength WRITE SetPointLength)
    Q_PROPERTY(float InnerLength READ InnerLength WRITE SetInnerLength)
    Q_PROPERTY(float PointHeight READ PointHeight WRITE SetPointHeight)

public:
    /// The line defaults with a head 5 long, notch at 3, half width 2 (in pen widths).
    explicit TVxArrowSettings(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// Distance from the tip back to the barbs; stored at least MinArrowLength.
    float PointLength() const { return FPointLength; }
    void SetPointLength(float Value);
    /// Distance from the tip back to the notch; stored at least MinArrowLength.
    float InnerLength() const { return FInnerLength; }
    void SetInnerLength(float Value);
    /// Half the width of the head; stored at least MinArrowLength.
    float PointHeight() const { return FPointHeight; }
    void SetPointHeight(float Value);

    /// The head as a cap of the drawing surface.
    TVxArrowCap Cap() const { return {FPointLength, FInnerLength, FPointHeight}; }

    /// From arrow settings also the three lengths (through the setters), then the line copy.
    void Assign(const QObject* Source) override;
    /// The line pen with the head as its end cap.
    TVxPen GetPen(const QRectF& View, double Angle = 0) const override;
    using TVxSimpleLineSettings::GetPen;

private:
    float FPointLength = 5;
    float FInnerLength = 3;
    float FPointHeight = 2;
};

class TVxAxisArrowPoint : public TVxStyleSettings {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(float PointLength READ PointLength WRITE SetPointLength)
    Q_PROPERTY(float InnerLength READ InnerLength WRITE SetInnerLength)
    Q_PROPERTY(float PointHeight READ PointHeight WRITE SetPointHeight)

public:
    /// Invisible; head 7 long, notch at 5, half width 3.
    explicit TVxAxisArrowPoint(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// The axis line ends in a head.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    /// Distance from the tip back to the barbs; stored at least MinArrowLength.
    float PointLength() const { return FPointLength; }
    void SetPointLength(float Value);
    /// Distance from the tip back to the notch; stored at least MinArrowLength.
    float InnerLength() const { return FInnerLength; }
    void SetInnerLength(float Value);
    /// Half the width of the head; stored at least MinArrowLength.
    float PointHeight() const { return FPointHeight; }
    void SetPointHeight(float Value);

    /// The head as a cap of the drawing surface.
    TVxArrowCap Cap() const { return {FPointLength, FInnerLength, FPointHeight}; }
    /// Pen with the head as its end cap when Visible, else Pen unchanged.
    TVxPen ApplyTo(TVxPen Pen) const;

    /// Copies Visible and the three lengths through the setters; an unrelated class raises
    /// EVxConvertError.
    void Assign(const QObject* Source);

private:
    bool FVisible = false;
    float FPointLength = 7;
    float FInnerLength = 5;
    float FPointHeight = 3;
};
