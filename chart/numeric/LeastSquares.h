#pragma once
// General linear least squares: a weighted fit of a linear combination of basis functions
// (or of the powers of x, a polynomial), solved by a singular value decomposition.

#include "numeric/Samples.h"

#include <Eigen/Dense>
#include <functional>
#include <vector>

/// The value of basis function number Index at X.
using TVxBasisFunction = std::function<double(double X, int Index)>;

/// Results of a least-squares fit.
struct TVxLeastSquaresResult {
    std::vector<double> Coeffs;      ///< coefficient of each basis function
    std::vector<double> DeltaCoeffs; ///< standard deviation of each coefficient
    double AverageX = 1.0;           ///< weighted mean of x (positive weights)
    double AverageY = 1.0;           ///< weighted mean of y (positive weights)
    double VarianceX = 1.0;          ///< weighted variance of x
    double VarianceY = 1.0;          ///< weighted variance of y
    double Probability = 1.0;        ///< 1 - SumOfResiduals / Syy (1 when Syy is 0)
    double QRel = 1.0;               ///< sqrt(SumOfResiduals / (W - Order))
    double SumOfResiduals = 1.0;     ///< weighted sum of squared residuals
};

/// Decomposes A (m rows, n columns) into U diag(W) V^T: U replaces A (m x n), W receives the
/// n singular values (non-negative), V the n x n right singular vectors. Raises EVxMathError
/// "SingularValueDecomposition: Matrix has wrong dimension" for m < n, "...: Output vector has
/// wrong dimension" when W is shorter than n and "...: Output matrix has wrong dimension"
/// when V is not n x n.
void SingularValueDecomposition(Eigen::MatrixXd& A, Eigen::VectorXd& W, Eigen::MatrixXd& V);

/// The singular values below this fraction of the largest count as zero in SvdBackSubstitution
/// and SvdCoefficientErrors: machine epsilon times the larger matrix dimension.
double SvdCutoff(const Eigen::VectorXd& W, Eigen::Index Rows);

/// Solves U diag(W) V^T x = B in the least-squares sense: x = V diag(1/W) U^T B, where 1/W[j]
/// is taken as 0 for singular values at or below SvdCutoff.
Eigen::VectorXd SvdBackSubstitution(const Eigen::MatrixXd& U, const Eigen::VectorXd& W,
                                    const Eigen::MatrixXd& V, const Eigen::VectorXd& B);

/// Standard deviations of the coefficients: sqrt(sum_j V[k][j]^2 / W[j]^2), skipping the
/// singular values at or below SvdCutoff(W, Rows).
std::vector<double> SvdCoefficientErrors(const Eigen::VectorXd& W, const Eigen::MatrixXd& V,
                                         Eigen::Index Rows);

/// Fits sum_j Coeffs[j] f_j(x), j = 0 .. Order, to Data; f_j is Basis, or x^j when Basis is
/// empty. Points with a weight not above 0 do not enter the fit. Order is clamped to
/// 0 .. MaxCoefficientCount - 1. Raises EVxMathError "Not enough data points to calculate
/// function" for fewer than Order + 1 points, or exactly Order + 1 points with a repeated x.
TVxLeastSquaresResult GeneralLinearLeastSquares(const TVxSamples& Data, int Order,
                                                const TVxBasisFunction& Basis = {});

/// GeneralLinearLeastSquares with the powers of x as basis.
TVxLeastSquaresResult PolynomialFit(const TVxSamples& Data, int Order);

/// The fitted curve at X: sum_j Coeffs[j] Basis(X, j), or the polynomial by Horner's scheme
/// when Basis is empty.
double FittedValue(const std::vector<double>& Coeffs, const TVxBasisFunction& Basis, double X);
