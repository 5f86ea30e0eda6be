#include "util/Kernels.h"

#include "QStringPrinter.h"
#include "util/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

namespace {

// The weighted means computed directly from the definition, as the reference.
std::vector<double> ReferenceSmooth(const std::vector<double>& T, const std::vector<double>& Y,
                                    double Width) {
    std::vector<double> out(Y.size());
    for (std::size_t i = 0; i < T.size(); ++i) {
        double sum = 0, weights = 0;
        for (std::size_t j = 0; j < T.size(); ++j) {
            const double w = 1 - std::fabs(T[j] - T[i]) / Width;
            if (w > 0) {
                sum += w * Y[j];
                weights += w;
            }
        }
        out[i] = sum / weights;
    }
    return out;
}

template <class Fn> void ExpectMathError(Fn&& Call, const char* Message) {
    try {
        Call();
        ADD_FAILURE() << "no exception, expected: " << Message;
    } catch (const EVxMathError& e) {
        EXPECT_EQ(e.Message(), Message);
    }
}

} // namespace

TEST(KernelsTest, SwapAndPolynomial) {
    double a = 1, b = 2;
    SwapDoubles(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    const std::vector<double> c{1, 2, 3}; // 1 + 2x + 3x^2
    EXPECT_EQ(PolyEval(c, 2), 17);
    EXPECT_EQ(PolyEval(c, -1), 2);
    EXPECT_EQ(PolyEval({}, 5), 0);
}

TEST(KernelsTest, BandSolveKnownSystems) {
    // [[2,1,0,0],[1,2,1,0],[0,1,2,1],[0,0,1,2]] x = (4,8,12,11) has x = (1,2,3,4).
    std::vector<double> band{0, 2, 1, 1, 2, 1, 1, 2, 1, 1, 2, 0};
    std::vector<double> rhs{4, 8, 12, 11};
    BandSolve(band, 4, 1, 1, rhs);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(rhs[std::size_t(i)], i + 1, 1e-12);

    // Lower triangular [[1,0,0],[2,1,0],[3,2,1]] x = (1,3,6) has x = (1,1,1).
    std::vector<double> lower{0, 0, 1, 0, 2, 1, 3, 2, 1};
    std::vector<double> rhs2{1, 3, 6};
    BandSolve(lower, 3, 2, 0, rhs2);
    for (double x : rhs2)
        EXPECT_NEAR(x, 1, 1e-12);

    std::vector<double> big(100, 1), r(10, 1);
    ExpectMathError([&] { BandSolve(big, 2, 0, 0, r); },
                    "Not enough data points to calculate function");
    ExpectMathError([&] { BandSolve(big, 3, 2, 2, r); },
                    "Not enough data points to calculate function");
    ExpectMathError([&] { BandSolve(big, 5, -1, 1, r); },
                    "The dimension of the matrix must be positive");
    // A zero pivot column is skipped in the elimination; the solution would divide by 0.
    std::vector<double> singular{0, 0, 1, 1, 2, 1, 1, 2, 0};
    std::vector<double> r3{1, 2, 3};
    ExpectMathError([&] { BandSolve(singular, 3, 1, 1, r3); }, "The matrix is singular");
}

TEST(KernelsTest, TridiagonalSolveKnownSystem) {
    const std::vector<double> sub{0, 1, 1, 1}, diag{2, 2, 2, 2}, super{1, 1, 1, 0};
    std::vector<double> rhs{4, 8, 12, 11};
    TridiagonalSolve(sub, diag, super, rhs);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(rhs[std::size_t(i)], i + 1, 1e-12);

    std::vector<double> one{1};
    ExpectMathError([&] { TridiagonalSolve(one, one, one, one); },
                    "Not enough data, matrix is to small to solve");
    const std::vector<double> zeroPivot{0, 2};
    std::vector<double> r{1, 1};
    ExpectMathError([&] { TridiagonalSolve(sub, zeroPivot, super, r); },
                    "Matrix is not tridiagonal");
    // The second pivot 1 - 1*1/1 is 0.
    const std::vector<double> ones{1, 1};
    ExpectMathError([&] { TridiagonalSolve(ones, ones, ones, r); }, "Matrix is not tridiagonal");
}

TEST(KernelsTest, QuickSortCarriesCompanions) {
    std::vector<double> keys{3, 1, 2, -5, 2.5}, first{30, 10, 20, -50, 25},
        second{300, 100, 200, -500, 250};
    QuickSort(keys, first, second);
    EXPECT_EQ(keys, (std::vector<double>{-5, 1, 2, 2.5, 3}));
    EXPECT_EQ(first, (std::vector<double>{-50, 10, 20, 25, 30}));
    EXPECT_EQ(second, (std::vector<double>{-500, 100, 200, 250, 300}));

    // Sorted, reversed, equal, organ-pipe and random inputs of a million values: a
    // quadratic or deeply recursing sort would not finish or would overflow the stack.
    const std::size_t n = 1000000;
    std::mt19937_64 random(3);
    std::vector<std::vector<double>> inputs(5, std::vector<double>(n));
    for (std::size_t i = 0; i < n; ++i) {
        inputs[0][i] = double(i);
        inputs[1][i] = double(n - i);
        inputs[2][i] = 7;
        inputs[3][i] = double(i < n / 2 ? i : n - i);
        inputs[4][i] = double(random() % 1000);
    }
    for (auto& input : inputs) {
        std::vector<double> expected = input;
        std::sort(expected.begin(), expected.end());
        std::vector<double> companion(n);
        std::iota(companion.begin(), companion.end(), 0.0);
        const std::vector<double> original = input;
        QuickSort(input, companion);
        ASSERT_EQ(input, expected);
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_EQ(original[std::size_t(companion[i])], input[i]);
    }
}

TEST(KernelsTest, TriangularSmoothing) {
    std::vector<double> x{0, 1, 2}, y{0, 3, 6};
    TriangularSmooth(x, y, 2);
    EXPECT_DOUBLE_EQ(y[0], 1);
    EXPECT_DOUBLE_EQ(y[1], 3);
    EXPECT_DOUBLE_EQ(y[2], 5);

    // Sorted x with duplicates and gaps, small and large widths, compared with the
    // definition (the sliding sums must give the same results).
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> step(0, 1), value(-10, 10);
    std::vector<double> t(3000), v(3000);
    double position = 45000; // date-time sized offsets
    for (std::size_t i = 0; i < t.size(); ++i) {
        position += i % 100 == 0 ? 50 : (i % 7 == 0 ? 0 : step(random));
        t[i] = position;
        v[i] = value(random);
    }
    for (double width : {0.3, 2.5, 40.0, 1e6}) {
        std::vector<double> smoothed = v;
        TriangularSmooth(t, smoothed, width);
        const std::vector<double> expected = ReferenceSmooth(t, v, width);
        for (std::size_t i = 0; i < t.size(); ++i)
            ASSERT_NEAR(smoothed[i], expected[i], 1e-9) << "width " << width << " i " << i;
    }
    // Unsorted x gives the same definition.
    std::vector<double> ux{2, 0, 1}, uy{6, 0, 3};
    TriangularSmooth(ux, uy, 2);
    EXPECT_DOUBLE_EQ(uy[0], 5);
    EXPECT_DOUBLE_EQ(uy[1], 1);

    // Logarithmic distances: 1, 10, 100 are one decade apart.
    std::vector<double> lx{1, 10, 100}, ly{0, 3, 6};
    TriangularSmoothLog(lx, ly, 2);
    EXPECT_DOUBLE_EQ(ly[0], 1);
    EXPECT_DOUBLE_EQ(ly[2], 5);

    // Too few points or no width: unchanged.
    std::vector<double> two{1, 2}, twoY{5, 9};
    TriangularSmooth(two, twoY, 1);
    EXPECT_EQ(twoY, (std::vector<double>{5, 9}));
    std::vector<double> same{0, 3, 6};
    TriangularSmooth(x, same, 0);
    EXPECT_EQ(same, (std::vector<double>{0, 3, 6}));
}
