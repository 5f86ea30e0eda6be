#pragma once
// A moving average of the data, drawn as the Akima curve through the averaged points.

#include "numeric/MovingAverage.h"
#include "series/FunctionSeries.h"

/// Averages the valid points and builds the curve through the averages.
class TVxMovingAverageCalculation : public TVxCalculation {
public:
    /// Raises "Not enough data points to calculate function" with fewer than 3 averages.
    void Calculate() override;
    /// The curve through the averaged points at AtX (0 before a successful Calculate).
    double GetY(double AtX) const { return FCurve.Interpolate(AtX); }

    /// The averaging parameters.
    TVxMovingAverageOptions Options;

private:
    TVxSpline FCurve;
};

class TVxMovingAverage : public TVxFunctionSeries {
    Q_OBJECT
    Q_PROPERTY(int AveragingMethod READ AveragingMethodOrdinal WRITE SetAveragingMethodOrdinal)
    Q_PROPERTY(
        int AveragingDirection READ AveragingDirectionOrdinal WRITE SetAveragingDirectionOrdinal)
    Q_PROPERTY(int AveragingRangeMethod READ AveragingRangeMethodOrdinal WRITE
                   SetAveragingRangeMethodOrdinal)
    Q_PROPERTY(double N READ N WRITE SetN)
    Q_PROPERTY(
        double ExponentialFactorForN READ ExponentialFactorForN WRITE SetExponentialFactorForN)

public:
    /// Linearly weighted over the 10 points before each point; at least 3 usable points
    /// (the curve through the averages needs them).
    explicit TVxMovingAverage(QObject* AOwner = nullptr);

    /// Weighting (undo "Moving average averaging method").
    TVxAveragingMethod AveragingMethod() const { return FAvg->Options.Method; }
    void SetAveragingMethod(TVxAveragingMethod Value);
    /// Neighbours taken (undo "Moving average averaging directions").
    TVxAveragingDirection AveragingDirection() const { return FAvg->Options.Direction; }
    void SetAveragingDirection(TVxAveragingDirection Value);
    /// Meaning of N (undo "Moving average by count/diatance").
    TVxAveragingRangeMethod AveragingRangeMethod() const { return FAvg->Options.RangeMethod; }
    void SetAveragingRangeMethod(TVxAveragingRangeMethod Value);
    /// Count or distance; stored as its magnitude (undo "Moving average N"); non-finite
    /// values are refused.
    double N() const { return FAvg->Options.N; }
    void SetN(double Value);
    /// Weight factor per distance step, stored as its magnitude, at most 1 (undo "Moving
    /// average exponential factor for N"); NaN is refused.
    double ExponentialFactorForN() const { return FAvg->Options.ExponentialFactorForN; }
    void SetExponentialFactorForN(double Value);

    /// The enumerations as ordinals (values out of range are ignored).
    int AveragingMethodOrdinal() const { return int(AveragingMethod()); }
    void SetAveragingMethodOrdinal(int Value);
    int AveragingDirectionOrdinal() const { return int(AveragingDirection()); }
    void SetAveragingDirectionOrdinal(int Value);
    int AveragingRangeMethodOrdinal() const { return int(AveragingRangeMethod()); }
    void SetAveragingRangeMethodOrdinal(int Value);

    double GetY(double AtX) const override { return FAvg->GetY(AtX); }
    QString Formula() const override;

    // Records: the function series record, then the averaging settings.
    using TVxFunctionSeries::ReadFrom;
    using TVxFunctionSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    void WriteXmlContent(pugi::xml_node Element) const override;

private:
    TVxMovingAverageCalculation* FAvg;
};
