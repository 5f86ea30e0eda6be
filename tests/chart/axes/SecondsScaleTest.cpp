// Seconds partitions, rounding and ticks. Expected values from seconds_reference.py.

#include "axes/SecondsScale.h"

#include "ScaleFixture.h"
#include "axes/EndRounding.h"
#include "axes/TickGeneration.h"

#include <gtest/gtest.h>

namespace {

TEST(SecondsTicks, TwoHoursOnAMinuteGrid) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Seconds, 677);
    const TVxScaleContext c = MakeContext(677);
    double start = 0, stop = 7200;
    RoundEnds(s, c, start, stop);
    EXPECT_EQ(s.SecParameters.Rgn, TVxDtRegion::Minute);
    EXPECT_EQ(s.SecParameters.Exponent, 2);
    EXPECT_EQ(s.SecParameters.Format, TVxSecondsFormatRange::Hour);
    EXPECT_DOUBLE_EQ(s.LabelPart, 0.3);
    EXPECT_DOUBLE_EQ(s.MajorTickPart, 0.15);
    EXPECT_DOUBLE_EQ(s.TickPart, 0.05);
    EXPECT_DOUBLE_EQ(start, 0);
    EXPECT_DOUBLE_EQ(stop, 7200);
    s.Start = start;
    s.Stop = stop;
    TVxTickList t;
    CalculateTicks(s, c, t);
    EXPECT_EQ(LabelTexts(t),
              (std::vector<QString>{"00:00:00", "00:30:00", "01:00:00", "01:30:00", "02:00:00"}));
    ASSERT_EQ(t.Ticks.size(), 25u); // every 5 minutes
    EXPECT_NEAR(t.Ticks[1], 677.0 / 24, 1e-3);
    EXPECT_EQ(std::count(t.MajorTick.begin(), t.MajorTick.end(), true), 9); // every 15 minutes
}

struct FamilyCase {
    double Seconds;
    TVxDtRegion Rgn;
    int Exponent;
    double Label, Major, Minor;
};

class SecondsPartition : public testing::TestWithParam<FamilyCase> {};

TEST_P(SecondsPartition, ChoosesRegionAndSteps) {
    const auto& c = GetParam();
    TVxAxisScale s = MakeScale(TVxAxisScaling::Seconds, 677);
    ChooseSecondsParts(s, MakeContext(677), 0, c.Seconds);
    EXPECT_EQ(s.SecParameters.Rgn, c.Rgn) << c.Seconds;
    EXPECT_EQ(s.SecParameters.Exponent, c.Exponent) << c.Seconds;
    EXPECT_NEAR(s.LabelPart, c.Label, 1e-12) << c.Seconds;
    EXPECT_NEAR(s.MajorTickPart, c.Major, 1e-12) << c.Seconds;
    EXPECT_NEAR(s.TickPart, c.Minor, 1e-12) << c.Seconds;
}

INSTANTIATE_TEST_SUITE_P(Axes, SecondsPartition,
                         testing::Values(FamilyCase{30, TVxDtRegion::Second, 1, 0.2, 0.1, 0.02},
                                         FamilyCase{150, TVxDtRegion::Second, 2, 0.3, 0.15, 0.05},
                                         FamilyCase{1200, TVxDtRegion::Minute, 1, 0.5, 0.5, 0.1},
                                         FamilyCase{72000, TVxDtRegion::Hour, 1, 0.6, 0.3, 0.05},
                                         FamilyCase{864000, TVxDtRegion::Day, 1, 0.4, 0.2, 0.05},
                                         FamilyCase{4320000, TVxDtRegion::Day, 1, 2, 1, 0.2}));

TEST(RoundSeconds, RoundsInTheRegionUnit) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Seconds);
    s.SecParameters.Rgn = TVxDtRegion::Minute;
    EXPECT_DOUBLE_EQ(RoundSeconds(s, 1, true, 0.15, 500), 540);  // 9 minutes
    EXPECT_DOUBLE_EQ(RoundSeconds(s, 1, false, 0.15, 500), 450); // 7.5 minutes
    s.SecParameters.Rgn = TVxDtRegion::Year;
    EXPECT_DOUBLE_EQ(RoundSeconds(s, 1, true, 0.15, 500), 0);
}

} // namespace
