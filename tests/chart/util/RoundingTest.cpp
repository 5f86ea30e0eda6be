#include "util/Rounding.h"

#include "QStringPrinter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// The exponent printf writes for "%.6E", the reference for DecimalExponent.
int PrintfExponent(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6E", x);
    return std::atoi(std::strchr(buffer, 'E') + 1);
}

void ExpectRelative(double Actual, double Expected, const char* Context) {
    EXPECT_NEAR(Actual, Expected, std::fabs(Expected) * 1e-12) << Context;
}

} // namespace

TEST(RoundingTest, PowersOfTen) {
    EXPECT_EQ(PowerOfTen(0), 1);
    EXPECT_EQ(PowerOfTen(3), 1000);
    EXPECT_EQ(PowerOfTen(22), 1e22);
    EXPECT_EQ(PowerOfTen(-3), 0.001);
    EXPECT_EQ(PowerOfTen(-5), 1e-5);
    EXPECT_EQ(PowerOfTen(308), 1e308);
    EXPECT_EQ(PowerOfTen(309), MaxDouble);
    EXPECT_EQ(PowerOfTen(-400), 0);

    EXPECT_EQ(Exp10(0), 1);
    EXPECT_EQ(Exp10(2), 100);
    EXPECT_EQ(Exp10(-1), 0.1);
    EXPECT_NEAR(Exp10(0.5), std::sqrt(10.0), 1e-15);
    EXPECT_EQ(Exp10(400), MaxDouble);
    EXPECT_EQ(Exp10(Inf), MaxDouble);
    EXPECT_EQ(Exp10(-Inf), 0);
    EXPECT_TRUE(std::isnan(Exp10(NaN)));

    EXPECT_DOUBLE_EQ(ScaleDown(2, 1234), 12.34);
    EXPECT_EQ(ScaleDown(0, 0.3), 0.3);
    EXPECT_DOUBLE_EQ(ScaleDown(-1, 0.12), 1.2);
}

TEST(RoundingTest, DecimalExponentFollowsSevenDigitExponentText) {
    const struct {
        double Value;
        int Exponent;
    } cases[] = {{0, 0},         {9.9999999, 1}, {9.9999994, 0}, {-0.00123, -3}, {12345, 4},
                 {1e-300, -300}, {NaN, 0},       {Inf, 0},       {-Inf, 0},      {-0.0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DecimalExponent(c.Value), c.Exponent) << c.Value;

    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        const double x = mantissa(random) * std::pow(10.0, exponent(random));
        ASSERT_EQ(DecimalExponent(x), PrintfExponent(x)) << x;
        ASSERT_EQ(DecimalExponent(-x), PrintfExponent(-x)) << x;
    }
}

TEST(RoundingTest, RoundToStepWithTolerance) {
    const struct {
        bool Up;
        int N;
        double Step, Value, Expected;
    } cases[] = {
        {true, 0, 0.2, 0.4000001, 0.4}, {true, 0, 0.2, 0.41, 0.6},       {true, 0, 0.2, 0.4, 0.4},
        {false, 1, 0.5, 12, 10},        {false, 0, 0.2, 0.3999999, 0.4}, {false, 0, 0.2, 0.39, 0.2},
        {true, -1, 5, 0.12, 0.5},       {true, 2, 1, 250, 300},          {false, 2, 1, 250, 200},
        {true, 0, 1, -2.5, -2},         {false, 0, 1, -2.5, -3},
    };
    for (const auto& c : cases) {
        const double result =
            c.Up ? RoundUpToStep(c.N, c.Step, c.Value) : RoundDownToStep(c.N, c.Step, c.Value);
        EXPECT_NEAR(result, c.Expected, 1e-12) << (c.Up ? "up " : "down ") << c.Value;
    }
    EXPECT_EQ(RoundUpToStep(0, 0, 0.123), 0.123);
    EXPECT_EQ(RoundDownToStep(3, NaN, 7.5), 7.5);
}

TEST(RoundingTest, SignificantDigitsOfSixteenDigitText) {
    const struct {
        double Value;
        int Digits;
    } cases[] = {{0.25, 2},     {1, 1},    {0.125, 3}, {0, 0},   {123.456, 6},
                 {1.0 / 3, 16}, {-0.5, 1}, {1e300, 1}, {NaN, 0}, {0.1, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(SignificantDigits(c.Value), c.Digits) << c.Value;
}

TEST(RoundingTest, LogarithmicRounding) {
    const struct {
        double Part, MajorPart, Value, Up, Down;
    } cases[] = {
        {0.1, 1, 350, 400, 300},    {0.1, 1, 0.035, 0.04, 0.03}, {0.1, 1, 0.0123, 0.02, 0.01},
        {0.1, 1, 0.05, 0.05, 0.05}, {1, 1, 350, 1000, 100},      {1, 1, 0.035, 0.1, 0.01},
        {1, 1, 1000, 1000, 1000},   {0.1, 1, 1000, 1000, 1000},  {0.2, 1, 350, 400, 200},
        {1, 3, 350, 1000, 1},       {1, 3, 0.035, 1, 0.001},     {1, 3, 5e4, 1e6, 1000},
        {1, 3, 1000, 1000, 1000},
    };
    for (const auto& c : cases) {
        ExpectRelative(LogRoundUp(c.Part, c.MajorPart, c.Value), c.Up, "up");
        ExpectRelative(LogRoundDown(c.Part, c.MajorPart, c.Value), c.Down, "down");
    }
    EXPECT_EQ(LogRoundUp(0.1, 1, 0), 0);
    EXPECT_EQ(LogRoundDown(0.1, 1, -5), -5);
}
