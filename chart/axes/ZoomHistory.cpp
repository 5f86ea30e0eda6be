#include "ZoomHistory.h"

#include <utility>

void TVxZoomHistory::ZoomIn(double CurrentStart, double CurrentStop, double NewStart,
                            double NewStop) {
    if (FStarts.empty()) {
        FStarts.push_back(CurrentStart);
        FStops.push_back(CurrentStop);
        FIndex = 0;
    }
    ++FIndex;
    FStarts.resize(std::size_t(FIndex));
    FStops.resize(std::size_t(FIndex));
    FStarts.push_back(NewStart);
    FStops.push_back(NewStop);
}

bool TVxZoomHistory::ZoomBack(double& Start, double& Stop) {
    if (FStarts.empty())
        return false;
    FIndex = FIndex > 0 ? FIndex - 1 : ZoomBufferSize() - 1;
    Start = StartAt(FIndex);
    Stop = StopAt(FIndex);
    return true;
}

bool TVxZoomHistory::RedoZoom(double& Start, double& Stop) {
    if (FStarts.empty())
        return false;
    FIndex = FIndex + 1 < ZoomBufferSize() ? FIndex + 1 : 0;
    Start = StartAt(FIndex);
    Stop = StopAt(FIndex);
    return true;
}

bool TVxZoomHistory::ZoomToStage(int Stage, double& Start, double& Stop) {
    if (Stage < 0 || Stage >= ZoomBufferSize())
        return false;
    FIndex = Stage;
    Start = StartAt(FIndex);
    Stop = StopAt(FIndex);
    return true;
}

void TVxZoomHistory::Clear() {
    FStarts.clear();
    FStops.clear();
    FIndex = 0;
}

bool TVxZoomHistory::Assign(std::vector<double> AStarts, std::vector<double> AStops, int Index) {
    Clear();
    if (AStarts.size() != AStops.size() ||
        (!AStarts.empty() && (Index < 0 || Index >= int(AStarts.size()))))
        return false;
    FStarts = std::move(AStarts);
    FStops = std::move(AStops);
    FIndex = FStarts.empty() ? 0 : Index;
    return true;
}
