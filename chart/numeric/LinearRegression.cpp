#include "numeric/LinearRegression.h"

#include "util/Exceptions.h"

#include <cmath>
#include <limits>

namespace {

constexpr double MaxDouble = std::numeric_limits<double>::max();

bool Finite(double v) {
    return std::isfinite(v);
}

} // namespace

TVxLinearRegressionResult LinearRegression(const TVxSamples& Data, bool FixedOffset,
                                           double Offset) {
    TVxLinearRegressionResult r;
    r.VarianceX = r.VarianceY = r.SumOfResiduals = r.AverageX = r.AverageY = 0.0;
    r.Correlation = r.Probability = r.Slope = 0.0;
    r.DeltaSlope = -MaxDouble;
    r.DeltaOffset = MaxDouble;
    r.Offset = FixedOffset ? Offset : 0.0;

    const std::size_t n = Data.Count();
    if (n < 2)
        throw EVxMathError("Not enough data points to calculate function");

    double w = 0, swx = 0, swy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double wi = Data.Wi(i);
        w += wi;
        swx += wi * Data.X[i];
        swy += wi * Data.Y[i];
    }
    // A total weight of 0 leaves the means at 0 rather than 0/0.
    if (w != 0) {
        r.AverageX = swx / w;
        r.AverageY = swy / w;
    }
    double sxx = 0, syy = 0, sxy = 0, swxx = 0, swxy0 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double wi = Data.Wi(i), dx = Data.X[i] - r.AverageX, dy = Data.Y[i] - r.AverageY;
        sxx += wi * dx * dx;
        syy += wi * dy * dy;
        sxy += wi * dx * Data.Y[i];
        swxx += wi * Data.X[i] * Data.X[i];
        swxy0 += wi * Data.X[i] * (Data.Y[i] - r.Offset);
    }
    auto residuals = [&](double slope, double offset) {
        double s = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double d = Data.Y[i] - slope * Data.X[i] - offset;
            s += Data.Wi(i) * d * d;
        }
        return s;
    };
    if (w > 1) {
        r.VarianceX = sxx / (w - 1);
        r.VarianceY = syy / (w - 1);
    }

    if (FixedOffset) {
        r.DeltaOffset = 0;
        if (swxx != 0 && syy > 0 && w > 1) {
            r.Slope = swxy0 / swxx;
            r.SumOfResiduals = residuals(r.Slope, r.Offset);
            r.DeltaSlope = std::sqrt(r.SumOfResiduals / ((w - 1) * swxx));
            r.Probability = 1 - r.SumOfResiduals / syy;
        }
        if (swxx == 0 || syy <= 0 || w <= 1 || !Finite(r.DeltaSlope) || !Finite(r.Probability)) {
            if (swxx != 0)
                r.Slope = swxy0 / swxx;
            r.SumOfResiduals = 0;
            r.DeltaSlope = 0;
            r.Probability = 1;
        }
        return r;
    }

    if (!(sxx > 0)) {
        // All x equal: the line is vertical.
        r.Slope = r.Offset = MaxDouble;
        r.Correlation = r.Probability = 1;
        r.SumOfResiduals = 0;
    } else {
        r.Slope = sxy / sxx;
        r.Offset = r.AverageY - r.Slope * r.AverageX;
        r.SumOfResiduals = residuals(r.Slope, r.Offset);
        if (syy > 0) {
            // sqrt(VarianceX / VarianceY) without the (W - 1) that cancels.
            r.Correlation = std::sqrt(sxx / syy) * r.Slope;
            r.Probability = 1 - r.SumOfResiduals / syy;
        } else {
            // All y equal: a flat line through them.
            r.Slope = 0;
            r.Offset = r.AverageY;
            r.Correlation = r.Probability = 1;
            r.SumOfResiduals = 0;
        }
    }
    if (sxx > 0 && w > 2) {
        r.DeltaSlope = std::sqrt(r.SumOfResiduals / ((w - 2) * sxx));
        r.DeltaOffset =
            std::sqrt((r.AverageX * r.AverageX / sxx + 1 / w) * r.SumOfResiduals / (w - 2));
    }
    if (!(sxx > 0 && w > 2) || !Finite(r.DeltaSlope) || !Finite(r.DeltaOffset)) {
        r.DeltaSlope = r.DeltaOffset = r.SumOfResiduals = 0;
    }
    return r;
}
