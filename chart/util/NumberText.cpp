#include "NumberText.h"

#include "util/Exceptions.h"
#include "util/NumberScan.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// A finite double as decimal digits (no trailing zeros, "0" for zero), the decimal
// exponent of the first digit and the sign.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

// Digits of x rounded to Precision significant digits (0: shortest round-trip).
TDecimal Decompose(double x, int Precision) {
    char buffer[64];
    const auto result =
        Precision <= 0
            ? std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific)
            : std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific,
                            Precision - 1);
    const char* p = buffer;
    const char* end = result.ptr;
    TDecimal d;
    if (*p == '-') {
        d.Negative = true;
        ++p;
    }
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.')
            d.Digits += *p;
    if (p != end) {
        ++p;
        if (*p == '+')
            ++p;
        std::from_chars(p, end, d.Exponent);
    }
    while (d.Digits.size() > 1 && d.Digits.back() == '0')
        d.Digits.pop_back();
    return d;
}

QString SpecialText(double x) {
    if (std::isnan(x))
        return QStringLiteral("NAN");
    return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString ExponentPart(int Exponent, int ExpDigits) {
    QString text = QString::number(std::abs(Exponent));
    if (text.size() < ExpDigits)
        text.prepend(QString(ExpDigits - text.size(), u'0'));
    return (Exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) + text;
}

QString MantissaText(const TDecimal& d, QStringView Separator) {
    QString text = d.Negative ? QStringLiteral("-") : QString();
    text += QChar::fromLatin1(d.Digits[0]);
    if (d.Digits.size() > 1) {
        text += Separator;
        text += QString::fromLatin1(d.Digits.data() + 1, qsizetype(d.Digits.size() - 1));
    }
    return text;
}

QString FixedLayout(const TDecimal& d, QStringView Separator) {
    QString text = d.Negative ? QStringLiteral("-") : QString();
    const int count = int(d.Digits.size());
    if (d.Exponent < 0) {
        text += u'0';
        text += Separator;
        text += QString(-d.Exponent - 1, u'0');
        text += QString::fromLatin1(d.Digits.data(), count);
        return text;
    }
    const int integerDigits = d.Exponent + 1;
    if (count <= integerDigits) {
        text += QString::fromLatin1(d.Digits.data(), count);
        text += QString(integerDigits - count, u'0');
        return text;
    }
    text += QString::fromLatin1(d.Digits.data(), integerDigits);
    text += Separator;
    text += QString::fromLatin1(d.Digits.data() + integerDigits, count - integerDigits);
    return text;
}

} // namespace

QString FloatToGeneralText(double x, int Precision, QStringView DecimalSeparator) {
    if (!std::isfinite(x))
        return SpecialText(x);
    TDecimal d = Decompose(x, 0);
    // A precision at or above the round-trip digit count only adds noise digits.
    if (Precision > 0 && Precision < int(d.Digits.size()))
        d = Decompose(x, Precision);
    const int threshold = Precision > 0 ? Precision : 15;
    if (d.Exponent < -4 || d.Exponent >= threshold)
        return MantissaText(d, DecimalSeparator) + ExponentPart(d.Exponent, 0);
    return FixedLayout(d, DecimalSeparator);
}

QString FloatToFixedText(double x, int Decimals, QStringView DecimalSeparator) {
    if (!std::isfinite(x))
        return SpecialText(x);
    Decimals = std::clamp(Decimals, 0, 100);
    // The largest double has 309 integer digits.
    char buffer[420];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, Decimals);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (DecimalSeparator != u".")
        text.replace(u'.', DecimalSeparator.toString());
    return text;
}

QString FloatToExponentText(double x, int Precision, int ExpDigits, QStringView DecimalSeparator) {
    if (!std::isfinite(x))
        return SpecialText(x);
    Precision = std::clamp(Precision, 1, 17);
    ExpDigits = std::clamp(ExpDigits, 0, 4);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x,
                                      std::chars_format::scientific, Precision - 1);
    TDecimal d;
    const char* p = buffer;
    if (*p == '-') {
        d.Negative = true;
        ++p;
    }
    for (; p != result.ptr && *p != 'e'; ++p)
        if (*p != '.')
            d.Digits += *p;
    ++p;
    if (*p == '+')
        ++p;
    std::from_chars(p, result.ptr, d.Exponent);
    return MantissaText(d, DecimalSeparator) + ExponentPart(d.Exponent, ExpDigits);
}

QString FloatToText(double x, const TVxFormatSettings& Settings) {
    return FloatToGeneralText(x, 0, Settings.DecimalSeparator);
}

QString FloatToLimitedText(int MaxLen, double x, const TVxFormatSettings& Settings) {
    if (MaxLen <= 0)
        return FloatToText(x, Settings);
    int precision = MaxLen;
    QString text = FloatToGeneralText(x, precision, Settings.DecimalSeparator);
    while (text.size() > MaxLen && precision > 1) {
        --precision;
        text = FloatToGeneralText(x, precision, Settings.DecimalSeparator);
    }
    return text;
}

bool TryTextToFloat(QStringView Text, double& Value, const TVxFormatSettings& Settings) {
    QString text = Text.trimmed().toString();
    const QString& separator = Settings.DecimalSeparator;
    if (separator != u".") {
        // A "." is then a group separator or a mistake: either way not this number.
        if (text.contains(u'.'))
            return false;
        text.replace(separator, QStringLiteral("."));
    }
    const auto* p = reinterpret_cast<const char16_t*>(text.constData());
    return VxNumberScan::ConvertWholeFloat(p, p + text.size(), Value) ==
           VxNumberScan::TScanResult::Ok;
}

double TextToFloat(QStringView Text, const TVxFormatSettings& Settings) {
    double value = 0;
    if (!TryTextToFloat(Text, value, Settings))
        throw EVxConvertError(
            QStringLiteral("'%1' is not a valid floating point value").arg(Text.toString()));
    return value;
}

QString IndexToLetters(long long n) {
    QString letters;
    while (n > 0) {
        --n;
        letters.prepend(QChar(u'A' + int(n % 26)));
        n /= 26;
    }
    return letters;
}

namespace {

// One section of a number pattern, taken apart.
struct TNumberPattern {
    QString Prefix, Suffix;
    int IntegerZeros = 0;
    bool Grouping = false;
    int FractionZeros = 0, FractionHashes = 0;
    bool Exponent = false, ExponentPlus = false;
    QChar ExponentChar = u'E';
    int ExponentDigits = 0;
    bool HasDigits = false;
};

TNumberPattern ParseSection(QStringView Section) {
    TNumberPattern p;
    bool fraction = false, afterDigits = false;
    for (qsizetype i = 0; i < Section.size(); ++i) {
        const QChar c = Section[i];
        QString* literal = p.HasDigits ? &p.Suffix : &p.Prefix;
        if (c == u'"' || c == u'\'') {
            qsizetype j = i + 1;
            while (j < Section.size() && Section[j] != c)
                ++j;
            *literal += Section.mid(i + 1, j - i - 1);
            if (p.HasDigits)
                afterDigits = true;
            i = j;
            continue;
        }
        const bool placeholder = c == u'0' || c == u'#';
        if (!afterDigits && !p.Exponent &&
            (placeholder || c == u'.' || (c == u',' && p.HasDigits))) {
            if (c == u'.') {
                fraction = true;
            } else if (c == u',') {
                if (!fraction)
                    p.Grouping = true;
            } else {
                p.HasDigits = true;
                if (fraction)
                    (c == u'0' ? p.FractionZeros : p.FractionHashes)++;
                else if (c == u'0')
                    ++p.IntegerZeros;
            }
            continue;
        }
        if (!afterDigits && p.HasDigits && !p.Exponent && (c == u'E' || c == u'e') &&
            i + 1 < Section.size() && (Section[i + 1] == u'+' || Section[i + 1] == u'-')) {
            p.Exponent = true;
            p.ExponentChar = c;
            p.ExponentPlus = Section[i + 1] == u'+';
            i += 2;
            while (i < Section.size() && Section[i] == u'0') {
                ++p.ExponentDigits;
                ++i;
            }
            --i;
            continue;
        }
        if (p.HasDigits)
            afterDigits = true;
        *literal += c;
    }
    return p;
}

QString GroupDigits(const QString& Digits, const QString& Separator) {
    QString out;
    const qsizetype n = Digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += Separator;
        out += Digits[i];
    }
    return out;
}

// The digits of |x| by pattern p, without sign; Zero tells whether they are all zero.
QString FormatMagnitude(const TNumberPattern& p, double x, const TVxFormatSettings& Settings,
                        bool& Zero) {
    const int decimals = p.FractionZeros + p.FractionHashes;
    char buffer[420];
    QString integer, fraction, exponent;
    if (p.Exponent) {
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                     std::chars_format::scientific, decimals);
        const QString text = QString::fromLatin1(buffer, r.ptr - buffer);
        const qsizetype e = text.indexOf(u'e');
        const QString mantissa = text.left(e);
        const int exp = text.mid(e + 1).toInt();
        integer = mantissa.left(1);
        fraction = mantissa.mid(2);
        QString digits = QString::number(std::abs(exp));
        if (digits.size() < p.ExponentDigits)
            digits.prepend(QString(p.ExponentDigits - digits.size(), u'0'));
        exponent = QString(p.ExponentChar) +
                   QString(exp < 0 ? QStringLiteral("-")
                                   : (p.ExponentPlus ? QStringLiteral("+") : QString())) +
                   digits;
    } else {
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                     std::chars_format::fixed, decimals);
        const QString text = QString::fromLatin1(buffer, r.ptr - buffer);
        const qsizetype dot = text.indexOf(u'.');
        integer = dot < 0 ? text : text.left(dot);
        fraction = dot < 0 ? QString() : text.mid(dot + 1);
    }
    const auto allZero = [](const QString& Digits) {
        return std::all_of(Digits.begin(), Digits.end(), [](QChar c) { return c == u'0'; });
    };
    Zero = allZero(integer) && allZero(fraction);
    while (fraction.size() > p.FractionZeros && fraction.endsWith(u'0'))
        fraction.chop(1);
    if (integer == u"0" && p.IntegerZeros == 0)
        integer.clear();
    if (integer.size() < p.IntegerZeros)
        integer.prepend(QString(p.IntegerZeros - integer.size(), u'0'));
    if (p.Grouping)
        integer = GroupDigits(integer, Settings.ThousandSeparator);
    QString out = integer;
    if (!fraction.isEmpty())
        out += Settings.DecimalSeparator + fraction;
    if (out.isEmpty())
        out = QStringLiteral("0");
    return out + exponent;
}

} // namespace

QString FormatFloat(QStringView Pattern, double x, const TVxFormatSettings& Settings) {
    if (Pattern.isEmpty() || !std::isfinite(x))
        return FloatToText(x, Settings);
    const QList<QStringView> sections = Pattern.split(u';');
    const TNumberPattern positive = ParseSection(sections[0]);
    if (x == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        const TNumberPattern zero = ParseSection(sections[2]);
        bool isZero = true;
        return zero.Prefix +
               (zero.HasDigits ? FormatMagnitude(zero, 0, Settings, isZero) : QString()) +
               zero.Suffix;
    }
    if (x < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        const TNumberPattern negative = ParseSection(sections[1]);
        bool isZero = true;
        return negative.Prefix +
               (negative.HasDigits ? FormatMagnitude(negative, x, Settings, isZero) : QString()) +
               negative.Suffix;
    }
    if (!positive.HasDigits)
        return positive.Prefix + positive.Suffix;
    bool isZero = true;
    const QString digits = FormatMagnitude(positive, x, Settings, isZero);
    return positive.Prefix + (x < 0 && !isZero ? QStringLiteral("-") : QString()) + digits +
           positive.Suffix;
}
