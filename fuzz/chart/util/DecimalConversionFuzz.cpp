// The invariant number text against the standard library. The first eight bytes, read as
// a double, must be written with std::to_chars' shortest digits and read back to the same
// bits; the whole input, read as a number, must give the double std::from_chars gives
// wherever from_chars takes all of it.
#include "util/InvariantText.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The significant digits of a number text (no sign, point, exponent or surrounding zeros).
std::string Digits(const char* First, const char* Last) {
    std::string digits;
    for (; First != Last && *First != 'e' && *First != 'E'; ++First)
        if (*First >= '0' && *First <= '9')
            digits += *First;
    const size_t start = digits.find_first_not_of('0');
    if (start == std::string::npos)
        return "0";
    digits.erase(0, start);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    return digits;
}

void CheckWriting(double x) {
    char ours[InvariantTextMaxLength];
    char* end = FloatToInvariantChars(x, ours);
    double back = 0;
    if (!TryInvariantTextToFloat(std::string_view(ours, size_t(end - ours)), back))
        __builtin_trap();
    if (std::isnan(x)) {
        if (!std::isnan(back))
            __builtin_trap();
        return;
    }
    if (std::bit_cast<std::uint64_t>(back) != std::bit_cast<std::uint64_t>(x))
        __builtin_trap();
    if (!std::isfinite(x))
        return;
    char reference[64];
    char* referenceEnd =
        std::to_chars(reference, reference + sizeof reference, x, std::chars_format::scientific)
            .ptr;
    if (Digits(ours, end) != Digits(reference, referenceEnd))
        __builtin_trap();
}

void CheckReading(const char* Text, size_t Size) {
    const char* last = Text + Size;
    if (Size == 0 ||
        !(std::isdigit(static_cast<unsigned char>(*Text)) ||
          (*Text == '-' && Size > 1 && std::isdigit(static_cast<unsigned char>(Text[1])))))
        return;
    double reference = 0;
    const auto [ptr, ec] = std::from_chars(Text, last, reference);
    if (ptr != last)
        return;
    if (ec == std::errc::result_out_of_range) // the nearest double: zero or infinity
        reference = std::strtod(std::string(Text, Size).c_str(), nullptr);
    double ours = 0;
    if (!TryInvariantTextToFloat(std::string_view(Text, Size), ours))
        __builtin_trap();
    if (std::bit_cast<std::uint64_t>(ours) != std::bit_cast<std::uint64_t>(reference))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size >= 8) {
        double x;
        std::memcpy(&x, Data, 8);
        CheckWriting(x);
    }
    CheckReading(reinterpret_cast<const char*>(Data), Size);
    return 0;
}
