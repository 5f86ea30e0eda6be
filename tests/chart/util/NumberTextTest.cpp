#include "util/NumberText.h"

#include "QStringPrinter.h"
#include "util/Exceptions.h"
#include "util/FormatSettings.h"

#include <gtest/gtest.h>

namespace {

TVxFormatSettings German() {
    return TVxFormatSettings::FromLocale(QLocale(QLocale::German));
}

// Reads bijective base-26 letters back, as an independent reference.
long long LettersToIndex(const QString& Letters) {
    long long n = 0;
    for (QChar c : Letters)
        n = n * 26 + (c.unicode() - u'A' + 1);
    return n;
}

} // namespace

TEST(NumberTextTest, GeneralTextByPrecision) {
    const struct {
        double Value;
        int Precision;
        const char* Text;
    } cases[] = {
        {123.456, 4, "123.5"},      {0.1, 17, "0.1"},         {1e20, 0, "1E+20"},
        {1234567, 6, "1.23457E+6"}, {0.000123, 2, "0.00012"}, {1.5e-5, 3, "1.5E-5"},
        {-99.96, 3, "-100"},        {100, 2, "1E+2"},         {0, 5, "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToGeneralText(c.Value, c.Precision), QString::fromLatin1(c.Text))
            << c.Value << " p" << c.Precision;
    EXPECT_EQ(FloatToFixedText(2.5, 2, u","), "2,50");
    EXPECT_EQ(FloatToExponentText(1500, 3, 3), "1.50E+003");
    EXPECT_EQ(FloatToExponentText(-0.00125, 2, 0), "-1.3E-3");
}

TEST(NumberTextTest, LimitedTextShortensUntilItFits) {
    const TVxFormatSettings invariant = TVxFormatSettings::Invariant();
    const struct {
        int MaxLen;
        double Value;
        const char* Text;
    } cases[] = {
        {0, 0.1, "0.1"}, {6, 3.14159265, "3.1416"}, {6, 1234567, "1.2E+6"}, {4, 0.000123, "0.0001"},
        {3, 12, "12"},   {2, 100, "1E+2"},          {8, -2.5, "-2.5"},      {5, 99999.7, "1E+5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToLimitedText(c.MaxLen, c.Value, invariant), QString::fromLatin1(c.Text))
            << c.MaxLen << " " << c.Value;
    EXPECT_EQ(FloatToLimitedText(6, 5.5, German()), "5,5");
}

TEST(NumberTextTest, LocaleTextAcceptsOnlyTheDecimalSeparator) {
    const TVxFormatSettings german = German();
    EXPECT_EQ(german.DecimalSeparator, ",");
    EXPECT_EQ(TextToFloat(u"1,5", german), 1.5);
    EXPECT_EQ(TextToFloat(u" -2,5e3 ", german), -2500);
    EXPECT_EQ(TextToFloat(u"7", german), 7);
    for (const char16_t* bad : {u"1.5", u"1.000,5", u"1,5,", u"", u"x"}) {
        double value = 0;
        EXPECT_FALSE(TryTextToFloat(bad, value, german)) << QString::fromUtf16(bad).toStdString();
    }
    EXPECT_THROW(TextToFloat(u"1.5", german), EVxConvertError);

    const TVxFormatSettings invariant = TVxFormatSettings::Invariant();
    EXPECT_EQ(TextToFloat(u"1.5", invariant), 1.5);
    double value = 0;
    EXPECT_FALSE(TryTextToFloat(u"1,5", value, invariant));
}

TEST(NumberTextTest, FormatFloatPatterns) {
    const TVxFormatSettings inv = TVxFormatSettings::Invariant();
    const struct {
        const char16_t* Pattern;
        double Value;
        const char16_t* Text;
    } cases[] = {
        {u"0.00", 3.14159, u"3.14"},
        {u"#,##0.0", 1234567.89, u"1,234,567.9"},
        {u"0.###", 2.5, u"2.5"},
        {u"0.###", 2, u"2"},
        {u"#.##", 0.5, u".5"},
        {u"000", 7, u"007"},
        {u"0.00E+00", 12345, u"1.23E+04"},
        {u"0.0e-0", 0.00012, u"1.2e-4"},
        {u"0.0;(0.0);zero", -2.5, u"(2.5)"},
        {u"0.0;(0.0);zero", 0, u"zero"},
        {u"0.0 \u00B0C", 21.5, u"21.5 \u00B0C"},
        {u"'T='0", 3, u"T=3"},
        {u"0", -0.4, u"0"},
        {u"0.0", -1.25, u"-1.2"},
        {u"", 0.1, u"0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.Pattern, c.Value, inv), QString::fromUtf16(c.Text))
            << QString::fromUtf16(c.Pattern).toStdString();
    EXPECT_EQ(FormatFloat(u"#,##0.00", 1234.5, German()), "1.234,50");
}

TEST(NumberTextTest, IndexToLettersIsBijectiveBase26) {
    const struct {
        long long Index;
        const char* Letters;
    } cases[] = {{1, "A"},    {26, "Z"},    {27, "AA"},     {28, "AB"},      {52, "AZ"}, {53, "BA"},
                 {702, "ZZ"}, {703, "AAA"}, {18278, "ZZZ"}, {18279, "AAAA"}, {0, ""},    {-5, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(IndexToLetters(c.Index), QString::fromLatin1(c.Letters)) << c.Index;
    for (long long n = 1; n <= 20000; ++n)
        ASSERT_EQ(LettersToIndex(IndexToLetters(n)), n);
}

TEST(FormatSettingsTest, GermanAndUsLocalesInLibraryPatternLetters) {
    const TVxFormatSettings german = German();
    EXPECT_EQ(german.DateSeparator, ".");
    EXPECT_EQ(german.TimeSeparator, ":");
    EXPECT_EQ(german.ShortDateFormat, "dd/mm/yy");
    EXPECT_EQ(german.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(german.LongMonthNames[2], QString::fromUtf8("März"));
    EXPECT_EQ(german.LongDayNames[0], "Sonntag");

    const TVxFormatSettings us =
        TVxFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.DecimalSeparator, ".");
    EXPECT_EQ(us.DateSeparator, "/");
    EXPECT_EQ(us.ShortDateFormat, "m/d/yy");
    EXPECT_TRUE(us.ShortTimeFormat.startsWith("h:nn")) << us.ShortTimeFormat.toStdString();
    EXPECT_TRUE(us.ShortTimeFormat.endsWith("ampm")) << us.ShortTimeFormat.toStdString();
    EXPECT_EQ(us.TimeAMString, "AM");

    EXPECT_EQ(TVxFormatSettings::PatternFromQt("yyyy-MM-dd 'at' HH:mm", "-", ":"),
              "yyyy/mm/dd \"at\" hh:nn");
}
