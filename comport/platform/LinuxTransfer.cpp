#include "comport/platform/LinuxTransfer.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// A deadline for the read's next byte: the total limit, or the gap limit once bytes came.
TDeadline ReadDeadline(const TTransferJob& Job) {
    if (Job.Limits.IntervalMs && Job.Done > 0)
        return TDeadline::Earlier(
            Job.Total,
            TDeadline::At(Job.LastByte + std::chrono::milliseconds(*Job.Limits.IntervalMs)));
    return Job.Total;
}

// One read or write attempt; returns the bytes moved, 0 when it would block, or -errno.
long Attempt(TTransferJob& Job) {
    for (;;) {
        const std::size_t left = Job.Count - Job.Done;
        const ssize_t n = Job.IsRead ? ::read(Job.Fd, Job.Buffer + Job.Done, left)
                                     : ::write(Job.Fd, Job.Buffer + Job.Done, left);
        if (n > 0)
            return n;
        if (n == 0)
            // A tty read of 0 bytes without O_NONBLOCK's EAGAIN means the line hung up.
            return Job.IsRead ? -EIO : 0;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return 0;
        return -errno;
    }
}

} // namespace

std::optional<TTransferResult> RunTransfer(TTransferJob& Job, bool MayWait, int CancelFd) {
    for (;;) {
        if (Job.Done == Job.Count)
            return TTransferResult{0, static_cast<std::int32_t>(Job.Done)};
        const long n = Attempt(Job);
        if (n < 0)
            return TTransferResult{static_cast<int>(-n), static_cast<std::int32_t>(Job.Done)};
        if (n > 0) {
            Job.Done += static_cast<std::uint32_t>(n);
            if (Job.IsRead) {
                Job.LastByte = TDeadline::TClock::now();
                if (Job.Consumed)
                    Job.Consumed->fetch_add(static_cast<std::uint64_t>(n));
                if (Job.Limits.ReturnOnAnyByte)
                    return TTransferResult{0, static_cast<std::int32_t>(Job.Done)};
            }
            continue;
        }
        if (Job.IsRead && Job.Limits.ReturnAtOnce)
            return TTransferResult{0, static_cast<std::int32_t>(Job.Done)};
        const TDeadline deadline = Job.IsRead ? ReadDeadline(Job) : Job.Total;
        if (deadline.Expired())
            return TTransferResult{0, static_cast<std::int32_t>(Job.Done)};
        if (!MayWait)
            return std::nullopt;
        pollfd fds[2] = {{Job.Fd, static_cast<short>(Job.IsRead ? POLLIN : POLLOUT), 0},
                         {CancelFd, POLLIN, 0}};
        const int r = ::poll(fds, 2, deadline.PollTimeout());
        if (r < 0 && errno != EINTR)
            return TTransferResult{errno, static_cast<std::int32_t>(Job.Done)};
        if (r > 0 && (fds[1].revents & POLLIN))
            return TTransferResult{ECANCELED, static_cast<std::int32_t>(Job.Done)};
        if (r > 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) &&
            !(fds[0].revents & (POLLIN | POLLOUT)))
            return TTransferResult{EIO, static_cast<std::int32_t>(Job.Done)};
    }
}

TBackgroundTransfer::~TBackgroundTransfer() {
    Close();
}

int TBackgroundTransfer::Open() {
    if (FCancelFd < 0)
        FCancelFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return FCancelFd < 0 ? errno : 0;
}

void TBackgroundTransfer::Close() {
    Cancel();
    if (FCancelFd >= 0)
        ::close(FCancelFd);
    FCancelFd = -1;
}

void TBackgroundTransfer::Join() {
    if (FWorker.joinable())
        FWorker.join();
}

void TBackgroundTransfer::Start(const TTransferJob& Job) {
    Join();
    TTransferJob job = Job;
    if (auto result = RunTransfer(job, false, FCancelFd)) {
        FResult = *result;
        FDone.store(true, std::memory_order_release);
        return;
    }
    FDone.store(false, std::memory_order_release);
    FWorker = std::thread([this, job]() mutable {
        FResult = *RunTransfer(job, true, FCancelFd);
        FDone.store(true, std::memory_order_release);
    });
}

TTransferResult TBackgroundTransfer::Wait() {
    Join();
    return FResult;
}

void TBackgroundTransfer::Cancel() {
    if (!FWorker.joinable())
        return;
    const std::uint64_t one = 1;
    // The eventfd holds a counter; this write cannot block or fail short.
    [[maybe_unused]] const ssize_t w = ::write(FCancelFd, &one, sizeof one);
    FWorker.join();
    std::uint64_t drained = 0;
    [[maybe_unused]] const ssize_t r = ::read(FCancelFd, &drained, sizeof drained);
}
