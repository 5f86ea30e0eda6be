// Normalising ranges, choosing the partition and rounding the ends. Partitions of the
// linear and logarithmic choosers: ticks_reference.py.

#include "axes/EndRounding.h"

#include "ScaleFixture.h"
#include "axes/TickPartition.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct RoundCase {
    const char* Name;
    double Start, Stop;
    double ExpectedStart, ExpectedStop;
    double Label, Major, Minor;
};

class LinearRoundEnds : public testing::TestWithParam<RoundCase> {};

TEST_P(LinearRoundEnds, ChoosesPartsAndRoundsToTheMajorStep) {
    const auto& c = GetParam();
    TVxAxisScale s = MakeScale();
    const TVxScaleContext context = MakeContext(400);
    double start = c.Start, stop = c.Stop;
    RoundEnds(s, context, start, stop);
    EXPECT_DOUBLE_EQ(start, c.ExpectedStart) << c.Name;
    EXPECT_DOUBLE_EQ(stop, c.ExpectedStop) << c.Name;
    EXPECT_DOUBLE_EQ(s.LabelPart * std::pow(10, s.RangeExponent), c.Label) << c.Name;
    EXPECT_DOUBLE_EQ(s.MajorTickPart * std::pow(10, s.RangeExponent), c.Major) << c.Name;
    EXPECT_NEAR(s.TickPart * std::pow(10, s.RangeExponent), c.Minor, 1e-12) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Axes, LinearRoundEnds,
    testing::Values(RoundCase{"0.3 .. 8.7", 0.3, 8.7, 0, 9, 1, 0.5, 0.1},
                    RoundCase{"-1 .. 1", -1, 1, -1, 1, 0.5, 0.5, 0.1},
                    // 130 .. 870: e = 2, r = 7.4; candidate 200 needs 5 * 57.6 + 4 * 70 = 568.
                    RoundCase{"130 .. 870", 130, 870, 100, 900, 200, 100, 20}));

TEST(RoundEnds, RoundingOnceKeepsThePartsOfTheData) {
    // A second rounding of 0 .. 9 would pick label step 2: the axis rounds once per change.
    TVxAxisScale s = MakeScale();
    double start = 0, stop = 9;
    RoundEnds(s, MakeContext(400), start, stop);
    EXPECT_DOUBLE_EQ(s.LabelPart, 2);
}

struct EmptyCase {
    const char* Name;
    TVxAxisEnd StartEnd, StopEnd;
    double Value;
    double ExpectedStart, ExpectedStop;
};

class EmptyRange : public testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyRange, IsWidenedByAPowerOfTen) {
    const auto& c = GetParam();
    TVxAxisScale s = MakeScale();
    s.EndRounding = TVxAxisEndRounding::RndNothing;
    s.StartEnd = c.StartEnd;
    s.StopEnd = c.StopEnd;
    double start = c.Value, stop = c.Value;
    RoundEnds(s, MakeContext(), start, stop);
    EXPECT_DOUBLE_EQ(start, c.ExpectedStart) << c.Name;
    EXPECT_DOUBLE_EQ(stop, c.ExpectedStop) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Axes, EmptyRange,
    testing::Values(
        EmptyCase{"auto 5", TVxAxisEnd::AutoRange, TVxAxisEnd::AutoRange, 5, 4, 6},
        EmptyCase{"fixed start 5", TVxAxisEnd::Fixed, TVxAxisEnd::AutoRange, 5, 5, 6},
        EmptyCase{"auto start, fixed stop", TVxAxisEnd::AutoRange, TVxAxisEnd::Fixed, 5, 4, 5},
        EmptyCase{"zero", TVxAxisEnd::AutoRange, TVxAxisEnd::AutoRange, 0, -1, 1},
        EmptyCase{"-250", TVxAxisEnd::AutoRange, TVxAxisEnd::AutoRange, -250, -350, -150}));

TEST(RoundEnds, ReversedRangesTakeTheDefaultRange) {
    TVxAxisScale linear = MakeScale();
    linear.EndRounding = TVxAxisEndRounding::RndNothing;
    double start = 5, stop = 2;
    RoundEnds(linear, MakeContext(), start, stop);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(stop, 100);

    TVxAxisScale log = MakeScale(TVxAxisScaling::Log);
    log.EndRounding = TVxAxisEndRounding::RndNothing;
    start = 50, stop = 2;
    RoundEnds(log, MakeContext(), start, stop);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(stop, 10);
}

TEST(RoundEnds, LogAxisChoosesDecadesAndRoundsToPowers) {
    // 1 .. 1e6 on a 400-pixel control: label step 2 decades (ticks_reference.py).
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log, 300);
    double start = 1, stop = 1e6;
    RoundEnds(s, MakeContext(400), start, stop);
    EXPECT_TRUE(s.HasLogScaling);
    EXPECT_EQ(s.RangeExponent, 6);
    EXPECT_EQ(s.LabelPart, 2);
    EXPECT_EQ(s.MajorTickPart, 1);
    EXPECT_DOUBLE_EQ(s.TickPart, 0.1);

    // On 300 pixels the same labels need three decades apart.
    TVxAxisScale narrow = MakeScale(TVxAxisScaling::Log, 300);
    start = 1, stop = 1e6;
    RoundEnds(narrow, MakeContext(300), start, stop);
    EXPECT_EQ(narrow.LabelPart, 3);
    EXPECT_EQ(narrow.MajorTickPart, 3);
    EXPECT_EQ(narrow.TickPart, 1);

    // Data 3 .. 870 are widened to whole decades.
    TVxAxisScale data = MakeScale(TVxAxisScaling::Log);
    start = 3, stop = 870;
    RoundEnds(data, MakeContext(400), start, stop);
    EXPECT_DOUBLE_EQ(start, 1);
    EXPECT_DOUBLE_EQ(stop, 1000);
}

TEST(RoundEnds, LogStartFromTheSmallestPositiveValue) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log);
    TVxScaleContext context = MakeContext();
    context.ValuesStart = 0;
    context.SmallestPositive = [] { return 3.0; };
    double start = 0, stop = 1000;
    RoundEnds(s, context, start, stop);
    EXPECT_DOUBLE_EQ(start, 1);
    EXPECT_DOUBLE_EQ(stop, 1000);

    // Without positive data the start becomes 0.01 (rounded down it stays there).
    TVxAxisScale none = MakeScale(TVxAxisScaling::Log);
    none.EndRounding = TVxAxisEndRounding::RndNothing;
    start = -4, stop = 1000;
    RoundEnds(none, MakeContext(), start, stop);
    EXPECT_DOUBLE_EQ(start, 0.01);
    EXPECT_DOUBLE_EQ(stop, 1000);
}

TEST(RoundEnds, LogAxisOfFewDecadesIsDrawnLinearly) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log);
    s.LogToNormalScalingLevel = 2;
    double start = 10, stop = 50;
    RoundEnds(s, MakeContext(), start, stop);
    EXPECT_FALSE(s.HasLogScaling);
    EXPECT_DOUBLE_EQ(start, 10);
    EXPECT_DOUBLE_EQ(stop, 50);
}

TEST(RoundEnds, EndRoundingFollowsTheZoomHistory) {
    struct {
        TVxAxisEndRounding Mode;
        bool Zoomed;
        double Start, Stop;
    } cases[] = {
        // 0.33 .. 8.72: major step 0.5, minor 0.1.
        {TVxAxisEndRounding::RndToMajorZoomToMinor, false, 0, 9},
        {TVxAxisEndRounding::RndToMajorZoomToMinor, true, 0.3, 8.8},
        {TVxAxisEndRounding::RndToMajorZoomToNothing, true, 0.33, 8.72},
        {TVxAxisEndRounding::RndToMajor, true, 0, 9},
        {TVxAxisEndRounding::RndToMinorZoomToNothing, false, 0.3, 8.8},
        {TVxAxisEndRounding::RndToMinor, true, 0.3, 8.8},
        {TVxAxisEndRounding::RndNothing, false, 0.33, 8.72},
    };
    for (const auto& c : cases) {
        TVxAxisScale s = MakeScale();
        s.EndRounding = c.Mode;
        TVxScaleContext context = MakeContext();
        context.Zoomed = c.Zoomed;
        double start = 0.33, stop = 8.72;
        RoundEnds(s, context, start, stop);
        EXPECT_NEAR(start, c.Start, 1e-12) << int(c.Mode) << " " << c.Zoomed;
        EXPECT_NEAR(stop, c.Stop, 1e-12) << int(c.Mode) << " " << c.Zoomed;
    }
}

TEST(RoundEnds, PanningKeepsThePartsAndTheEnds) {
    TVxAxisScale s = MakeScale();
    s.LabelPart = 0.2;
    s.MajorTickPart = 0.1;
    s.TickPart = 0.02;
    TVxScaleContext context = MakeContext();
    context.Panning = true;
    double start = 0.33, stop = 8.72;
    RoundEnds(s, context, start, stop);
    EXPECT_DOUBLE_EQ(start, 0.33);
    EXPECT_DOUBLE_EQ(stop, 8.72);
    EXPECT_DOUBLE_EQ(s.LabelPart, 0.2);
    EXPECT_EQ(s.RangeExponent, 0);
}

TEST(RoundEnd, RoundsToTheChosenStep) {
    TVxAxisScale s = MakeScale();
    s.RangeExponent = 2;
    s.MajorTickPart = 0.5;
    s.TickPart = 0.1;
    EXPECT_DOUBLE_EQ(RoundEnd(s, true, true, 130), 150);
    EXPECT_DOUBLE_EQ(RoundEnd(s, false, true, 130), 100);
    EXPECT_DOUBLE_EQ(RoundEnd(s, true, false, 131), 140);
    EXPECT_DOUBLE_EQ(RoundEnd(s, false, false, -131), -140);
}

TEST(TickPartition, ManualTableRowsAreUsed) {
    // A changed candidate table: 2.5 (one decimal, "0.3" and "8.7") is the first whose
    // labels need 4 * 57.6 + 3 * 70 >= 400 pixels (ticks_reference.py).
    TVxAxisScale s = MakeScale();
    s.LabelParts = {1, 0.5, 0.25};
    s.MajorParts = {0.25, 0.25, 0.05};
    s.MinorParts = {0.05, 0.05, 0.01};
    ChooseLinearTickParts(s, MakeContext(400), 0.3, 8.7);
    EXPECT_DOUBLE_EQ(s.LabelPart, 2.5);
    EXPECT_DOUBLE_EQ(s.MajorTickPart, 0.5);
    EXPECT_DOUBLE_EQ(s.TickPart, 0.1);
}

} // namespace
