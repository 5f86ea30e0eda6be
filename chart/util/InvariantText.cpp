#include "InvariantText.h"

#include "util/Exceptions.h"
#include "util/NumberScan.h"
#include "util/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

[[noreturn]] void RaiseNotAFloat(const QString& Text) {
    throw EVxConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(Text));
}

} // namespace

char* FloatToInvariantChars(double x, char* Out) {
    if (!std::isfinite(x)) {
        const std::string_view word = std::isnan(x) ? "NAN" : x < 0 ? "-INF" : "INF";
        return std::copy(word.begin(), word.end(), Out);
    }
    // The general layout is fixed for decimal exponents -5 < e < 15. The shortest digits
    // of a double in [1e-4, 1e15) have such an exponent (the bounds are doubles of their
    // own), and there to_chars writes the layout directly.
    const double magnitude = std::fabs(x);
    if ((magnitude >= 1e-4 && magnitude < 1e15) || magnitude == 0)
        return std::to_chars(Out, Out + InvariantTextMaxLength, x, std::chars_format::fixed).ptr;
    // Elsewhere: shortest digits in scientific form "d.ddde+XX", written as mantissa, "E",
    // sign and exponent.
    char buffer[40];
    const auto scientific =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific);
    const char* p = buffer;
    char* out = Out;
    if (*p == '-')
        *out++ = *p++;
    char digits[20];
    int count = 0;
    for (; p != scientific.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits[count++] = *p;
    while (count > 1 && digits[count - 1] == '0')
        --count;
    int exponent = 0;
    if (p != scientific.ptr) {
        ++p;
        if (*p == '+')
            ++p;
        std::from_chars(p, scientific.ptr, exponent);
    }
    if (exponent < -4 || exponent >= 15) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            out = std::copy(digits + 1, digits + count, out);
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        return std::to_chars(out, out + 8, exponent < 0 ? -exponent : exponent).ptr;
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        return std::copy(digits, digits + count, out);
    }
    const int integerDigits = exponent + 1;
    if (count <= integerDigits) {
        out = std::copy(digits, digits + count, out);
        return std::fill_n(out, integerDigits - count, '0');
    }
    out = std::copy(digits, digits + integerDigits, out);
    *out++ = '.';
    return std::copy(digits + integerDigits, digits + count, out);
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
    // Plain numbers (a digit, or "-" and a digit, first) go straight to from_chars, whose
    // grammar for them is the scanner's; everything else, and values beyond the double
    // range, take the full scan.
    const char* first = Text.data();
    const char* last = first + Text.size();
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
