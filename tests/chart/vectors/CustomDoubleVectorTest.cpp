#include "vectors/DoubleVector.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <set>

namespace {

// Every statistic, computed from scratch by brute force.
struct Expected {
    double Minimum = DBL_MAX, Maximum = -DBL_MAX;
    double MinimumIncl = DBL_MAX, MaximumIncl = -DBL_MAX;
    int MinimumIdx = -1, MaximumIdx = -1, MinimumInclIdx = -1, MaximumInclIdx = -1;
    double Sum = 0, SumIncl = 0;
    bool OnlyAscending = true;
};

Expected BruteForce(const std::vector<double>& values, const std::set<int>& outliers) {
    Expected e;
    bool havePrevious = false;
    double previous = 0;
    for (int i = 0; i < int(values.size()); ++i) {
        const double v = values[size_t(i)];
        const bool outlier = outliers.contains(i);
        if (std::isnan(v)) {
            if (!outlier)
                e.OnlyAscending = false;
            continue;
        }
        if (v < e.MinimumIncl) {
            e.MinimumIncl = v;
            e.MinimumInclIdx = i;
        }
        if (v > e.MaximumIncl) {
            e.MaximumIncl = v;
            e.MaximumInclIdx = i;
        }
        e.SumIncl += v;
        if (outlier)
            continue;
        if (v < e.Minimum) {
            e.Minimum = v;
            e.MinimumIdx = i;
        }
        if (v > e.Maximum) {
            e.Maximum = v;
            e.MaximumIdx = i;
        }
        if (havePrevious && !(v > previous))
            e.OnlyAscending = false;
        havePrevious = true;
        previous = v;
        e.Sum += v;
    }
    return e;
}

void ExpectStatistics(TVxCustomDoubleVector& v, const Expected& e) {
    EXPECT_EQ(v.GetMinimum(), e.Minimum);
    EXPECT_EQ(v.GetMaximum(), e.Maximum);
    EXPECT_EQ(v.GetMinimumIncludingOutliers(), e.MinimumIncl);
    EXPECT_EQ(v.GetMaximumIncludingOutliers(), e.MaximumIncl);
    EXPECT_EQ(v.GetMinimumIdx(), e.MinimumIdx);
    EXPECT_EQ(v.GetMaximumIdx(), e.MaximumIdx);
    EXPECT_EQ(v.GetMinimumIdxIncludingOutliers(), e.MinimumInclIdx);
    EXPECT_EQ(v.GetMaximumIdxIncludingOutliers(), e.MaximumInclIdx);
    EXPECT_NEAR(v.GetSum(), e.Sum, 1e-9 * (1 + std::fabs(e.Sum)));
    EXPECT_NEAR(v.GetSumIncludingOutliers(), e.SumIncl, 1e-9 * (1 + std::fabs(e.SumIncl)));
    EXPECT_EQ(v.GetOnlyAscending(), e.OnlyAscending);
}

std::vector<double> ValuesOf(const TVxCustomDoubleVector& v) {
    std::vector<double> values;
    for (int i = 0; i < v.GetCount(); ++i)
        values.push_back(v.GetValue(i));
    return values;
}

} // namespace

TEST(DoubleVectorTest, NewVectorHasInitialState) {
    TVxDoubleVector v;
    EXPECT_EQ(v.GetCount(), 0);
    EXPECT_EQ(v.GetCapacity(), 128);
    EXPECT_EQ(v.GetIncrement(), 128);
    EXPECT_FALSE(v.IsChanged());
    ExpectStatistics(v, Expected{});
    EXPECT_EQ(std::bit_cast<uint64_t>(v.GetMinimum()), 0x7FEFFFFFFFFFFFFFu);
    EXPECT_EQ(std::bit_cast<uint64_t>(v.GetMaximum()), 0xFFEFFFFFFFFFFFFFu);
}

TEST(DoubleVectorTest, CapacityGrowsByIncrementAndSettersFilter) {
    TVxDoubleVector v;
    for (int i = 0; i < 128; ++i)
        v.Add(i);
    EXPECT_EQ(v.GetCapacity(), 256); // count 128 reaches the capacity: it grows
    v.SetIncrement(100);
    EXPECT_EQ(v.GetIncrement(), 128);
    v.SetIncrement(1000);
    v.SetValue(300, 1);
    EXPECT_EQ(v.GetCapacity(), 1256);
    v.SetCapacity(301); // not above the count
    EXPECT_EQ(v.GetCapacity(), 1256);
    v.SetCapacity(400); // shrinks: above the count
    EXPECT_EQ(v.GetCapacity(), 400);
    EXPECT_EQ(v.GetValue(300), 1);
}

TEST(DoubleVectorTest, StatisticsOfSmallVectors) {
    TVxDoubleVector v;
    for (double x : {3.0, 1.0, 2.0})
        v.Add(x);
    EXPECT_TRUE(v.IsChanged());
    EXPECT_EQ(v.GetMinimum(), 1);
    EXPECT_EQ(v.GetMinimumIdx(), 1);
    EXPECT_EQ(v.GetMaximum(), 3);
    EXPECT_EQ(v.GetMaximumIdx(), 0);
    EXPECT_EQ(v.GetSum(), 6);
    EXPECT_FALSE(v.GetOnlyAscending());
    EXPECT_FALSE(v.IsChanged());

    v.AddOutlier(0);
    EXPECT_EQ(v.GetMaximum(), 2);
    EXPECT_EQ(v.GetMaximumIdx(), 2);
    EXPECT_EQ(v.GetMaximumIncludingOutliers(), 3);
    EXPECT_EQ(v.GetMaximumIdxIncludingOutliers(), 0);
    EXPECT_EQ(v.GetSum(), 3);
    EXPECT_EQ(v.GetSumIncludingOutliers(), 6);
    EXPECT_TRUE(v.GetOnlyAscending()); // (1, 2) without the outlier

    TVxDoubleVector equal;
    equal.Add(1);
    equal.Add(1);
    EXPECT_FALSE(equal.GetOnlyAscending());
    EXPECT_EQ(equal.GetMinimumIdx(), 0); // ties keep the first index
    EXPECT_EQ(equal.GetMaximumIdx(), 0);
}

TEST(DoubleVectorTest, NotANumberTakesNoPartInStatistics) {
    TVxDoubleVector v;
    for (double x : {double(NAN), 1.0, 5.0, double(NAN), 2.0})
        v.Add(x);
    EXPECT_EQ(v.GetMinimum(), 1);
    EXPECT_EQ(v.GetMaximum(), 5);
    EXPECT_EQ(v.GetMaximumIdx(), 2);
    EXPECT_EQ(v.GetSum(), 8);
    EXPECT_FALSE(v.GetOnlyAscending());

    TVxDoubleVector leading;
    leading.Add(NAN);
    leading.Add(1);
    EXPECT_FALSE(leading.GetOnlyAscending());
}

TEST(DoubleVectorTest, IndicesOutsideTheCount) {
    TVxDoubleVector v;
    v.SetValue(5, 7);
    EXPECT_EQ(v.GetCount(), 6);
    try {
        v.GetValue(6);
        FAIL() << "no range error";
    } catch (const EVxRangeError& e) {
        EXPECT_STREQ(e.what(), "i=6 index out of range");
    }
    try {
        v.GetValue(-1);
        FAIL() << "no range error";
    } catch (const EVxRangeError& e) {
        EXPECT_STREQ(e.what(), "i=-1 index out of range");
    }
    EXPECT_THROW(v.SetValue(-2, 1), EVxRangeError);
    EXPECT_THROW(v.Insert(-1, 1), EVxRangeError);
    EXPECT_THROW(v.Insert(7, 1), EVxRangeError);
    EXPECT_EQ(v.Insert(6, 9), 7); // Insert at the count appends
    EXPECT_EQ(v.GetValue(6), 9);
    v.Delete(7);
    v.Delete(-1);
    EXPECT_EQ(v.GetCount(), 7);
}

TEST(DoubleVectorTest, GapsReadAsZeroAfterClearAndDelete) {
    TVxDoubleVector v;
    for (double x : {1.0, 2.0, 3.0, 4.0})
        v.Add(x);
    v.Clear();
    EXPECT_EQ(v.GetCapacity(), 128);
    v.SetValue(3, 9);
    EXPECT_EQ(ValuesOf(v), (std::vector<double>{0, 0, 0, 9}));
    v.Delete(3);
    v.Delete(2);
    v.SetValue(3, 8);
    EXPECT_EQ(ValuesOf(v), (std::vector<double>{0, 0, 0, 8}));
}

TEST(DoubleVectorTest, ClearResetsEverything) {
    TVxDoubleVector v;
    for (double x : {3.0, 1.0, 2.0})
        v.Add(x);
    v.AddOutlier(1);
    v.GetSum();
    v.Clear();
    EXPECT_EQ(v.GetCount(), 0);
    EXPECT_FALSE(v.AnyOutliers());
    EXPECT_EQ(v.Outliers().GetCount(), 0);
    ExpectStatistics(v, Expected{});
}

TEST(DoubleVectorTest, StatisticsRightAfterMiddleChanges) {
    TVxDoubleVector v;
    for (double x : {1.0, 2.0, 3.0})
        v.Add(x);
    v.GetMaximum();
    v.Delete(1);
    v.Add(100);
    EXPECT_EQ(v.GetMaximum(), 100);
    EXPECT_EQ(v.GetMaximumIdx(), 2);

    TVxDoubleVector w;
    for (double x : {1.0, 2.0, 3.0, 4.0})
        w.Add(x);
    w.GetSum();
    w.SetValue(1, 3.5); // breaks the order without touching an extreme
    EXPECT_FALSE(w.GetOnlyAscending());
    w.SetValue(1, 2.5); // mends it again
    EXPECT_TRUE(w.GetOnlyAscending());
    EXPECT_EQ(w.GetSum(), 10.5);
    w.Insert(1, -5);
    EXPECT_EQ(w.GetMinimum(), -5);
    EXPECT_EQ(w.GetMinimumIdx(), 1);
    EXPECT_EQ(w.GetMaximumIdx(), 4);
}

// Random operations against a brute-force model: after every step every statistic must
// equal the one computed from scratch.
TEST(DoubleVectorTest, RandomOperationsKeepStatisticsRight) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> op(0, 9);
    std::uniform_real_distribution<double> value(-100, 100);
    TVxDoubleVector v;
    std::vector<double> model;
    std::set<int> outliers;
    for (int step = 0; step < 3000; ++step) {
        const int n = int(model.size());
        const int idx = n > 0 ? std::uniform_int_distribution<int>(0, n - 1)(rng) : 0;
        double x = value(rng);
        if (step % 97 == 0)
            x = NAN;
        switch (op(rng)) {
        case 0:
        case 1:
        case 2:
            v.Add(x);
            model.push_back(x);
            break;
        case 3:
            if (n > 0) {
                v.SetValue(idx, x);
                model[size_t(idx)] = x;
            }
            break;
        case 4:
            if (n > 0) {
                // A value between neighbours: the cheap in-place path.
                const double lo = idx > 0 ? model[size_t(idx - 1)] : -200;
                const double hi = idx + 1 < n ? model[size_t(idx + 1)] : 200;
                v.SetValue(idx, (lo + hi) / 2);
                model[size_t(idx)] = (lo + hi) / 2;
            }
            break;
        case 5:
            v.Insert(idx, x);
            model.insert(model.begin() + std::min(idx, n), x);
            {
                std::set<int> shifted;
                for (int o : outliers)
                    shifted.insert(o >= idx && n > 0 ? o + 1 : o);
                outliers = shifted;
            }
            break;
        case 6:
            if (n > 0) {
                v.Delete(idx);
                model.erase(model.begin() + idx);
                std::set<int> shifted;
                for (int o : outliers)
                    if (o != idx)
                        shifted.insert(o > idx ? o - 1 : o);
                outliers = shifted;
            }
            break;
        case 7:
            if (n > 0 && step % 5 == 0) {
                v.SetOutlier(idx, !outliers.contains(idx));
                if (!outliers.erase(idx))
                    outliers.insert(idx);
            }
            break;
        default:
            break; // only the query below
        }
        if (step % 3 == 0) {
            ASSERT_EQ(ValuesOf(v).size(), model.size());
            SCOPED_TRACE("step " + std::to_string(step));
            ExpectStatistics(v, BruteForce(model, outliers));
            if (HasFailure())
                return;
        }
    }
}

TEST(DoubleVectorTest, DeleteMovesOutlierMarks) {
    TVxDoubleVector v;
    for (double x : {10.0, 20.0, 30.0, 40.0})
        v.Add(x);
    v.AddOutlier(3);
    v.AddOutlier(1);
    v.Delete(1);
    ASSERT_EQ(v.Outliers().GetCount(), 1);
    EXPECT_EQ(v.Outliers().GetValue(0), 2);
    EXPECT_TRUE(v.IsOutlier(2));
    v.Insert(0, 5);
    EXPECT_TRUE(v.IsOutlier(3));
    EXPECT_FALSE(v.IsOutlier(2));
    v.ClearOutlieres();
    EXPECT_FALSE(v.AnyOutliers());
}

TEST(DoubleVectorTest, BulkLoading) {
    TVxDoubleVector v;
    v.Add(1);
    const std::vector<float> singles{23.4f, 2.5f};
    v.AddRange(std::span<const float>(singles));
    const std::vector<int32_t> integers{-3};
    v.AddRange(std::span<const int32_t>(integers));
    EXPECT_EQ(ValuesOf(v), (std::vector<double>{1, double(23.4f), 2.5, -3}));
    EXPECT_EQ(v.GetMaximum(), double(23.4f));

    v.SetInternalArray({4, 5, 6, 7, 8});
    EXPECT_EQ(v.GetCount(), 5);
    EXPECT_EQ(v.GetCapacity(), 5);
    EXPECT_EQ(v.GetSum(), 30);
    v.Add(9);
    EXPECT_EQ(v.GetCapacity(), 133);
    EXPECT_EQ(v.InternalArray().size(), 6u);
}

TEST(DoubleVectorTest, EnumeratorWalksAllValues) {
    TVxDoubleVector v;
    for (double x : {1.5, -2.0})
        v.Add(x);
    auto e = v.GetEnumerator();
    std::vector<double> seen;
    while (e.MoveNext())
        seen.push_back(e.Current());
    EXPECT_EQ(seen, (std::vector<double>{1.5, -2.0}));
    EXPECT_FALSE(e.MoveNext());
}
