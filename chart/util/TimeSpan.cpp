#include "TimeSpan.h"

#include "util/Exceptions.h"
#include "util/NumberText.h"

#include <cmath>

namespace {

constexpr long long MsPerDay = 86400000LL;

QString TwoDigits(long long Value) {
    return Value < 10 ? u'0' + QString::number(Value) : QString::number(Value);
}

// Appends the seconds field: a leading "0" below 10 when fields precede it.
void AppendSeconds(QString& Text, double Seconds, const TVxFormatSettings& Settings) {
    if (Seconds < 9.999999 && !Text.isEmpty())
        Text += u'0';
    Text += Seconds <= 1e-6 ? QStringLiteral("0") : FloatToLimitedText(6, Seconds, Settings);
}

// The whole-field layout from a millisecond count, exact for counts that fit 64 bits.
QString FieldsFromMilliSeconds(TVxSecondsFormatRange Range, long long Ms,
                               const TVxFormatSettings& Settings) {
    QString text;
    if (Range == TVxSecondsFormatRange::Day) {
        const long long days = Ms / MsPerDay;
        Ms -= days * MsPerDay;
        if (days > 0)
            text += QString::number(days) + u'.';
    }
    if (Range == TVxSecondsFormatRange::Hour || Range == TVxSecondsFormatRange::Day) {
        const long long hours = Ms / 3600000;
        Ms -= hours * 3600000;
        text += TwoDigits(hours) + Settings.TimeSeparator;
    }
    const long long minutes = Ms / 60000;
    Ms -= minutes * 60000;
    text += TwoDigits(minutes) + Settings.TimeSeparator;
    AppendSeconds(text, double(Ms) / 1000.0, Settings);
    return text;
}

// The same layout on doubles, for counts too large for a millisecond integer.
QString FieldsFromSeconds(TVxSecondsFormatRange Range, double Seconds,
                          const TVxFormatSettings& Settings) {
    QString text;
    if (Range == TVxSecondsFormatRange::Day) {
        const double days = std::trunc(Seconds / 86400);
        Seconds -= days * 86400;
        if (days > 0)
            text += FloatToText(days, Settings) + u'.';
    }
    if (Range == TVxSecondsFormatRange::Hour || Range == TVxSecondsFormatRange::Day) {
        const double hours = std::trunc(Seconds / 3600);
        Seconds -= hours * 3600;
        text += (hours < 10 ? QStringLiteral("0") : QString()) + FloatToText(hours, Settings) +
                Settings.TimeSeparator;
    }
    const double minutes = std::trunc(Seconds / 60);
    Seconds -= minutes * 60;
    text += (minutes < 10 ? QStringLiteral("0") : QString()) + FloatToText(minutes, Settings) +
            Settings.TimeSeparator;
    AppendSeconds(text, std::max(0.0, Seconds), Settings);
    return text;
}

[[noreturn]] void RaiseNotATimeSpan(QStringView Text) {
    throw EVxConvertError(QStringLiteral("'%1' is not a valid time span").arg(Text.toString()));
}

// A whole-number field of a time span: digits only (no sign), empty means 0.
bool ReadField(QStringView Text, double& Value) {
    const QStringView trimmed = Text.trimmed();
    double value = 0;
    for (QChar c : trimmed) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    Value = value;
    return std::isfinite(value);
}

// The seconds field: a number with the decimal separator and no sign (a span is never
// negative, and TimeSpanToText refuses to write one); empty means 0.
bool ReadSeconds(QStringView Text, double& Value, const TVxFormatSettings& Settings) {
    const QStringView trimmed = Text.trimmed();
    if (trimmed.isEmpty()) {
        Value = 0;
        return true;
    }
    if (trimmed[0] == u'-' || trimmed[0] == u'+')
        return false;
    double value = 0;
    if (!TryTextToFloat(trimmed, value, Settings) || !std::isfinite(value) || value < 0)
        return false;
    Value = value;
    return true;
}

// The fields of a span text, before conversion.
struct TSpanFields {
    QStringView Days, Hours, Minutes, Seconds;
};

// Where the time separator is "." itself (Finnish), the mark after the days cannot be told
// from it by position; the number of fields tells: "d." days alone, "s", "n.s", "h.n.s",
// "d.h.n.s" as written.
bool SplitByPoints(QStringView Text, TSpanFields& Fields) {
    const QList<QStringView> parts = Text.split(u'.');
    switch (parts.size()) {
    case 1:
        Fields.Seconds = parts[0];
        return true;
    case 2:
        if (parts[1].trimmed().isEmpty()) {
            Fields.Days = parts[0];
        } else {
            Fields.Minutes = parts[0];
            Fields.Seconds = parts[1];
        }
        return true;
    case 3:
        Fields.Hours = parts[0];
        Fields.Minutes = parts[1];
        Fields.Seconds = parts[2];
        return true;
    case 4:
        Fields.Days = parts[0];
        Fields.Hours = parts[1];
        Fields.Minutes = parts[2];
        Fields.Seconds = parts[3];
        return true;
    default:
        return false;
    }
}

// Days before a "." that comes before the first time separator (or with none), then
// hours, minutes and seconds split at the last time separators.
void SplitBySeparator(QStringView Text, const QString& TimeSeparator, TSpanFields& Fields) {
    // lastIndexOf gets an explicit start: Qt 6.4's QStringView::lastIndexOf(QStringView)
    // without one also matches just past the end of a view into a longer string.
    QStringView rest = Text;
    const qsizetype firstTime = rest.indexOf(TimeSeparator);
    const qsizetype point = rest.indexOf(u'.');
    if (point >= 0 && (firstTime < 0 || point < firstTime)) {
        Fields.Days = rest.left(point);
        rest = rest.mid(point + 1);
    }
    const qsizetype lastTime = rest.lastIndexOf(TimeSeparator, -1);
    if (lastTime < 0) {
        Fields.Seconds = rest;
        return;
    }
    Fields.Seconds = rest.mid(lastTime + TimeSeparator.size());
    const QStringView front = rest.left(lastTime);
    const qsizetype split = front.lastIndexOf(TimeSeparator, -1);
    if (split >= 0) {
        Fields.Minutes = front.mid(split + TimeSeparator.size());
        Fields.Hours = front.left(split);
    } else {
        Fields.Minutes = front;
    }
}

} // namespace

QString SecondsToText(TVxSecondsFormatRange Range, double Seconds,
                      const TVxFormatSettings& Settings) {
    if (!std::isfinite(Seconds))
        return FloatToText(Seconds, Settings);
    if (Range == TVxSecondsFormatRange::Second) {
        const double magnitude = std::fabs(Seconds);
        QString text;
        AppendSeconds(text, magnitude, Settings);
        return Seconds < 0 && magnitude > 1e-6 ? u'-' + text : text;
    }
    const double magnitude = std::fabs(Seconds);
    QString text;
    long long ms = 0;
    if (magnitude * 1000.0 < 9.0e18) {
        ms = std::llround(magnitude * 1000.0);
        text = FieldsFromMilliSeconds(Range, ms, Settings);
    } else {
        text = FieldsFromSeconds(Range, magnitude, Settings);
        ms = 1;
    }
    return Seconds < 0 && ms != 0 ? u'-' + text : text;
}

QString TimeSpanToText(double Days, const TVxFormatSettings& Settings) {
    if (!(Days >= 0))
        throw EVxConvertError("Error no negative Time Span allowed");
    if (Days * double(MsPerDay) >= 9.0e18)
        throw EVxConvertError("Time span too large");
    // One rounded millisecond count: a fraction that rounds up carries into the days
    // instead of showing 24:00:00.
    long long ms = std::llround(Days * double(MsPerDay));
    const long long days = ms / MsPerDay;
    ms -= days * MsPerDay;
    QString text;
    if (days > 0)
        text += QString::number(days) + u'.';
    if (ms > 0) {
        const long long hours = ms / 3600000;
        const long long minutes = ms / 60000 % 60;
        const long long seconds = ms / 1000 % 60;
        const long long millis = ms % 1000;
        text += TwoDigits(hours) + Settings.TimeSeparator + TwoDigits(minutes) +
                Settings.TimeSeparator + TwoDigits(seconds) + Settings.DecimalSeparator +
                QString::number(millis).rightJustified(3, u'0');
    }
    return text;
}

bool TryTextToTimeSpan(QStringView Text, double& Days, const TVxFormatSettings& Settings) {
    const QStringView text = Text.trimmed();
    const QString& timeSeparator = Settings.TimeSeparator;
    TSpanFields fields;
    if (timeSeparator == u".") {
        if (!SplitByPoints(text, fields))
            return false;
    } else if (!timeSeparator.isEmpty()) {
        SplitBySeparator(text, timeSeparator, fields);
    } else {
        return false;
    }
    double days = 0, hours = 0, minutes = 0, seconds = 0;
    if (!ReadField(fields.Days, days) || !ReadField(fields.Hours, hours) ||
        !ReadField(fields.Minutes, minutes) || !ReadSeconds(fields.Seconds, seconds, Settings))
        return false;
    // The time of day is summed in seconds first, so that the days add in one rounding.
    const double value = days + (hours * 3600 + minutes * 60 + seconds) / 86400;
    if (!std::isfinite(value))
        return false;
    Days = value;
    return true;
}

double TextToTimeSpan(QStringView Text, const TVxFormatSettings& Settings) {
    double days = 0;
    if (!TryTextToTimeSpan(Text, days, Settings))
        RaiseNotATimeSpan(Text);
    return days;
}
