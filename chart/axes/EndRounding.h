#pragma once
// Normalising a range, choosing its partition and rounding its ends to tick steps.

#include "axes/AxisScale.h"

/// v rounded up or down to the major or minor step of the current partition.
double RoundEnd(const TVxAxisScale& Scale, bool Up, bool Major, double v);

/// Normalises Start .. Stop (limits, reversed and empty ranges, logarithmic ends), chooses
/// the partition when AutoTickParts is set and rounds the ends as EndRounding asks.
/// Afterwards Start < Stop, both finite, whatever the input.
void RoundEnds(TVxAxisScale& Scale, const TVxScaleContext& Context, double& Start, double& Stop);

/// Whether the ends count as unrounded (ticks then start at the first minor step inside).
bool EndsUnrounded(const TVxAxisScale& Scale, const TVxScaleContext& Context);
