#pragma once
// Where an axis puts its texts and how much room it takes: label placement (also
// slanted), the common exponent, the caption, the axis thickness across its line and the
// overhangs of its end labels along it. Pure geometry on the axis' last tick calculation
// and its look; the measured sizes come from the host.

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

/// Places the labels of the last tick calculation, the common exponent (ExponentSize is
/// the measured size of ExponentText) and the caption (CaptionSize its unrotated measured
/// size) into Look.Placement.
void PlaceAxisTexts(const TVxAxis& Axis, TVxAxisLook& Look, QSizeF CaptionSize,
                    const QString& ExponentText, QSizeF ExponentSize);

/// The caption's extent across the axis: 0 without a visible, non-empty caption.
double CaptionThickness(const TVxAxis& Axis, const TVxAxisLook& Look);

/// The axis' extent across its line (before rounding up).
double AxisThickness(const TVxAxis& Axis, const TVxAxisLook& Look);

/// The overhangs of the first and last labels and of the arrow point, rounded up; 0 for an
/// invisible axis or one without labels (the arrow point still counts when visible).
TVxAxisOverhangs AxisOverhangs(const TVxAxis& Axis, const TVxAxisLook& Look);
