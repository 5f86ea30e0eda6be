#pragma once
// A serial device in memory for tests. It shows what a pseudo-terminal cannot: rejected
// settings, line errors, modem lines, breaks, failures of any call and events on demand.
// Every member is guarded by one lock, so a test may drive it while the port's event
// thread waits on it.

#include "comport/platform/ComDevice.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

/// The fake device.
class TFakeComDevice final : public TComDevice {
public:
    // ---- Driven by tests ----
    /// Makes the named operation ("Open", "SetState", "SetupQueues", "SetTimeouts",
    /// "StartRead", "StartWrite", "ClearError", "Purge", "Escape", "GetModemStatus", ...)
    /// fail with Error (0 removes the failure).
    void FailWith(const std::string& Operation, int Error);
    /// Appends bytes to the input queue.
    void Receive(const std::string& Bytes);
    /// Adds line error flags (LineErrorFlag bits) that ClearError reports once.
    void RaiseLineErrors(std::uint32_t Flags);
    /// Sets the modem status word.
    void SetModemBits(std::uint32_t Bits);
    /// Makes the event wait report Events (once).
    void PushEvents(std::uint32_t Events);
    /// Makes the event wait fail with Error from now on, as a lost device does.
    void LoseDevice(int Error);

    // ---- Observed by tests ----
    /// Bytes written so far.
    std::string Written() const;
    /// The control block applied last.
    TDeviceControlBlock State() const;
    /// The timeout block applied last.
    TComTimeoutBlock Timeouts() const;
    /// The queue sizes applied last.
    std::pair<std::int32_t, std::int32_t> QueueSizes() const;
    /// Escape functions run, in order.
    std::vector<std::uint32_t> Escapes() const;
    /// Purge flags, in order.
    std::vector<std::uint32_t> Purges() const;
    /// How many reads were started.
    int ReadsStarted() const;
    /// The event mask set last.
    std::uint32_t EventMask() const;
    /// How many event waits have begun.
    int WaitsBegun() const;
    /// How many event waits are running now.
    int WaitsRunning() const;
    /// The process priority class set last (pcDefault when restored or never set).
    TPriorityClass ProcessPriority() const;
    /// The name opened last.
    std::string OpenedName() const;

    // ---- The device ----
    int Open(const std::string& DeviceName) override;
    void Close() override;
    bool IsOpen() const override;
    std::intptr_t Handle() const override;
    int GetState(TDeviceControlBlock& Dcb) override;
    int SetState(const TDeviceControlBlock& Dcb) override;
    int SetupQueues(std::int32_t Input, std::int32_t Output) override;
    int GetTimeouts(TComTimeoutBlock& ATimeouts) override;
    int SetTimeouts(const TComTimeoutBlock& ATimeouts) override;
    int StartRead(void* Buffer, std::int32_t Count) override;
    int StartWrite(const void* Buffer, std::int32_t Count) override;
    bool ReadPending() override { return false; }
    bool WritePending() override { return false; }
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
    std::int64_t CurrentThreadId() override { return 0; }

    /// The priority given to the event thread last.
    TThreadPriority ThreadPriority() const;

private:
    int Failure(const std::string& Operation) const;

    mutable std::mutex FLock;
    std::condition_variable FChanged;
    std::map<std::string, int> FFailures;
    bool FOpen = false;
    std::string FOpenedName;
    std::string FInput;
    std::string FOutput;
    std::uint32_t FLineErrors = 0;
    std::uint32_t FModemBits = 0;
    std::deque<std::uint32_t> FEvents;
    int FLostError = 0;
    bool FWake = false;
    int FWaitsBegun = 0;
    int FWaitsRunning = 0;
    TDeviceControlBlock FState;
    TComTimeoutBlock FTimeouts;
    std::int32_t FInputSize = 0;
    std::int32_t FOutputSize = 0;
    std::vector<std::uint32_t> FEscapes;
    std::vector<std::uint32_t> FPurges;
    int FReadsStarted = 0;
    std::int32_t FLastRead = 0;
    std::int32_t FLastWrite = 0;
    std::uint32_t FMask = 0;
    TPriorityClass FProcessPriority = pcDefault;
    TThreadPriority FThreadPriority = tpNormal;
};
