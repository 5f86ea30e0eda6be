#include "drawing/ArrowCap.h"

#include <cmath>

namespace {

double CapScale(double Width) {
    return Width > 0 ? Width : 1.0;
}

// Unit vector from From to Tip, or nothing for a point.
bool Direction(QPointF Tip, QPointF From, QPointF& Unit) {
    const QPointF d = Tip - From;
    const double length = std::hypot(d.x(), d.y());
    if (!(length > 0))
        return false;
    Unit = d / length;
    return true;
}

// The index of the nearest point before Index (searching by Step) that differs from it.
std::ptrdiff_t DistinctNeighbour(std::span<const QPointF> Points, std::ptrdiff_t Index,
                                 std::ptrdiff_t Step) {
    for (std::ptrdiff_t i = Index + Step; i >= 0 && i < std::ssize(Points); i += Step)
        if (Points[static_cast<std::size_t>(i)] != Points[static_cast<std::size_t>(Index)])
            return i;
    return -1;
}

} // namespace

QPolygonF ArrowHead(QPointF Tip, QPointF From, const TVxArrowCap& Cap, double Width) {
    QPointF along;
    if (!Direction(Tip, From, along))
        return {};
    const double s = CapScale(Width);
    const QPointF across(-along.y(), along.x());
    const auto map = [&](double X, double Y) { return Tip + across * (X * s) + along * (Y * s); };
    const double h = Cap.PointHeight;
    const double l = Cap.PointLength;
    return QPolygonF({map(h, -l), map(0, 0), map(-h, -l), map(0, -Cap.InnerLength), map(h, -l)});
}

QPointF ArrowBase(QPointF Tip, QPointF From, const TVxArrowCap& Cap, double Width) {
    QPointF along;
    if (!Direction(Tip, From, along))
        return Tip;
    return Tip - along * (Cap.InnerLength * CapScale(Width));
}

TVxCappedLine ApplyArrowCaps(std::span<const QPointF> Points, const TVxPen& Pen) {
    TVxCappedLine result{{Points.begin(), Points.end()}, {}};
    if (Points.size() < 2)
        return result;
    const std::ptrdiff_t last = std::ssize(Points) - 1;
    if (Pen.CustomStartCap) {
        const std::ptrdiff_t next = DistinctNeighbour(Points, 0, +1);
        if (next >= 0) {
            const QPointF from = Points[static_cast<std::size_t>(next)];
            result.Heads.push_back(ArrowHead(Points[0], from, *Pen.CustomStartCap, Pen.Width));
            result.Points[0] = ArrowBase(Points[0], from, *Pen.CustomStartCap, Pen.Width);
        }
    }
    if (Pen.CustomEndCap) {
        const std::ptrdiff_t previous = DistinctNeighbour(Points, last, -1);
        if (previous >= 0) {
            const QPointF tip = Points[static_cast<std::size_t>(last)];
            const QPointF from = Points[static_cast<std::size_t>(previous)];
            result.Heads.push_back(ArrowHead(tip, from, *Pen.CustomEndCap, Pen.Width));
            result.Points[static_cast<std::size_t>(last)] =
                ArrowBase(tip, from, *Pen.CustomEndCap, Pen.Width);
        }
    }
    return result;
}
