#include "vectors/CustomDoubleVector.h"

#include "persistence/LargeBuffer.h"
#include "vectors/VectorListener.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// Two stored values are the same when equal or both not-a-number.
bool SameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

TVxCustomDoubleVector::TVxCustomDoubleVector(QObject* AOwner) : TVxComponent(AOwner) {
    ResetStatistics();
}

TVxCustomDoubleVector::~TVxCustomDoubleVector() {
    BeginDestruction();
}

int TVxCustomDoubleVector::GetCount() const {
    return FCount;
}

bool TVxCustomDoubleVector::IsChanged() const {
    return FLastCount < FCount;
}

void TVxCustomDoubleVector::ResetStatistics() {
    FLastCount = 0;
    FMinimum = FMinimumIncludingOutliers = DBL_MAX;
    FMaximum = FMaximumIncludingOutliers = -DBL_MAX;
    FMinimumIdx = FMaximumIdx = -1;
    FMinimumIncludingOutliersIdx = FMaximumIncludingOutliersIdx = -1;
    FSum = FSumIncludingOutliers = 0;
    FOnlyAscending = true;
}

void TVxCustomDoubleVector::UpdateStatistics() {
    if (FLastCount < FCount)
        FoldFrom(FLastCount);
    FLastCount = FCount;
}

// One pass serves vectors with and without outliers: without outliers the non-outlier
// statistics and the including-outliers ones come out equal. Not-a-number values take no
// part in extremes and sums and break the ascending order. Ties keep the first index.
void TVxCustomDoubleVector::FoldFrom(int Start) {
    bool hasPrevious = false;
    double previous = 0;
    for (int j = Start - 1; j >= 0; --j) {
        if (!IsOutlier(j)) {
            hasPrevious = true;
            previous = FArray[size_t(j)];
            break;
        }
    }
    for (int i = Start; i < FCount; ++i) {
        const double v = FArray[size_t(i)];
        const bool outlier = IsOutlier(i);
        if (std::isnan(v)) {
            if (!outlier) {
                FOnlyAscending = false;
                hasPrevious = true;
                previous = v;
            }
            continue;
        }
        if (v < FMinimumIncludingOutliers) {
            FMinimumIncludingOutliers = v;
            FMinimumIncludingOutliersIdx = i;
        }
        if (v > FMaximumIncludingOutliers) {
            FMaximumIncludingOutliers = v;
            FMaximumIncludingOutliersIdx = i;
        }
        FSumIncludingOutliers += v;
        if (outlier)
            continue;
        if (v < FMinimum) {
            FMinimum = v;
            FMinimumIdx = i;
        }
        if (v > FMaximum) {
            FMaximum = v;
            FMaximumIdx = i;
        }
        if (hasPrevious)
            FOnlyAscending = FOnlyAscending && v > previous;
        hasPrevious = true;
        previous = v;
        FSum += v;
    }
}

double TVxCustomDoubleVector::GetMinimum() {
    UpdateStatistics();
    return FMinimum;
}
double TVxCustomDoubleVector::GetMaximum() {
    UpdateStatistics();
    return FMaximum;
}
double TVxCustomDoubleVector::GetMinimumIncludingOutliers() {
    UpdateStatistics();
    return FMinimumIncludingOutliers;
}
double TVxCustomDoubleVector::GetMaximumIncludingOutliers() {
    UpdateStatistics();
    return FMaximumIncludingOutliers;
}
int TVxCustomDoubleVector::GetMinimumIdx() {
    UpdateStatistics();
    return FMinimumIdx;
}
int TVxCustomDoubleVector::GetMaximumIdx() {
    UpdateStatistics();
    return FMaximumIdx;
}
int TVxCustomDoubleVector::GetMinimumIdxIncludingOutliers() {
    UpdateStatistics();
    return FMinimumIncludingOutliersIdx;
}
int TVxCustomDoubleVector::GetMaximumIdxIncludingOutliers() {
    UpdateStatistics();
    return FMaximumIncludingOutliersIdx;
}
bool TVxCustomDoubleVector::GetOnlyAscending() {
    UpdateStatistics();
    return FOnlyAscending;
}
double TVxCustomDoubleVector::GetSum() {
    UpdateStatistics();
    return FSum;
}
double TVxCustomDoubleVector::GetSumIncludingOutliers() {
    UpdateStatistics();
    return FSumIncludingOutliers;
}

const TVxMinMaxPyramid& TVxCustomDoubleVector::MinMax() const {
    if (!FMinMax)
        FMinMax = std::make_unique<TVxMinMaxPyramid>();
    FMinMax->Update(ValueData());
    return *FMinMax;
}

double TVxCustomDoubleVector::GetValue(int i) const {
    if (i < 0 || i >= FCount)
        throw EVxRangeError::ForIndex(i);
    return FArray[size_t(i)];
}

// Capacity is the documented logical figure (grown by the increment); the real storage
// holds only the slots in use and grows geometrically, so appending stays amortised O(1)
// and a capacity read from a file allocates nothing.
void TVxCustomDoubleVector::GrowTo(int n) {
    FCapacity = GrownCapacity(FCapacity, FIncrement, n);
    if (n <= FCount)
        return;
    ValuesChangedFrom(FCount);
    // Slots past the count may hold values of before a Clear or Delete: zero those; the
    // slots the storage gains are zeroed by the resize itself (each byte once).
    const size_t stale = std::min(FArray.size(), size_t(n));
    std::fill(FArray.begin() + FCount, FArray.begin() + ptrdiff_t(stale), 0.0);
    if (size_t(n) > FArray.size())
        FArray.resize(size_t(n));
    FCount = n;
}

void TVxCustomDoubleVector::SetCountDirect(int n) {
    GrowTo(n);
}

double* TVxCustomDoubleVector::LoadStorage(int n) {
    FCapacity = GrownCapacity(FCapacity, FIncrement, n);
    if (size_t(n) > FArray.size()) {
        if (size_t(n) > FArray.capacity()) {
            // Many megabytes are faulted in a huge page at a time where the system offers it.
            FArray.reserve(size_t(n));
            AdviseLargeRoom(FArray.data(), FArray.capacity() * sizeof(double));
        }
        FArray.resize(size_t(n));
    }
    FCount = std::max(n, 0);
    return Storage();
}

bool TVxCustomDoubleVector::IsExtremeIdx(int i) const {
    return i == FMinimumIdx || i == FMaximumIdx || i == FMinimumIncludingOutliersIdx ||
           i == FMaximumIncludingOutliersIdx;
}

// A folded value may change in place only when that provably leaves extremes, their
// indices and the ascending flag right; otherwise the statistics are refolded.
bool TVxCustomDoubleVector::FoldedChangeKeepsStatistics(int i, double OldValue,
                                                        double NewValue) const {
    if (FAnyOutliers || !std::isfinite(OldValue) || !std::isfinite(NewValue) || IsExtremeIdx(i))
        return false;
    if (!(NewValue > FMinimum && NewValue < FMaximum))
        return false;
    // An order that was broken may be mended by this change: only a refold can tell.
    return FOnlyAscending;
}

void TVxCustomDoubleVector::SetValue(int i, double x) {
    if (i < 0)
        throw EVxRangeError::ForIndex(i);
    GrowTo(i + 1);
    ValuesChangedFrom(i);
    double& slot = FArray[size_t(i)];
    if (i >= FLastCount) {
        slot = x;
        SendChangeMessage();
        return;
    }
    const double old = slot;
    if (SameValue(old, x))
        return;
    if (i == FMinimumIncludingOutliersIdx || i == FMaximumIncludingOutliersIdx) {
        slot = x;
        ResetStatistics();
        SendResetMessage();
        return;
    }
    if (FoldedChangeKeepsStatistics(i, old, x)) {
        FSumIncludingOutliers += x - old;
        FSum = FSumIncludingOutliers;
        const bool afterPrevious = i == 0 || x > FArray[size_t(i - 1)];
        const bool beforeNext = i + 1 >= FLastCount || x < FArray[size_t(i + 1)];
        FOnlyAscending = afterPrevious && beforeNext;
        slot = x;
    } else {
        slot = x;
        ResetStatistics();
    }
    SendChangeMessage();
}

int TVxCustomDoubleVector::Add(double x) {
    SetValue(FCount, x);
    return FCount;
}

int TVxCustomDoubleVector::Insert(int Idx, double x) {
    if (Idx < 0 || Idx > FCount)
        throw EVxRangeError::ForIndex(Idx);
    if (Idx == FCount)
        return Add(x);

    if (FAnyOutliers) {
        for (int k = 0; k < FOutliers.GetCount(); ++k)
            if (FOutliers.GetValue(k) >= Idx)
                FOutliers.SetValue(k, FOutliers.GetValue(k) + 1);
        OutliersChanged();
    }
    GrowTo(FCount + 1);
    ValuesChangedFrom(Idx);
    std::copy_backward(FArray.begin() + Idx, FArray.begin() + FCount - 1, FArray.begin() + FCount);
    FArray[size_t(Idx)] = x;
    // Every folded value from Idx on moved: refold rather than patch indices.
    if (Idx < FLastCount)
        ResetStatistics();
    SendChangeMessage();
    for (TVxVectorListener* series : std::vector(FRelatedSeries))
        if (series->YData() == this)
            series->ValueInsertedLinkedMarkers(Idx);
    return FCount;
}

void TVxCustomDoubleVector::Delete(int Idx, bool WithLinkedMarkers) {
    if (Idx < 0 || Idx >= FCount)
        return;
    if (FAnyOutliers) {
        for (int k = FOutliers.GetCount() - 1; k >= 0; --k) {
            const int marked = FOutliers.GetValue(k);
            if (marked == Idx)
                FOutliers.Delete(k);
            else if (marked > Idx)
                FOutliers.SetValue(k, marked - 1);
        }
        OutliersChanged();
    }
    std::copy(FArray.begin() + Idx + 1, FArray.begin() + FCount, FArray.begin() + Idx);
    ValuesChangedFrom(Idx);
    if (WithLinkedMarkers)
        for (TVxVectorListener* series : std::vector(FRelatedSeries))
            if (series->YData() == this)
                series->DeleteLinkedMarkers(Idx);
    --FCount;
    if (Idx < FLastCount)
        ResetStatistics();
    SendResetMessage();
}

void TVxCustomDoubleVector::Clear(bool WithLinkedMarkers) {
    FCount = 0;
    ValuesChangedFrom(0);
    FOutliers.Clear();
    OutliersChanged();
    ResetStatistics();
    for (TVxVectorListener* series : std::vector(FRelatedSeries)) {
        if (WithLinkedMarkers && series->YData() == this)
            series->ClearLinkedMarkers();
        series->RangesModified();
    }
}

void TVxCustomDoubleVector::SetCapacity(int v) {
    if (v > FCount && v != FCapacity) {
        FCapacity = v;
        if (size_t(v) < FArray.size())
            FArray.resize(size_t(v));
    }
}

void TVxCustomDoubleVector::SetIncrement(int v) {
    if (v >= 128)
        FIncrement = v;
}

bool TVxCustomDoubleVector::IsOutlier(int Idx) const {
    return FAnyOutliers && FOutlierSet.contains(Idx);
}

void TVxCustomDoubleVector::AddOutlier(int Idx) {
    if (IsOutlier(Idx))
        return;
    MarkOutlierQuietly(Idx);
    ResetStatistics();
    SendResetMessage();
}

void TVxCustomDoubleVector::RemoveOutlier(int Idx) {
    if (!IsOutlier(Idx))
        return;
    for (int k = 0; k < FOutliers.GetCount(); ++k) {
        if (FOutliers.GetValue(k) == Idx) {
            FOutliers.Delete(k);
            break;
        }
    }
    FOutlierSet.erase(Idx);
    FAnyOutliers = FOutliers.GetCount() > 0;
    ResetStatistics();
    SendResetMessage();
}

void TVxCustomDoubleVector::SetOutlier(int Idx, bool Value) {
    if (Value)
        AddOutlier(Idx);
    else
        RemoveOutlier(Idx);
}

void TVxCustomDoubleVector::ClearOutlieres() {
    if (!FAnyOutliers)
        return;
    FOutliers.Clear();
    OutliersChanged();
    ResetStatistics();
    SendResetMessage();
}

void TVxCustomDoubleVector::ClearOutlieresQuietly() {
    FOutliers.Clear();
    OutliersChanged();
}

void TVxCustomDoubleVector::MarkOutlierQuietly(int Idx) {
    if (IsOutlier(Idx))
        return;
    FOutliers.Add(Idx);
    FOutlierSet.insert(Idx);
    FAnyOutliers = true;
}

void TVxCustomDoubleVector::OutliersChanged() {
    FOutlierSet.clear();
    for (int k = 0; k < FOutliers.GetCount(); ++k)
        FOutlierSet.insert(FOutliers.GetValue(k));
    FAnyOutliers = FOutliers.GetCount() > 0;
}

void TVxCustomDoubleVector::AddRelatedSeries(TVxVectorListener* Series) {
    if (Series != nullptr &&
        std::find(FRelatedSeries.begin(), FRelatedSeries.end(), Series) == FRelatedSeries.end())
        FRelatedSeries.push_back(Series);
}

void TVxCustomDoubleVector::RemoveRelatedSeries(TVxVectorListener* Series) {
    std::erase(FRelatedSeries, Series);
}

// Messages go to a copy of the list: a series may unregister while it is being told.
void TVxCustomDoubleVector::SendChangeMessage() {
    for (TVxVectorListener* series : std::vector(FRelatedSeries))
        series->VectorChanged();
}

void TVxCustomDoubleVector::SendResetMessage() {
    for (TVxVectorListener* series : std::vector(FRelatedSeries))
        series->VectorReset();
}

void TVxCustomDoubleVector::AdoptValues(std::vector<double>&& Values) {
    const size_t n = std::min<size_t>(Values.size(), INT32_MAX);
    FArray = std::move(Values);
    FArray.resize(n);
    FCount = FCapacity = int(n);
    ValuesChangedFrom(0);
    ResetStatistics();
    SendResetMessage();
}

bool TVxCustomDoubleVector::TVxCustomDoubleVectorEnum::MoveNext() {
    if (FIndex >= FVector->GetCount() - 1)
        return false;
    ++FIndex;
    return true;
}
