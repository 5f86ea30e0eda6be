#include "comport/platform/FakeComDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

int TFakeComDevice::Failure(const std::string& Operation) const {
    const auto it = FFailures.find(Operation);
    return it == FFailures.end() ? 0 : it->second;
}

void TFakeComDevice::FailWith(const std::string& Operation, int Error) {
    std::lock_guard guard(FLock);
    if (Error == 0)
        FFailures.erase(Operation);
    else
        FFailures[Operation] = Error;
}

void TFakeComDevice::Receive(const std::string& Bytes) {
    std::lock_guard guard(FLock);
    FInput += Bytes;
}

void TFakeComDevice::RaiseLineErrors(std::uint32_t Flags) {
    std::lock_guard guard(FLock);
    FLineErrors |= Flags;
}

void TFakeComDevice::SetModemBits(std::uint32_t Bits) {
    std::lock_guard guard(FLock);
    FModemBits = Bits;
}

void TFakeComDevice::PushEvents(std::uint32_t Events) {
    {
        std::lock_guard guard(FLock);
        FEvents.push_back(Events);
    }
    FChanged.notify_all();
}

void TFakeComDevice::LoseDevice(int Error) {
    {
        std::lock_guard guard(FLock);
        FLostError = Error;
    }
    FChanged.notify_all();
}

std::string TFakeComDevice::Written() const {
    std::lock_guard guard(FLock);
    return FOutput;
}
TDeviceControlBlock TFakeComDevice::State() const {
    std::lock_guard guard(FLock);
    return FState;
}
TComTimeoutBlock TFakeComDevice::Timeouts() const {
    std::lock_guard guard(FLock);
    return FTimeouts;
}
std::pair<std::int32_t, std::int32_t> TFakeComDevice::QueueSizes() const {
    std::lock_guard guard(FLock);
    return {FInputSize, FOutputSize};
}
std::vector<std::uint32_t> TFakeComDevice::Escapes() const {
    std::lock_guard guard(FLock);
    return FEscapes;
}
std::vector<std::uint32_t> TFakeComDevice::Purges() const {
    std::lock_guard guard(FLock);
    return FPurges;
}
int TFakeComDevice::ReadsStarted() const {
    std::lock_guard guard(FLock);
    return FReadsStarted;
}
std::uint32_t TFakeComDevice::EventMask() const {
    std::lock_guard guard(FLock);
    return FMask;
}
int TFakeComDevice::WaitsBegun() const {
    std::lock_guard guard(FLock);
    return FWaitsBegun;
}
int TFakeComDevice::WaitsRunning() const {
    std::lock_guard guard(FLock);
    return FWaitsRunning;
}
TPriorityClass TFakeComDevice::ProcessPriority() const {
    std::lock_guard guard(FLock);
    return FProcessPriority;
}
TThreadPriority TFakeComDevice::ThreadPriority() const {
    std::lock_guard guard(FLock);
    return FThreadPriority;
}
std::string TFakeComDevice::OpenedName() const {
    std::lock_guard guard(FLock);
    return FOpenedName;
}

int TFakeComDevice::Open(const std::string& DeviceName) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("Open"))
        return error;
    FOpen = true;
    FOpenedName = DeviceName;
    FLostError = 0;
    FWake = false;
    FEvents.clear();
    return 0;
}

void TFakeComDevice::Close() {
    std::lock_guard guard(FLock);
    FOpen = false;
}

bool TFakeComDevice::IsOpen() const {
    std::lock_guard guard(FLock);
    return FOpen;
}

std::intptr_t TFakeComDevice::Handle() const {
    return IsOpen() ? 3 : -1;
}

int TFakeComDevice::GetState(TDeviceControlBlock& Dcb) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("GetState"))
        return error;
    Dcb = FState;
    return 0;
}

int TFakeComDevice::SetState(const TDeviceControlBlock& Dcb) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("SetState"))
        return error;
    FState = Dcb;
    return 0;
}

int TFakeComDevice::SetupQueues(std::int32_t Input, std::int32_t Output) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("SetupQueues"))
        return error;
    FInputSize = Input;
    FOutputSize = Output;
    return 0;
}

int TFakeComDevice::GetTimeouts(TComTimeoutBlock& ATimeouts) {
    std::lock_guard guard(FLock);
    ATimeouts = FTimeouts;
    return 0;
}

int TFakeComDevice::SetTimeouts(const TComTimeoutBlock& ATimeouts) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("SetTimeouts"))
        return error;
    FTimeouts = ATimeouts;
    return 0;
}

int TFakeComDevice::StartRead(void* Buffer, std::int32_t Count) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("StartRead"))
        return error;
    ++FReadsStarted;
    // A read takes what is queued at once; fewer bytes than asked is what a timeout gives.
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(Count), FInput.size());
    std::memcpy(Buffer, FInput.data(), n);
    FInput.erase(0, n);
    FLastRead = static_cast<std::int32_t>(n);
    return 0;
}

int TFakeComDevice::StartWrite(const void* Buffer, std::int32_t Count) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("StartWrite"))
        return error;
    FOutput.append(static_cast<const char*>(Buffer), static_cast<std::size_t>(Count));
    FLastWrite = Count;
    return 0;
}

int TFakeComDevice::WaitRead(std::int32_t& Transferred) {
    std::lock_guard guard(FLock);
    Transferred = FLastRead;
    return 0;
}

int TFakeComDevice::WaitWrite(std::int32_t& Transferred) {
    std::lock_guard guard(FLock);
    Transferred = FLastWrite;
    return 0;
}

int TFakeComDevice::ClearError(TComQueueStatus& Status) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("ClearError"))
        return error;
    Status.Errors = FLineErrors;
    FLineErrors = 0;
    Status.InQueue = static_cast<std::uint32_t>(FInput.size());
    Status.OutQueue = 0;
    return 0;
}

int TFakeComDevice::Purge(std::uint32_t Flags) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("Purge"))
        return error;
    FPurges.push_back(Flags);
    if (Flags & ComPurge::RxClear)
        FInput.clear();
    return 0;
}

int TFakeComDevice::Flush() {
    std::lock_guard guard(FLock);
    return Failure("Flush");
}

int TFakeComDevice::Escape(std::uint32_t Function) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("Escape"))
        return error;
    FEscapes.push_back(Function);
    return 0;
}

int TFakeComDevice::TransmitChar(char Value) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("TransmitChar"))
        return error;
    FOutput.push_back(Value);
    return 0;
}

int TFakeComDevice::GetModemStatus(std::uint32_t& Status) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("GetModemStatus"))
        return error;
    Status = FModemBits;
    return 0;
}

int TFakeComDevice::SetEventMask(std::uint32_t Mask) {
    {
        std::lock_guard guard(FLock);
        if (const int error = Failure("SetEventMask"))
            return error;
        FMask = Mask;
    }
    FChanged.notify_all();
    return 0;
}

int TFakeComDevice::WaitEvent(std::uint32_t& Events) {
    std::unique_lock lock(FLock);
    ++FWaitsBegun;
    ++FWaitsRunning;
    FChanged.notify_all();
    FChanged.wait(lock, [this] { return FWake || FLostError != 0 || !FEvents.empty(); });
    --FWaitsRunning;
    Events = 0;
    if (FWake) {
        FWake = false;
        return 0;
    }
    if (FLostError != 0)
        return FLostError;
    Events = FEvents.front() & FMask;
    FEvents.pop_front();
    return 0;
}

void TFakeComDevice::WakeEventWait() {
    {
        std::lock_guard guard(FLock);
        FWake = true;
    }
    FChanged.notify_all();
}

int TFakeComDevice::SaveProcessPriority(int& Saved) {
    std::lock_guard guard(FLock);
    Saved = static_cast<int>(FProcessPriority);
    return 0;
}

int TFakeComDevice::SetProcessPriority(TPriorityClass Class) {
    std::lock_guard guard(FLock);
    if (const int error = Failure("SetProcessPriority"))
        return error;
    FProcessPriority = Class;
    return 0;
}

int TFakeComDevice::RestoreProcessPriority(int Saved) {
    std::lock_guard guard(FLock);
    FProcessPriority = static_cast<TPriorityClass>(Saved);
    return 0;
}

void TFakeComDevice::SetThreadPriority(std::int64_t, TThreadPriority Priority) {
    std::lock_guard guard(FLock);
    FThreadPriority = Priority;
}
