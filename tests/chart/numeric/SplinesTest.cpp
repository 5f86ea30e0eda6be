// Reference values: splines_reference.py (scipy) and closed forms.
#include "numeric/Splines.h"

#include "util/Exceptions.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::vector<double> X{0.0, 1.0, 2.5, 3.0, 4.5, 6.0, 7.0};
const std::vector<double> Y{1.0, 2.0, 0.5, 1.5, 3.0, 2.0, 2.5};
const std::array<double, 6> Q{0.3, 1.7, 2.6, 4.0, 5.2, 6.9};

struct TReference {
    TVxInterpolationMethod Method;
    std::array<double, 6> Value;
    std::array<double, 6> Slope;
};

} // namespace

TEST(Splines, MatchReferenceCurves) {
    const std::vector<TReference> cases{
        {TVxInterpolationMethod::Akima,
         {1.4974, 1.1904888888888892, 0.6462857142857145, 2.7106227106227108, 2.5924585218702862,
          2.3984264705882357},
         {1.334, -1.816, 1.86, 0.8809523809523809, -1.050276520864756, 0.9491666666666672}},
        {TVxInterpolationMethod::CubicSpline,
         {1.8861830053667266, 0.8862895646988672, 0.6452219439475255, 2.8981150202080435,
          2.588014311270125, 2.340282647584974},
         {1.926455873583781, -1.5807653548002385, 1.685909958258796, 0.5996670642019478,
          -0.8324657125819915, 1.4470497912939784}},
    };
    for (const auto& c : cases) {
        TVxSpline s;
        s.Calculate({X, Y, {}}, c.Method);
        for (std::size_t i = 0; i < Q.size(); ++i) {
            EXPECT_NEAR(s.Interpolate(Q[i]), c.Value[i], 1e-9) << static_cast<int>(c.Method);
            EXPECT_NEAR(s.Slope(Q[i]), c.Slope[i], 1e-9) << static_cast<int>(c.Method);
        }
    }
}

TEST(Splines, CubicIntegralMatchesReference) {
    const std::array<double, 6> expected{0.4489507446332737, 2.9625276776485787, 3.4258892049294376,
                                         6.180567564433844,  9.653566378453588,  13.29363547629696};
    TVxSpline s;
    s.Calculate({X, Y, {}}, TVxInterpolationMethod::CubicSpline);
    for (std::size_t i = 0; i < Q.size(); ++i)
        EXPECT_NEAR(s.Integral(Q[i]), expected[i], 1e-9);
    // Queries in any order give the same answers.
    EXPECT_NEAR(s.Integral(Q[0]), expected[0], 1e-9);
}

TEST(Splines, SmoothingSplineMatchesPenalisedFit) {
    // Minimises sum w (y - s)^2 + integral s''^2 (unit elasticity).
    const std::vector<double> w{1.0, 2.0, 1.0, 0.5, 1.0, 3.0, 1.0};
    const std::array<double, 6> expected{1.4347210692865602, 1.4956821723181961,
                                         1.50172993294142,   1.9781310766775455,
                                         2.1943018230091105, 2.2927939139406153};
    TVxSpline s;
    s.Calculate({X, Y, w}, TVxInterpolationMethod::ApproximativeSpline);
    for (std::size_t i = 0; i < Q.size(); ++i)
        EXPECT_NEAR(s.Interpolate(Q[i]), expected[i], 1e-9);
}

TEST(Splines, EndSlopeOfCubicAndSmoothing) {
    // Not-a-knot reproduces a cubic exactly, the end slope included.
    std::vector<double> x{0, 1, 2, 3, 4}, y;
    for (double v : x)
        y.push_back(v * v * v);
    TVxSpline s;
    s.Calculate({x, y, {}}, TVxInterpolationMethod::CubicSpline);
    EXPECT_NEAR(s.Slope(4), 48, 1e-9);
    EXPECT_NEAR(s.Interpolate(5), 125, 1e-9);
    // A heavily weighted smoothing spline on a straight line is that line, beyond the end too.
    std::vector<double> lx{0, 1, 2, 3, 4, 5}, ly{1, 3, 5, 7, 9, 11};
    s.Calculate({lx, ly, {}}, TVxInterpolationMethod::ApproximativeSpline, 1e6);
    EXPECT_NEAR(s.Slope(5), 2, 1e-9);
    EXPECT_NEAR(s.Interpolate(6), 13, 1e-9);
}

TEST(Splines, UnsortedAndDuplicateX) {
    // Descending order, and a duplicated x whose y values are averaged.
    const std::vector<double> x{7.0, 6.0, 4.5, 3.0, 3.0, 2.5, 1.0, 0.0};
    const std::vector<double> y{2.5, 2.0, 3.0, 1.0, 2.0, 0.5, 2.0, 1.0};
    TVxSpline s, ref;
    for (auto m : {TVxInterpolationMethod::Akima, TVxInterpolationMethod::CubicSpline}) {
        s.Calculate({x, y, {}}, m);
        ref.Calculate({X, Y, {}}, m);
        ASSERT_EQ(s.Count(), 7);
        for (double q : Q) {
            EXPECT_DOUBLE_EQ(s.Interpolate(q), ref.Interpolate(q));
            EXPECT_TRUE(std::isfinite(s.Slope(q)));
        }
    }
}

TEST(Splines, AkimaMirrorImage) {
    // Data mirrored in x give the mirrored curve (the end extrapolation is symmetric).
    const std::vector<double> x{0, 1, 2, 3, 4, 5}, y{0, 0, 0, 1, 1, 1};
    std::vector<double> mx, my;
    for (int i = 5; i >= 0; --i) {
        mx.push_back(-x[i]);
        my.push_back(y[i]);
    }
    TVxSpline a, b;
    a.Calculate({x, y, {}}, TVxInterpolationMethod::Akima);
    b.Calculate({mx, my, {}}, TVxInterpolationMethod::Akima);
    for (double q = 0; q <= 5; q += 0.25)
        EXPECT_NEAR(a.Interpolate(q), b.Interpolate(-q), 1e-12) << q;
    // Flat runs stay flat: Akima does not overshoot.
    EXPECT_DOUBLE_EQ(a.Interpolate(0.5), 0);
    EXPECT_DOUBLE_EQ(a.Interpolate(4.5), 1);
}

TEST(Splines, StraightLineAndIntegralOfConstant) {
    const std::vector<double> x{0, 1, 2}, y{1, 3, 5};
    TVxSpline s;
    s.Calculate({x, y, {}}, TVxInterpolationMethod::Akima);
    for (double q : {0.0, 0.7, 1.5, 2.0}) {
        EXPECT_NEAR(s.Interpolate(q), 1 + 2 * q, 1e-12);
        EXPECT_NEAR(s.Slope(q), 2, 1e-12);
        EXPECT_NEAR(s.Curvature(q), 0, 1e-12);
    }
    const std::vector<double> cx{0, 1, 2, 3, 4}, one(5, 1.0);
    s.Calculate({cx, one, {}}, TVxInterpolationMethod::CubicSpline);
    EXPECT_NEAR(s.Integral(2.5), 2.5, 1e-12);
    EXPECT_NEAR(s.Integral(3), 3, 1e-12);
    EXPECT_NEAR(s.Integral(1), 1, 1e-12);
}

TEST(Splines, ExtremaOfParabolaAndSine) {
    // y = (x - 1.3)^2 - 2: one minimum at 1.3, zeros at 1.3 -+ sqrt(2).
    std::vector<double> x{-1, 0, 1, 2, 3, 4}, y;
    for (double v : x)
        y.push_back((v - 1.3) * (v - 1.3) - 2);
    TVxSpline s;
    s.Calculate({x, y, {}}, TVxInterpolationMethod::CubicSpline);
    std::vector<TVxDoublePoint> mins, maxs;
    s.Extrema(mins, maxs);
    ASSERT_EQ(mins.size(), 1u);
    EXPECT_TRUE(maxs.empty());
    EXPECT_NEAR(mins[0].X, 1.3, 1e-12);
    EXPECT_NEAR(mins[0].Value, -2, 1e-12);
    s.IntegralExtrema(mins, maxs);
    ASSERT_EQ(mins.size(), 1u);
    ASSERT_EQ(maxs.size(), 1u);
    EXPECT_NEAR(maxs[0].X, 1.3 - std::sqrt(2.0), 1e-13); // falling through zero
    EXPECT_NEAR(mins[0].X, 1.3 + std::sqrt(2.0), 1e-13); // rising through zero
    // The integral's maximum is the integral of the parabola from -1 to its first zero.
    const auto F = [](double v) { return std::pow(v - 1.3, 3) / 3 - 2 * v; };
    EXPECT_NEAR(maxs[0].Value, F(maxs[0].X) - F(-1), 1e-12);

    // A cubic y = x^3 - 3x: maximum at -1, minimum at 1, inflection (slope -3) at 0.
    std::vector<double> cx{-2.5, -1.5, -0.5, 0.5, 1.5, 2.5}, cy;
    for (double v : cx)
        cy.push_back(v * v * v - 3 * v);
    s.Calculate({cx, cy, {}}, TVxInterpolationMethod::CubicSpline);
    s.Extrema(mins, maxs);
    ASSERT_EQ(mins.size(), 1u);
    ASSERT_EQ(maxs.size(), 1u);
    EXPECT_NEAR(maxs[0].X, -1, 1e-12);
    EXPECT_NEAR(mins[0].X, 1, 1e-12);
    s.DifferentialExtrema(mins, maxs);
    ASSERT_EQ(mins.size(), 1u);
    EXPECT_TRUE(maxs.empty());
    EXPECT_NEAR(mins[0].X, 0, 1e-12);
    EXPECT_NEAR(mins[0].Value, -3, 1e-12);
}

TEST(Splines, TooFewPoints) {
    const std::vector<double> x5{0, 1, 2, 3, 4}, x6{0, 1, 2, 3, 4, 5};
    const std::vector<double> x2{0, 1}, dup{1, 1, 2, 2};
    auto message = [](const std::vector<double>& x, TVxInterpolationMethod m) -> std::string {
        TVxSpline s;
        try {
            s.Calculate({x, x, {}}, m);
        } catch (const EVxMathError& e) {
            return e.what();
        }
        return "ok";
    };
    const std::string notEnough = "Not enough data points to calculate function";
    EXPECT_EQ(message(x5, TVxInterpolationMethod::ApproximativeSpline), notEnough);
    EXPECT_EQ(message(x6, TVxInterpolationMethod::ApproximativeSpline), "ok");
    EXPECT_EQ(message(x2, TVxInterpolationMethod::Akima), notEnough);
    EXPECT_EQ(message(dup, TVxInterpolationMethod::CubicSpline), notEnough);
}

TEST(Splines, ExtremumOnAKnotIsListedOnce) {
    // An extremum (or inflection) exactly on a knot ends one segment and starts the next;
    // it is listed once. References: splines_reference.py.
    struct TCase {
        TVxInterpolationMethod Method;
        bool Inflections; // DifferentialExtrema, else Extrema
        std::vector<double> X, Y;
        std::vector<TVxDoublePoint> Minima, Maxima;
    };
    const std::vector<TCase> cases{
        {TVxInterpolationMethod::Akima,
         false,
         {0, 1, 2, 3, 4},
         {-3, 3, -3, -1, -3},
         {{2, -3}},
         {{0.927443327708, 3.043304819889985}, {2.952380952381, -0.9843789367598896}}},
        {TVxInterpolationMethod::CubicSpline,
         true,
         {0, 0.1, 0.2, 0.30000000000000004, 0.4, 0.5, 0.6000000000000001},
         {0, -3, -1, 1, 2, 0, -1},
         {{0.3, 17.91666666666666}, {0.482608695652, -25.452898550724647}},
         {{0.18, 25.416666666666664}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Method));
        TVxSpline s;
        s.Calculate({c.X, c.Y, {}}, c.Method);
        std::vector<TVxDoublePoint> mins, maxs;
        if (c.Inflections)
            s.DifferentialExtrema(mins, maxs);
        else
            s.Extrema(mins, maxs);
        ASSERT_EQ(mins.size(), c.Minima.size());
        ASSERT_EQ(maxs.size(), c.Maxima.size());
        for (std::size_t i = 0; i < mins.size(); ++i) {
            EXPECT_NEAR(mins[i].X, c.Minima[i].X, 1e-9);
            EXPECT_NEAR(mins[i].Value, c.Minima[i].Value, 1e-7);
        }
        for (std::size_t i = 0; i < maxs.size(); ++i) {
            EXPECT_NEAR(maxs[i].X, c.Maxima[i].X, 1e-9);
            EXPECT_NEAR(maxs[i].Value, c.Maxima[i].Value, 1e-7);
        }
    }
}

TEST(Splines, EvaluateGivesTheSingleQueries) {
    TVxSpline s;
    std::vector<double> out(1);
    s.Evaluate(TVxSplineValue::Curve, std::vector<double>{1.0}, out);
    EXPECT_EQ(out[0], 0.0); // no curve yet
    s.Calculate({X, Y, {}}, TVxInterpolationMethod::Akima);
    // Ascending with repeats, far jumps, before and past the knots, then out of order and NaN.
    std::vector<double> q{-3, -1e-300, 0, 0, 0.5, 1, 1, 2.4999, 2.5, 6.99, 7, 7, 40};
    for (int i = 0; i <= 200; ++i)
        q.push_back(i * 0.035);
    q.insert(q.end(), {3.1, 0.2, std::nan(""), 5.5, 100, -100});
    const struct {
        TVxSplineValue What;
        double (TVxSpline::*Single)(double) const;
    } kinds[] = {{TVxSplineValue::Curve, &TVxSpline::Interpolate},
                 {TVxSplineValue::Slope, &TVxSpline::Slope},
                 {TVxSplineValue::Curvature, &TVxSpline::Curvature},
                 {TVxSplineValue::Integral, &TVxSpline::Integral}};
    for (const auto& k : kinds) {
        std::vector<double> y(q.size());
        s.Evaluate(k.What, q, y);
        for (std::size_t i = 0; i < q.size(); ++i) {
            const double single = (s.*k.Single)(q[i]);
            if (std::isnan(single))
                EXPECT_TRUE(std::isnan(y[i])) << i;
            else
                EXPECT_EQ(y[i], single) << int(k.What) << " at " << q[i];
        }
    }
}
