// Reference values: regression_reference.py (numpy) and closed forms.
#include "numeric/LinearRegression.h"

#include "util/Exceptions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

constexpr double MaxDouble = std::numeric_limits<double>::max();

void ExpectRel(double Actual, double Expected, double Tol = 1e-9) {
    EXPECT_NEAR(Actual, Expected, Tol * std::max(1.0, std::abs(Expected)));
}

void ExpectFiniteAll(const TVxLinearRegressionResult& r) {
    for (double v : {r.Slope, r.DeltaSlope, r.Offset, r.DeltaOffset, r.AverageX, r.AverageY,
                     r.VarianceX, r.VarianceY, r.Probability, r.Correlation, r.SumOfResiduals})
        EXPECT_FALSE(std::isnan(v));
}

const std::vector<double> X{1, 2, 3, 4, 5, 6};
const std::vector<double> Y{2.1, 3.9, 6.2, 7.8, 10.1, 12.2};

} // namespace

TEST(LinearRegression, FreeOffsetMatchesReference) {
    const auto r = LinearRegression({X, Y, {}});
    ExpectRel(r.Slope, 2.02);
    ExpectRel(r.Offset, -0.02);
    ExpectRel(r.SumOfResiduals, 0.128);
    ExpectRel(r.Correlation, 0.999104932481);
    ExpectRel(r.DeltaSlope, 0.0427617987060);
    ExpectRel(r.DeltaOffset, 0.166533279957);
    ExpectRel(r.Probability, 0.9982106661074999);
    ExpectRel(r.AverageX, 3.5);
    ExpectRel(r.AverageY, 7.05);
    ExpectRel(r.VarianceX, 3.5);
    ExpectRel(r.VarianceY, 14.307);
}

TEST(LinearRegression, WeightedMatchesReference) {
    const std::vector<double> w{1, 2, 3, 4, 5, 6};
    const auto r = LinearRegression({X, Y, w});
    ExpectRel(r.Slope, 2.0414285714285714);
    ExpectRel(r.Offset, -0.11285714285714299);
    ExpectRel(r.SumOfResiduals, 0.42657142857142977);
    ExpectRel(r.DeltaSlope, 0.021933891495427606);
    ExpectRel(r.DeltaOffset, 0.10051371806274514);
}

TEST(LinearRegression, FixedOffsetFitsSlopeOnly) {
    const auto r = LinearRegression({X, Y, {}}, true, 0.5);
    ExpectRel(r.Slope, 1.9);
    EXPECT_EQ(r.Offset, 0.5);
    EXPECT_EQ(r.DeltaOffset, 0.0);
    EXPECT_EQ(r.Correlation, 0.0);
    ExpectRel(r.SumOfResiduals, 0.44);
    ExpectRel(r.DeltaSlope, 0.031097153680569638);
    ExpectRel(r.Probability, 0.9938491647445307);
}

TEST(LinearRegression, ExactLineThroughThreePoints) {
    const std::vector<double> x{0, 1, 2}, y{1, 3, 5};
    const auto r = LinearRegression({x, y, {}});
    ExpectRel(r.Slope, 2);
    ExpectRel(r.Offset, 1);
    EXPECT_NEAR(r.SumOfResiduals, 0, 1e-24);
    ExpectRel(r.Probability, 1);
    ExpectRel(r.Correlation, 1);
}

TEST(LinearRegression, TooFewPointsRaise) {
    const std::vector<double> one{1};
    EXPECT_THROW(
        {
            try {
                LinearRegression({one, one, {}});
            } catch (const EVxMathError& e) {
                EXPECT_STREQ(e.what(), "Not enough data points to calculate function");
                throw;
            }
        },
        EVxMathError);
}

// Degenerate inputs: each gives its fallback values and never a NaN.
TEST(LinearRegression, DegenerateDataGiveFallbacks) {
    { // all x equal: vertical line
        const std::vector<double> x{2, 2, 2}, y{1, 2, 3};
        const auto r = LinearRegression({x, y, {}});
        ExpectFiniteAll(r);
        EXPECT_EQ(r.Slope, MaxDouble);
        EXPECT_EQ(r.Offset, MaxDouble);
        EXPECT_EQ(r.Correlation, 1);
        EXPECT_EQ(r.Probability, 1);
        EXPECT_EQ(r.SumOfResiduals, 0);
        EXPECT_EQ(r.DeltaSlope, 0);
    }
    { // all y equal: flat line
        const std::vector<double> x{1, 2, 3, 4}, y{5, 5, 5, 5};
        const auto r = LinearRegression({x, y, {}});
        ExpectFiniteAll(r);
        EXPECT_EQ(r.Slope, 0);
        EXPECT_EQ(r.Offset, 5);
        EXPECT_EQ(r.Correlation, 1);
        EXPECT_EQ(r.Probability, 1);
    }
    { // two points: total weight 2 has no error estimate
        const std::vector<double> x{1, 3}, y{1, 5};
        const auto r = LinearRegression({x, y, {}});
        ExpectFiniteAll(r);
        ExpectRel(r.Slope, 2);
        ExpectRel(r.Offset, -1);
        EXPECT_EQ(r.DeltaSlope, 0);
        EXPECT_EQ(r.DeltaOffset, 0);
    }
    { // total weight below 1: no variances, the slope is still fitted
        const std::vector<double> x{0, 1, 2}, y{1, 2, 4}, w{0.25, 0.25, 0.25};
        const auto r = LinearRegression({x, y, w});
        ExpectFiniteAll(r);
        ExpectRel(r.Slope, 1.5);
        EXPECT_EQ(r.VarianceX, 0);
        EXPECT_EQ(r.VarianceY, 0);
        EXPECT_EQ(r.DeltaSlope, 0);
    }
    { // all weights zero
        const std::vector<double> x{1, 2, 3}, y{1, 2, 4}, w{0, 0, 0};
        const auto r = LinearRegression({x, y, w});
        ExpectFiniteAll(r);
        EXPECT_EQ(r.AverageX, 0);
        EXPECT_EQ(r.Slope, MaxDouble);
    }
    { // fixed offset with all x zero and constant y
        const std::vector<double> x{0, 0, 0}, y{1, 1, 1};
        const auto r = LinearRegression({x, y, {}}, true, 0);
        ExpectFiniteAll(r);
        EXPECT_EQ(r.SumOfResiduals, 0);
        EXPECT_EQ(r.DeltaSlope, 0);
        EXPECT_EQ(r.Probability, 1);
    }
}
