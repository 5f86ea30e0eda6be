#include "series/ColumnReduction.h"

#include "vectors/DoubleVector.h"
#include "vectors/Indexer.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <map>
#include <random>
#include <set>

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(PixelMappingTest, MapsLikeAnAxis) {
    struct Case {
        const char* Name;
        TVxPixelMapping Mapping;
        double Value;
        double Pixel;
    };
    const TVxPixelMapping rising(10, 20, 100, 300);
    const TVxPixelMapping twisted(10, 20, 300, 100);
    const TVxPixelMapping vertical(0, 50, 199, 0);
    const TVxPixelMapping log(1, 1000, 0, 300, true);
    const Case cases[] = {
        {"middle", rising, 15, 200},
        {"start", rising, 10, 100},
        {"stop", rising, 20, 300},
        {"beyond the stop", rising, 25, 400},
        {"far beyond: sentinel", rising, 1e9, 100 + 100000},
        {"far before: sentinel", rising, -1e9, 100 - 100000},
        {"NaN: sentinel before the start", rising, NaN, 100 - 100000},
        {"twisted middle", twisted, 12, 260},
        {"twisted far beyond", twisted, 1e9, 300 - 100000},
        {"vertical", vertical, 25, 99.5},
        {"decade", log, 10, 100},
        {"two decades", log, 100, 200},
        {"log of zero: 100 before the start", log, 0, -100},
        {"log of a negative", log, -5, -100},
        {"log of NaN", log, NaN, -100},
        {"tiny positive", log, 1e-300, -30000},
        {"single precision", TVxPixelMapping(0, 3, 0, 1), 1, double(1.0f / 3.0f)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Mapping.ToPixel(c.Value), c.Pixel) << c.Name;
    EXPECT_DOUBLE_EQ(rising.ToValue(250), 17.5);
    EXPECT_DOUBLE_EQ(twisted.ToValue(250), 12.5);
    EXPECT_DOUBLE_EQ(log.ToValue(150), std::pow(10.0, 1.5));
}

// ---------------------------------------------------------------------------------------
// Brute-force references, written from the definitions without the reduction's searches.

struct TDataSet {
    std::vector<double> X, Y;
    std::vector<int> Hidden;
};

bool IsDrawn(const TDataSet& d, int i) {
    return !std::isnan(d.X[size_t(i)]) && !std::isnan(d.Y[size_t(i)]) &&
           !std::binary_search(d.Hidden.begin(), d.Hidden.end(), i);
}

int CellOf(double Pixel, int Resolution) {
    return int(std::floor(Pixel * Resolution));
}

// The checks every ascending reduction must pass: points are data points in index order;
// only the nearest drawn point outside each end of the visible range joins the visible ones;
// every column keeps its first and last point and reaches its lowest and highest value.
void CheckAscendingLine(const TDataSet& d, const TVxReductionView& view,
                        const TVxColumnReduction& reduction) {
    const int n = int(std::min(d.X.size(), d.Y.size()));
    const double lowX = std::min(view.X.Start(), view.X.Stop());
    const double highX = std::max(view.X.Start(), view.X.Stop());
    int before = -1, after = -1;
    std::map<int, std::vector<int>> columns; // column -> drawn visible indices
    for (int i = 0; i < n; ++i) {
        if (!IsDrawn(d, i))
            continue;
        const double x = d.X[size_t(i)];
        if (x < lowX)
            before = i;
        else if (x > highX && after < 0)
            after = i;
        else if (x >= lowX && x <= highX)
            columns[CellOf(view.X.ToPixel(x), view.Resolution)].push_back(i);
    }
    const std::span<const int> out = reduction.LineIndices();
    const std::span<const QPointF> points = reduction.LinePoints();
    ASSERT_EQ(out.size(), points.size());
    for (size_t k = 0; k < out.size(); ++k) {
        const int i = out[k];
        ASSERT_TRUE(i >= 0 && i < n && IsDrawn(d, i)) << "index " << i;
        if (k > 0) {
            ASSERT_LT(out[k - 1], i);
        }
        EXPECT_EQ(points[k].x(), view.X.ToPixel(d.X[size_t(i)]));
        EXPECT_EQ(points[k].y(), view.Y.ToPixel(d.Y[size_t(i)]));
    }
    std::set<int> kept(out.begin(), out.end());
    size_t expectedInside = 0;
    for (const auto& [column, members] : columns) {
        SCOPED_TRACE(testing::Message() << "column " << column);
        double lo = INFINITY, hi = -INFINITY;
        for (int i : members) {
            lo = std::min(lo, d.Y[size_t(i)]);
            hi = std::max(hi, d.Y[size_t(i)]);
        }
        EXPECT_TRUE(kept.contains(members.front()));
        EXPECT_TRUE(kept.contains(members.back()));
        bool reachesLow = false, reachesHigh = false;
        size_t inColumn = 0;
        for (int i : members)
            if (kept.contains(i)) {
                ++inColumn;
                reachesLow = reachesLow || d.Y[size_t(i)] == lo;
                reachesHigh = reachesHigh || d.Y[size_t(i)] == hi;
            }
        EXPECT_TRUE(reachesLow);
        EXPECT_TRUE(reachesHigh);
        EXPECT_LE(inColumn, 4u);
        expectedInside += inColumn;
    }
    const size_t edges = (before >= 0 ? 1 : 0) + (after >= 0 ? 1 : 0);
    ASSERT_EQ(out.size(), expectedInside + edges) << "points outside the visible range";
    if (before >= 0) {
        EXPECT_EQ(out.front(), before);
    }
    if (after >= 0) {
        EXPECT_EQ(out.back(), after);
    }
}

// Runs of consecutive drawn points in one column, each giving first, lowest, highest and
// last point (by pixel, first of equals) in index order.
std::vector<int> AnyOrderReference(const TDataSet& d, const TVxReductionView& view) {
    std::vector<int> result;
    const int n = int(std::min(d.X.size(), d.Y.size()));
    std::vector<int> run;
    auto flush = [&] {
        if (run.empty())
            return;
        int lo = run[0], hi = run[0];
        for (int i : run) {
            if (view.Y.ToPixel(d.Y[size_t(i)]) < view.Y.ToPixel(d.Y[size_t(lo)]))
                lo = i;
            if (view.Y.ToPixel(d.Y[size_t(i)]) > view.Y.ToPixel(d.Y[size_t(hi)]))
                hi = i;
        }
        std::set<int> picks = {run.front(), lo, hi, run.back()};
        result.insert(result.end(), picks.begin(), picks.end());
        run.clear();
    };
    int runColumn = 0;
    for (int i = 0; i < n; ++i) {
        if (!IsDrawn(d, i))
            continue;
        const int column = CellOf(view.X.ToPixel(d.X[size_t(i)]), view.Resolution);
        if (!run.empty() && column != runColumn)
            flush();
        runColumn = column;
        run.push_back(i);
    }
    flush();
    return result;
}

// The first drawn point of every cell inside the widened area, in index order.
std::vector<int> SymbolReference(const TDataSet& d, const TVxReductionView& view) {
    const double m = view.SymbolMargin;
    const double left = std::min(view.X.PixelStart(), view.X.PixelStop()) - m;
    const double right = std::max(view.X.PixelStart(), view.X.PixelStop()) + m;
    const double top = std::min(view.Y.PixelStart(), view.Y.PixelStop()) - m;
    const double bottom = std::max(view.Y.PixelStart(), view.Y.PixelStop()) + m;
    const int r = view.Resolution;
    std::set<std::pair<int, int>> seen;
    std::vector<int> result;
    for (int i = 0; i < int(std::min(d.X.size(), d.Y.size())); ++i) {
        if (!IsDrawn(d, i))
            continue;
        const int cx = CellOf(view.X.ToPixel(d.X[size_t(i)]), r);
        const int cy = CellOf(view.Y.ToPixel(d.Y[size_t(i)]), r);
        if (cx < CellOf(left, r) || cx > CellOf(right, r) || cy < CellOf(top, r) ||
            cy > CellOf(bottom, r))
            continue;
        if (seen.insert({cx, cy}).second)
            result.push_back(i);
    }
    return result;
}

std::vector<int> ToVector(std::span<const int> s) {
    return {s.begin(), s.end()};
}

// ---------------------------------------------------------------------------------------
// Random data: ascending X with uneven steps (or shuffled), noisy Y with spikes, and
// optionally hidden indices (whose X may be anything) and NaN values.

struct TShape {
    int Count;
    bool Ascending;
    double HiddenShare;
    double NaNShare;
};

TDataSet MakeData(const TShape& shape, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> unit(0, 1);
    TDataSet d;
    double x = 0.5;
    for (int i = 0; i < shape.Count; ++i) {
        x += unit(rng) < 0.01 ? 50 * unit(rng) : unit(rng) + 1e-3;
        d.X.push_back(x);
        double y = 20 + 5 * std::sin(i * 0.001) + 4 * unit(rng) - 2;
        if (unit(rng) < 0.001)
            y += 100 * (unit(rng) - 0.5);
        if (unit(rng) < 0.3)
            y = std::round(y); // ties
        d.Y.push_back(y);
    }
    if (!shape.Ascending)
        std::shuffle(d.X.begin(), d.X.end(), rng);
    for (int i = 0; i < shape.Count; ++i) {
        if (unit(rng) < shape.HiddenShare) {
            d.Hidden.push_back(i);
            d.X[size_t(i)] = unit(rng) < 0.5 ? 1e6 * unit(rng) : -1e6 * unit(rng);
        } else if (unit(rng) < shape.NaNShare) {
            d.Y[size_t(i)] = NaN;
        }
    }
    return d;
}

enum class TMapKind { Rising, Twisted, Logarithmic };

TVxReductionView MakeView(const TDataSet& d, TMapKind kind, bool logY, int resolution, double from,
                          double to) {
    // The visible X range: fractions from..to of the data's span (may lie beyond it).
    double lo = INFINITY, hi = -INFINITY;
    for (size_t i = 0; i < d.X.size(); ++i)
        if (!std::binary_search(d.Hidden.begin(), d.Hidden.end(), int(i))) {
            lo = std::min(lo, d.X[i]);
            hi = std::max(hi, d.X[i]);
        }
    if (!(lo < hi)) {
        lo = 0;
        hi = 1;
    }
    const double start = lo + (hi - lo) * from, stop = lo + (hi - lo) * to;
    TVxReductionView view;
    switch (kind) {
    case TMapKind::Rising:
        view.X = TVxPixelMapping(start, stop, 40.5, 717.5);
        break;
    case TMapKind::Twisted:
        view.X = TVxPixelMapping(start, stop, 717.5, 40.5);
        break;
    case TMapKind::Logarithmic:
        view.X = TVxPixelMapping(std::max(start, 1.0), std::max(stop, 2.0), 40.5, 717.5, true);
        break;
    }
    view.Y = logY ? TVxPixelMapping(1, 100, 209, 10, true) : TVxPixelMapping(14, 26, 209, 10);
    view.Resolution = resolution;
    view.SymbolMargin = 6.5;
    return view;
}

struct TCase {
    const char* Name;
    TShape Shape;
    TMapKind Kind;
    bool LogY;
    int Resolution;
    double From, To;
};

const TCase Cases[] = {
    {"empty", {0, true, 0, 0}, TMapKind::Rising, false, 1, 0, 1},
    {"one point inside", {1, true, 0, 0}, TMapKind::Rising, false, 1, -1, 1},
    {"one point left of the range", {1, true, 0, 0}, TMapKind::Rising, false, 1, 2, 3},
    {"two points", {2, true, 0, 0}, TMapKind::Rising, false, 1, 0, 1},
    {"sparse: fewer points than columns",
     {300, true, 0.05, 0.05},
     TMapKind::Rising,
     false,
     1,
     0,
     1},
    {"dense, all visible", {200'000, true, 0, 0}, TMapKind::Rising, false, 1, 0, 1},
    {"dense, zoomed in", {200'000, true, 0, 0}, TMapKind::Rising, false, 1, 0.3, 0.31},
    {"dense, hidden and NaN", {200'000, true, 0.01, 0.01}, TMapKind::Rising, false, 1, 0.1, 0.9},
    {"dense, many hidden", {50'000, true, 0.3, 0.1}, TMapKind::Rising, false, 1, 0, 1},
    {"twisted axis", {200'000, true, 0.002, 0.002}, TMapKind::Twisted, false, 1, 0.2, 0.7},
    {"logarithmic X", {200'000, true, 0.002, 0}, TMapKind::Logarithmic, false, 1, 0.001, 1},
    {"logarithmic Y", {100'000, true, 0, 0}, TMapKind::Rising, true, 1, 0, 1},
    {"vector target: 4 columns per pixel",
     {200'000, true, 0.001, 0.001},
     TMapKind::Rising,
     false,
     4,
     0,
     1},
    {"range between two points", {100, true, 0, 0}, TMapKind::Rising, false, 1, 0.5001, 0.5002},
    {"range beyond the data", {1000, true, 0, 0}, TMapKind::Rising, false, 1, 1.5, 2},
    {"unsorted", {100'000, false, 0.01, 0.01}, TMapKind::Rising, false, 1, 0.2, 0.8},
    {"unsorted, twisted, vector target", {50'000, false, 0, 0}, TMapKind::Twisted, false, 4, 0, 1},
};

TEST(ColumnReductionTest, LineMatchesBruteForce) {
    std::mt19937_64 rng(20240613);
    TVxColumnReduction reduction; // reused: buffers must not leak from case to case
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.Name);
        const TDataSet d = MakeData(c.Shape, rng);
        const TVxReductionView view = MakeView(d, c.Kind, c.LogY, c.Resolution, c.From, c.To);
        TVxMinMaxPyramid pyramid;
        pyramid.Update(d.Y);
        for (bool withSummary : {true, false}) {
            TVxReductionData data{
                d.X, d.Y, false, c.Shape.Ascending, withSummary ? &pyramid : nullptr, d.Hidden};
            reduction.ReduceLine(data, view);
            if (c.Shape.Ascending)
                CheckAscendingLine(d, view, reduction);
            else
                EXPECT_EQ(ToVector(reduction.LineIndices()), AnyOrderReference(d, view));
        }
        // Any data may take the one-pass path; for ascending data it keeps the visible
        // reduction's shape and adds the points outside.
        reduction.ReduceLine({d.X, d.Y, false, false, nullptr, d.Hidden}, view);
        EXPECT_EQ(ToVector(reduction.LineIndices()), AnyOrderReference(d, view));
    }
}

TEST(ColumnReductionTest, DenseAscendingLineStaysWithinFourPointsPerColumn) {
    std::mt19937_64 rng(5);
    const TDataSet d = MakeData({400'000, true, 0, 0}, rng);
    const TVxReductionView view = MakeView(d, TMapKind::Rising, false, 1, 0, 1);
    TVxMinMaxPyramid pyramid;
    pyramid.Update(d.Y);
    TVxColumnReduction reduction;
    reduction.ReduceLine({d.X, d.Y, false, true, &pyramid, {}}, view);
    // 677 pixels plus the pixel the right end falls into, 4 points each at most.
    EXPECT_LE(reduction.LinePoints().size(), 678u * 4);
    EXPECT_GE(reduction.LinePoints().size(), 678u * 2);
}

TEST(ColumnReductionTest, SymbolsMatchBruteForce) {
    std::mt19937_64 rng(99);
    TVxColumnReduction reduction;
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.Name);
        const TDataSet d = MakeData(c.Shape, rng);
        const TVxReductionView view = MakeView(d, c.Kind, c.LogY, c.Resolution, c.From, c.To);
        const std::vector<int> expected = SymbolReference(d, view);
        TVxMinMaxPyramid pyramid;
        pyramid.Update(d.Y);
        // With a Y summary, ascending data skips blocks whose rows are all stamped.
        for (bool withSummary : {true, false}) {
            reduction.ReduceSymbols(
                {d.X, d.Y, false, c.Shape.Ascending, withSummary ? &pyramid : nullptr, d.Hidden},
                view);
            ASSERT_EQ(ToVector(reduction.SymbolIndices()), expected);
            for (size_t k = 0; k < expected.size(); ++k) {
                const int i = expected[k];
                EXPECT_EQ(reduction.SymbolPoints()[k].x(), view.X.ToPixel(d.X[size_t(i)]));
                EXPECT_EQ(reduction.SymbolPoints()[k].y(), view.Y.ToPixel(d.Y[size_t(i)]));
            }
        }
    }
}

TEST(ColumnReductionTest, SymbolsOfAHugeAreaAreStillDrawnOncePerPixel) {
    // An area far larger than any target (a bitmap would take gigabytes).
    TVxReductionView view;
    view.X = TVxPixelMapping(0, 1, -90000, 90000);
    view.Y = TVxPixelMapping(0, 1, 90000, -90000);
    const std::vector<double> x = {0.1, 0.1 + 1e-7, 0.50001, 0.9, 0.50001};
    const std::vector<double> y = {0.2, 0.2, 0.30001, 0.9, 0.30001 + 1e-7};
    TVxColumnReduction reduction;
    reduction.ReduceSymbols({x, y, false, false, nullptr, {}}, view);
    // 1e-7 of a value is 0.018 pixels: points 1 and 4 share a pixel with an earlier one.
    EXPECT_EQ(ToVector(reduction.SymbolIndices()), (std::vector<int>{0, 2, 3}));
}

// From the vectors: outliers of either vector are hidden unless shown; an indexer X counts
// as ascending; shown outliers of X make its order unknown.
TEST(ColumnReductionTest, DataFromVectors) {
    TVxDoubleVector x, y;
    for (int i = 0; i < 10'000; ++i) {
        x.Add(i * 0.5);
        y.Add(std::sin(i * 0.01));
    }
    x.SetValue(4000, -50); // out of order, but an outlier
    x.AddOutlier(4000);
    y.AddOutlier(7000);
    y.AddOutlier(4000);
    y.SetValue(7000, 1e6); // a hidden spike
    std::vector<int> hidden;

    TVxReductionData data = ReductionData(x, y, false, hidden);
    EXPECT_EQ(hidden, (std::vector<int>{4000, 7000}));
    EXPECT_TRUE(data.XAscending);
    EXPECT_EQ(data.YMinMax->Count(), 10'000);
    TVxReductionView view;
    view.X = TVxPixelMapping(0, 5000, 0, 677);
    view.Y = TVxPixelMapping(-1, 1, 199, 0);
    TVxColumnReduction reduction;
    reduction.ReduceLine(data, view);
    const TDataSet d{{x.ValueData().begin(), x.ValueData().end()},
                     {y.ValueData().begin(), y.ValueData().end()},
                     hidden};
    CheckAscendingLine(d, view, reduction);
    for (int i : reduction.LineIndices())
        EXPECT_TRUE(i != 7000 && i != 4000);

    data = ReductionData(x, y, true, hidden);
    EXPECT_TRUE(hidden.empty());
    EXPECT_FALSE(data.XAscending);
    reduction.ReduceLine(data, view);
    EXPECT_EQ(ToVector(reduction.LineIndices()), AnyOrderReference({d.X, d.Y, {}}, view));

    TVxIndexer indexer;
    indexer.SetRefVector(&y);
    data = ReductionData(indexer, y, true, hidden);
    EXPECT_TRUE(data.XIsIndex && data.XAscending);
    EXPECT_EQ(data.Count(), 10'000);
    EXPECT_EQ(data.XAt(1234), 1234);
}

TEST(ColumnReductionTest, AppendedPointIsSeenAtTheNextReduction) {
    TVxDoubleVector x, y;
    for (int i = 0; i < 100'000; ++i) {
        x.Add(i);
        y.Add(i % 2);
    }
    std::vector<int> hidden;
    TVxReductionView view;
    view.X = TVxPixelMapping(0, 100'000, 0, 677);
    view.Y = TVxPixelMapping(-10, 10, 199, 0);
    TVxColumnReduction reduction;
    reduction.ReduceLine(ReductionData(x, y, false, hidden), view);
    ASSERT_EQ(reduction.LineIndices().back(), 99'999);
    x.Add(100'000);
    y.Add(-7);
    reduction.ReduceLine(ReductionData(x, y, false, hidden), view);
    // The new point is the last of the last column, and that column's minimum.
    EXPECT_EQ(reduction.LineIndices().back(), 100'000);
    EXPECT_EQ(reduction.LinePoints().back().y(), view.Y.ToPixel(-7));
}

// A reduction extended step by step as data is appended (a few points at a time, many, a
// hidden one, with the view changing in between) holds what a fresh reduction of the same
// data holds, and its symbols are the brute-force ones.
TEST(ColumnReductionTest, ExtendingByAppendsMatchesAFreshReduction) {
    struct TStep {
        int Append;
        int ViewChange; // 0 none, 1 another X range, 2 another width in pixels
    };
    const TStep steps[] = {{1, 0}, {7, 0}, {1000, 0}, {1, 0},    {0, 1}, {7, 0}, {1, 0}, {1000, 2},
                           {1, 0}, {7, 0}, {0, 0},    {1000, 0}, {1, 0}, {7, 0}, {3, 0}};
    struct TExtendCase {
        const char* Name;
        TShape Shape;
        TMapKind Kind;
        int Resolution;
        double From, To; // of the whole data's span, so that appends land in view
    };
    const TExtendCase cases[] = {
        {"appends inside the range", {8000, true, 0, 0}, TMapKind::Rising, 1, 0, 1},
        {"hidden and NaN", {8000, true, 0.01, 0.02}, TMapKind::Rising, 1, 0, 1},
        {"range ending in the old data", {8000, true, 0, 0}, TMapKind::Rising, 1, 0.1, 0.3},
        {"range starting after the old data", {8000, true, 0, 0}, TMapKind::Rising, 1, 0.9, 1},
        {"twisted, vector target", {8000, true, 0.005, 0.005}, TMapKind::Twisted, 4, 0, 1},
        {"logarithmic X", {8000, true, 0, 0}, TMapKind::Logarithmic, 1, 0.001, 1},
    };
    std::mt19937_64 rng(77);
    for (const TExtendCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDataSet all = MakeData(c.Shape, rng);
        // Quantised values, as a logger's readings: several points share each row.
        for (double& y : all.Y)
            y = std::round(y * 10) / 10;
        TVxReductionView view = MakeView(all, c.Kind, false, c.Resolution, c.From, c.To);
        TVxMinMaxPyramid pyramid;
        TVxColumnReduction extended;
        int count = 3000;
        bool first = true;
        for (const TStep& step : steps) {
            const int oldCount = count;
            count += step.Append;
            SCOPED_TRACE(testing::Message() << "count " << count);
            if (step.ViewChange == 1)
                view.X = TVxPixelMapping(view.X.Start(), view.X.Stop() * 1.01, view.X.PixelStart(),
                                         view.X.PixelStop(), view.X.Logarithmic());
            else if (step.ViewChange == 2)
                view.X = TVxPixelMapping(view.X.Start(), view.X.Stop(), view.X.PixelStart(),
                                         view.X.PixelStop() + 13, view.X.Logarithmic());
            TDataSet d{
                {all.X.begin(), all.X.begin() + count}, {all.Y.begin(), all.Y.begin() + count}, {}};
            std::copy_if(all.Hidden.begin(), all.Hidden.end(), std::back_inserter(d.Hidden),
                         [count](int i) { return i < count; });
            pyramid.Update(std::span<const double>(all.Y).first(size_t(count)));
            const TVxReductionData data{d.X, d.Y, false, true, &pyramid, d.Hidden};
            if (first) {
                extended.ReduceLine(data, view);
                extended.ReduceSymbols(data, view);
                first = false;
            } else {
                extended.ExtendLine(data, view, oldCount);
                extended.ExtendSymbols(data, view, oldCount);
            }
            TVxColumnReduction fresh;
            fresh.ReduceLine(data, view);
            fresh.ReduceSymbols(data, view);
            ASSERT_EQ(ToVector(extended.LineIndices()), ToVector(fresh.LineIndices()));
            ASSERT_TRUE(std::ranges::equal(extended.LinePoints(), fresh.LinePoints()));
            CheckAscendingLine(d, view, extended);
            ASSERT_EQ(ToVector(extended.SymbolIndices()), SymbolReference(d, view));
            ASSERT_TRUE(std::ranges::equal(extended.SymbolPoints(), fresh.SymbolPoints()));
        }
    }
}

// An extension that does not continue the last reduction (another count, another kind of
// data) reduces from scratch.
TEST(ColumnReductionTest, ExtendingWhatWasNotReducedReducesFromScratch) {
    std::mt19937_64 rng(3);
    const TDataSet d = MakeData({5000, true, 0, 0}, rng);
    const TVxReductionView view = MakeView(d, TMapKind::Rising, false, 1, 0, 1);
    TVxMinMaxPyramid pyramid;
    pyramid.Update(d.Y);
    const TVxReductionData data{d.X, d.Y, false, true, &pyramid, {}};
    const std::vector<int> expected = SymbolReference(d, view);
    struct TCaseOld {
        const char* Name;
        int ReducedCount; // 0: nothing reduced before
        bool ReducedAscending;
        int OldCount;
    };
    const TCaseOld cases[] = {
        {"nothing reduced yet", 0, true, 4000},
        {"the old count is not the one reduced", 4000, true, 4500},
        {"the old count is larger than the data", 5000, true, 6000},
        {"the last reduction read unordered data", 4000, false, 4000},
    };
    for (const TCaseOld& c : cases) {
        SCOPED_TRACE(c.Name);
        TVxColumnReduction reduction;
        if (c.ReducedCount > 0) {
            // Another Y in the reduced prefix: only a reduction from scratch forgets it.
            std::vector<double> y(d.Y.begin(), d.Y.begin() + c.ReducedCount);
            std::ranges::reverse(y);
            const std::span<const double> x(d.X.data(), size_t(c.ReducedCount));
            reduction.ReduceLine({x, y, false, c.ReducedAscending, nullptr, {}}, view);
            reduction.ReduceSymbols({x, y, false, c.ReducedAscending, nullptr, {}}, view);
        }
        reduction.ExtendLine(data, view, c.OldCount);
        reduction.ExtendSymbols(data, view, c.OldCount);
        CheckAscendingLine(d, view, reduction);
        EXPECT_EQ(ToVector(reduction.SymbolIndices()), expected);
    }
}

} // namespace
