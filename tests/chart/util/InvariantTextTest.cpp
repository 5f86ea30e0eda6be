#include "util/InvariantText.h"

#include "LocaleTable.h"
#include "QStringPrinter.h"
#include "util/Exceptions.h"
#include "util/FormatSettings.h"
#include "util/NumberText.h"

#include <QLocale>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

} // namespace

TEST(InvariantTextTest, WritesShortestTextWithPointAndSpecialWords) {
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {0.1, "0.1"},
        {0.1 + 0.2, "0.30000000000000004"},
        {-2.5, "-2.5"},
        {100, "100"},
        {123456789012345, "123456789012345"},
        {1e15, "1E+15"},
        {1e20, "1E+20"},
        {0.0001, "0.0001"},
        {1e-5, "1E-5"},
        {-1.25e-7, "-1.25E-7"},
        {0.0, "0"},
        {-0.0, "-0"},
        {std::numeric_limits<double>::max(), "1.7976931348623157E+308"},
        {std::numeric_limits<double>::denorm_min(), "5E-324"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"},
        {Inf, "INF"},
        {-Inf, "-INF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FloatToInvariantText(c.Value), QString::fromLatin1(c.Text)) << c.Text;
        EXPECT_EQ(FloatToInvariantString(c.Value), c.Text);
    }
}

TEST(InvariantTextTest, ReadsNumbersAndRejectsEverythingElse) {
    const struct {
        const char* Text;
        double Value;
    } good[] = {{"1.5", 1.5},   {"+1.5", 1.5},  {" 2 ", 2},       {"1e3", 1000},
                {"1E+3", 1000}, {".5", 0.5},    {"5.", 5},        {"-0.25", -0.25},
                {"inf", Inf},   {"-INF", -Inf}, {"Infinity", Inf}};
    for (const auto& c : good) {
        EXPECT_EQ(InvariantTextToFloat(QString::fromLatin1(c.Text)), c.Value) << c.Text;
        EXPECT_EQ(InvariantTextToFloat(std::string_view(c.Text)), c.Value) << c.Text;
    }
    EXPECT_TRUE(std::isnan(InvariantTextToFloat(u"nan")));
    EXPECT_TRUE(std::signbit(InvariantTextToFloat(u"-0")));

    for (const char* bad : {"", " ", "1,5", "abc", "1.5x", "--1", "+-1", ".", "1e", "1e999x",
                            "-1e400 1", "1 2", "0x10", "NANA", "e5", "-"}) {
        double value = 7;
        EXPECT_FALSE(TryInvariantTextToFloat(std::string_view(bad), value)) << bad;
        EXPECT_EQ(value, 7) << bad;
        EXPECT_THROW(InvariantTextToFloat(QString::fromLatin1(bad)), EVxConvertError) << bad;
    }
}

// The byte writer of long lists and the general number text are two layouts of the same
// digits; they agree on every double.
TEST(InvariantTextTest, ByteWriterAgreesWithTheGeneralText) {
    std::mt19937_64 random(99);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1e15,
                                  999999999999999.9,
                                  1e-5,
                                  0.0001,
                                  123.0,
                                  -1.5e300,
                                  5e-324,
                                  std::numeric_limits<double>::max(),
                                  Inf,
                                  -Inf,
                                  std::numeric_limits<double>::quiet_NaN()};
    for (double edge : {1e-4, 1e15, 1e-5})
        for (double x : {edge, std::nextafter(edge, 0.0), std::nextafter(edge, 1e300)})
            values.insert(values.end(), {x, -x});
    for (int i = 0; i < 100000; ++i)
        values.push_back(std::bit_cast<double>(random()));
    std::uniform_real_distribution<double> everyday(-1e6, 1e6);
    for (int i = 0; i < 100000; ++i)
        values.push_back(everyday(random));
    for (double x : values) {
        char buffer[InvariantTextMaxLength];
        const char* end = FloatToInvariantChars(x, buffer);
        ASSERT_EQ(QString::fromLatin1(buffer, end - buffer), FloatToGeneralText(x, 0, u"."));
    }
}

// Another program's record may hold a value that underflows or exceeds the double range;
// it loads as the nearest double. Expected values: invariant_range_reference.py.
TEST(InvariantTextTest, ReadsValuesBeyondTheDoubleRangeAsTheNearestDouble) {
    const struct {
        const char* Text;
        double Value;
    } cases[] = {
        {"1e-400", 0x0.0p+0},
        {"-1e-400", -0x0.0p+0},
        {"1.8e308", Inf},
        {"-1.8e308", -Inf},
        {"2.4e-324", 0x0.0p+0},
        {"2.5e-324", 0x0.0000000000001p-1022},
        {"-2.5e-324", -0x0.0000000000001p-1022},
        {"1e-310", 0x0.012688b70e62bp-1022},
        {"1.7976931348623158e308", 0x1.fffffffffffffp+1023},
        {"1.7976931348623159e308", Inf},
        {"1e99999999999999999999", Inf},
        {"1000000e-330", 0x0.0p+0},
        {"100000000000000000000e290", Inf},
        {"0.00001e-320", 0x0.0p+0},
        {"0.0001e312", 0x1.1ccf385ebc8a0p+1023},
    };
    for (const auto& c : cases) {
        const double fromWide = InvariantTextToFloat(QString::fromLatin1(c.Text));
        const double fromBytes = InvariantTextToFloat(std::string_view(c.Text));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(fromWide), std::bit_cast<std::uint64_t>(c.Value))
            << c.Text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(fromBytes), std::bit_cast<std::uint64_t>(c.Value))
            << c.Text;
    }
}

// Number text in files never depends on the locale, whichever one the desktop session
// sets for Qt and the C library.
TEST(InvariantTextTest, RandomBitPatternsRoundTripInEveryLocale) {
    for (const char* locale : RoundTripLocales) {
        SCOPED_TRACE(locale);
        const TLocaleSwitch in(locale);
        if (std::string(locale) == "de_DE") {
            // The locale is really in force for Qt (and for the C library where available).
            ASSERT_EQ(TVxFormatSettings::FromLocale(QLocale()).DecimalSeparator, ",");
            if (in.CActive)
                EXPECT_STREQ(std::localeconv()->decimal_point, ",");
            else
                std::printf("note: de_DE C locale not installed; only Qt's locale is German\n");
        }
        std::mt19937_64 random(20240301);
        for (int i = 0; i < 50000; ++i) {
            const double x = std::bit_cast<double>(random());
            const QString text = FloatToInvariantText(x);
            ASSERT_FALSE(text.contains(u',')) << text.toStdString();
            const double back = InvariantTextToFloat(text);
            if (std::isnan(x))
                ASSERT_TRUE(std::isnan(back)) << text.toStdString();
            else
                ASSERT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(x))
                    << text.toStdString();
        }
        for (double x : {0.0, -0.0, Inf, -Inf, 1.0, 0.1, 5e-324, 1.7976931348623157e308})
            EXPECT_EQ(std::bit_cast<std::uint64_t>(InvariantTextToFloat(FloatToInvariantText(x))),
                      std::bit_cast<std::uint64_t>(x));
    }
}
