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

// An integer field of a time span; empty means 0.
bool ReadField(QStringView Text, double& Value) {
    const QStringView trimmed = Text.trimmed();
    if (trimmed.isEmpty()) {
        Value = 0;
        return true;
    }
    bool ok = false;
    const long long v = trimmed.toLongLong(&ok);
    Value = double(v);
    return ok;
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
    // lastIndexOf gets an explicit start: Qt 6.4's QStringView::lastIndexOf(QStringView)
    // without one also matches just past the end of a view into a longer string.
    QStringView rest = Text.trimmed();
    const QString& timeSeparator = Settings.TimeSeparator;
    double days = 0, hours = 0, minutes = 0, seconds = 0;
    const qsizetype firstTime = rest.indexOf(timeSeparator);
    const qsizetype point = rest.indexOf(u'.');
    if (point >= 0 && (firstTime < 0 || point < firstTime)) {
        if (!ReadField(rest.left(point), days))
            return false;
        rest = rest.mid(point + 1);
    }
    const qsizetype lastTime = rest.lastIndexOf(timeSeparator, -1);
    const QStringView secondsText =
        lastTime >= 0 ? rest.mid(lastTime + timeSeparator.size()) : rest;
    if (!secondsText.trimmed().isEmpty() && !TryTextToFloat(secondsText, seconds, Settings))
        return false;
    if (lastTime >= 0) {
        const QStringView front = rest.left(lastTime);
        const qsizetype split = front.lastIndexOf(timeSeparator, -1);
        if (split >= 0) {
            if (!ReadField(front.mid(split + timeSeparator.size()), minutes) ||
                !ReadField(front.left(split), hours))
                return false;
        } else if (!ReadField(front, minutes)) {
            return false;
        }
    }
    const double value = days + hours / 24 + minutes / 1440 + seconds / 86400;
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
