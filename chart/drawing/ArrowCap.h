#pragma once
// Geometry of arrow-head caps: the filled head at a line end and the shortened line.

#include "drawing/Pen.h"

#include <QPolygonF>
#include <span>
#include <vector>

/// The head polygon of Cap for a line ending at Tip and arriving from From, scaled by Width
/// (a width of 0 counts as 1): (h, -l), (0, 0), (-h, -l), (0, -i), (h, -l) in cap coordinates.
/// Empty when From equals Tip.
QPolygonF ArrowHead(QPointF Tip, QPointF From, const TVxArrowCap& Cap, double Width);
/// Where the line ends under Cap: InnerLength * Width before Tip, towards From.
QPointF ArrowBase(QPointF Tip, QPointF From, const TVxArrowCap& Cap, double Width);

/// A polyline with its arrow heads.
struct TVxCappedLine {
    /// The line, its ends moved back to the heads' bases.
    std::vector<QPointF> Points;
    /// The heads to fill with the pen's colour or brush.
    std::vector<QPolygonF> Heads;
};

/// Applies the pen's custom start and end caps to the polyline through Points.
TVxCappedLine ApplyArrowCaps(std::span<const QPointF> Points, const TVxPen& Pen);
