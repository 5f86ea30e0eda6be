#include "FrameClock.h"

#include "util/DateTime.h"

#include <QDateTime>
#include <chrono>

double TSystemFrameClock::LocalNow() const {
    return QDateTimeToDateTime(QDateTime::currentDateTime());
}

double TSystemFrameClock::MonotonicSeconds() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
