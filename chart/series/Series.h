#pragma once
// The base of every series: two data vectors drawn through two axes as a polyline, an area
// below it (or a band to another series) and point symbols. Dense data is reduced per pixel
// column before drawing (TVxColumnReduction); hit tests and nearest-point queries walk the
// reduced points.

#include "axes/Axis.h"
#include "axes/AxisRangeSource.h"
#include "captions/CaptionVariables.h"
#include "drawing/Brush.h"
#include "drawing/Pen.h"
#include "drawing/PointSymbol.h"
#include "series/ColumnReduction.h"
#include "series/LinkedMarkers.h"
#include "styles/AreaSettings.h"
#include "styles/LineSettings.h"
#include "styles/PointSymbolSettings.h"
#include "util/Component.h"
#include "util/VariableRegistries.h"
#include "vectors/CustomDoubleVector.h"
#include "vectors/VectorListener.h"

#include <QPointF>
#include <QPointer>
#include <QRect>
#include <functional>
#include <vector>

class QIODevice;
class TVxIndexer;
class TVxIniFile;
namespace pugi {
class xml_node;
}
class TVxLineSeries;
class TVxSeries;
class TVxSeriesHost;
class TVxSurface;
class TVxUndoStack;

/// The record a value transformation receives.
struct TVxTransformEventArgs {
    double Value = 0;
    int Index = 0;
};

/// The record of a per-segment pen override (Index, X and Y of the segment's first point).
struct TVxPenEventArgs {
    int Index = 0;
    double X = 0;
    double Y = 0;
    TVxPen Pen;
    bool Visible = true;
};

/// The record of a per-segment brush override.
struct TVxBrushEventArgs {
    int Index = 0;
    double X = 0;
    double Y = 0;
    TVxBrush Brush;
    bool Visible = true;
};

/// The record of a per-point symbol override.
struct PointSymbolEventArgs {
    int Index = 0;
    double X = 0;
    double Y = 0;
    float Size = 0;
    TVxPen Pen;
    TVxBrush Brush;
    TVxPointSymbol Symbol = TVxPointSymbol::Circle;
    bool Visible = true;
};

/// How a legend item of a series is drawn (several series merged into one item share it).
enum class TVxLegendItemStyle {
    Filled,             ///< the whole item filled, the line along its top
    HalfHorizontal,     ///< the lower half filled, the line across the middle
    AscendingDiagonal,  ///< the lower-right triangle filled, the line rising diagonally
    DescendingDiagonal, ///< the lower-left triangle filled, the line falling diagonally
};

/// What a legend gives the series that draws an item's glyph.
struct TVxLegendItemDrawArgs {
    /// The surface, in legend pixels.
    TVxSurface* Graphics = nullptr;
    /// The glyph rectangle (X, Y, Width, Height).
    QRect Rect;
    /// The item's index in the legend.
    int Index = 0;
};

/// The result of the nearest-point queries.
struct TVxNearestPointResult {
    bool Found = false;
    /// Distance in pixels.
    float Distance = 3.4028235e38f;
    /// Data index, -1 for function series.
    int Index = -1;
    double X = 0;
    double Y = 0;
    /// The pixel point.
    QPointF ThePoint;
};

/// Maps a value (with its index) to the value used for ranges, pixels and queries.
using TVxValueTransformation =
    std::function<double(TVxSeries* Sender, const TVxTransformEventArgs& e)>;
/// Per-segment pen override.
using TVxPenEventHandler = std::function<void(TVxSeries* Sender, TVxPenEventArgs& e)>;
/// Per-segment brush override.
using TVxBrushEventHandler = std::function<void(TVxSeries* Sender, TVxBrushEventArgs& e)>;
/// Per-point symbol override.
using PointSymbolEventHandler = std::function<void(TVxSeries* Sender, PointSymbolEventArgs& e)>;

class TVxSeries : public TVxComponent,
                  public TVxAxisRangeSource,
                  public TVxVectorListener,
                  public TVxVariableContainer {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool IncludeInLegend READ IncludeInLegend WRITE SetIncludeInLegend)
    Q_PROPERTY(bool AutoUpdate READ AutoUpdate WRITE SetAutoUpdate)
    Q_PROPERTY(bool OutliersVisible READ OutliersVisible WRITE SetOutliersVisible)
    Q_PROPERTY(TVxAxis* XAxis READ XAxis WRITE SetXAxis)
    Q_PROPERTY(TVxAxis* YAxis READ YAxis WRITE SetYAxis)
    Q_PROPERTY(TVxCustomDoubleVector* XData READ XData WRITE SetXData)
    Q_PROPERTY(TVxCustomDoubleVector* YData READ YData WRITE SetYData)
    Q_PROPERTY(int Layer READ Layer WRITE SetLayer)

public:
    /// A visible series with a visible line, hidden area and hidden symbols, no axes, no data.
    explicit TVxSeries(QObject* AOwner = nullptr);
    ~TVxSeries() override;

    // Published properties.
    bool Visible() const { return FVisible; }
    /// Shows or hides the series (undoable).
    void SetVisible(bool Value);
    /// The legend text (rich caption markup).
    QString Caption() const { return FCaption; }
    /// Sets the caption; trailing blanks are removed (undoable).
    void SetCaption(const QString& Value);
    bool IncludeInLegend() const { return FIncludeInLegend; }
    /// Lists the series in legends or not (undoable).
    void SetIncludeInLegend(bool Value);
    /// The graph's poll and paint recompute the data extent.
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value) { FAutoUpdate = Value; }
    /// Outliers are drawn and counted in the ranges.
    bool OutliersVisible() const { return FOutliersVisible; }
    /// Shows or hides outliers (undoable); the ranges are recomputed.
    void SetOutliersVisible(bool Value);
    TVxAxis* XAxis() const { return FXAxis; }
    /// Takes another X axis (undoable).
    virtual void SetXAxis(TVxAxis* Value);
    TVxAxis* YAxis() const { return FYAxis; }
    /// Takes another Y axis (undoable); the Y axis' host is the graph the series joins.
    virtual void SetYAxis(TVxAxis* Value);
    /// The X vector (the own indexer when only Y data is set).
    TVxCustomDoubleVector* XData() const { return FXData; }
    /// Sets the X vector (undoable).
    void SetXData(TVxCustomDoubleVector* Value);
    /// The Y vector (the own indexer when only X data is set).
    TVxCustomDoubleVector* YData() const override { return FYData; }
    /// Sets the Y vector (undoable).
    void SetYData(TVxCustomDoubleVector* Value);
    /// The drawing order within the graph.
    int Layer() const { return FLayer; }
    /// Sets the drawing order (undoable); the graph sorts its list anew.
    void SetLayer(int Value);

    /// The series' own style settings (copied into by SetLine, SetArea, SetPointSymbol).
    TVxLineSettings* Line() const { return FLine; }
    void SetLine(const TVxLineSettings* Value);
    TVxAreaSettings* Area() const { return FArea; }
    void SetArea(const TVxAreaSettings* Value);
    TVxPointSymbolSettings* PointSymbol() const { return FPointSymbol; }
    void SetPointSymbol(const TVxPointSymbolSettings* Value);

    /// The series whose line bounds the area from below (a band); nullptr for the baseline.
    TVxLineSeries* DrawBandTo() const;
    /// Sets the band partner; the series itself stores nothing.
    void SetDrawBandTo(TVxLineSeries* Value);
    /// Another series drawn into the same legend item; the series itself stores nothing.
    TVxSeries* MergeLegendItemWith() const { return FMergeLegendItemWith; }
    void SetMergeLegendItemWith(TVxSeries* Value);

    /// Optional handlers: value transformations (setting one recomputes the ranges) and
    /// per-segment and per-point overrides.
    void SetXValueTransformation(TVxValueTransformation Value);
    void SetYValueTransformation(TVxValueTransformation Value);
    TVxPenEventHandler OnGetPen;
    TVxBrushEventHandler OnGetBrush;
    PointSymbolEventHandler OnGetPointSymbol;

    // Public state.
    /// The undo stack that records property changes (nullptr: none).
    TVxUndoStack* UndoStack() const { return FUndoStack; }
    /// Attaches an undo stack, handed on to the style settings.
    virtual void SetUndoStack(TVxUndoStack* Stack);
    /// The pixel points are stale.
    bool RecalculatePoints() const { return FRecalculatePoints; }
    /// Count at the last range computation.
    int LastCount() const { return FLastCount; }
    /// The data extent last reported to the axes (after transformations).
    double XStart() const { return FXStart; }
    double XStop() const { return FXStop; }
    double YStart() const { return FYStart; }
    double YStop() const { return FYStop; }
    /// The number of usable value pairs.
    int Count() const { return FCount; }
    /// The reduced polyline in pixels and the data index of each point.
    const std::vector<QPointF>& Points() const { return FPoints; }
    const std::vector<int>& PointIndex() const { return FPointIndex; }
    /// The symbol centres in pixels and their data indices.
    const std::vector<QPointF>& SymbolPoints() const { return FSymbolPoints; }
    const std::vector<int>& SymbolIndex() const { return FSymbolIndex; }
    /// The area polygon (polyline and closing points).
    const std::vector<QPointF>& AreaPoints() const { return FAreaPoints; }
    /// Line pen, area brush, symbol border pen and symbol fill brush in use.
    const TVxPen& LinePen() const { return FPen; }
    void SetLinePen(const TVxPen& Value);
    const TVxBrush& AreaBrush() const { return FBrush; }
    void SetAreaBrush(const TVxBrush& Value);
    const TVxPen& SymbolBorderPen() const { return FSymbolPen; }
    void SetSymbolBorderPen(const TVxPen& Value);
    const TVxBrush& SymbolFillBrush() const { return FSymbolBrush; }
    void SetSymbolFillBrush(const TVxBrush& Value);
    /// The graph the series is attached to (nullptr: none).
    TVxSeriesHost* Host() const { return FHost; }

    // What the graph calls.
    /// Shown: Visible and one of line, area, symbols visible.
    bool SeriesVisible() const override;
    /// Refreshes data-set linked vectors (none yet: nothing to do).
    virtual void CheckDBVectors();
    /// Recomputes the data extent and tells the axes when it changed.
    virtual void Calculate();
    /// Draws the area and the line (clipped by the caller to the data area).
    virtual void PaintGr(TVxSurface& Gr);
    /// Draws the point symbols.
    virtual void DrawSymbols(TVxSurface& Gr);
    /// The pixel points are stale; repaint.
    void PointsModified() override;
    /// The target's layout may have changed: the points are recomputed, and pairs appended
    /// since the last reduction still extend it when the pixel mapping is the same.
    void LayoutModified();
    /// The extent is unknown again: recompute it and tell both axes.
    void RangesModified() override;
    /// Lowers the count of pairs already taken in.
    void SetLastCount(int Value) override;
    /// A value was stored: appended values keep the reduced points of the old ones.
    void VectorChanged() override;
    /// Margin an axis adds at Border (0 bottom, 1 left, 2 top, 3 right) for symbols.
    virtual float ExtraSpaceAt(int Border) const;
    /// The data index of the first reduced point within Delta pixels of (X, Y), -1 for none
    /// or while the points are stale.
    virtual int FindPoint(float X, float Y, float Delta);
    /// FindPoint with Delta = the symbol size when symbols are visible, else 1.
    virtual int FindPoint(float X, float Y);
    /// The nearest reduced point inside the data area to a pixel position.
    void NearestPoint(QPointF FromPosition, TVxNearestPointResult& Result) const;
    /// The reduced point inside the data area in X nearest to the pixel column FromX.
    void NearestX(float FromX, TVxNearestPointResult& Result) const;
    /// The reduced point inside the data area in Y nearest to the pixel row FromY.
    void NearestY(float FromY, TVxNearestPointResult& Result) const;
    /// X and Y of index Idx after the value transformations.
    double TransformedX(int Idx) const;
    double TransformedY(int Idx) const;
    /// A function series computes its points (false here).
    virtual bool IsFunctionSeries() const { return false; }
    /// The data vectors the series refers to, which a chart saved with its values stores:
    /// X and Y here (either may be nullptr or the own indexer, which are not stored); a kind
    /// with more vectors (prices, radii, deltas, weights) overrides it and appends its own
    /// after the base list.
    virtual std::vector<TVxCustomDoubleVector*> ReferencedVectors() const {
        return {FXData.data(), FYData.data()};
    }
    /// Linear interpolation in the raw data at AtX (extrapolating beyond the ends).
    virtual double GetY(double AtX) const;
    /// Index Idx is drawn: outliers are visible or neither vector marks it.
    virtual bool HasValuesAt(int Idx) const;
    /// The graph is going away: forget it and leave both axes.
    void HostDestroyed();
    /// Legend item height in pixels.
    virtual int GetItemHeight() const;
    /// Draws the legend glyph: HalfHorizontal with a visible line or symbols, else Filled.
    virtual void DrawListItem(TVxLegendItemDrawArgs& e);
    /// Draws the legend glyph in Style: area part, line and the symbol at the centre.
    virtual void DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style);
    /// Draws one legend item shared by Participants (the visible series of the item in list
    /// order, this series among them), each in its share of the glyph; an empty list draws
    /// this series alone.
    void DrawMergedItems(TVxLegendItemDrawArgs& e, const std::vector<TVxSeries*>& Participants);
    /// The caption, or the name when the caption is empty.
    QString ToString() const;

    /// Components whose captions show one of the series' variables ("Name", "Caption" and
    /// those of derived kinds); refreshed when the name or the caption changes.
    TVxObjectsToUpdate FObjectsToUpdate;
    void AddObjectToUpdate(QObject* Component) override { FObjectsToUpdate.Add(Component); }

    // Saved records (SeriesRecords.cpp): the base record, then each kind's own fields.
    // Readers treat their input as hostile and raise an error naming the record; the
    // references resolve at the end of the read, or with the loader's TVxPendingReferences
    // when one is open. A kind that overrides one of them adds `using TVxSeries::WriteTo;`
    // and `using TVxSeries::ReadFrom;` to keep the others visible.
    virtual void WriteTo(QIODevice& Stream) const;
    virtual void ReadFrom(QIODevice& Stream);
    /// Appends an element named after the class and writes WriteXmlContent into it.
    virtual void WriteTo(pugi::xml_node Node) const;
    /// Reads the series' own element.
    virtual void ReadFrom(pugi::xml_node Element);
    virtual void WriteTo(TVxIniFile& Ini, const QString& Section) const;
    virtual void ReadFrom(const TVxIniFile& Ini, const QString& Section);
    /// The content of the series' element.
    virtual void WriteXmlContent(pugi::xml_node Element) const;
    /// The stream record in a file, replaced atomically (a failed save keeps the old file).
    void WriteTo(const QString& FileName) const;
    /// Reads a file holding the stream record.
    void ReadFrom(const QString& FileName);

    // Range source and vector listener.
    TVxValueRange AxisValueRange(bool Horizontal) const override;
    double SmallestPositiveValue(bool Horizontal) const override;
    // Markers snapped to the series (LinkedMarkers.h) follow the data.
    void ClearLinkedMarkers() override { VxClearLinkedMarkers(*this); }
    void ValueInsertedLinkedMarkers(int Idx) override { VxValueInsertedLinkedMarkers(*this, Idx); }
    void DeleteLinkedMarkers(int Idx) override { VxDeleteLinkedMarkers(*this, Idx); }

protected:
    void Notification(TVxComponent* AComponent, TVxOperation Operation) override;
    /// Computes the pixel points: the column reduction of the line and of the symbols.
    virtual void CalculatePoints();
    /// The style changed: rebuild pens and brushes, repaint, tell axes on a visibility change.
    void TestVisbleChanged();
    /// Joins or leaves the graph and the axes once axes and vectors are known.
    void TestAllAssigned();
    /// The vectors the series needs are set (here X or Y; the other one may be the indexer).
    virtual bool DataAssigned() const { return FXData || FYData; }
    /// Repaints the graph.
    void Invalidate();
    /// The smaller of the two vector counts; sets FMinCount.
    virtual int GetUsableCount();
    /// Value through the X or Y value transformation (unchanged without one).
    double TransformXValue(int Idx, double Value) const { return TransformX(Idx, Value); }
    double TransformYValue(int Idx, double Value) const { return TransformY(Idx, Value); }
    /// Whether Vector is the series' own indexer.
    bool IsOwnIndexer(const TVxCustomDoubleVector* Vector) const;
    /// Exchanges the X and Y data (the indexer's role with them) and the value
    /// transformations, for kinds that turn by 90 degrees; the ranges are recomputed.
    void SwapXYData();

    bool FDoPointSettingsStorage = false;

private:
    // Computed curves replace the extent, the points and the painting of the data line.
    friend class TVxFunctionSeries;
    // Price and error-bar series draw their own items from the base's points and vectors.
    friend class TVxCustomOHLC;
    friend class TVxPointWithErrorSeries;
    // The spectrum draws its lines from its own arrays, reduced per pixel column.
    friend class TVxDiscreteFourier;
    void RecordUndo(const char* Description, const char* PropName);
    void LeaveAll();
    void CloseAreaPolygon();
    void DrawLinesAndArea(TVxSurface& Gr);
    double TransformX(int Idx, double Value) const;
    double TransformY(int Idx, double Value) const;
    void ExtentOf(bool ForX, double& Start, double& Stop);
    bool SymbolsVisible() const;
    double AreaBase() const;
    TVxReductionView View() const;
    bool PointsStale() const;
    void MarkPointsStale();
    void ForgetReduction();
    int CurrentCount() const;
    int CurrentCountForBand();
    double SmallestPositive(bool ForX) const;
    const std::vector<QPointF>& QueryPoints(const std::vector<int>*& Indices) const;
    void Nearest(int Mode, QPointF From, TVxNearestPointResult& Result) const;

    bool FVisible = true;
    QString FCaption;
    bool FCaptionSet = false;
    bool FIncludeInLegend = true;
    bool FAutoUpdate = true;
    bool FOutliersVisible = false;
    int FLayer = 0;
    QPointer<TVxAxis> FXAxis;
    QPointer<TVxAxis> FYAxis;
    QPointer<TVxCustomDoubleVector> FXData;
    QPointer<TVxCustomDoubleVector> FYData;
    QPointer<TVxSeries> FDrawBandTo;
    QPointer<TVxSeries> FMergeLegendItemWith;
    QPointer<TVxUndoStack> FUndoStack;
    TVxSeriesHost* FHost = nullptr;
    TVxIndexer* FIndexer = nullptr;

    TVxLineSettings* FLine = nullptr;
    TVxAreaSettings* FArea = nullptr;
    TVxPointSymbolSettings* FPointSymbol = nullptr;
    TVxValueTransformation FXValueTransformation;
    TVxValueTransformation FYValueTransformation;

    TVxPen FPen;
    TVxBrush FBrush;
    TVxPen FSymbolPen;
    TVxBrush FSymbolBrush;
    bool FOwnsPen = true;
    bool FOwnsBrush = true;
    bool FOwnsSymbolPen = true;
    bool FOwnsSymbolBrush = true;

    double FXStart;
    double FXStop;
    double FYStart;
    double FYStop;
    int FCount = 0;
    int FLastCount = 0;
    int FMinCount = 1;
    bool FRecalculatePoints = true;
    bool FInvalidating = false; // the host is being told of a change
    bool FCalculating = false;  // CalculatePoints runs (a band partner must not recurse)
    bool FLastVisible = true;
    float FLastSymbolSize = 0;
    TVxReductionView FLastView;           // the pixel layout the points were computed for
    mutable double FSmallest[2] = {0, 0}; // smallest positive X and Y, cached
    mutable bool FSmallestValid[2] = {false, false};

    std::vector<QPointF> FPoints;
    std::vector<int> FPointIndex;
    std::vector<QPointF> FSymbolPoints;
    std::vector<int> FSymbolIndex;
    std::vector<QPointF> FAreaPoints;
    std::vector<int> FHidden;
    std::vector<double> FXBuffer; // transformed values
    std::vector<double> FYBuffer;
    TVxColumnReduction FReduction;
    // Since the last reduction only values at or above FReducedCount changed (appends), as
    // the vectors' range summaries (FSummaries, read at each change message) tell; any
    // other change clears it and the next reduction starts from scratch.
    bool FAppendOnly = false;
    int FReducedCount = 0;
    int FChangedFrom = 0;
    bool FReducedLine = false;
    bool FReducedSymbols = false;
    const TVxCustomDoubleVector* FReducedData[2] = {nullptr, nullptr};
    const TVxMinMaxPyramid* FSummaries[2] = {nullptr, nullptr};
};

/// A series with its line properties published.
class TVxLineSeries : public TVxSeries {
    Q_OBJECT

public:
    explicit TVxLineSeries(QObject* AOwner = nullptr);
};

/// A line series with point symbols switched on.
class TVxPointSeries : public TVxLineSeries {
    Q_OBJECT

public:
    explicit TVxPointSeries(QObject* AOwner = nullptr);
};
