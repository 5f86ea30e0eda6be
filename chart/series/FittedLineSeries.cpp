#include "series/FittedLineSeries.h"

#include "captions/CaptionVariables.h"
#include "numeric/Samples.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"
#include "util/NumberExtraction.h"
#include "util/VariableRegistries.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr const char* CoefficientsStep = "Fitted line coefficients";

[[noreturn]] void IndexOutOfRange() {
    throw EVxRangeError("Fitted line: Index of variable out of range");
}

// The formula as the analysis reads it: square brackets are brackets like round ones.
std::string AnalysedText(const QString& Text) {
    QString t = Text;
    t.replace(QLatin1Char('['), QLatin1Char('(')).replace(QLatin1Char(']'), QLatin1Char(')'));
    return t.toStdString();
}

// A coefficient count read from a file, within what a fit accepts.
int CheckedCount(long long Count) {
    if (Count < 0 || Count > MaxCoefficientCount)
        throw EVxStreamError("coefficient count " + std::to_string(Count) + " out of range");
    return int(Count);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The calculation

TVxFittedLineCalculation::TVxFittedLineCalculation() {
    // X and the coefficient letters replace entries of the same name: E is the fifth
    // coefficient here, never Euler's number.
    RegisterDoubleGetter(QStringLiteral("X"), QStringLiteral("X-Value"), nullptr,
                         Parser.VariablesList, [this] { return FX; });
    for (int k = 0; k < 16; ++k) {
        const QString letter(QChar(u'A' + k));
        RegisterDoubleGetter(letter, QStringLiteral("Variable ") + letter.toLower(), nullptr,
                             Parser.VariablesList, [this, k] {
                                 if (!FCorner || size_t(k) >= FCorner->size())
                                     IndexOutOfRange();
                                 return (*FCorner)[size_t(k)];
                             });
    }
    Parser.SetArrayVariable(QStringLiteral("X"));
    Fit.Model = [this](double X, const std::vector<double>& Coefficients) {
        if (FittingFunction)
            return FittingFunction(Series, TVxFittingFunctionArgs{X, &Coefficients});
        FX = X;
        FCorner = &Coefficients;
        return Parser.Result();
    };
}

void TVxFittedLineCalculation::Calculate() {
    if (Fit.Iterations <= 0)
        return;
    // A formula is evaluated over the whole data at once; the program's model point by point.
    if (FittingFunction)
        Fit.ArrayModel = nullptr;
    else
        Fit.ArrayModel = [this](std::span<const double> X, const std::vector<double>& Coefficients,
                                std::span<double> Y) {
            FCorner = &Coefficients;
            Parser.ResultArray(X, Y);
        };
    Fit.Calculate(Gather());
}

double TVxFittedLineCalculation::GetY(double AtX) const {
    return Fit.GetY(AtX);
}

// ---------------------------------------------------------------------------------------------
// The series

TVxFittedLine::TVxFittedLine(QObject* AOwner) : TVxFunctionSeries(AOwner) {
    auto calc = std::make_unique<TVxFittedLineCalculation>();
    FFit = calc.get();
    FFit->Series = this;
    FFit->Fit.Iterations = 300;
    FFit->Fit.OnIteration = [this] {
        if (OnIteration)
            OnIteration(this);
    };
    FFit->Fit.OnNewCorner = [this](const std::vector<double>& v) {
        if (OnNewCorner)
            OnNewCorner(this, v);
    };
    SetCalculation(std::move(calc));
    FMinCount = 0;
    const struct {
        const char* Id;
        const char* Comment;
        double (TVxFittedLine::*Get)() const;
    } numbers[] = {
        {"AverageX", "Mean of X values", &TVxFittedLine::AverageX},
        {"AverageY", "Mean of Y values", &TVxFittedLine::AverageY},
        {"VarianceX", "Variance of X values", &TVxFittedLine::VarianceX},
        {"VarianceY", "Variance of Y values", &TVxFittedLine::VarianceY},
        {"Probability", "Probability of the fitted line", &TVxFittedLine::Probability},
        {"SumOfResiduals", "Sum of squared deviations of data points to fitted line",
         &TVxFittedLine::SumOfResiduals},
    };
    for (const auto& n : numbers)
        RegisterDoubleGetter(QString::fromLatin1(n.Id), QString::fromLatin1(n.Comment), this,
                             GlobalDoubleGetters(), [this, get = n.Get] { return (this->*get)(); });
    RegisterDoubleArray(QStringLiteral("Coefficients"),
                        QStringLiteral("Coefficients of the general linear least square"), this,
                        GlobalDoubleArrays(), [this](int i) { return Coefficient(i); });
}

double TVxFittedLine::Coefficient(int Idx) const {
    if (Idx < 0 || Idx >= Order())
        IndexOutOfRange();
    return Coefficients()[size_t(Idx)];
}

double TVxFittedLine::GetY(double AtX) const {
    return FFit->GetY(AtX);
}

void TVxFittedLine::CoefficientsChanged() {
    // Without a fit the coefficients are the curve: draw it anew, start no fit.
    if (Iterations() > 0 || !mCalculated || mCalculationError)
        return;
    SampleYExtent();
    UpdateDependents(FObjectsToUpdate);
    PointsModified();
}

void TVxFittedLine::SetOrder(int Value) {
    Value = std::clamp(Value, 0, MaxCoefficientCount);
    RecordUndo(CoefficientsStep, "Coefficients");
    FFit->Fit.SetOrder(Value);
    CoefficientsChanged();
}

void TVxFittedLine::SetCoefficients(const std::vector<double>& Values) {
    if (Values.size() > size_t(MaxCoefficientCount) ||
        !std::all_of(Values.begin(), Values.end(), [](double v) { return std::isfinite(v); }))
        return;
    RecordUndo(CoefficientsStep, "Coefficients");
    FFit->Fit.SetCoefficients(Values);
    CoefficientsChanged();
}

QList<double> TVxFittedLine::CoefficientList() const {
    return QList<double>(Coefficients().begin(), Coefficients().end());
}

void TVxFittedLine::SetCoefficientList(const QList<double>& Values) {
    SetCoefficients(std::vector<double>(Values.begin(), Values.end()));
}

void TVxFittedLine::SetIterations(int Value) {
    Value = std::max(Value, 0);
    if (Value == Iterations())
        return;
    RecordUndo("Fitted line iterations", "Iterations");
    FFit->Fit.Iterations = Value;
}

void TVxFittedLine::SetExpression(const QString& Value) {
    if (Value == FExpression)
        return;
    int order = Order();
    if (FromExpression() && !Value.isEmpty()) {
        // Analysed and parsed before anything changes: a refused formula leaves the text,
        // the order and the curve as they were, and raises again when set again.
        order = FittingExpressionOrder(AnalysedText(Value), Iterations());
        FFit->Parser.SetExpression(Value);
    } else if (Value.isEmpty()) {
        FFit->Parser.SetExpression(Value);
    }
    RecordUndo("Fitted line expression", "Expression");
    FExpression = Value;
    if (FromExpression() && !Value.isEmpty())
        FFit->Fit.SetOrder(order);
    if (FromExpression())
        Recalculate();
    else
        UpdateDependents(FObjectsToUpdate);
}

void TVxFittedLine::SetDoCovariance(bool Value) {
    RecordUndo("Fitting using covariance/variance", "DoCovariance");
    FFit->Fit.DoCovariance = Value;
}

void TVxFittedLine::SetFittingFunction(TVxFittingFunctionHandler Value) {
    const bool had = bool(FFit->FittingFunction);
    FFit->FittingFunction = std::move(Value);
    if (had && !FFit->FittingFunction && !FExpression.isEmpty()) {
        // Back to the formula: it is analysed again (it may never have been).
        FFit->Parser.SetExpression(FExpression);
        FFit->Fit.SetOrder(FittingExpressionOrder(AnalysedText(FExpression), Iterations()));
    }
}

void TVxFittedLine::RecalculateFunction() {
    SetLimits();
    PrepareCalculation();
    if (!FFit->FittingFunction && FExpression.isEmpty())
        throw EVxMathError("No FittingFunction or Expression defined");
    FFit->Calculate();
    SampleYExtent();
    if (OnCalculated)
        OnCalculated(this);
}

// ---------------------------------------------------------------------------------------------
// Records

void TVxFittedLine::ApplyRecord(bool Covariance, int Budget, const std::vector<double>& Coefs,
                                const QString& Text) {
    SetDoCovariance(Covariance);
    SetIterations(Budget);
    SetCoefficients(Coefs);
    SetExpression(Text);
}

void TVxFittedLine::WriteTo(QIODevice& Stream) const {
    TVxFunctionSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteBool(DoCovariance());
    out.WriteInt32(Iterations());
    out.WriteInt32(Order());
    out.WriteDoubles(Coefficients());
    out.WriteText(FExpression);
    out.WriteContinuation(false);
}

void TVxFittedLine::ReadFrom(QIODevice& Stream) {
    TVxFunctionSeries::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        const bool covariance = in.ReadBool();
        const int budget = in.ReadInt32();
        const int count = CheckedCount(in.ReadCount(8));
        const std::vector<double> coefs = in.ReadDoubles(count);
        const QString text = in.ReadText();
        in.ReadByte(); // written as 0, ignored
        ApplyRecord(covariance, budget, coefs, text);
    });
}

void TVxFittedLine::WriteXmlContent(pugi::xml_node Element) const {
    TVxFunctionSeries::WriteXmlContent(Element);
    pugi::xml_node fit = Element.append_child("Fit");
    SetXmlBool(fit, "DoCovariance", DoCovariance());
    SetXmlInt(fit, "Iterations", Iterations());
    SetXmlText(fit, "Expression", FExpression);
    pugi::xml_node list = fit.append_child("Coefficients");
    SetXmlInt(list, "Count", Order());
    for (double v : Coefficients())
        list.append_child("Item").text().set(FloatToInvariantText(v).toUtf8().constData());
}

void TVxFittedLine::ReadFrom(pugi::xml_node Element) {
    TVxFunctionSeries::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node fit = Element.child("Fit");
        if (!fit)
            return;
        const bool covariance = XmlBool(fit, "DoCovariance", DoCovariance());
        const int budget = XmlInt(fit, "Iterations", Iterations());
        const QString text = XmlText(fit, "Expression", FExpression);
        std::vector<double> coefs = Coefficients();
        if (const pugi::xml_node list = fit.child("Coefficients")) {
            const int count = CheckedCount(XmlIntInRange(list, "Count", 0, MaxCoefficientCount, 0));
            coefs.clear();
            for (pugi::xml_node item = list.child("Item"); item && int(coefs.size()) < count;
                 item = item.next_sibling("Item"))
                coefs.push_back(InvariantTextToFloat(XmlElementText(item)));
            if (int(coefs.size()) < count)
                throw EVxConvertError("Coefficients: " + std::to_string(count) +
                                      " items announced, " + std::to_string(coefs.size()) +
                                      " found");
        }
        ApplyRecord(covariance, budget, coefs, text);
    });
}

void TVxFittedLine::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxFunctionSeries::WriteTo(Ini, Section);
    Ini.WriteBool(Section, "DoCovariance", DoCovariance());
    Ini.WriteInteger(Section, "Iterations", Iterations());
    Ini.WriteString(Section, "Expression", FExpression);
    Ini.WriteInteger(Section, "Order", Order());
    QStringList texts;
    for (double v : Coefficients())
        texts << FloatToInvariantText(v);
    Ini.WriteString(Section, "Coefficients",
                    texts.isEmpty() ? QStringLiteral("None") : texts.join(QLatin1Char(' ')));
}

void TVxFittedLine::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxFunctionSeries::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        const bool covariance = Ini.ReadBool(Section, "DoCovariance", DoCovariance());
        const int budget = Ini.ReadInteger(Section, "Iterations", Iterations());
        const QString text = Ini.ReadString(Section, "Expression", FExpression);
        const int order = CheckedCount(Ini.ReadInteger(Section, "Order", 0));
        QString list = Ini.ReadString(Section, "Coefficients", QStringLiteral("None"));
        std::vector<double> coefs(size_t(order), 0.0);
        if (list.trimmed() != QLatin1String("None"))
            for (double& v : coefs)
                v = ExtractFloat(list);
        ApplyRecord(covariance, budget, coefs, text);
    });
}
