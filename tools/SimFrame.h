#pragma once
// The bytes the simulated temperature device puts on the line: 8-byte frames whose bytes 4
// and 5 carry the reading in tenths of a degree Celsius, big-endian, and junk blocks.

#include <array>
#include <cstdint>
#include <vector>

/// One frame of the temperature device as it goes on the line.
using TSimFrame = std::array<std::uint8_t, 8>;

/// Bytes 0-3 of every frame the simulator sends. The logger ignores them; none of them is a
/// printable ASCII byte, so a reader can tell frames from junk.
inline constexpr std::array<std::uint8_t, 4> SimFrameMarker{0xA5, 0x5A, 0xC3, 0x3C};

/// The reading for Celsius in tenths of a degree: rounded to nearest (halves to even) and
/// clamped to 0..65535; not-a-number gives 0.
std::uint16_t CelsiusToTenths(double Celsius);

/// The frame for a reading of Tenths: the marker, Tenths big-endian in bytes 4-5 and
/// Sequence big-endian in bytes 6-7.
TSimFrame EncodeSimFrame(std::uint16_t Tenths, std::uint16_t Sequence);

/// Junk block number Number: 1 to 15 printable ASCII bytes, always an odd count, so that it
/// never looks like a frame by its length. The same Number gives the same block.
std::vector<std::uint8_t> SimJunkBlock(std::uint32_t Number);
