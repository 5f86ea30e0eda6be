// Transfers, queue counts, line errors and line control of the serial port.
#include "comport/ComPort.h"

#include <cerrno>
#include <cstring>

// ---- Read and write ----

void TCustomComPort::Read(void* Buffer, std::int32_t Count, bool WaitForCompletion) {
    RequireOpen();
    if (Count < 0)
        RaiseComError(EINVAL, SystemErrorMessage(EINVAL));
    if (BeforeRead)
        BeforeRead(*this, Buffer, Count, WaitForCompletion);
    WaitForReadCompletion();
    FRequestedReadCount = Count;
    if (Count > 0) {
        CheckSystemCall(FDevice->StartRead(Buffer, Count));
        FReadInFlight = true;
        if (WaitForCompletion)
            WaitForReadCompletion();
    }
    if (AfterRead)
        AfterRead(*this, Buffer, Count, WaitForCompletion);
}

void TCustomComPort::Write(const void* Buffer, std::int32_t Count, bool WaitForCompletion) {
    RequireOpen();
    if (Count < 0)
        RaiseComError(EINVAL, SystemErrorMessage(EINVAL));
    if (BeforeWrite)
        BeforeWrite(*this, const_cast<void*>(Buffer), Count, WaitForCompletion);
    WaitForWriteCompletion();
    FRequestedWriteCount = Count;
    if (Count > 0) {
        // The port owns the bytes in flight, so the caller's buffer need not outlive the call.
        const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
        FWriteBuffer.assign(bytes, bytes + Count);
        CheckSystemCall(FDevice->StartWrite(FWriteBuffer.data(), Count));
        FWriteInFlight = true;
        if (WaitForCompletion)
            WaitForWriteCompletion();
    }
    if (AfterWrite)
        AfterWrite(*this, const_cast<void*>(Buffer), Count, WaitForCompletion);
}

// A transfer started by the port is collected exactly once, even when it finished before
// anyone waited, so that a short transfer is always reported.
void TCustomComPort::WaitForReadCompletion() {
    if (FReadInFlight && FDevice->IsOpen()) {
        FReadInFlight = false;
        std::int32_t transferred = 0;
        CheckSystemCall(FDevice->WaitRead(transferred));
        if (transferred != FRequestedReadCount)
            RaiseComError(0, ComMessage::Timeout);
    }
    CheckLineErrors();
}

void TCustomComPort::WaitForWriteCompletion() {
    if (FWriteInFlight && FDevice->IsOpen()) {
        FWriteInFlight = false;
        std::int32_t transferred = 0;
        CheckSystemCall(FDevice->WaitWrite(transferred));
        if (transferred != FRequestedWriteCount)
            RaiseComError(0, ComMessage::Timeout);
    }
    CheckLineErrors();
}

bool TCustomComPort::ReadPending() {
    return FDevice->IsOpen() && FDevice->ReadPending();
}

bool TCustomComPort::WritePending() {
    return FDevice->IsOpen() && FDevice->WritePending();
}

void TCustomComPort::ReadExactly(void* Buffer, std::int32_t Count) {
    Read(Buffer, Count, true);
}

// ---- Read family ----

std::string TCustomComPort::ReadAnsiString() {
    WaitForReadCompletion();
    const std::int32_t n = InputCount();
    std::string result(static_cast<std::size_t>(n), '\0');
    ReadExactly(result.data(), n);
    return result;
}

std::u16string TCustomComPort::ReadString() {
    WaitForReadCompletion();
    const std::int32_t n = InputCount() / 2;
    std::string bytes(static_cast<std::size_t>(n) * 2, '\0');
    ReadExactly(bytes.data(), n * 2);
    std::u16string result(static_cast<std::size_t>(n), u'\0');
    for (std::int32_t i = 0; i < n; ++i)
        result[static_cast<std::size_t>(i)] =
            static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                  (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    return result;
}

char TCustomComPort::ReadAnsiChar() {
    return static_cast<char>(ReadByte());
}

std::uint8_t TCustomComPort::ReadByte() {
    std::uint8_t value = 0;
    ReadExactly(&value, 1);
    return value;
}

char16_t TCustomComPort::ReadChar() {
    return static_cast<char16_t>(ReadWord());
}

std::uint16_t TCustomComPort::ReadWord() {
    std::uint8_t b[2] = {};
    ReadExactly(b, 2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t TCustomComPort::ReadDWord() {
    std::uint8_t b[4] = {};
    ReadExactly(b, 4);
    return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
           (std::uint32_t{b[3]} << 24);
}

std::string TCustomComPort::ReadAnsiUntil(char Terminator) {
    std::string result;
    do
        result.push_back(ReadAnsiChar());
    while (result.back() != Terminator);
    return result;
}

std::u16string TCustomComPort::ReadUntil(char16_t Terminator) {
    std::u16string result;
    do
        result.push_back(ReadChar());
    while (result.back() != Terminator);
    return result;
}

std::string TCustomComPort::ReadAnsiLine() {
    return ReadAnsiUntil('\r');
}

std::u16string TCustomComPort::ReadLine() {
    return ReadUntil(u'\r');
}

// ---- Write family ----

void TCustomComPort::WriteAnsiString(const std::string& Value) {
    Write(Value.data(), static_cast<std::int32_t>(Value.size()), false);
}

void TCustomComPort::WriteString(const std::u16string& Value) {
    std::string bytes;
    bytes.reserve(Value.size() * 2);
    for (char16_t c : Value) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    Write(bytes.data(), static_cast<std::int32_t>(bytes.size()), false);
}

void TCustomComPort::WriteAnsiChar(char Value) {
    Write(&Value, 1, false);
}

void TCustomComPort::WriteByte(std::uint8_t Value) {
    Write(&Value, 1, false);
}

void TCustomComPort::WriteChar(char16_t Value) {
    WriteWord(static_cast<std::uint16_t>(Value));
}

void TCustomComPort::WriteWord(std::uint16_t Value) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(Value & 0xFF),
                               static_cast<std::uint8_t>(Value >> 8)};
    Write(b, 2, false);
}

void TCustomComPort::WriteDWord(std::uint32_t Value) {
    const std::uint8_t b[4] = {
        static_cast<std::uint8_t>(Value & 0xFF), static_cast<std::uint8_t>((Value >> 8) & 0xFF),
        static_cast<std::uint8_t>((Value >> 16) & 0xFF), static_cast<std::uint8_t>(Value >> 24)};
    Write(b, 4, false);
}

// ---- Queue counts and line errors ----

TComQueueStatus TCustomComPort::QueueStatus() {
    TComQueueStatus status;
    // On a closed port the device refuses with its own error (a bad handle).
    CheckSystemCall(FDevice->IsOpen() ? FDevice->ClearError(status) : EBADF);
    return status;
}

void TCustomComPort::ReportLineErrors(std::uint32_t Flags) {
    if (Flags == 0)
        return;
    if (const auto handler = OnLineError.Get())
        handler(*this, LineErrorsFromFlags(Flags));
}

std::int32_t TCustomComPort::InputCount() {
    const TComQueueStatus status = QueueStatus();
    ReportLineErrors(status.Errors);
    return static_cast<std::int32_t>(status.InQueue);
}

std::int32_t TCustomComPort::OutputCount() {
    const TComQueueStatus status = QueueStatus();
    ReportLineErrors(status.Errors);
    return static_cast<std::int32_t>(status.OutQueue);
}

void TCustomComPort::CheckLineErrors() {
    RequireOpen();
    ReportLineErrors(QueueStatus().Errors);
}

void TCustomComPort::ClearLineErrors() {
    RequireOpen();
    QueueStatus();
}

// ---- Purge and line control ----

void TCustomComPort::Purge(std::uint32_t Flags) {
    if (!FDevice->IsOpen())
        return;
    CheckSystemCall(FDevice->Purge(Flags));
    // An aborted transfer was given up on purpose: it is not reported as short later.
    if (Flags & ComPurge::RxAbort)
        FReadInFlight = false;
    if (Flags & ComPurge::TxAbort)
        FWriteInFlight = false;
}

void TCustomComPort::PurgeInput() {
    Purge(ComPurge::RxAbort | ComPurge::RxClear);
}
void TCustomComPort::PurgeOutput() {
    Purge(ComPurge::TxAbort | ComPurge::TxClear);
}
void TCustomComPort::ClearInput() {
    Purge(ComPurge::RxClear);
}
void TCustomComPort::ClearOutput() {
    Purge(ComPurge::TxClear);
}
void TCustomComPort::AbortInput() {
    Purge(ComPurge::RxAbort);
}
void TCustomComPort::AbortOutput() {
    Purge(ComPurge::TxAbort);
}

void TCustomComPort::Flush() {
    if (FDevice->IsOpen())
        CheckSystemCall(FDevice->Flush());
}

void TCustomComPort::Escape(std::uint32_t Function) {
    RequireOpen();
    CheckSystemCall(FDevice->Escape(Function));
}

void TCustomComPort::SetBreak() {
    Escape(ComEscape::SetBreak);
}
void TCustomComPort::ClearBreak() {
    Escape(ComEscape::ClrBreak);
}
void TCustomComPort::SetDTR() {
    Escape(ComEscape::SetDtr);
}
void TCustomComPort::ClearDTR() {
    Escape(ComEscape::ClrDtr);
}
void TCustomComPort::SetRTS() {
    Escape(ComEscape::SetRts);
}
void TCustomComPort::ClearRTS() {
    Escape(ComEscape::ClrRts);
}
void TCustomComPort::SetXOn() {
    Escape(ComEscape::SetXOn);
}
void TCustomComPort::SetXOff() {
    Escape(ComEscape::SetXOff);
}
void TCustomComPort::ResetDevice() {
    Escape(ComEscape::ResetDev);
}

void TCustomComPort::TransmitChar(char Value) {
    RequireOpen();
    CheckSystemCall(FDevice->TransmitChar(Value));
}

TModemStatus TCustomComPort::ModemStatus() {
    RequireOpen();
    std::uint32_t bits = 0;
    CheckSystemCall(FDevice->GetModemStatus(bits));
    return ModemStatusFromBits(bits);
}
