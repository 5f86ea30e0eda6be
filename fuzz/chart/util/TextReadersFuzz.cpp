// Any text given to every reader of numbers, number lists, time spans, dates and colours:
// a value or a clear error, never a crash, hang or out-of-bounds read. Each reader that
// accepts a text must also accept what its writer makes of the value.
#include "drawing/ColorText.h"
#include "util/DateTime.h"
#include "util/DateTimeFormat.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"
#include "util/NumberExtraction.h"
#include "util/NumberText.h"
#include "util/TimeSpan.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace {

template <class Fn> void Try(Fn&& Body) {
    try {
        Body();
    } catch (const EVxException&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size));
    const TVxFormatSettings settings = TVxFormatSettings::Invariant();

    Try([&] {
        const double value = InvariantTextToFloat(text);
        const double back = InvariantTextToFloat(FloatToInvariantText(value));
        if (std::memcmp(&value, &back, sizeof value) != 0 && !std::isnan(value))
            __builtin_trap();
    });
    Try([&] {
        TVxNumberListReader reader(text);
        while (!reader.AtEnd())
            reader.ReadFloat();
    });
    Try([&] {
        TVxNumberListReader reader(text);
        while (!reader.AtIntegerEnd())
            reader.ReadInteger();
    });
    Try([&] {
        QString rest = text;
        for (int i = 0; i < 64 && !rest.isEmpty(); ++i)
            ExtractFloat(rest);
    });
    Try([&] { TextToFloat(text, settings); });
    Try([&] {
        const double days = TextToTimeSpan(text, settings);
        if (std::isfinite(days) && days >= 0 && days < 1e6)
            TimeSpanToText(days, settings);
    });
    Try([&] { TextToDateTime(text, settings); });
    // The byte reader of long lists agrees with the text reader.
    Try([&] {
        double fromBytes = 0;
        const bool bytesOk = TryInvariantTextToFloat(
            std::string_view(reinterpret_cast<const char*>(Data), Size), fromBytes);
        double fromText = 0;
        if (bytesOk && TryInvariantTextToFloat(text, fromText) &&
            std::memcmp(&fromBytes, &fromText, sizeof fromText) != 0 && !std::isnan(fromText))
            __builtin_trap();
    });
    // Locales whose layouts the readers must tell apart: "." as the time separator, time
    // formats with literal text, a 12-hour marker before the hour. What a reader takes,
    // its writer writes, and that reads back.
    static const TVxFormatSettings locales[] = {
        TVxFormatSettings::FromLocale(QLocale(QStringLiteral("fi_FI"))),
        TVxFormatSettings::FromLocale(QLocale(QStringLiteral("ja_JP"))),
        TVxFormatSettings::FromLocale(QLocale(QStringLiteral("ko_KR")))};
    for (const TVxFormatSettings& local : locales) {
        Try([&] {
            const double days = TextToTimeSpan(text, local);
            if (days < 1e6) {
                const double back = TextToTimeSpan(TimeSpanToText(days, local), local);
                if (!(std::fabs(back - days) <= 0.5 / 86400000 + 1e-9))
                    __builtin_trap();
            }
        });
        Try([&] {
            const TDateTime value = TextToDateTime(text, local);
            const TDateTime back = TextToDateTime(DateTimeToText(value, local), local);
            if (!(std::fabs(DateTimeDifference(back, value)) < 1.0 / 86400))
                __builtin_trap();
        });
    }
    Try([&] { ColorToText(ColorFromText(text)); });
    Try([&] { ColorFromRgbText(text); });
    return 0;
}
