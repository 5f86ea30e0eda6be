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
    // Plain numbers (a digit, or "-" and a digit, first) go straight to from_chars, whose
    // grammar for them is the scanner's (and which reads them faster than a parser of our
    // own did, see bench_vector_persistence); everything else, and values beyond the
    // double range, take the full scan.
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
