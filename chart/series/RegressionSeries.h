#pragma once
// A straight line fitted to the data (weighted, optionally through a fixed offset), in
// logarithmic space along a logarithmic axis. The fit is chart/numeric's LinearRegression;
// the series draws the line with two points (it is straight in the pixel space of any
// combination of linear and logarithmic axes) and offers its statistics as caption
// variables ("Slope", "Offset", "SumOfResiduals", ...).

#include "numeric/LinearRegression.h"
#include "series/FunctionSeries.h"

/// The regression's calculation: the results, and Xi/Yi as decimal logarithms along
/// logarithmic axes (values <= 0 are left out there, as the axis leaves them out).
class TVxLinearRegressionCalculation : public TVxCalculation {
public:
    TVxLinearRegressionCalculation() = default;

    double Slope = 1.0;
    double DeltaSlope = 1.0;
    double Offset = 1.0;
    double DeltaOffset = 1.0;
    double AverageX = 1.0;
    double AverageY = 1.0;
    double VarianceX = 1.0;
    double VarianceY = 1.0;
    double Probability = 1.0;
    double Correlation = 1.0;
    double SumOfResiduals = 1.0;
    /// Only the slope is fitted; the line goes through (0, Offset).
    bool FixedOffset = false;
    /// Fit log10(x) respectively log10(y).
    bool XLog = false;
    bool YLog = false;

    double Xi(int Idx) const override;
    double Yi(int Idx) const override;
    /// Fits the valid points; the results change only when the fit succeeds. Raises "Not
    /// enough data points to calculate function" for fewer than two usable points.
    void Calculate() override;

protected:
    bool PlainValues() const override { return !XLog && !YLog; }
};

class TVxLinearRegression : public TVxFunctionSeries {
    Q_OBJECT
    Q_PROPERTY(bool FixedOffset READ FixedOffset WRITE SetFixedOffset)
    Q_PROPERTY(double Offset READ Offset WRITE SetOffset)

public:
    /// A regression of the data's X extent, free offset; registers its caption variables.
    explicit TVxLinearRegression(QObject* AOwner = nullptr);

    /// The line goes through (0, Offset) (undoable).
    bool FixedOffset() const { return FRegr->FixedOffset; }
    void SetFixedOffset(bool Value);
    /// The fitted offset, or the fixed one; setting it (finite values only) is undoable while
    /// FixedOffset is set, and without it the next fit overwrites it.
    double Offset() const { return FRegr->Offset; }
    void SetOffset(double Value);

    // Results of the last successful fit (in logarithmic space along logarithmic axes).
    double Slope() const { return FRegr->Slope; }
    double DeltaSlope() const { return FRegr->DeltaSlope; }
    double DeltaOffset() const { return FRegr->DeltaOffset; }
    double AverageX() const { return FRegr->AverageX; }
    double AverageY() const { return FRegr->AverageY; }
    double VarianceX() const { return FRegr->VarianceX; }
    double VarianceY() const { return FRegr->VarianceY; }
    double Probability() const { return FRegr->Probability; }
    double Correlation() const { return FRegr->Correlation; }
    double SumOfResiduals() const { return FRegr->SumOfResiduals; }

    /// Slope x + Offset, with x = log10(AtX) along a logarithmic X axis and 10 to the power
    /// of the result along a logarithmic Y axis.
    double GetY(double AtX) const override;
    /// "Y=a+b(X)", with "lg(...)" for each logarithmic axis.
    QString Formula() const override;

    using TVxFunctionSeries::ReadFrom;
    using TVxFunctionSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    void WriteXmlContent(pugi::xml_node Element) const override;

protected:
    /// Sets logarithmic axes' LogToNormalScalingLevel to 0 (telling the user once for the Y
    /// axis), fits, and takes the Y extent from the line's ends.
    void RecalculateFunction() override;
    /// The two ends of the line inside the axis range, cut to a band around the data area.
    void CalculatePoints() override;

private:
    TVxLinearRegressionCalculation* FRegr;
};
