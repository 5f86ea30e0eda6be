// Date-time partitions, rounding and ticks. Expected dates from datetime_reference.py.

#include "axes/DateTimeScale.h"

#include "ScaleFixture.h"
#include "axes/EndRounding.h"
#include "axes/TickGeneration.h"
#include "util/DateTime.h"
#include "util/DateTimeFormat.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double Ms = 1.0 / 86400000;

TVxTickList Calculate(TVxAxisScale& s, const TVxScaleContext& c, double Start, double Stop) {
    RoundEnds(s, c, Start, Stop);
    s.Start = Start;
    s.Stop = Stop;
    TVxTickList ticks;
    CalculateTicks(s, c, ticks);
    return ticks;
}

struct RoundCase {
    const char* Name;
    TVxDtRegion Minor;
    TVxDtRegion Major;
    int Increment;
    int MajorMod;
    bool Major_;
    double Up, Down;
};

class RoundDateTimeTable : public testing::TestWithParam<RoundCase> {};

// 2024-03-15 10:20:30, a Friday.
TEST_P(RoundDateTimeTable, RoundsToCalendarUnits) {
    const auto& c = GetParam();
    TVxAxisScale s = MakeScale(TVxAxisScaling::DateTime);
    s.DtParameters.MinorRgn = c.Minor;
    s.DtParameters.MajorRgn = c.Major;
    s.DtParameters.Increment = c.Increment;
    s.DtParameters.MajorMod = c.MajorMod;
    const double v = 45366.43090277778;
    EXPECT_NEAR(RoundDateTime(s, true, c.Major_, v), c.Up, Ms) << c.Name;
    EXPECT_NEAR(RoundDateTime(s, false, c.Major_, v), c.Down, Ms) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Axes, RoundDateTimeTable,
    testing::Values(
        RoundCase{"day", TVxDtRegion::Day, TVxDtRegion::Day, 1, 1, false, 45367, 45366},
        RoundCase{"month", TVxDtRegion::Month, TVxDtRegion::Month, 1, 3, false, 45383, 45352},
        RoundCase{"3 hours", TVxDtRegion::Hour, TVxDtRegion::Hour, 3, 12, false, 45366.5,
                  45366.375},
        // 2024-03-17 and 2024-03-10 are the Sundays around it.
        RoundCase{"week", TVxDtRegion::Day, TVxDtRegion::Day, 1, 7, true, 45368, 45361},
        RoundCase{"first of month", TVxDtRegion::Day, TVxDtRegion::Month, 1, 1, true, 45383, 45352},
        RoundCase{"year", TVxDtRegion::Year, TVxDtRegion::Year, 1, 5, false, 45658, 45292}));

TEST(RoundDateTime, CountsMillisecondsLikeTheTicks) {
    // Row 10: majors every 2500 ms of the year; 12:00:01.3 rounds up to 12:00:02.5.
    TVxAxisScale s = MakeScale(TVxAxisScaling::DateTime);
    s.DtParameters = {TVxDtRegion::Second, TVxDtRegion::MilliSecond, 500, 2500, 5000, ""};
    const double v = EncodeDateTime(2024, 3, 15, 12, 0, 1, 300);
    EXPECT_NEAR(RoundDateTime(s, true, true, v), EncodeDateTime(2024, 3, 15, 12, 0, 2, 500), Ms);
    EXPECT_NEAR(RoundDateTime(s, false, true, v), EncodeDateTime(2024, 3, 15, 12, 0, 0, 0), Ms);
}

TEST(DateTimeTicks, TenMinutesInMinutes) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::DateTime, 677);
    const double start = EncodeDateTime(2024, 3, 1, 14, 0, 0);
    const TVxTickList t = Calculate(s, MakeContext(677), start, IncDateMinutes(10, start));
    // Row 16: labels every 5 minutes, ticks every 30 seconds.
    EXPECT_EQ(s.DtParameters.MajorRgn, TVxDtRegion::Minute);
    EXPECT_EQ(s.DtParameters.MinorRgn, TVxDtRegion::Second);
    EXPECT_EQ(s.DtParameters.Increment, 30);
    EXPECT_EQ(s.DtParameters.LabelMod, 300);
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"14:00", "14:05", "14:10"}));
    ASSERT_EQ(t.Ticks.size(), 21u);
    for (std::size_t i = 0; i < t.Ticks.size(); ++i)
        EXPECT_NEAR(t.Ticks[i], 677.0 * double(i) / 20, 1e-2) << i;
}

TEST(DateTimeTicks, HalfYearInMonths) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::DateTime, 1200);
    const TVxTickList t =
        Calculate(s, MakeContext(1200), EncodeDateTime(2024, 1, 1), EncodeDateTime(2024, 7, 1));
    EXPECT_EQ(s.DtParameters.MajorRgn, TVxDtRegion::Month);
    EXPECT_EQ(s.DtParameters.MinorRgn, TVxDtRegion::Day);
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"Jan 24", "Feb 24", "Mar 24", "Apr 24", "May 24",
                                                   "Jun 24", "Jul 24"}));
    // A tick a day, majors on the first of each month.
    EXPECT_EQ(t.Ticks.size(), 183u);
    EXPECT_EQ(std::count(t.MajorTick.begin(), t.MajorTick.end(), true), 7);

    // On 400 pixels the same half year is labelled every six months.
    TVxAxisScale narrow = MakeScale(TVxAxisScaling::DateTime, 400);
    const TVxTickList n =
        Calculate(narrow, MakeContext(400), EncodeDateTime(2024, 1, 1), EncodeDateTime(2024, 7, 1));
    EXPECT_EQ(narrow.DtParameters.LabelMod, 6);
    EXPECT_EQ(LabelTexts(n), (std::vector<QString>{"Jan 24", "Jul 24"}));
}

TEST(DateTimeTicks, SundaysAreMajorAndEveryOtherIsLabelled) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::DateTime, 400);
    s.DtParameters = {TVxDtRegion::Day, TVxDtRegion::Day, 1, 7, 2, "yyyy-mm-dd"};
    s.Start = EncodeDateTime(2024, 3, 1);
    s.Stop = EncodeDateTime(2024, 4, 15);
    TVxTickList t;
    CalculateTicks(s, MakeContext(400), t);
    ASSERT_EQ(t.Ticks.size(), 46u);
    // Sundays from 1 March 2024: the 3rd, 10th, 17th, 24th, 31st, 7 and 14 April.
    std::vector<std::size_t> majors;
    for (std::size_t i = 0; i < t.MajorTick.size(); ++i)
        if (t.MajorTick[i])
            majors.push_back(i);
    EXPECT_EQ(majors, (std::vector<std::size_t>{2, 9, 16, 23, 30, 37, 44}));
    EXPECT_EQ(LabelTexts(t),
              (std::vector<QString>{"2024-03-03", "2024-03-17", "2024-03-31", "2024-04-14"}));
}

TEST(DateTimeTicks, HoursAcrossTheEpoch) {
    // 1899-12-29 18:00 .. 1899-12-30 06:00 in 3-hour majors.
    TVxAxisScale s = MakeScale(TVxAxisScaling::DateTime, 400);
    s.DtParameters = {TVxDtRegion::Hour, TVxDtRegion::Hour, 1, 3, 6, "hh:nn"};
    s.Start = -1.75;
    s.Stop = 0.25;
    TVxTickList t;
    CalculateTicks(s, MakeContext(400), t);
    ASSERT_EQ(t.Ticks.size(), 13u);
    for (std::size_t i = 0; i < t.Ticks.size(); ++i)
        EXPECT_NEAR(t.Ticks[i], 400.0 * double(i) / 12, 1e-2) << i;
    std::vector<double> majorValues;
    for (std::size_t i = 0; i < t.Ticks.size(); ++i)
        if (t.MajorTick[i])
            majorValues.push_back(-1.75 + double(i) / 24);
    EXPECT_EQ(majorValues.size(), 5u);
    EXPECT_EQ(LabelTexts(t), (std::vector<QString>{"18:00", "00:00", "06:00"}));
}

TEST(ChooseDateTimeParts, EndsOfTheLadder) {
    TVxAxisScale s = MakeScale(TVxAxisScaling::DateTime, 400);
    const double t0 = EncodeDateTime(2024, 3, 1, 12);
    ChooseDateTimeParts(s, MakeContext(400), t0, t0 + 0.5 * Ms);
    EXPECT_EQ(s.DtParameters.MajorRgn, TVxDtRegion::MilliSecond);
    EXPECT_EQ(s.DtParameters.LabelMod, 5);

    ChooseDateTimeParts(s, MakeContext(100), MinDateTimeAxis, MaxDateTimeAxis);
    EXPECT_EQ(s.DtParameters.MajorRgn, TVxDtRegion::Year);
    EXPECT_EQ(s.DtParameters.LabelMod, 2000);
}

TEST(DateTimeFormats, FromTheLocalePatterns) {
    TVxFormatSettings settings = TVxFormatSettings::Invariant();
    settings.ShortDateFormat = "mm/dd/yyyy";
    settings.ShortTimeFormat = "hh:nn:ss";
    settings.LongTimeFormat = "hh:nn:ss";
    settings.DecimalSeparator = ",";
    const TVxDateTimeFormats f = DefaultDateTimeFormats(settings);
    EXPECT_EQ(f.DayFormat, "M/d/yy");
    EXPECT_EQ(f.MinuteFormat, "hh:nn");
    EXPECT_EQ(f.DayAndHourFormat, "M/d/yy hh:nn");
    EXPECT_EQ(f.SecondFormat, "hh:nn:ss");
    EXPECT_EQ(f.MilliSecondFormat, "s,fff");
    EXPECT_EQ(f.ShortMonthFormat, "MMM yy");
}

} // namespace
