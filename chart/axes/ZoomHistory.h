#pragma once
// The zoom history of an axis: the ranges it was zoomed to, entry 0 being the unzoomed
// range, and the index of the one shown.

#include <cstddef>
#include <vector>

class TVxZoomHistory {
public:
    /// A history exists (the axis has been zoomed).
    bool CanZoomBack() const { return !FStarts.empty(); }
    /// The index of the entry shown.
    int ZoomStage() const { return FIndex; }
    /// The number of entries.
    int ZoomBufferSize() const { return int(FStarts.size()); }
    /// Entry i (0 <= i < ZoomBufferSize).
    double StartAt(int i) const { return FStarts[std::size_t(i)]; }
    double StopAt(int i) const { return FStops[std::size_t(i)]; }
    /// All starts and stops, for persistence.
    const std::vector<double>& Starts() const { return FStarts; }
    const std::vector<double>& Stops() const { return FStops; }

    /// Records a zoom from Current to the new range: the current range becomes entry 0
    /// when the history is empty, later entries are dropped, the new range is appended.
    void ZoomIn(double CurrentStart, double CurrentStop, double NewStart, double NewStop);
    /// Steps back (wrapping to the last entry); false without a history.
    bool ZoomBack(double& Start, double& Stop);
    /// Steps forward (wrapping to entry 0); false without a history.
    bool RedoZoom(double& Start, double& Stop);
    /// Shows entry Stage; false when there is no such entry.
    bool ZoomToStage(int Stage, double& Start, double& Stop);
    /// Forgets the history.
    void Clear();
    /// Replaces the history (restoring a saved chart); false, leaving it empty, for lists
    /// of different lengths or an index outside them.
    bool Assign(std::vector<double> AStarts, std::vector<double> AStops, int Index);

private:
    std::vector<double> FStarts;
    std::vector<double> FStops;
    int FIndex = 0;
};
