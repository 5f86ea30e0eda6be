#include "numeric/MovingAverage.h"

#include <algorithm>
#include <cmath>
#include <numeric>

std::vector<TVxDoublePoint> MovingAverage(const TVxSamples& Data,
                                          const TVxMovingAverageOptions& Options) {
    const double n = std::abs(Options.N);
    double logFactor = 0;
    if (Options.Method == TVxAveragingMethod::ExponentiallyWeighted) {
        double f = std::abs(Options.ExponentialFactorForN);
        if (f > 1)
            f = 1;
        if (f == 0)
            f = 1e-300;
        logFactor = std::log(f);
    }
    const std::size_t count = Data.Count();
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    if (!std::is_sorted(Data.X.begin(), Data.X.begin() + static_cast<std::ptrdiff_t>(count)))
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return Data.X[a] < Data.X[b]; });
    std::vector<double> x(count), y(count), w(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = Data.X[order[i]];
        y[i] = Data.Y[order[i]];
        w[i] = Data.Wi(order[i]);
    }
    const bool both = Options.Direction == TVxAveragingDirection::UpAndDownwards;
    // The count is clamped to the number of points before it becomes an integer.
    const std::size_t steps =
        static_cast<std::size_t>(std::min(std::nearbyint(n), static_cast<double>(count)));
    std::vector<TVxDoublePoint> result;
    result.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t lo = i, hi = i;
        if (Options.RangeMethod == TVxAveragingRangeMethod::NasCount) {
            lo = i >= steps ? i - steps : 0;
            if (both)
                hi = std::min(count - 1, i + steps);
        } else {
            while (lo > 0 && x[i] - x[lo] < n)
                --lo;
            if (both)
                while (hi < count - 1 && x[hi] - x[i] < n)
                    ++hi;
        }
        double q = x[hi] - x[lo];
        if (both)
            q *= 2;
        const double k = q != 0 ? n / q : 1;
        double sum = 0, weight = 0;
        for (std::size_t j = lo; j <= hi; ++j) {
            const double d = std::abs(x[j] - x[i]);
            double g = 1;
            if (Options.Method == TVxAveragingMethod::LinearWeighted)
                g = q != 0 ? 1 - d / q : 1;
            else if (Options.Method == TVxAveragingMethod::ExponentiallyWeighted)
                g = std::exp(d * logFactor * k);
            if (!(g > 0))
                continue;
            sum += g * w[j] * y[j];
            weight += g * w[j];
        }
        if (weight > 0)
            result.push_back({x[i], sum / weight});
    }
    return result;
}

TVxSpline MovingAverageCurve(const TVxSamples& Data, const TVxMovingAverageOptions& Options) {
    const auto points = MovingAverage(Data, Options);
    std::vector<double> x, y;
    for (const auto& p : points) {
        x.push_back(p.X);
        y.push_back(p.Value);
    }
    TVxSpline curve;
    curve.Calculate({x, y, {}}, TVxInterpolationMethod::Akima);
    return curve;
}
