#include "InvariantText.h"

#include "util/DecimalConversion.h"
#include "util/Exceptions.h"
#include "util/NumberScan.h"
#include "util/NumberText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

[[noreturn]] void RaiseNotAFloat(const QString& Text) {
    throw EVxConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(Text));
}

// The value of eight ASCII digits read as one little-endian word.
std::uint32_t EightDigitsValue(std::uint64_t Word) {
    constexpr std::uint64_t mask = 0x000000FF000000FF;
    constexpr std::uint64_t mul1 = 100 + (std::uint64_t(1000000) << 32);
    constexpr std::uint64_t mul2 = 1 + (std::uint64_t(10000) << 32);
    Word -= 0x3030303030303030;
    Word = Word * 10 + (Word >> 8);
    return std::uint32_t((((Word & mask) * mul1) + (((Word >> 16) & mask) * mul2)) >> 32);
}

// Appends the digits [First, Last) to Digits (leading zeros of the number skipped, eight
// at a time where they can); false when the number has more than 19 significant digits.
[[gnu::always_inline]] inline bool AppendDigits(const char* First, const char* Last,
                                                std::uint64_t& Digits, int& Count) {
    if (Digits == 0)
        while (First != Last && *First == '0')
            ++First;
    Count += int(Last - First);
    if (Count > 19)
        return false;
    for (; Last - First >= 8; First += 8) {
        std::uint64_t word;
        std::memcpy(&word, First, 8);
        if constexpr (std::endian::native == std::endian::big)
            word = __builtin_bswap64(word);
        Digits = Digits * 100000000 + EightDigitsValue(word);
    }
    for (; First != Last; ++First)
        Digits = Digits * 10 + std::uint64_t(*First - '0');
    return true;
}

// Reads [-]digits[.digits][(e|E)[+|-]digits] of at most 19 significant digits and an
// exponent of at most four digits; false for anything else and for the values the quick
// conversion leaves to a full parser (Value untouched then).
bool TryPlainNumber(const char* p, const char* End, double& Value) {
    const bool negative = p != End && *p == '-';
    if (negative)
        ++p;
    const char* integer = p;
    while (p != End && VxNumberScan::IsDigit(*p))
        ++p;
    const char* integerEnd = p;
    if (integer == integerEnd)
        return false;
    const char* fraction = p;
    const char* fractionEnd = p;
    if (p != End && *p == '.') {
        fraction = ++p;
        while (p != End && VxNumberScan::IsDigit(*p))
            ++p;
        fractionEnd = p;
        if (fraction == fractionEnd)
            return false;
    }
    int exponent = 0;
    if (p != End && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool below = p != End && *p == '-';
        if (p != End && (*p == '-' || *p == '+'))
            ++p;
        if (p == End || End - p > 4)
            return false;
        for (; p != End; ++p) {
            if (!VxNumberScan::IsDigit(*p))
                return false;
            exponent = exponent * 10 + (*p - '0');
        }
        if (below)
            exponent = -exponent;
    }
    if (p != End)
        return false;
    std::uint64_t digits = 0;
    int count = 0;
    if (!AppendDigits(integer, integerEnd, digits, count) ||
        !AppendDigits(fraction, fractionEnd, digits, count))
        return false;
    return TryDecimalToDouble(digits, exponent - int(fractionEnd - fraction), negative, Value);
}
} // namespace

// Copies Length (at most 24) bytes in blocks of eight: a few fixed moves instead of a
// call, writing up to seven bytes past the end (within the writer's room) and reading as
// far past Source (within the digit buffer).
[[gnu::always_inline]] inline char* CopyShort(char* Out, const char* Source, int Length) {
    std::memcpy(Out, Source, 8);
    if (Length > 8) {
        std::memcpy(Out + 8, Source + 8, 8);
        if (Length > 16)
            std::memcpy(Out + 16, Source + 16, 8);
    }
    return Out + Length;
}

char* FloatToInvariantChars(double x, char* Out) {
    if (!std::isfinite(x)) {
        const std::string_view word = std::isnan(x) ? "NAN" : x < 0 ? "-INF" : "INF";
        return std::copy(word.begin(), word.end(), Out);
    }
    char* out = Out;
    if (std::signbit(x))
        *out++ = '-';
    if (x == 0) {
        *out++ = '0';
        return out;
    }
    // The shortest digits, laid out in the general form: plain for decimal exponents
    // -5 < e < 15, "d.dddE+XX" elsewhere. The longest text is 24 characters
    // ("-1.2345678901234567E-308"); short copies may write seven more.
    const TVxDecimal decimal = ShortestDecimal(std::fabs(x));
    char digits[48];
    char* const digitsEnd = digits + 24;
    const char* first = WriteDigitsBackwards(decimal.Digits, digitsEnd);
    const int count = int(digitsEnd - first);
    const int exponent = decimal.Exponent + count - 1;
    if (exponent < -4 || exponent >= 15) {
        *out++ = *first;
        if (count > 1) {
            *out++ = '.';
            out = CopyShort(out, first + 1, count - 1);
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude >= 100)
            *out++ = char('0' + magnitude / 100);
        if (magnitude >= 10)
            *out++ = char('0' + magnitude / 10 % 10);
        *out++ = char('0' + magnitude % 10);
        return out;
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int k = -exponent - 1; k > 0; --k)
            *out++ = '0';
        return CopyShort(out, first, count);
    }
    const int integerDigits = exponent + 1;
    if (count <= integerDigits) {
        out = CopyShort(out, first, count);
        for (int k = integerDigits - count; k > 0; --k)
            *out++ = '0';
        return out;
    }
    out = CopyShort(out, first, integerDigits);
    *out++ = '.';
    return CopyShort(out, first + integerDigits, count - integerDigits);
}

QString FloatToInvariantText(double x) {
    char buffer[InvariantTextMaxLength];
    const char* end = FloatToInvariantChars(x, buffer);
    return QString::fromLatin1(buffer, qsizetype(end - buffer));
}

std::string FloatToInvariantString(double x) {
    char buffer[InvariantTextMaxLength];
    return std::string(buffer, FloatToInvariantChars(x, buffer));
}

bool TryInvariantTextToFloat(QStringView Text, double& Value) {
    const auto* p = reinterpret_cast<const char16_t*>(Text.data());
    return VxNumberScan::ConvertWholeFloat(p, p + Text.size(), Value) ==
           VxNumberScan::TScanResult::Ok;
}

bool TryInvariantTextToFloat(std::string_view Text, double& Value) {
    // The plain layout ("-12.5", "1.25E-7": what the writer gives) is read here; everything
    // else, and the rare values the quick conversion cannot settle, take from_chars or the
    // full scan.
    const char* first = Text.data();
    const char* last = first + Text.size();
    if (TryPlainNumber(first, last, Value))
        return true;
    if (first != last && (VxNumberScan::IsDigit(*first) ||
                          (*first == '-' && last - first > 1 && VxNumberScan::IsDigit(first[1])))) {
        double value = 0;
        const auto [ptr, ec] = std::from_chars(first, last, value);
        if (ec == std::errc() && ptr == last) {
            Value = value;
            return true;
        }
    }
    return VxNumberScan::ConvertWholeFloat(Text.data(), Text.data() + Text.size(), Value) ==
           VxNumberScan::TScanResult::Ok;
}

double InvariantTextToFloat(QStringView Text) {
    double value = 0;
    if (!TryInvariantTextToFloat(Text, value))
        RaiseNotAFloat(Text.toString());
    return value;
}

double InvariantTextToFloat(std::string_view Text) {
    double value = 0;
    if (!TryInvariantTextToFloat(Text, value))
        RaiseNotAFloat(QString::fromUtf8(Text.data(), qsizetype(Text.size())));
    return value;
}
