#pragma once
// Numeric kernels of the interpolation and fitting series: polynomial evaluation, banded
// and tridiagonal solvers, a sort that carries companion arrays, triangular smoothing.
// Failures raise EVxMathError with the messages quoted below.

#include <span>

/// Exchanges a and b.
void SwapDoubles(double& a, double& b);

/// The polynomial with Coefficients (constant term first) at x, by Horner's scheme;
/// 0 for no coefficients.
double PolyEval(std::span<const double> Coefficients, double x);

/// Solves a band system in place. Band holds the n rows of the matrix, each as its b + c + 1
/// band entries: element (i, j), |j - i| within the band, is Band[i * (b + c + 1) + j - i + b].
/// Elimination without pivoting (a column whose pivot is 0 is skipped), then forward and
/// back substitution of Rhs, which receives the solution. Raises "Not enough data points
/// to calculate function" for n < 3 or n < b + c, "The dimension of the matrix must be
/// positive" for b < 0 or c < 0, and "The matrix is singular" when the solution is not
/// finite. Band is overwritten by the factors.
void BandSolve(std::span<double> Band, int n, int b, int c, std::span<double> Rhs);

/// Solves a tridiagonal system by the Thomas algorithm: row i reads
/// Sub[i]*x[i-1] + Diag[i]*x[i] + Super[i]*x[i+1] = Rhs[i] (Sub[0] and Super[n-1] unused);
/// Rhs receives the solution. Raises "Not enough data, matrix is to small to solve" for
/// n < 2 and "Matrix is not tridiagonal" for a pivot of magnitude below 10 * 2^-1074.
void TridiagonalSolve(std::span<const double> Sub, std::span<const double> Diag,
                      std::span<const double> Super, std::span<double> Rhs);

/// Sorts Keys ascending in place, applying the same reordering to the companion arrays
/// (empty spans: none). Middle-element pivot; O(n log n) and shallow recursion on any
/// input (sorted, equal, adversarial).
void QuickSort(std::span<double> Keys, std::span<double> Companion1 = {},
               std::span<double> Companion2 = {});

/// Replaces each Y[i] by the mean of the Y[j] weighted by 1 - |X[j] - X[i]| / Width
/// (positive weights only). Does nothing unless there are more than 2 points and
/// Width > 0. Linear time when X is ascending.
void TriangularSmooth(std::span<const double> X, std::span<double> Y, double Width);
/// TriangularSmooth measuring distances as |log10 X[j] - log10 X[i]|.
void TriangularSmoothLog(std::span<const double> X, std::span<double> Y, double Width);
