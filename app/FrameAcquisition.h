#pragma once
// The logger's frame logic: a block of bytes from one received-data event becomes, when it
// is one 8-byte frame and the interval since the last accepted frame has passed, one
// time-stamped log line and one point (time, temperature) in two vectors.

#include "FrameClock.h"
#include "LogLines.h"
#include "util/FormatSettings.h"

#include <QByteArray>
#include <optional>

class TVxCustomDoubleVector;

/// Length of one frame of the temperature device.
constexpr int FrameLength = 8;

/// The temperature of a frame: bytes 4 and 5, big-endian tenths of a degree, as a single.
float DecodeTemperature(const QByteArray& Frame);

/// The log line of one reading: "yyyy-mm-dd hh:mm:ss; 23.4ºC" in the given conventions.
QString FormatLogLine(double LocalTime, float Temperature, const TVxFormatSettings& Settings);

/// The interval as whole milliseconds (0.05 minutes -> 3000): the gate compares whole
/// milliseconds of the monotonic clock, so that "at least the interval" holds exactly.
/// Zero for a non-positive or not-a-number interval.
long long IntervalMilliSeconds(double IntervalMinutes);

class TFrameAcquisition {
public:
    /// Reads Clock for every frame and formats lines with Settings.
    explicit TFrameAcquisition(const TFrameClock& Clock,
                               TVxFormatSettings Settings = TVxFormatSettings::Current());

    /// Handles one received block: logs and appends it when it is one frame and at least
    /// IntervalMinutes have passed since the last accepted frame (the first one always
    /// passes); otherwise drops it silently.
    void ProcessFrame(const QByteArray& Data, double IntervalMinutes, TLogLines& Lines,
                      TVxCustomDoubleVector& Times, TVxCustomDoubleVector& Temperatures);

private:
    const TFrameClock& FClock;
    TVxFormatSettings FSettings;
    // Monotonic time of the last accepted frame; none before the first.
    std::optional<long long> FLastAcceptedMilliSeconds;
};
