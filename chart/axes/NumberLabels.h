#pragma once
// Number labels of an axis: the label extent estimate used by the automatic partitions,
// the label format (decimals and a common exponent) and the label texts.

#include "axes/AxisScale.h"

#include <QString>

/// The estimated extent of a label along the axis: 1.6 font sizes per character wide,
/// 2.5 font sizes high, rotated by the label angle. GetScaleLabel may change Text first.
double LabelExtent(const TVxAxisScale& Scale, const TVxScaleContext& Context, QString Text,
                   double Value);

/// Sets MaxExponent, DisplayDigits and AdditionalExponent for the range Start .. Stop
/// (the Format of a Seconds axis), and keeps the parts above 1e-5.
void PrepareNumberFormat(TVxAxisScale& Scale, double Start, double Stop);

/// The label text of v in the format PrepareNumberFormat chose (never "-0").
QString FormatNumberLabel(const TVxAxisScale& Scale, double v, const TVxFormatSettings& Settings);

/// The label text of a logarithmic axis: the general number text (Log) or "10" and the
/// exponent, raised when Raised (LogEE; "10\+3" in caption markup).
QString LogLabelText(const TVxAxisScale& Scale, double v, const TVxFormatSettings& Settings,
                     bool Raised);
