#pragma once
// Where an axis puts its texts and how much room it takes: label placement (also
// slanted), the common exponent, the caption, the axis thickness across its line and the
// overhangs of its end labels along it. Pure geometry on the axis' last tick calculation
// and its look, whose rich caption records hold the measured sizes.

#include "axes/AxisLook.h"

#include <QSizeF>

/// How far an axis' texts reach beyond the ends of its line, in whole pixels.
struct TVxAxisOverhangs {
    /// Horizontal axes: left and right end; vertical axes: bottom and top end.
    double Low = 0;
    double High = 0;
};

/// The line the labels are anchored on, from the axis line and the look.
double LabelLine(const TVxAxis& Axis, const TVxAxisLook& Look);

/// The common exponent in caption markup: a middle dot, "10" and Exponent raised.
QString ExponentCaption(int Exponent);

/// Places the labels of the last tick calculation, the common exponent and the caption into
/// Look.Placement, each with its measured record (labels and exponent from
/// Look.TextRecord, the caption from Look.CaptionRecord).
void PlaceAxisTexts(const TVxAxis& Axis, TVxAxisLook& Look);

/// The caption's extent across the axis: 0 without a visible, non-empty caption.
double CaptionThickness(const TVxAxis& Axis, const TVxAxisLook& Look);

/// The axis' extent across its line (before rounding up).
double AxisThickness(const TVxAxis& Axis, const TVxAxisLook& Look);

/// The overhangs of the first and last labels and of the arrow point, rounded up; 0 for an
/// invisible axis or one without labels (the arrow point still counts when visible).
TVxAxisOverhangs AxisOverhangs(const TVxAxis& Axis, const TVxAxisLook& Look);
