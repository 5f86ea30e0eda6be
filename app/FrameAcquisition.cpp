#include "FrameAcquisition.h"

#include "util/DateTimeFormat.h"
#include "vectors/CustomDoubleVector.h"

#include <algorithm>
#include <charconv>
#include <cmath>

float DecodeTemperature(const QByteArray& Frame) {
    const unsigned high = static_cast<unsigned char>(Frame.at(4));
    const unsigned low = static_cast<unsigned char>(Frame.at(5));
    // Single-precision division: the reading is the single nearest to tenths / 10.
    return float(high * 256 + low) / 10.0f;
}

QString FormatLogLine(double LocalTime, float Temperature, const TVxFormatSettings& Settings) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, double(Temperature),
                                      std::chars_format::fixed, 1);
    QString temperature = QString::fromLatin1(digits, int(result.ptr - digits));
    temperature.replace('.', Settings.DecimalSeparator);
    return FormatDateTime(u"yyyy-mm-dd hh:mm:ss", LocalTime, Settings) + "; " + temperature +
           QChar(0x00BA) + "C";
}

long long IntervalMilliSeconds(double IntervalMinutes) {
    if (!(IntervalMinutes > 0))
        return 0;
    // Capped far beyond any uptime so that the product stays a valid 64-bit count.
    return std::llround(std::min(IntervalMinutes, 1e12) * 60000.0);
}

TFrameAcquisition::TFrameAcquisition(const TFrameClock& Clock, TVxFormatSettings Settings)
    : FClock(Clock), FSettings(std::move(Settings)) {}

void TFrameAcquisition::ProcessFrame(const QByteArray& Data, double IntervalMinutes,
                                     TLogLines& Lines, TVxCustomDoubleVector& Times,
                                     TVxCustomDoubleVector& Temperatures) {
    if (Data.size() != FrameLength)
        return;
    // Whole milliseconds on both sides: minutes x 60 in floating point can exceed the
    // interval (0.05 x 60 is 3.0000000000000004), which would hold back a frame that came
    // exactly the interval later.
    const long long now = std::llround(FClock.MonotonicSeconds() * 1000.0);
    if (FLastAcceptedMilliSeconds &&
        now - *FLastAcceptedMilliSeconds < IntervalMilliSeconds(IntervalMinutes))
        return;
    FLastAcceptedMilliSeconds = now;

    const float temperature = DecodeTemperature(Data);
    // One wall-clock reading serves the line and the times vector, so that they agree.
    const double localTime = FClock.LocalNow();
    Lines.AppendLine(FormatLogLine(localTime, temperature, FSettings));
    Times.Add(localTime);
    Temperatures.Add(double(temperature));
}
