#pragma once
// What an axis learns from the series that use it. A series implements this interface,
// registers with the axis (TVxAxis::AddRelatedSeries) when it takes the axis as its X or
// Y axis, and removes itself (RemoveRelatedSeries) when it takes another axis or is
// destroyed, so that the axis never holds a dangling source.

class TVxAxis;

/// A range of values along one axis; Start > Stop means: no values.
struct TVxValueRange {
    double Start = 1;
    double Stop = 0;
};

class TVxAxisRangeSource {
public:
    virtual ~TVxAxisRangeSource() = default;

    /// The series is shown; hidden series do not widen the range.
    virtual bool SeriesVisible() const = 0;
    /// The extent of the series' values along the axis: the X range for a horizontal axis,
    /// the Y range for a vertical one, after the series' value transformation.
    virtual TVxValueRange AxisValueRange(bool Horizontal) const = 0;
    /// The smallest positive value along the axis (same values as AxisValueRange), or a
    /// value <= 0 when there is none. Logarithmic axes ask on every rounding, so a source
    /// keeps it cached per data vector and recomputes it only after the data changed.
    virtual double SmallestPositiveValue(bool Horizontal) const = 0;
    /// The axis' data range was reset while this visible series is its only one: a series
    /// that computes its points over the axis range (a function series whose Y range is
    /// empty) recomputes them all.
    virtual void AxisRangeModifiedAlone(TVxAxis& Axis) { (void)Axis; }
};
