#include "FormatSettings.h"

namespace {

TVxFormatSettings& CurrentStorage() {
    static TVxFormatSettings settings = TVxFormatSettings::FromLocale(QLocale());
    return settings;
}

// The first character of a Qt pattern that is neither a letter, a quote nor a space,
// after the first occurrence of one of the letters in After (any letter when empty).
QString FindSeparator(const QString& Pattern, const QString& After, const QString& Fallback) {
    bool seen = After.isEmpty();
    bool quoted = false;
    for (QChar c : Pattern) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c.isLetter()) {
            if (After.contains(c))
                seen = true;
            continue;
        }
        if (seen && !c.isSpace())
            return QString(c);
    }
    return Fallback;
}

QString QuoteLiteral(const QString& Text) {
    if (Text.isEmpty())
        return {};
    const QChar quote = Text.contains(u'"') ? u'\'' : u'"';
    return quote + Text + quote;
}

} // namespace

TVxFormatSettings TVxFormatSettings::Invariant() {
    TVxFormatSettings s;
    s.DecimalSeparator = ".";
    s.ThousandSeparator = ",";
    s.DateSeparator = "-";
    s.TimeSeparator = ":";
    s.ShortDateFormat = "yyyy/mm/dd";
    s.LongDateFormat = "dddd, mmmm d, yyyy";
    s.ShortTimeFormat = "hh:nn";
    s.LongTimeFormat = "hh:nn:ss";
    s.TimeAMString = "AM";
    s.TimePMString = "PM";
    static const char* const longMonths[12] = {"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    static const char* const longDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 12; ++i) {
        s.LongMonthNames[i] = QString::fromLatin1(longMonths[i]);
        s.ShortMonthNames[i] = s.LongMonthNames[i].left(3);
    }
    for (int i = 0; i < 7; ++i) {
        s.LongDayNames[i] = QString::fromLatin1(longDays[i]);
        s.ShortDayNames[i] = s.LongDayNames[i].left(3);
    }
    return s;
}

TVxFormatSettings TVxFormatSettings::FromLocale(const QLocale& Locale) {
    TVxFormatSettings s;
    s.DecimalSeparator = Locale.decimalPoint();
    s.ThousandSeparator = Locale.groupSeparator();
    const QString qtShortDate = Locale.dateFormat(QLocale::ShortFormat);
    const QString qtShortTime = Locale.timeFormat(QLocale::ShortFormat);
    s.DateSeparator = FindSeparator(qtShortDate, {}, "/");
    s.TimeSeparator = FindSeparator(qtShortTime, "hH", ":");
    s.ShortDateFormat = PatternFromQt(qtShortDate, s.DateSeparator, s.TimeSeparator);
    s.LongDateFormat =
        PatternFromQt(Locale.dateFormat(QLocale::LongFormat), s.DateSeparator, s.TimeSeparator);
    s.ShortTimeFormat = PatternFromQt(qtShortTime, s.DateSeparator, s.TimeSeparator);
    s.LongTimeFormat =
        PatternFromQt(Locale.timeFormat(QLocale::LongFormat), s.DateSeparator, s.TimeSeparator);
    s.TimeAMString = Locale.amText();
    s.TimePMString = Locale.pmText();
    for (int i = 0; i < 12; ++i) {
        s.LongMonthNames[i] = Locale.monthName(i + 1, QLocale::LongFormat);
        s.ShortMonthNames[i] = Locale.monthName(i + 1, QLocale::ShortFormat);
    }
    for (int i = 0; i < 7; ++i) {
        // Qt counts Monday as 1 and Sunday as 7; the names here start on Sunday.
        const int qtDay = i == 0 ? 7 : i;
        s.LongDayNames[i] = Locale.dayName(qtDay, QLocale::LongFormat);
        s.ShortDayNames[i] = Locale.dayName(qtDay, QLocale::ShortFormat);
    }
    return s;
}

const TVxFormatSettings& TVxFormatSettings::Current() {
    return CurrentStorage();
}

void TVxFormatSettings::SetCurrent(const TVxFormatSettings& Settings) {
    CurrentStorage() = Settings;
}

QString TVxFormatSettings::PatternFromQt(const QString& QtPattern, const QString& ADateSeparator,
                                         const QString& ATimeSeparator) {
    QString out;
    const qsizetype n = QtPattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = QtPattern[i];
        if (c == u'\'') {
            // Quoted literal; '' inside or alone is one quote character.
            QString literal;
            ++i;
            while (i < n) {
                if (QtPattern[i] == u'\'') {
                    if (i + 1 < n && QtPattern[i + 1] == u'\'') {
                        literal += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += QtPattern[i++];
            }
            out += literal.isEmpty() ? QuoteLiteral("'") : QuoteLiteral(literal);
            continue;
        }
        if (c.isLetter()) {
            qsizetype run = 1;
            while (i + run < n && QtPattern[i + run] == c)
                ++run;
            const bool ampm = (c == u'A' || c == u'a') && i + run < n &&
                              (QtPattern[i + run] == u'P' || QtPattern[i + run] == u'p');
            switch (c.unicode()) {
            case u'd':
                out += QString(std::min<qsizetype>(run, 4), u'd');
                break;
            case u'M':
                out += QString(std::min<qsizetype>(run, 4), u'm');
                break;
            case u'y':
                out += run >= 3 ? QStringLiteral("yyyy") : QStringLiteral("yy");
                break;
            case u'h':
            case u'H':
                out += QString(std::min<qsizetype>(run, 2), u'h');
                break;
            case u'm':
                out += QString(std::min<qsizetype>(run, 2), u'n');
                break;
            case u's':
                out += QString(std::min<qsizetype>(run, 2), u's');
                break;
            case u'z':
                out += run == 1 ? QStringLiteral("z") : QStringLiteral("zzz");
                break;
            case u'A':
            case u'a':
                out += QStringLiteral("ampm");
                break;
            case u't':
                break; // time zone: not part of a TDateTime
            default:
                out += QuoteLiteral(QString(run, c));
                break;
            }
            i += run + (ampm ? 1 : 0);
            continue;
        }
        const QString one(c);
        if (one == ADateSeparator)
            out += u'/';
        else if (one == ATimeSeparator)
            out += u':';
        else if (c == u'/' || c == u':' || c == u'"')
            out += QuoteLiteral(one);
        else
            out += c;
        ++i;
    }
    return out.trimmed();
}
