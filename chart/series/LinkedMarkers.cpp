#include "series/LinkedMarkers.h"

#include "series/Series.h"

#include <algorithm>
#include <utility>

namespace {

// The chart runs on the UI thread only; the list is small (one entry per snapped marker).
std::vector<std::pair<const TVxSeries*, TVxLinkedMarker*>>& Links() {
    static std::vector<std::pair<const TVxSeries*, TVxLinkedMarker*>> links;
    return links;
}

bool IsLinked(const TVxSeries* Series, const TVxLinkedMarker* Marker) {
    const auto& links = Links();
    return std::any_of(links.begin(), links.end(),
                       [&](const auto& l) { return l.first == Series && l.second == Marker; });
}

} // namespace

void VxLinkMarker(const TVxSeries* Series, TVxLinkedMarker* Marker) {
    if (!Marker || IsLinked(Series, Marker))
        return;
    VxUnlinkMarker(Marker);
    if (Series)
        Links().emplace_back(Series, Marker);
}

void VxUnlinkMarker(const TVxLinkedMarker* Marker) {
    auto& links = Links();
    links.erase(std::remove_if(links.begin(), links.end(),
                               [&](const auto& l) { return l.second == Marker; }),
                links.end());
}

std::vector<TVxLinkedMarker*> VxLinkedMarkersOf(const TVxSeries* Series) {
    std::vector<TVxLinkedMarker*> markers;
    for (const auto& l : Links())
        if (l.first == Series)
            markers.push_back(l.second);
    return markers;
}

void VxUnlinkSeries(const TVxSeries* Series) {
    auto& links = Links();
    links.erase(std::remove_if(links.begin(), links.end(),
                               [&](const auto& l) { return l.first == Series; }),
                links.end());
}

void VxClearLinkedMarkers(const TVxSeries& Series) {
    // Freeing may unlink (and so change the list): work on a copy, asking again each time.
    for (TVxLinkedMarker* m : VxLinkedMarkersOf(&Series))
        if (IsLinked(&Series, m) && m->LinkedIndex() >= 0) {
            VxUnlinkMarker(m);
            m->FreeFromSeries();
        }
}

void VxDeleteLinkedMarkers(const TVxSeries& Series, int Idx) {
    for (TVxLinkedMarker* m : VxLinkedMarkersOf(&Series)) {
        if (!IsLinked(&Series, m))
            continue;
        const int i = m->LinkedIndex();
        if (i == Idx) {
            VxUnlinkMarker(m);
            m->FreeFromSeries();
        } else if (i > Idx) {
            m->SetLinkedIndex(i - 1);
        }
    }
}

void VxValueInsertedLinkedMarkers(const TVxSeries& Series, int Idx) {
    for (TVxLinkedMarker* m : VxLinkedMarkersOf(&Series))
        if (IsLinked(&Series, m) && m->LinkedIndex() >= Idx)
            m->SetLinkedIndex(m->LinkedIndex() + 1);
}

void VxUpdateLinkedMarkers(TVxSeries& Series) {
    const int count = Series.Count();
    for (TVxLinkedMarker* m : VxLinkedMarkersOf(&Series)) {
        if (!IsLinked(&Series, m))
            continue;
        const int i = m->LinkedIndex();
        if (i < 0)
            continue;
        if (i >= count || !Series.HasValuesAt(i))
            m->HideOnSeries();
        else
            m->PlaceOnSeries(Series, i);
    }
}
