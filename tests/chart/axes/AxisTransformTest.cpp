// Value-to-pixel transforms and their inverses. Expected pixels are closed forms (see
// ticks_reference.py): pixel = base + (v - Start) / NormalizeConst, mirrored for twisted
// horizontal and plain vertical axes.

#include "axes/AxisTransform.h"

#include "ScaleFixture.h"
#include "axes/TickGeneration.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct TransformCase {
    const char* Name;
    bool Horizontal;
    bool Twisted;
    float Left, Top, Length;
    double Value, Pixel;
};

TVxAxisScale Linear(const TransformCase& c) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Normal, c.Length);
    s.Horizontal = c.Horizontal;
    s.Twisted = c.Twisted;
    s.AxLeft = c.Left;
    s.AxTop = c.Top;
    s.Start = 0;
    s.Stop = 10;
    return s;
}

class LinearTransform : public testing::TestWithParam<TransformCase> {};

TEST_P(LinearTransform, MapsAndInverts) {
    const auto& c = GetParam();
    TVxAxisScale s = Linear(c);
    const TVxAxisTransform t = PrepareTransform(s);
    EXPECT_FLOAT_EQ(t.NumberToWorld(c.Value), float(c.Pixel)) << c.Name;
    EXPECT_NEAR(t.WorldToNumber(float(c.Pixel)), c.Value, 1e-5) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Axes, LinearTransform,
    testing::Values(TransformCase{"horizontal start", true, false, 10, 0, 400, 0, 10},
                    TransformCase{"horizontal quarter", true, false, 10, 0, 400, 2.5, 110},
                    TransformCase{"horizontal stop", true, false, 10, 0, 400, 10, 410},
                    TransformCase{"twisted horizontal start", true, true, 10, 0, 400, 0, 410},
                    TransformCase{"twisted horizontal quarter", true, true, 10, 0, 400, 2.5, 310},
                    TransformCase{"vertical start", false, false, 0, 5, 200, 0, 205},
                    TransformCase{"vertical quarter", false, false, 0, 5, 200, 2.5, 155},
                    TransformCase{"twisted vertical start", false, true, 0, 5, 200, 0, 5},
                    TransformCase{"twisted vertical quarter", false, true, 0, 5, 200, 2.5, 55}));

TEST(AxisTransform, FarAndInvalidValuesTakeTheSentinels) {
    TransformCase c{"", true, false, 10, 0, 400, 0, 0};
    TVxAxisScale s = Linear(c);
    const TVxAxisTransform forward = PrepareTransform(s);
    EXPECT_FLOAT_EQ(forward.NumberToWorld(1e9), 10 + 100000.f);
    EXPECT_FLOAT_EQ(forward.NumberToWorld(-1e9), 10 - 100000.f);
    EXPECT_FLOAT_EQ(forward.NumberToWorld(std::numeric_limits<double>::quiet_NaN()), 10 - 100000.f);
    EXPECT_FLOAT_EQ(forward.NumberToWorld(std::numeric_limits<double>::infinity()), 10 + 100000.f);
    s.Twisted = true;
    const TVxAxisTransform reversed = PrepareTransform(s);
    EXPECT_FLOAT_EQ(reversed.NumberToWorld(1e9), 10 - 100000.f);
    EXPECT_FLOAT_EQ(reversed.NumberToWorld(std::numeric_limits<double>::quiet_NaN()),
                    10 + 100000.f);
}

TEST(AxisTransform, LogarithmicAxis) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log, 300);
    s.Start = 1;
    s.Stop = 1e6;
    s.HasLogScaling = true;
    const TVxAxisTransform t = PrepareTransform(s);
    EXPECT_DOUBLE_EQ(s.NormalizeConst, 6.0 / 300);
    EXPECT_FLOAT_EQ(t.NumberToWorld(1000), 150);
    EXPECT_FLOAT_EQ(t.NumberToWorld(1e6), 300);
    // Non-positive and not-a-number values sit 100 pixels before the start.
    EXPECT_FLOAT_EQ(t.NumberToWorld(0), -100);
    EXPECT_FLOAT_EQ(t.NumberToWorld(-5), -100);
    EXPECT_FLOAT_EQ(t.NumberToWorld(std::numeric_limits<double>::quiet_NaN()), -100);
    EXPECT_NEAR(t.WorldToNumber(150), 1000, 1e-9 * 1000);
    EXPECT_NEAR(t.WorldToNumber(t.NumberToWorld(31.6)), 31.6, 31.6 * 1e-6);
}

// Before 30 December 1899 the day count is not monotonic: the day keeps its number and the
// time of day is subtracted, so 27 December 1899 12:00 is -3.5. Expected values from
// datetime_reference.py.
struct DateCase {
    double Start, Stop;
    float Length;
    float Pixel;
    double Value;
};

class DateTimeTransform : public testing::TestWithParam<DateCase> {};

TEST_P(DateTimeTransform, UsesTheContinuousTimeLine) {
    const auto& c = GetParam();
    TVxAxisScale s = MakeScale(TVxAxisScaling::DateTime, c.Length);
    s.Start = c.Start;
    s.Stop = c.Stop;
    const TVxAxisTransform t = PrepareTransform(s);
    EXPECT_NEAR(t.WorldToNumber(c.Pixel), c.Value, 1e-9);
    EXPECT_NEAR(t.NumberToWorld(c.Value), c.Pixel, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Axes, DateTimeTransform,
                         testing::Values(DateCase{-2, -1, 100, 50, -2.5}, // 1899-12-28 12:00
                                         DateCase{-6, 15, 210, 35, -3.5}, // 1899-12-27 12:00
                                         DateCase{-6, 15, 210, 55, -1.5}, // 1899-12-29 12:00
                                         DateCase{-6, 15, 210, 90, 3.0},  // 1900-01-02
                                         DateCase{45000, 45001, 240, 60, 45000.25}));

} // namespace
