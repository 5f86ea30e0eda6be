#pragma once
// Curves fitted by general linear least squares: a linear combination of basis functions the
// application supplies (TVxGeneralLinearLeastSquares), or of the powers of X
// (TVxPolynomial). The fit is chart/numeric's GeneralLinearLeastSquares (weighted, solved
// through a singular value decomposition); the series sample the fitted curve per pixel
// column and offer the coefficients and statistics as caption variables.

#include "numeric/LeastSquares.h"
#include "series/FunctionSeries.h"

class TVxCustomGeneralLinearLeastSquares;

/// What a basis function is asked: the value of function number Index at X.
struct TVxGeneralLinearFittingArgs {
    double X = 0;
    int Index = 0;
};

/// A basis function supplied by the application.
using TVxGeneralLinearFittingHandler = std::function<double(
    TVxCustomGeneralLinearLeastSquares* Sender, const TVxGeneralLinearFittingArgs& e)>;

/// The least-squares calculation: order, basis, coefficients and statistics.
class TVxCustomGeneralLinearLeastSquaresCalculation : public TVxCalculation {
public:
    TVxCustomGeneralLinearLeastSquaresCalculation();

    /// The highest coefficient index: FOrder + 1 coefficients.
    int FOrder = 2;
    /// Data indices examined by the last calculation.
    int dCount = 0;
    TVxGeneralLinearFittingHandler mGetBasisFn;
    /// The owning series, set at every recalculation.
    TVxCustomGeneralLinearLeastSquares* FSender = nullptr;
    std::vector<double> Coeffs;
    std::vector<double> DeltaCoeffs;
    double AverageX = 1.0;
    double AverageY = 1.0;
    double VarianceX = 1.0;
    double VarianceY = 1.0;
    double Probability = 1.0;
    double QRel = 1.0;
    double SumOfResiduals = 1.0;

    /// Fits the valid points with positive weight; the results change only on success.
    /// Raises "No BasisFunction defined" for a general fit without basis, "Not enough data
    /// points to calculate function" for too few points.
    void Calculate() override;
    /// The fitted curve at X.
    double FittedValue(double X) const;

private:
    TVxBasisFunction Basis() const;
};

/// The calculation of TVxGeneralLinearLeastSquares and TVxPolynomial.
class TVxGeneralLinearLeastSquaresCalculation
    : public TVxCustomGeneralLinearLeastSquaresCalculation {};

class TVxCustomGeneralLinearLeastSquares : public TVxFunctionSeries {
    Q_OBJECT
    Q_PROPERTY(int Order READ Order WRITE SetOrder)

public:
    /// Order 2 (three coefficients of 1), FMinCount 3; registers its caption variables.
    explicit TVxCustomGeneralLinearLeastSquares(QObject* AOwner = nullptr);

    /// The highest coefficient index (undoable): below 0 it becomes 0 (a polynomial that has
    /// been calculated keeps at least 2), above the numeric cap the cap; the coefficients
    /// are reset to 1 and the curve is recalculated.
    int Order() const { return FPoly->FOrder; }
    void SetOrder(int Value);

    /// Coefficient Index (0 .. Order); others raise EVxRangeError "General Linear Least
    /// Squares: Index of variable out of range".
    double GetCoeff(int Index) const;
    /// Standard deviation of coefficient Index, with GetCoeff's range check.
    double GetDeltaCoeff(int Index) const;
    double Coefficients(int Index) const { return GetCoeff(Index); }
    double DeltaCoefficient(int Index) const { return GetDeltaCoeff(Index); }

    // Statistics of the last successful fit.
    double AverageX() const { return FPoly->AverageX; }
    double AverageY() const { return FPoly->AverageY; }
    double VarianceX() const { return FPoly->VarianceX; }
    double VarianceY() const { return FPoly->VarianceY; }
    double Probability() const { return FPoly->Probability; }
    double QRel() const { return FPoly->QRel; }
    double SumOfResiduals() const { return FPoly->SumOfResiduals; }

    /// The fitted curve at AtX.
    double GetY(double AtX) const override;

    using TVxFunctionSeries::ReadFrom;
    using TVxFunctionSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    void WriteXmlContent(pugi::xml_node Element) const override;

protected:
    /// Names the series in the calculation, then fits and samples as every function series.
    void RecalculateFunction() override;
    /// The element name of the XML record.
    virtual const char* XmlElementName() const { return "GeneralLinearLeastSquares"; }

    TVxGeneralLinearLeastSquaresCalculation* FPoly;

private:
    void ApplyOrder(int Value);
};

class TVxGeneralLinearLeastSquares : public TVxCustomGeneralLinearLeastSquares {
    Q_OBJECT

public:
    explicit TVxGeneralLinearLeastSquares(QObject* AOwner = nullptr);

    /// The basis functions (not saved; no undo step).
    TVxGeneralLinearFittingHandler BasisFunction() const { return FPoly->mGetBasisFn; }
    void SetBasisFunction(TVxGeneralLinearFittingHandler Value);

    /// "Y=Σ a_i f_i(X)" as markup.
    QString Formula() const override;
};

class TVxPolynomial : public TVxCustomGeneralLinearLeastSquares {
    Q_OBJECT

public:
    explicit TVxPolynomial(QObject* AOwner = nullptr);

    /// "Y=a+bX+cX²..." as markup, shortened with "+...+" beyond order 5.
    QString Formula() const override;

protected:
    const char* XmlElementName() const override { return "Polynomial"; }
};
