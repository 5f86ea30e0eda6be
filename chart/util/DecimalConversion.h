#pragma once
// The shortest decimal (digits, exponent) that reads back to a double, the core of the
// invariant number text, from one table of 128-bit powers of ten.

#include <cstdint>

/// A decimal number Digits x 10^Exponent.
struct TVxDecimal {
    std::uint64_t Digits = 0;
    int Exponent = 0;
};

/// The shortest decimal that reads back to x (finite and greater than zero); among equally
/// short ones the nearest to x, and of two equally near the one with an even last digit.
/// Digits has no trailing zeros.
TVxDecimal ShortestDecimal(double x);

/// Writes the decimal digits of Value (no sign, no leading zeros; "0" for 0) ending just
/// before End, and returns where they begin.
char* WriteDigitsBackwards(std::uint64_t Value, char* End);

/// The number of decimal digits of Value (1 for 0).
int DecimalDigitCount(std::uint64_t Value);
