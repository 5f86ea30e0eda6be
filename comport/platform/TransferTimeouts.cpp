#include "comport/platform/TransferTimeouts.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint32_t Maximum = 0xFFFFFFFFu;

} // namespace

TReadLimits ReadLimitsFor(const TComTimeoutBlock& Timeouts, std::uint32_t Count) {
    TReadLimits limits;
    const std::uint32_t interval = Timeouts.ReadIntervalTimeout;
    const std::uint32_t multiplier = Timeouts.ReadTotalTimeoutMultiplier;
    const std::uint32_t constant = Timeouts.ReadTotalTimeoutConstant;
    if (interval == Maximum && multiplier == 0 && constant == 0) {
        limits.ReturnAtOnce = true;
        return limits;
    }
    if (interval == Maximum && multiplier == Maximum && constant != 0 && constant != Maximum) {
        limits.ReturnOnAnyByte = true;
        limits.TotalMs = constant;
        return limits;
    }
    if (multiplier != 0 || constant != 0)
        limits.TotalMs = std::uint64_t{multiplier} * Count + constant;
    if (interval != 0)
        limits.IntervalMs = interval;
    return limits;
}

std::optional<std::uint64_t> WriteLimitFor(const TComTimeoutBlock& Timeouts, std::uint32_t Count) {
    const std::uint32_t multiplier = Timeouts.WriteTotalTimeoutMultiplier;
    const std::uint32_t constant = Timeouts.WriteTotalTimeoutConstant;
    if (multiplier == 0 && constant == 0)
        return std::nullopt;
    return std::uint64_t{multiplier} * Count + constant;
}

TDeadline TDeadline::After(std::optional<std::uint64_t> Ms) {
    TDeadline d;
    if (Ms) {
        // Beyond a few centuries the clock would overflow; such a limit is no limit.
        constexpr std::uint64_t Longest = std::uint64_t{1} << 40;
        if (*Ms < Longest)
            d.FWhen = TClock::now() + std::chrono::milliseconds(*Ms);
    }
    return d;
}

TDeadline TDeadline::At(TClock::time_point When) {
    TDeadline d;
    d.FWhen = When;
    return d;
}

bool TDeadline::Expired() const {
    return FWhen && TClock::now() >= *FWhen;
}

int TDeadline::PollTimeout() const {
    if (!FWhen)
        return -1;
    const auto left = *FWhen - TClock::now();
    if (left <= TClock::duration::zero())
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<long long>(ms, std::numeric_limits<int>::max()));
}

TDeadline TDeadline::Earlier(const TDeadline& A, const TDeadline& B) {
    if (!A.FWhen)
        return B;
    if (!B.FWhen)
        return A;
    return *A.FWhen <= *B.FWhen ? A : B;
}
