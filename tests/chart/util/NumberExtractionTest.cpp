#include "util/NumberExtraction.h"

#include "QStringPrinter.h"
#include "util/Exceptions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

// Reads every float of Text with ExtractFloat, checking that the text shrinks each time.
std::vector<double> ExtractAll(QString Text) {
    std::vector<double> values;
    SkipToNumber(Text);
    while (!Text.isEmpty()) {
        const qsizetype before = Text.size();
        values.push_back(ExtractFloat(Text));
        EXPECT_LT(Text.size(), before);
    }
    return values;
}

// Compares number lists treating NaN as equal to NaN.
void ExpectSameNumbers(const std::vector<double>& Actual, const std::vector<double>& Expected,
                       const char* Context) {
    ASSERT_EQ(Actual.size(), Expected.size()) << Context;
    for (std::size_t i = 0; i < Actual.size(); ++i) {
        if (std::isnan(Expected[i]))
            EXPECT_TRUE(std::isnan(Actual[i])) << Context << " #" << i;
        else
            EXPECT_EQ(Actual[i], Expected[i]) << Context << " #" << i;
    }
}

} // namespace

TEST(NumberExtractionTest, CharacterClasses) {
    for (char16_t c : u"+-0123456789") {
        if (c == 0)
            continue;
        EXPECT_TRUE(IsSignOrDigit(QChar(c)));
        EXPECT_TRUE(IsNumberChar(QChar(c)));
    }
    for (char16_t c : u".Ee") {
        if (c == 0)
            continue;
        EXPECT_FALSE(IsSignOrDigit(QChar(c)));
        EXPECT_TRUE(IsNumberChar(QChar(c)));
    }
    EXPECT_FALSE(IsNumberChar(QChar(u'x')));
    EXPECT_FALSE(IsNumberChar(QChar(u',')));
}

TEST(NumberExtractionTest, ListsWithSeparatorsAndSpecialWords) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* Text;
        std::vector<double> Values;
    } cases[] = {
        {"1.5;nan;2", {1.5, NaN, 2}},
        {"1 NAN 2", {1, NaN, 2}},
        {"-INF;+inf 3", {-Inf, Inf, 3}},
        {"  -2.5e3\t4E-1 ", {-2500, 0.4}},
        {"x=3, y=4", {3, 4}},
        {"E 5", {5}},
        {"1e5;1e", {1e5, 1}},
        {"1.5.3", {1.5, 3}},
        {"", {}},
    };
    for (const auto& c : cases) {
        ExpectSameNumbers(ExtractAll(QString::fromLatin1(c.Text)), c.Values, c.Text);
        ExpectSameNumbers(ReadFloatList(QString::fromLatin1(c.Text)), c.Values, c.Text);
    }
}

TEST(NumberExtractionTest, ExtractFloatLeavesTheRestAfterTheNumber) {
    QString text = "  1.5; 2 ;x";
    EXPECT_EQ(ExtractFloat(text), 1.5);
    EXPECT_EQ(text, "2 ;x");
    EXPECT_EQ(ExtractFloat(text), 2);
    EXPECT_EQ(text, "");
}

TEST(NumberExtractionTest, FailureRaisesAndKeepsTheUnskippedText) {
    QString text = "1 - 2";
    EXPECT_EQ(ExtractFloat(text), 1);
    EXPECT_EQ(text, "- 2");
    try {
        ExtractFloat(text);
        FAIL() << "no exception";
    } catch (const EVxConvertError& e) {
        EXPECT_EQ(e.Message(), "Error during floating point number extraction");
    }
    EXPECT_EQ(text, "- 2");

    QString words = "abc";
    EXPECT_THROW(ExtractFloat(words), EVxConvertError);
    EXPECT_EQ(words, "");
    // Values beyond the double range read as the nearest double, as another program's
    // list may hold them: the rest of the list still loads.
    QString beyond = "1e999 -1e-400 2";
    EXPECT_EQ(ExtractFloat(beyond), std::numeric_limits<double>::infinity());
    const double tiny = ExtractFloat(beyond);
    EXPECT_EQ(tiny, 0.0);
    EXPECT_TRUE(std::signbit(tiny));
    EXPECT_EQ(ExtractFloat(beyond), 2);
    EXPECT_EQ(beyond, "");
}

TEST(NumberExtractionTest, IntegersSkipEverythingButSignsAndDigits) {
    QString text = "a12;-3 4.7";
    EXPECT_EQ(ExtractInteger(text), 12);
    EXPECT_EQ(ExtractInteger(text), -3);
    EXPECT_EQ(ExtractInteger(text), 4);
    EXPECT_EQ(ExtractInteger(text), 7);
    EXPECT_EQ(text, "");
    EXPECT_EQ(ReadIntegerList(u"2147483647 -2147483648, x"),
              (std::vector<int>{2147483647, -2147483648}));

    for (const char* bad : {"", "x", "-", "2147483648", "-2147483649", "99999999999999999999"}) {
        QString t = QString::fromLatin1(bad);
        try {
            ExtractInteger(t);
            ADD_FAILURE() << bad;
        } catch (const EVxConvertError& e) {
            EXPECT_EQ(e.Message(), "Error during integer extraction") << bad;
        }
    }
}

TEST(NumberExtractionTest, ReaderMatchesExtractFloatStepByStep) {
    const QString source = "E;3.25;;-1e-3 nan INF 42x7";
    QString text = source;
    TVxNumberListReader reader(source);
    SkipToNumber(text);
    while (!reader.AtEnd()) {
        const double fromReader = reader.ReadFloat();
        const double fromText = ExtractFloat(text);
        if (std::isnan(fromText))
            EXPECT_TRUE(std::isnan(fromReader));
        else
            EXPECT_EQ(fromReader, fromText);
        EXPECT_EQ(reader.Rest().toString(), text);
    }
    EXPECT_TRUE(text.isEmpty());
}
