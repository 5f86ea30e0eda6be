#pragma once
// Colours as text: names of the named colour table, "$AARRGGBB" numbers and
// "[A=.., R=.., G=.., B=..]" channel lists.

#include "drawing/Color.h"

#include <QString>
#include <optional>

/// The colour named Text (any letter case), else Text read as an integer (decimal, or
/// hexadecimal after "$" or "0x"); 0 (transparent black) when it is neither.
TVxColor ColorFromText(const QString& Text);
/// The first table name of Color (system colours included only with IncludeSystem), else "$"
/// and the colour as 8 upper-case hexadecimal digits.
QString ColorToText(TVxColor Color, bool IncludeSystem = false);
/// "[A=a, R=r, G=g, B=b]" with decimal channel values.
QString ColorToRgbText(TVxColor Color);
/// ColorToRgbText of a toolkit colour (system colours resolved).
QString TColorToRgbText(TColor Color);
/// The colour of an "[A=a, R=r, G=g, B=b]" text, each value reduced to its low 8 bits;
/// raises EVxConvertError when a value is missing or is not an integer.
TVxColor ColorFromRgbText(const QString& Text);
/// ColorFromRgbText in toolkit form (alpha dropped).
TColor TColorFromRgbText(const QString& Text);
/// Text read as a 32-bit integer: optional sign, decimal, or hexadecimal after "$" or "0x"
/// (hexadecimal takes up to 8 digits, read as the bit pattern); surrounding blanks allowed.
std::optional<std::int32_t> ParseColorInteger(const QString& Text);
