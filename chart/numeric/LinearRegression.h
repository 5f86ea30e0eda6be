#pragma once
// Weighted straight-line fit y = Offset + Slope x, with a free or a fixed offset.

#include "numeric/Samples.h"

/// Results of a linear regression.
struct TVxLinearRegressionResult {
    double Slope = 1.0;          ///< fitted slope
    double DeltaSlope = 1.0;     ///< statistical error of the slope
    double Offset = 1.0;         ///< fitted (or, with a fixed offset, given) offset
    double DeltaOffset = 1.0;    ///< statistical error of the offset (0 when fixed)
    double AverageX = 1.0;       ///< weighted mean of x
    double AverageY = 1.0;       ///< weighted mean of y
    double VarianceX = 1.0;      ///< weighted variance of x
    double VarianceY = 1.0;      ///< weighted variance of y
    double Probability = 1.0;    ///< 1 - SumOfResiduals / Syy
    double Correlation = 1.0;    ///< correlation coefficient (0 with a fixed offset)
    double SumOfResiduals = 1.0; ///< weighted sum of squared residuals
};

/// Fits a straight line to Data. With FixedOffset the offset is Offset and only the slope is
/// fitted. Raises EVxMathError "Not enough data points to calculate function" for fewer
/// than 2 points. Degenerate data (all x equal, all y equal, total weight 0, 1 or 2) give
/// documented fallback values, never a NaN or an infinity produced by a division.
TVxLinearRegressionResult LinearRegression(const TVxSamples& Data, bool FixedOffset = false,
                                           double Offset = 0.0);
