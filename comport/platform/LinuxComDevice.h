#pragma once
// The serial device on Linux: a tty opened exclusively, configured through termios2, with
// queue counts, line-error counters and modem lines from ioctl, transfers completed by poll
// with deadlines, and an event wait that polls the tty together with a wake-up eventfd.

#include "comport/platform/ComDevice.h"
#include "comport/platform/LinuxTransfer.h"

#include <atomic>
#include <cstdint>
#include <string>

/// Counters of line events the driver keeps (a subset of the kernel's icounter).
struct TLineCounters {
    int Cts = 0, Dsr = 0, Rng = 0, Dcd = 0;                          ///< modem line changes
    int Frame = 0, Overrun = 0, Parity = 0, Brk = 0, BufOverrun = 0; ///< line errors and breaks
};

/// The Linux serial device.
class TLinuxComDevice final : public TComDevice {
public:
    TLinuxComDevice() = default;
    ~TLinuxComDevice() override;

    int Open(const std::string& DeviceName) override;
    void Close() override;
    bool IsOpen() const override { return FFd >= 0; }
    std::intptr_t Handle() const override { return FFd; }
    int GetState(TDeviceControlBlock& Dcb) override;
    int SetState(const TDeviceControlBlock& Dcb) override;
    int SetupQueues(std::int32_t Input, std::int32_t Output) override;
    int GetTimeouts(TComTimeoutBlock& Timeouts) override;
    int SetTimeouts(const TComTimeoutBlock& Timeouts) override;
    int StartRead(void* Buffer, std::int32_t Count) override;
    int StartWrite(const void* Buffer, std::int32_t Count) override;
    bool ReadPending() override { return FRead.Pending(); }
    bool WritePending() override { return FWrite.Pending(); }
    int WaitRead(std::int32_t& Transferred) override;
    int WaitWrite(std::int32_t& Transferred) override;
    int ClearError(TComQueueStatus& Status) override;
    int Purge(std::uint32_t Flags) override;
    int Flush() override;
    int Escape(std::uint32_t Function) override;
    int TransmitChar(char Value) override;
    int GetModemStatus(std::uint32_t& Status) override;
    int SetEventMask(std::uint32_t Mask) override;
    int WaitEvent(std::uint32_t& Events) override;
    void WakeEventWait() override;
    int SaveProcessPriority(int& Saved) override;
    int SetProcessPriority(TPriorityClass Class) override;
    int RestoreProcessPriority(int Saved) override;
    void SetThreadPriority(std::int64_t ThreadId, TThreadPriority Priority) override;
    std::int64_t CurrentThreadId() override;

    /// The path a device name opens: "\\.\NAME" and plain names under /dev, paths as given.
    static std::string DevicePath(const std::string& DeviceName);

private:
    bool ReadCounters(TLineCounters& Counters) const;
    int QueueCount(unsigned long Request, std::uint32_t& Count) const;
    int ModemLines(unsigned long Request, int Lines);
    std::uint32_t CounterEvents(std::uint32_t Mask);
    int GatherReceived();
    void Nudge();

    int FFd = -1;
    int FWakeFd = -1;
    TBackgroundTransfer FRead;
    TBackgroundTransfer FWrite;
    TDeviceControlBlock FState; // the last block applied, for fields termios lacks
    TComTimeoutBlock FTimeouts;
    bool FHasCounters = false;
    TLineCounters FErrorBase; // counters at the last ClearError
    std::atomic<std::int32_t> FInputSize{4096};
    std::atomic<std::uint32_t> FMask{0};
    std::atomic<bool> FWakeRequested{false};
    std::atomic<std::uint64_t> FConsumed{0};     // bytes read or purged from the input queue
    std::atomic<bool> FWrittenSinceEmpty{false}; // output-empty is owed after a write
    // Used by the event wait only.
    std::uint64_t FConsumedAtReport = 0;
    std::uint32_t FUnreadAtReport = 0;
    bool FWasAbove80 = false;
    TLineCounters FEventBase;
};
