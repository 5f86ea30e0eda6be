#include "Kernels.h"

#include "util/Exceptions.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

namespace {

const double SmallestSubnormal = std::ldexp(1.0, -1074);

template <class SwapFn>
void SiftDown(double* Keys, std::ptrdiff_t Base, std::ptrdiff_t Root, std::ptrdiff_t Count,
              SwapFn& Swap) {
    for (;;) {
        std::ptrdiff_t child = 2 * Root + 1;
        if (child >= Count)
            return;
        if (child + 1 < Count && Keys[Base + child] < Keys[Base + child + 1])
            ++child;
        if (!(Keys[Base + Root] < Keys[Base + child]))
            return;
        Swap(Base + Root, Base + child);
        Root = child;
    }
}

template <class SwapFn>
void HeapSort(double* Keys, std::ptrdiff_t Lo, std::ptrdiff_t Hi, SwapFn& Swap) {
    const std::ptrdiff_t count = Hi - Lo + 1;
    for (std::ptrdiff_t root = count / 2 - 1; root >= 0; --root)
        SiftDown(Keys, Lo, root, count, Swap);
    for (std::ptrdiff_t end = count - 1; end > 0; --end) {
        Swap(Lo, Lo + end);
        SiftDown(Keys, Lo, 0, end, Swap);
    }
}

// Quicksort with the middle element as pivot; recursion only into the smaller part and a
// heap sort once the depth budget is spent, so that no input goes quadratic or deep.
template <class SwapFn>
void IntroSort(double* Keys, std::ptrdiff_t Lo, std::ptrdiff_t Hi, int Depth, SwapFn& Swap) {
    while (Lo < Hi) {
        if (Depth-- == 0) {
            HeapSort(Keys, Lo, Hi, Swap);
            return;
        }
        const double pivot = Keys[Lo + (Hi - Lo) / 2];
        std::ptrdiff_t i = Lo, j = Hi;
        while (i <= j) {
            while (Keys[i] < pivot)
                ++i;
            while (pivot < Keys[j])
                --j;
            if (i <= j) {
                Swap(i, j);
                ++i;
                --j;
            }
        }
        if (j - Lo < Hi - i) {
            IntroSort(Keys, Lo, j, Depth, Swap);
            Lo = i;
        } else {
            IntroSort(Keys, i, Hi, Depth, Swap);
            Hi = j;
        }
    }
}

void DirectSmooth(const std::vector<double>& T, std::span<double> Y,
                  const std::vector<double>& Source, double Width) {
    const std::size_t n = T.size();
    for (std::size_t i = 0; i < n; ++i) {
        double sum = 0, weights = 0;
        for (std::size_t j = 0; j < n; ++j) {
            const double weight = 1 - std::fabs(T[j] - T[i]) / Width;
            if (weight > 0) {
                sum += weight * Source[j];
                weights += weight;
            }
        }
        Y[i] = weights > 0 ? sum / weights : Source[i];
    }
}

// Running sums over a set of points, relative to a reference position.
struct TWindowSums {
    double Count = 0, U = 0, Y = 0, UY = 0;
    void Add(double u, double y, double Sign) {
        Count += Sign;
        U += Sign * u;
        Y += Sign * y;
        UY += Sign * u * y;
    }
};

// Same sums as DirectSmooth for ascending T with finite values: the points within Width
// of T[i] form a window [lo, hi] that only moves forward. Left of i the weight is
// 1 - (T[i] - T[j]) / Width, right of it 1 - (T[j] - T[i]) / Width; both are linear in T[j],
// so four running sums per side give the weighted sums. The sums are kept relative to a
// reference near T[i] and rebuilt when it drifts, to avoid cancellation.
void SlidingSmooth(const std::vector<double>& T, std::span<double> Y,
                   const std::vector<double>& Source, double Width) {
    const std::ptrdiff_t n = std::ptrdiff_t(T.size());
    TWindowSums left, right;
    double reference = T[0];
    std::ptrdiff_t lo = 0, hi = -1;
    auto rebuild = [&](std::ptrdiff_t i) {
        reference = T[std::size_t(i)];
        left = right = {};
        for (std::ptrdiff_t j = lo; j <= i; ++j)
            left.Add(T[std::size_t(j)] - reference, Source[std::size_t(j)], 1);
        for (std::ptrdiff_t j = i + 1; j <= hi; ++j)
            right.Add(T[std::size_t(j)] - reference, Source[std::size_t(j)], 1);
    };
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double ti = T[std::size_t(i)];
        while (hi + 1 < n && T[std::size_t(hi + 1)] - ti < Width) {
            ++hi;
            right.Add(T[std::size_t(hi)] - reference, Source[std::size_t(hi)], 1);
        }
        right.Add(ti - reference, Source[std::size_t(i)], -1);
        left.Add(ti - reference, Source[std::size_t(i)], 1);
        while (ti - T[std::size_t(lo)] >= Width) {
            left.Add(T[std::size_t(lo)] - reference, Source[std::size_t(lo)], -1);
            ++lo;
        }
        if (std::fabs(ti - reference) > 4 * Width)
            rebuild(i);
        const double u = (ti - reference) / Width;
        const double sum =
            left.Y * (1 - u) + left.UY / Width + right.Y * (1 + u) - right.UY / Width;
        const double weights =
            left.Count * (1 - u) + left.U / Width + right.Count * (1 + u) - right.U / Width;
        Y[std::size_t(i)] = weights > 0 ? sum / weights : Source[std::size_t(i)];
    }
}

void Smooth(std::vector<double> T, std::span<double> Y, double Width) {
    if (T.size() <= 2 || Y.size() != T.size() || !(Width > 0) || !std::isfinite(Width))
        return;
    const std::vector<double> source(Y.begin(), Y.end());
    bool ascending = true;
    for (std::size_t i = 0; i < T.size() && ascending; ++i)
        ascending = std::isfinite(T[i]) && std::isfinite(source[i]) && (i == 0 || T[i - 1] <= T[i]);
    if (ascending)
        SlidingSmooth(T, Y, source, Width);
    else
        DirectSmooth(T, Y, source, Width);
}

} // namespace

void SwapDoubles(double& a, double& b) {
    std::swap(a, b);
}

double PolyEval(std::span<const double> Coefficients, double x) {
    double result = 0;
    for (auto it = Coefficients.rbegin(); it != Coefficients.rend(); ++it)
        result = result * x + *it;
    return result;
}

void BandSolve(std::span<double> Band, int n, int b, int c, std::span<double> Rhs) {
    if (n < 3 || n < b + c)
        throw EVxMathError("Not enough data points to calculate function");
    if (b < 0 || c < 0)
        throw EVxMathError("The dimension of the matrix must be positive");
    const std::size_t width = std::size_t(b) + std::size_t(c) + 1;
    if (Band.size() < std::size_t(n) * width || Rhs.size() < std::size_t(n))
        throw EVxRangeError("Band matrix or right-hand side smaller than the system");
    auto at = [&](int i, int j) -> double& {
        return Band[std::size_t(i) * width + std::size_t(j - i + b)];
    };
    std::vector<char> skipped(std::size_t(n), 0);
    for (int k = 0; k < n; ++k) {
        const double pivot = at(k, k);
        if (!(std::fabs(pivot) >= SmallestSubnormal)) {
            skipped[std::size_t(k)] = 1;
            continue;
        }
        const int lastRow = std::min(n - 1, k + b);
        const int lastColumn = std::min(n - 1, k + c);
        for (int i = k + 1; i <= lastRow; ++i) {
            const double factor = at(i, k) / pivot;
            at(i, k) = factor;
            for (int j = k + 1; j <= lastColumn; ++j)
                at(i, j) -= factor * at(k, j);
        }
    }
    for (int k = 0; k < n; ++k) {
        if (skipped[std::size_t(k)])
            continue;
        const int lastRow = std::min(n - 1, k + b);
        for (int i = k + 1; i <= lastRow; ++i)
            Rhs[std::size_t(i)] -= at(i, k) * Rhs[std::size_t(k)];
    }
    for (int k = n - 1; k >= 0; --k) {
        double sum = Rhs[std::size_t(k)];
        const int lastColumn = std::min(n - 1, k + c);
        for (int j = k + 1; j <= lastColumn; ++j)
            sum -= at(k, j) * Rhs[std::size_t(j)];
        const double x = sum / at(k, k);
        if (!std::isfinite(x))
            throw EVxMathError("The matrix is singular");
        Rhs[std::size_t(k)] = x;
    }
}

void TridiagonalSolve(std::span<const double> Sub, std::span<const double> Diag,
                      std::span<const double> Super, std::span<double> Rhs) {
    const std::size_t n = Diag.size();
    if (n < 2)
        throw EVxMathError("Not enough data, matrix is to small to solve");
    if (Sub.size() < n || Super.size() < n || Rhs.size() < n)
        throw EVxRangeError("Tridiagonal arrays smaller than the system");
    const double tiny = 10 * SmallestSubnormal;
    std::vector<double> upper(n);
    double pivot = Diag[0];
    for (std::size_t i = 0;; ++i) {
        if (!(std::fabs(pivot) >= tiny))
            throw EVxMathError("Matrix is not tridiagonal");
        upper[i] = Super[i] / pivot;
        Rhs[i] = (Rhs[i] - (i > 0 ? Sub[i] * Rhs[i - 1] : 0.0)) / pivot;
        if (i + 1 == n)
            break;
        pivot = Diag[i + 1] - Sub[i + 1] * upper[i];
    }
    for (std::size_t i = n - 1; i-- > 0;)
        Rhs[i] -= upper[i] * Rhs[i + 1];
}

void QuickSort(std::span<double> Keys, std::span<double> Companion1, std::span<double> Companion2) {
    const std::size_t n = Keys.size();
    if (n < 2)
        return;
    if ((!Companion1.empty() && Companion1.size() < n) ||
        (!Companion2.empty() && Companion2.size() < n))
        throw EVxRangeError("Companion array shorter than the keys");
    double* keys = Keys.data();
    double* first = Companion1.empty() ? nullptr : Companion1.data();
    double* second = Companion2.empty() ? nullptr : Companion2.data();
    auto swap = [&](std::ptrdiff_t i, std::ptrdiff_t j) {
        std::swap(keys[i], keys[j]);
        if (first)
            std::swap(first[i], first[j]);
        if (second)
            std::swap(second[i], second[j]);
    };
    const int depth = 2 * std::bit_width(n) + 4;
    IntroSort(keys, 0, std::ptrdiff_t(n) - 1, depth, swap);
}

void TriangularSmooth(std::span<const double> X, std::span<double> Y, double Width) {
    Smooth(std::vector<double>(X.begin(), X.end()), Y, Width);
}

void TriangularSmoothLog(std::span<const double> X, std::span<double> Y, double Width) {
    std::vector<double> t(X.size());
    std::transform(X.begin(), X.end(), t.begin(), [](double x) { return std::log10(x); });
    Smooth(std::move(t), Y, Width);
}
