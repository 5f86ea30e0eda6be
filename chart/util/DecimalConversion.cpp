#include "util/DecimalConversion.h"

#include <bit>
#include <cstring>

namespace {

__extension__ typedef unsigned __int128 TUint128;

struct TPower {
    std::uint64_t High;
    std::uint64_t Low;
};

constexpr int MinPower = -292;
constexpr int MaxPower = 324;

// The 128 leading bits of 10^k rounded down, k = MinPower..MaxPower.
constexpr TPower Powers[] = {
#include "util/DecimalPowersTable.inc"
};
static_assert(sizeof Powers / sizeof Powers[0] == MaxPower - MinPower + 1);

// 10^k is exact in 128 bits for these k (5^55 < 2^128).
constexpr bool PowerIsExact(int k) {
    return k >= 0 && k <= 55;
}

// floor(log10(2^q)), floor(log10(3/4 x 2^q)) and floor(log2(10^k)) over the exponents of
// doubles (the constants were checked exactly against rational arithmetic).
constexpr int FloorLog10Pow2(int q) {
    return (q * 1262611) >> 22;
}
constexpr int FloorLog10ThreeQuartersPow2(int q) {
    return (q * 1262611 - 524031) >> 22;
}
constexpr int FloorLog2Pow10(int k) {
    return (k * 1741647) >> 19;
}

// floor(g x cp / 2^128) rounded to odd: its lowest bit says whether anything was cut off.
// g is the rounded-up power, so a remainder of at most 1 is no remainder.
std::uint64_t RoundToOdd(TUint128 g, std::uint64_t cp) {
    const TUint128 x = (g & ~std::uint64_t(0)) * cp;
    const TUint128 y = (g >> 64) * cp + (x >> 64);
    const auto y0 = std::uint64_t(y), y1 = std::uint64_t(y >> 64);
    return y1 | (y0 > 1 ? 1 : 0);
}

constexpr char DigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233"
                              "34353637383940414243444546474849505152535455565758596061626364656667"
                              "6869707172737475767778798081828384858687888990919293949596979899";

} // namespace

namespace {

// The eight digits of Value < 10^8, zeros in front included, ending before End.
void WriteEightDigits(std::uint32_t Value, char* End) {
    const std::uint32_t high = Value / 10000, low = Value % 10000;
    std::memcpy(End - 8, DigitPairs + 2 * (high / 100), 2);
    std::memcpy(End - 6, DigitPairs + 2 * (high % 100), 2);
    std::memcpy(End - 4, DigitPairs + 2 * (low / 100), 2);
    std::memcpy(End - 2, DigitPairs + 2 * (low % 100), 2);
}

} // namespace

char* WriteDigitsBackwards(std::uint64_t Value, char* End) {
    // Blocks of eight in 32-bit arithmetic while more than eight remain.
    while (Value >= 100000000) {
        WriteEightDigits(std::uint32_t(Value % 100000000), End);
        Value /= 100000000;
        End -= 8;
    }
    auto rest = std::uint32_t(Value);
    while (rest >= 100) {
        End -= 2;
        std::memcpy(End, DigitPairs + 2 * (rest % 100), 2);
        rest /= 100;
    }
    if (rest >= 10) {
        End -= 2;
        std::memcpy(End, DigitPairs + 2 * rest, 2);
    } else {
        *--End = char('0' + rest);
    }
    return End;
}

int DecimalDigitCount(std::uint64_t Value) {
    int count = 1;
    for (std::uint64_t bound = 10; Value >= bound; bound *= 10) {
        ++count;
        if (count == 20)
            break;
    }
    return count;
}

// The shortest decimal in the rounding interval of x: the interval's ends and x are scaled
// by a power of ten (four times, so that halves and quarters stay whole) and rounded to
// odd, which keeps the comparisons exact; then the candidates with one digit fewer and the
// two neighbours of x are tried in turn.
TVxDecimal ShortestDecimal(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    const int biased = int(bits >> 52) & 0x7FF;
    std::uint64_t c;
    int q;
    if (biased != 0) {
        c = fraction | (std::uint64_t(1) << 52);
        q = biased - 1075;
        // Whole numbers below 2^53 are their own shortest decimal.
        if (q <= 0 && q > -53 && (c & ((std::uint64_t(1) << -q) - 1)) == 0) {
            TVxDecimal whole{c >> -q, 0};
            while (whole.Digits % 10 == 0) {
                whole.Digits /= 10;
                ++whole.Exponent;
            }
            return whole;
        }
    } else {
        c = fraction;
        q = -1074;
    }
    const bool even = (c & 1) == 0;
    // At a power of two the next double below is half as far as the one above.
    const bool closerBelow = fraction == 0 && biased > 1;
    const std::uint64_t cbl = 4 * c - 2 + (closerBelow ? 1 : 0);
    const std::uint64_t cb = 4 * c;
    const std::uint64_t cbr = 4 * c + 2;
    const int k = closerBelow ? FloorLog10ThreeQuartersPow2(q) : FloorLog10Pow2(q);
    const int h = q + FloorLog2Pow10(-k) + 1;
    const TPower& power = Powers[-k - MinPower];
    const TUint128 g = ((TUint128(power.High) << 64) | power.Low) + (PowerIsExact(-k) ? 0 : 1);
    const std::uint64_t vbl = RoundToOdd(g, cbl << h);
    const std::uint64_t vb = RoundToOdd(g, cb << h);
    const std::uint64_t vbr = RoundToOdd(g, cbr << h);
    const std::uint64_t lower = vbl + (even ? 0 : 1);
    const std::uint64_t upper = vbr - (even ? 0 : 1);

    TVxDecimal result;
    const std::uint64_t s = vb / 4;
    bool done = false;
    if (s >= 10) {
        const std::uint64_t sp = s / 10;
        const bool upInside = lower <= 40 * sp;
        const bool wpInside = 40 * sp + 40 <= upper;
        if (upInside != wpInside) {
            result = {sp + (wpInside ? 1 : 0), k + 1};
            done = true;
        }
    }
    if (!done) {
        const bool uInside = lower <= 4 * s;
        const bool wInside = 4 * s + 4 <= upper;
        if (uInside != wInside) {
            result = {s + (wInside ? 1 : 0), k};
        } else {
            const std::uint64_t mid = 4 * s + 2;
            const bool up = vb > mid || (vb == mid && (s & 1) != 0);
            result = {s + (up ? 1 : 0), k};
        }
    }
    while (result.Digits % 10 == 0) {
        result.Digits /= 10;
        ++result.Exponent;
    }
    return result;
}
