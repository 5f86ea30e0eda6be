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

/// Draws a placed text through its rich caption record: the anchor point of its (rotated)
/// block lies at Text.Position. A record never measured is measured on Gr first.
void PaintPlacedText(TVxSurface& Gr, const TVxPlacedText& Text);
