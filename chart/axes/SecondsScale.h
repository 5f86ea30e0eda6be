#pragma once
// Seconds axes: values are second counts, labelled as durations. The partition counts in
// days, hours, minutes or seconds, with candidate steps that suit clocks (15, 30, 60).

#include "axes/AxisScale.h"
#include "axes/AxisTransform.h"

/// Chooses SecParameters, RangeExponent and the three parts for Start .. Stop. Returns at
/// once for a range that is not positive and finite.
void ChooseSecondsParts(TVxAxisScale& Scale, const TVxScaleContext& Context, double Start,
                        double Stop);

/// v (seconds) rounded up or down to Part * 10^Exponent units of the region of Scale;
/// 0 for a region other than Day, Hour, Minute and Second.
double RoundSeconds(const TVxAxisScale& Scale, int Exponent, bool Up, double Part, double v);

/// Seconds per unit of the partition's region (86400, 3600, 60 or 1).
double SecondsPerRegion(TVxDtRegion Region);

/// The ticks and labels of a seconds axis. Unrounded tells that the ends are not on ticks.
void SecondsTicks(const TVxAxisScale& Scale, const TVxScaleContext& Context,
                  const TVxAxisTransform& Transform, bool Unrounded, TVxTickList& Ticks);
