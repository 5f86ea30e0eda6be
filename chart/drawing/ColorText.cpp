#include "drawing/ColorText.h"

#include "drawing/NamedColors.h"
#include "util/Exceptions.h"

#include <charconv>
#include <string>

std::optional<std::int32_t> ParseColorInteger(const QString& Text) {
    const std::string s = Text.trimmed().toStdString();
    std::size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+'))
        negative = s[pos++] == '-';
    int base = 10;
    if (pos < s.size() && s[pos] == '$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < s.size() && s[pos] == '0' && (s[pos + 1] == 'x' || s[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos == s.size() || s[pos] == '-' || s[pos] == '+')
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const char* first = s.data() + pos;
    const char* last = s.data() + s.size();
    const auto [end, ec] = std::from_chars(first, last, magnitude, base);
    if (ec != std::errc() || end != last)
        return std::nullopt;
    // Hexadecimal is a bit pattern ("$FFB0B0B0" is an opaque colour); decimal is a value.
    const std::uint64_t limit =
        base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (magnitude > limit)
        return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    return static_cast<std::int32_t>(bits);
}

TVxColor ColorFromText(const QString& Text) {
    for (const TVxNamedColor& entry : NamedColorTable())
        if (Text.compare(QLatin1String(entry.Name), Qt::CaseInsensitive) == 0)
            return entry.Value;
    return ParseColorInteger(Text).value_or(0);
}

QString ColorToText(TVxColor Color, bool IncludeSystem) {
    const auto& table = NamedColorTable();
    const std::size_t first = IncludeSystem ? 0 : FirstFixedNamedColor - 1;
    for (std::size_t i = first; i < table.size(); ++i)
        if (table[i].Value == Color)
            return QString::fromLatin1(table[i].Name);
    QString text = QStringLiteral("$");
    for (int shift = 28; shift >= 0; shift -= 4)
        text += QLatin1Char("0123456789ABCDEF"[(ColorArgb(Color) >> shift) & 0xFu]);
    return text;
}

QString ColorToRgbText(TVxColor Color) {
    return QStringLiteral("[A=%1, R=%2, G=%3, B=%4]")
        .arg(GetAlpha(Color))
        .arg(GetRed(Color))
        .arg(GetGreen(Color))
        .arg(GetBlue(Color));
}

QString TColorToRgbText(TColor Color) {
    return ColorToRgbText(ToArgb(Color));
}

namespace {

// The integer between Key and Stop, searched from From onwards; From moves past Stop.
std::uint8_t ReadChannel(const QString& Text, const QString& Key, QChar Stop, qsizetype& From) {
    const qsizetype keyAt = Text.indexOf(Key, From);
    const qsizetype start = keyAt < 0 ? -1 : keyAt + Key.size();
    const qsizetype stop = start < 0 ? -1 : Text.indexOf(Stop, start);
    const QString number = stop < 0 ? QString() : Text.mid(start, stop - start);
    const auto value = ParseColorInteger(number);
    if (!value)
        throw EVxConvertError(QStringLiteral("'%1' is not a valid integer value").arg(number));
    From = stop + 1;
    // Only the low 8 bits: reducing a negative number "modulo 256" would spill into the
    // neighbouring channels.
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(*value) & 0xFFu);
}

} // namespace

TVxColor ColorFromRgbText(const QString& Text) {
    qsizetype from = 0;
    const std::uint8_t a = ReadChannel(Text, QStringLiteral("A="), u',', from);
    const std::uint8_t r = ReadChannel(Text, QStringLiteral("R="), u',', from);
    const std::uint8_t g = ReadChannel(Text, QStringLiteral("G="), u',', from);
    const std::uint8_t b = ReadChannel(Text, QStringLiteral("B="), u']', from);
    return MakeColor(a, r, g, b);
}

TColor TColorFromRgbText(const QString& Text) {
    return ToTColor(ColorFromRgbText(Text));
}
