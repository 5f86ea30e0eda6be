// Reference values: regression_reference.py (numpy) and closed forms.
#include "numeric/LeastSquares.h"

#include "util/Exceptions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

void ExpectRel(double Actual, double Expected, double Tol = 1e-9) {
    EXPECT_NEAR(Actual, Expected, Tol * std::max(1.0, std::abs(Expected)));
}

std::string MathMessage(const std::function<void()>& Call) {
    try {
        Call();
    } catch (const EVxMathError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(LeastSquares, PolynomialOrderTwoMatchesReference) {
    const std::vector<double> x{0, 1, 2, 3, 4, 5}, y{1.2, 1.9, 5.1, 10.2, 16.8, 26.1};
    const auto r = PolynomialFit({x, y, {}}, 2);
    ASSERT_EQ(r.Coeffs.size(), 3u);
    ExpectRel(r.Coeffs[0], 1.13571428571);
    ExpectRel(r.Coeffs[1], -0.0735714285714);
    ExpectRel(r.Coeffs[2], 1.01071428571);
    ExpectRel(r.DeltaCoeffs[0], 0.906326967175);
    ExpectRel(r.DeltaCoeffs[1], 0.852517280931);
    ExpectRel(r.DeltaCoeffs[2], 0.163663417677);
    ExpectRel(r.SumOfResiduals, 0.1237142857142859);
    ExpectRel(r.Probability, 0.9997380423861132);
    ExpectRel(r.QRel, 0.17586520812420936);
    ExpectRel(r.AverageX, 2.5);
}

TEST(LeastSquares, BasisFunctionsAndWeights) {
    // y = 3 sin x + 2 cos x exactly; weights must not change an exact fit.
    const TVxBasisFunction basis = [](double X, int Index) {
        return Index == 0 ? std::sin(X) : std::cos(X);
    };
    std::vector<double> x, y, w;
    for (int i = 0; i < 7; ++i) {
        x.push_back(0.5 * i);
        y.push_back(3 * std::sin(0.5 * i) + 2 * std::cos(0.5 * i));
        w.push_back(1 + i);
    }
    const auto r = GeneralLinearLeastSquares({x, y, w}, 1, basis);
    ExpectRel(r.Coeffs[0], 3);
    ExpectRel(r.Coeffs[1], 2);
    EXPECT_NEAR(r.SumOfResiduals, 0, 1e-20);
    ExpectRel(FittedValue(r.Coeffs, basis, 1.25), 3 * std::sin(1.25) + 2 * std::cos(1.25));
}

TEST(LeastSquares, ThroughThreePointsExactlyAndTooFewPoints) {
    const std::vector<double> x{-1, 0, 2}, y{6, 1, 3}; // y = 1 - 3x + 2x^2
    const auto r = PolynomialFit({x, y, {}}, 2);
    ExpectRel(r.Coeffs[0], 1);
    ExpectRel(r.Coeffs[1], -3);
    ExpectRel(r.Coeffs[2], 2);

    const std::vector<double> xr{1, 1, 2};
    EXPECT_EQ(MathMessage([&] {
                  PolynomialFit({xr, y, {}}, 2);
              }),
              "Not enough data points to calculate function");
    const std::vector<double> x2{1, 2};
    EXPECT_EQ(MathMessage([&] {
                  PolynomialFit({x2, x2, {}}, 2);
              }),
              "Not enough data points to calculate function");
    // A zero weight removes a point from the fit.
    const std::vector<double> w{1, 0, 1};
    EXPECT_EQ(MathMessage([&] {
                  PolynomialFit({x, y, w}, 2);
              }),
              "Not enough data points to calculate function");
}

TEST(LeastSquares, RankDeficientGivesMinimumNormSolution) {
    const std::vector<double> x{1, 1, 2, 2}, y{1, 2, 3, 5};
    const auto r = PolynomialFit({x, y, {}}, 2);
    ExpectRel(r.Coeffs[0], 0.35714285714285754, 1e-7);
    ExpectRel(r.Coeffs[1], 0.4642857142857144, 1e-7);
    ExpectRel(r.Coeffs[2], 0.6785714285714285, 1e-7);
    for (double d : r.DeltaCoeffs)
        EXPECT_TRUE(std::isfinite(d));
}

TEST(LeastSquares, OrderIsClamped) {
    std::vector<double> x(5), y(5);
    for (int i = 0; i < 5; ++i)
        x[i] = y[i] = i;
    EXPECT_EQ(PolynomialFit({x, y, {}}, -3).Coeffs.size(), 1u);
    EXPECT_EQ(MathMessage([&] {
                  PolynomialFit({x, y, {}}, 1 << 30);
              }),
              "Not enough data points to calculate function");
}

TEST(SingularValueDecomposition, ValuesAndReconstruction) {
    Eigen::MatrixXd a(3, 2);
    a << 1, 2, 3, 4, 5, 6;
    const Eigen::MatrixXd original = a;
    Eigen::VectorXd w(2);
    Eigen::MatrixXd v(2, 2);
    SingularValueDecomposition(a, w, v);
    ExpectRel(w[0], 9.52551809157);
    ExpectRel(w[1], 0.514300580659);
    EXPECT_LT((a * w.asDiagonal() * v.transpose() - original).norm(), 1e-13);
}

TEST(SingularValueDecomposition, DimensionErrors) {
    Eigen::MatrixXd wide(2, 3);
    wide.setOnes();
    Eigen::VectorXd w3(3), w1(1);
    Eigen::MatrixXd v3(3, 3), v2(2, 2);
    EXPECT_EQ(MathMessage([&] { SingularValueDecomposition(wide, w3, v3); }),
              "SingularValueDecomposition: Matrix has wrong dimension");
    Eigen::MatrixXd tall(3, 2);
    tall.setOnes();
    EXPECT_EQ(MathMessage([&] { SingularValueDecomposition(tall, w1, v2); }),
              "SingularValueDecomposition: Output vector has wrong dimension");
    EXPECT_EQ(MathMessage([&] { SingularValueDecomposition(tall, w3, v3); }),
              "SingularValueDecomposition: Output matrix has wrong dimension");
}
