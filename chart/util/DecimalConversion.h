#pragma once
// Conversions between doubles and decimal (digits, exponent) pairs, the core of the
// invariant number text: the shortest decimal that reads back to a double, and the double
// nearest to a decimal of up to 19 digits. Both use one table of 128-bit powers of ten.

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

/// Digits x 10^Exponent rounded to the nearest double (ties to even), with the sign of
/// Negative, when this can be settled quickly; false (Value untouched) in the rare cases it
/// cannot (halfway cases, results below the normal range), which a full parser then reads.
/// Digits must hold every significant digit of the number.
bool TryDecimalToDouble(std::uint64_t Digits, int Exponent, bool Negative, double& Value);

/// Writes the decimal digits of Value (no sign, no leading zeros; "0" for 0) ending just
/// before End, and returns where they begin.
char* WriteDigitsBackwards(std::uint64_t Value, char* End);

/// The number of decimal digits of Value (1 for 0).
int DecimalDigitCount(std::uint64_t Value);
