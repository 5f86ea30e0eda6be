#pragma once
// Value-to-pixel conversion of an axis with its constants computed once: a conversion
// costs a subtraction, a multiplication and a comparison (a log10 on logarithmic axes,
// the continuous day count on date-time axes).

#include "axes/AxisScale.h"

/// The value-to-pixel map of one axis state.
class TVxAxisTransform {
public:
    /// Pixels farther than this from the axis start are replaced by the sentinel.
    static constexpr double FarPixels = 100000.0;
    /// Distance before the start at which non-positive values sit on logarithmic axes.
    static constexpr double NonPositivePixels = 100.0;

    TVxAxisTransform() = default;
    /// The map of Scale's range, geometry and NormalizeConst.
    explicit TVxAxisTransform(const TVxAxisScale& Scale);

    /// The pixel of a value in the coordinates of the axis' parent.
    float NumberToWorld(double Value) const {
        double u;
        switch (FKind) {
        case Kind::Log:
            u = Value > 0 ? (Log10(Value) - FOrigin) * FInverseNormalize : -NonPositivePixels;
            break;
        case Kind::DateTime:
            u = (Continuous(Value) - FOrigin) * FInverseNormalize;
            break;
        default:
            u = (Value - FOrigin) * FInverseNormalize;
            break;
        }
        if (u > -FarPixels && u < FarPixels)
            return float(FBase + FSign * u);
        // NaN lands here as well and takes the sentinel of a negative distance.
        return float(FAxisBase + FSign * (u >= FarPixels ? FarPixels : -FarPixels));
    }
    /// The value at a pixel (the inverse of NumberToWorld inside the far limit).
    double WorldToNumber(float Pixel) const;

private:
    enum class Kind { Linear, Log, DateTime };
    static double Log10(double Value);
    static double Continuous(double Value);

    Kind FKind = Kind::Linear;
    double FOrigin = 0;           // Start, log10(Start) or the continuous day of Start
    double FNormalize = 1;        // data units per pixel
    double FInverseNormalize = 1; // pixels per data unit
    double FBase = 0;             // pixel of the start (forward) or of the end (reversed)
    double FSign = 1;             // +1 when pixels grow with values
    double FAxisBase = 0;         // FAxLeft or FAxTop, the origin of the sentinels
};
