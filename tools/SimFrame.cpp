#include "tools/SimFrame.h"

#include <cmath>

std::uint16_t CelsiusToTenths(double Celsius) {
    const double tenths = Celsius * 10.0;
    if (std::isnan(tenths) || tenths <= 0.0) {
        return 0;
    }
    if (tenths >= 65535.0) {
        return 65535;
    }
    // The default floating-point rounding mode rounds halves to even.
    return static_cast<std::uint16_t>(std::nearbyint(tenths));
}

TSimFrame EncodeSimFrame(std::uint16_t Tenths, std::uint16_t Sequence) {
    return {SimFrameMarker[0],
            SimFrameMarker[1],
            SimFrameMarker[2],
            SimFrameMarker[3],
            static_cast<std::uint8_t>(Tenths >> 8),
            static_cast<std::uint8_t>(Tenths & 0xFF),
            static_cast<std::uint8_t>(Sequence >> 8),
            static_cast<std::uint8_t>(Sequence & 0xFF)};
}

std::vector<std::uint8_t> SimJunkBlock(std::uint32_t Number) {
    // A small integer hash spreads consecutive numbers over lengths and contents.
    std::uint32_t state = Number * 2654435761u + 0x9E3779B9u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    const std::size_t length = 1 + 2 * (next() % 8);
    std::vector<std::uint8_t> block(length);
    for (auto& byte : block) {
        byte = static_cast<std::uint8_t>(0x20 + next() % 95);
    }
    return block;
}
