#pragma once
// Reduction of dense series data to what the pixel columns of a target can show: a polyline
// that reaches, in every column, the data's first, lowest, highest and last point, and the
// point symbols of distinct pixels. For ascending X the cost follows the columns, not the
// points.

#include <QPointF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

class TVxCustomDoubleVector;
class TVxMinMaxPyramid;

/// Value to pixel along one axis: linear or logarithmic, rising or falling, in single
/// precision like an axis' transform. Values far outside map to 100000 pixels from the start
/// pixel; on a logarithmic mapping values that are not positive (or not a number) map to 100
/// pixels before the start, on a linear one NaN maps to the far sentinel before the start.
class TVxPixelMapping {
public:
    /// Maps values 0..1 onto pixels 0..1.
    TVxPixelMapping() : TVxPixelMapping(0, 1, 0, 1) {}
    /// Start maps to PixelStart and Stop to PixelStop (PixelStop < PixelStart: pixels fall
    /// as values rise, as on a vertical or twisted axis). Start and Stop are the visible range.
    TVxPixelMapping(double Start, double Stop, double PixelStart, double PixelStop,
                    bool Logarithmic = false);

    /// The pixel of Value.
    double ToPixel(double Value) const {
        double u;
        if (FLogarithmic)
            u = Value > 0 ? (std::log10(Value) - FTransformedStart) * FScale : -100.0;
        else
            u = (Value - FTransformedStart) * FScale;
        if (!(u > -100000.0 && u < 100000.0))
            u = u > 0 ? 100000.0 : -100000.0; // NaN takes the sentinel before the start
        return double(float(FPixelStart + FDirection * u));
    }
    /// The value at Pixel (the inverse of ToPixel inside the sentinels).
    double ToValue(double Pixel) const;

    double Start() const { return FStart; }
    double Stop() const { return FStop; }
    double PixelStart() const { return FPixelStart; }
    double PixelStop() const { return FPixelStop; }
    bool Logarithmic() const { return FLogarithmic; }

private:
    double FStart;
    double FStop;
    double FPixelStart;
    double FPixelStop;
    bool FLogarithmic;
    double FTransformedStart; // Start, or its log10
    double FScale;            // pixels per (transformed) value unit, >= 0
    double FDirection;        // +1 when pixels rise with values, else -1
};

/// The data a reduction reads: X and Y values of the same length (the shorter counts).
struct TVxReductionData {
    /// X values (ignored with XIsIndex).
    std::span<const double> X;
    /// Y values.
    std::span<const double> Y;
    /// The X values are the indices 0, 1, 2, ...
    bool XIsIndex = false;
    /// X rises strictly from drawn index to drawn index: visible ranges and pixel columns are
    /// found by binary search.
    bool XAscending = false;
    /// Range minima and maxima of Y (the same values); without it columns are scanned.
    const TVxMinMaxPyramid* YMinMax = nullptr;
    /// Indices that are not drawn (hidden outliers), ascending and without repeats.
    std::span<const int> Hidden;

    /// The number of index pairs.
    int Count() const { return int(XIsIndex ? Y.size() : std::min(X.size(), Y.size())); }
    /// X at i.
    double XAt(int i) const { return XIsIndex ? double(i) : X[size_t(i)]; }
};

/// Fills Data from a series' two vectors: hidden outliers of either vector (unless
/// OutliersVisible) go into HiddenBuffer, X may be an indexer, and ascending X is taken from
/// the vector's own statistics. The spans stay valid until a vector changes.
TVxReductionData ReductionData(TVxCustomDoubleVector& X, TVxCustomDoubleVector& Y,
                               bool OutliersVisible, std::vector<int>& HiddenBuffer);

/// Where the data is drawn.
struct TVxReductionView {
    /// X values to pixels; its Start..Stop is the visible X range.
    TVxPixelMapping X;
    /// Y values to pixels; its pixel range bounds the symbols.
    TVxPixelMapping Y;
    /// Columns per pixel: 1 on raster targets, more (e.g. 4) on vector targets.
    int Resolution = 1;
    /// Symbol centres up to this many pixels outside the pixel ranges still count.
    double SymbolMargin = 0;
};

/// Reduces series data to pixel points, reusing its buffers from call to call.
///
/// Points are not drawn where either value is NaN or the index is hidden; the line joins
/// the points on either side of them.
class TVxColumnReduction {
public:
    /// The polyline: for ascending X the visible range split into columns (1 / Resolution
    /// pixel wide) holding their first, lowest, highest and last point in index order, plus
    /// the nearest drawn point outside each end of the visible range; for other data every
    /// run of consecutive points in one column reduced the same way.
    void ReduceLine(const TVxReductionData& Data, const TVxReductionView& View);
    /// The point symbols: the first point of each distinct cell (1 / Resolution pixel) whose
    /// centre lies within the pixel ranges widened by the symbol margin, in index order.
    void ReduceSymbols(const TVxReductionData& Data, const TVxReductionView& View);
    /// ReduceLine for data that only grew at its end since the last line reduction, which
    /// read the first OldCount pairs (and the same hidden indices) in the same view: only the
    /// columns the new points reach are redone. Any other case reduces from scratch.
    void ExtendLine(const TVxReductionData& Data, const TVxReductionView& View, int OldCount);
    /// ReduceSymbols for data that only grew at its end, as ExtendLine.
    void ExtendSymbols(const TVxReductionData& Data, const TVxReductionView& View, int OldCount);

    /// The polyline's pixel points.
    std::span<const QPointF> LinePoints() const { return FLinePoints; }
    /// The data index of each polyline point.
    std::span<const int> LineIndices() const { return FLineIndices; }
    /// The symbol centres.
    std::span<const QPointF> SymbolPoints() const { return FSymbolPoints; }
    /// The data index of each symbol.
    std::span<const int> SymbolIndices() const { return FSymbolIndices; }

private:
    // What the last reduction of each kind read: an extension needs all of it unchanged.
    struct TPass {
        bool Valid = false;
        bool Ascending = false; // column-wise pass over ascending data
        int Count = 0;          // pairs read
        int From = 0;           // first index of the column pass
        int End = 0;            // end of the column pass
        TVxReductionView View;
        std::vector<int> Hidden;
    };
    static bool Extendable(const TPass& Pass, const TVxReductionData& Data,
                           const TVxReductionView& View, int OldCount);
    static void Remember(TPass& Pass, const TVxReductionData& Data, const TVxReductionView& View,
                         bool Ascending, int From, int End);

    void ReduceAscending(const TVxReductionData& Data, const TVxReductionView& View);
    void KeepColumns(const TVxReductionData& Data, const TVxReductionView& View, int From, int End);
    void KeepBeyond(const TVxReductionData& Data, const TVxReductionView& View, int From);
    void SetSymbolArea(const TVxReductionView& View);
    void SymbolIndexRange(const TVxReductionData& Data, const TVxReductionView& View, int& From,
                          int& To) const;
    void ReduceAnyOrder(const TVxReductionData& Data, const TVxReductionView& View);
    void StampColumns(const TVxReductionData& Data, const TVxReductionView& View, int From, int To);

    std::vector<QPointF> FLinePoints;
    std::vector<int> FLineIndices;
    std::vector<QPointF> FSymbolPoints;
    std::vector<int> FSymbolIndices;
    std::vector<uint64_t> FCells;                         // stamped cells (or rows of one column)
    int FColumn0 = 0, FColumns = 0, FRow0 = 0, FRows = 0; // the symbol area in cells
    TPass FLinePass;
    TPass FSymbolPass;
};
