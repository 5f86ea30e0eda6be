#pragma once
// Powers of ten, decimal exponents and rounding to tick steps. The axis algorithms rest on
// the exact behaviour of these functions, including the 0.499999 tolerance of the step
// rounding.

/// The largest double, returned wherever a power of ten overflows.
inline constexpr double MaxDouble = 1.7976931348623157e308;

/// 10^n, correctly rounded; MaxDouble above 1e308, 0 below the smallest subnormal.
double PowerOfTen(int n);
/// 10^x (exactly 1 for x = 0, PowerOfTen for whole x); MaxDouble on overflow, NaN for NaN.
double Exp10(double x);

/// The decimal exponent of x written with 7 significant digits (9.9999999 -> 1,
/// -0.00123 -> -3); 0 for 0, NaN and infinities.
int DecimalExponent(double x);
/// x / 10^n (x itself for n = 0).
double ScaleDown(int n, double x);

/// The multiple step*k*10^n just at or above x, where x less than 1e-6 steps above a
/// multiple counts as that multiple; x itself when step is 0 or NaN.
double RoundUpToStep(int n, double Step, double x);
/// The multiple step*k*10^n just at or below x (with the same tolerance); x itself when
/// step is 0 or NaN.
double RoundDownToStep(int n, double Step, double x);

/// The count of significant digits of x written with 16 digits (0.25 -> 2, 1 -> 1,
/// 0.125 -> 3); 0 for 0 and for non-finite x.
int SignificantDigits(double x);

/// v > 0 rounded up on a logarithmic scale: to a power of ten with an exponent divisible
/// by 3 when MajorPart > 1, to a whole decade when Part is 1, else to a multiple of Part
/// of the decade's mantissa (Part = 0.1: 350 -> 400, 0.035 -> 0.04). Other v are returned.
double LogRoundUp(double Part, double MajorPart, double v);
/// LogRoundUp towards smaller values (Part = 0.1: 350 -> 300).
double LogRoundDown(double Part, double MajorPart, double v);
