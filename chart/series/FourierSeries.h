#pragma once
// The amplitude spectrum of a series' data as a function series, with the phase spectrum in
// an owned child series ("Phase", hidden at creation) that can be shown on the same axes.

#include "numeric/FourierTransform.h"
#include "series/ColumnReduction.h"
#include "series/FunctionSeries.h"

#include <memory>

class TVxDoubleVector;

/// The spectrum of the valid points: used as they are when their x rise evenly, else
/// resampled at 1024 points over the calculation range.
class TVxDiscreteFourierCalculation : public TVxCalculation {
public:
    /// Transforms the gathered points; fewer than two usable ones give an empty spectrum.
    void Calculate() override;
    /// The last spectrum (empty before a transform or with fewer than two samples).
    const TVxSpectrum& Spectrum() const { return FSpectrum; }
    /// The frequency step.
    double Delta() const { return FSpectrum.Delta; }
    /// The number of spectrum lines.
    int PointsN() const { return int(FSpectrum.Amplitude.size()); }

private:
    TVxSpectrum FSpectrum;
};

/// A series shown by another one: plain points and line, its data bound by its owner (a
/// record neither writes nor reads its data references; its point settings are kept).
class TVxChildSeries : public TVxLineSeries {
    Q_OBJECT
public:
    explicit TVxChildSeries(QObject* AOwner = nullptr);

    using TVxSeries::ReadFrom;
    void ReadFrom(QIODevice& Stream) override;
    void ReadFrom(pugi::xml_node Element) override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    /// No data vectors of its own to store.
    std::vector<TVxCustomDoubleVector*> ReferencedVectors() const override { return {}; }

private:
    // Runs Read and binds the data again that the record's empty references unbound.
    template <typename F> void KeepData(F&& Read);
};

class TVxDiscreteFourier : public TVxFunctionSeries {
    Q_OBJECT
    Q_PROPERTY(TVxChildSeries* Phase READ Phase)

public:
    /// An unclipped spectrum with a hidden green phase child; at least 2 usable points.
    explicit TVxDiscreteFourier(QObject* AOwner = nullptr);
    ~TVxDiscreteFourier() override;

    /// The phase spectrum: Y the phase of each line, X its frequency.
    TVxChildSeries* Phase() const { return FPhaseSeries.get(); }
    /// The transform and its spectrum.
    const TVxDiscreteFourierCalculation& FourierCalculation() const { return *FCalc; }

    /// Also gives the phase child this X axis.
    void SetXAxis(TVxAxis* Value) override;
    /// Also gives the phase child this Y axis when it has none.
    void SetYAxis(TVxAxis* Value) override;
    /// The amplitude at AtX, linear between the lines; 0 without a spectrum.
    double GetY(double AtX) const override;
    /// The index of the first spectrum line drawn within Delta pixels of (X, Y), else -1
    /// (also while the points are stale).
    int FindPoint(float X, float Y, float Delta) override;
    using TVxFunctionSeries::FindPoint;
    QString Formula() const override;

protected:
    /// Transforms, takes the spectrum's extent (unknown when it is empty) and refreshes the
    /// phase child.
    void RecalculateFunction() override;
    /// One point per visible line, reduced to the first, lowest, highest and last of each
    /// pixel column.
    void CalculatePoints() override;

private:
    void ClearSpectrumExtent();

    TVxDiscreteFourierCalculation* FCalc;
    std::vector<double> FFrequencies;
    TVxColumnReduction FReduction;
    std::unique_ptr<TVxDoubleVector> FPhaseVector; // outlives the child that shows it
    std::unique_ptr<TVxChildSeries> FPhaseSeries;
};
