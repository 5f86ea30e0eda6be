#pragma once
// Non-linear least-squares fit of a model y = f(x; a, b, ...) by the downhill simplex method
// with a fixed iteration budget, optionally measuring the misfit both ways (covariance mode).

#include "numeric/Samples.h"
#include "numeric/Splines.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

/// The model value at X for the given coefficients.
using TVxFittingFunction = std::function<double(double X, const std::vector<double>& Coefficients)>;

/// The model over an array: Y[i] = the model at X[i] for the given coefficients, for every i
/// (Y as long as X). An error it raises aborts the fit.
using TVxFittingArrayFunction = std::function<void(
    std::span<const double> X, const std::vector<double>& Coefficients, std::span<double> Y)>;

/// The number of coefficients a fitting formula uses: the position in the alphabet of its
/// highest standalone letter A .. P. Raises EVxMathError "Expression must contain the
/// independent variable X!" without a standalone X and, when Iterations > 0, "Expression must
/// contain a variable a..p" without a coefficient letter.
int FittingExpressionOrder(const std::string& Expression, int Iterations);

/// The simplex fit: set Model, the order (or coefficients), then Calculate.
class TVxSimplexFit {
public:
    TVxFittingFunction Model; ///< the model to fit
    /// The same model over the whole data at once; when set, the misfit uses it, not Model.
    TVxFittingArrayFunction ArrayModel;
    std::function<void()> OnIteration;                           ///< told after every step
    std::function<void(const std::vector<double>&)> OnNewCorner; ///< told of every vertex
    int Iterations = 300;      ///< step budget: at most Iterations + 1 steps
    bool DoCovariance = false; ///< misfit |dx dy| against inverse interpolations of the data

    /// Sets the number of coefficients (below 0: 0; capped to MaxCoefficientCount); existing
    /// coefficients keep their values, new ones are 0.5.
    void SetOrder(int N);
    /// The number of coefficients.
    int Order() const { return static_cast<int>(FCoefs.size()); }
    /// Replaces the coefficients (and the order when the count differs).
    void SetCoefficients(const std::vector<double>& Values);
    /// The coefficients: the best vertex after a fit.
    const std::vector<double>& Coefficients() const { return FCoefs; }
    /// The model at X for the current coefficients.
    double GetY(double X) const { return Model ? Model(X, FCoefs) : 0.0; }
    /// Ends the iteration after the current step (call it from OnIteration).
    void StopIterations() { FStopIterations = true; }

    /// Fits the model to Data, starting from the current coefficients. Raises EVxMathError:
    /// "No FittingFunction or Expression defined" without a model, "SimplexFit: no order set!"
    /// for no coefficients, "Not enough data points to calculate function" for fewer points
    /// than coefficients, and in covariance mode (which it then switches off) "SimplexFit:
    /// DoCovariance, reciprocal indefinite!" when the inverse interpolations cannot be built.
    /// A budget of 0 fits nothing.
    void Calculate(const TVxSamples& Data);

    int CurrentIteration() const { return FIteration; }         ///< steps left
    double SumOfResiduals() const { return FCurrentChiSquare; } ///< misfit of the best vertex
    double AverageX() const { return FAverageX; }               ///< weighted mean of x
    double AverageY() const { return FAverageY; }               ///< weighted mean of y
    double VarianceX() const { return FVarianceX; }             ///< weighted variance of x
    double VarianceY() const { return FVarianceY; }             ///< weighted variance of y
    double Probability() const { return FProbability; }         ///< 1 - misfit / Syy

private:
    double Misfit(const TVxSamples& Data, const std::vector<double>& Vertex);
    void Rank();
    void BuildInverseRuns(const TVxSamples& Data);

    bool FStopIterations = false;
    int FIteration = 0;
    int Min = 0, Max = 0, Two = 0;
    std::vector<std::vector<double>> Simplex;
    std::vector<double> ChiSqrs, FCoefs;
    double FCurrentChiSquare = 1, FAverageX = 1, FAverageY = 1, FVarianceX = 1, FVarianceY = 1,
           FProbability = 1;
    std::vector<TVxSpline> FRuns;
    std::vector<double> FRunStart; // smallest data x of each run, ascending
    std::vector<double> FModelY;   // the model at every data x (ArrayModel)
};
