#pragma once
// The chart library's data column: a growable array of doubles with running statistics
// (extremes, their indices, sums, ascending order), outlier marks and change notification
// of the series that read it.

#include "util/Component.h"
#include "vectors/MinMaxPyramid.h"
#include "vectors/PlainArrays.h"

#include <memory>
#include <span>
#include <unordered_set>
#include <vector>

class TVxVectorListener;

class TVxCustomDoubleVector : public TVxComponent {
    Q_OBJECT
    Q_PROPERTY(int Capacity READ GetCapacity WRITE SetCapacity)
    Q_PROPERTY(int Increment READ GetIncrement WRITE SetIncrement)

public:
    /// An empty vector: increment 128, capacity 128, initial statistics.
    explicit TVxCustomDoubleVector(QObject* AOwner = nullptr);
    ~TVxCustomDoubleVector() override;

    // Statistics and values; every statistic first folds values not yet seen.
    virtual int GetCount() const;
    /// Folds the values from the statistics mark to the end into the statistics.
    virtual void UpdateStatistics();
    virtual double GetMinimum();
    virtual double GetMaximum();
    virtual double GetMinimumIncludingOutliers();
    virtual double GetMaximumIncludingOutliers();
    virtual int GetMinimumIdx();
    virtual int GetMaximumIdx();
    virtual int GetMinimumIdxIncludingOutliers();
    virtual int GetMaximumIdxIncludingOutliers();
    /// Every non-outlier value is greater than the non-outlier value before it.
    virtual bool GetOnlyAscending();
    virtual double GetSum();
    virtual double GetSumIncludingOutliers();
    /// The value at i; i outside 0..count-1 raises "i=%d index out of range".
    virtual double GetValue(int i) const;
    /// Stores x at i, growing the vector to i+1 values (a gap reads as zero).
    virtual void SetValue(int i, double x);
    /// Values exist that the statistics have not folded in yet.
    virtual bool IsChanged() const;
    /// The stored values (count elements).
    std::span<const double> ValueData() const { return {FArray.data(), size_t(FCount)}; }
    /// Range minima and maxima of the stored values (outliers included, NaN ignored), built
    /// on first use and brought up to date here; valid until the vector next changes.
    const TVxMinMaxPyramid& MinMax() const;

    /// Appends x; returns the new count.
    int Add(double x);
    /// Inserts x before Idx (Idx = count appends); returns the new count.
    int Insert(int Idx, double x);
    /// Removes the value at Idx; an index outside the count does nothing.
    void Delete(int Idx, bool WithLinkedMarkers = true);
    /// Removes every value and outlier mark; the capacity is kept.
    void Clear(bool WithLinkedMarkers = true);

    int GetCapacity() const { return FCapacity; }
    /// Takes effect only when v exceeds the count and differs from the capacity.
    void SetCapacity(int v);
    int GetIncrement() const { return FIncrement; }
    /// Takes effect only for v >= 128.
    void SetIncrement(int v);

    // Outlier marks: indices excluded from the non-outlier statistics.
    bool IsOutlier(int Idx) const;
    void AddOutlier(int Idx);
    void RemoveOutlier(int Idx);
    void SetOutlier(int Idx, bool Value);
    /// Removes every outlier mark (the name is the library's own).
    void ClearOutlieres();
    /// The outlier indices in the order they were marked.
    const TVxIntegerVector& Outliers() const { return FOutliers; }
    bool AnyOutliers() const { return FAnyOutliers; }

    /// Registers a series to be told of changes (once; registration order is kept).
    void AddRelatedSeries(TVxVectorListener* Series);
    /// Unregisters a series.
    void RemoveRelatedSeries(TVxVectorListener* Series);
    /// The registered series, in registration order.
    const std::vector<TVxVectorListener*>& RelatedSeries() const { return FRelatedSeries; }

    /// Walks the values: MoveNext advances and says whether it did; Current is the value.
    class TVxCustomDoubleVectorEnum {
    public:
        explicit TVxCustomDoubleVectorEnum(const TVxCustomDoubleVector* Vector) : FVector(Vector) {}
        bool MoveNext();
        double Current() const { return FVector->GetValue(FIndex); }

    private:
        int FIndex = -1;
        const TVxCustomDoubleVector* FVector;
    };
    TVxCustomDoubleVectorEnum GetEnumerator() const { return TVxCustomDoubleVectorEnum(this); }

protected:
    /// Back to the initial statistics; the next query refolds every value.
    void ResetStatistics();
    /// Tells every series that a value was stored.
    void SendChangeMessage();
    /// Tells every series that the statistics were reset or values replaced.
    void SendResetMessage();
    /// Lengthens to n values (gap zeroed), growing the capacity by the increment.
    void GrowTo(int n);
    /// Replaces all values at once (count = capacity = Values.size()), then reset.
    void AdoptValues(std::vector<double>&& Values);
    /// Appends a block of values, then reset.
    template <typename T> void AppendBlock(const T* Values, int N);
    /// Sets the count directly (loading): storage grows, no message.
    void SetCountDirect(int n);
    /// Sets the count to n for a load that writes every one of the n values itself: the
    /// storage grows, but slots it already has are not zeroed first. A load that stops early
    /// sets FCount to the values it wrote. Returns the writable values.
    double* LoadStorage(int n);
    /// Writable values; the range summary is rebuilt at its next use.
    double* Storage() {
        ValuesChangedFrom(0);
        return FArray.data();
    }
    /// Values from Idx on changed or went: the range summary is right only below Idx.
    void ValuesChangedFrom(int Idx) {
        if (FMinMax)
            FMinMax->Invalidate(Idx);
    }
    /// Loading helpers: change the outlier marks without a reset or a message.
    void ClearOutlieresQuietly();
    void MarkOutlierQuietly(int Idx);

    int FCount = 0;
    int FCapacity = 128;
    int FIncrement = 128;
    int FLastCount = 0;
    int FMinimumIdx = -1;
    int FMaximumIdx = -1;
    int FMinimumIncludingOutliersIdx = -1;
    int FMaximumIncludingOutliersIdx = -1;
    double FMinimum = 0;
    double FMaximum = 0;
    double FMinimumIncludingOutliers = 0;
    double FMaximumIncludingOutliers = 0;
    double FSum = 0;
    double FSumIncludingOutliers = 0;
    bool FOnlyAscending = true;
    bool FAnyOutliers = false;

private:
    void FoldFrom(int Start);
    bool IsExtremeIdx(int i) const;
    bool FoldedChangeKeepsStatistics(int i, double OldValue, double NewValue) const;
    void OutliersChanged();

    std::vector<double> FArray;
    TVxIntegerVector FOutliers;
    std::unordered_set<int> FOutlierSet;               // mirrors FOutliers for O(1) lookups
    mutable std::unique_ptr<TVxMinMaxPyramid> FMinMax; // created by the first MinMax()
    std::vector<TVxVectorListener*> FRelatedSeries;
};

template <typename T> void TVxCustomDoubleVector::AppendBlock(const T* Values, int N) {
    if (N <= 0)
        return;
    const int start = FCount;
    GrowTo(FCount + N);
    ValuesChangedFrom(start);
    for (int k = 0; k < N; ++k)
        FArray[size_t(start + k)] = static_cast<double>(Values[k]);
    ResetStatistics();
    SendResetMessage();
}
