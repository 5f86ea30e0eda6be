#pragma once
// TDateTime: a date and time as a double counting days since 30 December 1899, the
// fraction being the time of day. Before that epoch the integer part is the (negative)
// day and the magnitude of the fraction the time of day, so -1.25 is 29 December 1899,
// 06:00. That value is not monotonic; all arithmetic goes through the continuous day
// count (ContinuousTime), on which -1.25 is -0.75.
//
// Calendar dates are proleptic Gregorian (std::chrono civil days).

#include <QDateTime>

/// Days since 30 December 1899 (see the file comment for values before it).
using TDateTime = double;

/// 1 January 0001, the earliest date the edit controls accept.
inline constexpr TDateTime MinDateTime = -693593.0;
/// 31 December 9999, 23:59:59, the latest date the edit controls accept.
inline constexpr TDateTime MaxDateTime = 2958465.99998843;

/// The fields of a date-time value.
struct TVxDateTimeParts {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int MilliSecond = 0;
    /// 0 = Sunday ... 6 = Saturday.
    int DayOfWeek = 6;
};

/// The continuous day count of x: x itself from the epoch on, Int(x) + |Frac(x)| before it
/// (a fraction magnitude of 0.99999999999999 or more counts as 0).
double ContinuousTime(TDateTime x);
/// The inverse of ContinuousTime.
TDateTime DateTimeFromContinuous(double v);

/// d days in milliseconds.
inline double DaysToMilliSeconds(double d) {
    return d * 86400000.0;
}
/// d days in seconds.
inline double DaysToSeconds(double d) {
    return d * 86400.0;
}
/// d days in minutes.
inline double DaysToMinutes(double d) {
    return d * 1440.0;
}
/// d days in hours.
inline double DaysToHours(double d) {
    return d * 24.0;
}

/// a - b in days on the continuous time line.
double DateTimeDifference(TDateTime a, TDateTime b);

/// x advanced by n milliseconds (along the continuous time line).
TDateTime IncDateMilliSeconds(double n, TDateTime x);
/// x advanced by n seconds.
TDateTime IncDateSeconds(double n, TDateTime x);
/// x advanced by n minutes.
TDateTime IncDateMinutes(double n, TDateTime x);
/// x advanced by n hours.
TDateTime IncDateHours(double n, TDateTime x);

/// The fields of x, rounded to the millisecond. Raises EVxConvertError for a value that
/// is not finite or lies beyond years -25000 to 25000.
TVxDateTimeParts DecodeDateTime(TDateTime x);
/// False (Parts untouched) where DecodeDateTime raises.
bool TryDecodeDateTime(TDateTime x, TVxDateTimeParts& Parts);

/// The value of a calendar date and time; false when a field is out of range.
bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second,
                       int MilliSecond, TDateTime& Value);
/// TryEncodeDateTime raising EVxConvertError "Invalid argument to date encode".
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour = 0, int Minute = 0, int Second = 0,
                         int MilliSecond = 0);

/// The value of a QDateTime's local date and time (an invalid one gives 0).
TDateTime QDateTimeToDateTime(const QDateTime& Value);
/// A local QDateTime for x (invalid where DecodeDateTime fails).
QDateTime DateTimeToQDateTime(TDateTime x);
/// The current local date and time.
TDateTime NowDateTime();
