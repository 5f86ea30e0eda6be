#pragma once
// Tick generation: the pixel positions of all ticks with their major and grid flags, and
// the labels, for every scaling. Every loop runs a precomputed number of times, so no
// range, however odd, keeps it going.

#include "axes/AxisScale.h"
#include "axes/AxisTransform.h"

/// Computes NormalizeConst for the current range and AxLength (an AxLength of 0 or less
/// becomes 100) and returns the transform of that state.
TVxAxisTransform PrepareTransform(TVxAxisScale& Scale);

/// Regenerates Ticks for the current range: NormalizeConst first (PrepareTransform), then
/// the ticks of the scaling. No tick lies outside Start .. Stop (DateTime: one pixel).
void CalculateTicks(TVxAxisScale& Scale, const TVxScaleContext& Context, TVxTickList& Ticks);

/// The major step in data units (decades when logarithmic, days for DateTime).
double MajorIncrement(const TVxAxisScale& Scale);
/// The minor step in data units (0.04 decades when logarithmic).
double MinorIncrement(const TVxAxisScale& Scale);
