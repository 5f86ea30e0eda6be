#pragma once
// Date-time text by pattern, with the library's own formatter over civil dates (never the
// C library's time functions). Pattern letters (case-insensitive):
//   yy, yyyy        year, two or four digits
//   m, mm           month (minutes when right after an h or hh: "hh:mm")
//   mmm, mmmm       short and long month name
//   d, dd           day; ddd, dddd short and long day name
//   ddddd, dddddd   the short and the long date pattern of the settings
//   h, hh           hour (12-hour clock when an am/pm marker follows)
//   n, nn           minute;  s, ss  second;  z, zzz  millisecond
//   t, tt           the short and the long time pattern of the settings
//   am/pm, a/p      "am"/"pm" or "a"/"p", in the case written
//   ampm            the settings' AM and PM texts
//   c               short date pattern, then the long time pattern unless the time is 0
//   /  :            the settings' date and time separators
//   "..." '...'     literal text
// Any other character is written as it stands.

#include "util/DateTime.h"
#include "util/FormatSettings.h"

#include <QString>
#include <QStringView>

/// x written by Pattern (an empty pattern means "c"). Raises EVxConvertError for a value
/// DecodeDateTime cannot decode.
QString FormatDateTime(QStringView Pattern, TDateTime x,
                       const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// FormatDateTime where the first "fff" of the text shows the milliseconds of x with three
/// digits (the other fields are formatted with the milliseconds set to 0).
QString FormatDateTimeMs(QStringView Pattern, TDateTime x,
                         const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// The locale's date-and-time text of x: short date (years always with four digits, so
/// that the text reads back whatever the century), a space, long time. TryTextToDateTime
/// reads it back to the same second in every locale.
QString DateTimeToText(TDateTime x,
                       const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// Reads a date, optionally followed by a time, or a time alone: first as the settings'
/// short date and long or short time patterns lay it out (literal text such as "時" or
/// "시", names, a 12-hour marker before or after the hour), then as people type them in
/// the settings' conventions: date fields in the order of the short date pattern separated
/// by the date separator (a missing year is the current one, a two-digit year is taken in
/// the window 50 years around now), time fields hours:minutes[:seconds[<decimal>millis]]
/// with an optional AM/PM designator. False when the text is not such a date-time.
bool TryTextToDateTime(QStringView Text, TDateTime& Value,
                       const TVxFormatSettings& Settings = TVxFormatSettings::Current());
/// TryTextToDateTime raising EVxConvertError "'<text>' is not a valid date and time".
TDateTime TextToDateTime(QStringView Text,
                         const TVxFormatSettings& Settings = TVxFormatSettings::Current());
