#pragma once
// Arrow plots: an arrow from each point (X[i], Y[i]) to (X[i] + dX[i], Y[i] + dY[i]), drawn
// with the arrow settings' pen and head.

#include "AxisMappingMemo.h"
#include "series/Series.h"
#include "styles/ArrowSettings.h"

#include <vector>

/// The direction from From to To in degrees, clockwise on the screen in [0, 360): right 0,
/// down 90, left 180, up 270; 0 for equal points.
double ArrowAngle(QPointF From, QPointF To);

class TVxArrows : public TVxSeries {
    Q_OBJECT
    Q_PROPERTY(TVxArrowSettings* Arrow READ Arrow WRITE SetArrow)
    Q_PROPERTY(TVxCustomDoubleVector* DeltaX READ DeltaX WRITE SetDeltaX)
    Q_PROPERTY(TVxCustomDoubleVector* DeltaY READ DeltaY WRITE SetDeltaY)

public:
    /// An arrow series with visible arrows and no delta vectors.
    explicit TVxArrows(QObject* AOwner = nullptr);
    ~TVxArrows() override;

    /// The arrows' line and head (owned; SetArrow copies).
    TVxArrowSettings* Arrow() const { return FArrow; }
    void SetArrow(const TVxArrowSettings* Value);
    /// The X and Y extents of each arrow.
    TVxCustomDoubleVector* DeltaX() const { return FdX; }
    void SetDeltaX(TVxCustomDoubleVector* Value);
    TVxCustomDoubleVector* DeltaY() const { return FdY; }
    void SetDeltaY(TVxCustomDoubleVector* Value);
    /// Map dX[i] and dY[i] to the extents drawn.
    void SetXDeltaTransformation(TVxValueTransformation Value);
    void SetYDeltaTransformation(TVxValueTransformation Value);

    /// The extents of arrow i after the transformations.
    double Dx(int i) const;
    double Dy(int i) const;
    /// Arrow i is drawn: no vector marks it as an outlier (or outliers are visible).
    bool ArrowHasValues(int i) const;
    /// Start and tip pixels and the data index of each arrow, after a layout.
    const std::vector<QPointF>& Starts() const { return FStarts; }
    const std::vector<QPointF>& Tips() const { return FTips; }
    const std::vector<int>& ArrowIndex() const { return FArrowIndex; }
    /// The usable count at the last extent computation.
    int ArrowCount() const { return FArrowCount; }
    /// The extent last reported (starts and tips together).
    QRectF Extent() const { return QRectF(QPointF(FXMin, FYMin), QPointF(FXMax, FYMax)); }
    /// Lays the arrows out when their points are stale.
    void EnsurePoints();

    /// Visible, with visible arrow settings.
    bool SeriesVisible() const override;
    void Calculate() override;
    void PaintGr(TVxSurface& Gr) override;
    void DrawSymbols(TVxSurface& Gr) override { (void)Gr; }
    int FindPoint(float X, float Y, float Delta) override;
    using TVxSeries::FindPoint;
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
    void SetDelta(QPointer<TVxCustomDoubleVector>& Field, TVxCustomDoubleVector* Value,
                  const char* Description, const char* PropName);
    bool PointsStale() const;
    void ArrowsChanged();

    TVxArrowSettings* FArrow = nullptr;
    QPointer<TVxCustomDoubleVector> FdX;
    QPointer<TVxCustomDoubleVector> FdY;
    // The same objects as plain QObjects, for identity tests while one is being destroyed.
    QPointer<QObject> FDeltaObject[2];
    TVxValueTransformation mXDeltaTransformation;
    TVxValueTransformation mYDeltaTransformation;
    std::vector<QPointF> FStarts;
    std::vector<QPointF> FTips;
    std::vector<int> FArrowIndex;
    int FArrowCount = 0;
    bool FExtentStale = true;
    bool FStale = true;
    double FXMin, FXMax, FYMin, FYMax;
    TVxAxisMappingMemo FLastMapping;
};
