#pragma once
// What a double vector tells the series that read it. A series implements this interface,
// registers itself with AddRelatedSeries when it is given a vector as X or Y data, and
// removes itself (RemoveRelatedSeries) when it is given another vector or is destroyed.

class TVxCustomDoubleVector;

class TVxVectorListener {
public:
    virtual ~TVxVectorListener() = default;

    /// The series' points are stale and must be recomputed.
    virtual void PointsModified() = 0;
    /// Lowers the count of values the series has taken in to Value when that is smaller.
    virtual void SetLastCount(int Value) = 0;
    /// The data extent is unknown again: recompute it and tell the axes.
    virtual void RangesModified() = 0;
    /// Markers snapped to data points are dropped (the vector was cleared).
    virtual void ClearLinkedMarkers() = 0;
    /// Markers snapped to data index Idx or later move up by one.
    virtual void ValueInsertedLinkedMarkers(int Idx) = 0;
    /// Markers snapped to data index Idx are dropped; later ones move down by one.
    virtual void DeleteLinkedMarkers(int Idx) = 0;
    /// The series' Y vector, to which only the linked-marker messages go.
    virtual const TVxCustomDoubleVector* YData() const = 0;

    /// The change message: a value was stored. A plain series recomputes its points; a
    /// series computed from the whole data (a function series) recomputes from scratch.
    virtual void VectorChanged() { PointsModified(); }
    /// The reset message: statistics were reset or values replaced wholesale.
    virtual void VectorReset() { SetLastCount(0); }
};
