#pragma once
// When a transfer ends: the timeout block's rules as limits in milliseconds, and a
// deadline on the steady clock that turns a limit into poll timeouts.

#include "comport/platform/ComDevice.h"

#include <chrono>
#include <cstdint>
#include <optional>

/// How a read of a given count ends besides having all its bytes.
struct TReadLimits {
    bool ReturnAtOnce = false;               ///< return with what is queued, possibly nothing
    bool ReturnOnAnyByte = false;            ///< return as soon as at least one byte was read
    std::optional<std::uint64_t> TotalMs;    ///< limit for the whole read, none for no limit
    std::optional<std::uint64_t> IntervalMs; ///< limit between two bytes once one arrived
};

/// The limits of a read of Count bytes under Timeouts.
TReadLimits ReadLimitsFor(const TComTimeoutBlock& Timeouts, std::uint32_t Count);
/// The limit of a write of Count bytes under Timeouts, none for no limit.
std::optional<std::uint64_t> WriteLimitFor(const TComTimeoutBlock& Timeouts, std::uint32_t Count);

/// A point in time by which something must be done, or none (never expires).
class TDeadline {
public:
    using TClock = std::chrono::steady_clock;
    /// A deadline that never expires.
    TDeadline() = default;
    /// Expires Ms milliseconds from now (never for none).
    static TDeadline After(std::optional<std::uint64_t> Ms);
    /// Expires at the given time.
    static TDeadline At(TClock::time_point When);
    /// Whether the deadline has passed.
    bool Expired() const;
    /// Milliseconds left for poll: -1 for none, else 0 to INT32_MAX, rounded up.
    int PollTimeout() const;
    /// The earlier of two deadlines.
    static TDeadline Earlier(const TDeadline& A, const TDeadline& B);

private:
    std::optional<TClock::time_point> FWhen;
};
