#pragma once
// A point series with error bars: up to four whiskers per point (X plus and minus, Y plus and
// minus), each a line from the point to its end with a short cross bar there. The deltas come
// from four optional vectors; the axes' ranges include the whiskers.

#include "drawing/TopmostSelection.h"
#include "series/Series.h"

#include <array>

class TVxPointWithErrorSeries : public TVxPointSeries {
    Q_OBJECT
    Q_PROPERTY(TVxLineSettings* ErrorIndicator READ ErrorIndicator WRITE SetErrorIndicator)
    Q_PROPERTY(TVxCustomDoubleVector* DeltaXPlus READ DeltaXPlus WRITE SetDeltaXPlus)
    Q_PROPERTY(TVxCustomDoubleVector* DeltaXMinus READ DeltaXMinus WRITE SetDeltaXMinus)
    Q_PROPERTY(TVxCustomDoubleVector* DeltaYPlus READ DeltaYPlus WRITE SetDeltaYPlus)
    Q_PROPERTY(TVxCustomDoubleVector* DeltaYMinus READ DeltaYMinus WRITE SetDeltaYMinus)

public:
    /// The four kinds of whiskers.
    enum TDeltaKind { XPlus = 0, XMinus = 1, YPlus = 2, YMinus = 3 };

    /// A point series with "Gray" error bars of width 1 and no delta vectors.
    Q_INVOKABLE explicit TVxPointWithErrorSeries(QObject* AOwner = nullptr);
    ~TVxPointWithErrorSeries() override;

    /// Look and visibility of the error bars.
    TVxLineSettings* ErrorIndicator() const { return FErrorIndicator; }
    /// Copies Value into the error bar settings.
    void SetErrorIndicator(const TVxLineSettings* Value);
    /// The pen of the error bars, rebuilt from ErrorIndicator at each style change.
    const TVxPen& ErrorIndicatorsPen() const { return FErrorIndicatorsPen; }

    TVxCustomDoubleVector* DeltaXPlus() const { return FDelta[XPlus]; }
    TVxCustomDoubleVector* DeltaXMinus() const { return FDelta[XMinus]; }
    TVxCustomDoubleVector* DeltaYPlus() const { return FDelta[YPlus]; }
    TVxCustomDoubleVector* DeltaYMinus() const { return FDelta[YMinus]; }
    /// Set a delta vector (undoable); the extent is computed anew.
    void SetDeltaXPlus(TVxCustomDoubleVector* Value) { SetDelta(XPlus, Value); }
    void SetDeltaXMinus(TVxCustomDoubleVector* Value) { SetDelta(XMinus, Value); }
    void SetDeltaYPlus(TVxCustomDoubleVector* Value) { SetDelta(YPlus, Value); }
    void SetDeltaYMinus(TVxCustomDoubleVector* Value) { SetDelta(YMinus, Value); }
    /// The delta vector of Kind.
    TVxCustomDoubleVector* Delta(TDeltaKind Kind) const { return FDelta[Kind]; }
    /// Sets the delta vector of Kind (undoable).
    void SetDelta(TDeltaKind Kind, TVxCustomDoubleVector* Value);
    /// Sets the transformation of the deltas of Kind; the extent is computed anew.
    void SetDeltaTransformation(TDeltaKind Kind, TVxValueTransformation Value);
    /// The delta of Kind at Idx: |value| (through |transformation| when one is set); false when
    /// the vector is missing, does not hold Idx or holds NaN there.
    bool DeltaAt(TDeltaKind Kind, int Idx, double& Value) const;

    /// Per-point override of the error bar pen (Index, transformed X and Y).
    TVxPenEventHandler OnGetIndicatorsPen;

    /// The points that carry whiskers (pixels, data indices) and, for each, the pixel
    /// coordinate of each whisker end (X for the X kinds, Y for the Y kinds), NaN where that
    /// point has no whisker of the kind.
    const std::vector<QPointF>& WhiskerPoints() const { return FWhiskerPoints; }
    const std::vector<int>& WhiskerIndex() const { return FWhiskerIndex; }
    const std::vector<float>& WhiskerEnds(TDeltaKind Kind) const { return FWhiskerEnds[Kind]; }
    /// Points whose whiskers the last paint drew.
    int LastDrawnItems() const { return FLastDrawnItems; }

    /// X and Y, then the four delta vectors.
    std::vector<TVxCustomDoubleVector*> ReferencedVectors() const override;
    void SetUndoStack(TVxUndoStack* Stack) override;
    /// Visible, and a line, area or symbols shown, or error bars with some delta vector.
    bool SeriesVisible() const override;
    /// The base height, plus 8 with visible error bars and a Y delta vector.
    int GetItemHeight() const override;
    /// X and Y are not outliers at Idx, nor is any delta vector that holds Idx.
    bool HasValuesAt(int Idx) const override;
    /// The extent including the whiskers (the plain extent without error bars).
    void Calculate() override;
    void PaintGr(TVxSurface& Gr) override;
    void DrawListItem(TVxLegendItemDrawArgs& e) override;
    using TVxSeries::DrawListItem;

    void RangesModified() override;
    void SetLastCount(int Value) override;
    void VectorChanged() override;
    void VectorReset() override;

    using TVxSeries::ReadFrom;
    using TVxSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void WriteXmlContent(pugi::xml_node Element) const override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;

protected:
    void Notification(TVxComponent* AComponent, TVxOperation Operation) override;
    void CalculatePoints() override;

private:
    bool IndicatorsShown() const;
    void IndicatorStyleChanged();
    void DrawWhiskers(TVxSurface& Gr, bool Snap);

    TVxLineSettings* FErrorIndicator = nullptr;
    bool FLastIndicatorsVisible = true;
    TVxPen FErrorIndicatorsPen;
    std::array<QPointer<TVxCustomDoubleVector>, 4> FDelta;
    std::array<TVxValueTransformation, 4> FDeltaTransformation;
    std::vector<QPointF> FWhiskerPoints;
    std::vector<int> FWhiskerIndex;
    std::array<std::vector<float>, 4> FWhiskerEnds;
    std::vector<int> FDrawOrder;
    TVxTopmostSelection FSelection; // kept between paints with its buffers
    std::vector<QLineF> FLines;
    bool FExtentStale = true;
    int FLastDrawnItems = 0;
};
