#pragma once
// Paints an axis in its own pixels (the graph translates the surface to the axis' place):
// tick marks, the axis line with its arrow point, the number labels, the caption and the
// common exponent as the last layout placed them.

#include "axes/AxisLook.h"

class TVxSurface;

/// Draws Axis on Gr. Tick positions are rounded to whole pixels unless ExactPositions
/// (vector targets).
void PaintAxis(TVxSurface& Gr, const TVxAxis& Axis, const TVxAxisLook& Look,
               bool ExactPositions = false);

/// Draws a placed text with Font's face, size and brush: the anchor point of its (rotated) box
/// lies at Text.Position.
void PaintPlacedText(TVxSurface& Gr, const TVxPlacedText& Text, const TVxFont& Font);
