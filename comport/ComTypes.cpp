#include "comport/ComTypes.h"

#include <array>

namespace {

constexpr std::array<std::int32_t, 27> BaudRates = {
    0,     50,    75,    110,   150,   300,    600,    1200,   1800,
    2000,  2400,  3600,  4800,  7200,  9600,   10400,  14400,  15625,
    19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000, 0};

constexpr std::array<std::uint32_t, 8> OptionBits = {0x2,  0x4,   0x8,   0x40,
                                                     0x80, 0x400, 0x800, 0x4000};

constexpr std::array<std::uint32_t, 11> LineErrorFlags = {
    0x0010, 0x0800, 0x0008, 0x0400, 0x8000, 0x1000, 0x0002, 0x0200, 0x0001, 0x0004, 0x0100};

} // namespace

std::int32_t BaudRateValue(TBaudRate Rate) {
    const auto i = static_cast<std::size_t>(Rate);
    return i < BaudRates.size() ? BaudRates[i] : 0;
}

std::uint32_t OptionBit(TOption Option) {
    return OptionBits.at(static_cast<std::size_t>(Option));
}

std::uint32_t LineErrorFlag(TLineError Error) {
    return LineErrorFlags.at(static_cast<std::size_t>(Error));
}

TLineErrors LineErrorsFromFlags(std::uint32_t Flags) {
    TLineErrors result;
    for (std::size_t i = 0; i < LineErrorFlags.size(); ++i)
        if (Flags & LineErrorFlags[i])
            result.Include(static_cast<TLineError>(i));
    return result;
}

TModemStatus ModemStatusFromBits(std::uint32_t Bits) {
    TModemStatus result;
    for (int i = 0; i < 4; ++i)
        if (Bits & (0x10u << i))
            result.Include(static_cast<TModemStatusValue>(i));
    return result;
}
