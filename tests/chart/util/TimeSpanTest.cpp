#include "util/TimeSpan.h"

#include "LocaleTable.h"
#include "QStringPrinter.h"
#include "util/Exceptions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

using Range = TVxSecondsFormatRange;

TVxFormatSettings German() {
    return TVxFormatSettings::FromLocale(QLocale(QLocale::German));
}

} // namespace

TEST(TimeSpanTest, SecondsToTextByRange) {
    const TVxFormatSettings inv = TVxFormatSettings::Invariant();
    const struct {
        Range R;
        double Seconds;
        const char* Text;
    } cases[] = {
        {Range::Second, 5, "5"},
        {Range::Day, 90061, "1.01:01:01"},
        {Range::Minute, 0, "00:00"},
        {Range::Hour, 3725.5, "01:02:05.5"},
        {Range::Minute, 120, "02:00"},
        {Range::Day, 2 * 86400, "2.00:00:00"},
        {Range::Day, 3600, "01:00:00"},
        {Range::Minute, 59.9996, "01:00"},
        {Range::Hour, 45.25, "00:00:45.25"},
        {Range::Second, 1e-7, "0"},
        {Range::Minute, 0.0004, "00:00"},
        {Range::Second, 1234567.891, "1.2E+6"},
        // Negative counts (axes crossing zero): the magnitude with a "-" in front.
        {Range::Minute, -90, "-01:30"},
        {Range::Hour, -3725.5, "-01:02:05.5"},
        {Range::Second, -2.5, "-2.5"},
        {Range::Day, -90061, "-1.01:01:01"},
        {Range::Minute, -0.0004, "00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SecondsToText(c.R, c.Seconds, inv), QString::fromLatin1(c.Text)) << c.Seconds;
    EXPECT_EQ(SecondsToText(Range::Hour, 3725.5, German()), "01:02:05,5");
}

TEST(TimeSpanTest, TimeSpanText) {
    const TVxFormatSettings inv = TVxFormatSettings::Invariant();
    const struct {
        double Days;
        const char* Text;
    } cases[] = {
        {1.5, "1.12:00:00.000"},
        {0, ""},
        {2, "2."},
        {0.5, "12:00:00.000"},
        {45 / 86400000.0, "00:00:00.045"},
        {1 - 1e-10, "1."}, // rounds up to a whole day, not to 0.24:00:00
        {3 + (3600 + 120 + 3.004) / 86400, "3.01:02:03.004"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeSpanToText(c.Days, inv), QString::fromLatin1(c.Text)) << c.Days;
    EXPECT_EQ(TimeSpanToText(1.5, German()), "1.12:00:00,000");
    try {
        TimeSpanToText(-0.1, inv);
        FAIL() << "no exception";
    } catch (const EVxConvertError& e) {
        EXPECT_EQ(e.Message(), "Error no negative Time Span allowed");
    }
    EXPECT_THROW(TimeSpanToText(std::numeric_limits<double>::quiet_NaN(), inv), EVxConvertError);
}

TEST(TimeSpanTest, TextToTimeSpanReadsWhatIsWritten) {
    for (const TVxFormatSettings& settings : {TVxFormatSettings::Invariant(), German()}) {
        for (double days : {0.0, 2.0, 1.5, 0.5, 45 / 86400000.0, 1 - 1e-10, 123.456789}) {
            const QString text = TimeSpanToText(days, settings);
            EXPECT_NEAR(TextToTimeSpan(text, settings), days, 0.5 / 86400000 + 1e-12)
                << text.toStdString();
        }
    }
    const TVxFormatSettings inv = TVxFormatSettings::Invariant();
    EXPECT_NEAR(TextToTimeSpan(u"1.02:03:04.5", inv), 1 + 2 / 24.0 + 3 / 1440.0 + 4.5 / 86400,
                1e-12);
    EXPECT_NEAR(TextToTimeSpan(u"12:30", inv), 12.5 / 1440, 1e-12);
    EXPECT_EQ(TextToTimeSpan(u"", inv), 0);
    EXPECT_EQ(TextToTimeSpan(u"2.", inv), 2);
    for (const char16_t* bad : {u"abc", u"1:x:3", u"1.5.3:00", u"01:02:03,5"}) {
        double days = 0;
        EXPECT_FALSE(TryTextToTimeSpan(bad, days, inv)) << QString::fromUtf16(bad).toStdString();
    }
    EXPECT_THROW(TextToTimeSpan(u"abc", inv), EVxConvertError);
}

// Whatever TimeSpanToText writes in a locale reads back in that locale to the same span
// within half a millisecond (the writer's rounding), however the locale separates fields.
TEST(TimeSpanTest, WrittenSpansReadBackInEveryLocale) {
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> fraction(0, 1);
    std::vector<double> spans = {0,       1,           2,         1.5,        0.5,
                                 1e-8,    45 / 864e5,  1 - 1e-10, 123.456789, 3 + 3723.004 / 86400,
                                 99999.5, 1 / 86400.0, 10.0 / 24};
    for (int i = 0; i < 300; ++i)
        spans.push_back(std::floor(fraction(random) * 1000) + fraction(random));
    for (const char* locale : RoundTripLocales) {
        SCOPED_TRACE(locale);
        const TVxFormatSettings settings = RoundTripSettings(locale);
        for (double days : spans) {
            const QString text = TimeSpanToText(days, settings);
            double back = -1;
            ASSERT_TRUE(TryTextToTimeSpan(text, back, settings)) << text.toStdString();
            // Half a millisecond, plus the spacing of doubles at this size.
            const double spacing = std::nextafter(days, 2 * days + 1) - days;
            EXPECT_NEAR(back, days, 0.5 / 864e5 + 4 * spacing) << text.toStdString();
        }
    }
}

// "." separates both the days and the time fields in Finnish: the field count decides.
TEST(TimeSpanTest, PointAsTimeSeparatorReadsByFieldCount) {
    const TVxFormatSettings fi = RoundTripSettings("fi_FI");
    ASSERT_EQ(fi.TimeSeparator, ".");
    ASSERT_EQ(fi.DecimalSeparator, ",");
    EXPECT_EQ(TimeSpanToText(1.5, fi), "1.12.00.00,000");
    const struct {
        const char16_t* Text;
        double Days;
    } cases[] = {
        {u"1.12.00.00,000", 1.5},
        {u"12.00.00,000", 0.5},
        {u"3.", 3},
        {u"02.03,5", (2 * 60 + 3.5) / 86400},
        {u"45", 45 / 86400.0},
        {u"2.01.02.03,004", 2 + (3600 + 2 * 60 + 3.004) / 86400},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(TextToTimeSpan(c.Text, fi), c.Days, 1e-12)
            << QString::fromUtf16(c.Text).toStdString();
    for (const char16_t* bad : {u"1.2.3.4.5", u"1.12.00.00.000", u"a.00.00", u"1.-2.00.00"}) {
        double days = 0;
        EXPECT_FALSE(TryTextToTimeSpan(bad, days, fi)) << QString::fromUtf16(bad).toStdString();
    }
}

// The writer refuses negative spans, and so does the reader: no field takes a sign.
TEST(TimeSpanTest, NegativeSpansAreRefusedBothWays) {
    for (const char* locale : RoundTripLocales) {
        SCOPED_TRACE(locale);
        const TVxFormatSettings settings = RoundTripSettings(locale);
        EXPECT_THROW(TimeSpanToText(-1.5, settings), EVxConvertError);
        const QString t = settings.TimeSeparator;
        const QString d = settings.DecimalSeparator;
        const QStringList negatives = {"-1.12" + t + "00" + t + "00" + d + "000",
                                       "-12" + t + "00",
                                       "1.-12" + t + "00" + t + "00",
                                       "00" + t + "-30",
                                       "-5",
                                       "-0" + d + "5"};
        for (const QString& negative : negatives) {
            EXPECT_THROW(TextToTimeSpan(negative, settings), EVxConvertError)
                << negative.toStdString();
        }
    }
}
