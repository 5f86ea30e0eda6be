#pragma once
// Internal to the util library: finding and converting one number token at the start of a
// text, with std::from_chars (never the C locale). Shared by the invariant, locale and
// list readers.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

namespace VxNumberScan {

/// Outcome of scanning one token.
enum class TScanResult { Ok, NoNumber, OutOfRange };

template <class Char> constexpr bool IsDigit(Char c) {
    return c >= '0' && c <= '9';
}

template <class Char> constexpr Char ToUpperAscii(Char c) {
    return (c >= 'a' && c <= 'z') ? Char(c - 'a' + 'A') : c;
}

// True when [p, end) starts with Word (upper-case ASCII), in any case.
template <class Char> bool StartsWithWord(const Char* p, const Char* end, const char* Word) {
    for (; *Word != '\0'; ++Word, ++p)
        if (p == end || ToUpperAscii(*p) != Char(*Word))
            return false;
    return true;
}

/// Length of the special token at p ("NAN", "INF" or "INFINITY", any case, no sign),
/// 0 when there is none.
template <class Char> std::size_t SpecialWordLength(const Char* p, const Char* end) {
    if (StartsWithWord(p, end, "INFINITY"))
        return 8;
    if (StartsWithWord(p, end, "INF") || StartsWithWord(p, end, "NAN"))
        return 3;
    return 0;
}

/// For a decimal text digits[.digits][e[+-]digits] (no sign): true when its first non-zero
/// digit stands at a decimal order above 10^0, i.e. a magnitude of 10 or more. Exponents
/// saturate, so any length of text is judged correctly.
inline bool DecimalOrderAboveZero(const char* p, const char* end) {
    bool seenNonZero = false;
    bool fraction = false;
    long long integerDigits = 0, leadingFractionZeros = 0;
    for (; p != end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            fraction = true;
            continue;
        }
        if (!fraction) {
            if (seenNonZero || *p != '0') {
                seenNonZero = true;
                ++integerDigits;
            }
        } else if (!seenNonZero) {
            if (*p != '0')
                seenNonZero = true;
            else
                ++leadingFractionZeros;
        }
    }
    // Decimal order of the first non-zero digit, before the exponent.
    const long long order = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    long long exponent = 0;
    if (p != end) {
        ++p;
        const bool negativeExponent = p != end && *p == '-';
        if (p != end && (*p == '+' || *p == '-'))
            ++p;
        for (; p != end; ++p)
            exponent = std::min<long long>(exponent * 10 + (*p - '0'), 1'000'000'000'000LL);
        if (negativeExponent)
            exponent = -exponent;
    }
    return order + exponent > 0;
}

/// Scans a floating-point token at p: [+-] then NAN, INF, INFINITY, or digits with an
/// optional point (at least one digit) and an optional exponent [eE][+-]digits.
/// On Ok, Length is the token's length and Value its value; a value beyond the double range
/// is the nearest double, as strtod gives it (a signed zero or infinity).
template <class Char>
TScanResult ScanFloat(const Char* p, const Char* end, double& Value, std::size_t& Length) {
    const Char* q = p;
    bool negative = false;
    if (q != end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    if (const std::size_t special = SpecialWordLength(q, end); special != 0) {
        if (ToUpperAscii(*q) == 'N')
            Value = std::numeric_limits<double>::quiet_NaN();
        else
            Value = negative ? -std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::infinity();
        Length = std::size_t(q - p) + special;
        return TScanResult::Ok;
    }
    const Char* mantissa = q;
    std::size_t digits = 0;
    while (q != end && IsDigit(*q)) {
        ++q;
        ++digits;
    }
    if (q != end && *q == '.') {
        ++q;
        while (q != end && IsDigit(*q)) {
            ++q;
            ++digits;
        }
    }
    if (digits == 0)
        return TScanResult::NoNumber;
    if (q != end && (*q == 'e' || *q == 'E')) {
        const Char* e = q + 1;
        if (e != end && (*e == '+' || *e == '-'))
            ++e;
        if (e != end && IsDigit(*e)) {
            while (e != end && IsDigit(*e))
                ++e;
            q = e;
        }
    }
    // from_chars wants bytes without a "+": copy the token (short ones on the stack).
    const std::size_t n = std::size_t(q - mantissa);
    char small[80];
    std::string large;
    char* buffer = small;
    if (n + 1 > sizeof small) {
        large.resize(n + 1);
        buffer = large.data();
    }
    std::size_t k = 0;
    if (negative)
        buffer[k++] = '-';
    for (const Char* c = mantissa; c != q; ++c)
        buffer[k++] = char(*c);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(buffer, buffer + k, value);
    if (ptr != buffer + k || (ec != std::errc() && ec != std::errc::result_out_of_range))
        return TScanResult::NoNumber;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when the nearest double is zero or infinite
        // (subnormals it converts itself); take that nearest value, as strtod does.
        const double magnitude = DecimalOrderAboveZero(buffer + (negative ? 1 : 0), buffer + k)
                                     ? std::numeric_limits<double>::infinity()
                                     : 0.0;
        value = negative ? -magnitude : magnitude;
    }
    Value = value;
    Length = std::size_t(q - p);
    return TScanResult::Ok;
}

/// Scans an integer token [+-]digits at p into a 32-bit int.
template <class Char>
TScanResult ScanInteger(const Char* p, const Char* end, int& Value, std::size_t& Length) {
    const Char* q = p;
    bool negative = false;
    if (q != end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    long long magnitude = 0;
    bool overflow = false;
    const Char* first = q;
    while (q != end && IsDigit(*q)) {
        if (!overflow) {
            magnitude = magnitude * 10 + (*q - '0');
            overflow = magnitude > 2147483648LL;
        }
        ++q;
    }
    if (q == first)
        return TScanResult::NoNumber;
    const long long value = negative ? -magnitude : magnitude;
    if (overflow || value > std::numeric_limits<int>::max())
        return TScanResult::OutOfRange;
    Value = int(value);
    Length = std::size_t(q - p);
    return TScanResult::Ok;
}

template <class Char> constexpr bool IsBlank(Char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

/// Converts a whole text (surrounding blanks allowed) to a double.
template <class Char> TScanResult ConvertWholeFloat(const Char* p, const Char* end, double& Value) {
    while (p != end && IsBlank(*p))
        ++p;
    while (end != p && IsBlank(end[-1]))
        --end;
    double value = 0;
    std::size_t length = 0;
    const TScanResult result = ScanFloat(p, end, value, length);
    if (result != TScanResult::Ok)
        return result;
    if (p + length != end)
        return TScanResult::NoNumber;
    Value = value;
    return TScanResult::Ok;
}

} // namespace VxNumberScan
