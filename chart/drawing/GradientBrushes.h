#pragma once
// Factories of the gradient brushes used by the style settings.

#include "drawing/Brush.h"

/// A two-colour linear gradient over Rect at Angle degrees (clockwise, not scaled by the
/// rectangle's shape): First at the rectangle's corner furthest against the direction, Last at
/// the opposite corner.
TVxBrush LinearGradientBrush(const QRectF& Rect, TVxColor First, TVxColor Last, double Angle);
/// The three-colour linear brush of a view: over View enlarged to (X - 1, Y - 1, Width + 1,
/// Height + 1), First, Middle, Last at positions 0, Center and 1.
TVxBrush LinearThreeColorBrush(const QRectF& View, TVxColor First, TVxColor Middle, TVxColor Last,
                               double Center, double Angle);
/// A radial brush: a circle around View's corners, Rim at the rim, Half half way and Centre at
/// the point at fraction CenterFraction of View.
TVxBrush RadialBrush(const QRectF& View, QPointF CenterFraction, TVxColor Rim, TVxColor Half,
                     TVxColor Centre);
/// The radial brush over an ellipse of View's proportions (width and height times sqrt 2).
TVxBrush EllipticalBrush(const QRectF& View, QPointF CenterFraction, TVxColor Rim, TVxColor Half,
                         TVxColor Centre);
