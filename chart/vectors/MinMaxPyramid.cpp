#include "vectors/MinMaxPyramid.h"

#include <algorithm>

namespace {

constexpr int B = TVxMinMaxPyramid::BlockSize;

int CeilDiv(int a) {
    return (a + B - 1) / B;
}

} // namespace

// Strict comparisons while walking in index order keep the first of equal extremes; NaN
// fails every comparison and so never wins.
void TVxMinMaxPyramid::ScanValues(int From, int To, TVxMinMaxResult& Result) const {
    for (int i = From; i < To; ++i) {
        const double v = FValues[size_t(i)];
        if (v == v) {
            if (Result.MinIdx < 0) {
                Result.Min = Result.Max = v;
                Result.MinIdx = Result.MaxIdx = i;
                continue;
            }
            if (v < Result.Min) {
                Result.Min = v;
                Result.MinIdx = i;
            }
            if (v > Result.Max) {
                Result.Max = v;
                Result.MaxIdx = i;
            }
        }
    }
}

void TVxMinMaxPyramid::ScanNodes(const std::vector<TNode>& Level, int From, int To,
                                 TVxMinMaxResult& Result) {
    for (int k = From; k < To; ++k) {
        const TNode& node = Level[size_t(k)];
        if (node.MinIdx < 0)
            continue;
        if (Result.MinIdx < 0) {
            Result = {node.MinIdx, node.MaxIdx, node.Min, node.Max};
            continue;
        }
        if (node.Min < Result.Min) {
            Result.Min = node.Min;
            Result.MinIdx = node.MinIdx;
        }
        if (node.Max > Result.Max) {
            Result.Max = node.Max;
            Result.MaxIdx = node.MaxIdx;
        }
    }
}

void TVxMinMaxPyramid::Update(std::span<const double> Values) {
    const int n = int(Values.size());
    FValues = Values;
    FValidUpTo = std::min(FValidUpTo, n);
    // Level 0 summarises values, level L + 1 summarises the nodes of level L; a node is
    // rebuilt from the first one whose inputs changed.
    int changedFrom = FValidUpTo; // first changed input of the level being rebuilt
    int inputs = n;
    for (size_t level = 0; inputs > 1 || level == 0; ++level) {
        const int nodes = CeilDiv(inputs);
        if (FLevels.size() <= level)
            FLevels.emplace_back();
        std::vector<TNode>& out = FLevels[level];
        out.resize(size_t(nodes));
        const int firstNode = changedFrom / B;
        for (int k = firstNode; k < nodes; ++k) {
            TVxMinMaxResult r;
            const int from = k * B;
            const int to = std::min(from + B, inputs);
            if (level == 0)
                ScanValues(from, to, r);
            else
                ScanNodes(FLevels[level - 1], from, to, r);
            out[size_t(k)] = {r.Min, r.Max, r.MinIdx, r.MaxIdx};
        }
        changedFrom = firstNode;
        inputs = nodes;
        if (nodes <= 1) {
            FLevels.resize(level + 1);
            break;
        }
    }
    if (n == 0)
        FLevels.clear();
    FValidUpTo = n;
}

void TVxMinMaxPyramid::QueryNodes(int Level, int From, int To, TVxMinMaxResult& Result) const {
    if (To - From <= 2 * B || Level + 1 >= int(FLevels.size())) {
        ScanNodes(FLevels[size_t(Level)], From, To, Result);
        return;
    }
    // Only whole parents are used, so a partial last parent never stands for its range.
    const int parentFrom = CeilDiv(From);
    const int parentTo = To / B;
    ScanNodes(FLevels[size_t(Level)], From, parentFrom * B, Result);
    QueryNodes(Level + 1, parentFrom, parentTo, Result);
    ScanNodes(FLevels[size_t(Level)], parentTo * B, To, Result);
}

TVxMinMaxResult TVxMinMaxPyramid::Query(int From, int To) const {
    TVxMinMaxResult result;
    From = std::max(From, 0);
    To = std::min(To, Count());
    if (To - From <= 2 * B || FLevels.empty()) {
        ScanValues(From, To, result);
        return result;
    }
    const int blockFrom = CeilDiv(From);
    const int blockTo = To / B;
    ScanValues(From, blockFrom * B, result);
    QueryNodes(0, blockFrom, blockTo, result);
    ScanValues(blockTo * B, To, result);
    return result;
}

size_t TVxMinMaxPyramid::MemoryBytes() const {
    size_t bytes = 0;
    for (const std::vector<TNode>& level : FLevels)
        bytes += level.capacity() * sizeof(TNode);
    return bytes;
}
