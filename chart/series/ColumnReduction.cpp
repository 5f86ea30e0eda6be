#include "series/ColumnReduction.h"

#include "vectors/CustomDoubleVector.h"
#include "vectors/Indexer.h"
#include "vectors/MinMaxPyramid.h"

#include <limits>
#include <unordered_set>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr size_t MaxBitmapCells = size_t(1) << 28; // 32 MiB of bits

// Column of a pixel at the given resolution; sentinel pixels stay far inside int range.
int ColumnOf(double Pixel, int Resolution) {
    return int(std::floor(Pixel * std::max(Resolution, 1)));
}

// Hidden indices, looked up by binary search or walked with a cursor.
class THidden {
public:
    explicit THidden(std::span<const int> Indices) : FIndices(Indices) {}
    bool Contains(int i) const { return std::binary_search(FIndices.begin(), FIndices.end(), i); }
    /// Whether any hidden index lies in [From, To).
    bool AnyIn(int From, int To) const {
        auto it = std::lower_bound(FIndices.begin(), FIndices.end(), From);
        return it != FIndices.end() && *it < To;
    }
    /// The nearest index at or below i that is not hidden (-1 when none).
    int NotHiddenAtOrBelow(int i) const {
        auto it = std::upper_bound(FIndices.begin(), FIndices.end(), i);
        while (it != FIndices.begin() && *(it - 1) == i) {
            --it;
            --i;
        }
        return i;
    }
    std::span<const int> Indices() const { return FIndices; }

private:
    std::span<const int> FIndices;
};

// Reading of ascending data: every probe of a search treats a hidden index as if it held
// the X of the drawn index below it, which keeps the probed sequence monotonic.
class TAscending {
public:
    TAscending(const TVxReductionData& Data, const TVxReductionView& View)
        : FData(Data), FView(View), FHidden(Data.Hidden), FCount(Data.Count()) {}

    int Count() const { return FCount; }
    const THidden& Hidden() const { return FHidden; }

    double XKey(int i) const {
        const int j = FHidden.NotHiddenAtOrBelow(i);
        return j < 0 ? -Infinity : FData.XAt(j);
    }
    int ColumnKey(int i) const {
        const int j = FHidden.NotHiddenAtOrBelow(i);
        return ColumnOf(FView.X.ToPixel(FData.XAt(std::max(j, 0))), FView.Resolution);
    }
    /// The first index whose X is at least Value (Count when none).
    int LowerBound(double Value) const {
        int lo = 0, hi = FCount;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (XKey(mid) < Value)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }
    /// The first index whose X exceeds Value (Count when none).
    int UpperBound(double Value) const {
        int lo = 0, hi = FCount;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (XKey(mid) <= Value)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }
    /// The first index in (From, To] whose column differs from Column (To when none), found
    /// from a guess one column width on: for evenly spread data it costs a few probes, and
    /// never more than a doubling search.
    int ColumnEnd(int From, int To, int Column, int Width) const {
        auto differs = [&](int i) { return ColumnKey(i) != Column; };
        int lo = From; // its column is Column
        int hi;        // differs, or To
        const int guess = From + std::max(Width, 1);
        if (guess >= To) {
            hi = To;
        } else if (differs(guess)) {
            hi = guess;
            for (int step = 1; hi - step > lo; step *= 2) {
                if (!differs(hi - step)) {
                    lo = hi - step;
                    break;
                }
                hi -= step;
            }
        } else {
            lo = guess;
            hi = To;
            for (int step = std::max(Width, 1); lo + step < To; step *= 2) {
                if (differs(lo + step)) {
                    hi = lo + step;
                    break;
                }
                lo += step;
            }
        }
        while (hi - lo > 1) {
            const int mid = lo + (hi - lo) / 2;
            if (differs(mid))
                hi = mid;
            else
                lo = mid;
        }
        return hi;
    }

private:
    const TVxReductionData& FData;
    const TVxReductionView& FView;
    THidden FHidden;
    int FCount;
};

bool Drawable(const TVxReductionData& Data, const THidden& Hidden, int i) {
    return !std::isnan(Data.Y[size_t(i)]) && !std::isnan(Data.XAt(i)) && !Hidden.Contains(i);
}

void Combine(TVxMinMaxResult& Into, const TVxMinMaxResult& Part) {
    if (!Part.Found())
        return;
    if (!Into.Found()) {
        Into = Part;
        return;
    }
    if (Part.Min < Into.Min) {
        Into.Min = Part.Min;
        Into.MinIdx = Part.MinIdx;
    }
    if (Part.Max > Into.Max) {
        Into.Max = Part.Max;
        Into.MaxIdx = Part.MaxIdx;
    }
}

TVxMinMaxResult ScanRange(std::span<const double> Y, int From, int To) {
    TVxMinMaxResult r;
    for (int i = From; i < To; ++i) {
        const double v = Y[size_t(i)];
        if (std::isnan(v))
            continue;
        if (!r.Found()) {
            r = {i, i, v, v};
            continue;
        }
        if (v < r.Min) {
            r.Min = v;
            r.MinIdx = i;
        }
        if (v > r.Max) {
            r.Max = v;
            r.MaxIdx = i;
        }
    }
    return r;
}

// Extremes of Y over the drawn indices of [From, To): the summary covers the stretches
// between hidden indices.
TVxMinMaxResult ColumnExtremes(const TVxReductionData& Data, const THidden& Hidden, int From,
                               int To) {
    auto extremes = [&](int a, int b) {
        return Data.YMinMax != nullptr && b - a > 2 * TVxMinMaxPyramid::BlockSize
                   ? Data.YMinMax->Query(a, b)
                   : ScanRange(Data.Y, a, b);
    };
    if (!Hidden.AnyIn(From, To))
        return extremes(From, To);
    TVxMinMaxResult r;
    auto it = std::lower_bound(Hidden.Indices().begin(), Hidden.Indices().end(), From);
    int start = From;
    for (; it != Hidden.Indices().end() && *it < To; ++it) {
        Combine(r, extremes(start, *it));
        start = *it + 1;
    }
    Combine(r, extremes(start, To));
    return r;
}

} // namespace

TVxPixelMapping::TVxPixelMapping(double Start, double Stop, double PixelStart, double PixelStop,
                                 bool Logarithmic)
    : FStart(Start), FStop(Stop), FPixelStart(PixelStart), FPixelStop(PixelStop),
      FLogarithmic(Logarithmic) {
    auto transform = [Logarithmic](double v) { return Logarithmic ? std::log10(v) : v; };
    FTransformedStart = transform(Start);
    const double span = transform(Stop) - FTransformedStart;
    FDirection = PixelStop < PixelStart ? -1.0 : 1.0;
    FScale = span != 0 && std::isfinite(span) ? std::abs(PixelStop - PixelStart) / span : 0.0;
}

double TVxPixelMapping::ToValue(double Pixel) const {
    const double u = FScale == 0 ? 0.0 : (Pixel - FPixelStart) * FDirection / FScale;
    return FLogarithmic ? std::pow(10.0, FTransformedStart + u) : FTransformedStart + u;
}

TVxReductionData ReductionData(TVxCustomDoubleVector& X, TVxCustomDoubleVector& Y,
                               bool OutliersVisible, std::vector<int>& HiddenBuffer) {
    TVxReductionData data;
    const bool indexed = qobject_cast<TVxIndexer*>(&X) != nullptr;
    data.XIsIndex = indexed;
    if (!indexed)
        data.X = X.ValueData();
    data.Y = Y.ValueData();
    data.YMinMax = &Y.MinMax();
    HiddenBuffer.clear();
    if (!OutliersVisible) {
        for (const TVxCustomDoubleVector* v : {&X, &Y})
            for (int k = 0; k < v->Outliers().GetCount(); ++k)
                HiddenBuffer.push_back(v->Outliers().GetValue(k));
        std::sort(HiddenBuffer.begin(), HiddenBuffer.end());
        HiddenBuffer.erase(std::unique(HiddenBuffer.begin(), HiddenBuffer.end()),
                           HiddenBuffer.end());
    }
    data.Hidden = HiddenBuffer;
    // The vector's ascending order skips its own outliers only: shown outliers of X must be
    // in order too, which only a scan could tell.
    data.XAscending = indexed || (X.GetOnlyAscending() && (!OutliersVisible || !X.AnyOutliers()));
    return data;
}

bool TVxColumnReduction::Extendable(const TPass& Pass, const TVxReductionData& Data,
                                    const TVxReductionView& View, int OldCount) {
    auto same = [](const TVxPixelMapping& A, const TVxPixelMapping& B) {
        return A.Start() == B.Start() && A.Stop() == B.Stop() && A.PixelStart() == B.PixelStart() &&
               A.PixelStop() == B.PixelStop() && A.Logarithmic() == B.Logarithmic();
    };
    return Pass.Valid && Pass.Ascending && OldCount > 0 && Pass.Count == OldCount &&
           Data.Count() >= OldCount && Data.XAscending && same(Pass.View.X, View.X) &&
           same(Pass.View.Y, View.Y) && Pass.View.Resolution == View.Resolution &&
           Pass.View.SymbolMargin == View.SymbolMargin &&
           std::equal(Pass.Hidden.begin(), Pass.Hidden.end(), Data.Hidden.begin(),
                      Data.Hidden.end());
}

void TVxColumnReduction::Remember(TPass& Pass, const TVxReductionData& Data,
                                  const TVxReductionView& View, bool Ascending, int From, int End) {
    Pass.Valid = true;
    Pass.Ascending = Ascending;
    Pass.Count = Data.Count();
    Pass.From = From;
    Pass.End = End;
    Pass.View = View;
    Pass.Hidden.assign(Data.Hidden.begin(), Data.Hidden.end());
}

namespace {

// The first index of the column run that holds Last (runs of equal column start at From).
int RunStart(const TAscending& Data, int From, int Last) {
    const int column = Data.ColumnKey(Last);
    int lo = From, hi = Last;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (Data.ColumnKey(mid) == column)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// Drops the points of index Index and later (the indices rise).
void TruncateAt(std::vector<QPointF>& Points, std::vector<int>& Indices, int Index) {
    const size_t keep =
        size_t(std::lower_bound(Indices.begin(), Indices.end(), Index) - Indices.begin());
    Points.resize(keep);
    Indices.resize(keep);
}

} // namespace

void TVxColumnReduction::ReduceLine(const TVxReductionData& Data, const TVxReductionView& View) {
    FLinePoints.clear();
    FLineIndices.clear();
    FLinePass.Valid = false;
    if (Data.Count() == 0)
        return;
    if (Data.XAscending)
        ReduceAscending(Data, View);
    else
        ReduceAnyOrder(Data, View);
}

void TVxColumnReduction::ExtendLine(const TVxReductionData& Data, const TVxReductionView& View,
                                    int OldCount) {
    if (!Extendable(FLinePass, Data, View, OldCount))
        return ReduceLine(Data, View);
    const TAscending data(Data, View);
    const double lowX = std::min(View.X.Start(), View.X.Stop());
    const double highX = std::max(View.X.Start(), View.X.Stop());
    const int first = data.LowerBound(lowX);
    const int end = std::max(first, data.UpperBound(highX));
    if (first != FLinePass.From)
        return ReduceLine(Data, View);
    if (FLinePass.End < OldCount) {
        // The old data reached past the visible range already: new points can only supply
        // the point beyond the end when none of the old ones could.
        if (end != FLinePass.End)
            return ReduceLine(Data, View);
        if (FLineIndices.empty() || FLineIndices.back() < end)
            KeepBeyond(Data, View, OldCount);
    } else {
        // The column of the last old point may gain points: it is redone with the new ones.
        const int resume = OldCount > first ? RunStart(data, first, OldCount - 1) : first;
        TruncateAt(FLinePoints, FLineIndices, resume);
        KeepColumns(Data, View, resume, end);
        KeepBeyond(Data, View, end);
    }
    Remember(FLinePass, Data, View, true, first, end);
}

void TVxColumnReduction::ReduceAscending(const TVxReductionData& Data,
                                         const TVxReductionView& View) {
    const TAscending data(Data, View);
    const THidden& hidden = data.Hidden();
    const double lowX = std::min(View.X.Start(), View.X.Stop());
    const double highX = std::max(View.X.Start(), View.X.Stop());
    const int first = data.LowerBound(lowX);
    const int end = std::max(first, data.UpperBound(highX));

    for (int i = first - 1; i >= 0; --i)
        if (Drawable(Data, hidden, i)) {
            FLinePoints.emplace_back(View.X.ToPixel(Data.XAt(i)),
                                     View.Y.ToPixel(Data.Y[size_t(i)]));
            FLineIndices.push_back(i);
            break;
        }
    KeepColumns(Data, View, first, end);
    KeepBeyond(Data, View, end);
    Remember(FLinePass, Data, View, true, first, end);
}

// The first drawn point at or after From.
void TVxColumnReduction::KeepBeyond(const TVxReductionData& Data, const TVxReductionView& View,
                                    int From) {
    const THidden hidden(Data.Hidden);
    const int n = Data.Count();
    for (int i = From; i < n; ++i)
        if (Drawable(Data, hidden, i)) {
            FLinePoints.emplace_back(View.X.ToPixel(Data.XAt(i)),
                                     View.Y.ToPixel(Data.Y[size_t(i)]));
            FLineIndices.push_back(i);
            break;
        }
}

// The columns of [From, End), From starting a column: the first, lowest, highest and last
// point of each.
void TVxColumnReduction::KeepColumns(const TVxReductionData& Data, const TVxReductionView& View,
                                     int From, int End) {
    const TAscending data(Data, View);
    const THidden& hidden = data.Hidden();
    auto keep = [&](int i) {
        FLinePoints.emplace_back(View.X.ToPixel(Data.XAt(i)), View.Y.ToPixel(Data.Y[size_t(i)]));
        FLineIndices.push_back(i);
    };
    int width = 1;
    for (int a = From; a < End;) {
        const int column = data.ColumnKey(a);
        const int b = data.ColumnEnd(a, End, column, width);
        width = b - a;
        if (b - a <= 4) {
            for (int i = a; i < b; ++i)
                if (Drawable(Data, hidden, i))
                    keep(i);
            a = b;
            continue;
        }
        int f = a;
        while (f < b && !Drawable(Data, hidden, f))
            ++f;
        if (f < b) {
            int l = b - 1;
            while (!Drawable(Data, hidden, l))
                --l;
            const TVxMinMaxResult r = ColumnExtremes(Data, hidden, f, l + 1);
            int picks[4] = {f, std::min(r.MinIdx, r.MaxIdx), std::max(r.MinIdx, r.MaxIdx), l};
            int last = -1;
            for (int i : picks)
                if (i > last) {
                    keep(i);
                    last = i;
                }
        }
        a = b;
    }
}

// One pass: consecutive drawn points in one column form a run, which gives its first,
// lowest, highest and last point (by pixel) in index order.
void TVxColumnReduction::ReduceAnyOrder(const TVxReductionData& Data,
                                        const TVxReductionView& View) {
    struct TRun {
        int Column;
        int Idx[4]; // first, lowest, highest, last
        QPointF Point[4];
    };
    TRun run{};
    bool inRun = false;
    auto flush = [&] {
        int order[4] = {0, 1, 2, 3};
        if (run.Idx[1] > run.Idx[2])
            std::swap(order[1], order[2]);
        int last = -1;
        for (int k : order)
            if (run.Idx[k] > last) {
                FLinePoints.push_back(run.Point[k]);
                FLineIndices.push_back(run.Idx[k]);
                last = run.Idx[k];
            }
    };
    const std::span<const int> hidden = Data.Hidden;
    size_t nextHidden = 0;
    const int n = Data.Count();
    for (int i = 0; i < n; ++i) {
        while (nextHidden < hidden.size() && hidden[nextHidden] < i)
            ++nextHidden;
        if (nextHidden < hidden.size() && hidden[nextHidden] == i)
            continue;
        const double x = Data.XAt(i);
        const double y = Data.Y[size_t(i)];
        if (std::isnan(x) || std::isnan(y))
            continue;
        const QPointF p(View.X.ToPixel(x), View.Y.ToPixel(y));
        const int column = ColumnOf(p.x(), View.Resolution);
        if (inRun && column == run.Column) {
            if (p.y() < run.Point[1].y()) {
                run.Idx[1] = i;
                run.Point[1] = p;
            }
            if (p.y() > run.Point[2].y()) {
                run.Idx[2] = i;
                run.Point[2] = p;
            }
            run.Idx[3] = i;
            run.Point[3] = p;
            continue;
        }
        if (inRun)
            flush();
        run.Column = column;
        std::fill(std::begin(run.Idx), std::end(run.Idx), i);
        std::fill(std::begin(run.Point), std::end(run.Point), p);
        inRun = true;
    }
    if (inRun)
        flush();
}

// The symbol area of View in cells.
void TVxColumnReduction::SetSymbolArea(const TVxReductionView& View) {
    const int res = std::max(View.Resolution, 1);
    const double margin = std::max(View.SymbolMargin, 0.0);
    const double left = std::min(View.X.PixelStart(), View.X.PixelStop()) - margin;
    const double right = std::max(View.X.PixelStart(), View.X.PixelStop()) + margin;
    const double top = std::min(View.Y.PixelStart(), View.Y.PixelStop()) - margin;
    const double bottom = std::max(View.Y.PixelStart(), View.Y.PixelStop()) + margin;
    FColumn0 = ColumnOf(left, res);
    FColumns = ColumnOf(right, res) - FColumn0 + 1;
    FRow0 = ColumnOf(top, res);
    FRows = ColumnOf(bottom, res) - FRow0 + 1;
}

// For ascending X: the index range of the symbol area's columns, one more on each side
// against rounding.
void TVxColumnReduction::SymbolIndexRange(const TVxReductionData& Data,
                                          const TVxReductionView& View, int& From, int& To) const {
    const int res = std::max(View.Resolution, 1);
    const TAscending ascending(Data, View);
    const double a = View.X.ToValue(double(FColumn0) / res);
    const double b = View.X.ToValue(double(FColumn0 + FColumns) / res);
    From = std::max(ascending.LowerBound(std::min(a, b)) - 1, 0);
    To = std::min(ascending.UpperBound(std::max(a, b)) + 1, Data.Count());
}

void TVxColumnReduction::ExtendSymbols(const TVxReductionData& Data, const TVxReductionView& View,
                                       int OldCount) {
    if (!Extendable(FSymbolPass, Data, View, OldCount) || Data.YMinMax == nullptr)
        return ReduceSymbols(Data, View);
    SetSymbolArea(View);
    int from, to;
    SymbolIndexRange(Data, View, from, to);
    if (from != FSymbolPass.From)
        return ReduceSymbols(Data, View);
    if (FSymbolPass.End < OldCount) {
        // The old data reached past the area already, so the new points lie outside it.
        if (to != FSymbolPass.End)
            return ReduceSymbols(Data, View);
    } else {
        // The column of the last old point may gain symbols: it is stamped again with the
        // new points.
        const THidden hidden(Data.Hidden);
        int start = from;
        while (start < to && hidden.Contains(start))
            ++start;
        const int resume =
            OldCount - 1 > start ? RunStart(TAscending(Data, View), start, OldCount - 1) : start;
        TruncateAt(FSymbolPoints, FSymbolIndices, resume);
        StampColumns(Data, View, resume, to);
    }
    Remember(FSymbolPass, Data, View, true, from, to);
}

void TVxColumnReduction::ReduceSymbols(const TVxReductionData& Data, const TVxReductionView& View) {
    FSymbolPoints.clear();
    FSymbolIndices.clear();
    FSymbolPass.Valid = false;
    const int n = Data.Count();
    if (n == 0)
        return;
    const int res = std::max(View.Resolution, 1);
    SetSymbolArea(View);
    const int column0 = FColumn0, columns = FColumns, row0 = FRow0, rows = FRows;
    const size_t cells = size_t(columns) * size_t(rows);
    // A bitmap for any sane target; an absurdly large area (up to the sentinels) is
    // remembered cell by cell instead of allocating gigabytes.
    const bool bitmap = cells <= MaxBitmapCells;
    FCells.assign(bitmap ? (cells + 63) / 64 : 0, 0);
    std::unordered_set<size_t> stamped;

    int from = 0, to = n;
    if (Data.XAscending) {
        SymbolIndexRange(Data, View, from, to);
        if (Data.YMinMax != nullptr && rows <= 65536) {
            StampColumns(Data, View, from, to);
            Remember(FSymbolPass, Data, View, true, from, to);
            return;
        }
    }
    const std::span<const int> hidden = Data.Hidden;
    size_t nextHidden =
        size_t(std::lower_bound(hidden.begin(), hidden.end(), from) - hidden.begin());
    for (int i = from; i < to; ++i) {
        if (nextHidden < hidden.size() && hidden[nextHidden] == i) {
            ++nextHidden;
            continue;
        }
        const double x = Data.XAt(i);
        const double y = Data.Y[size_t(i)];
        if (std::isnan(x) || std::isnan(y))
            continue;
        const double px = View.X.ToPixel(x), py = View.Y.ToPixel(y);
        const int cx = ColumnOf(px, res) - column0, cy = ColumnOf(py, res) - row0;
        if (cx < 0 || cx >= columns || cy < 0 || cy >= rows)
            continue;
        const size_t cell = size_t(cy) * size_t(columns) + size_t(cx);
        if (bitmap) {
            uint64_t& word = FCells[cell / 64];
            const uint64_t bit = uint64_t(1) << (cell % 64);
            if (word & bit)
                continue;
            word |= bit;
        } else if (!stamped.insert(cell).second) {
            continue;
        }
        FSymbolPoints.emplace_back(px, py);
        FSymbolIndices.push_back(i);
    }
}

// Ascending X with a Y summary: column by column, with one bit per row of the column. A
// whole block of the summary whose rows (between the rows of its lowest and highest value)
// are all stamped already cannot add a symbol and is passed over unread, so dense data costs
// little more than the rows it fills.
void TVxColumnReduction::StampColumns(const TVxReductionData& Data, const TVxReductionView& View,
                                      int From, int To) {
    const TAscending data(Data, View);
    const THidden& hidden = data.Hidden();
    const TVxMinMaxPyramid& summary = *Data.YMinMax;
    const int res = std::max(View.Resolution, 1);
    constexpr int B = TVxMinMaxPyramid::BlockSize;
    const size_t words = size_t(FRows + 63) / 64;
    auto rowOf = [&](double y) { return ColumnOf(View.Y.ToPixel(y), res) - FRow0; };
    auto allStamped = [&](int r1, int r2) { // rows r1..r2 inside the column
        for (int r = r1; r <= r2;) {
            const int bit = r % 64, count = std::min(64 - bit, r2 - r + 1);
            const uint64_t mask = (count == 64 ? ~uint64_t(0) : ((uint64_t(1) << count) - 1))
                                  << bit;
            if ((FCells[size_t(r / 64)] & mask) != mask)
                return false;
            r += count;
        }
        return true;
    };
    while (From < To && hidden.Contains(From))
        ++From; // the column search starts at a drawn index
    int width = 1;
    for (int a = From; a < To;) {
        const int column = data.ColumnKey(a);
        const int b = data.ColumnEnd(a, To, column, width);
        width = b - a;
        if (column - FColumn0 < 0 || column - FColumn0 >= FColumns) {
            a = b;
            continue;
        }
        FCells.assign(words, 0);
        for (int i = a; i < b;) {
            if (i % B == 0 && i + B <= std::min(b, summary.Count())) {
                const TVxMinMaxResult r = summary.Block(i / B);
                int r1 = r.Found() ? rowOf(r.Min) : 0, r2 = r.Found() ? rowOf(r.Max) : -1;
                if (r1 > r2)
                    std::swap(r1, r2);
                r1 = std::max(r1, 0);
                r2 = std::min(r2, FRows - 1);
                if (r1 > r2 || allStamped(r1, r2)) {
                    i += B;
                    continue;
                }
            }
            const double y = Data.Y[size_t(i)];
            if (!std::isnan(y) && !hidden.Contains(i)) {
                const int row = rowOf(y);
                if (row >= 0 && row < FRows) {
                    uint64_t& word = FCells[size_t(row / 64)];
                    const uint64_t bit = uint64_t(1) << (row % 64);
                    if (!(word & bit)) {
                        word |= bit;
                        FSymbolPoints.emplace_back(View.X.ToPixel(Data.XAt(i)), View.Y.ToPixel(y));
                        FSymbolIndices.push_back(i);
                    }
                }
            }
            ++i;
        }
        a = b;
    }
}
