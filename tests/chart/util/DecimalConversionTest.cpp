// The invariant number text against the standard library's conversions, which are
// independent of ours: the shortest text of a double must carry std::to_chars' digits in
// the general layout, and reading a text must give std::from_chars' double, bit for bit.
#include "util/DecimalConversion.h"

#include "util/InvariantText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// The general layout built from std::to_chars: plain for |x| in [1e-4, 1e15) (fixed
// notation, shortest), else the scientific digits as "d.dddE+X".
std::string ReferenceText(double x) {
    if (std::isnan(x))
        return "NAN";
    if (std::isinf(x))
        return x < 0 ? "-INF" : "INF";
    char buffer[64];
    const double magnitude = std::fabs(x);
    if ((magnitude >= 1e-4 && magnitude < 1e15) || magnitude == 0)
        return std::string(
            buffer, std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed).ptr);
    char* end = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific).ptr;
    const std::string text(buffer, end);
    const size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    const int exponent = std::stoi(text.substr(e + 1));
    return mantissa + "E" + (exponent < 0 ? "-" : "+") + std::to_string(std::abs(exponent));
}

std::string OurText(double x) {
    char buffer[InvariantTextMaxLength];
    return std::string(buffer, FloatToInvariantChars(x, buffer));
}

double ReferenceValue(const std::string& Text) {
    double value = 0;
    const auto [ptr, ec] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    EXPECT_TRUE(ptr == Text.data() + Text.size()) << Text;
    if (ec == std::errc::result_out_of_range) // from_chars leaves it: the nearest is 0 or INF
        return std::strtod(Text.c_str(), nullptr);
    return value;
}

double Next(double x, int Steps) {
    const auto bits = std::bit_cast<std::int64_t>(x);
    return std::bit_cast<double>(bits + Steps);
}

// Doubles where shortest digits and rounding are delicate: powers of two and ten with
// their neighbours (the lower neighbour of a power of two is half as far), the ends of the
// range and of the plain layout, subnormals, whole numbers around 2^53.
std::vector<double> EdgeValues() {
    std::vector<double> values = {std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::epsilon(),
                                  0.1,
                                  0.3,
                                  1.0 / 3,
                                  2.0 / 3,
                                  5e-324,
                                  1e308,
                                  1.7976931348623157e308,
                                  2.2250738585072009e-308,
                                  9007199254740991.0,
                                  9007199254740992.0,
                                  9007199254740994.0,
                                  123456789012345.0,
                                  999999999999999.9,
                                  9.999999999999999e14};
    for (int e = -1074; e <= 1023; ++e)
        for (int step = -2; step <= 2; ++step)
            values.push_back(Next(std::ldexp(1.0, e), step));
    for (int e = -323; e <= 308; ++e)
        for (int step = -2; step <= 2; ++step)
            values.push_back(Next(std::strtod(("1e" + std::to_string(e)).c_str(), nullptr), step));
    for (std::uint64_t m = 1; m < 5000; ++m) // the smallest subnormals
        values.push_back(std::bit_cast<double>(m));
    for (int i = -1000; i <= 1000; ++i) // whole numbers and halves around 2^53 and 2^54
        for (double base : {9007199254740992.0, 18014398509481984.0})
            values.push_back(base + i), values.push_back(base + i + 0.5);
    return values;
}

void ExpectSameText(double x) {
    const std::string ours = OurText(x), reference = ReferenceText(x);
    ASSERT_EQ(ours, reference) << std::bit_cast<std::uint64_t>(x);
    ASSERT_EQ(OurText(-x), ReferenceText(-x)) << std::bit_cast<std::uint64_t>(x);
}

void ExpectSameValue(const std::string& Text) {
    double ours = 12345;
    ASSERT_TRUE(TryInvariantTextToFloat(std::string_view(Text), ours)) << Text;
    const double reference = ReferenceValue(Text);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(ours), std::bit_cast<std::uint64_t>(reference)) << Text;
}

} // namespace

TEST(DecimalConversionTest, ShortestTextMatchesToCharsOnEdgeValues) {
    for (double x : EdgeValues())
        ExpectSameText(x);
}

// Uniform bit patterns cover every exponent equally; uniform values cover the common
// magnitudes with their 16 and 17 digit texts.
TEST(DecimalConversionTest, ShortestTextMatchesToCharsOnRandomDoubles) {
    std::mt19937_64 rng(20261210);
    for (int i = 0; i < 1'000'000; ++i) {
        const double x = std::bit_cast<double>(rng() & 0x7FFF'FFFF'FFFF'FFFFu);
        if (std::isfinite(x))
            ExpectSameText(x);
    }
    std::uniform_real_distribution<double> common(-1e6, 1e6);
    for (int i = 0; i < 300'000; ++i)
        ExpectSameText(common(rng));
}

TEST(DecimalConversionTest, ShortestDecimalHasNoTrailingZeros) {
    const struct {
        double Value;
        std::uint64_t Digits;
        int Exponent;
    } cases[] = {{100, 1, 2},   {1e23, 1, 23},    {5e-324, 5, -324},
                 {0.1, 1, -1},  {1.5, 15, -1},    {1e15, 1, 15},
                 {123, 123, 0}, {2.5e-7, 25, -8}, {1.7976931348623157e308, 17976931348623157, 292}};
    for (const auto& c : cases) {
        const TVxDecimal d = ShortestDecimal(c.Value);
        EXPECT_EQ(d.Digits, c.Digits) << c.Value;
        EXPECT_EQ(d.Exponent, c.Exponent) << c.Value;
    }
}

TEST(DecimalConversionTest, ReadingMatchesFromCharsOnWrittenTexts) {
    for (double x : EdgeValues()) {
        ExpectSameValue(OurText(x));
        ExpectSameValue(OurText(-x));
    }
    std::mt19937_64 rng(7);
    for (int i = 0; i < 1'000'000; ++i) {
        const double x = std::bit_cast<double>(rng());
        if (std::isfinite(x))
            ExpectSameValue(OurText(x));
    }
}

// Texts no writer gives: 1 to 19 digits, points anywhere, exponents beyond the range, and
// exact halfway cases (odd whole numbers between 2^53 and 2^54 lie halfway between two
// doubles and round to the even one).
TEST(DecimalConversionTest, ReadingMatchesFromCharsOnArbitraryDecimals) {
    std::mt19937_64 rng(11);
    for (int i = 0; i < 1'000'000; ++i) {
        const int length = 1 + int(rng() % 19);
        std::string text = (rng() & 1) ? "-" : "";
        text += char('1' + rng() % 9);
        for (int k = 1; k < length; ++k)
            text += char('0' + rng() % 10);
        const size_t point = rng() % (length + 1);
        if (point > 0 && point < size_t(length))
            text.insert(text.size() - (length - point), ".");
        if (rng() & 1)
            text += "E" + std::to_string(int(rng() % 700) - 350);
        ExpectSameValue(text);
    }
    for (std::uint64_t m = (std::uint64_t(1) << 53) + 1; m < (std::uint64_t(1) << 53) + 2001;
         m += 2) {
        ExpectSameValue(std::to_string(m));
        ExpectSameValue(std::to_string(m / 10) + "." + std::to_string(m % 10) + "e1");
    }
    for (const char* text :
         {"0", "-0", "0.000", "1e-400", "-1e-400", "1e400", "-1e400", "4.9e-324",
          "2.4703282292062328e-324", "2.4703282292062327e-324", "1.7976931348623158e308",
          "1.7976931348623159e308", "2.2250738585072011e-308", "9999999999999999999", "0.1e-342",
          "18446744073709551615", "18446744073709551616"})
        ExpectSameValue(text);
}
