#pragma once
// The serial port component: its settings, opening and closing, transfers, line errors and
// modem lines, and every failure raised as EComError through OnError.

#include "comport/ComDispatcher.h"
#include "comport/ComError.h"
#include "comport/ComHandlers.h"
#include "comport/ComSettings.h"
#include "comport/ComTypes.h"
#include "comport/DeviceControlBlock.h"
#include "comport/platform/ComDevice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TComThread;

/// A serial port. Settings, transfers and Open/Close belong to one thread (the UI thread);
/// while the port is open and has an event handler, its event thread hands events over.
class TCustomComPort {
public:
    /// A closed port on ADevice, or on the operating system's device for nullptr.
    explicit TCustomComPort(std::unique_ptr<TComDevice> ADevice = nullptr);
    /// Closes the port.
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    /// The component's name.
    const std::string& Name() const { return FName; }
    /// Renames the component.
    void SetName(const std::string& AName) { FName = AName; }

    // ---- Lifecycle ----
    /// Opens the device unless open: BeforeOpen, OpenDevice, AfterOpen when now open.
    void Open();
    /// Closes the device if open: BeforeClose, CloseDevice, AfterClose.
    void Close();
    /// Whether the device is open (while loading: the recorded value).
    bool Active() const;
    /// Opens or closes; while loading only records the value.
    void SetActive(bool Value);
    /// Starts loading stored settings: SetActive only records until Loaded.
    void BeginLoading() { FLoading = true; }
    /// Ends loading and applies the recorded Active once.
    void Loaded();
    /// The device handle, -1 when closed.
    std::intptr_t Handle() const;

    // ---- Settings ----
    /// Line speed.
    TBaudRate BaudRate() const { return FBaudRate; }
    /// Sets the line speed.
    void SetBaudRate(TBaudRate Value);
    /// The custom rate when BaudRate is brCustom, else the rate of BaudRate (0 for brDefault).
    std::int32_t CustomBaudRate() const;
    /// Sets a custom rate (above 0) and makes BaudRate brCustom.
    void SetCustomBaudRate(std::int32_t Value);
    /// Data bits.
    TDataBits DataBits() const { return FDataBits; }
    /// Sets the data bits.
    void SetDataBits(TDataBits Value);
    /// Parity.
    TParity Parity() const { return FParity; }
    /// Sets the parity.
    void SetParity(TParity Value);
    /// Stop bits.
    TStopBits StopBits() const { return FStopBits; }
    /// Sets the stop bits.
    void SetStopBits(TStopBits Value);
    /// Option bits of the control block.
    TOptions Options() const { return FOptions; }
    /// Sets the options.
    void SetOptions(TOptions Value);
    /// Flow control settings.
    TFlowControl& FlowControl() { return FFlowControl; }
    /// Special characters.
    TCharacters& Characters() { return FCharacters; }
    /// Driver queue sizes.
    TBufferSizes& BufferSizes() { return FBufferSizes; }
    /// Transfer timeouts.
    TTimeouts& Timeouts() { return FTimeouts; }
    /// The device name: "\\.\NAME" or a plain name opens /dev/NAME, a path opens as given.
    const std::string& DeviceName() const { return FDeviceName; }
    /// Sets the device name; only while closed.
    void SetDeviceName(const std::string& Value);
    /// Process priority class while open.
    TPriorityClass PriorityClass() const { return FPriorityClass; }
    /// Sets the priority class; only while closed.
    void SetPriorityClass(TPriorityClass Value);
    /// Whether handlers run on the UI thread (true) or on the event thread.
    bool SynchronizeEvents() const { return FSynchronizeEvents; }
    /// Sets SynchronizeEvents; only while closed.
    void SetSynchronizeEvents(bool Value);
    /// Priority of the event thread.
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    /// Sets the event thread's priority, also of a running thread.
    void SetThreadPriority(TThreadPriority Value);
    /// Informational text about the component.
    std::string About() const;
    /// The dispatcher that runs handlers on the UI thread (nullptr: DefaultComDispatcher).
    TComDispatcher* Dispatcher() const { return FDispatcher; }
    /// Sets the dispatcher; only while closed.
    void SetDispatcher(TComDispatcher* Value);

    // ---- Transfers ----
    /// Reads Count bytes into Buffer, waiting for them when WaitForCompletion.
    void Read(void* Buffer, std::int32_t Count, bool WaitForCompletion);
    /// Writes Count bytes (copied first), waiting for them when WaitForCompletion.
    void Write(const void* Buffer, std::int32_t Count, bool WaitForCompletion);
    /// Waits for the read in flight and raises "Timeout" when it got fewer bytes.
    void WaitForReadCompletion();
    /// Waits for the write in flight and raises "Timeout" when it sent fewer bytes.
    void WaitForWriteCompletion();
    /// Whether a read is still in flight.
    bool ReadPending();
    /// Whether a write is still in flight.
    bool WritePending();

    /// Exactly the bytes queued now.
    std::string ReadAnsiString();
    /// The queued bytes as 16-bit characters (an odd byte stays queued).
    std::u16string ReadString();
    /// One byte as a character.
    char ReadAnsiChar();
    /// One byte.
    std::uint8_t ReadByte();
    /// One 16-bit character (little-endian).
    char16_t ReadChar();
    /// A little-endian 16-bit value.
    std::uint16_t ReadWord();
    /// A little-endian 32-bit value.
    std::uint32_t ReadDWord();
    /// Bytes up to and including Terminator.
    std::string ReadAnsiUntil(char Terminator);
    /// 16-bit characters up to and including Terminator.
    std::u16string ReadUntil(char16_t Terminator);
    /// Bytes up to and including a carriage return.
    std::string ReadAnsiLine();
    /// 16-bit characters up to and including a carriage return.
    std::u16string ReadLine();
    /// Writes the bytes of Value without waiting.
    void WriteAnsiString(const std::string& Value);
    /// Writes Value as little-endian 16-bit characters without waiting.
    void WriteString(const std::u16string& Value);
    /// Writes one byte without waiting.
    void WriteAnsiChar(char Value);
    /// Writes one byte without waiting.
    void WriteByte(std::uint8_t Value);
    /// Writes one 16-bit character without waiting.
    void WriteChar(char16_t Value);
    /// Writes a little-endian 16-bit value without waiting.
    void WriteWord(std::uint16_t Value);
    /// Writes a little-endian 32-bit value without waiting.
    void WriteDWord(std::uint32_t Value);

    /// Bytes in the input queue; reports line errors found on the way.
    std::int32_t InputCount();
    /// Bytes in the output queue; reports line errors found on the way.
    std::int32_t OutputCount();

    // ---- Line control ----
    /// Aborts the read and discards the input queue; nothing when closed.
    void PurgeInput();
    /// Aborts the write and discards the output queue; nothing when closed.
    void PurgeOutput();
    /// Discards the input queue; nothing when closed.
    void ClearInput();
    /// Discards the output queue; nothing when closed.
    void ClearOutput();
    /// Aborts the read in flight; nothing when closed.
    void AbortInput();
    /// Aborts the write in flight; nothing when closed.
    void AbortOutput();
    /// Waits until the output has been sent; nothing when closed.
    void Flush();
    /// Reads and clears the line errors and reports them to OnLineError.
    void CheckLineErrors();
    /// Reads and clears the line errors without reporting them.
    void ClearLineErrors();
    /// Starts a break.
    void SetBreak();
    /// Ends a break.
    void ClearBreak();
    /// DTR on.
    void SetDTR();
    /// DTR off.
    void ClearDTR();
    /// RTS on.
    void SetRTS();
    /// RTS off.
    void ClearRTS();
    /// Acts as if XON was received.
    void SetXOn();
    /// Acts as if XOFF was received.
    void SetXOff();
    /// Resets a printer device.
    void ResetDevice();
    /// Sends one character ahead of the output queue.
    void TransmitChar(char Value);
    /// The modem input lines that are on.
    TModemStatus ModemStatus();

private:
    // Guards the handler properties; declared before them, which it must outlive.
    mutable std::mutex FHandlerLock;

public:
    // ---- Handlers ----
    /// Bytes were received (event 0x0001).
    TComEventProperty<TComNotifyEvent> OnRxChar;
    /// The event character was received (0x0002).
    TComEventProperty<TComNotifyEvent> OnRxFlag;
    /// The output queue became empty (0x0004).
    TComEventProperty<TComNotifyEvent> OnTxEmpty;
    /// CTS changed (0x0008).
    TComEventProperty<TComNotifyEvent> OnCTSChange;
    /// DSR changed (0x0010).
    TComEventProperty<TComNotifyEvent> OnDSRChange;
    /// Carrier detect changed (0x0020).
    TComEventProperty<TComNotifyEvent> OnRLSDChange;
    /// A break was received (0x0040).
    TComEventProperty<TComNotifyEvent> OnBreak;
    /// Line errors were found (0x0080, and by CheckLineErrors, InputCount, OutputCount).
    TComEventProperty<TLineErrorEvent> OnLineError;
    /// Ring indicator (0x0100).
    TComEventProperty<TComNotifyEvent> OnRing;
    /// Printer error (0x0200).
    TComEventProperty<TComNotifyEvent> OnPrinterError;
    /// Input queue 80 % full (0x0400).
    TComEventProperty<TComNotifyEvent> OnRx80PercFull;
    /// Provider event 1 (0x0800).
    TComEventProperty<TComNotifyEvent> OnEvent1;
    /// Provider event 2 (0x1000).
    TComEventProperty<TComNotifyEvent> OnEvent2;
    /// Before the device opens.
    TOpenCloseEvent BeforeOpen;
    /// After the device opened.
    TOpenCloseEvent AfterOpen;
    /// Before the device closes.
    TOpenCloseEvent BeforeClose;
    /// After the device closed.
    TOpenCloseEvent AfterClose;
    /// Before a read starts.
    TReadWriteEvent BeforeRead;
    /// After a read started (or finished, with wait).
    TReadWriteEvent AfterRead;
    /// Before a write starts.
    TReadWriteEvent BeforeWrite;
    /// After a write started (or finished, with wait).
    TReadWriteEvent AfterWrite;
    /// Every error passes here first.
    TComErrorEvent OnError;

protected:
    /// Opens and configures the device; on failure the port stays closed and the error passes on.
    virtual void OpenDevice();
    /// Releases the device and restores the priority class.
    void CloseDevice();
    /// Writes the line settings into the open device's control block.
    void ApplyDeviceSettings();
    /// Writes the queue sizes to the open device.
    void ApplyBufferSizes();
    /// Writes the timeout block to the open device.
    void ApplyTimeouts();
    /// Copies a control block back into the settings through their setters.
    void ReadDeviceSettings(const TDeviceControlBlock& Dcb);
    /// Raises the error of a failed device call (Error not 0).
    void CheckSystemCall(int Error);
    /// Passes an error through OnError and raises it, or the silent abort.
    [[noreturn]] void RaiseComError(std::int32_t ErrorCode, const std::string& Message);
    /// Raises the closed-port error when the port is closed.
    void RequireOpen();
    /// Recomputes the event mask from the assigned handlers, tells the device, and starts or
    /// stops the event thread.
    void UpdateEventMask();
    /// Starts the event thread.
    void StartEventThread();
    /// Stops the event thread: joins it, or lets it end by itself when called from inside
    /// one of its hand-overs or on it.
    void StopEventThread();
    /// Calls the handlers of Events in their fixed order, stopping when Stopped says so.
    void DispatchEvents(std::uint32_t Events, const std::function<bool()>& Stopped);
    /// Raises the error of a failed event wait (on the UI thread).
    void ReportThreadError(int Error);
    /// The device.
    TComDevice& Device() { return *FDevice; }

private:
    friend class TFlowControl;
    friend class TCharacters;
    friend class TBufferSizes;
    friend class TTimeouts;
    friend class TComThread;

    TDcbSettings CurrentDcbSettings() const;
    void Purge(std::uint32_t Flags);
    void Escape(std::uint32_t Function);
    void ReportLineErrors(std::uint32_t Flags);
    TComQueueStatus QueueStatus();
    template <class T> void StoreLineSetting(T& Field, T Value);
    void RequireClosedToChange();
    void ReadExactly(void* Buffer, std::int32_t Count);
    std::shared_ptr<TComThread> CurrentThread() const;

    std::unique_ptr<TComDevice> FDevice;
    std::string FName;
    TBaudRate FBaudRate = brDefault;
    std::int32_t FCustomBaudRate = 0;
    TDataBits FDataBits = dbDefault;
    TParity FParity = paDefault;
    TStopBits FStopBits = sbDefault;
    TOptions FOptions;
    TFlowControl FFlowControl;
    TCharacters FCharacters;
    TBufferSizes FBufferSizes;
    TTimeouts FTimeouts;
    std::string FDeviceName = "COM1";
    TPriorityClass FPriorityClass = pcDefault;
    TThreadPriority FThreadPriority = tpTimeCritical;
    bool FSynchronizeEvents = true;
    bool FActive = false;
    bool FLoading = false;
    std::uint32_t FWaitMask = 0;
    std::int32_t FRequestedReadCount = 0;
    std::int32_t FRequestedWriteCount = 0;
    bool FReadInFlight = false;
    bool FWriteInFlight = false;
    std::vector<std::uint8_t> FWriteBuffer;
    bool FPrioritySaved = false;
    int FOriginalPriorityClass = 0;
    TComDispatcher* FDispatcher = nullptr;
    mutable std::mutex
        FThreadLock; // guards FComThread, which a handler may reach from the event thread
    std::shared_ptr<TComThread> FComThread;
};

/// The serial port as a program places it.
class TComPort final : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};
