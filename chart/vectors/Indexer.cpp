#include "vectors/Indexer.h"

#include <algorithm>

TVxIndexer::TVxIndexer(QObject* AOwner) : TVxCustomDoubleVector(AOwner) {}

TVxIndexer::~TVxIndexer() {
    BeginDestruction();
}

void TVxIndexer::SetRefVector(TVxCustomDoubleVector* Vector) {
    if (Vector == FRefVector)
        return;
    if (FRefVector != nullptr)
        RemoveFreeNotification(FRefVector);
    FRefVector = Vector;
    if (FRefVector != nullptr)
        FreeNotification(FRefVector);
}

void TVxIndexer::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    if (Operation == TVxOperation::opRemove && AComponent == FRefVector)
        FRefVector = nullptr;
    TVxCustomDoubleVector::Notification(AComponent, Operation);
}

int TVxIndexer::GetCount() const {
    return FRefVector != nullptr ? FRefVector->GetCount() : 0;
}

bool TVxIndexer::IsChanged() const {
    return FRefVector != nullptr && FRefVector->IsChanged();
}

double TVxIndexer::GetValue(int i) const {
    return FRefVector != nullptr ? i : 0;
}

void TVxIndexer::SetValue(int /*i*/, double /*x*/) {
    throw EVxException("TVxIndexer is not supposed to set values!");
}

double TVxIndexer::GetMinimum() {
    FLastCount = GetCount();
    return 0;
}

double TVxIndexer::GetMaximum() {
    FLastCount = GetCount();
    return std::max(GetCount() - 1, 0);
}

double TVxIndexer::GetMinimumIncludingOutliers() {
    return GetMinimum();
}
double TVxIndexer::GetMaximumIncludingOutliers() {
    return GetMaximum();
}

int TVxIndexer::GetMinimumIdx() {
    return GetCount() > 0 ? 0 : -1;
}
int TVxIndexer::GetMaximumIdx() {
    return GetCount() > 0 ? GetCount() - 1 : -1;
}
int TVxIndexer::GetMinimumIdxIncludingOutliers() {
    return GetMinimumIdx();
}
int TVxIndexer::GetMaximumIdxIncludingOutliers() {
    return GetMaximumIdx();
}

bool TVxIndexer::GetOnlyAscending() {
    return true;
}

// The sum 0 + 1 + ... + (count-1), in double so that long vectors cannot overflow.
double TVxIndexer::GetSum() {
    const double count = GetCount();
    return count > 0 ? (count - 1) / 2 * count : 0.0;
}

double TVxIndexer::GetSumIncludingOutliers() {
    return GetSum();
}
