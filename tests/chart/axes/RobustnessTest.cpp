// Inputs that used to hang the partition or the tick loops, or gave non-finite geometry:
// each returns with finite Start < Stop and finite tick pixels.

#include "ScaleFixture.h"
#include "axes/EndRounding.h"
#include "axes/SecondsScale.h"
#include "axes/TickGeneration.h"
#include "axes/TickPartition.h"
#include "util/Rounding.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct HostileCase {
    const char* Name;
    TVxAxisScaling Scaling;
    double Start, Stop;
    double LogToNormal;
    double ControlLength;
};

class HostileRange : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileRange, EndsFiniteAndOrdered) {
    const auto& c = GetParam();
    TVxAxisScale s = MakeScale(c.Scaling);
    s.LogToNormalScalingLevel = c.LogToNormal;
    TVxScaleContext context = MakeContext(c.ControlLength);
    context.SmallestPositive = [] { return -1.0; }; // series without positive values
    double start = c.Start, stop = c.Stop;
    RoundEnds(s, context, start, stop);
    ASSERT_TRUE(std::isfinite(start) && std::isfinite(stop)) << c.Name;
    EXPECT_LT(start, stop) << c.Name;
    s.Start = start;
    s.Stop = stop;
    TVxTickList t;
    CalculateTicks(s, context, t);
    EXPECT_TRUE(std::isfinite(s.NormalizeConst)) << c.Name;
    EXPECT_LE(t.Ticks.size(), 100000u) << c.Name;
    for (float p : t.Ticks)
        ASSERT_TRUE(std::isfinite(p)) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Axes, HostileRange,
    testing::Values(
        // Drawn linearly after the start became the stop: used to loop for ever.
        HostileCase{"log drawn linearly, data -5 .. 100", TVxAxisScaling::Log, -5, 100, 3, 400},
        HostileCase{"NaN start", TVxAxisScaling::Normal, NaN, 5, 0, 400},
        HostileCase{"both NaN", TVxAxisScaling::Normal, NaN, NaN, 0, 400},
        HostileCase{"infinite stop", TVxAxisScaling::Normal, 0, Inf, 0, 400},
        HostileCase{"whole double range", TVxAxisScaling::Normal, -MaxDouble, MaxDouble, 0, 400},
        HostileCase{"tiny span", TVxAxisScaling::Normal, 1, 1 + 1e-15, 0, 400},
        HostileCase{"denormal span", TVxAxisScaling::Normal, 0, 5e-324, 0, 400},
        HostileCase{"huge values", TVxAxisScaling::Normal, 1e299, 1e300, 0, 400},
        HostileCase{"log whole range", TVxAxisScaling::Log, 1e-300, 1e300, 0, 400},
        HostileCase{"log label wider than axis", TVxAxisScaling::Log, 1.234567e-5, 9.87654e7, 0, 5},
        HostileCase{"LogEE NaN", TVxAxisScaling::LogEE, NaN, NaN, 0, 400},
        HostileCase{"linear label wider than axis", TVxAxisScaling::Normal, -123456, 7654321, 0, 1},
        HostileCase{"seconds negative", TVxAxisScaling::Seconds, -50, -10, 0, 400},
        HostileCase{"seconds equal", TVxAxisScaling::Seconds, 7, 7, 0, 400},
        HostileCase{"seconds huge", TVxAxisScaling::Seconds, 0, 1e300, 0, 400},
        HostileCase{"date reversed", TVxAxisScaling::DateTime, 45000, 44000, 0, 400},
        HostileCase{"date at the upper limit", TVxAxisScaling::DateTime, 3e6, 3e6, 0, 400},
        HostileCase{"date NaN", TVxAxisScaling::DateTime, NaN, 1, 0, 400},
        HostileCase{"date whole range", TVxAxisScaling::DateTime, -1e9, 1e9, 0, 2},
        HostileCase{"rubrics NaN", TVxAxisScaling::Rubrics, NaN, Inf, 0, 400}));

TEST(Choosers, ReturnAtOnceForEmptyRanges) {
    TVxAxisScale s = MakeScale();
    s.LabelPart = 7;
    ChooseLinearTickParts(s, MakeContext(), 100, 100);
    ChooseLinearTickParts(s, MakeContext(), 0, NaN);
    ChooseLogTickParts(s, MakeContext(), 100, 100);
    ChooseLogTickParts(s, MakeContext(), -1, 10);
    ChooseSecondsParts(s, MakeContext(), 5, 5);
    EXPECT_EQ(s.LabelPart, 7);
}

TEST(Choosers, LogLabelWiderThanTheAxisGivesOneLabel) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log);
    ChooseLogTickParts(s, MakeContext(10), 1, 1e6);
    // The step grows until a single label remains: 6 / part + 0.5 < 1.
    EXPECT_EQ(s.LabelPart, 12);
    EXPECT_EQ(s.MajorTickPart, 12);
    EXPECT_EQ(s.TickPart, 4);
}

} // namespace
