#include "vectors/MinMaxPyramid.h"

#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// The extremes of [From, To) by a plain walk: first index of each extreme, NaN skipped.
TVxMinMaxResult BruteForce(const std::vector<double>& values, int From, int To) {
    TVxMinMaxResult r;
    for (int i = std::max(From, 0); i < std::min<int>(To, int(values.size())); ++i) {
        const double v = values[size_t(i)];
        if (std::isnan(v))
            continue;
        if (r.MinIdx < 0 || v < r.Min) {
            r.Min = v;
            r.MinIdx = i;
        }
        if (r.MaxIdx < 0 || v > r.Max) {
            r.Max = v;
            r.MaxIdx = i;
        }
    }
    return r;
}

void ExpectSame(const TVxMinMaxResult& expected, const TVxMinMaxResult& actual, int From, int To) {
    SCOPED_TRACE(testing::Message() << "range [" << From << ", " << To << ")");
    ASSERT_EQ(expected.MinIdx, actual.MinIdx);
    ASSERT_EQ(expected.MaxIdx, actual.MaxIdx);
    if (expected.Found()) {
        EXPECT_EQ(expected.Min, actual.Min);
        EXPECT_EQ(expected.Max, actual.Max);
    }
}

// Ranges of every scale: tiny, around block edges, whole levels, the whole array, beyond it.
void CheckRanges(const TVxCustomDoubleVector& vector, const std::vector<double>& mirror,
                 std::mt19937_64& rng) {
    ASSERT_EQ(vector.GetCount(), int(mirror.size()));
    const TVxMinMaxPyramid& pyramid = vector.MinMax();
    ASSERT_EQ(pyramid.Count(), int(mirror.size()));
    const int n = int(mirror.size());
    std::vector<std::pair<int, int>> ranges = {{0, n}, {-5, n + 5}, {0, 0}, {n, n}, {1, n - 1}};
    for (int edge : {63, 64, 65, 4095, 4096, 4097, 262144})
        ranges.push_back({edge - 1, std::min(n, edge * 2 + 1)});
    std::uniform_int_distribution<int> pick(0, std::max(n, 1));
    for (int k = 0; k < 200; ++k) {
        int a = pick(rng), b = pick(rng);
        if (a > b)
            std::swap(a, b);
        ranges.push_back({a, b});
        ranges.push_back({a, std::min(n, a + int(rng() % 300))});
    }
    for (auto [from, to] : ranges)
        ExpectSame(BruteForce(mirror, from, to), pyramid.Query(from, to), from, to);
}

TEST(MinMaxPyramidTest, MatchesBruteForceThroughEveryKindOfChange) {
    std::mt19937_64 rng(7);
    // Few distinct values make ties common, so the first-index rule is exercised.
    auto value = [&rng] {
        const uint64_t r = rng() % 100;
        if (r < 3)
            return NaN;
        if (r < 50)
            return double(rng() % 17);
        return std::ldexp(double(rng() >> 11), -53) * 200 - 100;
    };
    TVxDoubleVector vector;
    std::vector<double> mirror;
    for (int i = 0; i < 300'000; ++i)
        mirror.push_back(value());
    vector.AddRange(std::span<const double>(mirror));
    CheckRanges(vector, mirror, rng);

    for (int round = 0; round < 60; ++round) {
        const int n = int(mirror.size());
        const int at = n == 0 ? 0 : int(rng() % uint64_t(n));
        switch (round % 8) {
        case 0: // appends, one query after each of a few
            for (int k = 0; k < 5; ++k) {
                const double v = value();
                vector.Add(v);
                mirror.push_back(v);
                ExpectSame(BruteForce(mirror, n - 100, n + 10),
                           vector.MinMax().Query(n - 100, n + 10), n - 100, n + 10);
            }
            break;
        case 1: { // edits in the middle, including a new overall extreme
            const double v = round % 16 == 1 ? 1e9 : value();
            vector.SetValue(at, v);
            mirror[size_t(at)] = v;
            break;
        }
        case 2: {
            const double v = value();
            vector.Insert(at, v);
            mirror.insert(mirror.begin() + at, v);
            break;
        }
        case 3:
            vector.Delete(at);
            if (n > 0)
                mirror.erase(mirror.begin() + at);
            break;
        case 4: { // a block appended at once
            std::vector<double> block;
            for (int k = 0; k < 1000; ++k)
                block.push_back(value());
            vector.AddRange(std::span<const double>(block));
            mirror.insert(mirror.end(), block.begin(), block.end());
            break;
        }
        case 5: // SetValue past the end: the gap reads as zero
            vector.SetValue(n + 70, -1e9);
            mirror.resize(size_t(n + 71), 0.0);
            mirror.back() = -1e9;
            break;
        case 6: { // replaced storage of another length
            std::vector<double> fresh;
            for (int k = 0, m = int(rng() % 5000); k < m; ++k)
                fresh.push_back(value());
            mirror = fresh;
            vector.SetInternalArray(std::move(fresh));
            break;
        }
        case 7: // the last value deleted, then the count grows over the old slot
            vector.Delete(n - 1);
            if (n > 0)
                mirror.pop_back();
            vector.Add(5e8);
            mirror.push_back(5e8);
            break;
        }
        CheckRanges(vector, mirror, rng);
    }

    vector.Clear();
    mirror.clear();
    CheckRanges(vector, mirror, rng);
    vector.Add(3);
    vector.Add(NaN);
    mirror = {3, NaN};
    CheckRanges(vector, mirror, rng);
}

TEST(MinMaxPyramidTest, ValuesLoadedFromAStreamReplaceTheSummary) {
    TVxDoubleVector source;
    std::vector<double> values;
    for (int i = 0; i < 20'000; ++i)
        values.push_back(std::sin(i * 0.01) * (i % 7));
    source.AddRange(std::span<const double>(values));
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    source.WriteTo(buffer);
    buffer.seek(0);

    TVxDoubleVector target;
    for (int i = 0; i < 30'000; ++i)
        target.Add(1e6 - i);
    ASSERT_EQ(target.MinMax().Query(0, 30'000).MaxIdx, 0);
    target.Clear();
    target.ReadFrom(buffer);
    std::mt19937_64 rng(11);
    CheckRanges(target, values, rng);
}

TEST(MinMaxPyramidTest, RangesWithoutNumbersReportNothing) {
    TVxDoubleVector vector;
    for (int i = 0; i < 1000; ++i)
        vector.Add(NaN);
    EXPECT_FALSE(vector.MinMax().Query(0, 1000).Found());
    EXPECT_FALSE(vector.MinMax().Query(500, 400).Found());
    vector.SetValue(700, -2);
    const TVxMinMaxResult r = vector.MinMax().Query(0, 1000);
    EXPECT_EQ(r.MinIdx, 700);
    EXPECT_EQ(r.MaxIdx, 700);
    EXPECT_FALSE(vector.MinMax().Query(0, 700).Found());
}

TEST(MinMaxPyramidTest, InvalidateOnlyLowersTheMark) {
    std::vector<double> values(10'000, 1.0);
    TVxMinMaxPyramid pyramid;
    pyramid.Update(values);
    EXPECT_EQ(pyramid.ValidUpTo(), 10'000);
    pyramid.Invalidate(9'000);
    pyramid.Invalidate(9'500);
    EXPECT_EQ(pyramid.ValidUpTo(), 9'000);
    values[9'200] = 4;
    values[9'999] = -4;
    pyramid.Update(values);
    const TVxMinMaxResult r = pyramid.Query(0, 10'000);
    EXPECT_EQ(r.MaxIdx, 9'200);
    EXPECT_EQ(r.MinIdx, 9'999);
}

TEST(MinMaxPyramidTest, SummaryTakesWellUnderOneBytePerValue) {
    std::vector<double> values(1'000'000);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = double(i % 1000);
    TVxMinMaxPyramid pyramid;
    pyramid.Update(values);
    // 24-byte nodes per 64 values, plus the upper levels: 0.375 * (1 + 1/64 + ...) bytes.
    EXPECT_LT(pyramid.MemoryBytes(), values.size() * 4 / 10);
    EXPECT_EQ(pyramid.Levels(), 4); // 15625, 245, 4, 1 nodes
}

} // namespace
