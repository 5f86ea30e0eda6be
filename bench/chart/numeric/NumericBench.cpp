// Speed of the computed-curve mathematics on large inputs.
#include "numeric/FourierTransform.h"
#include "numeric/LeastSquares.h"
#include "numeric/SimplexFit.h"
#include "numeric/Splines.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace {

std::vector<double> Noise(std::size_t n, unsigned Seed) {
    std::mt19937_64 rng(Seed);
    std::normal_distribution<double> d;
    std::vector<double> v(n);
    for (double& x : v)
        x = d(rng);
    return v;
}

std::vector<double> Indices(std::size_t n) {
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = static_cast<double>(i);
    return x;
}

// Spectrum of evenly spaced data; 99991 is prime, 65536 a power of two.
void BM_DiscreteFourier(benchmark::State& State) {
    const auto n = static_cast<std::size_t>(State.range(0));
    const auto x = Indices(n), y = Noise(n, 1);
    for (auto _ : State)
        benchmark::DoNotOptimize(DiscreteFourier({x, y, {}}, 0, 0));
}
BENCHMARK(BM_DiscreteFourier)->Arg(65536)->Arg(99991)->Arg(100000)->Unit(benchmark::kMillisecond);

// The complex transform alone: 59049 = 3^10, 99991 is prime (chirp convolution of length
// 200000), 99998 = 2 x 49999 (a large prime factor), 100000 = 2^5 5^5.
void BM_FourierTransform(benchmark::State& State) {
    const auto n = static_cast<std::size_t>(State.range(0));
    const auto re = Noise(n, 3), im = Noise(n, 4);
    std::vector<std::complex<double>> data(n);
    for (auto _ : State) {
        State.PauseTiming();
        for (std::size_t i = 0; i < n; ++i)
            data[i] = {re[i], im[i]};
        State.ResumeTiming();
        FourierTransform(data);
        benchmark::DoNotOptimize(data.data());
    }
}
BENCHMARK(BM_FourierTransform)
    ->Arg(59049)
    ->Arg(99991)
    ->Arg(99998)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Polynomial of order 5 on a million points.
void BM_PolynomialFit(benchmark::State& State) {
    const std::size_t n = 1000000;
    std::vector<double> x(n), y = Noise(n, 2);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = static_cast<double>(i) / n * 2 - 1;
        y[i] += 1 + x[i] * (2 - x[i] * (3 + x[i] * x[i] * x[i]));
    }
    for (auto _ : State)
        benchmark::DoNotOptimize(PolynomialFit({x, y, {}}, 5));
}
BENCHMARK(BM_PolynomialFit)->Unit(benchmark::kMillisecond);

// a exp(b x) on 10000 points, 300-step budget, compiled model.
void BM_SimplexFitExponential(benchmark::State& State) {
    const std::size_t n = 10000;
    std::vector<double> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = static_cast<double>(i) / n;
        y[i] = 3 * std::exp(-1.5 * x[i]);
    }
    for (auto _ : State) {
        TVxSimplexFit fit;
        fit.Model = [](double X, const std::vector<double>& c) {
            return c[0] * std::exp(c[1] * X);
        };
        fit.SetCoefficients({1, -1});
        fit.Calculate({x, y, {}});
        benchmark::DoNotOptimize(fit.Coefficients());
    }
}
BENCHMARK(BM_SimplexFitExponential)->Unit(benchmark::kMillisecond);

// Spline set-up (linear in n) and evaluation (a binary search per value).
void BM_SplineSetUp(benchmark::State& State) {
    const auto n = static_cast<std::size_t>(State.range(0));
    const auto x = Indices(n), y = Noise(n, 3);
    const auto method = static_cast<TVxInterpolationMethod>(State.range(1));
    TVxSpline s;
    for (auto _ : State)
        s.Calculate({x, y, {}}, method);
    State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_SplineSetUp)
    ->ArgsProduct({{10000, 100000, 1000000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

void BM_SplineInterpolate(benchmark::State& State) {
    const auto n = static_cast<std::size_t>(State.range(0));
    const auto x = Indices(n), y = Noise(n, 4);
    TVxSpline s;
    s.Calculate({x, y, {}}, TVxInterpolationMethod::Akima);
    double q = 0.37;
    for (auto _ : State) {
        benchmark::DoNotOptimize(s.Interpolate(q));
        q += 0.61;
        if (q > static_cast<double>(n))
            q -= static_cast<double>(n);
    }
}
BENCHMARK(BM_SplineInterpolate)->Arg(1000)->Arg(1000000);

} // namespace
