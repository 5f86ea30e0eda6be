#pragma once
// Bubble plots: a circle (or an ellipse) of radius R[i] around each point (X[i], Y[i]). The
// radius is in Y units; a round bubble takes the same length in pixels along X, an
// elliptical one the same length in X units.

#include "AxisMappingMemo.h"
#include "series/Series.h"

#include <QRectF>
#include <vector>

class TVxBubbles : public TVxSeries {
    Q_OBJECT
    Q_PROPERTY(TVxCustomDoubleVector* RadiusData READ RadiusData WRITE SetRadiusData)
    Q_PROPERTY(bool Elliptical READ Elliptical WRITE SetElliptical)

public:
    /// A bubble series with a visible area, no radius vector, round bubbles.
    explicit TVxBubbles(QObject* AOwner = nullptr);
    ~TVxBubbles() override;

    /// The radius of each bubble (Y units).
    TVxCustomDoubleVector* RadiusData() const { return FRadius; }
    /// Sets the radius vector (undoable).
    void SetRadiusData(TVxCustomDoubleVector* Value);
    /// The radius is in X units along X (an ellipse on unequal scales), not round on screen.
    bool Elliptical() const { return FElliptical; }
    /// Sets Elliptical (undoable).
    void SetElliptical(bool Value);
    /// Maps |R[i]| to the radius drawn.
    void SetRadiusTransformation(TVxValueTransformation Value);

    /// The radius of bubble i: |R[i]|, through the transformation when one is set.
    double Radius(int i) const;
    /// Bubble i is drawn: no vector marks it as an outlier (or outliers are visible).
    bool BubbleHasValues(int i) const;
    /// The bounding boxes in pixels and their data indices, after a layout.
    const std::vector<QRectF>& Boxes() const { return FBoxes; }
    const std::vector<int>& BoxIndex() const { return FBoxIndex; }
    /// The usable count at the last extent computation.
    int BubbleCount() const { return FBubbleCount; }
    /// The extent last reported (X and Y including the radii).
    QRectF Extent() const { return QRectF(QPointF(FXMin, FYMin), QPointF(FXMax, FYMax)); }
    /// Lays the bubbles out when their points are stale.
    void EnsurePoints();

    void Calculate() override;
    void PaintGr(TVxSurface& Gr) override;
    void DrawSymbols(TVxSurface& Gr) override { (void)Gr; }
    int FindPoint(float X, float Y) override;
    int FindPoint(float X, float Y, float Delta) override;
    void DrawListItem(TVxLegendItemDrawArgs& e) override;
    void DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) override;
    void PointsModified() override;
    void RangesModified() override;
    void SetLastCount(int Value) override;
    TVxValueRange AxisValueRange(bool Horizontal) const override;
    std::vector<TVxCustomDoubleVector*> ReferencedVectors() const override;

    using TVxSeries::ReadFrom;
    using TVxSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    void WriteXmlContent(pugi::xml_node Element) const override;
    void ReadFrom(pugi::xml_node Element) override;

protected:
    int GetUsableCount() override;
    void CalculatePoints() override;
    void Notification(TVxComponent* AComponent, TVxOperation Operation) override;

private:
    void RecordUndo(const char* Description, const char* PropName);
    bool PointsStale() const;
    double WidthFactor() const;

    QPointer<TVxCustomDoubleVector> FRadius;
    // The same object as a plain QObject, for identity tests while it is being destroyed.
    QPointer<QObject> FRadiusObject;
    bool FElliptical = false;
    TVxValueTransformation mRadiusTransformation;
    std::vector<QRectF> FBoxes;
    std::vector<int> FBoxIndex;
    int FBubbleCount = 0;
    bool FExtentStale = true;
    bool FStale = true;
    double FXMin, FXMax, FYMin, FYMax;
    TVxAxisMappingMemo FLastMapping;
};
