#include "DateTimeFormat.h"

#include "util/Exceptions.h"

#include <QDate>
#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr int MaxNesting = 3;

QString Padded(long long Value, int Width) {
    QString text = QString::number(std::llabs(Value));
    if (text.size() < Width)
        text.prepend(QString(Width - text.size(), u'0'));
    return Value < 0 ? u'-' + text : text;
}

char16_t Upper(QChar c) {
    return c.toUpper().unicode();
}

// True when Text at Pos starts with Word, ignoring case (ASCII words only).
bool StartsWithNoCase(QStringView Text, qsizetype Pos, QStringView Word) {
    return Text.mid(Pos).startsWith(Word, Qt::CaseInsensitive);
}

// True when Pattern at Pos starts an am/pm marker ("am/pm", "a/p" or "ampm").
bool IsMarkerAt(QStringView Pattern, qsizetype Pos) {
    return StartsWithNoCase(Pattern, Pos, u"am/pm") || StartsWithNoCase(Pattern, Pos, u"a/p") ||
           StartsWithNoCase(Pattern, Pos, u"ampm");
}

// Whether the hour field at HourPos (Run letters) is on a 12-hour clock: an am/pm marker
// outside quotes stands between the previous hour field and the next one, before the hour
// ("ampm h:nn", as Korean writes it) or after it ("h:nn ampm").
bool HourIsTwelveHour(QStringView Pattern, qsizetype HourPos, qsizetype Run) {
    bool marker = false;
    QChar quote;
    for (qsizetype i = 0; i < Pattern.size(); ++i) {
        const QChar c = Pattern[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (i >= HourPos && i < HourPos + Run) {
            continue;
        } else if (c == u'h' || c == u'H') {
            if (i > HourPos)
                return marker;
            marker = false; // a marker before an earlier hour belongs to that hour
        } else if ((c == u'a' || c == u'A') && IsMarkerAt(Pattern, i)) {
            marker = true;
            if (i > HourPos)
                return true;
        }
    }
    return marker;
}

class TFormatter {
public:
    TFormatter(const TVxDateTimeParts& Parts, const TVxFormatSettings& Settings)
        : FParts(Parts), FSettings(Settings) {}

    void Append(QString& Out, QStringView Pattern, int Nesting) {
        if (Nesting > MaxNesting)
            return;
        char16_t lastToken = 0;
        qsizetype i = 0;
        const qsizetype n = Pattern.size();
        while (i < n) {
            const QChar c = Pattern[i];
            if (c == u'"' || c == u'\'') {
                qsizetype j = i + 1;
                while (j < n && Pattern[j] != c)
                    ++j;
                Out += Pattern.mid(i + 1, j - i - 1);
                i = j + 1;
                continue;
            }
            char16_t token = Upper(c);
            if (!c.isLetter()) {
                if (c == u'/')
                    Out += FSettings.DateSeparator;
                else if (c == u':')
                    Out += FSettings.TimeSeparator;
                else
                    Out += c;
                ++i;
                continue;
            }
            qsizetype run = 1;
            while (i + run < n && Upper(Pattern[i + run]) == token)
                ++run;
            if (token == u'M' && lastToken == u'H')
                token = u'N';
            lastToken = token;
            switch (token) {
            case u'Y':
                Out += run <= 2 ? Padded(((FParts.Year % 100) + 100) % 100, 2)
                                : Padded(FParts.Year, 4);
                break;
            case u'M':
                if (run <= 2)
                    Out += Padded(FParts.Month, int(run));
                else
                    Out += run == 3 ? FSettings.ShortMonthNames[FParts.Month - 1]
                                    : FSettings.LongMonthNames[FParts.Month - 1];
                break;
            case u'D':
                if (run <= 2)
                    Out += Padded(FParts.Day, int(run));
                else if (run == 3)
                    Out += FSettings.ShortDayNames[FParts.DayOfWeek];
                else if (run == 4)
                    Out += FSettings.LongDayNames[FParts.DayOfWeek];
                else
                    Append(Out, run == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat,
                           Nesting + 1);
                break;
            case u'H': {
                int hour = FParts.Hour;
                if (HourIsTwelveHour(Pattern, i, run)) {
                    hour %= 12;
                    if (hour == 0)
                        hour = 12;
                }
                Out += Padded(hour, run >= 2 ? 2 : 1);
                break;
            }
            case u'N':
                Out += Padded(FParts.Minute, run >= 2 ? 2 : 1);
                break;
            case u'S':
                Out += Padded(FParts.Second, run >= 2 ? 2 : 1);
                break;
            case u'Z':
                Out += Padded(FParts.MilliSecond, run >= 2 ? 3 : 1);
                break;
            case u'T':
                Append(Out, run == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat,
                       Nesting + 1);
                break;
            case u'C':
                Append(Out, FSettings.ShortDateFormat, Nesting + 1);
                if (FParts.Hour != 0 || FParts.Minute != 0 || FParts.Second != 0 ||
                    FParts.MilliSecond != 0) {
                    Out += u' ';
                    Append(Out, FSettings.LongTimeFormat, Nesting + 1);
                }
                break;
            case u'A':
                run = AppendMarker(Out, Pattern, i);
                break;
            case u'G':
            case u'E':
                break; // eras: not used
            default:
                Out += Pattern.mid(i, run);
                break;
            }
            i += run;
        }
    }

private:
    // Writes an am/pm marker at Pos and returns its length (1 for a plain "a").
    qsizetype AppendMarker(QString& Out, QStringView Pattern, qsizetype Pos) {
        const bool pm = FParts.Hour >= 12;
        if (StartsWithNoCase(Pattern, Pos, u"am/pm")) {
            const QStringView marker = Pattern.mid(pm ? Pos + 3 : Pos, 2);
            Out += marker;
            return 5;
        }
        if (StartsWithNoCase(Pattern, Pos, u"a/p")) {
            Out += Pattern[pm ? Pos + 2 : Pos];
            return 3;
        }
        if (StartsWithNoCase(Pattern, Pos, u"ampm")) {
            Out += pm ? FSettings.TimePMString : FSettings.TimeAMString;
            return 4;
        }
        Out += Pattern[Pos];
        return 1;
    }

    const TVxDateTimeParts& FParts;
    const TVxFormatSettings& FSettings;
};

QString FormatParts(QStringView Pattern, const TVxDateTimeParts& Parts,
                    const TVxFormatSettings& Settings) {
    QString out;
    TFormatter formatter(Parts, Settings);
    formatter.Append(out, Pattern.isEmpty() ? QStringView(u"c") : Pattern, 0);
    return out;
}

// ---- reading ------------------------------------------------------------------------

// A cursor over the text being read.
struct TScanner {
    QStringView Text;
    qsizetype Pos = 0;

    void SkipSpaces() {
        while (Pos < Text.size() && Text[Pos].isSpace())
            ++Pos;
    }
    bool AtEnd() const { return Pos >= Text.size(); }
    // Reads up to MaxDigits digits; Digits tells how many were read.
    std::optional<int> Number(int& Digits, int MaxDigits = 9) {
        Digits = 0;
        long long value = 0;
        while (Pos < Text.size() && Text[Pos] >= u'0' && Text[Pos] <= u'9' && Digits < MaxDigits) {
            value = value * 10 + (Text[Pos].unicode() - u'0');
            ++Pos;
            ++Digits;
        }
        if (Digits == 0)
            return std::nullopt;
        return int(value);
    }
    bool Take(QStringView Word) {
        if (Word.isEmpty() || !Text.mid(Pos).startsWith(Word, Qt::CaseInsensitive))
            return false;
        Pos += Word.size();
        return true;
    }
};

// The order of day, month and year in a date pattern, as "DMY", "MDY" or "YMD".
QString DateOrder(const QString& Pattern) {
    QString order;
    bool quoted = false;
    for (QChar c : Pattern) {
        if (c == u'"' || c == u'\'')
            quoted = !quoted;
        const char16_t u = Upper(c);
        if (!quoted && (u == u'D' || u == u'M' || u == u'Y') && !order.contains(QChar(u)))
            order += QChar(u);
    }
    return order.size() == 3 ? order : QStringLiteral("MDY");
}

int WindowedYear(int TwoDigitYear) {
    const int now = QDate::currentDate().year();
    int year = now - now % 100 + TwoDigitYear;
    if (year > now + 50)
        year -= 100;
    else if (year <= now - 50)
        year += 100;
    return year;
}

struct TDateFields {
    int Year = 0, Month = 0, Day = 0;
};

std::optional<TDateFields> ScanDate(TScanner& s, const TVxFormatSettings& Settings) {
    const qsizetype start = s.Pos;
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
    while (count < 3) {
        const auto value = s.Number(digits[count]);
        if (!value)
            break;
        numbers[count++] = *value;
        if (count < 3 && !s.Take(Settings.DateSeparator))
            break;
    }
    if (count < 2) {
        s.Pos = start;
        return std::nullopt;
    }
    QString order = DateOrder(Settings.ShortDateFormat);
    TDateFields f;
    bool yearTwoDigits = false;
    if (count == 2) {
        order.remove(u'Y');
        f.Year = QDate::currentDate().year();
    }
    for (int k = 0; k < count; ++k) {
        switch (order[k].unicode()) {
        case u'D':
            f.Day = numbers[k];
            break;
        case u'M':
            f.Month = numbers[k];
            break;
        default:
            f.Year = numbers[k];
            yearTwoDigits = digits[k] <= 2;
            break;
        }
    }
    if (yearTwoDigits)
        f.Year = WindowedYear(f.Year);
    return f;
}

struct TTimeFields {
    int Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
};

// 0 for none, 1 for AM, 2 for PM.
int ScanDesignator(TScanner& s, const TVxFormatSettings& Settings) {
    s.SkipSpaces();
    if (s.Take(Settings.TimeAMString) || s.Take(u"AM"))
        return 1;
    if (s.Take(Settings.TimePMString) || s.Take(u"PM"))
        return 2;
    return 0;
}

std::optional<TTimeFields> ScanTime(TScanner& s, const TVxFormatSettings& Settings) {
    const int before = ScanDesignator(s, Settings);
    s.SkipSpaces();
    TTimeFields t;
    int digits = 0;
    const auto hour = s.Number(digits, 4);
    if (!hour)
        return std::nullopt;
    t.Hour = *hour;
    int fields = 1;
    if (s.Take(Settings.TimeSeparator)) {
        const auto minute = s.Number(digits, 4);
        if (!minute)
            return std::nullopt;
        t.Minute = *minute;
        ++fields;
        if (s.Take(Settings.TimeSeparator)) {
            const auto second = s.Number(digits, 4);
            if (!second)
                return std::nullopt;
            t.Second = *second;
            if (s.Take(Settings.DecimalSeparator)) {
                double fraction = 0, scale = 0.1;
                const qsizetype first = s.Pos;
                while (!s.AtEnd() && s.Text[s.Pos] >= u'0' && s.Text[s.Pos] <= u'9') {
                    fraction += scale * (s.Text[s.Pos].unicode() - u'0');
                    scale /= 10;
                    ++s.Pos;
                }
                if (s.Pos == first)
                    return std::nullopt;
                t.MilliSecond = std::min(999, int(std::lround(fraction * 1000)));
            }
        }
    }
    const int after = before != 0 ? before : ScanDesignator(s, Settings);
    if (fields < 2 && after == 0)
        return std::nullopt;
    if (after != 0) {
        if (t.Hour < 1 || t.Hour > 12)
            return std::nullopt;
        if (after == 1 && t.Hour == 12)
            t.Hour = 0;
        else if (after == 2 && t.Hour < 12)
            t.Hour += 12;
    }
    return t;
}

// The date and time read from a text by a pattern.
struct TReadFields {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
    int Marker = 0; // 0 none, 1 morning, 2 afternoon
};

// Reads a text laid out by one of the settings' patterns, the way FormatDateTime writes
// it: literal text (Japanese and Korean time formats hold some), names, a marker before
// or after the hour. Spaces are optional where the pattern has them; numeric fields take
// up to four digits whatever their letter count, so four-digit years read in "yy" too.
class TPatternReader {
public:
    TPatternReader(TScanner& Scanner, const TVxFormatSettings& Settings, TReadFields& Fields)
        : S(Scanner), FSettings(Settings), F(Fields) {}

    bool Read(QStringView Pattern, int Nesting) {
        if (Nesting > MaxNesting)
            return false;
        char16_t lastToken = 0;
        qsizetype i = 0;
        const qsizetype n = Pattern.size();
        while (i < n) {
            const QChar c = Pattern[i];
            if (c == u'"' || c == u'\'') {
                qsizetype j = i + 1;
                while (j < n && Pattern[j] != c)
                    ++j;
                if (!Literal(Pattern.mid(i + 1, j - i - 1)))
                    return false;
                i = j + 1;
                continue;
            }
            if (!c.isLetter()) {
                const bool ok = c == u'/'   ? Literal(FSettings.DateSeparator)
                                : c == u':' ? Literal(FSettings.TimeSeparator)
                                            : Literal(Pattern.mid(i, 1));
                if (!ok)
                    return false;
                ++i;
                continue;
            }
            char16_t token = Upper(c);
            qsizetype run = 1;
            while (i + run < n && Upper(Pattern[i + run]) == token)
                ++run;
            if (token == u'M' && lastToken == u'H')
                token = u'N';
            lastToken = token;
            if (!Field(Pattern, i, run, token, Nesting))
                return false;
            i += token == u'A' ? MarkerLength(Pattern, i) : run;
        }
        return true;
    }

private:
    static qsizetype MarkerLength(QStringView Pattern, qsizetype Pos) {
        if (StartsWithNoCase(Pattern, Pos, u"am/pm"))
            return 5;
        if (StartsWithNoCase(Pattern, Pos, u"a/p"))
            return 3;
        if (StartsWithNoCase(Pattern, Pos, u"ampm"))
            return 4;
        return 1;
    }

    // Literal text of the pattern: spaces in it match any run of spaces (or none).
    bool Literal(QStringView Text) {
        const QStringView word = Text.trimmed();
        S.SkipSpaces();
        return word.isEmpty() || S.Take(word);
    }

    bool Number(int& Value, int MaxDigits = 4) {
        S.SkipSpaces();
        int digits = 0;
        const auto v = S.Number(digits, MaxDigits);
        if (!v)
            return false;
        Value = *v;
        FDigits = digits;
        return true;
    }

    // One of Names, longest first so that a short name that begins a long one cannot win.
    template <std::size_t N>
    bool Name(const std::array<QString, N>& Long, const std::array<QString, N>& Short, int& Index) {
        S.SkipSpaces();
        qsizetype best = 0;
        for (std::size_t k = 0; k < N; ++k) {
            for (const QString* name : {&Long[k], &Short[k]}) {
                if (name->size() > best &&
                    S.Text.mid(S.Pos).startsWith(*name, Qt::CaseInsensitive)) {
                    best = name->size();
                    Index = int(k);
                }
            }
        }
        S.Pos += best;
        return best > 0;
    }

    // Seconds may carry a fraction ("09,5") where the pattern has no millisecond field.
    bool OptionalFraction(QStringView Rest) {
        if (Rest.contains(u'z', Qt::CaseInsensitive))
            return true;
        const qsizetype start = S.Pos;
        if (!S.Take(FSettings.DecimalSeparator))
            return true;
        double fraction = 0, scale = 0.1;
        const qsizetype first = S.Pos;
        while (!S.AtEnd() && S.Text[S.Pos] >= u'0' && S.Text[S.Pos] <= u'9') {
            fraction += scale * (S.Text[S.Pos].unicode() - u'0');
            scale /= 10;
            ++S.Pos;
        }
        if (S.Pos == first) {
            S.Pos = start; // a separator that is no fraction belongs to what follows
            return true;
        }
        F.MilliSecond = std::min(999, int(std::lround(fraction * 1000)));
        return true;
    }

    bool Field(QStringView Pattern, qsizetype Pos, qsizetype Run, char16_t Token, int Nesting) {
        switch (Token) {
        case u'Y':
            if (!Number(F.Year))
                return false;
            if (FDigits <= 2)
                F.Year = WindowedYear(F.Year);
            return true;
        case u'M':
            if (Run <= 2)
                return Number(F.Month, 2);
            if (!Name(FSettings.LongMonthNames, FSettings.ShortMonthNames, F.Month))
                return false;
            ++F.Month;
            return true;
        case u'D': {
            if (Run <= 2)
                return Number(F.Day, 2);
            if (Run <= 4) {
                int weekday = 0; // the date fields decide the day; its name is only read
                return Name(FSettings.LongDayNames, FSettings.ShortDayNames, weekday);
            }
            return Read(Run == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat,
                        Nesting + 1);
        }
        case u'H':
            return Number(F.Hour, 2);
        case u'N':
            return Number(F.Minute, 2);
        case u'S':
            return Number(F.Second, 2) && OptionalFraction(Pattern.mid(Pos + Run));
        case u'Z': {
            int ms = 0;
            if (!Number(ms, 3))
                return false;
            F.MilliSecond = FDigits == 3 ? ms : FDigits == 2 ? ms * 10 : ms * 100;
            return true;
        }
        case u'T':
            return Read(Run == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat,
                        Nesting + 1);
        case u'C': {
            if (!Read(FSettings.ShortDateFormat, Nesting + 1))
                return false;
            S.SkipSpaces();
            return S.AtEnd() || Read(FSettings.LongTimeFormat, Nesting + 1);
        }
        case u'A':
            return Marker(Pattern, Pos);
        case u'G':
        case u'E':
            return true; // eras: not written
        default:
            return Literal(Pattern.mid(Pos, Run));
        }
    }

    bool Marker(QStringView Pattern, qsizetype Pos) {
        S.SkipSpaces();
        if (StartsWithNoCase(Pattern, Pos, u"am/pm")) {
            F.Marker = S.Take(u"am") ? 1 : S.Take(u"pm") ? 2 : 0;
        } else if (StartsWithNoCase(Pattern, Pos, u"a/p")) {
            F.Marker = S.Take(u"a") ? 1 : S.Take(u"p") ? 2 : 0;
        } else if (StartsWithNoCase(Pattern, Pos, u"ampm")) {
            F.Marker = S.Take(FSettings.TimeAMString) || S.Take(u"AM")   ? 1
                       : S.Take(FSettings.TimePMString) || S.Take(u"PM") ? 2
                                                                         : 0;
        } else {
            return Literal(Pattern.mid(Pos, 1));
        }
        return F.Marker != 0;
    }

    TScanner& S;
    const TVxFormatSettings& FSettings;
    TReadFields& F;
    int FDigits = 0;
};

// Reads the whole Text by Pattern; false when the text does not follow it.
bool ReadByPattern(QStringView Text, QStringView Pattern, const TVxFormatSettings& Settings,
                   TDateTime& Value) {
    TScanner s{Text, 0};
    TReadFields f;
    TPatternReader reader(s, Settings, f);
    if (!reader.Read(Pattern, 0))
        return false;
    s.SkipSpaces();
    if (!s.AtEnd())
        return false;
    if (f.Marker != 0) {
        if (f.Hour < 1 || f.Hour > 12)
            return false;
        if (f.Marker == 1 && f.Hour == 12)
            f.Hour = 0;
        else if (f.Marker == 2 && f.Hour < 12)
            f.Hour += 12;
    }
    return TryEncodeDateTime(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second, f.MilliSecond,
                             Value);
}

// A date pattern with every year field written with four digits, so that a written date
// reads back to the same year whatever the century.
QString WithFourDigitYears(const QString& Pattern) {
    QString out;
    QChar quote;
    for (qsizetype i = 0; i < Pattern.size();) {
        const QChar c = Pattern[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
            ++i;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            out += c;
            ++i;
            continue;
        }
        if (c == u'y' || c == u'Y') {
            while (i < Pattern.size() && (Pattern[i] == u'y' || Pattern[i] == u'Y'))
                ++i;
            out += QStringLiteral("yyyy");
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace

QString FormatDateTime(QStringView Pattern, TDateTime x, const TVxFormatSettings& Settings) {
    return FormatParts(Pattern, DecodeDateTime(x), Settings);
}

QString FormatDateTimeMs(QStringView Pattern, TDateTime x, const TVxFormatSettings& Settings) {
    const qsizetype marker = Pattern.indexOf(u"fff");
    if (marker < 0)
        return FormatDateTime(Pattern, x, Settings);
    TVxDateTimeParts parts = DecodeDateTime(x);
    const int ms = parts.MilliSecond;
    parts.MilliSecond = 0;
    QString text = FormatParts(Pattern, parts, Settings);
    const qsizetype at = text.indexOf(u"fff");
    if (at >= 0)
        text.replace(at, 3, Padded(ms, 3));
    return text;
}

QString DateTimeToText(TDateTime x, const TVxFormatSettings& Settings) {
    return FormatDateTime(
        WithFourDigitYears(Settings.ShortDateFormat) + u' ' + Settings.LongTimeFormat, x, Settings);
}

bool TryTextToDateTime(QStringView Text, TDateTime& Value, const TVxFormatSettings& Settings) {
    const QStringView trimmed = Text.trimmed();
    if (trimmed.isEmpty())
        return false;
    // First the layouts the library writes, so that every written text reads back...
    const QString& shortDate = Settings.ShortDateFormat;
    for (const QString& pattern :
         {shortDate + u' ' + Settings.LongTimeFormat, shortDate + u' ' + Settings.ShortTimeFormat,
          shortDate, Settings.LongTimeFormat, Settings.ShortTimeFormat})
        if (ReadByPattern(trimmed, pattern, Settings, Value))
            return true;
    // ...then the freer forms people type.
    TScanner s{trimmed, 0};
    TDateFields date{1899, 12, 30};
    bool haveDate = false;
    if (const auto d = ScanDate(s, Settings)) {
        date = *d;
        haveDate = true;
    }
    TTimeFields time;
    s.SkipSpaces();
    if (!s.AtEnd()) {
        const auto t = ScanTime(s, Settings);
        if (!t)
            return false;
        time = *t;
        s.SkipSpaces();
    } else if (!haveDate) {
        return false;
    }
    if (!s.AtEnd())
        return false;
    return TryEncodeDateTime(date.Year, date.Month, date.Day, time.Hour, time.Minute, time.Second,
                             time.MilliSecond, Value);
}

TDateTime TextToDateTime(QStringView Text, const TVxFormatSettings& Settings) {
    TDateTime value = 0;
    if (!TryTextToDateTime(Text, value, Settings))
        throw EVxConvertError(
            QStringLiteral("'%1' is not a valid date and time").arg(Text.toString()));
    return value;
}
