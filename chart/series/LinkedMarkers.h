#pragma once
// Markers snapped to the data of a series. A marker that snaps links itself to the series;
// the series keeps its linked markers on their data when the data change: inserting shifts
// their indices, deleting or clearing frees the markers on the removed values, and every
// recalculation places them on their values again. Placement records no undo step.

#include <vector>

class TVxSeries;

/// What a series needs of a marker snapped to it.
class TVxLinkedMarker {
public:
    virtual ~TVxLinkedMarker() = default;
    /// The data index the marker is snapped to (-1 for none).
    virtual int LinkedIndex() const = 0;
    /// Moves the marker to another data index (no undo step).
    virtual void SetLinkedIndex(int Idx) = 0;
    /// Shows the marker and places it on the value at Idx of Series (no undo step).
    virtual void PlaceOnSeries(TVxSeries& Series, int Idx) = 0;
    /// Hides the marker: its index has no values now.
    virtual void HideOnSeries() = 0;
    /// The value the marker sits on was removed: the marker goes (hidden at once, freed
    /// later, so that a caller up the stack never touches a freed marker).
    virtual void FreeFromSeries() = 0;
};

/// Links Marker to Series (once); a marker is linked to one series at most.
void VxLinkMarker(const TVxSeries* Series, TVxLinkedMarker* Marker);
/// Unlinks Marker from its series (nothing when it is not linked).
void VxUnlinkMarker(const TVxLinkedMarker* Marker);
/// The markers linked to Series, in the order they were linked.
std::vector<TVxLinkedMarker*> VxLinkedMarkersOf(const TVxSeries* Series);
/// Unlinks every marker of Series (the series is going away).
void VxUnlinkSeries(const TVxSeries* Series);

/// The series' values were cleared: frees every linked marker with an index >= 0.
void VxClearLinkedMarkers(const TVxSeries& Series);
/// The value at Idx was deleted: frees the markers on Idx and lowers the higher indices.
void VxDeleteLinkedMarkers(const TVxSeries& Series, int Idx);
/// A value was inserted at Idx: raises every index >= Idx.
void VxValueInsertedLinkedMarkers(const TVxSeries& Series, int Idx);
/// Places each linked marker on its value, or hides it when its index has no values.
void VxUpdateLinkedMarkers(TVxSeries& Series);
