#include "DateTime.h"

#include "util/Exceptions.h"

#include <chrono>
#include <cmath>

namespace {

using namespace std::chrono;

constexpr double MSecsPerDay = 86400000.0;
// About years -25000 to 25000: far beyond any real date, inside std::chrono's range.
constexpr double DayLimit = 9.8e6;

const sys_days Epoch = sys_days(year(1899) / December / 30);

TDateTime IncContinuous(double Days, TDateTime x) {
    return DateTimeFromContinuous(ContinuousTime(x) + Days);
}

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

double ContinuousTime(TDateTime x) {
    if (!(x < 0))
        return x;
    const double whole = std::trunc(x);
    double fraction = std::fabs(x - whole);
    if (fraction >= 0.99999999999999)
        fraction = 0;
    return whole + fraction;
}

TDateTime DateTimeFromContinuous(double v) {
    if (!(v < 0))
        return v;
    const double d = std::floor(v);
    if (v == d)
        return d;
    return d - (v - d);
}

double DateTimeDifference(TDateTime a, TDateTime b) {
    return ContinuousTime(a) - ContinuousTime(b);
}

TDateTime IncDateMilliSeconds(double n, TDateTime x) {
    return n == 0 ? x : IncContinuous(n / MSecsPerDay, x);
}

TDateTime IncDateSeconds(double n, TDateTime x) {
    return n == 0 ? x : IncContinuous(n / 86400.0, x);
}

TDateTime IncDateMinutes(double n, TDateTime x) {
    return n == 0 ? x : IncContinuous(n / 1440.0, x);
}

TDateTime IncDateHours(double n, TDateTime x) {
    return n == 0 ? x : IncContinuous(n / 24.0, x);
}

bool TryDecodeDateTime(TDateTime x, TVxDateTimeParts& Parts) {
    const double continuous = ContinuousTime(x);
    if (!std::isfinite(continuous) || std::fabs(continuous) > DayLimit)
        return false;
    // One rounded millisecond count, so that 23:59:59.9996 becomes the next day's 00:00.
    const long long ms = std::llround(continuous * MSecsPerDay);
    const long long dayMs = 86400000LL;
    const long long day = FloorDiv(ms, dayMs);
    long long time = ms - day * dayMs;
    const sys_days date = Epoch + days(day);
    const year_month_day ymd(date);
    Parts.Year = int(ymd.year());
    Parts.Month = int(unsigned(ymd.month()));
    Parts.Day = int(unsigned(ymd.day()));
    Parts.DayOfWeek = int(weekday(date).c_encoding());
    Parts.Hour = int(time / 3600000);
    time %= 3600000;
    Parts.Minute = int(time / 60000);
    time %= 60000;
    Parts.Second = int(time / 1000);
    Parts.MilliSecond = int(time % 1000);
    return true;
}

TVxDateTimeParts DecodeDateTime(TDateTime x) {
    TVxDateTimeParts parts;
    if (!TryDecodeDateTime(x, parts))
        throw EVxConvertError("Invalid date-time value");
    return parts;
}

bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second,
                       int MilliSecond, TDateTime& Value) {
    if (Year < -25000 || Year > 25000 || Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 ||
        Second < 0 || Second > 59 || MilliSecond < 0 || MilliSecond > 999)
        return false;
    if (Month < 1 || Month > 12 || Day < 1 || Day > 31)
        return false;
    const year_month_day ymd{year{Year}, month{unsigned(Month)}, day{unsigned(Day)}};
    if (!ymd.ok())
        return false;
    const double dayNumber = double((sys_days(ymd) - Epoch).count());
    const double time =
        (((Hour * 60.0 + Minute) * 60.0 + Second) * 1000.0 + MilliSecond) / MSecsPerDay;
    Value = DateTimeFromContinuous(dayNumber + time);
    return true;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second,
                         int MilliSecond) {
    TDateTime value = 0;
    if (!TryEncodeDateTime(Year, Month, Day, Hour, Minute, Second, MilliSecond, value))
        throw EVxConvertError("Invalid argument to date encode");
    return value;
}

TDateTime QDateTimeToDateTime(const QDateTime& Value) {
    if (!Value.isValid())
        return 0;
    const QDate date = Value.date();
    const QTime time = Value.time();
    // Qt has no year 0: its year -1 is the proleptic year 0.
    const int yearNumber = date.year() < 0 ? date.year() + 1 : date.year();
    TDateTime result = 0;
    TryEncodeDateTime(yearNumber, date.month(), date.day(), time.hour(), time.minute(),
                      time.second(), time.msec(), result);
    return result;
}

QDateTime DateTimeToQDateTime(TDateTime x) {
    TVxDateTimeParts p;
    if (!TryDecodeDateTime(x, p))
        return {};
    const int qtYear = p.Year <= 0 ? p.Year - 1 : p.Year;
    return QDateTime(QDate(qtYear, p.Month, p.Day),
                     QTime(p.Hour, p.Minute, p.Second, p.MilliSecond));
}

TDateTime NowDateTime() {
    return QDateTimeToDateTime(QDateTime::currentDateTime());
}
