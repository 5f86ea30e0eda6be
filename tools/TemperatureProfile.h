#pragma once
// How the simulated device's temperature changes over time: a small strategy interface and
// three profiles (constant, sine, triangular ramp).

/// A temperature as a function of time.
class TTemperatureProfile {
public:
    virtual ~TTemperatureProfile() = default;
    /// The temperature in degrees Celsius Seconds after the device started sending. Must be
    /// safe to call from any thread (profiles hold no mutable state).
    virtual double TemperatureAt(double Seconds) const = 0;
};

/// The same temperature at every moment.
class TConstantProfile final : public TTemperatureProfile {
public:
    /// A profile that always gives Celsius.
    explicit TConstantProfile(double Celsius) : FCelsius(Celsius) {}
    /// Celsius, whatever Seconds is.
    double TemperatureAt(double Seconds) const override;

private:
    double FCelsius;
};

/// Mean + Amplitude * sin(2 pi t / Cycle): starts at the mean, rising.
class TSineProfile final : public TTemperatureProfile {
public:
    /// A sine wave; throws std::invalid_argument unless CycleSeconds is finite and positive.
    TSineProfile(double Mean, double Amplitude, double CycleSeconds);
    /// The wave's value at Seconds.
    double TemperatureAt(double Seconds) const override;

private:
    double FMean;
    double FAmplitude;
    double FCycleSeconds;
};

/// A triangular wave in phase with the sine: from the mean straight up to Mean + Amplitude
/// at a quarter cycle, down to Mean - Amplitude at three quarters, back to the mean.
class TRampProfile final : public TTemperatureProfile {
public:
    /// A triangular ramp; throws std::invalid_argument unless CycleSeconds is finite and
    /// positive.
    TRampProfile(double Mean, double Amplitude, double CycleSeconds);
    /// The ramp's value at Seconds.
    double TemperatureAt(double Seconds) const override;

private:
    double FMean;
    double FAmplitude;
    double FCycleSeconds;
};
