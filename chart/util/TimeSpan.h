#pragma once
// Second counts and time spans as text for people (axis labels, the edit control). The
// decimal and time separators come from the format settings.

#include "util/FormatSettings.h"

#include <QString>
#include <QStringView>

/// How many leading fields SecondsToText writes.
enum class TVxSecondsFormatRange {
    Second, ///< seconds only: "5", "75.25"
    Minute, ///< minutes and seconds: "02:00"
    Hour,   ///< hours, minutes and seconds: "01:02:05.5"
    Day     ///< days (when any), hours, minutes and seconds: "1.01:01:01"
};

/// Seconds as text in the fields of Range (rounded to milliseconds except for Second);
/// a negative count is its magnitude's text preceded by "-".
QString SecondsToText(TVxSecondsFormatRange Range, double Seconds,
                      const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// A span of days as "<days>." (when any whole day) then, when there is a time of day,
/// "hh:nn:ss<decimal>zzz"; 0 gives the empty text. Raises EVxConvertError "Error no
/// negative Time Span allowed" for a negative (or not-a-number) span.
QString TimeSpanToText(double Days,
                       const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// Reads what TimeSpanToText writes (and shorter forms such as "2.", "12:30" for minutes
/// and seconds, or ""), in days, in every locale: where the time separator is "." the
/// number of fields tells the days apart ("1.12.00.00,000"). Fields carry no sign, so a
/// negative span is refused as TimeSpanToText refuses it. Raises EVxConvertError for text
/// that is not a time span.
double TextToTimeSpan(QStringView Text,
                      const TVxFormatSettings& Settings = TVxFormatSettings::Current());
/// TextToTimeSpan without the exception: false when Text is not a time span.
bool TryTextToTimeSpan(QStringView Text, double& Days,
                       const TVxFormatSettings& Settings = TVxFormatSettings::Current());
