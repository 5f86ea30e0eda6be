#pragma once
// Plain growable arrays of the chart library: no statistics, no notification. They back
// a series' pixel points and index lists and a double vector's outlier list.

#include "util/Exceptions.h"

#include <algorithm>
#include <cstdint>
#include <vector>

/// The logical capacity after growing Capacity by steps of Increment until n values fit,
/// capped at the int32 range.
inline int GrownCapacity(int Capacity, int Increment, int n) {
    if (n < Capacity)
        return Capacity;
    const int64_t steps = (int64_t(n) - Capacity) / Increment + 1;
    return int(std::min<int64_t>(Capacity + steps * Increment, INT32_MAX));
}

/// A growable array of T with a logical capacity that grows in steps of Increment.
/// The real storage grows geometrically, so appending is amortised O(1) at any length.
template <typename T> class TVxPlainArray {
public:
    /// Creates an empty array; NewCount > 0 sets the increment and the first capacity.
    explicit TVxPlainArray(int NewCount = 0)
        : FIncrement(NewCount > 0 ? NewCount : 128), FCapacity(FIncrement) {
        FArray.resize(static_cast<size_t>(FCapacity));
    }

    /// The number of values.
    int GetCount() const { return FCount; }
    /// The logical capacity: always at least the count.
    int GetCapacity() const { return FCapacity; }
    /// The growth step of the logical capacity.
    int GetIncrement() const { return FIncrement; }

    /// The value at Idx; an index outside 0..count-1 raises the range error.
    T GetValue(int Idx) const {
        CheckIndex(Idx);
        return FArray[static_cast<size_t>(Idx)];
    }
    /// Stores Value at Idx, growing to Idx+1 values (a gap reads as zero).
    void SetValue(int Idx, T Value) {
        if (Idx < 0)
            throw EVxRangeError::ForIndex(Idx);
        GrowTo(Idx + 1);
        FArray[static_cast<size_t>(Idx)] = Value;
    }
    /// Appends Value; returns the new count.
    int Add(T Value) {
        SetValue(FCount, Value);
        return FCount;
    }
    /// Removes every value (the capacity is kept).
    void Clear() { FCount = 0; }
    /// Removes the value at Idx, moving later values down; an index outside the count does nothing.
    void Delete(int Idx) {
        if (Idx < 0 || Idx >= FCount)
            return;
        std::copy(FArray.begin() + Idx + 1, FArray.begin() + FCount, FArray.begin() + Idx);
        --FCount;
    }
    /// The values as a contiguous range (count elements).
    const T* Data() const { return FArray.data(); }
    T* Data() { return FArray.data(); }

protected:
    void CheckIndex(int Idx) const {
        if (Idx < 0 || Idx >= FCount)
            throw EVxRangeError::ForIndex(Idx);
    }
    /// Lengthens to n values: the logical capacity grows by the increment until it holds n;
    /// slots between the old count and n read as zero.
    void GrowTo(int n) {
        if (n >= FCapacity)
            SetStorage(GrownCapacity(FCapacity, FIncrement, n));
        if (n > FCount) {
            std::fill(FArray.begin() + FCount, FArray.begin() + n, T{});
            FCount = n;
        }
    }
    /// Sets the logical capacity and sizes the storage to it (std::vector grows geometrically).
    void SetStorage(int NewCapacity) {
        FCapacity = NewCapacity;
        FArray.resize(static_cast<size_t>(NewCapacity));
    }
    /// Sets count and capacity to exactly n.
    void SetExactly(int n) {
        n = std::max(n, 0);
        const int oldCount = std::min(FCount, n);
        SetStorage(n);
        std::fill(FArray.begin() + oldCount, FArray.begin() + n, T{});
        FCount = n;
    }

    int FCount = 0;
    int FIncrement;
    int FCapacity;
    std::vector<T> FArray;
};

/// Integer array; the outlier list of a double vector.
class TVxIntegerVector : public TVxPlainArray<int32_t> {
public:
    using TVxPlainArray::TVxPlainArray;
    /// Count and capacity become exactly n.
    void SetCount(int n) { SetExactly(n); }
    /// Grows the capacity to n when n is at least the capacity.
    void SetCapacity(int n) {
        if (n >= FCapacity)
            SetStorage(n);
    }
};

/// Single-precision array.
class TVxSingleVector : public TVxPlainArray<float> {
public:
    using TVxPlainArray::TVxPlainArray;
    /// Count and capacity become exactly n.
    void SetCount(int n) { SetExactly(n); }
    /// Grows the capacity to n when n exceeds the capacity.
    void SetCapacity(int n) {
        if (n > FCapacity)
            SetStorage(n);
    }
};

/// Boolean array (one byte a value, so that Data() is addressable).
class TVxBooleanVector : public TVxPlainArray<uint8_t> {
public:
    using TVxPlainArray::TVxPlainArray;
    /// Count and capacity become exactly n.
    void SetCount(int n) { SetExactly(n); }
    /// The value at Idx as bool.
    bool GetBool(int Idx) const { return GetValue(Idx) != 0; }
    /// Stores a bool at Idx.
    void SetBool(int Idx, bool Value) { SetValue(Idx, Value ? 1 : 0); }
};

/// A point of two single-precision coordinates (pixel positions).
struct TVxFloatPoint {
    float X = 0;
    float Y = 0;
    friend bool operator==(const TVxFloatPoint&, const TVxFloatPoint&) = default;
};

/// Point array: a series' pixel points.
class TVxPointVector : public TVxPlainArray<TVxFloatPoint> {
public:
    using TVxPlainArray::TVxPlainArray;
    /// Raises the count to n (growing as SetValue does); never lowers it.
    void SetCount(int n) { GrowTo(n); }
    /// Grows the capacity to n when n is at least the capacity.
    void SetCapacity(int n) {
        if (n >= FCapacity)
            SetStorage(n);
    }
    float GetX(int Idx) const { return GetValue(Idx).X; }
    float GetY(int Idx) const { return GetValue(Idx).Y; }
    void SetX(int Idx, float X) {
        SetValue(Idx, {X, Idx >= 0 && Idx < FCount ? FArray[size_t(Idx)].Y : 0.0f});
    }
    void SetY(int Idx, float Y) {
        SetValue(Idx, {Idx >= 0 && Idx < FCount ? FArray[size_t(Idx)].X : 0.0f, Y});
    }
    /// Points have no Delete: a series rebuilds its points instead.
    void Delete(int) = delete;

    /// Walks the points in order: MoveNext advances and says whether it did.
    class TEnumerator {
    public:
        explicit TEnumerator(const TVxPointVector& Vector) : FVector(Vector) {}
        bool MoveNext() {
            if (FIndex >= FVector.GetCount() - 1)
                return false;
            ++FIndex;
            return true;
        }
        TVxFloatPoint Current() const { return FVector.GetValue(FIndex); }

    private:
        int FIndex = -1;
        const TVxPointVector& FVector;
    };
    TEnumerator GetEnumerator() const { return TEnumerator(*this); }
};
