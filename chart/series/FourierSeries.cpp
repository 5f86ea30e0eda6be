#include "series/FourierSeries.h"

#include "drawing/ColorText.h"
#include "persistence/PendingReferences.h"
#include "styles/LineSettings.h"
#include "vectors/DoubleVector.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------------------------
// The calculation

void TVxDiscreteFourierCalculation::Calculate() {
    FSpectrum = TVxSpectrum();
    // The evenness test and the transform see the same samples: hidden outliers and points
    // without weight are gone before either looks at the spacing.
    FSpectrum = DiscreteFourier(Gather(), Start, Stop);
}

// ---------------------------------------------------------------------------------------------
// The child series

TVxChildSeries::TVxChildSeries(QObject* AOwner) : TVxLineSeries(AOwner) {
    FDoPointSettingsStorage = true;
}

template <typename F> void TVxChildSeries::KeepData(F&& Read) {
    const QPointer<TVxCustomDoubleVector> x = IsOwnIndexer(XData()) ? nullptr : XData();
    const QPointer<TVxCustomDoubleVector> y = IsOwnIndexer(YData()) ? nullptr : YData();
    Read();
    const auto bind = [this, x, y](QObject*) {
        if (y)
            SetYData(y);
        if (x)
            SetXData(x);
    };
    bind(nullptr);
    // A chart loader resolves the record's (empty) data references later: bind after them.
    if (TVxPendingReferences* pending = TVxPendingReferences::Active())
        pending->Add(this, QString(), QObject::staticMetaObject, bind);
}

void TVxChildSeries::ReadFrom(QIODevice& Stream) {
    KeepData([&] { TVxLineSeries::ReadFrom(Stream); });
}

void TVxChildSeries::ReadFrom(pugi::xml_node Element) {
    KeepData([&] { TVxLineSeries::ReadFrom(Element); });
}

void TVxChildSeries::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    KeepData([&] { TVxLineSeries::ReadFrom(Ini, Section); });
}

// ---------------------------------------------------------------------------------------------
// The Fourier series

TVxDiscreteFourier::TVxDiscreteFourier(QObject* AOwner) : TVxFunctionSeries(AOwner) {
    auto calc = std::make_unique<TVxDiscreteFourierCalculation>();
    FCalc = calc.get();
    SetCalculation(std::move(calc));
    FMinCount = 2;
    FDoPointSettingsStorage = true;
    SetClipYValues(false);
    FPhaseVector = std::make_unique<TVxDoubleVector>();
    FPhaseSeries = std::make_unique<TVxChildSeries>(this);
    FPhaseSeries->setObjectName(QStringLiteral("Phase"));
    FPhaseSeries->SetYData(FPhaseVector.get());
    FPhaseSeries->SetXValueTransformation(
        [this](TVxSeries*, const TVxTransformEventArgs& e) { return e.Index * FCalc->Delta(); });
    FPhaseSeries->SetVisible(false);
    FPhaseSeries->Line()->SetColor(ColorFromText(QStringLiteral("Green")));
}

TVxDiscreteFourier::~TVxDiscreteFourier() {
    // The child leaves the axes and the graph before the vector it shows goes.
    FPhaseSeries.reset();
}

void TVxDiscreteFourier::SetXAxis(TVxAxis* Value) {
    TVxFunctionSeries::SetXAxis(Value);
    if (FPhaseSeries)
        FPhaseSeries->SetXAxis(Value);
}

void TVxDiscreteFourier::SetYAxis(TVxAxis* Value) {
    TVxFunctionSeries::SetYAxis(Value);
    if (FPhaseSeries && !FPhaseSeries->YAxis())
        FPhaseSeries->SetYAxis(Value);
}

QString TVxDiscreteFourier::Formula() const {
    return QStringLiteral("Y\\-k\\- = ") + QChar(0x03A3) + QStringLiteral("y\\-n\\- e\\+(-2") +
           QChar(0x03C0) + QStringLiteral("i/n kn)");
}

double TVxDiscreteFourier::GetY(double AtX) const {
    if (!mCalculated || mCalculationError)
        return 0;
    return SpectrumValue(FCalc->Spectrum(), AtX);
}

void TVxDiscreteFourier::ClearSpectrumExtent() {
    if (FXStart != MaxDouble || FXStop != -MaxDouble) {
        FXStart = MaxDouble;
        FXStop = -MaxDouble;
        if (FXAxis)
            FXAxis->RangeModified();
    }
    SetYExtent(MaxDouble, -MaxDouble);
}

void TVxDiscreteFourier::RecalculateFunction() {
    if (FCount < FMinCount)
        return;
    SetLimits();
    PrepareCalculation();
    try {
        FCalc->Calculate();
    } catch (...) {
        FPhaseVector->Clear();
        throw;
    }
    const TVxSpectrum& s = FCalc->Spectrum();
    const int n = int(s.Amplitude.size());
    FFrequencies.resize(size_t(n));
    for (int k = 0; k < n; ++k)
        FFrequencies[size_t(k)] = k * s.Delta;
    if (n == 0) {
        // Fewer than two usable samples: no spectrum, no extent.
        ClearSpectrumExtent();
    } else {
        const double stop = FFrequencies.back();
        if (FXStart != 0 || FXStop != stop) {
            FXStart = 0;
            FXStop = stop;
            if (FXAxis)
                FXAxis->RangeModified();
        }
        const auto [lo, hi] = std::minmax_element(s.Amplitude.begin(), s.Amplitude.end());
        SetYExtent(*lo, *hi);
    }
    if (OnCalculated)
        OnCalculated(this);
    // The phase child: new values, and new X for all of them when Delta moved.
    FPhaseVector->Clear();
    if (n > 0)
        FPhaseVector->AddRange(std::span<const double>(s.Phase));
    if (FPhaseSeries) {
        if (!FPhaseSeries->YAxis() && FYAxis)
            FPhaseSeries->SetYAxis(FYAxis);
        FPhaseSeries->RangesModified();
    }
}

void TVxDiscreteFourier::CalculatePoints() {
    FPoints.clear();
    FPointIndex.clear();
    FSymbolPoints.clear();
    FSymbolIndex.clear();
    FAreaPoints.clear();
    FRecalculatePoints = false;
    ForgetReduction();
    if (!FXAxis || !FYAxis)
        return;
    FLastView = View();
    const TVxSpectrum& s = FCalc->Spectrum();
    if (mCalculationError || !mCalculated || FCount < FMinCount || s.Amplitude.empty())
        return;
    TVxReductionData data;
    data.X = FFrequencies;
    data.Y = s.Amplitude;
    data.XAscending = true;
    // Only the lines in view (and one beyond each end) are converted, one column at a time.
    FReduction.ReduceLine(data, FLastView);
    const auto points = FReduction.LinePoints();
    const auto indices = FReduction.LineIndices();
    FPoints.assign(points.begin(), points.end());
    FPointIndex.assign(indices.begin(), indices.end());
    if (PointSymbol()->Visible()) {
        FReduction.ReduceSymbols(data, FLastView);
        const auto symbols = FReduction.SymbolPoints();
        const auto symbolIndices = FReduction.SymbolIndices();
        FSymbolPoints.assign(symbols.begin(), symbols.end());
        FSymbolIndex.assign(symbolIndices.begin(), symbolIndices.end());
    }
    FinishPoints();
}

int TVxDiscreteFourier::FindPoint(float X, float Y, float Delta) {
    if (PointsStale() || !mCalculated)
        return -1;
    for (size_t k = 0; k < FPoints.size(); ++k)
        if (std::abs(X - FPoints[k].x()) <= Delta && std::abs(Y - FPoints[k].y()) <= Delta)
            return FPointIndex[k];
    return -1;
}
