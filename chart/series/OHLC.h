#pragma once
// Price series: four values per X (open, high, low and close), drawn as OHLC bars (a high-low
// bar with the open tick to the left and the close tick to the right) or as candlesticks (a
// body from open to close coloured by the direction of the change, with shadows to high and
// low). The close values are the series' Y data, the X values its X data (the own indexer
// when none is set).

#include "drawing/TopmostSelection.h"
#include "series/Series.h"

#include <array>

class TVxCustomOHLC : public TVxSeries {
    Q_OBJECT
    Q_PROPERTY(float BarWidth READ BarWidth WRITE SetBarWidth)
    Q_PROPERTY(TVxCustomDoubleVector* OpenData READ OpenData WRITE SetOpenData)
    Q_PROPERTY(TVxCustomDoubleVector* CloseData READ CloseData WRITE SetCloseData)
    Q_PROPERTY(TVxCustomDoubleVector* HighData READ HighData WRITE SetHighData)
    Q_PROPERTY(TVxCustomDoubleVector* LowData READ LowData WRITE SetLowData)

public:
    explicit TVxCustomOHLC(QObject* AOwner = nullptr);
    ~TVxCustomOHLC() override;

    /// Width of a bar or body in pixels.
    float BarWidth() const { return FBarWidth; }
    /// Sets the width (undoable); a value not above 0, NaN or an infinite one is stored as 1.
    void SetBarWidth(float Value);
    TVxCustomDoubleVector* OpenData() const { return FOpenData; }
    /// Sets the open vector (undoable).
    void SetOpenData(TVxCustomDoubleVector* Value);
    /// The close vector (the Y data).
    TVxCustomDoubleVector* CloseData() const { return YData(); }
    /// Sets the close vector as the Y data, one undo step.
    void SetCloseData(TVxCustomDoubleVector* Value);
    TVxCustomDoubleVector* HighData() const { return FHighData; }
    /// Sets the high vector (undoable).
    void SetHighData(TVxCustomDoubleVector* Value);
    TVxCustomDoubleVector* LowData() const { return FLowData; }
    /// Sets the low vector (undoable).
    void SetLowData(TVxCustomDoubleVector* Value);

    /// Value transformations of the open, high and low values (the close values use the Y
    /// transformation); setting one recomputes the ranges.
    void SetOpenValueTransformation(TVxValueTransformation Value);
    void SetHighValueTransformation(TVxValueTransformation Value);
    void SetLowValueTransformation(TVxValueTransformation Value);
    void SetCloseValueTransformation(TVxValueTransformation Value) {
        SetYValueTransformation(std::move(Value));
    }

    /// Open, high, low and close at Idx after the transformations (NaN outside the count).
    double OpenAt(int Idx) const;
    double HighAt(int Idx) const;
    double LowAt(int Idx) const;
    double CloseAt(int Idx) const;

    /// The pixel Y of low, open and high of each drawn point (pixel X and close are Points()).
    const std::vector<float>& LowPoint() const { return FLowPoint; }
    const std::vector<float>& OpenPoint() const { return FOpenPoint; }
    const std::vector<float>& HighPoint() const { return FHighPoint; }

    /// Drawn items (for tests): how many the last paint drew one by one.
    int LastDrawnItems() const { return FLastDrawnItems; }

    // What the graph calls.
    void CheckDBVectors() override {}
    /// The extent: X over the transformed X values, Y from the lowest to the highest of all
    /// low and high values.
    void Calculate() override;
    /// Open, close, low, high and X are not outliers at Idx (or outliers are visible).
    bool HasValuesAt(int Idx) const override;
    /// X and close, then open, high and low.
    std::vector<TVxCustomDoubleVector*> ReferencedVectors() const override;
    /// The first drawn point whose bar reaches X horizontally and whose high-low span holds Y.
    int FindPoint(float X, float Y) override;
    using TVxSeries::FindPoint;

    // Change messages of the five vectors.
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
    bool DataAssigned() const override;
    int GetUsableCount() override;
    void CalculatePoints() override;
    /// Half the horizontal reach of a drawn point from its centre.
    virtual float HalfReach() const;
    /// Drawing one by one only what shows is allowed (no per-item handlers).
    virtual bool SelectionAllowed() const { return !OnGetPen; }
    /// Points stale: recompute them; false when nothing is to be drawn.
    bool PreparePoints();
    /// The indices k (into Points) of the points to draw on Gr, in order: all of them, or on a
    /// raster target only those that are the last to reach some pixel. Describe adds the
    /// pixels of point k.
    template <typename TDescribe>
    const std::vector<int>& PointsToDraw(TVxSurface& Gr, TDescribe&& Describe);
    /// The pixel geometry of point k: centre X, close, open, high, low (whole pixels on
    /// pixel-exact targets).
    struct TItemPixels {
        double X, Close, Open, High, Low;
    };
    TItemPixels ItemPixels(int K) const;
    /// The raw (untransformed) open and close of data index Idx.
    double RawOpen(int Idx) const;
    double RawClose(int Idx) const;
    void RecordOwnUndo(const char* Description, const char* PropName);
    /// The line's pen for the current data area (or the one set with SetLinePen).
    const TVxPen& CurrentLinePen();
    bool FSnap = false; // the current paint goes to a pixel-exact raster target

    float FBarWidth = 4;
    int FLastDrawnItems = 0;

private:
    enum TKind { Low = 0, Open = 1, High = 2 };
    void SetKindData(TKind Kind, TVxCustomDoubleVector* Value);
    double KindAt(TKind Kind, int Idx) const;
    void ExtentStale();

    std::array<QPointer<TVxCustomDoubleVector>, 3> FKindData;
    std::array<TVxValueTransformation, 3> FKindTransformation;
    QPointer<TVxCustomDoubleVector>& FLowData = FKindData[Low];
    QPointer<TVxCustomDoubleVector>& FOpenData = FKindData[Open];
    QPointer<TVxCustomDoubleVector>& FHighData = FKindData[High];
    std::vector<float> FLowPoint;
    std::vector<float> FOpenPoint;
    std::vector<float> FHighPoint;
    std::vector<int> FDrawOrder;
    TVxTopmostSelection FSelection; // kept between paints with its buffers
    bool FExtentStale = true;
};

/// OHLC bars: the high-low bar (filled with the area, outlined with the line), the open tick to
/// the left and the close tick to the right.
class TVxOHLC : public TVxCustomOHLC {
    Q_OBJECT
    Q_PROPERTY(float IndicatorLength READ IndicatorLength WRITE SetIndicatorLength)

public:
    /// Bar width 4, ticks 5 pixels, line and area "DarkBlue", area visible.
    Q_INVOKABLE explicit TVxOHLC(QObject* AOwner = nullptr);

    /// Length of the open and close ticks in pixels.
    float IndicatorLength() const { return FIndicatorLength; }
    /// Sets the tick length (undoable); NaN is ignored.
    void SetIndicatorLength(float Value);

    /// round(2 x IndicatorLength + BarWidth + 2).
    int GetItemHeight() const override;
    /// BarWidth / 2 + IndicatorLength at the left and right borders (1 and 3), else 0.
    float ExtraSpaceAt(int Border) const override;
    void PaintGr(TVxSurface& Gr) override;
    void DrawListItem(TVxLegendItemDrawArgs& e) override;
    void DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) override;

    using TVxCustomOHLC::ReadFrom;
    using TVxCustomOHLC::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void WriteXmlContent(pugi::xml_node Element) const override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;

protected:
    float HalfReach() const override;
    bool SelectionAllowed() const override { return !OnGetPen && !OnGetBrush; }

private:
    void DrawBar(TVxSurface& Gr, QPointF Centre, double Open, double High, double Low, double Close,
                 const TVxBrush* Brush, const TVxPen* Pen);
    float FIndicatorLength = 5;
};

/// Candlesticks: a body from open to close, filled with BullColor when the price rose,
/// BearColor when it fell and opaque black when it stayed, with shadows to high and low.
class TVxCandleSticks : public TVxCustomOHLC {
    Q_OBJECT
    Q_PROPERTY(int BullColor READ BullColor WRITE SetBullColor)
    Q_PROPERTY(int BearColor READ BearColor WRITE SetBearColor)
    Q_PROPERTY(
        bool ShadowsSameColorAsFill READ ShadowsSameColorAsFill WRITE SetShadowsSameColorAsFill)

public:
    /// Bar width 6, line "Black", bull "Green", bear "Red".
    Q_INVOKABLE explicit TVxCandleSticks(QObject* AOwner = nullptr);

    TVxColor BullColor() const { return FBullColor; }
    /// Sets the fill of rising candles (undoable).
    void SetBullColor(TVxColor Value);
    TVxColor BearColor() const { return FBearColor; }
    /// Sets the fill of falling candles (undoable).
    void SetBearColor(TVxColor Value);
    bool ShadowsSameColorAsFill() const { return FShadowsSameColorAsFill; }
    /// Outlines and shadows take the fill colour instead of the line colour (undoable).
    void SetShadowsSameColorAsFill(bool Value);

    /// The fill of data index Idx: bull, bear or opaque black by its raw open and close.
    TVxColor FillColorAt(int Idx) const;

    /// round(BarWidth + 2).
    int GetItemHeight() const override;
    /// BarWidth / 2 at the left and right borders (1 and 3), else 0.
    float ExtraSpaceAt(int Border) const override;
    void PaintGr(TVxSurface& Gr) override;
    void DrawListItem(TVxLegendItemDrawArgs& e) override;
    void DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) override;

    using TVxCustomOHLC::ReadFrom;
    using TVxCustomOHLC::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void WriteXmlContent(pugi::xml_node Element) const override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;

private:
    void DrawCandle(TVxSurface& Gr, double X, double Open, double Close, double High, double Low,
                    TVxColor Fill, const TVxPen* Pen);
    TVxColor FBullColor;
    TVxColor FBearColor;
    bool FShadowsSameColorAsFill = false;
};
