#pragma once
// A virtual vector whose value at i is i, as long as its reference vector. A series uses
// one in place of a missing X or Y vector.

#include "vectors/CustomDoubleVector.h"

#include <QPointer>

class TVxIndexer : public TVxCustomDoubleVector {
    Q_OBJECT

public:
    explicit TVxIndexer(QObject* AOwner = nullptr);
    ~TVxIndexer() override;

    /// The vector whose length the indexer mirrors (nullptr: length 0).
    TVxCustomDoubleVector* RefVector() const { return FRefVector; }
    void SetRefVector(TVxCustomDoubleVector* Vector);

    int GetCount() const override;
    double GetMinimum() override;
    double GetMaximum() override;
    double GetMinimumIncludingOutliers() override;
    double GetMaximumIncludingOutliers() override;
    int GetMinimumIdx() override;
    int GetMaximumIdx() override;
    int GetMinimumIdxIncludingOutliers() override;
    int GetMaximumIdxIncludingOutliers() override;
    bool GetOnlyAscending() override;
    double GetSum() override;
    double GetSumIncludingOutliers() override;
    /// i itself (no range check; 0 without a reference vector).
    double GetValue(int i) const override;
    /// Raises "TVxIndexer is not supposed to set values!".
    void SetValue(int i, double x) override;
    bool IsChanged() const override;

protected:
    void Notification(TVxComponent* AComponent, TVxOperation Operation) override;

private:
    TVxCustomDoubleVector* FRefVector = nullptr;
};
