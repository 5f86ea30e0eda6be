#pragma once
// Weighted moving average of data points.

#include "numeric/Samples.h"
#include "numeric/Splines.h"

#include <vector>

/// How the neighbours of a point are weighted.
enum class TVxAveragingMethod {
    Simple,               ///< all equally
    LinearWeighted,       ///< falling linearly with the distance
    ExponentiallyWeighted ///< falling by a factor per distance unit
};
/// Which neighbours take part.
enum class TVxAveragingDirection {
    OnlyDownwards, ///< the point and those before it
    UpAndDownwards ///< the point and those on both sides
};
/// What N counts.
enum class TVxAveragingRangeMethod {
    NasCount,    ///< N neighbours on each side taken
    NasXDistance ///< neighbours within the x distance N
};

/// Parameters of a moving average.
struct TVxMovingAverageOptions {
    double N = 10;                      ///< count or distance (its absolute value is used)
    double ExponentialFactorForN = 0.9; ///< weight factor per distance q / N (exponential)
    TVxAveragingMethod Method = TVxAveragingMethod::LinearWeighted;          ///< weighting
    TVxAveragingDirection Direction = TVxAveragingDirection::OnlyDownwards;  ///< neighbours
    TVxAveragingRangeMethod RangeMethod = TVxAveragingRangeMethod::NasCount; ///< meaning of N
};

/// The averaged points (x, mean) of Data, in ascending x (Data is stable-sorted when it is
/// not ascending). A point whose neighbours' weights sum to 0 (or less) is left out.
std::vector<TVxDoublePoint> MovingAverage(const TVxSamples& Data,
                                          const TVxMovingAverageOptions& Options);

/// The Akima curve through the averaged points; raises EVxMathError "Not enough data points
/// to calculate function" with fewer than 3 of them.
TVxSpline MovingAverageCurve(const TVxSamples& Data, const TVxMovingAverageOptions& Options);
