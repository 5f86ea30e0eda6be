#pragma once
// The clocks the frame logic reads: local wall time for the time stamps, and a monotonic
// clock for the interval gate (so that a clock set back, or the end of daylight saving,
// cannot hold readings back).

class TFrameClock {
public:
    virtual ~TFrameClock() = default;
    /// Local wall time as a TDateTime (days since 30 December 1899).
    virtual double LocalNow() const = 0;
    /// Seconds on a clock that never goes back.
    virtual double MonotonicSeconds() const = 0;
};

/// The real clocks of the machine.
class TSystemFrameClock : public TFrameClock {
public:
    double LocalNow() const override;
    double MonotonicSeconds() const override;
};
