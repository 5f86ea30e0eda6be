#pragma once
// The system colours of the desktop, taken from the application palette.

#include "drawing/Color.h"

#include <array>

/// Number of system colour indices known (0 to 30).
inline constexpr int SystemColorCount = 31;

/// The current system colours by index, opaque, from the application palette where it has a
/// matching role and classic desktop values elsewhere (also when no application exists).
std::array<TVxColor, SystemColorCount> ReadSystemColors();
