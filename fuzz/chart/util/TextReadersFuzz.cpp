// Any text given to every reader of numbers, number lists, time spans, dates and colours:
// a value or a clear error, never a crash, hang or out-of-bounds read. Each reader that
// accepts a text must also accept what its writer makes of the value.
#include "drawing/ColorText.h"
#include "util/DateTimeFormat.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"
#include "util/NumberExtraction.h"
#include "util/NumberText.h"
#include "util/TimeSpan.h"

#include <cmath>
#include <cstring>

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
    Try([&] { ColorToText(ColorFromText(text)); });
    Try([&] { ColorFromRgbText(text); });
    return 0;
}
