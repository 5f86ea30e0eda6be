#pragma once
// A curve of any model y = f(x; a, b, ...) fitted to the data by the downhill simplex method:
// the model is a formula whose coefficients are the letters A to P, or a function the
// program supplies (FittingFunction). With a budget of 0 iterations nothing is fitted and the
// formula is drawn with the coefficients it was given.

#include "numeric/SimplexFit.h"
#include "series/FunctionSeries.h"
#include "util/ExpressionParser.h"

#include <QList>
#include <functional>
#include <vector>

class TVxFittedLine;

/// What a fitting function receives: the x and the coefficients to evaluate the model with.
struct TVxFittingFunctionArgs {
    double X = 0;
    const std::vector<double>* Coefficients = nullptr;
};
/// A model supplied by the program: the value at e.X for e.Coefficients.
using TVxFittingFunctionHandler =
    std::function<double(TVxFittedLine* Sender, const TVxFittingFunctionArgs& e)>;
/// Told of every coefficient set before it is evaluated.
using TVxFittingCornerHandler =
    std::function<void(TVxFittedLine* Sender, const std::vector<double>& Coefficients)>;

/// The simplex fit of a series: the model (formula or function) and the fit state.
class TVxFittedLineCalculation : public TVxCalculation {
public:
    TVxFittedLineCalculation();
    /// Fits the model to the valid points; nothing with a budget of 0.
    void Calculate() override;
    /// The model at AtX for the current coefficients.
    double GetY(double AtX) const;

    /// The numeric fit (coefficients, budget, statistics).
    TVxSimplexFit Fit;
    /// The formula's parser: variables X and A..P reading the coefficients in place.
    TVxFunctionParser Parser;
    /// The x and coefficients the parser's variables read.
    double FX = 0;
    const std::vector<double>* FCorner = nullptr;
    /// The program's model, replacing the formula when set.
    TVxFittingFunctionHandler FittingFunction;
    TVxFittedLine* Series = nullptr;
};

class TVxFittedLine : public TVxFunctionSeries {
    Q_OBJECT
    Q_PROPERTY(int Order READ Order WRITE SetOrder)
    Q_PROPERTY(int Iterations READ Iterations WRITE SetIterations)
    Q_PROPERTY(QString Expression READ Expression WRITE SetExpression)
    Q_PROPERTY(bool DoCovariance READ DoCovariance WRITE SetDoCovariance)
    Q_PROPERTY(QList<double> Coefficients READ CoefficientList WRITE SetCoefficientList)

public:
    /// No formula, budget 300.
    explicit TVxFittedLine(QObject* AOwner = nullptr);

    /// The number of coefficients (undo "Fitted line coefficients"); new ones are 0.5.
    int Order() const { return FFit->Fit.Order(); }
    void SetOrder(int Value);
    /// The coefficients (undo "Fitted line coefficients"); non-finite values are refused.
    const std::vector<double>& Coefficients() const { return FFit->Fit.Coefficients(); }
    void SetCoefficients(const std::vector<double>& Values);
    QList<double> CoefficientList() const;
    void SetCoefficientList(const QList<double>& Values);
    /// The step budget (undo "Fitted line iterations"); below 0 counts as 0.
    int Iterations() const { return FFit->Fit.Iterations; }
    void SetIterations(int Value);
    /// The formula (undo "Fitted line expression"). It is analysed and parsed first: a
    /// formula that fails raises and changes nothing.
    QString Expression() const { return FExpression; }
    void SetExpression(const QString& Value);
    /// Misfit measured both ways (undo "Fitting using covariance/variance").
    bool DoCovariance() const { return FFit->Fit.DoCovariance; }
    void SetDoCovariance(bool Value);
    /// The program's model (empty: the formula); no undo step.
    void SetFittingFunction(TVxFittingFunctionHandler Value);
    const TVxFittingFunctionHandler& FittingFunction() const { return FFit->FittingFunction; }
    /// The formula is the model.
    bool FromExpression() const { return !FFit->FittingFunction; }

    /// Told after every step of a fit (may call StopIterations).
    std::function<void(TVxFittedLine* Sender)> OnIteration;
    /// Told of every coefficient set before it is evaluated.
    TVxFittingCornerHandler OnNewCorner;
    /// Ends the running fit after the current step.
    void StopIterations() { FFit->Fit.StopIterations(); }

    /// Results of the last fit.
    int CurrentIteration() const { return FFit->Fit.CurrentIteration(); }
    double SumOfResiduals() const { return FFit->Fit.SumOfResiduals(); }
    double AverageX() const { return FFit->Fit.AverageX(); }
    double AverageY() const { return FFit->Fit.AverageY(); }
    double VarianceX() const { return FFit->Fit.VarianceX(); }
    double VarianceY() const { return FFit->Fit.VarianceY(); }
    double Probability() const { return FFit->Fit.Probability(); }
    /// Coefficient Idx; raises EVxRangeError "Fitted line: Index of variable out of range"
    /// outside 0 .. Order - 1.
    double Coefficient(int Idx) const;

    double GetY(double AtX) const override;
    QString Formula() const override { return FExpression; }

    // Records: the function series record, then mode, budget, coefficients and formula.
    using TVxFunctionSeries::ReadFrom;
    using TVxFunctionSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    void WriteXmlContent(pugi::xml_node Element) const override;

protected:
    void RecalculateFunction() override;

private:
    // With a budget of 0 the curve follows the coefficients at once.
    void CoefficientsChanged();
    // Applies a record's values through the setters, in their saved order.
    void ApplyRecord(bool Covariance, int Budget, const std::vector<double>& Coefs,
                     const QString& Text);

    TVxFittedLineCalculation* FFit;
    QString FExpression;
};
