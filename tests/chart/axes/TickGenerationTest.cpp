// Tick positions, flags and labels of linear, logarithmic and rubric axes. Pixels are
// closed forms (ticks_reference.py).

#include "axes/TickGeneration.h"

#include "ScaleFixture.h"
#include "axes/EndRounding.h"
#include "axes/NumberLabels.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TVxTickList Calculate(TVxAxisScale& s, const TVxScaleContext& c, double Start, double Stop) {
    RoundEnds(s, c, Start, Stop);
    s.Start = Start;
    s.Stop = Stop;
    TVxTickList ticks;
    CalculateTicks(s, c, ticks);
    return ticks;
}

TEST(LinearTicks, MinusOneToOne) {
    TVxAxisScale s = MakeScale();
    const TVxTickList t = Calculate(s, MakeContext(400), -1, 1);
    ASSERT_EQ(t.Ticks.size(), 21u);
    for (std::size_t i = 0; i < t.Ticks.size(); ++i) {
        EXPECT_NEAR(t.Ticks[i], 20.0 * double(i), 1e-3);
        EXPECT_EQ(t.MajorTick[i], i % 5 == 0) << i;
        EXPECT_EQ(t.MajorGridTick[i], i % 5 == 0) << i;
    }
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"-1.0", "-0.5", "0.0", "0.5", "1.0"}));
    const std::vector<float> pixels = LabelPixels(t);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        EXPECT_NEAR(pixels[i], 100.0 * double(i), 1e-3);
}

TEST(LinearTicks, DataOfTheRoundingExample) {
    TVxAxisScale s = MakeScale();
    const TVxTickList t = Calculate(s, MakeContext(400), 0.3, 8.7);
    EXPECT_EQ(LabelTexts(t),
              (std::vector<QString>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(t.Ticks.size(), 91u);
    EXPECT_NEAR(t.Ticks.back(), 400, 1e-3);
}

TEST(LinearTicks, UnroundedEndsKeepEveryTickInside) {
    TVxAxisScale s = MakeScale();
    s.EndRounding = TVxAxisEndRounding::RndNothing;
    const TVxTickList t = Calculate(s, MakeContext(400), 0.05, 0.95);
    // Label step 0.2, minor step 0.02: the ticks run from 0.06 to 0.94.
    EXPECT_NEAR(s.TickPart * std::pow(10, s.RangeExponent), 0.02, 1e-12);
    ASSERT_EQ(t.Ticks.size(), 45u);
    EXPECT_NEAR(t.Ticks.front(), (0.06 - 0.05) / 0.9 * 400, 1e-3);
    EXPECT_NEAR(t.Ticks.back(), (0.94 - 0.05) / 0.9 * 400, 1e-3);
    for (float p : t.Ticks) {
        EXPECT_GE(p, -1e-3);
        EXPECT_LE(p, 400 + 1e-3);
    }
    // A range narrower than one minor step has no tick at all.
    TVxAxisScale narrow = MakeScale();
    narrow.EndRounding = TVxAxisEndRounding::RndNothing;
    narrow.AutoTickParts = false;
    narrow.TickPart = 10; // 0.1 in units of 10^-2, the exponent of the range 0.08
    narrow.Start = 0.11;
    narrow.Stop = 0.19;
    TVxTickList none;
    CalculateTicks(narrow, MakeContext(400), none);
    EXPECT_TRUE(none.Ticks.empty());
}

TEST(LinearTicks, CommonExponentForLargeNumbers) {
    TVxAxisScale s = MakeScale();
    const TVxTickList t = Calculate(s, MakeContext(400), 0, 50000);
    // Label step 10000: max exponent 4 exceeds that of 1000, labels are scaled down.
    EXPECT_TRUE(s.AdditionalExponent);
    EXPECT_EQ(s.MaxExponent, 4);
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"0", "1", "2", "3", "4", "5"}));
}

TEST(LinearTicks, GridAtMajorTicks) {
    TVxAxisScale s = MakeScale();
    s.MajorGridMode = TVxMajorGridMode::AtMajorTick;
    const TVxTickList t = Calculate(s, MakeContext(400), 0.3, 8.7);
    EXPECT_EQ(t.MajorGridTick, t.MajorTick);
    EXPECT_EQ(std::count(t.MajorTick.begin(), t.MajorTick.end(), true), 19);
}

TEST(LogTicks, OneToAMillion) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log, 300);
    const TVxTickList t = Calculate(s, MakeContext(400), 1, 1e6);
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"1", "100", "10000", "1000000"}));
    const std::vector<float> pixels = LabelPixels(t);
    ASSERT_EQ(pixels.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(pixels[i], 100.0 * double(i), 1e-3);
    // 1, 2, ..., 9 in each of six decades, and 1e6.
    EXPECT_EQ(t.Ticks.size(), 55u);
    EXPECT_EQ(std::count(t.MajorTick.begin(), t.MajorTick.end(), true), 7);
}

TEST(LogTicks, LogEELabelsArePowers) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::LogEE, 300);
    const TVxTickList t = Calculate(s, MakeContext(400), 1, 1e6);
    // The estimate reads "100" and "106": 7 * 29.376 + 6 * 30 < 400, a label every decade.
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"10\\+0", "10\\+1", "10\\+2", "10\\+3", "10\\+4",
                                                   "10\\+5", "10\\+6"}));
}

TEST(LogTicks, ZoomedRangeWithMinorEnds) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log, 400);
    s.AutoTickParts = false;
    s.TickPart = 0.1;
    s.MajorTickPart = 1;
    s.LabelPart = 1;
    TVxScaleContext c = MakeContext(400);
    c.Zoomed = true;
    const TVxTickList t = Calculate(s, c, 300, 5000);
    const double expected[] = {0.0,     40.902,  72.627,  98.549,  120.466, 139.451,
                               156.197, 171.176, 269.725, 327.373, 368.274, 400.0};
    ASSERT_EQ(t.Ticks.size(), std::size(expected));
    for (std::size_t i = 0; i < t.Ticks.size(); ++i) {
        EXPECT_NEAR(t.Ticks[i], expected[i], 2e-3) << i;
        EXPECT_EQ(t.MajorTick[i], i == 7) << i;
    }
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"1000"}));
}

TEST(LogTicks, NoTickBeyondAnUnroundedStop) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log, 400);
    s.EndRounding = TVxAxisEndRounding::RndNothing;
    const TVxTickList t = Calculate(s, MakeContext(400), 1, 450);
    ASSERT_FALSE(t.Ticks.empty());
    // 1 .. 9, 10 .. 90, 100 .. 400.
    EXPECT_EQ(t.Ticks.size(), 22u);
    for (float p : t.Ticks)
        EXPECT_LE(p, 400 + 1e-3);
}

TEST(LogTicks, EveryFewDecades) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Log, 300);
    const TVxTickList t = Calculate(s, MakeContext(300), 1, 1e6);
    // Label and major step 3 decades, a tick each decade.
    ASSERT_EQ(t.Ticks.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_NEAR(t.Ticks[i], 50.0 * double(i), 1e-3);
        EXPECT_EQ(t.MajorTick[i], i % 3 == 0);
    }
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"1", "1000", "1000000"}));
}

TEST(RubricTicks, LabelsSitBetweenTicks) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::Rubrics, 300);
    const QStringList texts{"A", "B", "C"};
    TVxScaleContext c = MakeContext(400);
    c.RubricTexts = &texts;
    const TVxTickList t = Calculate(s, c, 0, 3);
    ASSERT_EQ(t.Ticks.size(), 4u);
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"A", "B", "C"}));
    const std::vector<float> pixels = LabelPixels(t);
    EXPECT_NEAR(pixels[0], 50, 1e-3);
    EXPECT_NEAR(pixels[2], 250, 1e-3);
    EXPECT_EQ(t.MajorGridTick, (std::vector<bool>{true, true, true, true}));
}

TEST(NumberLabels, FormatTable) {
    struct {
        double Start, Stop, Label, Value;
        int RangeExponent;
        int ExtraDigits;
        const char* Text;
    } cases[] = {
        {0, 10, 2, 4, 0, 0, "4"},         {0, 1, 0.2, 0.4, -1, 0, "0.4"},
        {0, 1, 0.2, 0.4, -1, 2, "0.400"}, {0, 0.01, 0.002, 0.004, -3, 0, "0.004"},
        {-5, 5, 1, -0.0001, 1, 0, "0"},   {0, 0.0001, 0.00002, 0.00004, -5, 0, "0.4"},
    };
    for (const auto& c : cases) {
        TVxAxisScale s = MakeScale();
        s.LabelPart = c.Label / std::pow(10, c.RangeExponent);
        s.RangeExponent = c.RangeExponent;
        s.ExtraDigits = c.ExtraDigits;
        PrepareNumberFormat(s, c.Start, c.Stop);
        EXPECT_EQ(FormatNumberLabel(s, c.Value, InvariantSettings()), c.Text) << c.Text;
    }
    TVxAxisScale comma = MakeScale();
    comma.LabelPart = 2;
    comma.RangeExponent = -1;
    PrepareNumberFormat(comma, 0, 1);
    TVxFormatSettings settings = InvariantSettings();
    settings.DecimalSeparator = ",";
    EXPECT_EQ(FormatNumberLabel(comma, 0.4, settings), "0,4");
}

} // namespace
