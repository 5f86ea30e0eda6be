#pragma once
// Piecewise cubic curves through (or near) data points: Akima, cubic spline with not-a-knot
// ends and a natural smoothing spline, with derivative, curvature, integral and extrema.

#include "numeric/Samples.h"

#include <span>
#include <vector>

/// How the curve is built.
enum class TVxInterpolationMethod {
    Akima,              ///< Akima's local slopes: no overshoot at steps
    CubicSpline,        ///< twice differentiable interpolation, not-a-knot ends
    ApproximativeSpline ///< natural smoothing spline; weights pull it towards the points
};

/// What TVxSpline::Evaluate computes.
enum class TVxSplineValue {
    Curve,     ///< Interpolate
    Slope,     ///< Slope
    Curvature, ///< Curvature
    Integral   ///< Integral
};

/// A point (x, value) of an extremum list.
struct TVxDoublePoint {
    double X = 0;     ///< position
    double Value = 0; ///< curve, derivative or integral value there
};

/// A piecewise cubic s(x) = A[k] + B[k] t + C[k] t^2 + D[k] t^3, t = x - Knots[k], on the
/// segment k of x. Segment n - 1 continues the curve beyond the last knot; points left of
/// the first knot use segment 0.
class TVxSpline {
public:
    /// Builds the curve on Data. Points with a weight not above 0 are left out; when the x
    /// used are not strictly ascending they are stable-sorted and points of equal x merged
    /// into one with the mean y (and mean weight). For ApproximativeSpline the weights times
    /// ElasticityFactor weigh each point (a factor not above 0 counts as 1e-300); otherwise
    /// SmoothingRange > 0 first smooths y triangularly over that x distance. Raises
    /// EVxMathError "Not enough data points to calculate function" with fewer than 6
    /// (ApproximativeSpline) or 3 points.
    void Calculate(const TVxSamples& Data, TVxInterpolationMethod Method,
                   double ElasticityFactor = 1.0, double SmoothingRange = 0.0);

    /// The curve at X; 0 before Calculate or for a result that is not finite.
    double Interpolate(double X) const;
    /// The first derivative at X.
    double Slope(double X) const;
    /// The second derivative at X.
    double Curvature(double X) const;
    /// The integral of the curve from the first knot to X.
    double Integral(double X) const;

    /// Y[i] = What at X[i] for every i, the values the single queries give. Ascending X
    /// walk the segments once (the next segment is searched from the last one); X out of
    /// order are searched from scratch. Y must be as long as X.
    void Evaluate(TVxSplineValue What, std::span<const double> X, std::span<double> Y) const;

    /// Local minima and maxima of the curve between the first and the last knot.
    void Extrema(std::vector<TVxDoublePoint>& Minima, std::vector<TVxDoublePoint>& Maxima) const;
    /// Inflection points as (x, slope): maxima and minima of the derivative.
    void DifferentialExtrema(std::vector<TVxDoublePoint>& Minima,
                             std::vector<TVxDoublePoint>& Maxima) const;
    /// Zeros of the curve as (x, integral): minima (rising curve) and maxima of the integral.
    void IntegralExtrema(std::vector<TVxDoublePoint>& Minima,
                         std::vector<TVxDoublePoint>& Maxima) const;

    /// The knots the curve is built on.
    const std::vector<double>& Knots() const { return FX; }
    /// Number of knots.
    int Count() const { return static_cast<int>(FX.size()); }
    /// The segment that serves x: binary search.
    int Segment(double X) const;

private:
    void BuildAkima(const std::vector<double>& Y);
    void BuildCubic(const std::vector<double>& Y);
    void BuildSmoothing(const std::vector<double>& Y, const std::vector<double>& W);
    void BuildIntegrals();
    double SegmentIntegral(int K, double T) const;
    double ValueIn(TVxSplineValue What, int K, double X) const;

    std::vector<double> FX, FA, FB, FC, FD;
    std::vector<double> FCumulative; // integral from the first knot to each knot
};
