#include "numeric/Splines.h"

#include "util/Exceptions.h"
#include "util/Kernels.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

[[noreturn]] void NotEnough() {
    throw EVxMathError("Not enough data points to calculate function");
}

// Roots in [0, H) of A t^2 + B t + C, ascending; a negligible A leaves the linear case.
std::vector<double> QuadraticRoots(double A, double B, double C, double H) {
    std::vector<double> roots;
    const double scale = std::abs(B) * H + std::abs(C);
    if (std::abs(A) * H * H <= 1e-12 * scale || A == 0) {
        if (B != 0)
            roots.push_back(-C / B);
    } else {
        const double disc = B * B - 4 * A * C;
        if (disc < 0)
            return roots;
        // No cancellation: q takes the sign of B.
        const double q = -0.5 * (B + std::copysign(std::sqrt(disc), B));
        roots.push_back(q / A);
        if (q != 0)
            roots.push_back(C / q);
    }
    std::vector<double> inside;
    for (double t : roots)
        if (std::isfinite(t) && t >= 0 && t < H)
            inside.push_back(t);
    std::sort(inside.begin(), inside.end());
    inside.erase(std::unique(inside.begin(), inside.end()), inside.end());
    return inside;
}

// Appends P unless List is full or already ends with it: a root at the end of one segment
// and at the start of the next (an extremum on a knot) is one extremum, however the two
// segments' rounding places it. Near is a small distance relative to the segment.
void AddExtremum(std::vector<TVxDoublePoint>& List, TVxDoublePoint P, double Near,
                 std::size_t Cap) {
    if (!List.empty() && std::abs(List.back().X - P.X) <= Near)
        return;
    if (List.size() < Cap)
        List.push_back(P);
}

} // namespace

void TVxSpline::Calculate(const TVxSamples& Data, TVxInterpolationMethod Method,
                          double ElasticityFactor, double SmoothingRange) {
    FX.clear();
    if (!(ElasticityFactor > 0))
        ElasticityFactor = 1e-300;
    const bool approx = Method == TVxInterpolationMethod::ApproximativeSpline;
    std::vector<double> x, y, w;
    const std::size_t m = Data.Count();
    for (std::size_t i = 0; i < m; ++i) {
        const double wi = Data.Wi(i);
        if (!(wi > 0))
            continue;
        x.push_back(Data.X[i]);
        y.push_back(Data.Y[i]);
        w.push_back(approx ? wi * ElasticityFactor : wi);
    }
    bool ascending = true;
    for (std::size_t i = 1; i < x.size() && ascending; ++i)
        ascending = x[i - 1] < x[i];
    if (!ascending) {
        std::vector<std::size_t> order(x.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
        std::vector<double> sx, sy, sw;
        for (std::size_t k = 0; k < order.size();) {
            std::size_t e = k;
            double yy = 0, ww = 0;
            for (; e < order.size() && x[order[e]] == x[order[k]]; ++e) {
                yy += y[order[e]];
                ww += w[order[e]];
            }
            const double cnt = static_cast<double>(e - k);
            sx.push_back(x[order[k]]);
            sy.push_back(yy / cnt);
            sw.push_back(ww / cnt);
            k = e;
        }
        x.swap(sx);
        y.swap(sy);
        w.swap(sw);
    }
    if (x.size() < (approx ? 6u : 3u))
        NotEnough();
    FX = x;
    if (!approx && SmoothingRange > 0)
        TriangularSmooth(FX, y, SmoothingRange);
    switch (Method) {
    case TVxInterpolationMethod::Akima:
        BuildAkima(y);
        break;
    case TVxInterpolationMethod::CubicSpline:
        BuildCubic(y);
        break;
    case TVxInterpolationMethod::ApproximativeSpline:
        BuildSmoothing(y, w);
        break;
    }
    BuildIntegrals();
}

void TVxSpline::BuildAkima(const std::vector<double>& Y) {
    const int n = Count();
    // Slopes m_j for j = -2 .. n + 1, stored at j + 2; the ends extrapolated linearly.
    std::vector<double> mm(static_cast<std::size_t>(n + 4));
    auto M = [&](int j) -> double& { return mm[static_cast<std::size_t>(j + 2)]; };
    for (int j = 0; j <= n - 2; ++j)
        M(j) = (Y[j + 1] - Y[j]) / (FX[j + 1] - FX[j]);
    M(-1) = 2 * M(0) - M(1);
    M(-2) = 2 * M(-1) - M(0);
    M(n - 1) = 2 * M(n - 2) - M(n - 3);
    M(n) = 2 * M(n - 1) - M(n - 2);
    M(n + 1) = 2 * M(n) - M(n - 1);
    std::vector<double> t(static_cast<std::size_t>(n + 1));
    for (int i = 0; i <= n; ++i) {
        const double wl = std::abs(M(i - 1) - M(i - 2)), wr = std::abs(M(i + 1) - M(i));
        t[i] = wl + wr > 0 ? (M(i - 1) * wr + M(i) * wl) / (wr + wl) : (M(i - 1) + M(i)) / 2;
    }
    FA.assign(n, 0);
    FB.assign(n, 0);
    FC.assign(n, 0);
    FD.assign(n, 0);
    for (int k = 0; k < n; ++k) {
        // The last segment runs to the mirrored point past the end.
        const double h = k < n - 1 ? FX[k + 1] - FX[k] : FX[n - 1] - FX[n - 2];
        FA[k] = Y[k];
        FB[k] = t[k];
        FC[k] = (3 * M(k) - 2 * t[k] - t[k + 1]) / h;
        FD[k] = (t[k] + t[k + 1] - 2 * M(k)) / (h * h);
    }
}

void TVxSpline::BuildCubic(const std::vector<double>& Y) {
    const int n = Count();
    std::vector<double> h(n - 1), c(n, 0.0);
    for (int i = 0; i < n - 1; ++i)
        h[i] = FX[i + 1] - FX[i];
    const int u = n - 2; // unknowns c_1 .. c_{n-2}
    std::vector<double> sub(u), diag(u), sup(u), r(u);
    for (int i = 0; i < u; ++i) {
        r[i] = 3 * ((Y[i + 2] - Y[i + 1]) / h[i + 1] - (Y[i + 1] - Y[i]) / h[i]);
        sub[i] = h[i];
        sup[i] = h[i + 1];
        diag[i] = 2 * (h[i] + h[i + 1]);
    }
    if (n == 3) {
        c[1] = (r[0] / 3) / (h[0] + h[1]);
        c[0] = c[2] = c[1];
    } else {
        // Not-a-knot: the third derivative is continuous at the second and last-but-one knot.
        r[0] *= h[1] / (h[0] + h[1]);
        r[u - 1] *= h[n - 3] / (h[n - 3] + h[n - 2]);
        diag[0] -= h[0];
        sup[0] -= h[0];
        diag[u - 1] -= h[n - 2];
        sub[u - 1] -= h[n - 2];
        TridiagonalSolve(sub, diag, sup, r);
        for (int i = 0; i < u; ++i)
            c[i + 1] = r[i];
        c[0] = c[1] + (c[1] - c[2]) * h[0] / h[1];
        c[n - 1] = c[n - 2] + (c[n - 2] - c[n - 3]) * h[n - 2] / h[n - 3];
    }
    FA.assign(Y.begin(), Y.end());
    FB.assign(n, 0);
    FC = c;
    FD.assign(n, 0);
    for (int k = 0; k < n - 1; ++k) {
        FB[k] = (Y[k + 1] - Y[k]) / h[k] - h[k] * (2 * c[k] + c[k + 1]) / 3;
        FD[k] = (c[k + 1] - c[k]) / (3 * h[k]);
    }
    // Past the last knot the last cubic continues, so the slope at the end is its own.
    const int l = n - 2;
    FB[n - 1] = FB[l] + 2 * FC[l] * h[l] + 3 * FD[l] * h[l] * h[l];
    FD[n - 1] = FD[l];
}

void TVxSpline::BuildSmoothing(const std::vector<double>& Y, const std::vector<double>& W) {
    const int n = Count();
    std::vector<double> h(n - 1), g(n - 1), p(n), e(n, 0.0), s(n - 1);
    for (int i = 0; i < n - 1; ++i) {
        h[i] = FX[i + 1] - FX[i];
        g[i] = 1 / h[i];
        s[i] = (Y[i + 1] - Y[i]) * g[i];
    }
    for (int i = 0; i < n; ++i)
        p[i] = 6 / W[i];
    for (int i = 1; i < n - 1; ++i)
        e[i] = g[i - 1] + g[i];
    const int u = n - 2, bw = 5;
    std::vector<double> band(static_cast<std::size_t>(u * bw), 0.0), r(u);
    auto at = [&](int i, int j) -> double& {
        return band[static_cast<std::size_t>(i * bw + j - i + 2)];
    };
    for (int i = 0; i < u; ++i) {
        at(i, i) = e[i + 1] * e[i + 1] * p[i + 1] + 2 * (h[i] + h[i + 1]) + p[i] * g[i] * g[i] +
                   p[i + 2] * g[i + 1] * g[i + 1];
        if (i >= 1)
            at(i, i - 1) = at(i - 1, i) = h[i] - p[i] * g[i] * e[i] - g[i] * p[i + 1] * e[i + 1];
        if (i >= 2)
            at(i, i - 2) = at(i - 2, i) = p[i] * g[i - 1] * g[i];
        r[i] = 3 * (s[i + 1] - s[i]);
    }
    BandSolve(band, u, 2, 2, r);
    std::vector<double> c(n, 0.0), a(n);
    for (int i = 0; i < u; ++i)
        c[i + 1] = r[i];
    a[0] = Y[0] + p[0] / 3 * g[0] * (c[0] - c[1]);
    for (int i = 1; i < n - 1; ++i)
        a[i] = Y[i] - p[i] / 3 * (c[i - 1] * g[i - 1] - e[i] * c[i] + c[i + 1] * g[i]);
    a[n - 1] = Y[n - 1] - p[n - 1] / 3 * (c[n - 2] - c[n - 1]) * g[n - 2];
    FA = a;
    FC = c;
    FB.assign(n, 0);
    FD.assign(n, 0);
    for (int k = 0; k < n - 1; ++k) {
        FB[k] = (a[k + 1] - a[k]) * g[k] - (2 * c[k] + c[k + 1]) * h[k] / 3;
        FD[k] = (c[k + 1] - c[k]) * g[k] / 3;
    }
    // A natural spline continues as a straight line with the slope it has at the end.
    const int l = n - 2;
    FB[n - 1] = FB[l] + 2 * FC[l] * h[l] + 3 * FD[l] * h[l] * h[l];
}

void TVxSpline::BuildIntegrals() {
    const int n = Count();
    FCumulative.assign(n, 0.0);
    for (int k = 1; k < n; ++k)
        FCumulative[k] = FCumulative[k - 1] + SegmentIntegral(k - 1, FX[k] - FX[k - 1]);
}

double TVxSpline::SegmentIntegral(int K, double T) const {
    return T * (FA[K] + T * (FB[K] / 2 + T * (FC[K] / 3 + T * FD[K] / 4)));
}

int TVxSpline::Segment(double X) const {
    const int n = Count();
    if (!(X < FX[n - 1]))
        return n - 1;
    const auto it = std::upper_bound(FX.begin(), FX.end(), X);
    return std::max(0, static_cast<int>(it - FX.begin()) - 1);
}

double TVxSpline::ValueIn(TVxSplineValue What, int K, double X) const {
    const double t = X - FX[K];
    switch (What) {
    case TVxSplineValue::Curve: {
        const double v = FA[K] + t * (FB[K] + t * (FC[K] + t * FD[K]));
        return std::isfinite(v) ? v : 0.0;
    }
    case TVxSplineValue::Slope:
        return FB[K] + t * (2 * FC[K] + 3 * FD[K] * t);
    case TVxSplineValue::Curvature:
        return 2 * FC[K] + 6 * FD[K] * t;
    case TVxSplineValue::Integral:
        break;
    }
    return FCumulative[K] + SegmentIntegral(K, t);
}

double TVxSpline::Interpolate(double X) const {
    return FX.empty() ? 0.0 : ValueIn(TVxSplineValue::Curve, Segment(X), X);
}

double TVxSpline::Slope(double X) const {
    return FX.empty() ? 0.0 : ValueIn(TVxSplineValue::Slope, Segment(X), X);
}

double TVxSpline::Curvature(double X) const {
    return FX.empty() ? 0.0 : ValueIn(TVxSplineValue::Curvature, Segment(X), X);
}

double TVxSpline::Integral(double X) const {
    return FX.empty() ? 0.0 : ValueIn(TVxSplineValue::Integral, Segment(X), X);
}

void TVxSpline::Evaluate(TVxSplineValue What, std::span<const double> X,
                         std::span<double> Y) const {
    const std::size_t m = std::min(X.size(), Y.size());
    if (FX.empty()) {
        std::fill_n(Y.begin(), m, 0.0);
        return;
    }
    const int n = Count();
    // The segment of x is the last knot not above it (0 left of the first knot, n - 1 from
    // the last on), as Segment finds it.
    int k = -1;
    double last = 0;
    for (std::size_t i = 0; i < m; ++i) {
        const double x = X[i];
        if (k < 0 || !(x >= last)) {
            k = Segment(x); // first value, out of order or NaN
        } else if (k + 1 < n && FX[k + 1] <= x) {
            // A few steps forward, then a binary search over the rest.
            int steps = 0;
            while (k + 1 < n && FX[k + 1] <= x && steps < 8) {
                ++k;
                ++steps;
            }
            if (k + 1 < n && FX[k + 1] <= x) {
                const auto it = std::upper_bound(FX.begin() + k + 1, FX.end(), x);
                k = static_cast<int>(it - FX.begin()) - 1;
            }
        }
        last = x;
        Y[i] = ValueIn(What, k, x);
    }
}

void TVxSpline::Extrema(std::vector<TVxDoublePoint>& Minima,
                        std::vector<TVxDoublePoint>& Maxima) const {
    Minima.clear();
    Maxima.clear();
    const std::size_t cap = FX.size() / 2;
    for (int k = 0; k + 1 < Count(); ++k) {
        const double near = 1e-9 * (FX[k + 1] - FX[k]);
        for (double t : QuadraticRoots(3 * FD[k], 2 * FC[k], FB[k], FX[k + 1] - FX[k])) {
            const double x = FX[k] + t, curv = Curvature(x);
            if (curv > 0)
                AddExtremum(Minima, {x, Interpolate(x)}, near, cap);
            else if (curv < 0)
                AddExtremum(Maxima, {x, Interpolate(x)}, near, cap);
        }
    }
}

void TVxSpline::DifferentialExtrema(std::vector<TVxDoublePoint>& Minima,
                                    std::vector<TVxDoublePoint>& Maxima) const {
    Minima.clear();
    Maxima.clear();
    const std::size_t cap = FX.size() / 2;
    for (int k = 0; k + 1 < Count(); ++k) {
        if (FD[k] == 0)
            continue;
        const double x = FX[k] - FC[k] / (3 * FD[k]);
        if (!(x >= FX[k] && x < FX[k + 1]))
            continue;
        const double s = Slope(x), near = 1e-9 * (FX[k + 1] - FX[k]);
        AddExtremum(s > FB[k] ? Maxima : Minima, {x, s}, near, cap);
    }
}

void TVxSpline::IntegralExtrema(std::vector<TVxDoublePoint>& Minima,
                                std::vector<TVxDoublePoint>& Maxima) const {
    Minima.clear();
    Maxima.clear();
    const std::size_t cap = FX.size() / 2;
    auto add = [&](double x) {
        auto& list = Slope(x) >= 0 ? Minima : Maxima;
        if (list.size() < cap)
            list.push_back({x, Integral(x)});
    };
    const int n = Count();
    for (int k = 0; k < n; ++k) {
        if (FA[k] == 0) {
            add(FX[k]);
            continue;
        }
        if (k + 1 >= n)
            break;
        const double end = FA[k + 1];
        if (end == 0 || (FA[k] < 0) == (end < 0))
            continue;
        // Bisection on the segment's own cubic until the bracket cannot shrink.
        auto f = [&](double t) { return FA[k] + t * (FB[k] + t * (FC[k] + t * FD[k])); };
        double lo = 0, hi = FX[k + 1] - FX[k];
        const bool loNegative = FA[k] < 0;
        for (int it = 0; it < 200; ++it) {
            const double mid = lo + (hi - lo) / 2;
            if (mid <= lo || mid >= hi)
                break;
            if ((f(mid) < 0) == loNegative)
                lo = mid;
            else
                hi = mid;
        }
        add(FX[k] + lo);
    }
}
