#pragma once
// Colour types of the chart library and the conversions between them.
//
// TVxColor is a 32-bit ARGB colour (alpha in bits 31-24, 0xFF opaque) held as a signed
// 32-bit integer, which is how it is streamed: opaque black is -16777216. TColor is the
// toolkit colour 0x00BBGGRR, or a system colour code (high byte 0xFF, low byte the index).

#include <cstdint>

/// A 32-bit ARGB colour, stored and streamed as a signed 32-bit integer.
using TVxColor = std::int32_t;
/// A toolkit colour: 0x00BBGGRR or a system colour code 0xFF0000nn.
using TColor = std::int32_t;

/// The ARGB colour of a 32-bit unsigned literal such as 0xFFD3D3D3.
constexpr TVxColor VxColor(std::uint32_t Argb) {
    return static_cast<TVxColor>(Argb);
}
/// The colour from its four 8-bit channels.
constexpr TVxColor MakeColor(std::uint8_t A, std::uint8_t R, std::uint8_t G, std::uint8_t B) {
    return VxColor(std::uint32_t{A} << 24 | std::uint32_t{R} << 16 | std::uint32_t{G} << 8 | B);
}
/// The colour as an unsigned 32-bit ARGB value.
constexpr std::uint32_t ColorArgb(TVxColor Color) {
    return static_cast<std::uint32_t>(Color);
}
/// Alpha channel (bits 31-24).
constexpr std::uint8_t GetAlpha(TVxColor Color) {
    return static_cast<std::uint8_t>(ColorArgb(Color) >> 24);
}
/// Red channel (bits 23-16).
constexpr std::uint8_t GetRed(TVxColor Color) {
    return static_cast<std::uint8_t>(ColorArgb(Color) >> 16);
}
/// Green channel (bits 15-8).
constexpr std::uint8_t GetGreen(TVxColor Color) {
    return static_cast<std::uint8_t>(ColorArgb(Color) >> 8);
}
/// Blue channel (bits 7-0).
constexpr std::uint8_t GetBlue(TVxColor Color) {
    return static_cast<std::uint8_t>(ColorArgb(Color));
}
/// The same colour with another alpha.
constexpr TVxColor WithAlpha(TVxColor Color, std::uint8_t A) {
    return MakeColor(A, GetRed(Color), GetGreen(Color), GetBlue(Color));
}

/// True for a toolkit system colour code (high byte 0xFF).
constexpr bool IsSystemColorCode(TColor Color) {
    return (static_cast<std::uint32_t>(Color) >> 24) == 0xFF;
}
/// The toolkit code of system colour Index (0xFF000000 | Index).
constexpr TColor SystemColorCode(int Index) {
    return static_cast<TColor>(0xFF000000u | (static_cast<std::uint32_t>(Index) & 0xFFu));
}

/// The current colour of system colour Index (0 to 30) with alpha 255; opaque black for an
/// index the system does not know.
TVxColor SystemColor(int Index);
/// Opaque ARGB of a toolkit colour; system colour codes are resolved to their current value.
TVxColor ToArgb(TColor Color);
/// Toolkit form 0x00BBGGRR of an ARGB colour; the alpha is dropped.
constexpr TColor ToTColor(TVxColor Color) {
    return static_cast<TColor>(std::uint32_t{GetBlue(Color)} << 16 |
                               std::uint32_t{GetGreen(Color)} << 8 | GetRed(Color));
}

/// The colour with its HSL lightness multiplied by Factor; hue, saturation and alpha kept.
TVxColor ScaleBrightness(TVxColor Color, double Factor);
