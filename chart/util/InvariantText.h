#pragma once
// Locale-independent number text, the form of every number in XML, ini and form data.
//
// Writing gives the shortest text that reads back to the same double, with "." as the
// decimal separator ("0.1", "1E+20", "-0", "NAN", "INF", "-INF"). Reading accepts what
// writing gives plus a leading "+", surrounding spaces, lower-case exponents and special
// words in any case. Neither depends on the C locale or on QLocale.

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

/// Shortest round-trip text of x with "." (NaN -> "NAN", infinities -> "INF", "-INF").
QString FloatToInvariantText(double x);
/// FloatToInvariantText as a std::string, for writers that work in bytes.
std::string FloatToInvariantString(double x);

/// Room that FloatToInvariantChars needs at Out.
constexpr int InvariantTextMaxLength = 32;
/// Writes the text of FloatToInvariantText(x) as bytes at Out (at least
/// InvariantTextMaxLength chars of room, no terminating zero) and returns its end: the
/// form for writers of long number lists, with no allocation per value. The bytes of that
/// room after the returned end may be overwritten.
char* FloatToInvariantChars(double x, char* Out);

/// Reads an invariant number text; raises EVxConvertError when the whole text (apart from
/// surrounding spaces) is not one number. A number beyond the double range reads as the
/// nearest double: a signed zero, a subnormal or a signed infinity ("1e-400" -> 0).
double InvariantTextToFloat(QStringView Text);
/// InvariantTextToFloat for byte texts.
double InvariantTextToFloat(std::string_view Text);

/// InvariantTextToFloat without the exception: false (Value untouched) on failure.
bool TryInvariantTextToFloat(QStringView Text, double& Value);
/// TryInvariantTextToFloat for byte texts.
bool TryInvariantTextToFloat(std::string_view Text, double& Value);
