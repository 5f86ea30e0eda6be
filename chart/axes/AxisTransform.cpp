#include "AxisTransform.h"

#include "util/DateTime.h"
#include "util/Rounding.h"

#include <cmath>

TVxAxisTransform::TVxAxisTransform(const TVxAxisScale& Scale) {
    if (Scale.HasLogScaling) {
        FKind = Kind::Log;
        FOrigin = Scale.LogStart;
    } else if (Scale.Scaling == TVxAxisScaling::DateTime) {
        FKind = Kind::DateTime;
        FOrigin = ContinuousTime(Scale.Start);
    } else {
        FOrigin = Scale.Start;
    }
    FNormalize = Scale.NormalizeConst;
    FInverseNormalize = FNormalize != 0 && std::isfinite(FNormalize) ? 1.0 / FNormalize : 0.0;
    const bool forward = Scale.Horizontal != Scale.Twisted;
    const double base = Scale.Horizontal ? Scale.AxLeft : Scale.AxTop;
    FSign = forward ? 1.0 : -1.0;
    FAxisBase = base;
    FBase = forward ? base : base + double(Scale.AxLength);
}

double TVxAxisTransform::Log10(double Value) {
    return std::log10(Value);
}

double TVxAxisTransform::Continuous(double Value) {
    return ContinuousTime(Value);
}

double TVxAxisTransform::WorldToNumber(float Pixel) const {
    // Distance from the start in pixels, whichever way the axis runs.
    const double d = (double(Pixel) - FBase) * FSign;
    switch (FKind) {
    case Kind::Log:
        return Exp10(d * FNormalize + FOrigin);
    case Kind::DateTime:
        return DateTimeFromContinuous(FOrigin + d * FNormalize);
    default:
        return FOrigin + d * FNormalize;
    }
}
