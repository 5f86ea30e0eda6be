#include "InvariantText.h"

#include "util/DecimalConversion.h"
#include "util/Exceptions.h"
#include "util/NumberScan.h"
#include "util/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

[[noreturn]] void RaiseNotAFloat(const QString& Text) {
    throw EVxConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(Text));
}

// Reads [-]digits[.digits][(e|E)[+|-]digits] of at most 19 significant digits and an
// exponent of at most four digits; false for anything else and for the values the quick
// conversion leaves to a full parser (Value untouched then).
bool TryPlainNumber(const char* p, const char* End, double& Value) {
    const bool negative = p != End && *p == '-';
    if (negative)
        ++p;
    if (p == End || !VxNumberScan::IsDigit(*p))
        return false;
    std::uint64_t digits = 0;
    int significant = 0, exponent = 0;
    const auto take = [&](char c) {
        if (digits == 0 && c == '0')
            return true;
        if (significant == 19)
            return false;
        digits = digits * 10 + std::uint64_t(c - '0');
        ++significant;
        return true;
    };
    for (; p != End && VxNumberScan::IsDigit(*p); ++p)
        if (!take(*p))
            return false;
    if (p != End && *p == '.') {
        ++p;
        if (p == End || !VxNumberScan::IsDigit(*p))
            return false;
        for (; p != End && VxNumberScan::IsDigit(*p); ++p, --exponent)
            if (!take(*p))
                return false;
    }
    if (p != End && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool below = p != End && *p == '-';
        if (p != End && (*p == '-' || *p == '+'))
            ++p;
        if (p == End || End - p > 4)
            return false;
        int value = 0;
        for (; p != End; ++p) {
            if (!VxNumberScan::IsDigit(*p))
                return false;
            value = value * 10 + (*p - '0');
        }
        exponent += below ? -value : value;
    }
    if (p != End)
        return false;
    return TryDecimalToDouble(digits, exponent, negative, Value);
}

} // namespace

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
    // -5 < e < 15, "d.dddE+XX" elsewhere.
    const TVxDecimal decimal = ShortestDecimal(std::fabs(x));
    char digits[24];
    char* const digitsEnd = digits + sizeof digits;
    const char* first = WriteDigitsBackwards(decimal.Digits, digitsEnd);
    const int count = int(digitsEnd - first);
    const int exponent = decimal.Exponent + count - 1;
    if (exponent < -4 || exponent >= 15) {
        *out++ = *first;
        if (count > 1) {
            *out++ = '.';
            out = std::copy(first + 1, static_cast<const char*>(digitsEnd), out);
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        char exponentDigits[4];
        const char* e = WriteDigitsBackwards(std::uint64_t(exponent < 0 ? -exponent : exponent),
                                             exponentDigits + sizeof exponentDigits);
        return std::copy(e, static_cast<const char*>(exponentDigits + sizeof exponentDigits), out);
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        return std::copy(first, static_cast<const char*>(digitsEnd), out);
    }
    const int integerDigits = exponent + 1;
    if (count <= integerDigits) {
        out = std::copy(first, static_cast<const char*>(digitsEnd), out);
        return std::fill_n(out, integerDigits - count, '0');
    }
    out = std::copy(first, first + integerDigits, out);
    *out++ = '.';
    return std::copy(first + integerDigits, static_cast<const char*>(digitsEnd), out);
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
