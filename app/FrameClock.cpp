#include "FrameClock.h"

namespace {
// Julian day number of 30 December 1899, day 0 of a TDateTime.
constexpr qint64 EpochJulianDay = 2415019;
constexpr double MillisecondsPerDay = 86400000.0;
} // namespace

double DateTimeToTDateTime(const QDateTime& Local) {
    const double day = double(Local.date().toJulianDay() - EpochJulianDay);
    return day + Local.time().msecsSinceStartOfDay() / MillisecondsPerDay;
}

double TSystemFrameClock::LocalNow() const {
    return DateTimeToTDateTime(QDateTime::currentDateTime());
}

double TSystemFrameClock::MonotonicSeconds() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
