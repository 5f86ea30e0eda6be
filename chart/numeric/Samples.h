#pragma once
// The data every numeric calculation works on: contiguous x, y and (optional) weight arrays
// of the valid, transformed points, as the series hand them over.

#include <algorithm>
#include <cstddef>
#include <span>

/// Points (X[i], Y[i]) with weights W[i]; an empty W weights every point 1. Only the first
/// Count() entries of each array take part.
struct TVxSamples {
    std::span<const double> X; ///< x values
    std::span<const double> Y; ///< y values
    std::span<const double> W; ///< weights, or empty for all 1

    /// The smallest length of X, Y and (when given) W.
    std::size_t Count() const {
        std::size_t n = std::min(X.size(), Y.size());
        return W.empty() ? n : std::min(n, W.size());
    }
    /// The weight of point i.
    double Wi(std::size_t i) const { return W.empty() ? 1.0 : W[i]; }
};

/// The largest number of coefficients (or, for polynomials, order + 1) a calculation accepts;
/// counts read from files are capped to it.
inline constexpr int MaxCoefficientCount = 1024;
