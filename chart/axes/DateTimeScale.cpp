#include "DateTimeScale.h"

#include "axes/NumberLabels.h"
#include "util/DateTime.h"
#include "util/DateTimeFormat.h"
#include "util/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using Region = TVxDtRegion;

constexpr std::int64_t MsPerSecond = 1000;
constexpr std::int64_t MsPerMinute = 60 * MsPerSecond;
constexpr std::int64_t MsPerHour = 60 * MsPerMinute;
constexpr std::int64_t MsPerDay = 24 * MsPerHour;
// A date-time range of 9900 years holds about 3.6 million days; no row of the ladder makes
// more than a few thousand ticks, so this only stops degenerate input.
constexpr int MaxTicks = 200000;

std::int64_t ToMs(double x) {
    if (std::isnan(x))
        x = 0;
    const double c = ContinuousTime(std::clamp(x, MinDateTimeAxis, MaxDateTimeAxis));
    return std::llround(c * double(MsPerDay));
}

double FromMs(std::int64_t ms) {
    return DateTimeFromContinuous(double(ms) / double(MsPerDay));
}

TVxDateTimeParts Decode(std::int64_t ms) {
    return DecodeDateTime(FromMs(ms));
}

std::int64_t EncodeMs(int Year, int Month, int Day) {
    return ToMs(EncodeDateTime(Year, Month, Day));
}

std::int64_t TimeOfDayMs(const TVxDateTimeParts& p) {
    return p.Hour * MsPerHour + p.Minute * MsPerMinute + p.Second * MsPerSecond + p.MilliSecond;
}

// Months added on the calendar, keeping the day (clamped to the month's length) and time.
std::int64_t AddMonths(std::int64_t ms, std::int64_t Months) {
    const TVxDateTimeParts p = Decode(ms);
    std::int64_t index = std::int64_t(p.Year) * 12 + (p.Month - 1) + Months;
    const int year = int(index >= 0 ? index / 12 : -((-index + 11) / 12));
    const int month = int(index - std::int64_t(year) * 12) + 1;
    int day = p.Day;
    TDateTime probe = 0;
    while (day > 28 && !TryEncodeDateTime(year, month, day, 0, 0, 0, 0, probe))
        --day;
    return EncodeMs(year, month, day) + TimeOfDayMs(p);
}

std::int64_t RegionMs(Region r) {
    switch (r) {
    case Region::Day:
        return MsPerDay;
    case Region::Hour:
        return MsPerHour;
    case Region::Minute:
        return MsPerMinute;
    case Region::Second:
        return MsPerSecond;
    case Region::MilliSecond:
        return 1;
    default:
        return 0; // calendar months and years have no fixed length
    }
}

std::int64_t AddUnits(std::int64_t ms, Region r, std::int64_t n) {
    if (r == Region::Year)
        return AddMonths(ms, 12 * n);
    if (r == Region::Month)
        return AddMonths(ms, n);
    return ms + n * RegionMs(r);
}

std::int64_t FloorMod(std::int64_t a, std::int64_t c) {
    const std::int64_t m = a % c;
    return m < 0 ? m + c : m;
}

// The position of a time in units of r, the way ticks count it: the year, the month
// counted from year 0, the day of the month - 1, or the hour, minute, second or
// millisecond of the year.
std::int64_t Position(std::int64_t ms, const TVxDateTimeParts& p, Region r) {
    switch (r) {
    case Region::Year:
        return p.Year;
    case Region::Month:
        return std::int64_t(p.Year) * 12 + p.Month - 1;
    case Region::Day:
        return p.Day - 1;
    default:
        return (ms - EncodeMs(p.Year, 1, 1)) / RegionMs(r);
    }
}

QString SafeFormat(const QString& Pattern, double x, const TVxFormatSettings& Settings) {
    try {
        return FormatDateTimeMs(Pattern, x, Settings);
    } catch (const EVxException&) {
        return {};
    }
}

enum class Unit { Ms, S, Min, H, Days, Months, Years };
enum class FormatChange {
    None,
    MilliSecond,
    Second,
    MinuteOrDayHour,
    DayAndHour,
    Day,
    LongMonth,
    ShortMonth,
    YearNumber
};

struct Row {
    Region Major;
    Region Minor;
    Unit U;
    FormatChange Change;
    int LabelMod;
    int MajorMod;
    int Increment;
    double Q;
};

constexpr Row Ladder[] = {
    {Region::MilliSecond, Region::MilliSecond, Unit::Ms, FormatChange::MilliSecond, 5, 5, 1, 5},
    {Region::MilliSecond, Region::MilliSecond, Unit::Ms, FormatChange::None, 10, 5, 1, 10},
    {Region::MilliSecond, Region::MilliSecond, Unit::Ms, FormatChange::None, 20, 10, 2, 20},
    {Region::MilliSecond, Region::MilliSecond, Unit::Ms, FormatChange::None, 50, 20, 5, 50},
    {Region::MilliSecond, Region::MilliSecond, Unit::Ms, FormatChange::None, 100, 50, 10, 100},
    {Region::MilliSecond, Region::MilliSecond, Unit::Ms, FormatChange::None, 200, 200, 20, 200},
    {Region::MilliSecond, Region::MilliSecond, Unit::Ms, FormatChange::None, 500, 200, 50, 500},
    {Region::Second, Region::MilliSecond, Unit::S, FormatChange::Second, 1000, 500, 100, 1},
    {Region::Second, Region::MilliSecond, Unit::S, FormatChange::None, 2000, 1000, 100, 2},
    {Region::Second, Region::MilliSecond, Unit::S, FormatChange::None, 5000, 2500, 500, 5},
    {Region::Second, Region::Second, Unit::S, FormatChange::None, 10, 5, 1, 10},
    {Region::Second, Region::Second, Unit::S, FormatChange::None, 20, 10, 1, 20},
    {Region::Second, Region::Second, Unit::S, FormatChange::None, 30, 10, 2, 30},
    {Region::Minute, Region::Second, Unit::S, FormatChange::MinuteOrDayHour, 60, 30, 5, 60},
    {Region::Minute, Region::Second, Unit::S, FormatChange::None, 120, 60, 10, 120},
    {Region::Minute, Region::Second, Unit::S, FormatChange::None, 300, 300, 30, 300},
    {Region::Minute, Region::Minute, Unit::Min, FormatChange::None, 10, 5, 1, 10},
    {Region::Minute, Region::Minute, Unit::Min, FormatChange::None, 15, 5, 1, 15},
    {Region::Minute, Region::Minute, Unit::Min, FormatChange::None, 30, 15, 5, 30},
    {Region::Minute, Region::Minute, Unit::Min, FormatChange::None, 60, 15, 5, 60},
    {Region::Minute, Region::Minute, Unit::Min, FormatChange::None, 180, 60, 15, 180},
    {Region::Hour, Region::Hour, Unit::H, FormatChange::None, 6, 3, 1, 6},
    {Region::Hour, Region::Hour, Unit::H, FormatChange::DayAndHour, 12, 6, 1, 12},
    {Region::Hour, Region::Hour, Unit::H, FormatChange::Day, 24, 12, 3, 24},
    {Region::Hour, Region::Hour, Unit::H, FormatChange::None, 48, 24, 6, 48},
    {Region::Day, Region::Day, Unit::Days, FormatChange::None, 1, 7, 1, 7},
    {Region::Day, Region::Day, Unit::Days, FormatChange::None, 2, 7, 1, 14},
    {Region::Month, Region::Day, Unit::Months, FormatChange::LongMonth, 1, 1, 1, 1},
    {Region::Month, Region::Day, Unit::Months, FormatChange::ShortMonth, 1, 1, 1, 1},
    {Region::Month, Region::Month, Unit::Months, FormatChange::None, 3, 3, 1, 3},
    {Region::Month, Region::Month, Unit::Months, FormatChange::None, 6, 3, 1, 6},
    {Region::Year, Region::Month, Unit::Months, FormatChange::YearNumber, 1, 12, 1, 12},
    {Region::Year, Region::Month, Unit::Months, FormatChange::None, 2, 12, 3, 24},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 5, 5, 1, 5},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 10, 5, 1, 10},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 20, 10, 2, 20},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 25, 25, 5, 25},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 50, 25, 5, 50},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 100, 50, 10, 100},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 200, 100, 25, 200},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 500, 250, 50, 500},
    {Region::Year, Region::Year, Unit::Years, FormatChange::None, 1000, 500, 100, 1000},
};
// Taken when the last row of the ladder is crowded.
constexpr Row LastRow = {Region::Year, Region::Year, Unit::Years, FormatChange::None,
                         2000,         1000,         100,         0};

double InUnit(double Days, Unit u) {
    switch (u) {
    case Unit::Ms:
        return Days * 86400000.0;
    case Unit::S:
        return Days * 86400.0;
    case Unit::Min:
        return Days * 1440.0;
    case Unit::H:
        return Days * 24.0;
    case Unit::Days:
        return Days;
    case Unit::Months:
        return Days / 30.5;
    case Unit::Years:
        return Days / 365.0;
    }
    return Days;
}

void Take(TVxDtParameters& p, const Row& r, const QString& Format) {
    p.MajorRgn = r.Major;
    p.MinorRgn = r.Minor;
    p.LabelMod = r.LabelMod;
    p.MajorMod = r.MajorMod;
    p.Increment = r.Increment;
    p.Format = Format;
}

double UnitDays(Region r) {
    switch (r) {
    case Region::Year:
        return 365;
    case Region::Month:
        return 28;
    case Region::Day:
        return 0.99;
    case Region::Hour:
        return 1.0 / 24;
    case Region::Minute:
        return 1.0 / 1440;
    case Region::Second:
        return 1.0 / 86400;
    case Region::MilliSecond:
        return 1.0 / 86400000;
    }
    return 1;
}

} // namespace

TVxDateTimeFormats DefaultDateTimeFormats(const TVxFormatSettings& Settings) {
    TVxDateTimeFormats f;
    QString day = Settings.ShortDateFormat;
    day.replace(QStringLiteral("yyyy"), QStringLiteral("yy"), Qt::CaseInsensitive);
    day.replace(QStringLiteral("dd"), QStringLiteral("d"), Qt::CaseInsensitive);
    day.replace(QStringLiteral("MM"), QStringLiteral("M"), Qt::CaseInsensitive);
    f.DayFormat = day;
    QString minute = Settings.ShortTimeFormat;
    const qsizetype s = minute.indexOf(u's', 0, Qt::CaseInsensitive);
    if (s >= 0) {
        minute.remove(std::max<qsizetype>(0, s - 1), s > 0 ? 2 : 1);
        const qsizetype more = minute.indexOf(u's', 0, Qt::CaseInsensitive);
        if (more >= 0)
            minute.remove(more, 1);
    }
    f.MinuteFormat = minute;
    f.DayAndHourFormat = f.DayFormat + u' ' + f.MinuteFormat;
    f.SecondFormat = Settings.LongTimeFormat;
    f.MilliSecondFormat = u's' + Settings.DecimalSeparator + QStringLiteral("fff");
    return f;
}

void ChooseDateTimeParts(TVxAxisScale& Scale, const TVxScaleContext& Context, double Start,
                         double Stop) {
    const auto& settings = Context.FormatSettings();
    const auto& formats = Scale.Formats;
    double r = DateTimeDifference(Stop, Start);
    if (!std::isfinite(r) || r < 0)
        r = 0;
    const double stop = std::clamp(Stop, MinDateTimeAxis, MaxDateTimeAxis);
    const double gap = 120.0 * Scale.LabelDistanceFactor;
    QString format = formats.MilliSecondFormat;
    double w = 0;
    auto estimate = [&](const QString& Format) {
        format = Format;
        w = LabelExtent(Scale, Context, SafeFormat(format, stop, settings), stop);
    };
    for (const Row& row : Ladder) {
        switch (row.Change) {
        case FormatChange::None:
            break;
        case FormatChange::MilliSecond:
            estimate(formats.MilliSecondFormat);
            break;
        case FormatChange::Second:
            estimate(formats.SecondFormat);
            break;
        case FormatChange::MinuteOrDayHour:
            estimate(r > 1 ? formats.DayAndHourFormat : formats.MinuteFormat);
            break;
        case FormatChange::DayAndHour:
            estimate(formats.DayAndHourFormat);
            break;
        case FormatChange::Day:
            estimate(formats.DayFormat);
            break;
        case FormatChange::LongMonth:
            format = formats.LongMonthFormat;
            w = 1.5 * LabelExtent(Scale, Context, QStringLiteral("February 9999"), stop);
            break;
        case FormatChange::ShortMonth:
            estimate(formats.ShortMonthFormat);
            break;
        case FormatChange::YearNumber: {
            TVxDateTimeParts p;
            const QString year = TryDecodeDateTime(stop, p) ? QString::number(p.Year) : QString();
            w = LabelExtent(Scale, Context, year, stop);
            break;
        }
        }
        const double u = InUnit(r, row.U) / row.Q;
        const double a = std::trunc(u + 0.5);
        const bool crowded = u >= 1000 || (a + 1) * w * 0.48 + a * gap > Context.ControlLength;
        if (!crowded) {
            Take(Scale.DtParameters, row, format);
            return;
        }
    }
    Take(Scale.DtParameters, LastRow, format);
}

double RoundDateTime(const TVxAxisScale& Scale, bool Up, bool Major, double v) {
    const TVxDtParameters& dt = Scale.DtParameters;
    const Region m = dt.MinorRgn;
    std::int64_t ms = ToMs(v);
    TVxDateTimeParts p = Decode(ms);
    auto to = [&](std::int64_t NewMs) {
        ms = NewMs;
        p = Decode(ms);
    };
    auto toMonthStart = [&] {
        const std::int64_t first = EncodeMs(p.Year, p.Month, 1);
        to(Up ? AddMonths(first, 1) : first);
    };
    auto toYearStart = [&] {
        const std::int64_t first = EncodeMs(p.Year, 1, 1);
        to(Up ? AddMonths(first, 12) : first);
    };
    if (m != Region::MilliSecond && p.MilliSecond != 0)
        to(Up ? ms + 1000 - p.MilliSecond : ms - p.MilliSecond);
    if (m < Region::Second && p.Second != 0)
        to(Up ? ms + (60 - p.Second) * MsPerSecond : ms - p.Second * MsPerSecond);
    if (m < Region::Minute && p.Minute != 0)
        to(Up ? ms + (60 - p.Minute) * MsPerMinute : ms - p.Minute * MsPerMinute);
    if (m < Region::Hour && p.Hour != 0)
        to(Up ? ms + (24 - p.Hour) * MsPerHour : ms - p.Hour * MsPerHour);
    if (m <= Region::Month && p.Day > 1)
        toMonthStart();
    if (m == Region::Year && p.Month > 1)
        toYearStart();

    if (Major && dt.MajorRgn == Region::Month && m == Region::Day) {
        if (p.Day > 1)
            toMonthStart();
    } else if (Major && dt.MajorRgn == Region::Year && m == Region::Month) {
        if (p.Month > 1)
            toYearStart();
    } else {
        const std::int64_t c = Major ? dt.MajorMod : dt.Increment;
        if (c > 1) {
            if (m == Region::Day && c == 7) {
                // Weeks run from Sunday to Sunday.
                if (p.DayOfWeek != 0)
                    to(Up ? ms + (7 - p.DayOfWeek) * MsPerDay : ms - p.DayOfWeek * MsPerDay);
            } else if (m == Region::Year) {
                const std::int64_t rest = FloorMod(p.Year, c);
                if (Up && p.Year < 9999 - c)
                    to(AddUnits(ms, m, FloorMod(c - rest, c)));
                else if (!Up && c < p.Year)
                    to(AddUnits(ms, m, -rest));
            } else {
                const std::int64_t rest = FloorMod(Position(ms, p, m), c);
                to(AddUnits(ms, m, Up ? FloorMod(c - rest, c) : -rest));
            }
        }
    }
    return FromMs(ms);
}

void DateTimeTicks(const TVxAxisScale& Scale, const TVxScaleContext& Context,
                   const TVxAxisTransform& Transform, TVxTickList& Ticks) {
    const TVxDtParameters& dt = Scale.DtParameters;
    const auto& settings = Context.FormatSettings();
    const bool sundays = dt.MajorRgn == Region::Day && dt.MajorMod == 7;
    const bool monthFirsts = dt.MajorRgn == Region::Month && dt.MajorMod == 1;
    const std::int64_t increment = std::max(1, dt.Increment);
    const std::int64_t majorMod = std::max(1, dt.MajorMod);
    const std::int64_t labelMod = std::max(1, dt.LabelMod);
    // The last tick may lie up to one pixel beyond the stop.
    const std::int64_t limit =
        ToMs(Scale.Stop) + std::int64_t(std::ceil(Scale.NormalizeConst * double(MsPerDay)));

    std::int64_t t = ToMs(RoundDateTime(Scale, true, false, Scale.Start));
    bool alternate = true;
    for (int k = 0; k < MaxTicks; ++k) {
        const TVxDateTimeParts p = Decode(t);
        const std::int64_t position = Position(t, p, dt.MinorRgn);
        bool major;
        bool label;
        if (sundays) {
            major = p.DayOfWeek == 0;
            label = labelMod == 1 || alternate;
            alternate = !alternate;
        } else {
            major = monthFirsts ? p.Day == 1 : FloorMod(position, majorMod) == 0;
            label = FloorMod(dt.MajorRgn == Region::Year ? p.Year : position, labelMod) == 0;
        }
        const double value = FromMs(t);
        const float pixel = Transform.NumberToWorld(value);
        bool grid = Scale.MajorGridMode == TVxMajorGridMode::AtMajorTick && major;
        if (major && label && Scale.NumbersVisible) {
            QString text = dt.MajorRgn == Region::Year ? QString::number(p.Year)
                                                       : SafeFormat(dt.Format, value, settings);
            if (dt.MajorRgn == Region::MilliSecond)
                for (int i = 0; i < 2 && text.endsWith(u'0'); ++i)
                    text.chop(1);
            Ticks.Labels.push_back({text, pixel, value});
            if (Scale.MajorGridMode == TVxMajorGridMode::AtLabel)
                grid = true;
        }
        Ticks.Add(pixel, major, grid);
        const std::int64_t next = AddUnits(t, dt.MinorRgn, increment);
        if (next > limit || next <= t)
            break;
        t = next;
    }
}

double DateTimeMajorIncrement(const TVxDtParameters& Parameters) {
    if (Parameters.MajorRgn == Region::Day && Parameters.MajorMod == 7)
        return 7 * UnitDays(Region::Day);
    if (Parameters.MajorRgn == Region::Month && Parameters.MajorMod == 1)
        return UnitDays(Region::Month);
    return std::max(1, Parameters.MajorMod) * UnitDays(Parameters.MinorRgn);
}

double DateTimeMinorIncrement(const TVxDtParameters& Parameters) {
    return std::max(1, Parameters.Increment) * UnitDays(Parameters.MinorRgn);
}
