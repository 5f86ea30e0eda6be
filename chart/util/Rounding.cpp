#include "Rounding.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr int MinPower = -323;
constexpr int MaxPower = 308;

// Correctly rounded powers of ten, read from their decimal texts once.
const std::array<double, MaxPower - MinPower + 1>& PowerTable() {
    static const auto table = [] {
        std::array<double, MaxPower - MinPower + 1> t{};
        for (int n = MinPower; n <= MaxPower; ++n) {
            const std::string text = "1e" + std::to_string(n);
            std::from_chars(text.data(), text.data() + text.size(), t[std::size_t(n - MinPower)]);
        }
        return t;
    }();
    return table;
}

// The exponent of x written with Precision significant digits in exponent format.
int ExponentOfText(double x, int Precision) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x,
                                      std::chars_format::scientific, Precision - 1);
    const char* e = buffer;
    while (e != result.ptr && *e != 'e')
        ++e;
    if (e == result.ptr)
        return 0;
    ++e;
    if (*e == '+')
        ++e;
    int exponent = 0;
    std::from_chars(e, result.ptr, exponent);
    return exponent;
}

double RoundToStep(int n, double Step, double x, double Bias) {
    if (Step == 0 || std::isnan(Step))
        return x;
    // nearbyint rounds halves to even in the default rounding mode.
    const double k = std::nearbyint(ScaleDown(n, x) / Step + Bias);
    return Step * k * PowerOfTen(n);
}

double LogRound(double Part, double MajorPart, double v, bool Up) {
    if (!(v > 0) || !std::isfinite(v))
        return v;
    const double d = std::log10(v);
    if (MajorPart > 1) {
        int n = int(Up ? std::ceil(d) : std::floor(d));
        while (std::abs(n) % 3 != 0)
            n += Up ? 1 : -1;
        return PowerOfTen(n);
    }
    int f = int(std::trunc(d));
    const double g = d - std::trunc(d);
    if (Part == 1) {
        if (Up && g > 0)
            ++f;
        if (!Up && d < 0 && g < 0)
            --f;
        return PowerOfTen(f);
    }
    if (g == 0)
        return PowerOfTen(f);
    double m = Exp10(g);
    if (d > 0) {
        m *= 0.1;
        ++f;
    }
    m = Up ? RoundUpToStep(0, Part, m) : RoundDownToStep(0, Part, m);
    if (m <= 0) {
        m = 1;
        --f;
    }
    return Exp10(f + std::log10(m));
}

} // namespace

double PowerOfTen(int n) {
    if (n > MaxPower)
        return MaxDouble;
    if (n < MinPower)
        return 0;
    return PowerTable()[std::size_t(n - MinPower)];
}

double Exp10(double x) {
    if (x == 0)
        return 1;
    if (std::isnan(x))
        return x;
    if (x == std::trunc(x) && std::fabs(x) < 1e6)
        return PowerOfTen(int(x));
    const double result = std::pow(10.0, x);
    return std::isfinite(result) ? result : MaxDouble;
}

int DecimalExponent(double x) {
    if (!std::isfinite(x) || x == 0)
        return 0;
    return ExponentOfText(x, 7);
}

double ScaleDown(int n, double x) {
    return n == 0 ? x : x / PowerOfTen(n);
}

double RoundUpToStep(int n, double Step, double x) {
    return RoundToStep(n, Step, x, 0.499999);
}

double RoundDownToStep(int n, double Step, double x) {
    return RoundToStep(n, Step, x, -0.499999);
}

int SignificantDigits(double x) {
    if (!std::isfinite(x) || x == 0)
        return 0;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                      std::chars_format::scientific, 15);
    std::string digits;
    for (const char* p = buffer; p != result.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    return int(digits.size());
}

double LogRoundUp(double Part, double MajorPart, double v) {
    return LogRound(Part, MajorPart, v, true);
}

double LogRoundDown(double Part, double MajorPart, double v) {
    return LogRound(Part, MajorPart, v, false);
}
