#include "util/DateTimeFormat.h"

#include "LocaleTable.h"
#include "QStringPrinter.h"
#include "util/Exceptions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

// 2024-03-01 14:05:09.045, a Friday.
const TDateTime Sample = 45352 + (14 * 3600 + 5 * 60 + 9.045) / 86400.0;

TVxFormatSettings German() {
    return TVxFormatSettings::FromLocale(QLocale(QLocale::German));
}

// Invariant names with "." between date fields and "." between time fields.
TVxFormatSettings DottedSeparators() {
    TVxFormatSettings s = TVxFormatSettings::Invariant();
    s.DateSeparator = ".";
    s.TimeSeparator = ".";
    return s;
}

} // namespace

TEST(DateTimeFormatTest, PatternLetters) {
    const TVxFormatSettings inv = TVxFormatSettings::Invariant();
    const struct {
        const char16_t* Pattern;
        TDateTime Value;
        const char* Text;
    } cases[] = {
        {u"yyyy-mm-dd hh:nn:ss", Sample, "2024-03-01 14:05:09"},
        {u"yyyy-mm-dd hh:mm:ss", Sample, "2024-03-01 14:05:09"},
        {u"d/m/yy h:n:s", Sample, "1-3-24 14:5:9"},
        {u"dddd, mmmm d", Sample, "Friday, March 1"},
        {u"ddd mmm", Sample, "Fri Mar"},
        {u"h:nn am/pm", Sample, "2:05 pm"},
        {u"h:nn A/P", Sample, "2:05 P"},
        {u"hh ampm", Sample, "02 PM"},
        {u"ampm h:nn", Sample, "PM 2:05"}, // a marker before the hour counts as well
        {u"am/pm hh:nn", 0.5 / 24, "am 12:30"},
        {u"ampm h \"h\" nn", 0.75, "PM 6 h 00"},
        {u"hh:nn, h ampm", Sample, "14:05, 2 PM"}, // each hour takes its own marker
        {u"h:nn am/pm", 0.5 / 24, "12:30 am"},
        {u"hh:nn:ss.zzz", Sample, "14:05:09.045"},
        {u"s.z", Sample, "9.45"},
        {u"'at' hh \"h\"", Sample, "at 14 h"},
        {u"c", Sample, "2024-03-01 14:05:09"},
        {u"", 45352, "2024-03-01"},
        {u"ddddd t", Sample, "2024-03-01 14:05"},
        {u"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
        {u"yyyy-mm-dd hh:nn", -0.25, "1899-12-30 06:00"},
        {u"yyyy-mm-dd", MinDateTime, "0001-01-01"},
        {u"yyyy-mm-dd hh:nn:ss", MaxDateTime, "9999-12-31 23:59:59"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.Pattern, c.Value, inv), QString::fromLatin1(c.Text))
            << QString::fromUtf16(c.Pattern).toStdString();

    EXPECT_EQ(FormatDateTime(u"dd/mm/yyyy hh:nn", Sample, DottedSeparators()), "01.03.2024 14.05");
    EXPECT_EQ(FormatDateTime(u"dddd d. mmmm", Sample, German()),
              QString::fromUtf8("Freitag 1. März"));
    // Four-digit years, so that the text reads back whatever the century.
    EXPECT_EQ(DateTimeToText(Sample, German()), "01.03.2024 14:05:09");
}

TEST(DateTimeFormatTest, MillisecondsReplaceTheFirstFff) {
    const TVxFormatSettings inv = TVxFormatSettings::Invariant();
    EXPECT_EQ(FormatDateTimeMs(u"hh:nn:ss.fff", Sample, inv), "14:05:09.045");
    EXPECT_EQ(FormatDateTimeMs(u"hh:nn:ss,fff", Sample, German()), "14:05:09,045");
    EXPECT_EQ(FormatDateTimeMs(u"hh:nn:ss", Sample, inv), "14:05:09");
    // The seconds are not rounded up by the milliseconds.
    EXPECT_EQ(FormatDateTimeMs(u"ss.fff", 45352 + 9.9996 / 86400, inv), "10.000");
    EXPECT_EQ(FormatDateTimeMs(u"ss.fff", 45352 + 9.9994 / 86400, inv), "09.999");
}

TEST(DateTimeFormatTest, ReadsLocaleDateTimeTextBack) {
    const TVxFormatSettings german = German();
    // Two-digit years read back within 50 years of today.
    for (TDateTime value : {45352 + 50709 / 86400.0, 45352.0, 45352.75}) {
        const QString text = DateTimeToText(value, german);
        TDateTime back = 0;
        ASSERT_TRUE(TryTextToDateTime(text, back, german)) << text.toStdString();
        EXPECT_NEAR(back, value, 1.0 / 86400 / 1000 + 1e-9) << text.toStdString();
    }
    const TVxFormatSettings us =
        TVxFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_NEAR(TextToDateTime(u"3/1/2024 2:05:09 PM", us), 45352 + (14 * 3600 + 309) / 86400.0,
                1e-9);
    EXPECT_NEAR(TextToDateTime(u"3/1/2024 12:30 AM", us), 45352 + 0.5 / 24, 1e-9);
    EXPECT_NEAR(TextToDateTime(u"14:05", german), (14 * 60 + 5) / 1440.0, 1e-12);
    EXPECT_NEAR(TextToDateTime(u"01.03.2024 14:05:09,5", german),
                45352 + (14 * 3600 + 309.5) / 86400.0, 1e-9);
    for (const char16_t* bad : {u"", u"x", u"31.02.2024", u"01.03.2024 25:00", u"14",
                                u"01.03.2024 14:05 x", u"13:00 PM"}) {
        TDateTime value = 0;
        EXPECT_FALSE(TryTextToDateTime(bad, value, german))
            << QString::fromUtf16(bad).toStdString();
    }
    EXPECT_THROW(TextToDateTime(u"x", german), EVxConvertError);
}

// What each locale writes, spelled out from its conventions: Japanese and Korean times
// hold literal text, and Korean puts the afternoon marker before a 12-hour hour.
TEST(DateTimeFormatTest, LocaleTextsOfOneInstant) {
    const struct {
        const char* Locale;
        const char* Text;
    } cases[] = {
        {"invariant", "2024-03-01 14:05:09"},
        {"de_DE", "01.03.2024 14:05:09"},
        {"en_US", "3/1/2024 2:05:09 PM"},
        {"fi_FI", "1.3.2024 14.05.09"},
        {"ja_JP", "2024/03/01 14\u664205\u520609\u79d2"},
        {"ko_KR", "2024. 3. 1. \uc624\ud6c4 2\uc2dc 5\ubd84 9\ucd08"},
    };
    for (const auto& c : cases) {
        const TVxFormatSettings settings = RoundTripSettings(c.Locale);
        const QString expected = QString::fromUtf8(c.Text);
        EXPECT_EQ(DateTimeToText(Sample, settings), expected) << c.Locale;
        TDateTime back = 0;
        ASSERT_TRUE(TryTextToDateTime(expected, back, settings)) << c.Locale;
        EXPECT_NEAR(back, Sample - 0.045 / 86400, 1e-9) << c.Locale;
    }
    // The morning marker before the hour, and 12 o'clock on both sides of noon.
    const TVxFormatSettings korean = RoundTripSettings("ko_KR");
    EXPECT_NEAR(
        TextToDateTime(QString::fromUtf8("2024. 3. 1. \uc624\uc804 12\uc2dc 30\ubd84 0\ucd08"),
                       korean),
        45352 + 0.5 / 24, 1e-9);
    EXPECT_NEAR(TextToDateTime(
                    QString::fromUtf8("2024. 3. 1. \uc624\ud6c4 12\uc2dc 0\ubd84 0\ucd08"), korean),
                45352.5, 1e-9);
}

// Whatever DateTimeToText writes reads back to the same second in every locale, in any
// century and on both sides of noon and of the date-time epoch.
TEST(DateTimeFormatTest, WrittenDateTimesReadBackInEveryLocale) {
    std::vector<TDateTime> instants = {Sample,    45352.0,     45352.5,  0.5 / 24,    0.0,
                                       9000.75,   -1.25,       -36000.9, MinDateTime, MaxDateTime,
                                       2958465.5, 45352.99999, 1e-9};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> anyDay(MinDateTime, MaxDateTime);
    for (int i = 0; i < 200; ++i)
        instants.push_back(anyDay(random));
    for (const char* locale : RoundTripLocales) {
        SCOPED_TRACE(locale);
        const TVxFormatSettings settings = RoundTripSettings(locale);
        for (TDateTime x : instants) {
            const QString text = DateTimeToText(x, settings);
            TDateTime back = 0;
            ASSERT_TRUE(TryTextToDateTime(text, back, settings)) << text.toStdString();
            // The text shows whole seconds: the instant comes back less its milliseconds.
            const double seconds = DateTimeDifference(back, x) * 86400;
            EXPECT_GT(seconds, -1.0) << text.toStdString();
            EXPECT_LE(seconds, 1e-6) << text.toStdString();
        }
    }
}
