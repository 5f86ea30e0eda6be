#pragma once
// Conversion of the surface's pens and brushes to Qt's.

#include "drawing/Pen.h"

#include <QBrush>
#include <QColor>
#include <QPen>

/// The Qt colour of an ARGB colour.
inline QColor ToQColor(TVxColor Color) {
    return QColor::fromRgba(ColorArgb(Color));
}
/// The Qt brush of Brush. WorldToDevice is the painter's current transform: hatch patterns are
/// laid on the device's pixel grid whatever the transform.
QBrush ToQBrush(const TVxBrush& Brush, const QTransform& WorldToDevice);
/// The Qt pen of Pen: flat caps, miter joins and dash patterns in units of the width.
QPen ToQPen(const TVxPen& Pen, const QTransform& WorldToDevice);
