#include "comport/ComPort.h"

#include "comport/ComThread.h"

#include <cerrno>

TCustomComPort::TCustomComPort(std::unique_ptr<TComDevice> ADevice)
    : OnRxChar(FHandlerLock, [this] { UpdateEventMask(); }),
      OnRxFlag(FHandlerLock, [this] { UpdateEventMask(); }),
      OnTxEmpty(FHandlerLock, [this] { UpdateEventMask(); }),
      OnCTSChange(FHandlerLock, [this] { UpdateEventMask(); }),
      OnDSRChange(FHandlerLock, [this] { UpdateEventMask(); }),
      OnRLSDChange(FHandlerLock, [this] { UpdateEventMask(); }),
      OnBreak(FHandlerLock, [this] { UpdateEventMask(); }),
      OnLineError(FHandlerLock, [this] { UpdateEventMask(); }),
      OnRing(FHandlerLock, [this] { UpdateEventMask(); }),
      OnPrinterError(FHandlerLock, [this] { UpdateEventMask(); }),
      OnRx80PercFull(FHandlerLock, [this] { UpdateEventMask(); }),
      OnEvent1(FHandlerLock, [this] { UpdateEventMask(); }),
      OnEvent2(FHandlerLock, [this] { UpdateEventMask(); }),
      FDevice(ADevice ? std::move(ADevice) : CreatePlatformComDevice()), FFlowControl(*this),
      FCharacters(*this), FBufferSizes(*this), FTimeouts(*this) {}

TCustomComPort::~TCustomComPort() {
    // A destructor must not throw: errors of the final close are dropped here after OnError
    // (which runs inside RaiseComError) has seen them.
    try {
        Close();
    } catch (...) {
        CloseDevice();
    }
}

// ---- Errors ----

void TCustomComPort::RaiseComError(std::int32_t ErrorCode, const std::string& Message) {
    EComError error(ErrorCode, Message);
    TComAction action = caFail;
    if (OnError)
        OnError(*this, error, action);
    if (action == caAbort)
        throw EComAbort();
    throw error;
}

void TCustomComPort::CheckSystemCall(int Error) {
    if (Error != 0)
        RaiseComError(Error, SystemErrorMessage(Error));
}

void TCustomComPort::RequireOpen() {
    if (!FDevice->IsOpen())
        RaiseComError(0, ComMessage::PortClosed);
}

void TCustomComPort::RequireClosedToChange() {
    if (FDevice->IsOpen())
        RaiseComError(0, ComMessage::PortOpen);
}

// ---- Lifecycle ----

void TCustomComPort::Open() {
    if (FDevice->IsOpen())
        return;
    if (BeforeOpen)
        BeforeOpen(*this);
    OpenDevice();
    if (FDevice->IsOpen() && AfterOpen)
        AfterOpen(*this);
}

void TCustomComPort::Close() {
    // On the event thread (a handler of a port that does not synchronize its events), the
    // close runs on the UI thread while this thread waits.
    if (const auto thread = CurrentThread(); thread && thread->Id() == std::this_thread::get_id()) {
        thread->RunOnUiThread([this] { Close(); });
        return;
    }
    if (!FDevice->IsOpen())
        return;
    if (BeforeClose)
        BeforeClose(*this);
    CloseDevice();
    if (!FDevice->IsOpen() && AfterClose)
        AfterClose(*this);
}

bool TCustomComPort::Active() const {
    return FLoading ? FActive : FDevice->IsOpen();
}

void TCustomComPort::SetActive(bool Value) {
    if (!FLoading && Value != FDevice->IsOpen()) {
        if (Value)
            Open();
        else
            Close();
    }
    FActive = Value;
}

void TCustomComPort::Loaded() {
    FLoading = false;
    if (FActive != FDevice->IsOpen())
        SetActive(FActive);
}

std::intptr_t TCustomComPort::Handle() const {
    return FDevice->Handle();
}

void TCustomComPort::OpenDevice() {
    CloseDevice();
    try {
        if (FPriorityClass != pcDefault) {
            int saved = 0;
            CheckSystemCall(FDevice->SaveProcessPriority(saved));
            FOriginalPriorityClass = saved;
            FPrioritySaved = true;
            CheckSystemCall(FDevice->SetProcessPriority(FPriorityClass));
        }
        CheckSystemCall(FDevice->Open(FDeviceName));
        FReadInFlight = false;
        FWriteInFlight = false;
        PurgeInput();
        PurgeOutput();
        ApplyBufferSizes();
        ApplyDeviceSettings();
        ApplyTimeouts();
        UpdateEventMask();
    } catch (...) {
        CloseDevice();
        throw;
    }
}

void TCustomComPort::CloseDevice() {
    // The thread is stopped before the handle goes, so it never polls a closed (or reused)
    // descriptor.
    StopEventThread();
    FDevice->Close();
    FReadInFlight = false;
    FWriteInFlight = false;
    if (FPrioritySaved) {
        FPrioritySaved = false;
        // Restoring is best effort: the port is closed either way.
        FDevice->RestoreProcessPriority(FOriginalPriorityClass);
    }
}

// ---- Settings ----

std::string TCustomComPort::About() const {
    return "Quenby serial port component: line settings, event thread and transfers";
}

TDcbSettings TCustomComPort::CurrentDcbSettings() const {
    TDcbSettings s;
    s.BaudRate = FBaudRate;
    s.CustomBaudRate = CustomBaudRate();
    s.DataBits = FDataBits;
    s.Parity = FParity;
    s.StopBits = FStopBits;
    s.Options = FOptions;
    s.DTR = FFlowControl.DTR();
    s.RTS = FFlowControl.RTS();
    s.XOnXOff = FFlowControl.XOnXOff();
    s.XOnLimit = FFlowControl.XOnLimit();
    s.XOffLimit = FFlowControl.XOffLimit();
    s.XOn = FCharacters.XOn();
    s.XOff = FCharacters.XOff();
    s.Error = FCharacters.Error();
    s.Eof = FCharacters.Eof();
    s.Event = FCharacters.Event();
    return s;
}

void TCustomComPort::ApplyDeviceSettings() {
    if (!FDevice->IsOpen())
        return;
    TDeviceControlBlock dcb;
    dcb.DCBlength = 28;
    CheckSystemCall(FDevice->GetState(dcb));
    FillDeviceControlBlock(CurrentDcbSettings(), dcb);
    CheckSystemCall(FDevice->SetState(dcb));
}

void TCustomComPort::ApplyBufferSizes() {
    if (!FDevice->IsOpen())
        return;
    CheckSystemCall(FDevice->SetupQueues(FBufferSizes.Input(), FBufferSizes.Output()));
}

void TCustomComPort::ApplyTimeouts() {
    if (!FDevice->IsOpen())
        return;
    TComTimeoutBlock block;
    CheckSystemCall(FDevice->GetTimeouts(block));
    block.ReadIntervalTimeout = static_cast<std::uint32_t>(FTimeouts.ReadInterval());
    block.ReadTotalTimeoutMultiplier = static_cast<std::uint32_t>(FTimeouts.ReadMultiplier());
    block.ReadTotalTimeoutConstant = static_cast<std::uint32_t>(FTimeouts.ReadConstant());
    block.WriteTotalTimeoutMultiplier = static_cast<std::uint32_t>(FTimeouts.WriteMultiplier());
    block.WriteTotalTimeoutConstant = static_cast<std::uint32_t>(FTimeouts.WriteConstant());
    CheckSystemCall(FDevice->SetTimeouts(block));
}

void TCustomComPort::ReadDeviceSettings(const TDeviceControlBlock& Dcb) {
    const TDcbSettings s = ReadDeviceControlBlock(Dcb, CurrentDcbSettings());
    SetCustomBaudRate(s.CustomBaudRate);
    SetDataBits(s.DataBits);
    SetParity(s.Parity);
    SetStopBits(s.StopBits);
    FCharacters.SetXOn(s.XOn);
    FCharacters.SetXOff(s.XOff);
    FCharacters.SetError(s.Error);
    FCharacters.SetEof(s.Eof);
    FCharacters.SetEvent(s.Event);
    FFlowControl.SetDTR(s.DTR);
    FFlowControl.SetRTS(s.RTS);
    FFlowControl.SetXOnXOff(s.XOnXOff);
    FFlowControl.SetXOnLimit(s.XOnLimit);
    FFlowControl.SetXOffLimit(s.XOffLimit);
    SetOptions(s.Options);
}

// Stores a line setting and applies it; a rejected value is taken back so that the
// settings keep describing the device.
template <class T> void TCustomComPort::StoreLineSetting(T& Field, T Value) {
    if (Field == Value)
        return;
    const T old = Field;
    Field = Value;
    try {
        ApplyDeviceSettings();
    } catch (...) {
        Field = old;
        throw;
    }
}

void TCustomComPort::SetBaudRate(TBaudRate Value) {
    StoreLineSetting(FBaudRate, Value);
}
void TCustomComPort::SetDataBits(TDataBits Value) {
    StoreLineSetting(FDataBits, Value);
}
void TCustomComPort::SetParity(TParity Value) {
    StoreLineSetting(FParity, Value);
}
void TCustomComPort::SetStopBits(TStopBits Value) {
    StoreLineSetting(FStopBits, Value);
}
void TCustomComPort::SetOptions(TOptions Value) {
    StoreLineSetting(FOptions, Value);
}

std::int32_t TCustomComPort::CustomBaudRate() const {
    return FBaudRate == brCustom ? FCustomBaudRate : BaudRateValue(FBaudRate);
}

void TCustomComPort::SetCustomBaudRate(std::int32_t Value) {
    // A rate of 0 would hang up the line; negative rates have no meaning.
    if (Value <= 0)
        RaiseComError(EINVAL, SystemErrorMessage(EINVAL));
    // Compared with what the getter shows: a stored custom rate hidden behind a standard
    // BaudRate must not swallow the change.
    if (FBaudRate == brCustom && FCustomBaudRate == Value)
        return;
    const TBaudRate oldRate = FBaudRate;
    const std::int32_t oldCustom = FCustomBaudRate;
    FCustomBaudRate = Value;
    FBaudRate = brCustom;
    try {
        ApplyDeviceSettings();
    } catch (...) {
        FBaudRate = oldRate;
        FCustomBaudRate = oldCustom;
        throw;
    }
}

void TCustomComPort::SetDeviceName(const std::string& Value) {
    if (Value == FDeviceName)
        return;
    RequireClosedToChange();
    FDeviceName = Value;
}

void TCustomComPort::SetPriorityClass(TPriorityClass Value) {
    if (Value == FPriorityClass)
        return;
    RequireClosedToChange();
    FPriorityClass = Value;
}

void TCustomComPort::SetSynchronizeEvents(bool Value) {
    if (Value == FSynchronizeEvents)
        return;
    RequireClosedToChange();
    FSynchronizeEvents = Value;
}

void TCustomComPort::SetThreadPriority(TThreadPriority Value) {
    if (Value == FThreadPriority)
        return;
    FThreadPriority = Value;
    if (const auto thread = CurrentThread())
        thread->SetPriority(Value);
}

void TCustomComPort::SetDispatcher(TComDispatcher* Value) {
    if (Value == FDispatcher)
        return;
    RequireClosedToChange();
    FDispatcher = Value;
}
