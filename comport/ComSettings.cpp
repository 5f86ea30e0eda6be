#include "comport/ComSettings.h"

#include "comport/ComPort.h"

namespace {

// Stores Value, runs Apply, and puts the old value back when Apply throws, so that the
// settings keep describing what the device runs with.
template <class T, class F> void StoreAndApply(T& Field, T Value, F Apply) {
    if (Field == Value)
        return;
    const T old = Field;
    Field = Value;
    try {
        Apply();
    } catch (...) {
        Field = old;
        throw;
    }
}

} // namespace

TFlowControl& TFlowControl::operator=(const TFlowControl& Source) {
    SetDTR(Source.FDTR);
    SetRTS(Source.FRTS);
    SetXOnXOff(Source.FXOnXOff);
    SetXOnLimit(Source.FXOnLimit);
    SetXOffLimit(Source.FXOffLimit);
    return *this;
}

void TFlowControl::SetDTR(TDTRControl Value) {
    StoreAndApply(FDTR, Value, [this] { FComPort.ApplyDeviceSettings(); });
}
void TFlowControl::SetRTS(TRTSControl Value) {
    StoreAndApply(FRTS, Value, [this] { FComPort.ApplyDeviceSettings(); });
}
void TFlowControl::SetXOnXOff(TXOnXOffControl Value) {
    StoreAndApply(FXOnXOff, Value, [this] { FComPort.ApplyDeviceSettings(); });
}
void TFlowControl::SetXOnLimit(std::uint16_t Value) {
    StoreAndApply(FXOnLimit, Value, [this] { FComPort.ApplyDeviceSettings(); });
}
void TFlowControl::SetXOffLimit(std::uint16_t Value) {
    StoreAndApply(FXOffLimit, Value, [this] { FComPort.ApplyDeviceSettings(); });
}

TCharacters& TCharacters::operator=(const TCharacters& Source) {
    SetXOn(Source.FXOn);
    SetXOff(Source.FXOff);
    SetError(Source.FError);
    SetEof(Source.FEof);
    SetEvent(Source.FEvent);
    return *this;
}

void TCharacters::Store(char16_t& Field, char16_t Value) {
    StoreAndApply(Field, Value, [this] { FComPort.ApplyDeviceSettings(); });
}
void TCharacters::SetXOn(char16_t Value) {
    Store(FXOn, Value);
}
void TCharacters::SetXOff(char16_t Value) {
    Store(FXOff, Value);
}
void TCharacters::SetError(char16_t Value) {
    Store(FError, Value);
}
void TCharacters::SetEof(char16_t Value) {
    Store(FEof, Value);
}
void TCharacters::SetEvent(char16_t Value) {
    Store(FEvent, Value);
}

TBufferSizes& TBufferSizes::operator=(const TBufferSizes& Source) {
    SetInput(Source.FInput);
    SetOutput(Source.FOutput);
    return *this;
}

void TBufferSizes::Store(std::int32_t& Field, std::int32_t Value) {
    StoreAndApply(Field, Value, [this] { FComPort.ApplyBufferSizes(); });
}
void TBufferSizes::SetInput(std::int32_t Value) {
    Store(FInput, Value);
}
void TBufferSizes::SetOutput(std::int32_t Value) {
    Store(FOutput, Value);
}

TTimeouts& TTimeouts::operator=(const TTimeouts& Source) {
    SetReadInterval(Source.FReadInterval);
    SetReadMultiplier(Source.FReadMultiplier);
    SetReadConstant(Source.FReadConstant);
    SetWriteMultiplier(Source.FWriteMultiplier);
    SetWriteConstant(Source.FWriteConstant);
    return *this;
}

void TTimeouts::Store(std::int32_t& Field, std::int32_t Value) {
    StoreAndApply(Field, Value, [this] { FComPort.ApplyTimeouts(); });
}
void TTimeouts::SetReadInterval(std::int32_t Value) {
    Store(FReadInterval, Value);
}
void TTimeouts::SetReadMultiplier(std::int32_t Value) {
    Store(FReadMultiplier, Value);
}
void TTimeouts::SetReadConstant(std::int32_t Value) {
    Store(FReadConstant, Value);
}
void TTimeouts::SetWriteMultiplier(std::int32_t Value) {
    Store(FWriteMultiplier, Value);
}
void TTimeouts::SetWriteConstant(std::int32_t Value) {
    Store(FWriteConstant, Value);
}
