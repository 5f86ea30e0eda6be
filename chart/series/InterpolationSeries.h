#pragma once
// Series that draw a piecewise cubic through (or, for the approximative spline, near) their
// data: the curve itself (TVxInterpolation), its first derivative (TVxDifferential) and its
// integral from the first data point (TVxIntegral). The curve is a TVxSpline of
// chart/numeric; the series sample it once per pixel column like every function series.

#include "numeric/Splines.h"
#include "series/FunctionSeries.h"

#include <vector>

/// The spline a series draws, built on the valid points of its data, with the extremum
/// lists of the curve, its derivative and its integral (searched on first request).
class TVxInterpolationCalculation : public TVxCalculation {
public:
    /// Gathers the valid points and builds the spline; raises "Not enough data points to
    /// calculate function" with fewer than 6 (approximative spline) or 3 points.
    void Calculate() override;

    /// The curve, its slope, curvature and integral from the first knot at X.
    double Interpolate(double X) const { return FSpline.Interpolate(X); }
    double Slope(double X) const { return FSpline.Slope(X); }
    double Curvature(double X) const { return FSpline.Curvature(X); }
    double Integral(double X) const { return FSpline.Integral(X); }
    /// What at every X (ascending X walk the spline once).
    void Evaluate(TVxSplineValue What, std::span<const double> X, std::span<double> Y) const {
        FSpline.Evaluate(What, X, Y);
    }

    /// The method; choosing ApproximativeSpline switches smoothing off with a message.
    TVxInterpolationMethod InterpolationMethod() const { return FInterpolationMethod; }
    void SetInterpolationMethod(TVxInterpolationMethod Value);
    /// Smooth the points before interpolating; refused with a message under
    /// ApproximativeSpline.
    bool SmoothPoints() const { return FDoSmoothing; }
    void SetSmoothPoints(bool Value);
    /// The x distance of the triangular smoothing.
    double SmoothingRange() const { return FSmoothM; }
    void SetSmoothingRange(double Value);
    /// The weight factor of the approximative spline; a value not above 0 is kept as 1e-300.
    double ElasticityFactor() const { return FElasticityFactor; }
    void SetElasticityFactor(double Value);
    /// While reading a record the method change switches smoothing off without a message.
    bool Quiet = false;

    /// Extremum lists of the curve, its derivative and its integral (empty before a
    /// successful Calculate).
    const std::vector<TVxDoublePoint>& Minima() const;
    const std::vector<TVxDoublePoint>& Maxima() const;
    const std::vector<TVxDoublePoint>& DifferentialMinima() const;
    const std::vector<TVxDoublePoint>& DifferentialMaxima() const;
    const std::vector<TVxDoublePoint>& IntegralMinima() const;
    const std::vector<TVxDoublePoint>& IntegralMaxima() const;
    /// The curve was built from the current data and settings.
    bool Current() const { return !FRecalculate; }

private:
    TVxSpline FSpline;
    bool FRecalculate = true;
    bool FDoSmoothing = false;
    double FSmoothM = 0;
    double FElasticityFactor = 1.0;
    TVxInterpolationMethod FInterpolationMethod = TVxInterpolationMethod::Akima;
    mutable bool FSearchExtrema = true, FSearchDiffExtrema = true, FSearchIntExtrema = true;
    mutable std::vector<TVxDoublePoint> FMinima, FMaxima, FDiffMinima, FDiffMaxima, FIntMinima,
        FIntMaxima;
};

/// The interpolated curve of the data.
class TVxInterpolation : public TVxFunctionSeries {
    Q_OBJECT
    Q_PROPERTY(
        int InterpolationMethod READ InterpolationMethodOrdinal WRITE SetInterpolationMethodOrdinal)
    Q_PROPERTY(bool SmoothPoints READ SmoothPoints WRITE SetSmoothPoints)
    Q_PROPERTY(double SmoothingRange READ SmoothingRange WRITE SetSmoothingRange)
    Q_PROPERTY(double ElasticityFactor READ ElasticityFactor WRITE SetElasticityFactor)

public:
    /// Akima, no smoothing, elasticity 1; at least 3 usable points.
    explicit TVxInterpolation(QObject* AOwner = nullptr);

    /// The method (undo "Algorithm used for interpolation"); 6 points are needed for the
    /// approximative spline, 3 otherwise.
    TVxInterpolationMethod InterpolationMethod() const;
    void SetInterpolationMethod(TVxInterpolationMethod Value);
    /// The method as its ordinal (values out of range are ignored).
    int InterpolationMethodOrdinal() const { return int(InterpolationMethod()); }
    void SetInterpolationMethodOrdinal(int Value);
    /// Smoothing before interpolation (undo "Smoothing ON/OFF").
    bool SmoothPoints() const { return FInterpolation->SmoothPoints(); }
    void SetSmoothPoints(bool Value);
    /// Smoothing width (undo "Smoothing range"); non-finite values are refused.
    double SmoothingRange() const { return FInterpolation->SmoothingRange(); }
    void SetSmoothingRange(double Value);
    /// Elasticity of the approximative spline (undo "Elasticity of approximative spline");
    /// non-finite values are refused.
    double ElasticityFactor() const { return FInterpolation->ElasticityFactor(); }
    void SetElasticityFactor(double Value);

    /// The local minima and maxima of what this kind draws.
    virtual const std::vector<TVxDoublePoint>& Minima() const;
    virtual const std::vector<TVxDoublePoint>& Maxima() const;
    /// The spline calculation.
    TVxInterpolationCalculation& Interpolation() const { return *FInterpolation; }

    double GetY(double AtX) const override;
    void GetYs(std::span<const double> X, std::span<double> Y) const override;
    QString Formula() const override;

    // Records: the function series record, then method, smoothing and elasticity.
    using TVxFunctionSeries::ReadFrom;
    using TVxFunctionSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    void WriteXmlContent(pugi::xml_node Element) const override;

protected:
    /// "Interpolation", "Differential" or "Integral": the start of the formula text.
    virtual QString FormulaKind() const { return QStringLiteral("Interpolation"); }

private:
    // Applies the saved settings without undo steps or messages.
    void ApplySettings(int Method, bool Smooth, double Range, double Elasticity);

    TVxInterpolationCalculation* FInterpolation;
};

/// The first derivative of the interpolated curve, on a secondary Y axis by default.
class TVxDifferential : public TVxInterpolation {
    Q_OBJECT
public:
    explicit TVxDifferential(QObject* AOwner = nullptr);
    double GetY(double AtX) const override;
    void GetYs(std::span<const double> X, std::span<double> Y) const override;
    const std::vector<TVxDoublePoint>& Minima() const override;
    const std::vector<TVxDoublePoint>& Maxima() const override;
    /// Takes PrimaryX and, of the graph's ChildAxes, the first vertical axis that is neither
    /// PrimaryY nor a slave, else PrimaryY (nothing is asked).
    void SetDefaultAxis(const std::vector<TVxAxis*>& ChildAxes, TVxAxis* PrimaryX,
                        TVxAxis* PrimaryY);

protected:
    QString FormulaKind() const override { return QStringLiteral("Differential"); }
};

/// The integral of the interpolated curve from its first data point.
class TVxIntegral : public TVxDifferential {
    Q_OBJECT
public:
    explicit TVxIntegral(QObject* AOwner = nullptr);
    double GetY(double AtX) const override;
    void GetYs(std::span<const double> X, std::span<double> Y) const override;
    const std::vector<TVxDoublePoint>& Minima() const override;
    const std::vector<TVxDoublePoint>& Maxima() const override;

protected:
    QString FormulaKind() const override { return QStringLiteral("Integral"); }
};
