#pragma once
// Overlapped transfers on a Linux file descriptor: a transfer first runs without blocking in
// the caller; what it cannot finish at once completes on a worker thread that polls with the
// transfer's deadline and a cancel eventfd.

#include "comport/platform/TransferTimeouts.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

/// How a transfer ended: an error number (0, or ECANCELED when aborted) and its byte count.
struct TTransferResult {
    int Error = 0;                ///< 0 or the error number
    std::int32_t Transferred = 0; ///< bytes moved
};

/// The progress of one read or write on a descriptor.
struct TTransferJob {
    int Fd = -1;                                    ///< the device
    std::uint8_t* Buffer = nullptr;                 ///< the caller's bytes
    std::uint32_t Count = 0;                        ///< bytes requested
    std::uint32_t Done = 0;                         ///< bytes moved so far
    bool IsRead = true;                             ///< read or write
    TReadLimits Limits;                             ///< how a read ends early
    TDeadline Total;                                ///< when the whole transfer ends
    TDeadline::TClock::time_point LastByte;         ///< when the last byte of a read arrived
    std::atomic<std::uint64_t>* Consumed = nullptr; ///< counts bytes taken from the input queue
};

/// Moves bytes until Job is finished. Without MayWait it returns nothing as soon as it would
/// have to wait; with MayWait it polls Job.Fd and CancelFd until done, expired or cancelled.
std::optional<TTransferResult> RunTransfer(TTransferJob& Job, bool MayWait, int CancelFd);

/// One direction's transfer in flight.
class TBackgroundTransfer {
public:
    TBackgroundTransfer() = default;
    ~TBackgroundTransfer();
    TBackgroundTransfer(const TBackgroundTransfer&) = delete;
    TBackgroundTransfer& operator=(const TBackgroundTransfer&) = delete;

    /// Creates the cancel eventfd.
    int Open();
    /// Cancels what runs and closes the eventfd.
    void Close();
    /// Starts Job: finishes it at once when it can, else on a worker thread.
    void Start(const TTransferJob& Job);
    /// Whether the transfer is still running.
    bool Pending() const { return !FDone.load(std::memory_order_acquire); }
    /// Waits for the transfer and returns how it ended.
    TTransferResult Wait();
    /// Makes a running transfer end as cancelled and waits for it.
    void Cancel();

private:
    void Join();

    int FCancelFd = -1;
    std::thread FWorker;
    std::atomic<bool> FDone{true};
    TTransferResult FResult;
};
