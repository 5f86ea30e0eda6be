// The event wait of the Linux device: polls the tty together with the wake-up eventfd.
//
// Received data is reported like an edge: when bytes arrived since the last report, counted
// as queued bytes plus bytes taken since then, so bytes a handler leaves unread do not fire
// again. After new bytes the wait lets the line go quiet for QuietGapMs, so that a frame the
// driver hands over in pieces is reported as one block. Modem-line, break and error events
// come from the driver's counters, checked on a short tick while such events are asked for.
#include "comport/platform/LinuxComDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int QuietGapMs = 3;       // the line counts as quiet after this long without a byte
constexpr int LongestGatherMs = 50; // a steady stream is reported at least this often
constexpr int UnreadTickMs = 5;     // checks for more bytes while some are left unread
constexpr int OutputTickMs = 2;     // checks for an empty output queue after a write
constexpr int CounterTickMs = 50;   // checks the driver's counters (modem lines, errors)

constexpr std::uint32_t CounterMask = ComEvent::Cts | ComEvent::Dsr | ComEvent::Rlsd |
                                      ComEvent::Break | ComEvent::Err | ComEvent::Ring;

} // namespace

int TLinuxComDevice::SetEventMask(std::uint32_t Mask) {
    if (FFd < 0)
        return EBADF;
    FMask = Mask;
    Nudge(); // the wait looks again with the new mask
    return 0;
}

void TLinuxComDevice::Nudge() {
    if (FWakeFd < 0)
        return;
    const std::uint64_t one = 1;
    // The eventfd holds a counter: this write neither blocks nor fails short.
    [[maybe_unused]] const ssize_t w = ::write(FWakeFd, &one, sizeof one);
}

void TLinuxComDevice::WakeEventWait() {
    FWakeRequested = true;
    Nudge();
}

std::uint32_t TLinuxComDevice::CounterEvents(std::uint32_t Mask) {
    TLineCounters now;
    if (!FHasCounters || !(Mask & CounterMask) || !ReadCounters(now))
        return 0;
    std::uint32_t events = 0;
    const TLineCounters& base = FEventBase;
    if (now.Cts != base.Cts)
        events |= ComEvent::Cts;
    if (now.Dsr != base.Dsr)
        events |= ComEvent::Dsr;
    if (now.Dcd != base.Dcd)
        events |= ComEvent::Rlsd;
    if (now.Rng != base.Rng)
        events |= ComEvent::Ring;
    if (now.Brk != base.Brk)
        events |= ComEvent::Break;
    if (now.Frame != base.Frame || now.Overrun != base.Overrun || now.Parity != base.Parity ||
        now.BufOverrun != base.BufOverrun)
        events |= ComEvent::Err;
    FEventBase = now;
    return events;
}

// Waits until no byte arrived for QuietGapMs (or LongestGatherMs passed); returns the error
// of a failed count, else 0.
int TLinuxComDevice::GatherReceived() {
    const auto start = std::chrono::steady_clock::now();
    int last = -1;
    for (;;) {
        int queued = 0;
        if (::ioctl(FFd, FIONREAD, &queued) != 0 && errno != EINTR)
            return errno;
        if (queued == last || FWakeRequested)
            return 0;
        last = queued;
        if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(LongestGatherMs))
            return 0;
        // A plain sleep: a nudge must not cut the gap short, and a wake-up request is seen
        // at the next look, QuietGapMs later at most.
        ::poll(nullptr, 0, QuietGapMs);
    }
}

int TLinuxComDevice::WaitEvent(std::uint32_t& Events) {
    Events = 0;
    if (FFd < 0)
        return EBADF;
    for (;;) {
        if (FWakeRequested.exchange(false))
            return 0;
        const std::uint32_t mask = FMask;
        int queued = 0;
        if (::ioctl(FFd, FIONREAD, &queued) != 0 && errno != EINTR)
            return errno;
        std::uint32_t events = 0;
        const auto unread = static_cast<std::uint32_t>(queued > 0 ? queued : 0);
        const std::int64_t arrived = std::int64_t{unread} +
                                     static_cast<std::int64_t>(FConsumed - FConsumedAtReport) -
                                     std::int64_t{FUnreadAtReport};
        if ((mask & (ComEvent::RxChar | ComEvent::Rx80Full)) && arrived > 0) {
            if (const int error = GatherReceived())
                return error;
            if (::ioctl(FFd, FIONREAD, &queued) != 0)
                return errno;
            FConsumedAtReport = FConsumed;
            FUnreadAtReport = static_cast<std::uint32_t>(queued > 0 ? queued : 0);
            events |= ComEvent::RxChar;
            const bool above80 =
                std::int64_t{FUnreadAtReport} * 10 >= std::int64_t{FInputSize.load()} * 8;
            if (above80 && !FWasAbove80)
                events |= ComEvent::Rx80Full;
            FWasAbove80 = above80;
        }
        if ((mask & ComEvent::TxEmpty) && FWrittenSinceEmpty && !FWrite.Pending()) {
            int outQueued = 0;
            if (::ioctl(FFd, TIOCOUTQ, &outQueued) != 0 || outQueued <= 0) {
                FWrittenSinceEmpty = false;
                events |= ComEvent::TxEmpty;
            }
        }
        events |= CounterEvents(mask);
        events &= mask;
        if (events != 0) {
            Events = events;
            return 0;
        }

        int timeout = -1;
        auto tick = [&timeout](int Ms) { timeout = timeout < 0 ? Ms : std::min(timeout, Ms); };
        if ((mask & (ComEvent::RxChar | ComEvent::Rx80Full)) && unread > 0)
            tick(UnreadTickMs);
        if ((mask & ComEvent::TxEmpty) && FWrittenSinceEmpty)
            tick(OutputTickMs);
        if (FHasCounters && (mask & CounterMask))
            tick(CounterTickMs);
        // With bytes left unread the tty is always readable; then only a hang-up matters.
        const short wanted = (unread == 0 && (mask & (ComEvent::RxChar | ComEvent::Rx80Full)))
                                 ? short(POLLIN)
                                 : short(0);
        pollfd fds[2] = {{FWakeFd, POLLIN, 0}, {FFd, wanted, 0}};
        const int r = ::poll(fds, 2, timeout);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (fds[0].revents & POLLIN) {
            std::uint64_t drained = 0;
            [[maybe_unused]] const ssize_t n = ::read(FWakeFd, &drained, sizeof drained);
        }
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
            return EIO;
    }
}
