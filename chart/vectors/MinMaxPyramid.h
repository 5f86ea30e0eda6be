#pragma once
// Minimum and maximum (with their indices) of any index range of a value array, read in
// time that does not grow with the range: the values are summarised in blocks of 64, the
// blocks in blocks of 64, and so on. Not-a-number values take no part.

#include <cstdint>
#include <span>
#include <vector>

/// The extremes of a range: indices are -1 (and the values meaningless) when the range
/// holds no number. Ties keep the first index.
struct TVxMinMaxResult {
    int MinIdx = -1;
    int MaxIdx = -1;
    double Min = 0;
    double Max = 0;
    /// The range held at least one number.
    bool Found() const { return MinIdx >= 0; }
};

/// A summary tree of a value array, extended lazily: Invalidate lowers the mark up to which
/// the summary is right, Update extends it from there to the array's end (appending one
/// value and updating costs O(log n)). Memory is about 0.38 bytes per value.
class TVxMinMaxPyramid {
public:
    /// Values per block, and blocks per block of the next level.
    static constexpr int BlockSize = 64;

    /// The values from index From on may have changed (or the count dropped to From).
    void Invalidate(int From) {
        if (From < FValidUpTo)
            FValidUpTo = From < 0 ? 0 : From;
    }
    /// Brings the summary up to date with Values (the array the queries then read; it must
    /// stay unchanged until the next Update).
    void Update(std::span<const double> Values);
    /// The extremes over indices [From, To), clamped to the array; O(BlockSize x levels).
    TVxMinMaxResult Query(int From, int To) const;

    /// The extremes of values [Block * BlockSize, (Block + 1) * BlockSize) (a block inside
    /// the array), read from the summary.
    TVxMinMaxResult Block(int Block) const {
        const TNode& node = FLevels[0][size_t(Block)];
        return {node.MinIdx, node.MaxIdx, node.Min, node.Max};
    }
    /// The number of values summarised.
    int Count() const { return int(FValues.size()); }
    /// The summary is right for indices below this mark.
    int ValidUpTo() const { return FValidUpTo; }
    /// The number of levels above the values.
    int Levels() const { return int(FLevels.size()); }
    /// Bytes held by the summary (not counting the values).
    size_t MemoryBytes() const;

private:
    struct TNode {
        double Min;
        double Max;
        int32_t MinIdx;
        int32_t MaxIdx;
    };

    void ScanValues(int From, int To, TVxMinMaxResult& Result) const;
    static void ScanNodes(const std::vector<TNode>& Level, int From, int To,
                          TVxMinMaxResult& Result);
    void QueryNodes(int Level, int From, int To, TVxMinMaxResult& Result) const;

    std::span<const double> FValues;
    std::vector<std::vector<TNode>> FLevels;
    int FValidUpTo = 0;
};
