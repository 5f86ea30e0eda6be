#include "util/DateTime.h"

#include "QStringPrinter.h"
#include "util/Exceptions.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

// 14:05:09 as a fraction of a day.
constexpr double Time140509 = (14 * 3600 + 5 * 60 + 9) / 86400.0;

} // namespace

TEST(DateTimeTest, ContinuousTimeAndItsInverse) {
    const struct {
        double Value, Continuous;
    } cases[] = {{0, 0},       {1.5, 1.5},     {-1.25, -0.75},
                 {-1.5, -0.5}, {-1.75, -0.25}, {-0.25, 0.25},
                 {-2, -2},     {-3.75, -2.25}, {-1.999999999999995, -1}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ContinuousTime(c.Value), c.Continuous) << c.Value;
    for (double v : {1.5, -0.75, -0.5, -2.0, -2.25, 7.0 / 12})
        EXPECT_DOUBLE_EQ(ContinuousTime(DateTimeFromContinuous(v)), v) << v;
    EXPECT_DOUBLE_EQ(DateTimeFromContinuous(-0.75), -1.25);
    EXPECT_DOUBLE_EQ(DateTimeDifference(-1.25, -1.5), -0.25);
    EXPECT_DOUBLE_EQ(DateTimeDifference(0.25, -1.75), 0.5);
    EXPECT_EQ(DaysToHours(1.5), 36);
    EXPECT_EQ(DaysToMinutes(0.5), 720);
    EXPECT_EQ(DaysToSeconds(2), 172800);
    EXPECT_EQ(DaysToMilliSeconds(0.25), 21600000);
}

TEST(DateTimeTest, IncrementsFollowTheContinuousTimeLine) {
    const struct {
        const char* Name;
        double Result, Expected;
    } cases[] = {
        {"6h from day -1 06:00", IncDateHours(6, -1.25), -1.5},
        {"20h from day -1 18:00", IncDateHours(20, -1.75), 7.0 / 12},
        {"48h from day -3 18:00", IncDateHours(48, -3.75), -1.75},
        {"-12h from day 0 06:00 crosses the epoch", IncDateHours(-12, 0.25), -1.75},
        {"-36h from day 1 00:00", IncDateHours(-36, 1.0), -1.5},
        {"90 minutes", IncDateMinutes(90, 10.0), 10.0625},
        {"-30 seconds before the epoch", IncDateSeconds(-30, -1.5), -1.5 + 30 / 86400.0},
        {"1500 ms", IncDateMilliSeconds(1500, 2.0), 2.0 + 1.5 / 86400},
        {"0 leaves the value", IncDateHours(0, -1.3), -1.3},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(c.Result, c.Expected, 1e-12) << c.Name;
}

TEST(DateTimeTest, EncodeAndDecodeCivilDates) {
    // 2024-03-01 (a Friday) is day 45352: 45292 for 2024-01-01, plus 31 + 29 days.
    EXPECT_NEAR(EncodeDateTime(2024, 3, 1, 14, 5, 9), 45352 + Time140509, 1e-12);
    EXPECT_EQ(EncodeDateTime(1, 1, 1), MinDateTime);
    EXPECT_EQ(EncodeDateTime(9999, 12, 31), 2958465);
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6), -1.25);
    EXPECT_EQ(EncodeDateTime(1899, 12, 30, 6), 0.25);

    const TVxDateTimeParts p = DecodeDateTime(45352 + Time140509 + 45 / 86400000.0);
    EXPECT_EQ(p.Year, 2024);
    EXPECT_EQ(p.Month, 3);
    EXPECT_EQ(p.Day, 1);
    EXPECT_EQ(p.Hour, 14);
    EXPECT_EQ(p.Minute, 5);
    EXPECT_EQ(p.Second, 9);
    EXPECT_EQ(p.MilliSecond, 45);
    EXPECT_EQ(p.DayOfWeek, 5);

    const TVxDateTimeParts before = DecodeDateTime(-1.25);
    EXPECT_EQ(before.Day, 29);
    EXPECT_EQ(before.Hour, 6);
    EXPECT_EQ(before.DayOfWeek, 5);
    // 23:59:59.9996 rounds to midnight of the next day, not to 24:00.
    const TVxDateTimeParts carry = DecodeDateTime(10 + 86399.9996 / 86400);
    EXPECT_EQ(carry.Day, 10);
    EXPECT_EQ(carry.Month, 1);
    EXPECT_EQ(carry.Hour, 0);

    TDateTime value = 0;
    EXPECT_FALSE(TryEncodeDateTime(2023, 2, 29, 0, 0, 0, 0, value));
    EXPECT_FALSE(TryEncodeDateTime(2024, 13, 1, 0, 0, 0, 0, value));
    EXPECT_FALSE(TryEncodeDateTime(2024, 1, 1, 24, 0, 0, 0, value));
    EXPECT_THROW(EncodeDateTime(2024, 0, 1), EVxConvertError);
    EXPECT_THROW(DecodeDateTime(std::numeric_limits<double>::quiet_NaN()), EVxConvertError);
    EXPECT_THROW(DecodeDateTime(1e300), EVxConvertError);
}

TEST(DateTimeTest, QtDateTimeConversions) {
    const QDateTime qt(QDate(2024, 3, 1), QTime(14, 5, 9, 45));
    const TDateTime value = QDateTimeToDateTime(qt);
    EXPECT_NEAR(value, 45352 + Time140509 + 45 / 86400000.0, 1e-11);
    EXPECT_EQ(DateTimeToQDateTime(value), qt);
    EXPECT_EQ(DateTimeToQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_GT(NowDateTime(), 45352);
}
