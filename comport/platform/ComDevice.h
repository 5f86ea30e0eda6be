#pragma once
// The one interface through which the serial port reaches its device. Every operation
// returns 0 on success or the operating system's error number; none throws. One
// implementation per operating system, and a fake for tests.

#include "comport/ComTypes.h"
#include "comport/DeviceControlBlock.h"

#include <cstdint>
#include <memory>
#include <string>

/// The transfer timeouts in milliseconds, as the driver takes them. 0xFFFFFFFF is "maximum".
struct TComTimeoutBlock {
    std::uint32_t ReadIntervalTimeout = 0;         ///< longest gap between two received bytes
    std::uint32_t ReadTotalTimeoutMultiplier = 0;  ///< per requested byte of a read
    std::uint32_t ReadTotalTimeoutConstant = 0;    ///< added to every read
    std::uint32_t WriteTotalTimeoutMultiplier = 0; ///< per byte of a write
    std::uint32_t WriteTotalTimeoutConstant = 0;   ///< added to every write

    friend bool operator==(const TComTimeoutBlock&, const TComTimeoutBlock&) = default;
};

/// Error flags and queue counts that the driver reports and clears in one call.
struct TComQueueStatus {
    std::uint32_t Errors = 0;   ///< line error flags since the last call (LineErrorFlag bits)
    std::uint32_t InQueue = 0;  ///< bytes received and not yet read
    std::uint32_t OutQueue = 0; ///< bytes written and not yet sent
};

/// Purge flags.
namespace ComPurge {
constexpr std::uint32_t TxAbort = 0x1; ///< abort the write in flight
constexpr std::uint32_t RxAbort = 0x2; ///< abort the read in flight
constexpr std::uint32_t TxClear = 0x4; ///< discard the output queue
constexpr std::uint32_t RxClear = 0x8; ///< discard the input queue
} // namespace ComPurge

/// Extended functions of Escape.
namespace ComEscape {
constexpr std::uint32_t SetXOff = 1;  ///< act as if XOFF was received
constexpr std::uint32_t SetXOn = 2;   ///< act as if XON was received
constexpr std::uint32_t SetRts = 3;   ///< RTS on
constexpr std::uint32_t ClrRts = 4;   ///< RTS off
constexpr std::uint32_t SetDtr = 5;   ///< DTR on
constexpr std::uint32_t ClrDtr = 6;   ///< DTR off
constexpr std::uint32_t ResetDev = 7; ///< reset a printer device
constexpr std::uint32_t SetBreak = 8; ///< start a break
constexpr std::uint32_t ClrBreak = 9; ///< end a break
} // namespace ComEscape

/// Event bits of the event mask and of a finished event wait.
namespace ComEvent {
constexpr std::uint32_t RxChar = 0x0001;       ///< bytes were received
constexpr std::uint32_t RxFlag = 0x0002;       ///< the event character was received
constexpr std::uint32_t TxEmpty = 0x0004;      ///< the output queue became empty
constexpr std::uint32_t Cts = 0x0008;          ///< CTS changed
constexpr std::uint32_t Dsr = 0x0010;          ///< DSR changed
constexpr std::uint32_t Rlsd = 0x0020;         ///< carrier detect changed
constexpr std::uint32_t Break = 0x0040;        ///< a break was received
constexpr std::uint32_t Err = 0x0080;          ///< a line error occurred
constexpr std::uint32_t Ring = 0x0100;         ///< ring indicator
constexpr std::uint32_t PrinterError = 0x0200; ///< printer error
constexpr std::uint32_t Rx80Full = 0x0400;     ///< input queue 80 % full
constexpr std::uint32_t Event1 = 0x0800;       ///< provider event 1
constexpr std::uint32_t Event2 = 0x1000;       ///< provider event 2
} // namespace ComEvent

/// A serial device. Open, settings and transfers are called from the owning (UI) thread;
/// SetEventMask may be called while WaitEvent runs on the event thread, and WakeEventWait
/// from any thread.
class TComDevice {
public:
    virtual ~TComDevice() = default;

    /// Opens the named device exclusively.
    virtual int Open(const std::string& DeviceName) = 0;
    /// Cancels transfers in flight, discards unsent output and closes; harmless when closed.
    virtual void Close() = 0;
    /// Whether the device is open.
    virtual bool IsOpen() const = 0;
    /// The native handle, -1 when closed.
    virtual std::intptr_t Handle() const = 0;

    /// Reads the device's current control block.
    virtual int GetState(TDeviceControlBlock& Dcb) = 0;
    /// Applies a control block; on failure the device keeps its previous settings.
    virtual int SetState(const TDeviceControlBlock& Dcb) = 0;
    /// Sets the driver's input and output queue sizes in bytes.
    virtual int SetupQueues(std::int32_t Input, std::int32_t Output) = 0;
    /// Reads the timeout block.
    virtual int GetTimeouts(TComTimeoutBlock& Timeouts) = 0;
    /// Writes the timeout block.
    virtual int SetTimeouts(const TComTimeoutBlock& Timeouts) = 0;

    /// Starts a read of Count bytes into Buffer; it completes at once or in the background.
    /// Buffer must stay valid until WaitRead returns or the read is aborted.
    virtual int StartRead(void* Buffer, std::int32_t Count) = 0;
    /// Starts a write of Count bytes from Buffer (kept valid by the caller as for reads).
    virtual int StartWrite(const void* Buffer, std::int32_t Count) = 0;
    /// Whether the read started last is still in flight.
    virtual bool ReadPending() = 0;
    /// Whether the write started last is still in flight.
    virtual bool WritePending() = 0;
    /// Waits for the read started last; Transferred gets its byte count.
    virtual int WaitRead(std::int32_t& Transferred) = 0;
    /// Waits for the write started last; Transferred gets its byte count.
    virtual int WaitWrite(std::int32_t& Transferred) = 0;

    /// Returns and clears the line error flags, with the queue counts.
    virtual int ClearError(TComQueueStatus& Status) = 0;
    /// Aborts transfers and discards queues (ComPurge flags); aborted transfers complete.
    virtual int Purge(std::uint32_t Flags) = 0;
    /// Waits until the output queue has been sent.
    virtual int Flush() = 0;
    /// Runs an extended function (ComEscape).
    virtual int Escape(std::uint32_t Function) = 0;
    /// Sends one character ahead of the output queue where the driver can.
    virtual int TransmitChar(char Value) = 0;
    /// The modem input lines (bits 0x10 CTS, 0x20 DSR, 0x40 ring, 0x80 carrier).
    virtual int GetModemStatus(std::uint32_t& Status) = 0;

    /// Sets the events the event wait reports (ComEvent bits).
    virtual int SetEventMask(std::uint32_t Mask) = 0;
    /// Blocks until an event of the mask occurs (Events gets the bits) or WakeEventWait is
    /// called (Events 0). A device that has gone away returns its error.
    virtual int WaitEvent(std::uint32_t& Events) = 0;
    /// Makes a running or the next WaitEvent return with no events.
    virtual void WakeEventWait() = 0;

    /// Saves the process's priority into Saved.
    virtual int SaveProcessPriority(int& Saved) = 0;
    /// Sets the process priority of a class (not pcDefault).
    virtual int SetProcessPriority(TPriorityClass Class) = 0;
    /// Restores a priority saved by SaveProcessPriority.
    virtual int RestoreProcessPriority(int Saved) = 0;
    /// Sets the priority of the calling thread (the event thread), best effort.
    virtual void SetThreadPriority(std::int64_t ThreadId, TThreadPriority Priority) = 0;
    /// The id SetThreadPriority takes for the calling thread.
    virtual std::int64_t CurrentThreadId() = 0;
};

/// A device of the operating system the program runs on.
std::unique_ptr<TComDevice> CreatePlatformComDevice();
