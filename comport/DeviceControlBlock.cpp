#include "comport/DeviceControlBlock.h"

#include <array>

namespace {

// Table values per enumeration member; -1 marks the Default member, which has none.
constexpr std::array<int, 6> ParityValues = {-1, 0, 1, 2, 3, 4};
constexpr std::array<int, 4> StopBitValues = {-1, 0, 1, 2};
constexpr std::array<int, 6> DataBitValues = {-1, 4, 5, 6, 7, 8};
constexpr std::array<int, 4> DtrBits = {-1, 0x00, 0x10, 0x20};
constexpr std::array<int, 5> RtsBits = {-1, 0x0000, 0x1000, 0x2000, 0x3000};
constexpr std::array<int, 5> XOnXOffBits = {-1, 0x000, 0x200, 0x100, 0x300};

// The last member (in enumeration order) whose table value equals Value, or Current.
template <class E, std::size_t N>
E LastMatch(const std::array<int, N>& Table, int Value, E Current) {
    for (std::size_t i = N; i-- > 0;)
        if (Table[i] == Value)
            return static_cast<E>(i);
    return Current;
}

template <std::size_t N>
void SetField(std::uint32_t& Flags, std::uint32_t Mask, const std::array<int, N>& Table,
              int Member) {
    if (Member == 0)
        return;
    Flags = (Flags & ~Mask) | static_cast<std::uint32_t>(Table[static_cast<std::size_t>(Member)]);
}

} // namespace

void FillDeviceControlBlock(const TDcbSettings& Settings, TDeviceControlBlock& Dcb) {
    if (Settings.BaudRate != brDefault)
        Dcb.BaudRate = static_cast<std::uint32_t>(Settings.CustomBaudRate);
    if (Settings.DataBits != dbDefault)
        Dcb.ByteSize = static_cast<std::uint8_t>(DataBitValues[Settings.DataBits]);
    if (Settings.Parity != paDefault)
        Dcb.Parity = static_cast<std::uint8_t>(ParityValues[Settings.Parity]);
    if (Settings.StopBits != sbDefault)
        Dcb.StopBits = static_cast<std::uint8_t>(StopBitValues[Settings.StopBits]);
    // Only the low byte of each character reaches the block.
    Dcb.XonChar = static_cast<std::uint8_t>(Settings.XOn & 0xFF);
    Dcb.XoffChar = static_cast<std::uint8_t>(Settings.XOff & 0xFF);
    Dcb.ErrorChar = static_cast<std::uint8_t>(Settings.Error & 0xFF);
    Dcb.EofChar = static_cast<std::uint8_t>(Settings.Eof & 0xFF);
    Dcb.EvtChar = static_cast<std::uint8_t>(Settings.Event & 0xFF);
    SetField(Dcb.Flags, DcbFlag::DtrMask, DtrBits, Settings.DTR);
    SetField(Dcb.Flags, DcbFlag::RtsMask, RtsBits, Settings.RTS);
    SetField(Dcb.Flags, DcbFlag::XOnXOffMask, XOnXOffBits, Settings.XOnXOff);
    Dcb.XonLim = Settings.XOnLimit;
    Dcb.XoffLim = Settings.XOffLimit;
    for (int i = opCheckParity; i <= opAbortOnError; ++i) {
        const auto option = static_cast<TOption>(i);
        if (Settings.Options.Contains(option))
            Dcb.Flags |= OptionBit(option);
        else
            Dcb.Flags &= ~OptionBit(option);
    }
    Dcb.Flags |= DcbFlag::Binary;
}

TDcbSettings ReadDeviceControlBlock(const TDeviceControlBlock& Dcb, const TDcbSettings& Current) {
    TDcbSettings s = Current;
    s.BaudRate = brCustom;
    s.CustomBaudRate = static_cast<std::int32_t>(Dcb.BaudRate);
    s.DataBits = LastMatch(DataBitValues, Dcb.ByteSize, Current.DataBits);
    s.Parity = LastMatch(ParityValues, Dcb.Parity, Current.Parity);
    s.StopBits = LastMatch(StopBitValues, Dcb.StopBits, Current.StopBits);
    s.XOn = Dcb.XonChar;
    s.XOff = Dcb.XoffChar;
    s.Error = Dcb.ErrorChar;
    s.Eof = Dcb.EofChar;
    s.Event = Dcb.EvtChar;
    s.DTR = LastMatch(DtrBits, static_cast<int>(Dcb.Flags & DcbFlag::DtrMask), Current.DTR);
    s.RTS = LastMatch(RtsBits, static_cast<int>(Dcb.Flags & DcbFlag::RtsMask), Current.RTS);
    s.XOnXOff =
        LastMatch(XOnXOffBits, static_cast<int>(Dcb.Flags & DcbFlag::XOnXOffMask), Current.XOnXOff);
    s.XOnLimit = Dcb.XonLim;
    s.XOffLimit = Dcb.XoffLim;
    s.Options = TOptions();
    for (int i = opCheckParity; i <= opAbortOnError; ++i)
        if (Dcb.Flags & OptionBit(static_cast<TOption>(i)))
            s.Options.Include(static_cast<TOption>(i));
    return s;
}
