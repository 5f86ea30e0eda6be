#include "series/InterpolationSeries.h"

#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"
#include "util/LibraryMessage.h"
#include "util/VariableRegistries.h"

#include <cmath>
#include <string>

namespace {

constexpr int LastMethod = int(TVxInterpolationMethod::ApproximativeSpline);

bool Differs(double A, double B) {
    return A < B || A > B;
}

void ShowSmoothingRefused() {
    ShowLibraryMessage(QStringLiteral("Approximative spline does not need the smoothing "
                                      "function!\rUse the ElasticityFactor to adjust the "
                                      "elasticity of the spline."));
}

// An entry of an extremum list for a caption: EVxRangeError for an index the list lacks.
double Entry(const std::vector<TVxDoublePoint>& List, int Idx, bool X) {
    if (Idx < 0 || size_t(Idx) >= List.size())
        throw EVxRangeError("Index " + std::to_string(Idx) + " out of range");
    return X ? List[size_t(Idx)].X : List[size_t(Idx)].Value;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The calculation

void TVxInterpolationCalculation::Calculate() {
    FRecalculate = true;
    FSearchExtrema = FSearchDiffExtrema = FSearchIntExtrema = true;
    FMinima.clear();
    FMaxima.clear();
    FDiffMinima.clear();
    FDiffMaxima.clear();
    FIntMinima.clear();
    FIntMaxima.clear();
    const TVxSamples samples = Gather();
    const bool smoothing =
        FDoSmoothing && FInterpolationMethod != TVxInterpolationMethod::ApproximativeSpline;
    // A failure leaves no curve: queries answer 0 until the next success.
    FSpline = TVxSpline();
    FSpline.Calculate(samples, FInterpolationMethod, FElasticityFactor, smoothing ? FSmoothM : 0.0);
    FRecalculate = false;
}

void TVxInterpolationCalculation::SetInterpolationMethod(TVxInterpolationMethod Value) {
    if (Value == FInterpolationMethod)
        return;
    FInterpolationMethod = Value;
    if (Value == TVxInterpolationMethod::ApproximativeSpline && FDoSmoothing) {
        if (!Quiet)
            ShowSmoothingRefused();
        FDoSmoothing = false;
    }
    FRecalculate = true;
}

void TVxInterpolationCalculation::SetSmoothPoints(bool Value) {
    if (Value == FDoSmoothing)
        return;
    if (Value && FInterpolationMethod == TVxInterpolationMethod::ApproximativeSpline) {
        if (!Quiet)
            ShowSmoothingRefused();
        return;
    }
    FDoSmoothing = Value;
    FRecalculate = true;
}

void TVxInterpolationCalculation::SetSmoothingRange(double Value) {
    if (!Differs(Value, FSmoothM))
        return;
    FSmoothM = Value;
    if (FInterpolationMethod != TVxInterpolationMethod::ApproximativeSpline)
        FRecalculate = true;
}

void TVxInterpolationCalculation::SetElasticityFactor(double Value) {
    if (!(Value > 0))
        Value = 1e-300;
    if (!Differs(Value, FElasticityFactor))
        return;
    FElasticityFactor = Value;
    if (FInterpolationMethod == TVxInterpolationMethod::ApproximativeSpline)
        FRecalculate = true;
}

const std::vector<TVxDoublePoint>& TVxInterpolationCalculation::Minima() const {
    if (!FRecalculate && FSearchExtrema) {
        FSpline.Extrema(FMinima, FMaxima);
        FSearchExtrema = false;
    }
    return FMinima;
}

const std::vector<TVxDoublePoint>& TVxInterpolationCalculation::Maxima() const {
    Minima();
    return FMaxima;
}

const std::vector<TVxDoublePoint>& TVxInterpolationCalculation::DifferentialMinima() const {
    if (!FRecalculate && FSearchDiffExtrema) {
        FSpline.DifferentialExtrema(FDiffMinima, FDiffMaxima);
        FSearchDiffExtrema = false;
    }
    return FDiffMinima;
}

const std::vector<TVxDoublePoint>& TVxInterpolationCalculation::DifferentialMaxima() const {
    DifferentialMinima();
    return FDiffMaxima;
}

const std::vector<TVxDoublePoint>& TVxInterpolationCalculation::IntegralMinima() const {
    if (!FRecalculate && FSearchIntExtrema) {
        FSpline.IntegralExtrema(FIntMinima, FIntMaxima);
        FSearchIntExtrema = false;
    }
    return FIntMinima;
}

const std::vector<TVxDoublePoint>& TVxInterpolationCalculation::IntegralMaxima() const {
    IntegralMinima();
    return FIntMaxima;
}

// ---------------------------------------------------------------------------------------------
// TVxInterpolation

TVxInterpolation::TVxInterpolation(QObject* AOwner) : TVxFunctionSeries(AOwner) {
    auto calc = std::make_unique<TVxInterpolationCalculation>();
    FInterpolation = calc.get();
    SetCalculation(std::move(calc));
    FMinCount = 3;
    RegisterDoubleGetter(QStringLiteral("SmoothingRange"),
                         QStringLiteral("Factor to control smoothness with Akima and cubic spline"),
                         this, GlobalDoubleGetters(), [this] { return SmoothingRange(); });
    RegisterDoubleGetter(
        QStringLiteral("ElasticityFactor"),
        QStringLiteral("Factor to control the elasticity of the approximative spline line"), this,
        GlobalDoubleGetters(), [this] { return ElasticityFactor(); });
    const QString maxima = QStringLiteral("Local maxima of interpolated function");
    const QString minima = QStringLiteral("Local minima of interpolated function");
    RegisterDoubleArray(QStringLiteral("Maxima.X"), maxima, this, GlobalDoubleArrays(),
                        [this](int i) { return Entry(Maxima(), i, true); });
    RegisterDoubleArray(QStringLiteral("Maxima.Y"), maxima, this, GlobalDoubleArrays(),
                        [this](int i) { return Entry(Maxima(), i, false); });
    RegisterDoubleArray(QStringLiteral("Minima.X"), minima, this, GlobalDoubleArrays(),
                        [this](int i) { return Entry(Minima(), i, true); });
    RegisterDoubleArray(QStringLiteral("Minima.Y"), minima, this, GlobalDoubleArrays(),
                        [this](int i) { return Entry(Minima(), i, false); });
}

TVxInterpolationMethod TVxInterpolation::InterpolationMethod() const {
    return FInterpolation->InterpolationMethod();
}

void TVxInterpolation::SetInterpolationMethod(TVxInterpolationMethod Value) {
    if (Value == InterpolationMethod())
        return;
    RecordUndo("Algorithm used for interpolation", "InterpolationMethod");
    FInterpolation->SetInterpolationMethod(Value);
    FMinCount = Value == TVxInterpolationMethod::ApproximativeSpline ? 6 : 3;
    Recalculate();
}

void TVxInterpolation::SetInterpolationMethodOrdinal(int Value) {
    if (Value >= 0 && Value <= LastMethod)
        SetInterpolationMethod(TVxInterpolationMethod(Value));
}

void TVxInterpolation::SetSmoothPoints(bool Value) {
    if (Value == SmoothPoints())
        return;
    if (Value && InterpolationMethod() == TVxInterpolationMethod::ApproximativeSpline) {
        // Refused: no undo step for a change that does not happen.
        FInterpolation->SetSmoothPoints(Value);
        return;
    }
    RecordUndo("Smoothing ON/OFF", "SmoothPoints");
    FInterpolation->SetSmoothPoints(Value);
    if (SmoothingRange() != 0)
        Recalculate();
}

void TVxInterpolation::SetSmoothingRange(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, SmoothingRange()))
        return;
    RecordUndo("Smoothing range", "SmoothingRange");
    FInterpolation->SetSmoothingRange(Value);
    if (InterpolationMethod() != TVxInterpolationMethod::ApproximativeSpline && SmoothPoints())
        Recalculate();
}

void TVxInterpolation::SetElasticityFactor(double Value) {
    if (std::isnan(Value) || std::isinf(Value) || !Differs(Value, ElasticityFactor()))
        return;
    RecordUndo("Elasticity of approximative spline", "ElasticityFactor");
    FInterpolation->SetElasticityFactor(Value);
    if (InterpolationMethod() == TVxInterpolationMethod::ApproximativeSpline)
        Recalculate();
}

const std::vector<TVxDoublePoint>& TVxInterpolation::Minima() const {
    return FInterpolation->Minima();
}

const std::vector<TVxDoublePoint>& TVxInterpolation::Maxima() const {
    return FInterpolation->Maxima();
}

double TVxInterpolation::GetY(double AtX) const {
    return FInterpolation->Interpolate(AtX);
}

void TVxInterpolation::GetYs(std::span<const double> X, std::span<double> Y) const {
    Interpolation().Evaluate(TVxSplineValue::Curve, X, Y);
}

QString TVxInterpolation::Formula() const {
    switch (InterpolationMethod()) {
    case TVxInterpolationMethod::Akima:
        return FormulaKind() + QStringLiteral(" (Akima)");
    case TVxInterpolationMethod::CubicSpline:
        return FormulaKind() + QStringLiteral(" (cubic spline)");
    case TVxInterpolationMethod::ApproximativeSpline:
        break;
    }
    return FormulaKind() + QStringLiteral(" (approximative spline)");
}

// ---------------------------------------------------------------------------------------------
// Records

void TVxInterpolation::ApplySettings(int Method, bool Smooth, double Range, double Elasticity) {
    TVxInterpolationCalculation& c = *FInterpolation;
    // Smoothing and the approximative spline exclude each other: the one that stands after
    // reading is applied without a message.
    c.Quiet = true;
    SetSmoothingRange(Range);
    SetElasticityFactor(Elasticity);
    if (!Smooth)
        SetSmoothPoints(false);
    SetInterpolationMethodOrdinal(Method);
    if (Smooth)
        SetSmoothPoints(true);
    c.Quiet = false;
}

void TVxInterpolation::WriteTo(QIODevice& Stream) const {
    TVxFunctionSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteByte(uint8_t(InterpolationMethod()));
    out.WriteBool(SmoothPoints());
    out.WriteDouble(SmoothingRange());
    out.WriteDouble(ElasticityFactor());
    out.WriteContinuation(false);
}

void TVxInterpolation::ReadFrom(QIODevice& Stream) {
    TVxFunctionSeries::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        const int method = in.ReadEnum(LastMethod);
        const bool smooth = in.ReadBool();
        const double range = in.ReadDouble();
        const double elasticity = in.ReadDouble();
        CheckEndMarker(in.ReadByte(), "after the elasticity factor");
        ApplySettings(method, smooth, range, elasticity);
    });
}

void TVxInterpolation::WriteXmlContent(pugi::xml_node Element) const {
    TVxFunctionSeries::WriteXmlContent(Element);
    pugi::xml_node e = Element.append_child("Interpolation");
    SetXmlInt(e, "Method", int(InterpolationMethod()));
    SetXmlBool(e, "SmoothPoints", SmoothPoints());
    SetXmlFloat(e, "SmoothingRange", SmoothingRange());
    SetXmlFloat(e, "ElasticityFactor", ElasticityFactor());
}

void TVxInterpolation::ReadFrom(pugi::xml_node Element) {
    TVxFunctionSeries::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node e = Element.child("Interpolation");
        if (!e)
            return;
        const int method = XmlIntInRange(e, "Method", 0, LastMethod, int(InterpolationMethod()));
        const bool smooth = XmlBool(e, "SmoothPoints", SmoothPoints());
        const double range = XmlFloat(e, "SmoothingRange", SmoothingRange());
        const double elasticity = XmlFloat(e, "ElasticityFactor", ElasticityFactor());
        ApplySettings(method, smooth, range, elasticity);
    });
}

void TVxInterpolation::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxFunctionSeries::WriteTo(Ini, Section);
    Ini.WriteInteger(Section, "Method", int(InterpolationMethod()));
    Ini.WriteBool(Section, "SmoothPoints", SmoothPoints());
    Ini.WriteFloat(Section, "SmoothingRange", SmoothingRange());
    Ini.WriteFloat(Section, "ElasticityFactor", ElasticityFactor());
}

void TVxInterpolation::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxFunctionSeries::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        const int method = Ini.ReadInteger(Section, "Method", int(InterpolationMethod()));
        if (method < 0 || method > LastMethod)
            throw EVxStreamError("value " + std::to_string(method) + " of Method out of range");
        const bool smooth = Ini.ReadBool(Section, "SmoothPoints", SmoothPoints());
        const double range = Ini.ReadFloat(Section, "SmoothingRange", SmoothingRange());
        const double elasticity = Ini.ReadFloat(Section, "ElasticityFactor", ElasticityFactor());
        ApplySettings(method, smooth, range, elasticity);
    });
}

// ---------------------------------------------------------------------------------------------
// TVxDifferential and TVxIntegral

TVxDifferential::TVxDifferential(QObject* AOwner) : TVxInterpolation(AOwner) {}

double TVxDifferential::GetY(double AtX) const {
    return Interpolation().Slope(AtX);
}

void TVxDifferential::GetYs(std::span<const double> X, std::span<double> Y) const {
    Interpolation().Evaluate(TVxSplineValue::Slope, X, Y);
}

const std::vector<TVxDoublePoint>& TVxDifferential::Minima() const {
    return Interpolation().DifferentialMinima();
}

const std::vector<TVxDoublePoint>& TVxDifferential::Maxima() const {
    return Interpolation().DifferentialMaxima();
}

void TVxDifferential::SetDefaultAxis(const std::vector<TVxAxis*>& ChildAxes, TVxAxis* PrimaryX,
                                     TVxAxis* PrimaryY) {
    TVxAxis* y = PrimaryY;
    for (TVxAxis* a : ChildAxes)
        if (a && !a->Horizontal() && a != PrimaryY && !a->IsSlaveAxis()) {
            y = a;
            break;
        }
    SetXAxis(PrimaryX);
    SetYAxis(y);
}

TVxIntegral::TVxIntegral(QObject* AOwner) : TVxDifferential(AOwner) {}

double TVxIntegral::GetY(double AtX) const {
    return Interpolation().Integral(AtX);
}

void TVxIntegral::GetYs(std::span<const double> X, std::span<double> Y) const {
    Interpolation().Evaluate(TVxSplineValue::Integral, X, Y);
}

const std::vector<TVxDoublePoint>& TVxIntegral::Minima() const {
    return Interpolation().IntegralMinima();
}

const std::vector<TVxDoublePoint>& TVxIntegral::Maxima() const {
    return Interpolation().IntegralMaxima();
}
