#include "series/LeastSquaresSeries.h"

#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "util/NumberText.h"

#include <algorithm>
#include <pugixml.hpp>

namespace {

constexpr int MaxOrder = MaxCoefficientCount - 1;

// An order read from a record: checked before anything changes.
int CheckedOrder(long long Value) {
    if (Value < 0 || Value > MaxOrder)
        throw EVxStreamError("Order " + std::to_string(Value) + " out of range 0.." +
                             std::to_string(MaxOrder));
    return int(Value);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Calculation

TVxCustomGeneralLinearLeastSquaresCalculation::TVxCustomGeneralLinearLeastSquaresCalculation()
    : Coeffs(3, 1.0), DeltaCoeffs(3, 1.0) {}

TVxBasisFunction TVxCustomGeneralLinearLeastSquaresCalculation::Basis() const {
    if (!mGetBasisFn)
        return {};
    return [this](double X, int Index) {
        return mGetBasisFn(FSender, TVxGeneralLinearFittingArgs{X, Index});
    };
}

void TVxCustomGeneralLinearLeastSquaresCalculation::Calculate() {
    if (!XData)
        throw EVxMathError("No X vector defined for calculation");
    if (!YData)
        throw EVxMathError("No Y vector defined for calculation");
    if (!mGetBasisFn && FSender && !qobject_cast<TVxPolynomial*>(FSender))
        throw EVxMathError("No BasisFunction defined");
    dCount = DataCount();
    const TVxSamples samples = Gather();
    const TVxLeastSquaresResult r = GeneralLinearLeastSquares(samples, FOrder, Basis());
    Coeffs = r.Coeffs;
    DeltaCoeffs = r.DeltaCoeffs;
    AverageX = r.AverageX;
    AverageY = r.AverageY;
    VarianceX = r.VarianceX;
    VarianceY = r.VarianceY;
    Probability = r.Probability;
    QRel = r.QRel;
    SumOfResiduals = r.SumOfResiduals;
}

double TVxCustomGeneralLinearLeastSquaresCalculation::FittedValue(double X) const {
    return ::FittedValue(Coeffs, Basis(), X);
}

// ---------------------------------------------------------------------------------------------
// Series

TVxCustomGeneralLinearLeastSquares::TVxCustomGeneralLinearLeastSquares(QObject* AOwner)
    : TVxFunctionSeries(AOwner) {
    auto calc = std::make_unique<TVxGeneralLinearLeastSquaresCalculation>();
    FPoly = calc.get();
    SetCalculation(std::move(calc));
    FMinCount = FPoly->FOrder + 1;
    const struct {
        const char* Id;
        const char* Comment;
        double TVxCustomGeneralLinearLeastSquaresCalculation::*Field;
    } variables[] = {
        {"AverageX", "Mean of X values", &TVxCustomGeneralLinearLeastSquaresCalculation::AverageX},
        {"AverageY", "Mean of Y values", &TVxCustomGeneralLinearLeastSquaresCalculation::AverageY},
        {"VarianceX", "Variance of X values",
         &TVxCustomGeneralLinearLeastSquaresCalculation::VarianceX},
        {"VarianceY", "Variance of Y values",
         &TVxCustomGeneralLinearLeastSquaresCalculation::VarianceY},
        {"Probability", "Probability of the fitted line",
         &TVxCustomGeneralLinearLeastSquaresCalculation::Probability},
        {"SumOfResiduals", "Sum of squared deviations of data points to fitted line",
         &TVxCustomGeneralLinearLeastSquaresCalculation::SumOfResiduals},
        {"QRel", "Relative error of coefficients",
         &TVxCustomGeneralLinearLeastSquaresCalculation::QRel},
    };
    for (const auto& v : variables) {
        const auto field = v.Field;
        RegisterDoubleGetter(QString::fromLatin1(v.Id), QString::fromLatin1(v.Comment), this,
                             GlobalDoubleGetters(), [this, field] { return FPoly->*field; });
    }
    RegisterDoubleArray(QStringLiteral("Coefficients"),
                        QStringLiteral("Coefficients of the general linear least square"), this,
                        GlobalDoubleArrays(), [this](int Idx) { return GetCoeff(Idx); });
    RegisterDoubleArray(
        QStringLiteral("DEltaCoefficients"),
        QStringLiteral("Standard deviation of coefficients of the general linear least square"),
        this, GlobalDoubleArrays(), [this](int Idx) { return GetDeltaCoeff(Idx); });
}

void TVxCustomGeneralLinearLeastSquares::ApplyOrder(int Value) {
    FPoly->FOrder = Value;
    FPoly->Coeffs.assign(size_t(Value) + 1, 1.0);
    FPoly->DeltaCoeffs.assign(size_t(Value) + 1, 1.0);
    FMinCount = Value + 1;
    Recalculate();
}

void TVxCustomGeneralLinearLeastSquares::SetOrder(int Value) {
    Value = std::clamp(Value, 0, MaxOrder);
    if (Value < 2 && Calculated() && qobject_cast<TVxPolynomial*>(this))
        Value = 2;
    if (Value == FPoly->FOrder)
        return;
    RecordUndo("General linear least squares order", "Order");
    ApplyOrder(Value);
}

double TVxCustomGeneralLinearLeastSquares::GetCoeff(int Index) const {
    if (Index < 0 || Index > FPoly->FOrder || size_t(Index) >= FPoly->Coeffs.size())
        throw EVxRangeError("General Linear Least Squares: Index of variable out of range");
    return FPoly->Coeffs[size_t(Index)];
}

double TVxCustomGeneralLinearLeastSquares::GetDeltaCoeff(int Index) const {
    if (Index < 0 || Index > FPoly->FOrder || size_t(Index) >= FPoly->DeltaCoeffs.size())
        throw EVxRangeError("General Linear Least Squares: Index of variable out of range");
    return FPoly->DeltaCoeffs[size_t(Index)];
}

double TVxCustomGeneralLinearLeastSquares::GetY(double AtX) const {
    return FPoly->FittedValue(AtX);
}

void TVxCustomGeneralLinearLeastSquares::RecalculateFunction() {
    FPoly->FSender = this;
    TVxFunctionSeries::RecalculateFunction();
}

TVxGeneralLinearLeastSquares::TVxGeneralLinearLeastSquares(QObject* AOwner)
    : TVxCustomGeneralLinearLeastSquares(AOwner) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxGeneralLinearLeastSquares")));
}

void TVxGeneralLinearLeastSquares::SetBasisFunction(TVxGeneralLinearFittingHandler Value) {
    FPoly->mGetBasisFn = std::move(Value);
    Recalculate();
}

QString TVxGeneralLinearLeastSquares::Formula() const {
    return QStringLiteral("Y=") + QChar(0x03A3) + QStringLiteral("\\-i\\-a\\-i\\-Xf\\-i\\-(X)");
}

TVxPolynomial::TVxPolynomial(QObject* AOwner) : TVxCustomGeneralLinearLeastSquares(AOwner) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxPolynomial")));
}

QString TVxPolynomial::Formula() const {
    const int order = Order();
    auto term = [](int i) {
        return QStringLiteral("+") + IndexToLetters(i + 1).toLower() + QStringLiteral("X\\+") +
               QString::number(i) + QStringLiteral("\\+");
    };
    QString text = QStringLiteral("Y=a+bX");
    const int last = order > 5 ? 4 : order;
    for (int i = 2; i <= last; ++i)
        text += term(i);
    if (order > 5)
        text += QStringLiteral("+...") + term(order);
    return text;
}

// ---------------------------------------------------------------------------------------------
// Records: Order (32-bit) and an end marker; the basis function is not saved.

void TVxCustomGeneralLinearLeastSquares::WriteTo(QIODevice& Stream) const {
    TVxFunctionSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteInt32(FPoly->FOrder);
    out.WriteContinuation(false);
}

void TVxCustomGeneralLinearLeastSquares::ReadFrom(QIODevice& Stream) {
    TVxReferenceReader refs;
    TVxFunctionSeries::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        const int32_t order = in.ReadInt32();
        in.ReadByte(); // written as 0, ignored
        // The order sizes the coefficient arrays: it is checked before anything changes.
        SetOrder(CheckedOrder(order));
    });
    refs.Finish();
}

void TVxCustomGeneralLinearLeastSquares::WriteXmlContent(pugi::xml_node Element) const {
    TVxFunctionSeries::WriteXmlContent(Element);
    SetXmlInt(Element.append_child(XmlElementName()), "Order", FPoly->FOrder);
}

void TVxCustomGeneralLinearLeastSquares::ReadFrom(pugi::xml_node Element) {
    TVxReferenceReader refs;
    TVxFunctionSeries::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node e = Element.child(XmlElementName());
        if (e && e.attribute("Order"))
            SetOrder(CheckedOrder(XmlInt(e, "Order", FPoly->FOrder)));
    });
    refs.Finish();
}

void TVxCustomGeneralLinearLeastSquares::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxFunctionSeries::WriteTo(Ini, Section);
    Ini.WriteInteger(Section, "Order", FPoly->FOrder);
}

void TVxCustomGeneralLinearLeastSquares::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxReferenceReader refs;
    TVxFunctionSeries::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        if (Ini.ValueExists(Section, "Order"))
            SetOrder(CheckedOrder(Ini.ReadInteger(Section, "Order", FPoly->FOrder)));
    });
    refs.Finish();
}
