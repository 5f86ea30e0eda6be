// Reference values: regression_reference.py (the least-squares line) and closed forms.
#include "numeric/SimplexFit.h"

#include "util/Exceptions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::vector<double> X{1, 2, 3, 4, 5, 6};
const std::vector<double> Y{2.1, 3.9, 6.2, 7.8, 10.1, 12.2};

const TVxFittingFunction Line = [](double x, const std::vector<double>& c) {
    return c[0] * x + c[1];
};

std::string MathMessage(const std::function<void()>& Call) {
    try {
        Call();
    } catch (const EVxMathError& e) {
        return e.what();
    }
    return "ok";
}

} // namespace

TEST(SimplexFit, LineReachesLeastSquaresAndCountsSteps) {
    TVxSimplexFit fit;
    fit.Model = Line;
    fit.SetOrder(2);
    int calls = 0;
    fit.OnIteration = [&] { ++calls; };
    fit.Calculate({X, Y, {}});
    EXPECT_NEAR(fit.Coefficients()[0], 2.02, 1e-6);
    EXPECT_NEAR(fit.Coefficients()[1], -0.02, 1e-6);
    EXPECT_EQ(calls, 301);
    EXPECT_EQ(fit.CurrentIteration(), -1);
    // The reported misfit is that of the reported coefficients.
    double chi = 0;
    for (std::size_t i = 0; i < X.size(); ++i)
        chi += std::pow(Y[i] - Line(X[i], fit.Coefficients()), 2);
    EXPECT_DOUBLE_EQ(fit.SumOfResiduals(), chi);
    EXPECT_NEAR(fit.SumOfResiduals(), 0.128, 1e-9);
    EXPECT_NEAR(fit.Probability(), 0.9982106661074999, 1e-9);
    EXPECT_DOUBLE_EQ(fit.AverageX(), 3.5);
    EXPECT_DOUBLE_EQ(fit.VarianceX(), 3.5);
}

TEST(SimplexFit, StopExactFitAndZeroBudget) {
    TVxSimplexFit fit;
    fit.Model = Line;
    fit.SetCoefficients({1, 1});
    int calls = 0;
    fit.OnIteration = [&] {
        if (++calls == 3)
            fit.StopIterations();
    };
    fit.Calculate({X, Y, {}});
    EXPECT_EQ(calls, 3);

    // A start that fits exactly takes no step.
    const std::vector<double> ones(6, 1.0);
    fit.Model = [](double, const std::vector<double>& c) { return c[0]; };
    fit.SetCoefficients({1});
    calls = 0;
    fit.Calculate({X, ones, {}});
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(fit.Coefficients()[0], 1);
    EXPECT_EQ(fit.SumOfResiduals(), 0);

    // Budget 0: nothing changes.
    fit.Iterations = 0;
    fit.SetCoefficients({7});
    fit.Calculate({X, Y, {}});
    EXPECT_EQ(fit.Coefficients()[0], 7);
}

TEST(SimplexFit, NotANumberMisfitIsNeverBest) {
    // The model is undefined for a < 1.5; the fit of y = 2x^... must avoid those vertices.
    TVxSimplexFit fit;
    fit.Model = [](double x, const std::vector<double>& c) {
        return c[0] < 1.5 ? std::nan("") : c[0] * x;
    };
    fit.SetCoefficients({1.6});
    const std::vector<double> y{2, 4, 6, 8, 10, 12};
    fit.Calculate({X, y, {}});
    EXPECT_NEAR(fit.Coefficients()[0], 2, 1e-9);
    EXPECT_TRUE(std::isfinite(fit.SumOfResiduals()));
}

TEST(SimplexFit, CovarianceModeFitsExactLine) {
    std::vector<double> x, y;
    for (int i = 0; i < 8; ++i) {
        x.push_back(i);
        y.push_back(2 * i + 1 + (i == 5 ? 0.5 : 0.0)); // one rise, one fall, one rise
    }
    TVxSimplexFit fit;
    fit.Model = Line;
    fit.DoCovariance = true;
    fit.SetCoefficients({1, 1});
    fit.Calculate({x, y, {}});
    EXPECT_TRUE(fit.DoCovariance);
    EXPECT_NEAR(fit.Coefficients()[0], 2, 0.05);
    EXPECT_NEAR(fit.Coefficients()[1], 1, 0.2);
}

TEST(SimplexFit, Errors) {
    TVxSimplexFit fit;
    EXPECT_EQ(MathMessage([&] {
                  fit.Calculate({X, Y, {}});
              }),
              "No FittingFunction or Expression defined");
    fit.Model = Line;
    EXPECT_EQ(MathMessage([&] { fit.Calculate({X, Y, {}}); }), "SimplexFit: no order set!");
    fit.SetOrder(2);
    const std::vector<double> one{1};
    EXPECT_EQ(MathMessage([&] {
                  fit.Calculate({one, one, {}});
              }),
              "Not enough data points to calculate function");
    const std::vector<double> x{1, 1, 2, 2}, y{1, 2, 3, 4};
    fit.DoCovariance = true;
    EXPECT_EQ(MathMessage([&] {
                  fit.Calculate({x, y, {}});
              }),
              "SimplexFit: DoCovariance, reciprocal indefinite!");
    EXPECT_FALSE(fit.DoCovariance);
    fit.SetOrder(1 << 30);
    EXPECT_EQ(fit.Order(), MaxCoefficientCount);
}

TEST(SimplexFit, ExpressionOrder) {
    const struct {
        const char* Text;
        int Iterations;
        const char* Expected; // order, or the message
    } cases[] = {
        {"a*x+b", 300, "2"},
        {"a * x + b", 300, "2"},
        {"c*x", 300, "3"},
        {"e*exp(x)", 300, "5"},
        {"p*x+abs(x)", 300, "16"},
        {"x^2", 0, "0"},
        {"x^2", 300, "Expression must contain a variable a..p"},
        {"2^a", 300, "Expression must contain the independent variable X!"},
        {"exp(a)", 0, "Expression must contain the independent variable X!"},
    };
    for (const auto& c : cases) {
        std::string got;
        try {
            got = std::to_string(FittingExpressionOrder(c.Text, c.Iterations));
        } catch (const EVxMathError& e) {
            got = e.what();
        }
        EXPECT_EQ(got, c.Expected) << c.Text;
    }
}
