#include "tools/TemperatureProfile.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

double CheckedCycle(double CycleSeconds) {
    if (!std::isfinite(CycleSeconds) || CycleSeconds <= 0.0) {
        throw std::invalid_argument("the cycle of a temperature profile must be positive");
    }
    return CycleSeconds;
}

} // namespace

double TConstantProfile::TemperatureAt(double /*Seconds*/) const {
    return FCelsius;
}

TSineProfile::TSineProfile(double Mean, double Amplitude, double CycleSeconds)
    : FMean(Mean), FAmplitude(Amplitude), FCycleSeconds(CheckedCycle(CycleSeconds)) {}

double TSineProfile::TemperatureAt(double Seconds) const {
    return FMean + FAmplitude * std::sin(2.0 * std::numbers::pi * Seconds / FCycleSeconds);
}

TRampProfile::TRampProfile(double Mean, double Amplitude, double CycleSeconds)
    : FMean(Mean), FAmplitude(Amplitude), FCycleSeconds(CheckedCycle(CycleSeconds)) {}

double TRampProfile::TemperatureAt(double Seconds) const {
    const double cycles = Seconds / FCycleSeconds;
    const double phase = cycles - std::floor(cycles); // 0 <= phase < 1, also before 0 s
    double unit;                                      // the wave with amplitude 1
    if (phase < 0.25) {
        unit = 4.0 * phase;
    } else if (phase < 0.75) {
        unit = 2.0 - 4.0 * phase;
    } else {
        unit = 4.0 * phase - 4.0;
    }
    return FMean + FAmplitude * unit;
}
