#pragma once
// The automatic tick partition of Normal and logarithmic axes: the label, major and minor
// steps, chosen so that labels estimated from their text length do not crowd the axis.

#include "axes/AxisScale.h"

/// Chooses LabelPart, MajorTickPart, TickPart and RangeExponent of a linear axis from the
/// candidate table: the first candidate, coarse to fine, whose comfortable layout (70
/// pixels between labels) no longer fits the control. Returns at once, changing nothing,
/// for a range that is not positive and finite.
void ChooseLinearTickParts(TVxAxisScale& Scale, const TVxScaleContext& Context, double Start,
                           double Stop);

/// Chooses the parts of a logarithmic axis, in decades: the smallest label step whose
/// labels (30 pixels apart) fit, or one label at most. Returns at once for ends that are
/// not positive and finite with Start < Stop.
void ChooseLogTickParts(TVxAxisScale& Scale, const TVxScaleContext& Context, double Start,
                        double Stop);
