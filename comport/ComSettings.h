#pragma once
// The settings objects a port owns: flow control, special characters, driver buffer sizes
// and transfer timeouts. Each setter stores a changed value and applies it to the open
// device; when the device rejects it, the previous value comes back and the error is raised.

#include "comport/ComTypes.h"

#include <cstdint>

class TCustomComPort;

/// Hardware and software flow control.
class TFlowControl {
public:
    /// Settings of APort, which applies them.
    explicit TFlowControl(TCustomComPort& APort) : FComPort(APort) {}
    TFlowControl(const TFlowControl&) = delete;
    /// Copies every member through its setter.
    TFlowControl& operator=(const TFlowControl& Source);

    /// DTR line control.
    TDTRControl DTR() const { return FDTR; }
    /// Sets DTR line control.
    void SetDTR(TDTRControl Value);
    /// RTS line control.
    TRTSControl RTS() const { return FRTS; }
    /// Sets RTS line control.
    void SetRTS(TRTSControl Value);
    /// XON/XOFF flow control.
    TXOnXOffControl XOnXOff() const { return FXOnXOff; }
    /// Sets XON/XOFF flow control.
    void SetXOnXOff(TXOnXOffControl Value);
    /// Input bytes left when XON is sent.
    std::uint16_t XOnLimit() const { return FXOnLimit; }
    /// Sets XOnLimit.
    void SetXOnLimit(std::uint16_t Value);
    /// Free input bytes left when XOFF is sent.
    std::uint16_t XOffLimit() const { return FXOffLimit; }
    /// Sets XOffLimit.
    void SetXOffLimit(std::uint16_t Value);

private:
    TCustomComPort& FComPort;
    TDTRControl FDTR = dcDefault;
    TRTSControl FRTS = rcDefault;
    TXOnXOffControl FXOnXOff = xcDefault;
    std::uint16_t FXOnLimit = 0;
    std::uint16_t FXOffLimit = 0;
};

/// The special characters of the line; only their low byte reaches the device.
class TCharacters {
public:
    /// Characters of APort, which applies them.
    explicit TCharacters(TCustomComPort& APort) : FComPort(APort) {}
    TCharacters(const TCharacters&) = delete;
    /// Copies every member through its setter.
    TCharacters& operator=(const TCharacters& Source);

    /// The XON character (17).
    char16_t XOn() const { return FXOn; }
    /// Sets the XON character.
    void SetXOn(char16_t Value);
    /// The XOFF character (19).
    char16_t XOff() const { return FXOff; }
    /// Sets the XOFF character.
    void SetXOff(char16_t Value);
    /// Replacement for bytes received with a parity error.
    char16_t Error() const { return FError; }
    /// Sets the error character.
    void SetError(char16_t Value);
    /// End-of-input character.
    char16_t Eof() const { return FEof; }
    /// Sets the end-of-input character.
    void SetEof(char16_t Value);
    /// The character that signals OnRxFlag.
    char16_t Event() const { return FEvent; }
    /// Sets the event character.
    void SetEvent(char16_t Value);

private:
    void Store(char16_t& Field, char16_t Value);

    TCustomComPort& FComPort;
    char16_t FXOn = 17;
    char16_t FXOff = 19;
    char16_t FError = 0;
    char16_t FEof = 0;
    char16_t FEvent = 0;
};

/// The driver's queue sizes in bytes.
class TBufferSizes {
public:
    /// Sizes of APort, which applies them.
    explicit TBufferSizes(TCustomComPort& APort) : FComPort(APort) {}
    TBufferSizes(const TBufferSizes&) = delete;
    /// Copies every member through its setter.
    TBufferSizes& operator=(const TBufferSizes& Source);

    /// Input queue size (4096).
    std::int32_t Input() const { return FInput; }
    /// Sets the input queue size.
    void SetInput(std::int32_t Value);
    /// Output queue size (2048).
    std::int32_t Output() const { return FOutput; }
    /// Sets the output queue size.
    void SetOutput(std::int32_t Value);

private:
    void Store(std::int32_t& Field, std::int32_t Value);

    TCustomComPort& FComPort;
    std::int32_t FInput = 4096;
    std::int32_t FOutput = 2048;
};

/// Transfer timeouts in milliseconds; -1 stands for the driver's "maximum" value.
class TTimeouts {
public:
    /// Timeouts of APort, which applies them.
    explicit TTimeouts(TCustomComPort& APort) : FComPort(APort) {}
    TTimeouts(const TTimeouts&) = delete;
    /// Copies every member through its setter.
    TTimeouts& operator=(const TTimeouts& Source);

    /// Longest gap between two received bytes.
    std::int32_t ReadInterval() const { return FReadInterval; }
    /// Sets ReadInterval.
    void SetReadInterval(std::int32_t Value);
    /// Read limit per requested byte.
    std::int32_t ReadMultiplier() const { return FReadMultiplier; }
    /// Sets ReadMultiplier.
    void SetReadMultiplier(std::int32_t Value);
    /// Read limit added to every read.
    std::int32_t ReadConstant() const { return FReadConstant; }
    /// Sets ReadConstant.
    void SetReadConstant(std::int32_t Value);
    /// Write limit per byte.
    std::int32_t WriteMultiplier() const { return FWriteMultiplier; }
    /// Sets WriteMultiplier.
    void SetWriteMultiplier(std::int32_t Value);
    /// Write limit added to every write.
    std::int32_t WriteConstant() const { return FWriteConstant; }
    /// Sets WriteConstant.
    void SetWriteConstant(std::int32_t Value);

private:
    void Store(std::int32_t& Field, std::int32_t Value);

    TCustomComPort& FComPort;
    std::int32_t FReadInterval = 0;
    std::int32_t FReadMultiplier = 0;
    std::int32_t FReadConstant = 0;
    std::int32_t FWriteMultiplier = 0;
    std::int32_t FWriteConstant = 0;
};
