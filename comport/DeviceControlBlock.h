#pragma once
// The device control block: the line settings a serial driver takes in one value, and the
// pure mapping between it and the port's settings.

#include "comport/ComTypes.h"

#include <cstdint>

/// Flag word bits of the device control block that are not options.
namespace DcbFlag {
constexpr std::uint32_t Binary = 0x1;          ///< binary mode, always set
constexpr std::uint32_t DtrMask = 0x30;        ///< DTR control field
constexpr std::uint32_t DtrEnable = 0x10;      ///< DTR on
constexpr std::uint32_t DtrHandshake = 0x20;   ///< DTR handshake
constexpr std::uint32_t OutX = 0x100;          ///< XON/XOFF output flow
constexpr std::uint32_t InX = 0x200;           ///< XON/XOFF input flow
constexpr std::uint32_t XOnXOffMask = 0x300;   ///< XON/XOFF field
constexpr std::uint32_t RtsMask = 0x3000;      ///< RTS control field
constexpr std::uint32_t RtsEnable = 0x1000;    ///< RTS on
constexpr std::uint32_t RtsHandshake = 0x2000; ///< RTS handshake
constexpr std::uint32_t RtsToggle = 0x3000;    ///< RTS toggle
constexpr std::uint32_t OptionMask = 0x4CCE;   ///< the eight option bits
} // namespace DcbFlag

/// The device control block as the driver takes it.
struct TDeviceControlBlock {
    std::uint32_t DCBlength = 28;          ///< size of the block in the original layout
    std::uint32_t BaudRate = 0;            ///< line speed in bits per second
    std::uint32_t Flags = DcbFlag::Binary; ///< flag word (options, DTR, RTS, XON/XOFF, binary)
    std::uint16_t XonLim = 0;              ///< input bytes left when XON is sent
    std::uint16_t XoffLim = 0;             ///< free input bytes left when XOFF is sent
    std::uint8_t ByteSize = 8;             ///< data bits, 4 to 8
    std::uint8_t Parity = 0;               ///< 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0;             ///< 0 one, 1 one and a half, 2 two
    std::uint8_t XonChar = 17;             ///< XON character
    std::uint8_t XoffChar = 19;            ///< XOFF character
    std::uint8_t ErrorChar = 0;            ///< replacement for bytes with parity errors
    std::uint8_t EofChar = 0;              ///< end-of-input character
    std::uint8_t EvtChar = 0;              ///< character that signals the flag event

    friend bool operator==(const TDeviceControlBlock&, const TDeviceControlBlock&) = default;
};

/// The port settings that the device control block carries.
struct TDcbSettings {
    TBaudRate BaudRate = brDefault;      ///< line speed member
    std::int32_t CustomBaudRate = 0;     ///< the rate CustomBaudRate's getter shows
    TDataBits DataBits = dbDefault;      ///< data bits
    TParity Parity = paDefault;          ///< parity
    TStopBits StopBits = sbDefault;      ///< stop bits
    TOptions Options;                    ///< option bits
    TDTRControl DTR = dcDefault;         ///< DTR control
    TRTSControl RTS = rcDefault;         ///< RTS control
    TXOnXOffControl XOnXOff = xcDefault; ///< software flow control
    std::uint16_t XOnLimit = 0;          ///< XonLim
    std::uint16_t XOffLimit = 0;         ///< XoffLim
    char16_t XOn = 17;                   ///< XON character
    char16_t XOff = 19;                  ///< XOFF character
    char16_t Error = 0;                  ///< error character
    char16_t Eof = 0;                    ///< end-of-input character
    char16_t Event = 0;                  ///< event character

    friend bool operator==(const TDcbSettings&, const TDcbSettings&) = default;
};

/// Writes the settings into Dcb; Default members and unnamed fields keep Dcb's values.
void FillDeviceControlBlock(const TDcbSettings& Settings, TDeviceControlBlock& Dcb);
/// The settings Current with every field that Dcb carries read back from it; a field that
/// matches no member keeps its value in Current. The rate becomes brCustom with the block's rate.
TDcbSettings ReadDeviceControlBlock(const TDeviceControlBlock& Dcb, const TDcbSettings& Current);
