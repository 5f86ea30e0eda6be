#pragma once
// Number texts: general (shortest round-trip or a given precision), fixed and exponent
// layouts with a chosen decimal separator, their locale forms for people, reading a
// locale number text back, and bijective base-26 letters.
//
// Every layout is made from std::to_chars digits, so no text here depends on the C locale.
// Non-finite values are written "NAN", "INF" and "-INF". Exponents are written "E" with a
// sign ("1.5E+20", "2E-7").

#include "util/FormatSettings.h"

#include <QString>
#include <QStringView>

/// General text of x with Precision significant digits: fixed layout for decimal
/// exponents -5 < e < Precision, otherwise exponent layout; trailing zeros dropped.
/// Precision 0 gives the shortest text that reads back to exactly x (exponent layout from
/// e >= 15); a precision above the round-trip digit count adds no noise digits.
QString FloatToGeneralText(double x, int Precision = 0, QStringView DecimalSeparator = u".");

/// Fixed-point text of x with exactly Decimals digits after the separator (0 to 100).
QString FloatToFixedText(double x, int Decimals, QStringView DecimalSeparator = u".");

/// Exponent text of x with Precision significant digits (1 to 17) and at least ExpDigits
/// exponent digits (0 to 4), for example "1.50E+003" for (1500, 3, 3).
QString FloatToExponentText(double x, int Precision, int ExpDigits,
                            QStringView DecimalSeparator = u".");

/// Shortest general text of x with the settings' decimal separator.
QString FloatToText(double x, const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// General text of x with at most MaxLen characters where possible: the precision starts
/// at MaxLen and drops until the text fits (MaxLen 0: the shortest general text). The
/// result is longer than MaxLen when even one significant digit does not fit.
QString FloatToLimitedText(int MaxLen, double x,
                           const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// Reads a number written with the settings' decimal separator (surrounding spaces,
/// a sign, an exponent, "NAN", "INF" allowed; group separators and a "." that is not the
/// decimal separator are not). Raises EVxConvertError for anything else.
double TextToFloat(QStringView Text,
                   const TVxFormatSettings& Settings = TVxFormatSettings::Current());
/// TextToFloat without the exception: false when Text is not a number.
bool TryTextToFloat(QStringView Text, double& Value,
                    const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// Bijective base-26 letters: 1 -> "A", 26 -> "Z", 27 -> "AA"; empty for n <= 0.
QString IndexToLetters(long long n);

/// x written by a number pattern: sections "positive;negative;zero", digit placeholders
/// "0" (always written) and "#" (written when significant), "." for the decimal separator,
/// "," anywhere in the integer part for digit groups, "E+0"/"E-0" (or "e") for an
/// exponent with that many digits at least ("+" always writes the sign), quoted text and
/// any other characters before or after the digits as literals. An empty pattern gives the
/// general text.
QString FormatFloat(QStringView Pattern, double x,
                    const TVxFormatSettings& Settings = TVxFormatSettings::Current());
