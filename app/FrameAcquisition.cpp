#include "FrameAcquisition.h"

#include "util/DateTimeFormat.h"
#include "vectors/CustomDoubleVector.h"

#include <charconv>

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

TFrameAcquisition::TFrameAcquisition(const TFrameClock& Clock, TVxFormatSettings Settings)
    : FClock(Clock), FSettings(std::move(Settings)) {}

void TFrameAcquisition::ProcessFrame(const QByteArray& Data, double IntervalMinutes,
                                     TLogLines& Lines, TVxCustomDoubleVector& Times,
                                     TVxCustomDoubleVector& Temperatures) {
    if (Data.size() != FrameLength)
        return;
    const double now = FClock.MonotonicSeconds();
    if (FLastAcceptedSeconds && now < *FLastAcceptedSeconds + IntervalMinutes * 60)
        return;
    FLastAcceptedSeconds = now;

    const float temperature = DecodeTemperature(Data);
    // One wall-clock reading serves the line and the times vector, so that they agree.
    const double localTime = FClock.LocalNow();
    Lines.AppendLine(FormatLogLine(localTime, temperature, FSettings));
    Times.Add(localTime);
    Temperatures.Add(double(temperature));
}
