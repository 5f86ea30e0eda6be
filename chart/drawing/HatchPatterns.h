#pragma once
// The 8 x 8 bitmaps of the hatch patterns.

#include "drawing/Brush.h"

#include <QImage>
#include <cstdint>

/// Row Y (0 to 7) of the pattern's bitmap; bit 7 is the leftmost pixel.
std::uint8_t HatchRow(TVxHatchStyle Style, int Y);
/// True where the pattern shows its foreground colour at (X, Y), taken modulo 8.
bool HatchBit(TVxHatchStyle Style, int X, int Y);
/// The pattern as an 8 x 8 ARGB image in its two colours.
QImage HatchImage(TVxHatchStyle Style, TVxColor Fore, TVxColor Back);
