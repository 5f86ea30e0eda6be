#pragma once
// Date-time axes: the label patterns taken from the locale, the choice of the calendar
// partition, rounding to calendar units and the ticks. Ticks and rounding work in whole
// milliseconds on the continuous time line, so dates before 30 December 1899 step like
// any other.

#include "axes/AxisScale.h"
#include "axes/AxisTransform.h"

/// The default label patterns from the settings' short date, short time and long time
/// patterns.
TVxDateTimeFormats DefaultDateTimeFormats(const TVxFormatSettings& Settings);

/// Chooses DtParameters for Start .. Stop: the first row of the calendar ladder whose
/// labels do not crowd the control.
void ChooseDateTimeParts(TVxAxisScale& Scale, const TVxScaleContext& Context, double Start,
                         double Stop);

/// v rounded up or down to the minor (Increment) or major (MajorMod) step of the partition,
/// counted the way the ticks count positions.
double RoundDateTime(const TVxAxisScale& Scale, bool Up, bool Major, double v);

/// The ticks and labels of a date-time axis for its range.
void DateTimeTicks(const TVxAxisScale& Scale, const TVxScaleContext& Context,
                   const TVxAxisTransform& Transform, TVxTickList& Ticks);

/// The distance of two neighbouring major ticks in days (a lower bound for months).
double DateTimeMajorIncrement(const TVxDtParameters& Parameters);
/// The minor tick step in days (a lower bound for months and years).
double DateTimeMinorIncrement(const TVxDtParameters& Parameters);
